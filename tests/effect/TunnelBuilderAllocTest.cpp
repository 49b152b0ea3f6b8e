// Its own executable: it replaces the global allocation functions to count
// every allocation made while the builder runs.

#include <cstdint>

#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "effect/EffectState.h"
#include "effect/TunnelBuilder.h"

namespace {

TEST(TunnelBuilderAllocation, CountingSeesAnAllocation)
{
    ResetAllocationCount();
    StartCountingAllocations(AllocationScope::AllThreads);
    // Volatile: a new whose pointer never escapes may be left out altogether.
    int* volatile probe = new int(7);
    StopCountingAllocations();
    EXPECT_EQ(7, *probe);
    delete probe;
    EXPECT_EQ(1, AllocationCount());
}

TEST(TunnelBuilderAllocation, FramesAllocateNothing)
{
    ResetEffectStateToLoadValues();
    InitCrossSection();

    // A long flight with everything a user can change in between: shape,
    // polygon step, focal, a jump far ahead, and Escape at the end.
    ResetAllocationCount();
    StartCountingAllocations(AllocationScope::AllThreads);
    std::int32_t travel = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        if (frame % 1000 == 0)
            g_rippleShape = 1 - g_rippleShape;
        if (frame % 700 == 0)
            g_polyStep = 1 << (frame / 700 % 4);
        if (frame == 5000)
            g_focal = 0.0f;
        if (frame == 6000)
            g_focal = 2.0f;
        if (frame == 9000)
            travel += 1 << 20;
        if (frame == 15000)
            g_stopRequested = 1;
        travel += 8;
        BuildTunnel(travel);
    }
    StopCountingAllocations();
    EXPECT_EQ(0, AllocationCount());
    EXPECT_EQ(0, g_ringCount);  // the tunnel has run out after Escape
}

}  // namespace
