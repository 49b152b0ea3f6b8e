#include "platform/Win32Files.h"

#include "platform/RegularFile.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A handle is the file descriptor itself; descriptors are never -1, so they
// never collide with INVALID_HANDLE_VALUE.
int Descriptor(HANDLE handle)
{
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(handle);
    return (value >= 0 && value <= INT32_MAX) ? static_cast<int>(value) : -1;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*securityAttributes*/, DWORD creationDisposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/)
{
    if (fileName == nullptr || desiredAccess != GENERIC_READ ||
        creationDisposition != OPEN_EXISTING) {
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    // Only regular files: Windows refuses a directory this way, and a FIFO or
    // a device could make a read wait for ever.
    const int fd = OpenRegularFileDescriptor(fileName);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped)
{
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    const int fd = Descriptor(file);
    if (fd < 0 || overlapped != nullptr || (buffer == nullptr && bytesToRead != 0)) {
        errno = EINVAL;
        return FALSE;
    }
    // read() may return less than asked (and at most about 2 GiB at once), so
    // keep reading until the count is met, the file ends or an error occurs.
    unsigned char* out = static_cast<unsigned char*>(buffer);
    DWORD total = 0;
    BOOL ok = TRUE;
    while (total < bytesToRead) {
        const ssize_t got = ::read(fd, out + total, static_cast<std::size_t>(bytesToRead - total));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = FALSE;
            break;
        }
        if (got == 0) {
            break;  // end of file: success with a short count, as on Windows
        }
        total += static_cast<DWORD>(got);
    }
    if (bytesRead != nullptr) {
        *bytesRead = total;
    }
    return ok;
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size)
{
    const int fd = Descriptor(file);
    struct stat info;
    if (fd < 0 || size == nullptr || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return FALSE;
    }
    size->QuadPart = static_cast<LONGLONG>(info.st_size);
    return TRUE;
}

BOOL CloseHandle(HANDLE object)
{
    const int fd = Descriptor(object);
    if (fd < 0) {
        errno = EBADF;
        return FALSE;
    }
    // The descriptor is released even when close() reports EINTR, so never retry.
    return ::close(fd) == 0 ? TRUE : FALSE;
}
