// The command line of the build's own tools (tunnel-render,
// measure-overdraw): one walk over the arguments, with --help, and strict
// readings of whole numbers, frame sizes and frame rates. The program and the
// hack have command lines of their own (app/, look/LookOptions); this is not
// for them.
#pragma once

#include <functional>
#include <string>

// All of text as a base-10 whole number from low to high.
bool ParseWholeNumber(const std::string& text, long low, long high, long* value);

// The readings the tools share. Each returns "" when the value is taken, else
// the complaint that names the option.
std::string TakeFrameSize(const std::string& value, int* width, int* height);  // WxH, 1 to 16384
std::string TakeFrameRate(const std::string& value, double* framesPerSecond);  // 1 to 1000000

// The frames a tool draws: their size, the simulated clock's rate, how many.
struct FrameOptions {
    int width = 640;
    int height = 480;
    double framesPerSecond = 60.0;
    long frames = 0;
};

// --size, --fps and --frames (1 to maxFrames), which every tool reads alike.
// False when name is none of them; else true, with "" or the complaint in
// *complaint.
bool TakeFrameOption(const std::string& name, const std::string& value, long maxFrames,
                     FrameOptions* frame, std::string* complaint);

// What a tool makes of one option. takeFlag: an option without a value,
// true when it is one. takeValue: an option with a value, "" when taken,
// else the complaint ("unknown option: ..." for a name it does not know).
struct ToolOptionHandlers {
    std::function<bool(const std::string& name)> takeFlag;
    std::function<std::string(const std::string& name, const std::string& value)> takeValue;
};

// A takeFlag for a tool whose one flag is name: it sets *value.
std::function<bool(const std::string& name)> SetFlagOn(const char* name, bool* value);

// Walks argv[1..]. --help or -h prints usage to stdout and gives 0; a
// complaint goes to stderr as "<tool>: <complaint>" and "(try --help)" and
// gives 2; when every option was taken, -1.
int WalkToolOptions(int argc, char** argv, const char* tool, const char* usage,
                    const ToolOptionHandlers& handlers);
