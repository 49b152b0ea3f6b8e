#include "platform/ReportError.h"

#include <cstdarg>
#include <cstdio>

void ReportError(const char* who, const char* format, ...)
{
    char message[1024];
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "zelk-tunnel: %s: %s\n", who, message);
    std::fflush(stderr);
}
