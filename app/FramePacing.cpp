#include "app/FramePacing.h"

#include <cstring>

int RefreshRateOrDefault(int reported)
{
    return reported <= 1 ? 60 : reported;
}

std::int64_t TicksPerRefresh(std::int64_t counterFrequency, int refreshRate)
{
    return (counterFrequency + refreshRate - 1) / refreshRate;
}

std::uint32_t MillisecondsUntil(std::int64_t now, std::int64_t due, std::int64_t counterFrequency)
{
    if (now >= due)
        return 0;
    const std::int64_t ticks = due - now;
    // Split so that the product cannot overflow for any counter frequency.
    const std::int64_t whole = ticks / counterFrequency * 1000;
    const std::int64_t part =
        (ticks % counterFrequency * 1000 + counterFrequency - 1) / counterFrequency;
    const std::int64_t milliseconds = whole + part;
    return milliseconds > UINT32_MAX - 1 ? UINT32_MAX - 1
                                         : static_cast<std::uint32_t>(milliseconds);
}

bool ExtensionListed(const char* list, const char* name)
{
    if (list == nullptr || name == nullptr || *name == '\0')
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}
