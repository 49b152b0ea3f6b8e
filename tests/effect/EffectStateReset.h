#pragma once

#include "effect/EffectState.h"

// Puts every state variable back to its value at program load, so that tests
// sharing one process do not see each other's keys.
inline void ResetEffectStateToLoadValues()
{
    g_focal = 2.0f;
    g_speed = 0.0f;
    g_travel = 0.0f;
    g_polyStep = 0;
    g_rippleShape = 0;
    g_stopRequested = 0;
    g_ringCount = 0;
    g_lastBuiltRing = 0;
    g_frameCount = 0;
    g_time = 0.0f;
    g_deltaTime = 0.0f;
    g_lastRateTime = 0.0f;
    g_lastRateTimeSet = false;
    g_lastAspect = 0.0f;
    g_clientWidth = 0;
    g_clientHeight = 0;
    g_hwnd = nullptr;
}
