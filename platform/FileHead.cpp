#include "platform/FileHead.h"

#include "platform/Win32Files.h"

bool ReadFileHead(const char* path, unsigned char* head, std::size_t size, std::size_t* length)
{
    *length = 0;
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Only a read of nothing means the end of the file.
    bool failed = false;
    while (*length < size) {
        DWORD got = 0;
        if (!ReadFile(file, head + *length, static_cast<DWORD>(size - *length), &got, nullptr)) {
            failed = true;
            break;
        }
        if (got == 0) {
            break;
        }
        *length += got;
    }
    CloseHandle(file);
    return !failed;
}
