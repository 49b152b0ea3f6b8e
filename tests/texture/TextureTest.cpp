#include "texture/Texture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "DamagedJpegs.h"
#include "TestImages.h"
#include "TextureGlTest.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TUNNEL_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TUNNEL_ASAN 1
#endif

#if defined(TUNNEL_ASAN)
// Lets a test see an allocation fail: under ASan, blocks beyond 256 MiB come
// back null instead of aborting. (The normal build caps the address space.)
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=256";
}
#endif

namespace {

using TextureJpegTest = TextureGlTest;

const std::vector<unsigned char> kChecker = {0x00, 0xFF, 0xFF, 0x00};

Rgb8 Quadrants(int x, int y)
{
    // Red, green / blue, white, by quadrant of a 256 x 128 image.
    if (y < 64) {
        return x < 128 ? Rgb8{220, 30, 30} : Rgb8{30, 200, 40};
    }
    return x < 128 ? Rgb8{20, 40, 210} : Rgb8{250, 250, 250};
}

void ExpectNear(const unsigned char* texel, Rgb8 expected, int tolerance, const char* where)
{
    EXPECT_NEAR(expected.r, texel[0], tolerance) << where;
    EXPECT_NEAR(expected.g, texel[1], tolerance) << where;
    EXPECT_NEAR(expected.b, texel[2], tolerance) << where;
}

TEST_F(TextureJpegTest, PrepareLeavesABoundRepeatingMipmappedTextureWithoutImage)
{
    Texture texture;
    EXPECT_TRUE(texture.Prepare("panel.jpg"));
    EXPECT_STREQ("panel.jpg", texture.fileName);
    ASSERT_NE(0u, texture.glNamePlusOne);
    EXPECT_EQ(texture.glNamePlusOne - 1, BoundTexture());
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(GL_REPEAT, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(GL_REPEAT, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(GL_LINEAR, value);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(GL_LINEAR_MIPMAP_NEAREST, value);
    EXPECT_EQ(0, LevelParameter(0, GL_TEXTURE_WIDTH));
    EXPECT_EQ(0, CountGlCalls(GlCall::kBuildMipmaps));
}

TEST_F(TextureJpegTest, RgbImageUploadsItsSizeColoursAndEveryMipmapLevel)
{
    TempDir dir;
    const std::string path = dir.Path("quadrants.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 256, 128, 3, Quadrants));

    Texture texture;
    EXPECT_TRUE(texture.LoadJPEG(path.c_str(), false));
    EXPECT_EQ(256, texture.width);
    EXPECT_EQ(128, texture.height);
    ASSERT_TRUE(HasOneUpload(3, 256, 128, GL_RGB));

    EXPECT_EQ(texture.glNamePlusOne - 1, BoundTexture());
    EXPECT_EQ(256, LevelParameter(0, GL_TEXTURE_WIDTH));
    EXPECT_EQ(128, LevelParameter(0, GL_TEXTURE_HEIGHT));
    ExpectFullMipmapChain();

    // Row 0 of the texture is the image's top row: the adapter writes rows
    // top first and the loader turns nothing over.
    const std::vector<unsigned char> texels = ReadLevel(0, GL_RGB, 3);
    const auto at = [&](int x, int y) {
        return &texels[(static_cast<std::size_t>(y) * 256 + x) * 3];
    };
    ExpectNear(at(40, 20), Quadrants(40, 20), 6, "top left");
    ExpectNear(at(200, 30), Quadrants(200, 30), 6, "top right");
    ExpectNear(at(60, 100), Quadrants(60, 100), 6, "bottom left");
    ExpectNear(at(250, 127), Quadrants(250, 127), 6, "bottom right");
}

// Rows of 3 bytes (RGB) and of 1 byte (grey): the GL's default 4-byte
// alignment would start every row after the first at the wrong byte and read
// past the block's end. (Power-of-two sizes, so the mipmap builder uploads
// level 0 as it is and every texel can be checked.)
TEST_F(TextureJpegTest, OddWidthRowsUploadAsLaidOut)
{
    const Rgb8 rows[4] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {250, 250, 250}};
    TempDir dir;
    const std::string path = dir.Path("odd.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 1, 4, 3, [&](int, int y) { return rows[y]; }));

    Texture texture;
    ASSERT_TRUE(texture.LoadJPEG(path.c_str(), false));
    EXPECT_EQ(1, texture.width);
    EXPECT_EQ(4, texture.height);
    ASSERT_EQ(1, LevelParameter(0, GL_TEXTURE_WIDTH));
    ASSERT_EQ(4, LevelParameter(0, GL_TEXTURE_HEIGHT));
    const std::vector<unsigned char> texels = ReadLevel(0, GL_RGB, 3);
    for (int y = 0; y < 4; ++y) {
        ExpectNear(&texels[static_cast<std::size_t>(y) * 3], rows[y], 10,
                   ("row " + std::to_string(y)).c_str());
    }
}

TEST_F(TextureJpegTest, GreyscaleLoadUploadsGreyValuesNotAlpha)
{
    const unsigned char rows[4] = {40, 90, 150, 220};
    TempDir dir;
    const std::string path = dir.Path("grey.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 1, 4, 3, [&](int, int y) {
        return Rgb8{rows[y], rows[y], rows[y]};
    }));

    Texture texture;
    ASSERT_TRUE(texture.LoadJPEG(path.c_str(), true));
    ASSERT_TRUE(HasOneUpload(1, 1, 4, GL_LUMINANCE));

    const std::vector<unsigned char> texels = ReadLevel(0, GL_LUMINANCE, 1);
    ASSERT_EQ(4u, texels.size());
    for (int y = 0; y < 4; ++y) {
        EXPECT_NEAR(rows[y], texels[y], 4) << "row " << y;
    }
}

TEST_F(TextureJpegTest, CallersUnpackStateIsPutBack)
{
    TempDir dir;
    const std::string path = dir.Path("odd.jpg");
    ASSERT_TRUE(WriteTestJpeg(path, 3, 2, 3, [](int, int) { return Rgb8{90, 90, 90}; }));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);

    Texture texture;
    EXPECT_TRUE(texture.LoadJPEG(path.c_str(), false));
    EXPECT_FALSE(texture.LoadJPEG(dir.Path("missing.jpg").c_str(), false));
    EXPECT_EQ(8, Unpack(GL_UNPACK_ALIGNMENT));
    EXPECT_EQ(7, Unpack(GL_UNPACK_ROW_LENGTH));
    // The checker was read tightly all the same.
    EXPECT_EQ(kChecker, ReadLevel(0, GL_LUMINANCE, 1));
}

class TextureJpegFallback : public TextureGlTest,
                            public ::testing::WithParamInterface<DamagedJpeg> {};

TEST_P(TextureJpegFallback, ShowsTheCheckerAndReportsFailure)
{
    TempDir dir;
    const std::string path = GetParam().make(dir);

    Texture texture;
    EXPECT_FALSE(texture.LoadJPEG(path.c_str(), false));
    EXPECT_EQ(2, texture.width);
    EXPECT_EQ(2, texture.height);
    ASSERT_TRUE(HasOneUpload(1, 2, 2, GL_LUMINANCE));

    EXPECT_EQ(texture.glNamePlusOne - 1, BoundTexture());
    EXPECT_EQ(kChecker, ReadLevel(0, GL_LUMINANCE, 1));
    EXPECT_EQ(1, LevelParameter(1, GL_TEXTURE_WIDTH));  // mipmaps down to 1 x 1
    EXPECT_EQ(1, LevelParameter(1, GL_TEXTURE_HEIGHT));
}

INSTANTIATE_TEST_SUITE_P(BadInput, TextureJpegFallback, ::testing::ValuesIn(DamagedJpegs()),
                         [](const ::testing::TestParamInfo<DamagedJpeg>& param) {
                             return std::string(param.param.name);
                         });

// Makes a 507e6-byte block impossible to get: the normal build caps the
// address space; under ASan the options above do it.
#if defined(TUNNEL_ASAN)
class NoRoomForLargeBlocks {
public:
    NoRoomForLargeBlocks() {}  // user-provided, so an instance is not "unused"
};
#else
class NoRoomForLargeBlocks {
public:
    NoRoomForLargeBlocks()
    {
        getrlimit(RLIMIT_AS, &saved_);
        rlimit capped = saved_;
        capped.rlim_cur = VirtualSize() + (256ull << 20);
        setrlimit(RLIMIT_AS, &capped);
    }
    ~NoRoomForLargeBlocks() { setrlimit(RLIMIT_AS, &saved_); }
    NoRoomForLargeBlocks(const NoRoomForLargeBlocks&) = delete;
    NoRoomForLargeBlocks& operator=(const NoRoomForLargeBlocks&) = delete;

private:
    static rlim_t VirtualSize()
    {
        unsigned long long pages = 0;
        if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%llu", &pages) != 1) {
                pages = 0;
            }
            std::fclose(f);
        }
        return static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
    }
    rlimit saved_{};
};
#endif

