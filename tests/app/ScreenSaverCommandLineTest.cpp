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

}  // namespace
