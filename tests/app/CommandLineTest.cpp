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

TEST(CommandLine, HelpSaysWhereTheTextureIsLookedFor)
{
    const std::string help = HelpText("/opt/zelk/share/zelk-tunnel/Demo.jpg");
    EXPECT_EQ(0u, help.find("Usage: zelk-tunnel"));
    EXPECT_NE(std::string::npos, help.find("Demo.jpg in the current folder"));
    EXPECT_NE(std::string::npos, help.find("/opt/zelk/share/zelk-tunnel/Demo.jpg"));
}

}  // namespace
