#pragma once

// printf-style text to the debugger output, at most 1023 characters of it.
void DebugPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
