// Whole frames at 640 x 480, offscreen on whatever EGL gives (Mesa's llvmpipe
// here), next to two baselines from the same run: a frame that only clears,
// and the fill floor, one full-screen quad with the tunnel's texture and
// filtering. Each frame ends with glFinish so that the rasteriser's work is
// inside the measured time. The figure to quote is the tunnel's rate over the
// fill floor's.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <benchmark/benchmark.h>

#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "effect/TunnelBuilder.h"
#include "effect/Travel.h"
#include "headless/HeadlessBackend.h"

#include <GL/gl.h>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kFrameStep = 1.0 / 60.0;

// A fresh effect at the default settings, textured with our Demo.jpg.
void StartEffect()
{
    const HWND window = g_hwnd;
    ResetEffectStateToLoadValues();
    g_hwnd = window;
    g_clientWidth = kWidth;
    g_clientHeight = kHeight;
    if (chdir(TUNNEL_ASSETS_DIR) != 0 || !InitEffect()) {
        std::fprintf(stderr, "bench_frame_rate: cannot set up the effect in %s\n",
                     TUNNEL_ASSETS_DIR);
        std::exit(1);
    }
}

void SetFramesPerSecond(benchmark::State& state)
{
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ClearOnly(benchmark::State& state)
{
    StartEffect();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
    }
    SetFramesPerSecond(state);
}
BENCHMARK(BM_ClearOnly)->UseRealTime();

// The projection shows -4/3..4/3 by -1..1 at 640 x 480. Drawn clockwise, as
// the tunnel's strips are, since front faces are culled.
void BM_FillFloor(benchmark::State& state)
{
    StartEffect();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_QUADS);
        glColor3f(1.0f, 1.0f, 1.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(-4.0f / 3.0f, -1.0f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(-4.0f / 3.0f, 1.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(4.0f / 3.0f, 1.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(4.0f / 3.0f, -1.0f);
        glEnd();
        glFinish();
    }
    unsigned char centre[4] = {};
    glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    if (centre[0] == 0 && centre[1] == 0 && centre[2] == 0) {
        state.SkipWithError("the fill-floor quad was not drawn");
    }
    SetFramesPerSecond(state);
}
BENCHMARK(BM_FillFloor)->UseRealTime();

// The effect as it runs: a 60 Hz clock, default speed and detail.
void BM_TunnelFrame(benchmark::State& state)
{
    StartEffect();
    long frame = 0;
    long rings = 0;
    for (auto _ : state) {
        g_time = static_cast<float>(static_cast<double>(frame) * kFrameStep);
        g_deltaTime = frame == 0 ? 0.0f : static_cast<float>(kFrameStep);
        RenderFrame();
        glFinish();
        rings += g_ringCount;
        ++frame;
    }
    SetFramesPerSecond(state);
    state.counters["rings"] = static_cast<double>(rings) / static_cast<double>(frame);
}
BENCHMARK(BM_TunnelFrame)->UseRealTime();

// Our own CPU work per frame without any GL: the travel step and the builder.
void BM_BuildOnly(benchmark::State& state)
{
    StartEffect();
    long frame = 0;
    for (auto _ : state) {
        g_deltaTime = frame == 0 ? 0.0f : static_cast<float>(kFrameStep);
        BuildTunnel(AdvanceTravel());
        benchmark::DoNotOptimize(g_strip);
        ++frame;
    }
    SetFramesPerSecond(state);
}
BENCHMARK(BM_BuildOnly);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    std::string error;
    StartHeadlessBackend(HeadlessOptions{}, &error);
    g_hwnd = OpenHeadlessWindow(kWidth, kHeight, &error);
    if (g_hwnd == nullptr) {
        std::fprintf(stderr, "bench_frame_rate: no GL context: %s\n", error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    DestroyWindow(g_hwnd);  // the context goes before the texture's destructor runs at exit
    return 0;
}
