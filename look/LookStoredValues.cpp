#include "look/LookStoredValues.h"

#include <cstring>
#include <utility>

namespace {

bool Named(const char* name, const char* wanted)
{
    return std::strcmp(name, wanted) == 0;
}

// A number as the signed 32-bit value it was written as.
std::int32_t Signed(std::uint32_t number)
{
    return number <= 0x7fffffffu ? static_cast<std::int32_t>(number)
                                 : -static_cast<std::int32_t>(~number) - 1;
}

StoredValue Number(std::int32_t value)
{
    StoredValue stored;
    stored.kind = StoredKind::kNumber;
    stored.number = static_cast<std::uint32_t>(value);
    return stored;
}

StoredValue Text(std::string text)
{
    StoredValue stored;
    stored.kind = StoredKind::kText;
    stored.text = std::move(text);
    return stored;
}

bool ApplySteps(const StoredValue& value, int* steps)
{
    if (value.kind != StoredKind::kNumber)
        return false;
    const std::int32_t number = Signed(value.number);
    if (number < -kLookStepLimit || number > kLookStepLimit)
        return false;
    *steps = number;
    return true;
}

}  // namespace

bool ApplyStoredValue(const char* name, const StoredValue& value, LookSettings* look)
{
    if (Named(name, kLookValueShape))
        return value.kind == StoredKind::kText && ParseLookShape(value.text, &look->shape);
    if (Named(name, kLookValueSpeed))
        return ApplySteps(value, &look->speedSteps);
    if (Named(name, kLookValueFocal))
        return ApplySteps(value, &look->focalSteps);
    if (Named(name, kLookValueQuads))
        return value.kind == StoredKind::kNumber && value.number <= 64 &&
               ParseLookQuads(std::to_string(value.number), &look->quadsPerRing);
    if (Named(name, kLookValuePicture)) {
        // A name with a NUL inside is no file name.
        if (value.kind != StoredKind::kText || value.text.find('\0') != std::string::npos)
            return false;
        look->picture = value.text;
        return true;
    }
    if (Named(name, kLookValueShowRate)) {
        if (value.kind != StoredKind::kNumber || value.number > 1)
            return false;
        look->showRate = value.number == 1;
        return true;
    }
    return false;
}

StoredValue StoredValueOf(const LookSettings& look, const char* name)
{
    if (Named(name, kLookValueShape))
        return Text(look.shape == LookShape::kRippled ? "rippled" : "plain");
    if (Named(name, kLookValueSpeed))
        return Number(look.speedSteps);
    if (Named(name, kLookValueFocal))
        return Number(look.focalSteps);
    if (Named(name, kLookValueQuads))
        return Number(look.quadsPerRing);
    if (Named(name, kLookValuePicture))
        return Text(look.picture);
    if (Named(name, kLookValueShowRate))
        return Number(look.showRate ? 1 : 0);
    return StoredValue{};
}
