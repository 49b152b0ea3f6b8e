#pragma once

#include "FakeEffect.h"
#include "app/FrameClock.h"
#include "app/MessageLoop.h"
#include "app/PixelFormat.h"
#include "app/WinMain.h"
#include "app/WndProc.h"
#include "effect/EffectState.h"
#include "scripted/ScriptedBackend.h"

// Everything the shell's tests touch, back to its value at program load.
inline void ResetShellState()
{
    ScriptedReset();
    ResetFakeEffect();
    ResetEffectStateToLoadValues();
    g_running = false;
    g_deviceContext = nullptr;
    g_renderContext = nullptr;
    g_counterFrequency = 0;
    g_counterStart = 0;
    g_counterNow = 0;
    g_pixelFormatRequestFilled = false;
}
