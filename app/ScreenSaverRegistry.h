#pragma once

// The Windows saver's look, kept per user in the registry under
// HKCU\Software\Zelk's little tunnel\Screen saver, one value per setting
// (look/LookStoredValues.h says which). Windows only.

#include "look/LookSettings.h"

extern const char kSaverRegistryKey[];

// The stored look; the default for every setting the key does not hold in
// a usable form, and the whole default look when there is no key.
LookSettings ReadSaverLook();

// Stores every setting of the look; false when the key cannot be written.
bool WriteSaverLook(const LookSettings& look);
