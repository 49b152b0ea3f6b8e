// tunnel-render run as a program: its PNG frames are the effect's frames,
// its options do what they say, and it stops when the effect asks to close.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include "GlContext.h"
#include "PngFile.h"
#include "PixelProbe.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "TempDir.h"
#include "scripted/ScriptedBackend.h"

namespace {

struct RunResult {
    int status = -1;
    std::string output;
};

// Runs the tool with the arguments (already quoted for the shell).
RunResult RunTool(const std::string& arguments)
{
    RunResult result;
    const std::string command = std::string("'") + TUNNEL_RENDER_PATH + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[512];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, got);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::filesystem::path ScratchFile(const std::string& name)
{
    static const TempDir scratch;
    return scratch.Path(name);
}

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
};

bool ReadPng(const std::filesystem::path& path, RgbImage* image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image->width = static_cast<int>(png.width);
    image->height = static_cast<int>(png.height);
    image->rgb.resize(PNG_IMAGE_SIZE(png));
    return png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr) != 0;
}

// The same frame drawn in this process, read back top row first.
RgbImage RenderHere(int width, int height, int frames)
{
    ResetEffectStateToLoadValues();
    ScriptedReset();
    g_hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150));
    g_clientWidth = width;
    g_clientHeight = height;
    EXPECT_TRUE(InitEffect());
    for (int n = 0; n < frames; ++n) {
        g_time = static_cast<float>(n * (1.0 / 60.0));
        g_deltaTime = n == 0 ? 0.0f : static_cast<float>(1.0 / 60.0);
        RenderFrame();
    }
    const FramePixels bottomUp = FramePixels::Read(width, height);
    RgbImage image;
    image.width = width;
    image.height = height;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = bottomUp.At(x, y);
            image.rgb.insert(image.rgb.end(), {static_cast<unsigned char>(pixel.r),
                                               static_cast<unsigned char>(pixel.g),
                                               static_cast<unsigned char>(pixel.b)});
        }
    }
    return image;
}

using TunnelRenderFrames = GlTestAt<320, 240>;

// Size, row order, colours and the clock: frame 30 of the tool is frame 30
// drawn here, pixel for pixel (both with the checker pattern: there is no
// Demo.jpg where the tests run).
TEST_F(TunnelRenderFrames, WritesTheFramesTheEffectDraws)
{
    const std::filesystem::path first = ScratchFile("first.png");
    const std::filesystem::path later = ScratchFile("later.png");
    const RunResult run = RunTool("--size 320x240 --shot '1:" + first.string() +
                                  "' --shot '30:" + later.string() + "'");
    ASSERT_EQ(0, run.status) << run.output;

    const int frames[] = {1, 30};
    const std::filesystem::path files[] = {first, later};
    for (int i = 0; i < 2; ++i) {
        RgbImage written;
        ASSERT_TRUE(ReadPng(files[i], &written)) << files[i];
        const RgbImage here = RenderHere(320, 240, frames[i]);
        ASSERT_EQ(320, written.width);
        ASSERT_EQ(240, written.height);
        std::size_t differing = 0;
        for (std::size_t k = 0; k < here.rgb.size(); ++k) {
            differing += written.rgb[k] != here.rgb[k] ? 1 : 0;
        }
        EXPECT_EQ(0u, differing) << "frame " << frames[i];
        std::filesystem::remove(files[i]);
    }
}

TEST(TunnelRender, TypedEscapeEndsTheRunWhenTheTunnelIsEmpty)
{
    // 38 rings at travel 0; at 8000 / 60 a frame the base passes ring 37
    // on the 73rd step, frame 74.
    const RunResult run = RunTool("--size 64x48 --key '2:\\e' --frames 1000");
    EXPECT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("close requested at frame 74\n")) << run.output;

    const RunResult late = RunTool(
        "--size 64x48 --key '1:\\e' --shot '500:" + ScratchFile("never.png").string() + "'");
    EXPECT_EQ(1, late.status) << late.output;
    EXPECT_NE(std::string::npos, late.output.find("frame 500 is never reached")) << late.output;
    EXPECT_FALSE(std::filesystem::exists(ScratchFile("never.png")));
}

// The triangle count in a title, or -1.
long TrianglesIn(const std::string& output)
{
    const std::string prefix = "title: Zelk's little tunnel - 30 fps (";
    const std::size_t at = output.find(prefix);
    if (at == std::string::npos) {
        return -1;
    }
    return std::strtol(output.c_str() + at + prefix.size(), nullptr, 10);
}

