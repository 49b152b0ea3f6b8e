#include "app/SaverPictures.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TempDir.h"

namespace {

// A stand-in for XScreenSaver's helper: a shell script that records its
// arguments and does what the test asks.
std::string WriteHelper(const TempDir& dir, const std::string& body)
{
    const std::string path = dir.Path(kPictureHelperName);
    std::ofstream(path) << "#!/bin/sh\necho \"$@\" > '" << dir.Path("arguments") << "'\n"
                        << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

std::string Arguments(const TempDir& dir)
{
    std::ifstream in(dir.Path("arguments"));
    std::string line;
    std::getline(in, line);
    return line;
}

TEST(SaverPictures, TheHelpersAnswer)
{
    TempDir dir;
    std::string file;
    std::string reason;

    WriteHelper(dir, "echo '/home/viewer/Pictures/trip/a b.png'");
    ASSERT_TRUE(RunPictureHelper(dir.Path(kPictureHelperName), 10000, &file, &reason)) << reason;
    EXPECT_EQ("/home/viewer/Pictures/trip/a b.png", file);
    // Absolute paths: the helper otherwise answers relative to a folder we
    // never see.
    EXPECT_EQ("--absolute", Arguments(dir));

    file = "kept";
    WriteHelper(dir, "echo 'xscreensaver-getimage-file: no image files in /x' >&2; exit 1");
    EXPECT_FALSE(RunPictureHelper(dir.Path(kPictureHelperName), 10000, &file, &reason));
    EXPECT_EQ("kept", file);
    EXPECT_NE(std::string::npos, reason.find("found no picture")) << reason;

    WriteHelper(dir, "exit 0");
    EXPECT_FALSE(RunPictureHelper(dir.Path(kPictureHelperName), 10000, &file, &reason));
    EXPECT_NE(std::string::npos, reason.find("printed no file")) << reason;

    EXPECT_FALSE(RunPictureHelper(dir.Path("missing"), 10000, &file, &reason));
    EXPECT_NE(std::string::npos, reason.find("cannot run")) << reason;
    EXPECT_FALSE(RunPictureHelper("", 10000, &file, &reason));
    EXPECT_NE(std::string::npos, reason.find("not found")) << reason;
}

// A helper that hangs is killed: the saver starts anyway, soon.
TEST(SaverPictures, AHangingHelperIsKilled)
{
    TempDir dir;
    WriteHelper(dir, "exec sleep 60");
    std::string file;
    std::string reason;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunPictureHelper(dir.Path(kPictureHelperName), 300, &file, &reason));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_NE(std::string::npos, reason.find("took too long")) << reason;
}

TEST(SaverPictures, TheHelperIsFoundOnThePathFirst)
{
    TempDir dir;
    const std::string helper = WriteHelper(dir, "exit 0");
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath != nullptr ? oldPath : "";
    ::setenv("PATH", ("/nonexistent::" + dir.Root() + ":/usr/bin").c_str(), 1);
    EXPECT_EQ(helper, FindPictureHelper());
    ::setenv("PATH", "/nonexistent", 1);
    const std::string installed = FindPictureHelper();
    ::setenv("PATH", saved.c_str(), 1);
    // Off the path, where Debian's xscreensaver-data (which the tests need)
    // installs it.
    EXPECT_EQ(std::string("/usr/libexec/xscreensaver/") + kPictureHelperName, installed);
}

}  // namespace
