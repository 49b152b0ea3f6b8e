#include "look/LookSettings.h"

#include <gtest/gtest.h>

#include "effect/EffectState.h"
#include "effect/Travel.h"

namespace {

TEST(LookKeys, TheDefaultLookTypesNothing)
{
    EXPECT_EQ("", LookKeys(LookSettings{}));
}

// A look written out: shape, speed steps, focal steps, quads a ring,
// picture, rate shown.
TEST(LookKeys, EachSettingIsItsKeys)
{
    EXPECT_EQ(" +++//2", LookKeys({LookShape::kRippled, 3, -2, 16, {}, false}));
    EXPECT_EQ("--------********1", LookKeys({LookShape::kPlain, -8, 8, 8, {}, false}));
}

// Typed after set-up, the keys leave the effect where a viewer's typing
// would: the same floats to the bit, and back to the start when undone.
TEST(LookKeys, TypedAfterSetUpTheyGiveTheKeysOwnState)
{
    ResetEffectStateToLoadValues();
    ResetFlight();
    for (const char key : LookKeys({LookShape::kRippled, 5, -3, 32, {}, false}))
        HandleKey(static_cast<unsigned char>(key));
    EXPECT_EQ(1, g_rippleShape);
    EXPECT_EQ(2, g_polyStep);
    const float speed = g_speed;
    const float focal = g_focal;

    ResetEffectStateToLoadValues();
    ResetFlight();
    for (const char key : std::string(" +++++///3"))
        HandleKey(static_cast<unsigned char>(key));
    EXPECT_EQ(speed, g_speed);
    EXPECT_EQ(focal, g_focal);
    EXPECT_GT(g_speed, kInitialSpeed);
    EXPECT_LT(g_focal, kInitialFocal);
}

TEST(LookParse, ValuesAreTakenOnlyInTheirOwnForms)
{
    LookShape shape = LookShape::kPlain;
    EXPECT_TRUE(ParseLookShape("rippled", &shape));
    EXPECT_EQ(LookShape::kRippled, shape);
    EXPECT_TRUE(ParseLookShape("plain", &shape));
    EXPECT_EQ(LookShape::kPlain, shape);
    for (const char* bad : {"", "Rippled", "ripple", "plain ", "1"})
        EXPECT_FALSE(ParseLookShape(bad, &shape)) << bad;

    int steps = 99;
    const struct {
        const char* text;
        int steps;
    } good[] = {{"0", 0}, {"8", 8}, {"-8", -8}, {"+3", 3}, {"03", 3}, {"-0", 0}};
    for (const auto& c : good) {
        EXPECT_TRUE(ParseLookSteps(c.text, &steps)) << c.text;
        EXPECT_EQ(c.steps, steps) << c.text;
    }
    steps = 5;
    for (const char* bad : {"", "-", "+", "9", "-9", "99", "x", "3x", " 3", "3.0", "008", "1e1"})
        EXPECT_FALSE(ParseLookSteps(bad, &steps)) << bad;
    EXPECT_EQ(5, steps);  // a refused value leaves the old one

    int quads = 0;
    for (const int q : {8, 16, 32, 64}) {
        EXPECT_TRUE(ParseLookQuads(std::to_string(q), &quads));
        EXPECT_EQ(q, quads);
    }
    for (const char* bad : {"", "12", "4", "1", "064", "128", "-8"})
        EXPECT_FALSE(ParseLookQuads(bad, &quads)) << bad;
}

}  // namespace
