#include "look/LookStoredValues.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

StoredValue Number(std::uint32_t number)
{
    StoredValue value;
    value.kind = StoredKind::kNumber;
    value.number = number;
    return value;
}

StoredValue Text(const std::string& text)
{
    StoredValue value;
    value.kind = StoredKind::kText;
    value.text = text;
    return value;
}

StoredValue Other()
{
    StoredValue value;
    value.kind = StoredKind::kOther;
    return value;
}

// A key holding the given values, as the registry would answer for it.
LookSettings Read(const std::map<std::string, StoredValue>& key)
{
    return LookFromStoredValues([&key](const char* name) {
        const auto found = key.find(name);
        return found == key.end() ? StoredValue{} : found->second;
    });
}

void ExpectDefault(const LookSettings& look)
{
    const LookSettings byDefault;
    EXPECT_EQ(byDefault.shape, look.shape);
    EXPECT_EQ(byDefault.speedSteps, look.speedSteps);
    EXPECT_EQ(byDefault.focalSteps, look.focalSteps);
    EXPECT_EQ(byDefault.quadsPerRing, look.quadsPerRing);
    EXPECT_EQ(byDefault.picture, look.picture);
    EXPECT_EQ(byDefault.showRate, look.showRate);
}

TEST(LookStoredValues, AnEmptyKeyIsTheDefaultLook)
{
    ExpectDefault(Read({}));
}

TEST(LookStoredValues, EveryValueReadBackAsWritten)
{
    LookSettings look;
    look.shape = LookShape::kRippled;
    look.speedSteps = -8;
    look.focalSteps = 5;
    look.quadsPerRing = 8;
    look.picture = "C:\\Users\\Zelk\\Pictures\\Cave.png";
    look.showRate = true;
    std::map<std::string, StoredValue> key;
    for (const char* name : kLookValueNames)
        key[name] = StoredValueOf(look, name);

    const LookSettings read = Read(key);
    EXPECT_EQ(LookShape::kRippled, read.shape);
    EXPECT_EQ(-8, read.speedSteps);
    EXPECT_EQ(5, read.focalSteps);
    EXPECT_EQ(8, read.quadsPerRing);
    EXPECT_EQ(look.picture, read.picture);
    EXPECT_TRUE(read.showRate);
    // Negative steps are stored as the registry's 32-bit two's complement.
    EXPECT_EQ(0xfffffff8u, key[kLookValueSpeed].number);
}

// Each bad value falls back on its own; the good ones beside it still count.
TEST(LookStoredValues, WrongKindOrOutOfRangeGivesThatSettingsDefault)
{
    const std::map<std::string, std::map<std::string, StoredValue>> bad = {
        {kLookValueShape,
         {{"number", Number(1)},
          {"unknown text", Text("twisted")},
          {"upper case", Text("Rippled")},
          {"binary", Other()}}},
        {kLookValueSpeed,
         {{"text", Text("3")},
          {"9", Number(9)},
          {"-9", Number(0xfffffff7u)},
          {"huge", Number(0x80000000u)},
          {"binary", Other()}}},
        {kLookValueFocal, {{"text", Text("-2")}, {"100", Number(100)}}},
        {kLookValueQuads,
         {{"text", Text("8")},
          {"12", Number(12)},
          {"0", Number(0)},
          {"all bits set", Number(0xffffffffu)},
          {"128", Number(128)}}},
        {kLookValuePicture, {{"number", Number(7)}, {"NUL inside", Text(std::string("a\0b", 3))}}},
        {kLookValueShowRate, {{"2", Number(2)}, {"text", Text("1")}, {"binary", Other()}}},
    };
    for (const auto& [name, values] : bad) {
        for (const auto& [what, value] : values) {
            SCOPED_TRACE(name + ": " + what);
            std::map<std::string, StoredValue> key = {{kLookValueQuads, Number(16)},
                                                      {kLookValueShowRate, Number(1)}};
            key[name] = value;
            const LookSettings read = Read(key);
            LookSettings expected;
            expected.quadsPerRing = name == kLookValueQuads ? 64 : 16;
            expected.showRate = name != kLookValueShowRate;
            EXPECT_EQ(expected.quadsPerRing, read.quadsPerRing);
            EXPECT_EQ(expected.showRate, read.showRate);
            EXPECT_EQ(LookShape::kPlain, read.shape);
            EXPECT_EQ(0, read.speedSteps);
            EXPECT_EQ(0, read.focalSteps);
            EXPECT_EQ("", read.picture);
        }
    }
}

TEST(LookStoredValues, TheEdgesOfEachRangeAreKept)
{
    LookSettings look =
        Read({{kLookValueSpeed, Number(8)}, {kLookValueFocal, Number(0xfffffff8u)}});
    EXPECT_EQ(8, look.speedSteps);
    EXPECT_EQ(-8, look.focalSteps);
    for (const std::uint32_t quads : {8u, 16u, 32u, 64u})
        EXPECT_EQ(static_cast<int>(quads), Read({{kLookValueQuads, Number(quads)}}).quadsPerRing);
    EXPECT_FALSE(Read({{kLookValueShowRate, Number(0)}}).showRate);
}

TEST(LookStoredValues, AnUnknownNameChangesNothingAndStoresNothing)
{
    LookSettings look;
    EXPECT_FALSE(ApplyStoredValue("Colour", Number(1), &look));
    ExpectDefault(look);
    EXPECT_EQ(StoredKind::kMissing, StoredValueOf(look, "Colour").kind);
}

}  // namespace
