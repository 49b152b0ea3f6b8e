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
    EXPECT_TRUE(root.showRate);
    EXPECT_EQ(30000, root.delayMicroseconds);
    EXPECT_EQ(0x2a00007ul, Parse({"--window-id", "0x2a00007"}).windowId);
    const CommandLine decimal = Parse({"--window-id", "44040199", "--root"});
    EXPECT_EQ(44040199ul, decimal.windowId);
    EXPECT_FALSE(decimal.showRate);
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
    EXPECT_TRUE(single.showRate);
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

TEST(CommandLine, HelpSaysWhereTheTextureIsLookedFor)
{
    const std::string help = HelpText("/opt/zelk/share/zelk-tunnel/Demo.jpg");
    EXPECT_EQ(0u, help.find("Usage: zelk-tunnel"));
    EXPECT_NE(std::string::npos, help.find("Demo.jpg in the current folder"));
    EXPECT_NE(std::string::npos, help.find("/opt/zelk/share/zelk-tunnel/Demo.jpg"));
    for (const char* option : {"--root", "--window-id", "--fps", "--delay", "-delay"})
        EXPECT_NE(std::string::npos, help.find(option)) << option;
}

}  // namespace
