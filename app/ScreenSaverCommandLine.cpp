#include "app/ScreenSaverCommandLine.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// Reads one decimal number in [low, high] followed by a space or the end.
bool ParseNumber(const char*& text, long long low, long long high, long long& value)
{
    text = SkipSpaces(text);
    if (!std::isdigit(static_cast<unsigned char>(text[*text == '-' ? 1 : 0])))
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    if (errno != 0 || value < low || value > high || (*end != '\0' && *end != ' ' && *end != '\t'))
        return false;
    text = end;
    return true;
}

// The six numbers of a monitor's share; false unless they make up the line.
bool ParseMonitorShare(const char* text, MonitorShare& share)
{
    long long numbers[6];
    const long long handleMax = static_cast<long long>(INTPTR_MAX);
    const long long limits[6][2] = {{INT_MIN, INT_MAX}, {INT_MIN, INT_MAX}, {1, INT_MAX},
                                    {1, INT_MAX},       {1, handleMax},     {1, handleMax}};
    for (int i = 0; i < 6; ++i) {
        if (!ParseNumber(text, limits[i][0], limits[i][1], numbers[i]))
            return false;
    }
    if (*SkipSpaces(text) != '\0')
        return false;
    share.left = static_cast<int>(numbers[0]);
    share.top = static_cast<int>(numbers[1]);
    share.width = static_cast<int>(numbers[2]);
    share.height = static_cast<int>(numbers[3]);
    share.endSignal = static_cast<std::uintptr_t>(numbers[4]);
    share.starter = static_cast<std::uintptr_t>(numbers[5]);
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
        request.mode = ParseMonitorShare(rest, request.share) ? ScreenSaverMode::kOneMonitor
                                                              : ScreenSaverMode::kFullScreen;
        return request;
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
    if (!ParseHandle(rest, request.window))
        request.window = 0;
    return request;
}

ScreenSaverRequest ScreenSaverRequestFor(const char* commandLine, const char* programPath)
{
    ScreenSaverRequest request = ParseScreenSaverCommandLine(commandLine);
    const bool blank = commandLine == nullptr || *SkipSpaces(commandLine) == '\0';
    if (blank && IsScreenSaverFileName(programPath))
        request.mode = ScreenSaverMode::kSettings;
    return request;
}

bool IsScreenSaverFileName(const char* path)
{
    if (path == nullptr)
        return false;
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/' || *c == ':')
            name = c + 1;
    }
    const std::size_t length = std::strlen(name);
    if (length <= 4)
        return false;
    const char* extension = name + length - 4;
    return extension[0] == '.' && std::tolower(static_cast<unsigned char>(extension[1])) == 's' &&
           std::tolower(static_cast<unsigned char>(extension[2])) == 'c' &&
           std::tolower(static_cast<unsigned char>(extension[3])) == 'r';
}

bool FormatMonitorShareArguments(const MonitorShare& share, char* buffer, std::size_t size)
{
    const int written =
        std::snprintf(buffer, size, "/s %d %d %d %d %llu %llu", share.left, share.top, share.width,
                      share.height, static_cast<unsigned long long>(share.endSignal),
                      static_cast<unsigned long long>(share.starter));
    return written > 0 && static_cast<std::size_t>(written) < size;
}
