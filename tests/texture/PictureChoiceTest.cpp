#include "texture/PictureChoice.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

void Touch(const std::string& path)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteBytes(path, {1});
}

// Pictures at any depth, by name, sorted; hidden ones, other files and links
// to folders left out.
TEST(PictureChoice, FolderListsPictureFilesAtAnyDepth)
{
    TempDir dir;
    const std::string root = dir.Root();
    for (const char* name :
         {"b.jpg", "a/deep/er/c.PNG", "a/d.jpeg", "e.Jpe", "f.bmp", "notes.txt", "g.gif", "jpg",
          "h.jpg.txt", ".hidden.jpg", ".cache/i.jpg", "a/.thumbs/j.png"}) {
        Touch(dir.Path(name));
    }
    std::filesystem::create_directory(dir.Path("k.jpg"));  // a folder with a picture's name
    Touch(dir.Path("k.jpg/l.png"));
    std::filesystem::create_directory_symlink(root + "/a", dir.Path("loop"));
    std::filesystem::create_symlink(root + "/b.jpg", dir.Path("m.jpg"));
    ASSERT_EQ(0, ::mkfifo(dir.Path("fifo.png").c_str(), 0600));

    const std::vector<std::string> expected = {
        root + "/a/d.jpeg", root + "/a/deep/er/c.PNG", root + "/b.jpg", root + "/e.Jpe",
        root + "/f.bmp",    root + "/k.jpg/l.png",     root + "/m.jpg",
    };
    EXPECT_EQ(expected, ListPictureFiles(root));
    EXPECT_EQ(expected, ListPictureFiles(root + "/"));
    EXPECT_TRUE(ListPictureFiles(dir.Path("missing")).empty());
    EXPECT_TRUE(ListPictureFiles(dir.Path("b.jpg")).empty());
}

TEST(PictureChoice, AFileIsItselfAFolderGivesOneOfItsPictures)
{
    TempDir dir;
    std::string file;
    std::string reason;
    // A file, or a name that is no folder, is read as it is: the reader says
    // what is wrong with it.
    ASSERT_TRUE(ChoosePictureFile(dir.Path("missing.png"), 5, &file, &reason));
    EXPECT_EQ(dir.Path("missing.png"), file);

    EXPECT_FALSE(ChoosePictureFile(dir.Root(), 5, &file, &reason));
    EXPECT_EQ("no JPEG, PNG or BMP picture in the folder", reason);

    for (const char* name : {"1.jpg", "2.png", "sub/3.bmp"})
        Touch(dir.Path(name));
    std::set<std::string> chosen;
    for (std::uint64_t random = 0; random < 6; ++random) {
        ASSERT_TRUE(ChoosePictureFile(dir.Root(), random, &file, &reason)) << reason;
        chosen.insert(file);
        std::string same;
        ASSERT_TRUE(ChoosePictureFile(dir.Root(), random + 3, &same, &reason));
        EXPECT_EQ(file, same) << "the choice is the random value modulo the count";
    }
    EXPECT_EQ((std::set<std::string>{dir.Path("1.jpg"), dir.Path("2.png"), dir.Path("sub/3.bmp")}),
              chosen);
    ASSERT_TRUE(ChoosePictureFile(dir.Root(), 0xFFFFFFFFFFFFFFFFull, &file, &reason));
    EXPECT_EQ(dir.Path("1.jpg"), file);  // 2^64 - 1 is a multiple of 3

    // Fresh values differ from start to start.
    std::set<std::uint64_t> values;
    for (int i = 0; i < 8; ++i)
        values.insert(PictureRandomValue());
    EXPECT_GT(values.size(), 4u);
}

}  // namespace
