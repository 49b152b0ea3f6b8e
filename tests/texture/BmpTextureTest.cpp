#include <string>
#include <vector>

#include "TestImages.h"
#include "TextureGlTest.h"
#include "texture/Texture.h"

namespace {

using TextureBmpTest = TextureGlTest;

const Rgb8 kTwoByTwo[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 0}}};

std::vector<unsigned char> TwoByTwoTexels()
{
    std::vector<unsigned char> texels;
    for (const auto& row : kTwoByTwo) {
        for (const Rgb8& c : row) {
            texels.insert(texels.end(), {c.r, c.g, c.b});
        }
    }
    return texels;
}

// Rows of 6 bytes padded to 8: read with the BMP's 4-byte alignment, the
// file's first row becomes the texture's first row (t = 0).
TEST_F(TextureBmpTest, PaddedRowsUploadExactlyFileRowFirst)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 2;
    layout.height = 2;
    const std::string path = dir.Path("two.bmp");
    WriteBytes(path,
               MakeBmp(layout, BmpRows(2, 2, [](int x, int row) { return kTwoByTwo[row][x]; })));

    Texture texture;
    EXPECT_TRUE(texture.LoadBMP(path.c_str()));
    EXPECT_EQ(2, texture.width);
    EXPECT_EQ(2, texture.height);
    ASSERT_TRUE(HasOneUpload(3, 2, 2, GL_BGR_EXT));
    EXPECT_EQ(TwoByTwoTexels(), ReadLevel(0, GL_RGB, 3));
    ExpectFullMipmapChain();

    // The BMP unpack state stays in force: the GL's initial values.
    EXPECT_EQ(4, Unpack(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(0, Unpack(GL_UNPACK_ROW_LENGTH));
    EXPECT_EQ(0, Unpack(GL_UNPACK_SKIP_ROWS));
    EXPECT_EQ(0, Unpack(GL_UNPACK_SKIP_PIXELS));
}

TEST_F(TextureBmpTest, TopDownFileIsShownTheRightWayUp)
{
    TempDir dir;
    BmpLayout layout;
    layout.width = 2;
    layout.height = -2;
    const std::string path = dir.Path("down.bmp");
    WriteBytes(
        path, MakeBmp(layout, BmpRows(2, 2, [](int x, int row) { return kTwoByTwo[1 - row][x]; })));

    Texture texture;
    EXPECT_TRUE(texture.LoadBMP(path.c_str()));
    EXPECT_EQ(2, texture.height);
    EXPECT_EQ(2, GlCallLog().back().height);
    EXPECT_EQ(TwoByTwoTexels(), ReadLevel(0, GL_RGB, 3));
}

TEST_F(TextureBmpTest, ThreeByTwoAndSixtyFourByThirtyTwoWithComputedSizes)
{
    TempDir dir;
    BmpLayout small;
    small.width = 3;
    small.height = 2;
    WriteBytes(dir.Path("small.bmp"), MakeBmp(small, BmpRows(3, 2, [](int, int) {
                                                  return Rgb8{200, 20, 60};
                                              })));
    BmpLayout large;
    large.width = 64;
    large.height = 32;
    const auto pattern = [](int x, int row) {
        return Rgb8{static_cast<unsigned char>(x * 4), static_cast<unsigned char>(row * 8),
                    static_cast<unsigned char>(255 - x)};
    };
    WriteBytes(dir.Path("large.bmp"), MakeBmp(large, BmpRows(64, 32, pattern)));

    // 9-byte rows padded to 12: all 24 bytes are read and handed on as 3 x 2.
    // (Its texels are not compared: this GLU rescales a width of 3 to 4 and
    // then loses the last row whenever the height needs no rescaling.)
    Texture texture;
    ASSERT_TRUE(texture.LoadBMP(dir.Path("small.bmp").c_str()));
    EXPECT_EQ(3, GlCallLog().back().width);
    EXPECT_EQ(2, GlCallLog().back().height);
    EXPECT_EQ(3, texture.width);
    EXPECT_EQ(2, texture.height);

    ASSERT_TRUE(texture.LoadBMP(dir.Path("large.bmp").c_str()));
    EXPECT_EQ(64, texture.width);
    EXPECT_EQ(32, texture.height);
    ASSERT_EQ(64, LevelParameter(0, GL_TEXTURE_WIDTH));
    ASSERT_EQ(32, LevelParameter(0, GL_TEXTURE_HEIGHT));
    const std::vector<unsigned char> texels = ReadLevel(0, GL_RGB, 3);
    for (int row = 0; row < 32; row += 7) {
        for (int x = 0; x < 64; x += 9) {
            const Rgb8 c = pattern(x, row);
            const unsigned char* t = &texels[(static_cast<std::size_t>(row) * 64 + x) * 3];
            EXPECT_EQ(std::vector<unsigned char>({c.r, c.g, c.b}),
                      std::vector<unsigned char>(t, t + 3));
        }
    }
}

// A file that cannot be shown leaves the fresh texture bound and empty, and
// reports failure; only a file whose headers were accepted tells its size.
TEST_F(TextureBmpTest, FilesThatCannotBeShownUploadNothing)
{
    TempDir dir;
    BmpLayout twoBits;
    twoBits.width = 2;
    twoBits.height = 2;
    twoBits.bitsPerPixel = 32;
    WriteBytes(dir.Path("32bit.bmp"), MakeBmp(twoBits, std::vector<unsigned char>(16, 9)));
    BmpLayout zero;
    zero.width = 0;
    zero.height = 2;
    WriteBytes(dir.Path("zero.bmp"), MakeBmp(zero, std::vector<unsigned char>(16, 9)));
    BmpLayout cut;
    cut.width = 4;
    cut.height = 3;
    WriteBytes(dir.Path("cut.bmp"), MakeBmp(cut, std::vector<unsigned char>(35, 9)));
    WriteBytes(dir.Path("short.bmp"), std::vector<unsigned char>(13, 'B'));

    const struct {
        const char* file;
        int width;
        int height;
    } cases[] = {{"missing.bmp", 77, 88},
                 {"short.bmp", 77, 88},
                 {"32bit.bmp", 77, 88},
                 {"zero.bmp", 77, 88},
                 {"cut.bmp", 4, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        GlCallLog().clear();
        Texture texture;
        texture.width = 77;
        texture.height = 88;
        EXPECT_FALSE(texture.LoadBMP(dir.Path(c.file).c_str()));
        EXPECT_EQ(0, CountGlCalls(GlCall::kBuildMipmaps));
        EXPECT_EQ(c.width, texture.width);
        EXPECT_EQ(c.height, texture.height);
        ASSERT_NE(0u, texture.glNamePlusOne);
        EXPECT_EQ(texture.glNamePlusOne - 1, BoundTexture());
        EXPECT_EQ(0, LevelParameter(0, GL_TEXTURE_WIDTH));
    }
}

}  // namespace
