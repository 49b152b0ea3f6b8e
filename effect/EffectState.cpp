#include "effect/EffectState.h"

#include "effect/Travel.h"

#include <cfloat>

float g_focal = kInitialFocal;
float g_speed = 0.0f;
float g_travel = 0.0f;
int g_polyStep = 0;
int g_rippleShape = 0;
int g_stopRequested = 0;
int g_ringCount = 0;
int g_lastBuiltRing = 0;
int g_frameCount = 0;
float g_time = 0.0f;
float g_deltaTime = 0.0f;
float g_lastRateTime = 0.0f;
bool g_lastRateTimeSet = false;
float g_lastAspect = 0.0f;
int g_clientWidth = 0;
int g_clientHeight = 0;
HWND g_hwnd = nullptr;

void ResetEffectStateToLoadValues()
{
    g_focal = kInitialFocal;
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
    g_travelCarry = 0.0;
}

namespace {

// Single-precision constants: 1.4141 is deliberately not the square root of two.
constexpr float kFocalFactor = 1.1f;
constexpr float kSpeedFactor = 1.4141f;

// A press that would take a factor out of the normal floats (to a denormal,
// zero or infinity) is ignored: from there no key could bring it back, since
// the opposite press rounds back to the same value or keeps the infinity.
float Kept(float current, float pressed)
{
    return pressed >= FLT_MIN && pressed <= FLT_MAX ? pressed : current;
}

float ScaledBy(float value, float factor)
{
    return Kept(value, static_cast<float>(static_cast<double>(value) * factor));
}

float DividedBy(float value, float factor)
{
    return Kept(value, static_cast<float>(static_cast<double>(value) / factor));
}

}  // namespace

void HandleKey(std::uintptr_t character)
{
    switch (character) {
    case kKeyEscape:
        g_stopRequested = 1;
        break;
    case kKeySpace:
        g_rippleShape = g_rippleShape ? 0 : 1;
        break;
    case kKeyFocalUp:
        g_focal = ScaledBy(g_focal, kFocalFactor);
        break;
    case kKeySpeedUp:
        g_speed = ScaledBy(g_speed, kSpeedFactor);
        break;
    case kKeySpeedDown:
        g_speed = DividedBy(g_speed, kSpeedFactor);
        break;
    case kKeyFocalDown:
        g_focal = DividedBy(g_focal, kFocalFactor);
        break;
    case kKeyPolyCoarsest:
        g_polyStep = 8;
        break;
    case kKeyPolyCoarse:
        g_polyStep = 4;
        break;
    case kKeyPolyFine:
        g_polyStep = 2;
        break;
    case kKeyPolyFinest:
        g_polyStep = 1;
        break;
    default:
        break;
    }
}
