#include "app/ScreenSaverRegistry.h"

#include <vector>

#include "look/LookStoredValues.h"
#include "platform/Win32Types.h"

const char kSaverRegistryKey[] = "Software\\Zelk's little tunnel\\Screen saver";

namespace {

// One value of the open key, whatever it holds.
StoredValue ReadValue(HKEY key, const char* name)
{
    StoredValue value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.kind = StoredKind::kOther;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD) {
            value.kind = StoredKind::kNumber;
            value.number = number;
        }
    } else if (type == REG_SZ && size <= 32768) {
        // One byte more: a string stored without its terminator gets one.
        std::vector<char> text(size + 1, '\0');
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &size) == ERROR_SUCCESS &&
            type == REG_SZ && size < text.size()) {
            value.kind = StoredKind::kText;
            value.text.assign(text.data(), size);
            // The terminator as stored, and nothing after it.
            while (!value.text.empty() && value.text.back() == '\0')
                value.text.pop_back();
        }
    }
    return value;
}

}  // namespace

LookSettings ReadSaverLook()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSaverRegistryKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return LookSettings{};
    const LookSettings look =
        LookFromStoredValues([key](const char* name) { return ReadValue(key, name); });
    RegCloseKey(key);
    return look;
}

bool WriteSaverLook(const LookSettings& look)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSaverRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const char* name : kLookValueNames) {
        const StoredValue value = StoredValueOf(look, name);
        LONG result = ERROR_SUCCESS;
        if (value.kind == StoredKind::kNumber) {
            const DWORD number = value.number;
            result = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                    sizeof number);
        } else if (value.kind == StoredKind::kText) {
            result = RegSetValueExA(key, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.text.c_str()),
                                    static_cast<DWORD>(value.text.size() + 1));
        }
        written = written && result == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return written;
}
