#include "app/ScreenSaverCommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char* line;
    ScreenSaverMode mode;
    std::uintptr_t window;
};

// The spellings Windows and its control panels have used, and lines that
// must leave the plain program alone.
TEST(ScreenSaverCommandLineTest, ReadsEveryWindowsSpellingAndNothingElse)
{
    const Expected cases[] = {
        {"", ScreenSaverMode::kNone, 0},
        {"Demo.jpg", ScreenSaverMode::kNone, 0},
        {"/", ScreenSaverMode::kNone, 0},
        {"/scan", ScreenSaverMode::kNone, 0},
        {"/a 123", ScreenSaverMode::kNone, 0},
        {"/s", ScreenSaverMode::kFullScreen, 0},
        {" -S ", ScreenSaverMode::kFullScreen, 0},
        {"/p 1234", ScreenSaverMode::kPreview, 1234},
        {"/P:1234", ScreenSaverMode::kPreview, 1234},
        {"-p 0x4d2", ScreenSaverMode::kPreview, 1234},
        {"/p", ScreenSaverMode::kPreview, 0},
        {"/p 12ab", ScreenSaverMode::kPreview, 0},
        {"/p 99999999999999999999999", ScreenSaverMode::kPreview, 0},
        {"/c", ScreenSaverMode::kSettings, 0},
        {"/c:5678", ScreenSaverMode::kSettings, 5678},
    };
    for (const Expected& expected : cases) {
        const ScreenSaverRequest request = ParseScreenSaverCommandLine(expected.line);
        EXPECT_EQ(expected.mode, request.mode) << '"' << expected.line << '"';
        EXPECT_EQ(expected.window, request.window) << '"' << expected.line << '"';
    }
    EXPECT_EQ(ScreenSaverMode::kNone, ParseScreenSaverCommandLine(nullptr).mode);
}

// The line the saver starts its other monitors with, written and read back;
// anything short of six fitting numbers is Windows' own /s.
TEST(ScreenSaverCommandLineTest, MonitorShareRoundTripsAndOnlyWhole)
{
    MonitorShare share;
    share.left = -1920;
    share.top = 0;
    share.width = 1920;
    share.height = 1080;
    share.endSignal = 0x1a4;
    share.starter = 4294967296u;
    char line[80];
    ASSERT_TRUE(FormatMonitorShareArguments(share, line, sizeof line));
    EXPECT_STREQ("/s -1920 0 1920 1080 420 4294967296", line);
    const ScreenSaverRequest request = ParseScreenSaverCommandLine(line);
    ASSERT_EQ(ScreenSaverMode::kOneMonitor, request.mode);
    EXPECT_EQ(-1920, request.share.left);
    EXPECT_EQ(0, request.share.top);
    EXPECT_EQ(1920, request.share.width);
    EXPECT_EQ(1080, request.share.height);
    EXPECT_EQ(420u, request.share.endSignal);
    EXPECT_EQ(4294967296u, request.share.starter);
    EXPECT_TRUE(FormatMonitorShareArguments(share, line, 36));  // 35 characters and the end
    EXPECT_FALSE(FormatMonitorShareArguments(share, line, 35));

    for (const char* notWhole :
         {"/s 0 0 800 600 4", "/s 0 0 800 600 4 8 9", "/s 0 0 0 600 4 8", "/s 0 0 800 600 0 8",
          "/s 0 0 800 600 4 8x", "/s 0 0 99999999999 600 4 8"}) {
        EXPECT_EQ(ScreenSaverMode::kFullScreen, ParseScreenSaverCommandLine(notWhole).mode)
            << notWhole;
    }
}

// A .scr started with nothing at all shows its settings; a .exe stays the
// plain program, and any argument keeps its meaning.
TEST(ScreenSaverCommandLineTest, ScrWithoutArgumentsAsksForTheSettings)
{
    EXPECT_EQ(ScreenSaverMode::kSettings,
              ScreenSaverRequestFor("", "C:\\Windows\\System32\\Tunnel.scr").mode);
    EXPECT_EQ(ScreenSaverMode::kSettings, ScreenSaverRequestFor(" ", "D:\\a.b\\TUNNEL.SCR").mode);
    EXPECT_EQ(ScreenSaverMode::kSettings, ScreenSaverRequestFor(nullptr, "tunnel.Scr").mode);
    EXPECT_EQ(ScreenSaverMode::kNone, ScreenSaverRequestFor("", "C:\\Games\\tunnel.exe").mode);
    EXPECT_EQ(ScreenSaverMode::kNone, ScreenSaverRequestFor("", "C:\\x.scr\\tunnel.exe").mode);
    EXPECT_EQ(ScreenSaverMode::kNone, ScreenSaverRequestFor("", "C:\\tunnel.scr.exe").mode);
    EXPECT_EQ(ScreenSaverMode::kNone, ScreenSaverRequestFor("", ".scr").mode);
    EXPECT_EQ(ScreenSaverMode::kNone, ScreenSaverRequestFor("Demo.jpg", "Tunnel.scr").mode);
    EXPECT_EQ(ScreenSaverMode::kFullScreen, ScreenSaverRequestFor("/s", "Tunnel.scr").mode);
    EXPECT_EQ(ScreenSaverMode::kPreview, ScreenSaverRequestFor("/p 7", "tunnel.exe").mode);
}

}  // namespace
