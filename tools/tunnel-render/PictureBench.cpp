// A 24-megapixel photo from the viewer's OK to the first frame: the effect's
// set-up with the picture (read, scaled down, uploaded with its mipmaps) and
// one frame, offscreen at 640 x 480, ending with glFinish. Beside it, the
// reading and the scaling alone. The photos, 6000 x 4000 as a camera makes
// them (a JPEG at quality 90 with 4:2:0 chroma, and a PNG), are made at
// start-up from a smooth picture with grain, which costs the decoders what a
// real photo does.

#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "JpegWriter.h"
#include "PngFile.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "headless/HeadlessBackend.h"
#include "look/LookSettings.h"
#include "texture/PictureFile.h"
#include "texture/PictureScale.h"

#include <GL/gl.h>

namespace {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;

std::string g_folder;

std::string PhotoPath(int format)
{
    return g_folder + (format == 0 ? "/photo.jpg" : "/photo.png");
}

void WritePhotos()
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kPhotoWidth) * kPhotoHeight * 3);
    std::uint32_t grain = 12345;
    for (int y = 0; y < kPhotoHeight; ++y) {
        for (int x = 0; x < kPhotoWidth; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int noise = static_cast<int>(grain >> 28) - 8;
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * kPhotoWidth + x) * 3];
            const int values[3] = {x * 200 / kPhotoWidth + 30, y * 180 / kPhotoHeight + 40,
                                   ((x + y) / 40) % 2 == 0 ? 90 : 150};
            for (int c = 0; c < 3; ++c) {
                const int v = values[c] + noise;
                p[c] = static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    }
    JpegWriteOptions camera;
    camera.quality = 90;
    camera.fullChroma = false;
    std::string error;
    if (!WriteJpegFile(PhotoPath(0).c_str(), pixels.data(), kPhotoWidth, kPhotoHeight, 3, camera) ||
        !WritePngFile(PhotoPath(1), pixels.data(), kPhotoWidth, kPhotoHeight, 3, &error)) {
        std::fprintf(stderr, "bench_picture: cannot write the photos in %s %s\n", g_folder.c_str(),
                     error.c_str());
        std::exit(1);
    }
}

const char* FormatName(int format)
{
    return format == 0 ? "jpeg" : "png";
}

// The effect's set-up with the photo and its first frame.
void BM_PhotoToFirstFrame(benchmark::State& state)
{
    const int format = static_cast<int>(state.range(0));
    const HWND window = g_hwnd;
    for (auto _ : state) {
        ResetEffectStateToLoadValues();
        g_hwnd = window;
        g_clientWidth = 640;
        g_clientHeight = 480;
        g_look = LookSettings{};
        g_look.picture = PhotoPath(format);
        if (!InitEffect()) {
            state.SkipWithError("the effect could not be set up");
            return;
        }
        RenderFrame();
        glFinish();
        ShutdownEffect();
    }
    state.SetLabel(FormatName(format));
}
BENCHMARK(BM_PhotoToFirstFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadPhoto(benchmark::State& state)
{
    const int format = static_cast<int>(state.range(0));
    for (auto _ : state) {
        PictureImage image;
        std::string reason;
        if (!ReadPictureFile(PhotoPath(format).c_str(), &image, &reason)) {
            state.SkipWithError(reason.c_str());
            return;
        }
        benchmark::DoNotOptimize(image.rgb.get());
    }
    state.SetLabel(FormatName(format));
}
BENCHMARK(BM_ReadPhoto)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ScalePhoto(benchmark::State& state)
{
    PictureImage photo;
    std::string reason;
    if (!ReadPictureFile(PhotoPath(0).c_str(), &photo, &reason)) {
        state.SkipWithError(reason.c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        PictureImage image;
        image.width = photo.width;
        image.height = photo.height;
        const std::size_t bytes = static_cast<std::size_t>(photo.width) * photo.height * 3;
        image.rgb.reset(static_cast<unsigned char*>(std::malloc(bytes)));
        std::copy(photo.rgb.get(), photo.rgb.get() + bytes, image.rgb.get());
        state.ResumeTiming();
        ScalePictureDown(&image, kPictureMaxSide);
        benchmark::DoNotOptimize(image.rgb.get());
    }
}
BENCHMARK(BM_ScalePhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    char folder[] = "/tmp/bench-picture-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::perror("bench_picture: mkdtemp");
        return 1;
    }
    g_folder = folder;
    WritePhotos();
    std::string noContext;
    StartHeadlessBackend(HeadlessOptions{}, &noContext);
    const HWND window = OpenHeadlessWindow(640, 480, &noContext);
    if (window == nullptr) {
        std::fprintf(stderr, "bench_picture: no GL context: %s\n", noContext.c_str());
        return 1;
    }
    g_hwnd = window;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyWindow(window);
    std::remove(PhotoPath(0).c_str());
    std::remove(PhotoPath(1).c_str());
    std::remove(folder);
    return 0;
}
