// The tunnel builder frame by frame, as the renderer drives it.
//
// Time is per frame (one BuildTunnel call); the counters give the rings
// marched per frame and the frame rate that time allows.

#include <cstdint>
#include <cstring>

#include <benchmark/benchmark.h>

#include "effect/EffectState.h"
#include "effect/Travel.h"
#include "effect/TunnelBuilder.h"

namespace {

constexpr float kFrameSeconds = 1.0f / 1000.0f;  // 1000 frames a second

// The state right after the effect's set-up: load values, then the set-up's.
void SetUpEffect()
{
    ResetEffectStateToLoadValues();
    std::memset(static_cast<void*>(g_ringFrames), 0, sizeof g_ringFrames);
    std::memset(g_ringPoints, 0, sizeof g_ringPoints);
    ResetFlight();  // 31.25 ring steps a second
    g_deltaTime = kFrameSeconds;
}

// Every ring up to a far index counts as generated, untwisted: a straight
// tunnel, in which the window never closes.
void MakeStraightTunnel()
{
    g_lastBuiltRing = 1 << 30;
    for (int slot = 0; slot < kRingSlots; ++slot) {
        g_ringFrames[slot].angles = Vec4(0.0f, 0.0f, 0.0f);
        g_ringFrames[slot].radius = 25.0f;
        std::memcpy(g_ringPoints[slot], g_circle, sizeof g_circle);
    }
}

void Fly(benchmark::State& state)
{
    std::int64_t rings = 0;
    for (auto _ : state) {
        BuildTunnel(AdvanceTravel());  // the renderer's own travel step
        rings += g_ringCount;
        benchmark::ClobberMemory();  // the renderer reads g_strip after each frame
    }
    state.counters["rings_per_frame"] =
        benchmark::Counter(static_cast<double>(rings), benchmark::Counter::kAvgIterations);
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The default flight: plain rings, focal 2, every cross-section point.
void BM_DefaultFlight(benchmark::State& state)
{
    SetUpEffect();
    Fly(state);
}

// The same with the rippled shape from the start.
void BM_RippledFlight(benchmark::State& state)
{
    SetUpEffect();
    g_rippleShape = 1;
    Fly(state);
}

// The 128-ring limit in a straight tunnel: every ring is measured and projected.
void BM_StraightTunnelAt128Rings(benchmark::State& state)
{
    SetUpEffect();
    MakeStraightTunnel();
    Fly(state);
}

// The 128-ring limit in the twisting tunnel, forced by a focal factor of 0:
// every box collapses onto the centre and the window never closes.
void BM_TwistingTunnelAt128Rings(benchmark::State& state)
{
    SetUpEffect();
    g_focal = 0.0f;
    Fly(state);
}

BENCHMARK(BM_DefaultFlight)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RippledFlight)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StraightTunnelAt128Rings)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TwistingTunnelAt128Rings)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
