#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PngTestFiles.h"
#include "TempDir.h"
#include "TextureGlTest.h"
#include "texture/Texture.h"

namespace {

using PictureTextureTest = TextureGlTest;

// width x height RGB, the top half red, the bottom half blue.
std::vector<unsigned char> RedOverBlue(std::uint32_t width, std::uint32_t height)
{
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    std::vector<unsigned char> rows;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            rows.insert(rows.end(), {static_cast<unsigned char>(y < height / 2 ? 255 : 0), 0,
                                     static_cast<unsigned char>(y < height / 2 ? 0 : 255)});
    return MakePng(layout, rows);
}

// A large picture goes up scaled to 1024 across, top row first (t = 0, as
// Demo.jpg's), with every mipmap level.
TEST_F(PictureTextureTest, ALargePictureGoesUpScaledAndTheRightWayUp)
{
    TempDir dir;
    WriteBytes(dir.Path("photo.png"), RedOverBlue(2000, 1000));
    Texture texture;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(texture.LoadPicture(dir.Path("photo.png").c_str()));
    EXPECT_EQ("", testing::internal::GetCapturedStderr());
    EXPECT_EQ(1024, texture.width);
    EXPECT_EQ(512, texture.height);
    ASSERT_TRUE(HasOneUpload(3, 1024, 512, GL_RGB));
    EXPECT_EQ(texture.glNamePlusOne - 1, BoundTexture());
    const std::vector<unsigned char> level = ReadLevel(0, GL_RGB, 3);
    ASSERT_EQ(1024u * 512u * 3u, level.size());
    EXPECT_EQ((std::vector<unsigned char>{255, 0, 0}),
              std::vector<unsigned char>(level.begin(), level.begin() + 3));
    EXPECT_EQ((std::vector<unsigned char>{0, 0, 255}),
              std::vector<unsigned char>(level.end() - 3, level.end()));
    ExpectFullMipmapChain();
}

// One that cannot be read: the checker, and one line naming it and why.
TEST_F(PictureTextureTest, APictureThatCannotBeReadShowsTheCheckerAndSaysWhy)
{
    TempDir dir;
    std::vector<unsigned char> cut = RedOverBlue(40, 20);
    cut.resize(20);
    WriteBytes(dir.Path("cut.png"), cut);
    std::filesystem::create_directory(dir.Path("empty"));
    const struct {
        std::string path;
        std::string line;
    } cases[] = {
        {dir.Path("cut.png"),
         "cannot show the picture " + dir.Path("cut.png") + ": PNG header cut short"},
        {dir.Path("none.jpg"),
         "cannot show the picture " + dir.Path("none.jpg") + ": cannot open the file"},
        {dir.Path("empty"), "cannot show the picture " + dir.Path("empty") +
                                ": no JPEG, PNG or BMP picture in the folder"},
    };
    for (const auto& entry : cases) {
        GlCallLog().clear();
        Texture texture;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(texture.LoadPicture(entry.path.c_str()));
        EXPECT_EQ("zelk-tunnel: " + entry.line + "\n", testing::internal::GetCapturedStderr());
        EXPECT_EQ(2, texture.width);
        ASSERT_EQ(1, CountGlCalls(GlCall::kBuildMipmaps));
        EXPECT_EQ(static_cast<GLenum>(GL_LUMINANCE), GlCallLog().back().format);
        EXPECT_EQ((std::vector<unsigned char>{0x00, 0xFF, 0xFF, 0x00}),
                  ReadLevel(0, GL_LUMINANCE, 1));
    }
}

// A folder: the picture picked is the one loaded and named.
TEST_F(PictureTextureTest, AFolderGivesItsPicture)
{
    TempDir dir;
    std::filesystem::create_directories(dir.Path("deep/er"));
    WriteBytes(dir.Path("deep/er/only.png"), RedOverBlue(8, 4));
    Texture texture;
    EXPECT_TRUE(texture.LoadPicture(dir.Root().c_str()));
    EXPECT_EQ(8, texture.width);
    EXPECT_EQ(4, texture.height);
    const std::string chosen = dir.Path("deep/er/only.png");
    EXPECT_EQ(chosen.substr(0, sizeof texture.fileName - 1), texture.fileName);
}

}  // namespace