TEST(TunnelRender, PrintsTheTitlesAndKeysChangeThem)
{
    // 30 frames in the first second, the rate shown on frame 31. "1" typed
    // before frame 1 draws eight quads a ring instead of 64.
    const RunResult fine = RunTool("--size 64x48 --fps 30 --frames 31 --titles");
    const RunResult coarse = RunTool("--size 64x48 --fps 30 --frames 31 --titles --key 1:1");
    EXPECT_EQ(0, fine.status) << fine.output;
    EXPECT_EQ(0, coarse.status) << coarse.output;
    const long fineTriangles = TrianglesIn(fine.output);
    EXPECT_GT(fineTriangles, 0) << fine.output;
    EXPECT_EQ(fineTriangles, 8 * TrianglesIn(coarse.output)) << coarse.output;

    const RunResult texture =
        RunTool("--size 64x48 --dir '" + std::string(TUNNEL_ASSETS_DIR) + "'");
    EXPECT_EQ(0, texture.status) << texture.output;
    const RunResult missing = RunTool("--size 64x48 --dir /nonexistent-dir");
    EXPECT_EQ(1, missing.status) << missing.output;
}

// Fraction of the pixels of two equal-sized images that differ.
double DifferingShare(const RgbImage& a, const RgbImage& b)
{
    std::size_t differing = 0;
    for (std::size_t k = 0; k + 2 < a.rgb.size(); k += 3) {
        if (a.rgb[k] != b.rgb[k] || a.rgb[k + 1] != b.rgb[k + 1] || a.rgb[k + 2] != b.rgb[k + 2]) {
            ++differing;
        }
    }
    return a.rgb.empty() ? 0.0
                         : static_cast<double>(differing) / static_cast<double>(a.rgb.size() / 3);
}

// Space reaches only rings generated after it, which come from the far end:
// a moment after the key the picture is the same, two seconds on the
// tunnel's shape has changed. Without the key, runs repeat to the pixel.
TEST(TunnelRender, SpaceChangesTheShapeFromTheFarEnd)
{
    const std::filesystem::path plainSoon = ScratchFile("plain-soon.png");
    const std::filesystem::path plainLate = ScratchFile("plain-late.png");
    const std::filesystem::path again = ScratchFile("plain-again.png");
    const std::filesystem::path rippledSoon = ScratchFile("rippled-soon.png");
    const std::filesystem::path rippledLate = ScratchFile("rippled-late.png");
    const std::string size = "--size 160x120 ";
    ASSERT_EQ(0, RunTool(size + "--shot '3:" + plainSoon.string() +
                         "' --shot '120:" + plainLate.string() + "'")
                     .status);
    ASSERT_EQ(0, RunTool(size + "--shot '120:" + again.string() + "'").status);
    ASSERT_EQ(0, RunTool(size + "--key '2: ' --shot '3:" + rippledSoon.string() +
                         "' --shot '120:" + rippledLate.string() + "'")
                     .status);

    RgbImage images[5];
    const std::filesystem::path files[] = {plainSoon, plainLate, again, rippledSoon, rippledLate};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(ReadPng(files[i], &images[i])) << files[i];
        std::filesystem::remove(files[i]);
    }
    EXPECT_EQ(0.0, DifferingShare(images[1], images[2])) << "the same run drew other pixels";
    EXPECT_EQ(0.0, DifferingShare(images[0], images[3]))
        << "the shape changed at once, not from the far end";
    EXPECT_GT(DifferingShare(images[1], images[4]), 0.2) << "the rippled shape never arrived";
}

// The look's options are the keys typed before frame 1, to the pixel; and
// --quads 8 draws an eighth of the triangles.
TEST(TunnelRender, LookOptionsAreTheKeysTypedBeforeTheFirstFrame)
{
    const std::filesystem::path byOptions = ScratchFile("look-options.png");
    const std::filesystem::path byKeys = ScratchFile("look-keys.png");
    const std::filesystem::path plain = ScratchFile("look-default.png");
    const std::string size = "--size 160x120 ";
    const RunResult options = RunTool(
        size + "--shape rippled --speed 3 -focal -2 --quads 16 --shot '90:" + byOptions.string() +
        "'");
    ASSERT_EQ(0, options.status) << options.output;
    ASSERT_EQ(0, RunTool(size + "--key '1: +++//2' --shot '90:" + byKeys.string() + "'").status);
    ASSERT_EQ(0, RunTool(size + "--shot '90:" + plain.string() + "'").status);
    RgbImage images[3];
    const std::filesystem::path files[] = {byOptions, byKeys, plain};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ReadPng(files[i], &images[i])) << files[i];
        std::filesystem::remove(files[i]);
    }
    EXPECT_EQ(0.0, DifferingShare(images[0], images[1]));
    EXPECT_GT(DifferingShare(images[0], images[2]), 0.2) << "the look changed nothing";

    const RunResult fine = RunTool("--size 64x48 --fps 30 --frames 31 --titles");
    const RunResult coarse = RunTool("--size 64x48 --fps 30 --frames 31 --titles -quads 8");
    EXPECT_GT(TrianglesIn(fine.output), 0) << fine.output;
    EXPECT_EQ(TrianglesIn(fine.output), 8 * TrianglesIn(coarse.output)) << coarse.output;

    for (const char* bad : {"--quads 12", "--speed x", "--speed 99", "-shape round"}) {
        const RunResult run = RunTool(bad);
        EXPECT_EQ(2, run.status) << bad << ": " << run.output;
        EXPECT_NE(std::string::npos, run.output.find(" takes ")) << bad << ": " << run.output;
    }
}

