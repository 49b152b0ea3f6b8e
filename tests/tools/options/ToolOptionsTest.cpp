#include "ToolOptions.h"

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(ParseWholeNumber, TakesTheWholeTextWithinItsBounds)
{
    long value = -7;
    EXPECT_TRUE(ParseWholeNumber("0", 0, 10, &value));
    EXPECT_EQ(0, value);
    EXPECT_TRUE(ParseWholeNumber("10", 0, 10, &value));
    EXPECT_EQ(10, value);
    EXPECT_TRUE(ParseWholeNumber("-3", -5, 5, &value));
    EXPECT_EQ(-3, value);
}

TEST(ParseWholeNumber, RefusesWhatIsNotOneNumberInRangeAndKeepsTheOldValue)
{
    long value = 42;
    for (const char* text : {"", "11", "-1", "3x", "x3", "1.5", "0x10", "99999999999999999999"}) {
        EXPECT_FALSE(ParseWholeNumber(text, 0, 10, &value)) << text;
    }
    EXPECT_FALSE(ParseWholeNumber("9223372036854775807", 1, LONG_MAX / 2, &value));
    EXPECT_EQ(42, value);
}

TEST(TakeFrameSize, ReadsWidthByHeightFromOneTo16384)
{
    int width = 1;
    int height = 1;
    EXPECT_EQ("", TakeFrameSize("640x480", &width, &height));
    EXPECT_EQ(640, width);
    EXPECT_EQ(480, height);
    EXPECT_EQ("", TakeFrameSize("16384x1", &width, &height));
    EXPECT_EQ(16384, width);
    EXPECT_EQ(1, height);
    for (const char* text : {"640", "640x", "x480", "0x480", "640x0", "16385x1", "640x480x2"}) {
        EXPECT_EQ(std::string("--size wants WxH, each from 1 to 16384: ") + text,
                  TakeFrameSize(text, &width, &height));
    }
    EXPECT_EQ(16384, width);
    EXPECT_EQ(1, height);
}

TEST(TakeFrameRate, ReadsAWholeRateFromOneToAMillion)
{
    double rate = 60.0;
    EXPECT_EQ("", TakeFrameRate("1000000", &rate));
    EXPECT_EQ(1000000.0, rate);
    EXPECT_EQ("--fps wants a whole number from 1 to 1000000: 0", TakeFrameRate("0", &rate));
    EXPECT_EQ("--fps wants a whole number from 1 to 1000000: 29.97", TakeFrameRate("29.97", &rate));
    EXPECT_EQ(1000000.0, rate);
}

// Each option is taken, well or with its own complaint; a refused value
// leaves the frames as they were, and other names are left to the tool.
TEST(TakeFrameOption, TakesSizeRateAndCountAndLeavesOtherNamesAlone)
{
    const struct {
        const char* name;
        const char* value;
        const char* complaint;
    } cases[] = {
        {"--size", "320x200", ""},
        {"--fps", "30", ""},
        {"--frames", "100", ""},
        {"--frames", "101", "--frames wants a positive number: 101"},
        {"--frames", "0", "--frames wants a positive number: 0"},
        {"--size", "640", "--size wants WxH, each from 1 to 16384: 640"},
        {"--fps", "0", "--fps wants a whole number from 1 to 1000000: 0"},
    };
    FrameOptions frame;
    for (const auto& c : cases) {
        std::string complaint = "unset";
        EXPECT_TRUE(TakeFrameOption(c.name, c.value, 100, &frame, &complaint)) << c.name;
        EXPECT_EQ(c.complaint, complaint) << c.name << " " << c.value;
    }
    EXPECT_EQ(320, frame.width);
    EXPECT_EQ(200, frame.height);
    EXPECT_EQ(30.0, frame.framesPerSecond);
    EXPECT_EQ(100, frame.frames);

    std::string complaint = "unset";
    EXPECT_FALSE(TakeFrameOption("--skip", "3", 100, &frame, &complaint));
    EXPECT_FALSE(TakeFrameOption("--frame", "3", 100, &frame, &complaint));
    EXPECT_EQ("unset", complaint);
}

TEST(SetFlagOn, SetsItsFlagForItsNameOnly)
{
    bool value = false;
    const auto takeFlag = SetFlagOn("--titles", &value);
    EXPECT_FALSE(takeFlag("--title"));
    EXPECT_FALSE(takeFlag("--titles=1"));
    EXPECT_FALSE(value);
    EXPECT_TRUE(takeFlag("--titles"));
    EXPECT_TRUE(value);
}

// A tool that knows --verbose (a flag) and --size, recording what it got.
struct Walk {
    bool verbose = false;
    std::vector<std::pair<std::string, std::string>> values;
    std::string out;
    std::string err;
    int status = 0;
};

Walk WalkOver(std::vector<std::string> args)
{
    Walk walk;
    args.insert(args.begin(), "tool");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    ToolOptionHandlers handlers;
    handlers.takeFlag = SetFlagOn("--verbose", &walk.verbose);
    handlers.takeValue = [&walk](const std::string& name, const std::string& value) {
        walk.values.emplace_back(name, value);
        return name == "--size" ? std::string() : "unknown option: " + name;
    };
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    walk.status = WalkToolOptions(static_cast<int>(argv.size()), argv.data(), "tool",
                                  "Usage: tool\n", handlers);
    walk.out = testing::internal::GetCapturedStdout();
    walk.err = testing::internal::GetCapturedStderr();
    return walk;
}

TEST(WalkToolOptions, HandsFlagsAndValuesOverInTheirOrder)
{
    const Walk walk = WalkOver({"--size", "1x2", "--verbose", "--size", "3x4"});
    EXPECT_EQ(-1, walk.status);
    EXPECT_TRUE(walk.verbose);
    const std::vector<std::pair<std::string, std::string>> expected = {{"--size", "1x2"},
                                                                       {"--size", "3x4"}};
    EXPECT_EQ(expected, walk.values);
    EXPECT_EQ("", walk.out);
    EXPECT_EQ("", walk.err);
}

TEST(WalkToolOptions, HelpPrintsTheUsageAndEndsWell)
{
    for (const char* help : {"--help", "-h"}) {
        const Walk walk = WalkOver({"--size", "1x2", help, "--bogus"});
        EXPECT_EQ(0, walk.status) << help;
        EXPECT_EQ("Usage: tool\n", walk.out);
        EXPECT_EQ("", walk.err);
    }
}

// The first complaint is the one line said; nothing after it is looked at.
TEST(WalkToolOptions, TheFirstComplaintEndsTheWalkWithStatusTwo)
{
    Walk walk = WalkOver({"--colour", "red", "--size", "1x2"});
    EXPECT_EQ(2, walk.status);
    EXPECT_EQ("tool: unknown option: --colour\n(try --help)\n", walk.err);
    EXPECT_EQ(1u, walk.values.size());

    walk = WalkOver({"--verbose", "--size"});
    EXPECT_EQ(2, walk.status);
    EXPECT_EQ("tool: unknown option or missing value: --size\n(try --help)\n", walk.err);
    EXPECT_TRUE(walk.values.empty());
    EXPECT_EQ("", walk.out);
}

}  // namespace
