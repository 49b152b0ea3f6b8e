#include "ToolOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

bool ParseWholeNumber(const std::string& text, long low, long high, long* value)
{
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    *value = parsed;
    return true;
}

std::string TakeFrameSize(const std::string& value, int* width, int* height)
{
    const std::size_t x = value.find('x');
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !ParseWholeNumber(value.substr(0, x), 1, 16384, &w) ||
        !ParseWholeNumber(value.substr(x + 1), 1, 16384, &h)) {
        return "--size wants WxH, each from 1 to 16384: " + value;
    }
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return "";
}

std::string TakeFrameRate(const std::string& value, double* framesPerSecond)
{
    long rate = 0;
    if (!ParseWholeNumber(value, 1, 1000000, &rate)) {
        return "--fps wants a whole number from 1 to 1000000: " + value;
    }
    *framesPerSecond = static_cast<double>(rate);
    return "";
}

bool TakeFrameOption(const std::string& name, const std::string& value, long maxFrames,
                     FrameOptions* frame, std::string* complaint)
{
    if (name == "--size") {
        *complaint = TakeFrameSize(value, &frame->width, &frame->height);
    } else if (name == "--fps") {
        *complaint = TakeFrameRate(value, &frame->framesPerSecond);
    } else if (name == "--frames") {
        *complaint = ParseWholeNumber(value, 1, maxFrames, &frame->frames)
                         ? std::string()
                         : "--frames wants a positive number: " + value;
    } else {
        return false;
    }
    return true;
}

std::function<bool(const std::string& name)> SetFlagOn(const char* name, bool* value)
{
    const std::string flag = name;
    return [flag, value](const std::string& given) {
        if (given != flag) {
            return false;
        }
        *value = true;
        return true;
    };
}

int WalkToolOptions(int argc, char** argv, const char* tool, const char* usage,
                    const ToolOptionHandlers& handlers)
{
    std::string complaint;
    for (int i = 1; i < argc && complaint.empty(); ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (handlers.takeFlag(name)) {
            continue;
        }
        if (i + 1 >= argc) {
            complaint = "unknown option or missing value: " + name;
        } else {
            complaint = handlers.takeValue(name, argv[++i]);
        }
    }
    if (!complaint.empty()) {
        std::fprintf(stderr, "%s: %s\n(try --help)\n", tool, complaint.c_str());
        return 2;
    }
    return -1;
}
