#pragma once

#include <string_view>

#include "look/LookSettings.h"

// The look's options as programs take them on their command line (the
// program, the hack, tunnel-render): --shape, --speed, --focal, --quads and
// --texture, each followed by its value.

// What option takes, for its message ("8, 16, 32 or 64"); null when option
// is none of the look's.
const char* LookOptionValues(std::string_view option);

// Reads value into the look for option; false, the look unchanged, when the
// value is not one the option takes or the option is none of the look's.
bool ParseLookOption(std::string_view option, std::string_view value, LookSettings* look);
