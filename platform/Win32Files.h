#pragma once

// The Win32 file calls that the BMP loader makes. On Windows the real
// ones from <windows.h>; elsewhere our layer over POSIX open/read/close
// (Win32FilesPosix.cpp) with the same names, signatures and return
// conventions: INVALID_HANDLE_VALUE when a file cannot be opened, and the
// count of bytes actually read, which is short at the end of the file.

#include "platform/Win32Types.h"

#if !defined(_WIN32)

#include <cstdint>

#define GENERIC_READ 0x80000000u
#define FILE_SHARE_READ 0x00000001u
#define OPEN_EXISTING 3u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

struct _SECURITY_ATTRIBUTES;
typedef _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct _OVERLAPPED;
typedef _OVERLAPPED* LPOVERLAPPED;

// Opens an existing file for reading. Only what the program asks for is
// supported: GENERIC_READ with OPEN_EXISTING on a regular file; anything else,
// a missing file, a directory, a FIFO or a device gives INVALID_HANDLE_VALUE
// at once. Sharing and flags are accepted and
// ignored (POSIX has no mandatory sharing modes).
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);

// Synchronous read from the current position; *bytesRead gets the count read,
// fewer than asked only at the end of the file or on an error. FALSE on an
// error, an invalid handle or an overlapped request (not supported).
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);

// The size of an open file; FALSE when it cannot be told.
BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size);

BOOL CloseHandle(HANDLE object);

#endif
