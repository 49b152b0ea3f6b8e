#pragma once

#include <string>
#include <string_view>

// The viewer's look: how the tunnel starts, chosen before it runs, from the
// command line, XScreenSaver's settings, the Windows saver's Configure
// dialog or the page's address. Every value is one the keys could reach:
// the look is applied as the keys typed before the first frame (LookKeys),
// so a look is exactly what a viewer typing them would see, and the default
// look types nothing, which is the tunnel as it always started.

enum class LookShape { kPlain, kRippled };

// How far --speed and --focal reach, in key presses either way.
constexpr int kLookStepLimit = 8;

struct LookSettings {
    LookShape shape = LookShape::kPlain;
    int speedSteps = 0;     // presses of "+" (above 0) or "-" (below 0)
    int focalSteps = 0;     // presses of "*" (above 0) or "/" (below 0)
    int quadsPerRing = 64;  // 8, 16, 32 or 64: the key "1" to "4"
    std::string picture;    // a file or a folder; empty: Demo.jpg, as always
    bool showRate = false;  // the title's figures drawn on a saver's screen
};

// The characters to type, in order, after the effect is set up and before
// its first frame: nothing for the default look.
std::string LookKeys(const LookSettings& look);

// Readers of one value as the viewer writes it, for every way the look
// arrives; false leaves the value as it was. The accepted forms are the
// texts below, which the callers put in their messages.
bool ParseLookShape(std::string_view text, LookShape* shape);  // "plain" or "rippled"
bool ParseLookSteps(std::string_view text, int* steps);        // a whole number from -8 to 8
bool ParseLookQuads(std::string_view text, int* quads);        // 8, 16, 32 or 64
constexpr char kLookShapeValues[] = "plain or rippled";
constexpr char kLookStepValues[] = "a whole number from -8 to 8";
constexpr char kLookQuadsValues[] = "8, 16, 32 or 64";

// The look the next effect window starts with (see RunEffectWindow); set by
// whoever starts the process, before the window opens.
extern LookSettings g_look;