// Share of the pixels whose red stands clearly above green and blue, and
// likewise for blue.
void ColourShares(const RgbImage& image, double* reddish, double* bluish)
{
    std::size_t red = 0;
    std::size_t blue = 0;
    for (std::size_t k = 0; k + 2 < image.rgb.size(); k += 3) {
        const int r = image.rgb[k];
        const int g = image.rgb[k + 1];
        const int b = image.rgb[k + 2];
        red += r > g + 40 && r > b + 40 ? 1 : 0;
        blue += b > g + 40 && b > r + 40 ? 1 : 0;
    }
    const double pixels = static_cast<double>(image.rgb.size() / 3);
    *reddish = static_cast<double>(red) / pixels;
    *bluish = static_cast<double>(blue) / pixels;
}

// A large PNG picture goes up in colour, in place of the checker; one that
// cannot be read is the checker, with one line naming it and why.
TEST(TunnelRender, TexturePicturesInPlaceOfTheChecker)
{
    // 1600 x 1200: left half red, right half blue, scaled down before upload.
    std::vector<unsigned char> pixels(1600 * 1200 * 3, 0);
    for (std::size_t i = 0; i < 1600 * 1200; ++i) {
        pixels[i * 3 + ((i % 1600) < 800 ? 0 : 2)] = 255;
    }
    const std::filesystem::path picture = ScratchFile("red and blue.png");
    std::string error;
    ASSERT_TRUE(WritePngFile(picture.string(), pixels.data(), 1600, 1200, 3, &error)) << error;
    const std::filesystem::path broken = ScratchFile("broken.png");
    {
        std::FILE* file = std::fopen(broken.c_str(), "wb");
        ASSERT_NE(nullptr, file);
        std::fwrite("\x89PNG\r\n\x1a\n", 1, 8, file);
        std::fclose(file);
    }

    const std::filesystem::path shown = ScratchFile("picture-shown.png");
    const std::filesystem::path fallback = ScratchFile("picture-fallback.png");
    const std::filesystem::path checker = ScratchFile("picture-checker.png");
    const std::string size = "--size 160x120 ";
    const RunResult good =
        RunTool(size + "--texture '" + picture.string() + "' --shot '1:" + shown.string() + "'");
    EXPECT_EQ(0, good.status) << good.output;
    EXPECT_EQ("", good.output);
    const RunResult bad =
        RunTool(size + "--texture '" + broken.string() + "' --shot '1:" + fallback.string() + "'");
    EXPECT_EQ(0, bad.status) << bad.output;
    EXPECT_EQ(
        "zelk-tunnel: cannot show the picture " + broken.string() + ": PNG header cut short\n",
        bad.output);
    ASSERT_EQ(0, RunTool(size + "--shot '1:" + checker.string() + "'").status);

    RgbImage images[3];
    const std::filesystem::path files[] = {shown, fallback, checker};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ReadPng(files[i], &images[i])) << files[i];
        std::filesystem::remove(files[i]);
    }
    double reddish = 0.0;
    double bluish = 0.0;
    ColourShares(images[0], &reddish, &bluish);
    EXPECT_GT(reddish, 0.1);
    EXPECT_GT(bluish, 0.1);
    EXPECT_EQ(0.0, DifferingShare(images[1], images[2])) << "a broken picture is not the checker";
    std::filesystem::remove(picture);
    std::filesystem::remove(broken);
}

TEST(TunnelRender, RejectsBadOptionsAndExplainsItself)
{
    const char* bad[] = {"--size 0x10",    "--size 640",    "--fps 0", "--frames -3", "--shot 5",
                         "--shot 0:x.png", "--key 3:\\\\q", "--bogus", "--dir"};
    for (const char* arguments : bad) {
        const RunResult run = RunTool(arguments);
        EXPECT_EQ(2, run.status) << arguments << ": " << run.output;
    }
    const RunResult help = RunTool("--help");
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.output.find("Usage: tunnel-render"));

    const RunResult unwritable = RunTool("--size 8x8 --shot 1:/nonexistent-dir/x.png");
    EXPECT_EQ(1, unwritable.status) << unwritable.output;
}

}  // namespace
