// tunnel-render: runs the tunnel effect without a window and writes chosen
// frames as PNG files. A fixed-step clock drives it, so a run is the same
// every time; keys can be typed before chosen frames.

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "FramebufferPng.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "look/LookOptions.h"
#include "look/LookSettings.h"
#include "ToolOptions.h"
#include "ToolWindow.h"

namespace {

const char kUsage[] =
    "Usage: tunnel-render [options]\n"
    "Runs the tunnel effect without a window (EGL, Mesa's surfaceless platform)\n"
    "and writes chosen frames as PNG files.\n"
    "\n"
    "  --size WxH      frame size in pixels (default 640x480)\n"
    "  --fps N         rate of the simulated clock: each frame is 1/N s after the\n"
    "                  previous one (default 60)\n"
    "  --frames N      number of frames to run (default: up to the last --shot,\n"
    "                  at least 1)\n"
    "  --shot N:FILE   write frame N to FILE as PNG; may be repeated\n"
    "  --key N:TEXT    type the characters of TEXT just before frame N; \\e types\n"
    "                  Escape and \\\\ a backslash; may be repeated\n"
    "  --dir DIR       load the texture Demo.jpg from DIR (default: the current\n"
    "                  directory; without it the effect uses its checker pattern)\n"
    "  --titles        print every window title the effect sets\n"
    "\n"
    "The look it starts with, as the program takes it (also with one dash), typed\n"
    "as keys after set-up and before frame 1, ahead of any --key 1:...:\n"
    "  --shape plain|rippled\n"
    "  --speed N       N presses of + (N above 0) or - (below 0), -8 to 8\n"
    "  --focal N       N presses of * or /, -8 to 8\n"
    "  --quads 8|16|32|64\n"
    "  --texture PATH  a JPEG, PNG or BMP picture instead of Demo.jpg, or a folder\n"
    "                  from which one is picked at random\n"
    "  --help          show this text\n"
    "\n"
    "Frame 1 is drawn at time 0, as if set-up took no time, so it shows the\n"
    "tunnel at travel 0. The run ends early when the effect asks to close (after\n"
    "Escape, once the tunnel has run out); a frame that is never reached is an\n"
    "error. Exit status: 0 on success, 1 on any error, 2 on a usage error.\n";

struct Options {
    FrameOptions frame;  // frames 0: up to the last shot
    std::map<long, std::vector<std::string>> shots;
    std::map<long, std::string> keys;
    std::string textureDir;
    bool printTitles = false;
    LookSettings look;
};

// "N:REST" with N a frame number from 1.
bool ParseFrameAndText(const std::string& arg, long* frame, std::string* rest)
{
    const std::size_t colon = arg.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    *rest = arg.substr(colon + 1);
    return ParseWholeNumber(arg.substr(0, colon), 1, LONG_MAX / 2, frame);
}

bool UnescapeKeys(const std::string& text, std::string* keys)
{
    keys->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            keys->push_back(text[i]);
            continue;
        }
        if (++i == text.size()) {
            return false;
        }
        if (text[i] == 'e') {
            keys->push_back('\x1b');
        } else if (text[i] == '\\') {
            keys->push_back('\\');
        } else {
            return false;
        }
    }
    return true;
}

