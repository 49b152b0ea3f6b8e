#pragma once

#include <cstdint>

// The effect's whole state: module-level variables that live for the process.
// Values at load are those of the definitions; set-up and the frame loop
// change them as each comment says.

#include "platform/Win32Types.h"

extern float g_focal;           // focal factor: screen x = g_focal * X / Y
extern float g_speed;           // travel per second, in 1/256 ring steps
extern float g_travel;          // travel since set-up, in 1/256 ring steps
extern int g_polyStep;          // 1, 2, 4 or 8: step between drawn cross-section points
extern int g_rippleShape;       // 0 plain circular rings, 1 rippled radius
extern int g_stopRequested;     // set by Escape, never cleared: the tunnel runs out
extern int g_ringCount;         // rings built for the current frame, 0 to 128
extern int g_lastBuiltRing;     // newest ring index whose geometry exists
extern int g_frameCount;        // frames drawn since the last rate display
extern float g_time;            // seconds since the clock started
extern float g_deltaTime;       // seconds between the previous frame and this one
extern float g_lastRateTime;    // time of the last rate display
extern bool g_lastRateTimeSet;  // one-time flag: the first frame starts the rate period
extern float g_lastAspect;      // aspect for which the projection was last set
extern int g_clientWidth;       // client area size in pixels
extern int g_clientHeight;
extern HWND g_hwnd;  // the effect window

// Puts every variable above back to its value at load (and the travel carry,
// see Travel.h), for whatever runs the effect more than once in a process.
void ResetEffectStateToLoadValues();

// The window title: also the class name, the warning's caption and the start
// of the rate display.
constexpr char kWindowTitle[] = "Zelk's little tunnel";
// The speed set-up gives, in 1/256 ring steps a second.
constexpr float kInitialSpeed = 8000.0f;
// g_focal at load.
constexpr float kInitialFocal = 2.0f;

// Key codes the effect reacts to (typed characters, not scan codes).
enum EffectKey : std::uintptr_t {
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyFocalUp = '*',
    kKeySpeedUp = '+',
    kKeySpeedDown = '-',
    kKeyFocalDown = '/',
    kKeyPolyCoarsest = '1',
    kKeyPolyCoarse = '2',
    kKeyPolyFine = '3',
    kKeyPolyFinest = '4',
};

// Applies one typed character; codes outside the key table do nothing.
// The speed and focal factors stay normal floats: a press whose result would
// be infinite or below the smallest normal float (2^-126) does nothing, so the
// opposite key always brings the effect back. Every other press multiplies or
// divides in double and rounds to float.
void HandleKey(std::uintptr_t character);