TEST_F(TextureJpegTest, PixelBlockThatCannotBeAllocatedShowsTheChecker)
{
    TempDir dir;
    const std::string path = dir.Path("large.jpg");
    // 507e6 bytes of RGB: within the cap, not within the memory.
    WriteBytes(path, ColourJpegDeclaring(13000, 13000));

    Texture texture;
    {
        NoRoomForLargeBlocks cap;
        // Volatile, or an optimiser may drop the unused malloc/free pair.
        void* volatile probe = std::malloc(13000ull * 13000ull * 3ull);
        const bool capWorks = probe == nullptr;
        std::free(probe);
        ASSERT_TRUE(capWorks) << "the allocation cap did not take";
        EXPECT_FALSE(texture.LoadJPEG(path.c_str(), false));
    }
    EXPECT_EQ(2, texture.width);
    EXPECT_EQ(2, texture.height);
    EXPECT_EQ(kChecker, ReadLevel(0, GL_LUMINANCE, 1));
}

TEST_F(TextureJpegTest, LoadingTwiceDeletesTheFirstTextureBeforeMakingTheSecond)
{
    TempDir dir;
    const std::string second = dir.Path("second.jpg");
    ASSERT_TRUE(WriteTestJpeg(second, 8, 8, 3, Quadrants));

    Texture texture;
    texture.LoadJPEG(dir.Path("first.jpg").c_str(), false);
    const GLuint first = texture.glNamePlusOne - 1;
    GlCallLog().clear();
    EXPECT_TRUE(texture.LoadJPEG(second.c_str(), false));
    const GLuint now = texture.glNamePlusOne - 1;

    const std::vector<GlCall>& log = GlCallLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(GlCall::kDeleteTexture, log[0].kind);
    EXPECT_EQ(first, log[0].name);
    EXPECT_EQ(GlCall::kGenTexture, log[1].kind);
    EXPECT_EQ(now, log[1].name);
    EXPECT_EQ(GL_FALSE, glIsTexture(first));
    EXPECT_EQ(GL_TRUE, glIsTexture(now));
    EXPECT_EQ(now, BoundTexture());
    EXPECT_EQ(second, texture.fileName);
}

