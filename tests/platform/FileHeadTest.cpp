#include "platform/FileHead.h"

#include <string>

#include <gtest/gtest.h>

#include "TestImages.h"

namespace {

TEST(FileHead, ReadsUpToTheSizeAskedAndLessOnlyWhereTheFileEnds)
{
    TempDir dir;
    const std::string ten = dir.Path("ten.bin");
    WriteBytes(ten, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    unsigned char head[16] = {};
    std::size_t length = 99;
    EXPECT_TRUE(ReadFileHead(ten.c_str(), head, 8, &length));
    EXPECT_EQ(8u, length);
    EXPECT_EQ(7, head[7]);
    EXPECT_EQ(0, head[8]);  // nothing past the size asked

    EXPECT_TRUE(ReadFileHead(ten.c_str(), head, sizeof head, &length));
    EXPECT_EQ(10u, length);
    EXPECT_EQ(9, head[9]);

    const std::string empty = dir.Path("empty.bin");
    WriteBytes(empty, {});
    EXPECT_TRUE(ReadFileHead(empty.c_str(), head, sizeof head, &length));
    EXPECT_EQ(0u, length);
}

TEST(FileHead, WhatCannotBeOpenedIsNoHead)
{
    TempDir dir;
    unsigned char head[8];
    std::size_t length = 99;
    EXPECT_FALSE(ReadFileHead(dir.Path("missing.bin").c_str(), head, sizeof head, &length));
    EXPECT_EQ(0u, length);
    EXPECT_FALSE(ReadFileHead(dir.Path("").c_str(), head, sizeof head, &length));  // a directory
}

}  // namespace
