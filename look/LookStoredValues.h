#pragma once

#include <cstdint>
#include <string>

#include "look/LookSettings.h"

// The look as the Windows saver keeps it: one named value per setting under
// its key in the user's registry (ScreenSaverRegistry.cpp reads and writes
// them). What the values mean lives here, apart from the registry calls, so
// that every fallback is tested on any machine.
//
//   Shape         text    "plain" or "rippled"
//   Speed, Focal  number  the key presses, -8 to 8, as a signed 32-bit value
//   QuadsPerRing  number  8, 16, 32 or 64
//   Picture       text    a file or a folder; empty for Demo.jpg
//   ShowRate      number  0 or 1
//
// A value that is missing, of another kind or out of range gives that
// setting's default; nothing stored can stop the saver.

enum class StoredKind { kMissing, kNumber, kText, kOther };

struct StoredValue {
    StoredKind kind = StoredKind::kMissing;
    std::uint32_t number = 0;  // with kNumber
    std::string text;          // with kText
};

constexpr char kLookValueShape[] = "Shape";
constexpr char kLookValueSpeed[] = "Speed";
constexpr char kLookValueFocal[] = "Focal";
constexpr char kLookValueQuads[] = "QuadsPerRing";
constexpr char kLookValuePicture[] = "Picture";
constexpr char kLookValueShowRate[] = "ShowRate";

// Every value name above, in the order they are written.
constexpr const char* kLookValueNames[] = {kLookValueShape, kLookValueSpeed,   kLookValueFocal,
                                           kLookValueQuads, kLookValuePicture, kLookValueShowRate};

// The look from the stored values; read(name) gives the value of that name.
template <typename Read>
LookSettings LookFromStoredValues(Read read);

// One setting of the look from its stored value: false, with the look left
// as it was, when the value does not give one.
bool ApplyStoredValue(const char* name, const StoredValue& value, LookSettings* look);

// The value a look stores under that name (a name not listed above: missing).
StoredValue StoredValueOf(const LookSettings& look, const char* name);

template <typename Read>
LookSettings LookFromStoredValues(Read read)
{
    LookSettings look;
    for (const char* name : kLookValueNames)
        ApplyStoredValue(name, read(name), &look);
    return look;
}
