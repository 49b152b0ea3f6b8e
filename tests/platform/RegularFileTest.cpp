#include "platform/RegularFile.h"

#include <string>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestImages.h"

namespace {

// The decoders read through this stream: a regular file opens and reads
// from its start; what is not one is refused at once, without waiting.
TEST(RegularFile, OpensOnlyRegularFiles)
{
    TempDir dir;
    const std::string path = dir.Path("three.bin");
    WriteBytes(path, {7, 8, 9});
    std::FILE* file = OpenRegularFile(path.c_str());
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(7, std::fgetc(file));
    EXPECT_EQ(0, std::fclose(file));

    ASSERT_EQ(0, mkfifo(dir.Path("fifo").c_str(), 0600));
    alarm(30);  // an open that waits for a writer ends the test instead of hanging it
    EXPECT_EQ(nullptr, OpenRegularFile(dir.Path("fifo").c_str()));
    alarm(0);
    EXPECT_EQ(nullptr, OpenRegularFile("/dev/zero"));
    EXPECT_EQ(nullptr, OpenRegularFile(dir.Path("").c_str()));
    EXPECT_EQ(nullptr, OpenRegularFile(dir.Path("missing.bin").c_str()));
    EXPECT_EQ(-1, OpenRegularFileDescriptor(dir.Path("fifo").c_str()));
}

}  // namespace
