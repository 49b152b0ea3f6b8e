#pragma once

// What the Windows Imaging Component decoders (jpeg/JpegWicDecoder.cpp,
// png/PngWicDecoder.cpp) share: COM for the length of one decode, owned
// interface pointers, and the file's name as WIC takes it. Windows only.

#include "platform/Win32Types.h"  // <windows.h>, lean and without min/max
#include <objbase.h>

#include <string>

// Owns one COM interface pointer for the length of a decode.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (pointer_ != nullptr)
            pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T* operator->() const { return pointer_; }
    T* get() const { return pointer_; }
    T** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    T* pointer_ = nullptr;
};

// COM for the calling thread, for one decode. A thread that already runs COM
// in the other apartment model keeps it; WIC works in either.
class ComScope {
public:
    ComScope()
    {
        const HRESULT result =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        ready_ = SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
        mustUninitialise_ = SUCCEEDED(result);
    }
    ~ComScope()
    {
        if (mustUninitialise_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
    bool mustUninitialise_ = false;
};

// The name is in the process's ANSI code page, as CreateFileA takes it.
inline bool WidePath(const char* path, std::wstring& wide)
{
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length <= 1)
        return false;  // invalid in this code page, or empty
    wide.assign(static_cast<std::size_t>(length), L'\0');
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, &wide[0], length) == length;
}

// Only a file on disk is read: a name that opens a pipe or a device fails
// like a missing file. WIC opens the name again after this check: cheap,
// and enough for pictures the viewer chose.
inline bool IsDiskFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}
