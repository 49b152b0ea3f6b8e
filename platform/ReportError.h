#pragma once

// Every error line a backend or the window model writes: one line on
// stderr, "zelk-tunnel: <who>: <message>", so that whoever reads a log of
// several programs can tell ours and the part of it that failed.

#if defined(__GNUC__)
#define TUNNEL_PRINTF_LIKE(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define TUNNEL_PRINTF_LIKE(formatIndex, firstArgument)
#endif

// who: the backend's name (its table's name) or "window model".
void ReportError(const char* who, const char* format, ...) TUNNEL_PRINTF_LIKE(2, 3);
