#pragma once

// A stand-in for the effect's set-up and frame renderer, so the shell's tests
// decide what set-up returns and what a frame does, and see when each ran.

#include <cstddef>
#include <functional>
#include <vector>

struct FakeEffect {
    bool initResult = true;
    int initCalls = 0;
    int renderCalls = 0;
    int shutdownCalls = 0;
    // What set-up found: the client size and the clock already started.
    int clientWidthAtInit = -1;
    int clientHeightAtInit = -1;
    bool runningAtInit = true;
    bool runningAtShutdown = true;
    // Positions in the scripted call log when each hook ran.
    std::size_t initCallIndex = 0;
    std::vector<std::size_t> renderCallIndices;
    std::function<void()> onInit;
    std::function<void(int frame)> onRender;  // frame counts from 1
};

extern FakeEffect g_fakeEffect;
void ResetFakeEffect();
