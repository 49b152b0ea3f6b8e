#include "app/CommandLine.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

CommandLine Parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "zelk-tunnel");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, NoArgumentsRunsTheEffect)
{
    EXPECT_EQ(CommandAction::kRun, Parse({}).action);
}

TEST(CommandLine, TheFirstArgumentDecides)
{
    EXPECT_EQ(CommandAction::kHelp, Parse({"--help"}).action);
    EXPECT_EQ(CommandAction::kHelp, Parse({"-h"}).action);
    EXPECT_EQ(CommandAction::kVersion, Parse({"--version"}).action);
    EXPECT_EQ(CommandAction::kHelp, Parse({"--help", "--bogus"}).action);
    EXPECT_EQ(CommandAction::kVersion, Parse({"--version", "--help"}).action);
    for (const char* bad : {"--bogus", "-x", "--help=yes", "--versio", "-", "", "Demo.jpg"}) {
        const CommandLine line = Parse({bad, "--help"});
        EXPECT_EQ(CommandAction::kBadOption, line.action) << bad;
        EXPECT_EQ(bad, line.badOption);
    }
}

// What XScreenSaver and X tools pass, and window ids that name no window.
TEST(CommandLine, XScreenSaverOptionsAttachToAForeignWindow)
{
    const CommandLine root = Parse({"-root", "--fps"});
    EXPECT_EQ(CommandAction::kRun, root.action);
    EXPECT_TRUE(root.onForeignWindow);
    EXPECT_EQ(0ul, root.windowId);
    EXPECT_TRUE(root.look.showRate);
    EXPECT_EQ(30000, root.delayMicroseconds);
    EXPECT_EQ(0x2a00007ul, Parse({"--window-id", "0x2a00007"}).windowId);
    const CommandLine decimal = Parse({"--window-id", "44040199", "--root"});
    EXPECT_EQ(44040199ul, decimal.windowId);
    EXPECT_FALSE(decimal.look.showRate);
    EXPECT_FALSE(Parse({"--fps"}).onForeignWindow);
    EXPECT_EQ(CommandAction::kHelp, Parse({"--root", "--help"}).action);
    for (const char* id : {"0", "0x", "12ab", "-5", "99999999999999999999999"})
        EXPECT_EQ(CommandAction::kBadOption, Parse({"--window-id", id}).action) << id;
    EXPECT_EQ(CommandAction::kBadOption, Parse({"--root", "--window-id"}).action);
}

// Every option in XScreenSaver's single-dash form too, as ~/.xscreensaver
// files and xscreensaver-settings write them.
TEST(CommandLine, SingleDashFormsAndDelays)
{
    const CommandLine single = Parse({"-window-id", "0x2a00007", "-fps", "-delay", "0"});
    EXPECT_EQ(CommandAction::kRun, single.action);
    EXPECT_EQ(0x2a00007ul, single.windowId);
    EXPECT_TRUE(single.look.showRate);
    EXPECT_EQ(0, single.delayMicroseconds);
    EXPECT_TRUE(Parse({"-root"}).onForeignWindow);
    EXPECT_EQ(10000000, Parse({"--root", "--delay", "10000000"}).delayMicroseconds);
    EXPECT_EQ(25, Parse({"--delay", "30000", "-delay", "0025"}).delayMicroseconds);
    EXPECT_EQ(CommandAction::kHelp, Parse({"-help"}).action);
    for (const char* delay :
         {"10000001", "-1", "+5", "1e3", "3.5", "", "0x10", "30000us", "99999999999999999999999"}) {
        const CommandLine line = Parse({"--root", "-delay", delay});
        EXPECT_EQ(CommandAction::kBadOption, line.action) << delay;
        EXPECT_EQ(std::string("-delay ") + delay, line.badOption);
    }
    EXPECT_EQ("--delay", Parse({"--root", "--delay"}).badOption);
    EXPECT_EQ("-fpsx", Parse({"-fpsx"}).badOption);
    EXPECT_EQ(CommandAction::kBadOption, Parse({"---root"}).action);
}

