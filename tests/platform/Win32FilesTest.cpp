#include "platform/Win32Files.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestImages.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

HANDLE OpenForReading(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

TEST(Win32Files, ReadsCountWhatTheyGotAndComeUpShortAtTheEnd)
{
    TempDir dir;
    const std::string path = dir.Path("ten.bin");
    WriteBytes(path, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});

    HANDLE file = OpenForReading(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    ASSERT_EQ(TRUE, GetFileSizeEx(file, &size));
    EXPECT_EQ(10, size.QuadPart);
    unsigned char buffer[16] = {};
    DWORD got = 99;
    EXPECT_EQ(TRUE, ReadFile(file, buffer, 4, &got, nullptr));
    EXPECT_EQ(4u, got);
    EXPECT_EQ(3, buffer[3]);
    // Sequential: the next read goes on from where the last stopped.
    EXPECT_EQ(TRUE, ReadFile(file, buffer, 16, &got, nullptr));
    EXPECT_EQ(6u, got);
    EXPECT_EQ(4, buffer[0]);
    EXPECT_EQ(9, buffer[5]);
    EXPECT_EQ(TRUE, ReadFile(file, buffer, 16, &got, nullptr));
    EXPECT_EQ(0u, got);
    EXPECT_EQ(TRUE, CloseHandle(file));
}

TEST(Win32Files, WhatCannotBeOpenedGivesTheInvalidHandle)
{
    TempDir dir;
    const std::string path = dir.Path("there.bin");
    WriteBytes(path, {1});
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenForReading(dir.Path("missing.bin")));
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenForReading(dir.Path("")));  // a directory
#if !defined(_WIN32)
    // Neither a FIFO (whose open would wait for a writer) nor a device.
    ASSERT_EQ(0, mkfifo(dir.Path("fifo").c_str(), 0600));
    alarm(30);  // a waiting open ends the test instead of hanging it
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenForReading(dir.Path("fifo")));
    alarm(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenForReading("/dev/zero"));
#endif
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(nullptr, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                OPEN_EXISTING, 0, nullptr));
    // Only reading existing files is supported.
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(path.c_str(), 0x40000000u, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, 2u, 0, nullptr));
}

TEST(Win32Files, InvalidHandlesAreRefused)
{
    unsigned char buffer[4];
    DWORD got = 99;
    EXPECT_EQ(FALSE, ReadFile(INVALID_HANDLE_VALUE, buffer, 4, &got, nullptr));
    EXPECT_EQ(0u, got);
    LARGE_INTEGER size;
    EXPECT_EQ(FALSE, GetFileSizeEx(INVALID_HANDLE_VALUE, &size));
    EXPECT_EQ(FALSE, CloseHandle(INVALID_HANDLE_VALUE));
}

}  // namespace
