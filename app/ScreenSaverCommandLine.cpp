#include "app/ScreenSaverCommandLine.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace {

const char* SkipSpaces(const char* text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    return text;
}

// Reads a handle that makes up the rest of the line; false for anything else.
bool ParseHandle(const char* text, std::uintptr_t& handle)
{
    text = SkipSpaces(text);
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return false;
    const bool hexadecimal = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, hexadecimal ? 16 : 10);
    if (errno != 0 || *SkipSpaces(end) != '\0' || value > UINTPTR_MAX)
        return false;
    handle = static_cast<std::uintptr_t>(value);
    return true;
}

}  // namespace

ScreenSaverRequest ParseScreenSaverCommandLine(const char* commandLine)
{
    ScreenSaverRequest request;
    if (commandLine == nullptr)
        return request;
    const char* text = SkipSpaces(commandLine);
    if ((text[0] != '/' && text[0] != '-') || text[1] == '\0')
        return request;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[1])));
    const char* rest = text + 2;
    // The letter stands alone: "/s", "/p 123", "/p:123", but not "/scan".
    if (*rest != '\0' && *rest != ' ' && *rest != '\t' && *rest != ':')
        return request;
    if (*rest == ':')
        ++rest;
    switch (letter) {
    case 's':
        request.mode = ScreenSaverMode::kFullScreen;
        break;
    case 'p':
        request.mode = ScreenSaverMode::kPreview;
        break;
    case 'c':
        request.mode = ScreenSaverMode::kSettings;
        break;
    default:
        return request;
    }
    // A missing or unreadable handle is no window: a preview ends at once,
    // the settings box has no owner.
    if (request.mode != ScreenSaverMode::kFullScreen && !ParseHandle(rest, request.window))
        request.window = 0;
    return request;
}