// The look's options in both forms, their limits, and the one line a bad
// value gets. Each row: the arguments, then the look they make or the line.
TEST(CommandLine, LookOptions)
{
    struct Row {
        std::vector<const char*> arguments;
        LookShape shape;
        int speed;
        int focal;
        int quads;
        const char* picture;
        const char* error;  // null: the program runs
    };
    const LookShape plain = LookShape::kPlain;
    const LookShape rippled = LookShape::kRippled;
    const Row rows[] = {
        {{}, plain, 0, 0, 64, "", nullptr},
        {{"--shape", "rippled"}, rippled, 0, 0, 64, "", nullptr},
        {{"-shape", "rippled", "--shape", "plain"}, plain, 0, 0, 64, "", nullptr},
        {{"--speed", "3", "-focal", "-8"}, plain, 3, -8, 64, "", nullptr},
        {{"-speed", "-8", "--focal", "+8"}, plain, -8, 8, 64, "", nullptr},
        {{"--speed", "0", "--focal", "-0"}, plain, 0, 0, 64, "", nullptr},
        {{"--quads", "8"}, plain, 0, 0, 8, "", nullptr},
        {{"-quads", "16", "--quads", "32"}, plain, 0, 0, 32, "", nullptr},
        {{"--texture", "/pictures/a b.png", "--root"},
         plain,
         0,
         0,
         64,
         "/pictures/a b.png",
         nullptr},
        {{"-texture", "-odd-name.jpg"}, plain, 0, 0, 64, "-odd-name.jpg", nullptr},
        {{"--quads", "12"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --quads takes 8, 16, 32 or 64, not '12'"},
        {{"-quads", "08"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: -quads takes 8, 16, 32 or 64, not '08'"},
        {{"--speed", "x"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --speed takes a whole number from -8 to 8, not 'x'"},
        {{"--speed", "99"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --speed takes a whole number from -8 to 8, not '99'"},
        {{"--focal", "9"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --focal takes a whole number from -8 to 8, not '9'"},
        {{"-focal", "2.5"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: -focal takes a whole number from -8 to 8, not '2.5'"},
        {{"--shape", "Rippled"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --shape takes plain or rippled, not 'Rippled'"},
        {{"--texture", ""},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --texture takes a picture file or a folder of pictures"},
        {{"--root", "--speed"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --speed takes a whole number from -8 to 8"},
        {{"--quads", "12", "--help"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: --quads takes 8, 16, 32 or 64, not '12'"},
        {{"--speedy", "3"},
         plain,
         0,
         0,
         64,
         "",
         "zelk-tunnel: unknown option or value '--speedy' (try zelk-tunnel --help)"},
    };
    for (const Row& row : rows) {
        std::string arguments;
        for (const char* argument : row.arguments)
            arguments += std::string(" [") + argument + "]";
        SCOPED_TRACE(arguments);
        const CommandLine line = Parse(row.arguments);
        if (row.error != nullptr) {
            EXPECT_NE(CommandAction::kRun, line.action);
            EXPECT_EQ(row.error, CommandLineError(line));
            continue;
        }
        EXPECT_EQ(CommandAction::kRun, line.action);
        EXPECT_EQ(row.shape, line.look.shape);
        EXPECT_EQ(row.speed, line.look.speedSteps);
        EXPECT_EQ(row.focal, line.look.focalSteps);
        EXPECT_EQ(row.quads, line.look.quadsPerRing);
        EXPECT_EQ(row.picture, line.look.picture);
        EXPECT_FALSE(line.look.showRate);
        EXPECT_FALSE(line.saverPictures);
    }
    EXPECT_TRUE(Parse({"-saver-pictures"}).saverPictures);
    EXPECT_TRUE(Parse({"--saver-pictures", "--root"}).saverPictures);
}

TEST(CommandLine, HelpSaysWhereTheTextureIsLookedFor)
{
    const std::string help = HelpText("/opt/zelk/share/zelk-tunnel/Demo.jpg");
    EXPECT_EQ(0u, help.find("Usage: zelk-tunnel"));
    EXPECT_NE(std::string::npos, help.find("Demo.jpg in the current folder"));
    EXPECT_NE(std::string::npos, help.find("/opt/zelk/share/zelk-tunnel/Demo.jpg"));
    for (const char* option : {"--root", "--window-id", "--fps", "--delay", "-delay", "--shape",
                               "--speed", "--focal", "--quads", "--texture", "--saver-pictures"})
        EXPECT_NE(std::string::npos, help.find(option)) << option;
}

}  // namespace
