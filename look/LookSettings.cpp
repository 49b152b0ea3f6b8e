#include "look/LookSettings.h"

#include "effect/EffectState.h"

LookSettings g_look;

namespace {

// The key of each quads-per-ring count, coarsest first.
constexpr struct {
    int quads;
    char key;
} kQuadKeys[] = {
    {8, static_cast<char>(kKeyPolyCoarsest)},
    {16, static_cast<char>(kKeyPolyCoarse)},
    {32, static_cast<char>(kKeyPolyFine)},
    {64, static_cast<char>(kKeyPolyFinest)},
};

// The set-up already draws the finest rings: their key would change nothing.
constexpr int kStartQuads = 64;

void Press(std::string* keys, int steps, char up, char down)
{
    const char key = steps > 0 ? up : down;
    for (int i = 0; i < (steps > 0 ? steps : -steps); ++i)
        *keys += key;
}

}  // namespace

std::string LookKeys(const LookSettings& look)
{
    std::string keys;
    if (look.shape == LookShape::kRippled)
        keys += static_cast<char>(kKeySpace);
    Press(&keys, look.speedSteps, static_cast<char>(kKeySpeedUp), static_cast<char>(kKeySpeedDown));
    Press(&keys, look.focalSteps, static_cast<char>(kKeyFocalUp), static_cast<char>(kKeyFocalDown));
    if (look.quadsPerRing != kStartQuads) {
        for (const auto& entry : kQuadKeys) {
            if (entry.quads == look.quadsPerRing)
                keys += entry.key;
        }
    }
    return keys;
}

bool ParseLookShape(std::string_view text, LookShape* shape)
{
    if (text == "plain")
        *shape = LookShape::kPlain;
    else if (text == "rippled")
        *shape = LookShape::kRippled;
    else
        return false;
    return true;
}

bool ParseLookSteps(std::string_view text, int* steps)
{
    // Digits only after an optional sign, and few of them: no overflow to
    // guard against, and nothing like "3x" or " 3" slips through.
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text.size() - i > 2)
        return false;
    int value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    if (value > kLookStepLimit)
        return false;
    *steps = negative ? -value : value;
    return true;
}

bool ParseLookQuads(std::string_view text, int* quads)
{
    for (const auto& entry : kQuadKeys) {
        if (text == std::to_string(entry.quads)) {
            *quads = entry.quads;
            return true;
        }
    }
    return false;
}