// Returns -1 when the options are fine, else the exit status.
int ParseOptions(int argc, char** argv, Options* options)
{
    ToolOptionHandlers handlers;
    handlers.takeFlag = SetFlagOn("--titles", &options->printTitles);
    handlers.takeValue = [options](const std::string& name, const std::string& value) {
        const std::string lookOption = name.size() > 2 && name[1] != '-' ? "-" + name : name;
        if (const char* accepted = LookOptionValues(lookOption)) {
            if (!ParseLookOption(lookOption, value, &options->look)) {
                return name + " takes " + accepted + ", not '" + value + "'";
            }
            return std::string();
        }
        std::string complaint;
        if (TakeFrameOption(name, value, LONG_MAX / 2, &options->frame, &complaint)) {
            return complaint;
        }
        long frame = 0;
        std::string text;
        if (name == "--shot") {
            if (!ParseFrameAndText(value, &frame, &text) || text.empty()) {
                return "--shot wants N:FILE: " + value;
            }
            options->shots[frame].push_back(text);
            return std::string();
        }
        if (name == "--key") {
            std::string keys;
            if (!ParseFrameAndText(value, &frame, &text) || !UnescapeKeys(text, &keys)) {
                return "--key wants N:TEXT (escapes \\e and \\\\ only): " + value;
            }
            options->keys[frame] += keys;
            return std::string();
        }
        if (name == "--dir") {
            options->textureDir = value;
            return std::string();
        }
        return "unknown option: " + name;
    };
    const int status = WalkToolOptions(argc, argv, "tunnel-render", kUsage, handlers);
    if (status == -1 && options->frame.frames == 0) {
        options->frame.frames = options->shots.empty() ? 1 : options->shots.rbegin()->first;
    }
    return status;
}

// InitEffect looks for Demo.jpg in the current directory.
bool InitEffectIn(const std::string& dir)
{
    if (dir.empty()) {
        return InitEffect();
    }
    char saved[PATH_MAX];
    if (getcwd(saved, sizeof saved) == nullptr) {
        std::perror("tunnel-render: getcwd");
        return false;
    }
    if (chdir(dir.c_str()) != 0) {
        std::fprintf(stderr, "tunnel-render: cannot enter %s: %s\n", dir.c_str(),
                     std::strerror(errno));
        return false;
    }
    const bool ok = InitEffect();
    if (chdir(saved) != 0) {
        std::perror("tunnel-render: chdir back");
        return false;
    }
    return ok;
}

// The effect asks to close by posting WM_CLOSE to its window.
bool CloseRequested()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_CLOSE) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const int status = ParseOptions(argc, argv, &options);
    if (status >= 0) {
        return status;
    }

    HeadlessOptions headless;
    headless.printTitles = options.printTitles;
    ToolWindow window;
    if (!window.Open("tunnel-render", headless, options.frame.width, options.frame.height)) {
        return 1;
    }
    g_look = options.look;
    if (!g_look.picture.empty()) {
        // Named from here, though set-up may run in --dir.
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(g_look.picture, error);
        if (!error) {
            g_look.picture = absolute.string();
        }
    }
    if (!InitEffectIn(options.textureDir)) {
        return 1;
    }
    // As the program's shell does: the look's keys after set-up, before the
    // first frame.
    for (const char key : LookKeys(g_look)) {
        HandleKey(static_cast<unsigned char>(key));
    }

    const double step = 1.0 / options.frame.framesPerSecond;
    for (long frame = 1; frame <= options.frame.frames; ++frame) {
        const auto keys = options.keys.find(frame);
        if (keys != options.keys.end()) {
            for (const char key : keys->second) {
                HandleKey(static_cast<unsigned char>(key));
            }
        }
        // Time from the frame number, not summed: no drift over long runs.
        g_time = static_cast<float>(static_cast<double>(frame - 1) * step);
        g_deltaTime = frame == 1 ? 0.0f : static_cast<float>(step);
        RenderFrame();

        const auto shots = options.shots.find(frame);
        if (shots != options.shots.end()) {
            for (const std::string& file : shots->second) {
                std::string error;
                if (!WriteFramebufferPng(file, options.frame.width, options.frame.height, &error)) {
                    std::fprintf(stderr, "tunnel-render: %s\n", error.c_str());
                    return 1;
                }
            }
        }
        if (CloseRequested()) {
            std::printf("close requested at frame %ld\n", frame);
            if (!options.shots.empty() && options.shots.rbegin()->first > frame) {
                std::fprintf(stderr, "tunnel-render: frame %ld is never reached\n",
                             options.shots.rbegin()->first);
                return 1;
            }
            break;
        }
    }
    ShutdownEffect();
    return 0;
}