TEST_F(TextureJpegTest, ReleaseDeletesOnceAndDestructionReleases)
{
    Texture empty;
    empty.Release();
    EXPECT_TRUE(GlCallLog().empty()) << "an empty object makes no GL call";

    GLuint name = 0;
    {
        Texture texture;
        texture.Prepare("a.jpg");
        name = texture.glNamePlusOne - 1;
        texture.Release();
        texture.Release();
        EXPECT_EQ(0u, texture.glNamePlusOne);
        EXPECT_EQ(1, CountGlCalls(GlCall::kDeleteTexture));
        EXPECT_EQ(GL_FALSE, glIsTexture(name));

        texture.Prepare("b.jpg");
        name = texture.glNamePlusOne - 1;
    }
    EXPECT_EQ(2, CountGlCalls(GlCall::kDeleteTexture));
    EXPECT_EQ(name, GlCallLog().back().name);
    EXPECT_EQ(GL_FALSE, glIsTexture(name));
}

TEST_F(TextureJpegTest, BindSelectsTheHeldTextureOrTheDefaultOne)
{
    Texture texture;
    texture.Prepare("a.jpg");
    const GLuint name = texture.glNamePlusOne - 1;
    glBindTexture(GL_TEXTURE_2D, 0);
    texture.Bind();
    EXPECT_EQ(name, BoundTexture());

    Texture empty;
    empty.Bind();
    EXPECT_EQ(0u, BoundTexture());
    EXPECT_EQ(GL_FALSE, glIsTexture(0xFFFFFFFFu));
}

TEST_F(TextureJpegTest, NamesOf63CharactersAreKeptWholeLongerOnesCutButStillOpened)
{
    TempDir dir;
    const std::string folder = dir.Path("");
    ASSERT_LT(folder.size() + 5, 63u) << "temporary folder name too long for this test";
    const std::string exact = folder + std::string(63 - folder.size() - 4, 'a') + ".jpg";
    const std::string longer = folder + std::string(150, 'b') + ".jpg";
    ASSERT_EQ(63u, exact.size());
    ASSERT_TRUE(WriteTestJpeg(exact, 8, 8, 3, Quadrants));
    ASSERT_TRUE(WriteTestJpeg(longer, 8, 8, 3, Quadrants));

    Texture texture;
    EXPECT_TRUE(texture.LoadJPEG(exact.c_str(), false));
    EXPECT_EQ(exact, texture.fileName);

    EXPECT_TRUE(texture.LoadJPEG(longer.c_str(), false));
    EXPECT_EQ(longer.substr(0, 63), texture.fileName);
    const std::string longerBmp = folder + std::string(150, 'c') + ".bmp";
    BmpLayout layout;
    layout.width = 1;
    layout.height = 1;
    WriteBytes(longerBmp, MakeBmp(layout, {1, 2, 3, 0}));
    EXPECT_TRUE(texture.LoadBMP(longerBmp.c_str()));
    EXPECT_EQ(longerBmp.substr(0, 63), texture.fileName);
}

TEST(TextureObject, StartsEmptyWithoutAnyGlCall)
{
    GlCallLog().clear();
    Texture texture;
    EXPECT_EQ(0u, texture.glNamePlusOne);
    EXPECT_EQ(0, texture.width);
    EXPECT_EQ(0, texture.height);
    EXPECT_STREQ("", texture.fileName);
    EXPECT_EQ(0u, g_tunnelTexture.glNamePlusOne);
    EXPECT_TRUE(GlCallLog().empty());
}

}  // namespace
