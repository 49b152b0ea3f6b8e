#include "app/DebugPrintf.h"

#include "platform/Win32.h"

#include <cstdarg>
#include <cstdio>

void DebugPrintf(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    // Some C runtimes leave a full buffer unterminated.
    buffer[sizeof buffer - 1] = '\0';
    OutputDebugStringA(buffer);
}
