#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "look/LookOptions.h"
#include "texture/TextureLocation.h"

namespace {

constexpr char kCommand[] = "zelk-tunnel";
constexpr char kCopyright[] =
    "Copyright (c) 2026 Zelk's little tunnel developers\n"
    "MIT License: free to use, copy, modify and pass on; no warranty.";

}  // namespace

bool ParseWindowId(const char* text, unsigned long* id)
{
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    const bool hexadecimal = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, hexadecimal ? 16 : 10);
    if (errno != 0 || *end != '\0' || end == text + (hexadecimal ? 2 : 0) || value == 0)
        return false;
    *id = value;
    return true;
}

bool ParseDelay(const char* text, long* microseconds)
{
    if (text == nullptr || *text == '\0')
        return false;
    long value = 0;
    for (const char* digit = text; *digit != '\0'; ++digit) {
        if (*digit < '0' || *digit > '9')
            return false;
        value = value * 10 + (*digit - '0');
        if (value > kMaxDelayMicroseconds)
            return false;
    }
    *microseconds = value;
    return true;
}

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        // XScreenSaver's single-dash forms; "-h" stays the short help.
        const std::string given = argv[i];
        const bool singleDash = given.size() > 2 && given[0] == '-' && given[1] != '-';
        const std::string argument = singleDash ? "-" + given : given;
        if (argument == "--help" || argument == "-h") {
            result.action = CommandAction::kHelp;
            return result;
        }
        if (argument == "--version") {
            result.action = CommandAction::kVersion;
            return result;
        }
        if (const char* accepted = LookOptionValues(argument)) {
            if (i + 1 >= argc || !ParseLookOption(argument, argv[i + 1], &result.look)) {
                result.action = CommandAction::kBadValue;
                result.badOption = argv[i];
                result.badValue = i + 1 < argc ? argv[i + 1] : "";
                result.accepted = accepted;
                return result;
            }
            ++i;
        } else if (argument == "--saver-pictures") {
            result.saverPictures = true;
        } else if (argument == "--root") {
            result.onForeignWindow = true;
        } else if (argument == "--window-id" && i + 1 < argc &&
                   ParseWindowId(argv[i + 1], &result.windowId)) {
            result.onForeignWindow = true;
            ++i;
        } else if (argument == "--delay" && i + 1 < argc &&
                   ParseDelay(argv[i + 1], &result.delayMicroseconds)) {
            ++i;
        } else if (argument == "--fps") {
            result.look.showRate = true;
        } else {
            const bool takesValue = argument == "--window-id" || argument == "--delay";
            result.action = CommandAction::kBadOption;
            result.badOption = takesValue && i + 1 < argc ? std::string(argv[i]) + " " + argv[i + 1]
                                                          : std::string(argv[i]);
            return result;
        }
    }
    return result;
}

std::string HelpText(const std::string& installedTexture)
{
    std::string text =
        std::string("Usage: ") + kCommand +
        " [--help | --version] [look options] [(--root | --window-id ID) [--fps]\n"
        "       [--delay USEC]]\n"
        "Zelk's little tunnel: the camera flies without end through a twisting,\n"
        "textured tunnel. A warning box comes first; then the tunnel runs in a\n"
        "window until Escape.\n"
        "\n"
        "Options (each also with one dash: -root, -speed 3, ...):\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
        "\n"
        "The look it starts with, as if these keys were typed before the first frame\n"
        "(the keys still work on top):\n"
        "      --shape plain|rippled\n"
        "                 rippled: the space key, so the whole tunnel ripples\n"
        "      --speed N  N presses of + (N above 0) or - (below 0), -8 to 8;\n"
        "                 0 is the usual speed\n"
        "      --focal N  N presses of * or /, -8 to 8\n"
        "      --quads 8|16|32|64\n"
        "                 quads per ring: the key 1, 2, 3 or 4 (default 64)\n"
        "      --texture PATH\n"
        "                 the picture instead of Demo.jpg: a JPEG, PNG or BMP file,\n"
        "                 or a folder, searched at any depth, from which one is\n"
        "                 picked at random at each start\n"
        "      --saver-pictures\n"
        "                 a picture from the image folder set in XScreenSaver's\n"
        "                 settings (imageDirectory in ~/.xscreensaver), through\n"
        "                 xscreensaver-getimage-file; without one, as if not given\n"
        "\n"
        "As an XScreenSaver hack (no box, no title, keys ignored; ends on SIGTERM,\n"
        "SIGINT or the window's destruction):\n"
        "      --root     draw on $XSCREENSAVER_WINDOW, or on the root window\n"
        "                 when it is unset\n"
        "      --window-id ID\n"
        "                 draw on the X window ID (decimal, or hexadecimal after 0x)\n"
        "      --fps      show the frame rate and the triangles drawn, bottom left\n"
        "      --delay USEC\n"
        "                 wait from the start of one frame to the next, in\n"
        "                 microseconds, 0 to 10000000 (default 30000, about\n"
        "                 33 frames a second); 0 draws as fast as it can\n"
        "\n"
        "Keys:\n"
        "  space    change the tunnel's shape (plain or rippled)\n"
        "  + / -    faster / slower\n"
        "  * / /    narrower / wider camera focal\n"
        "  1 .. 4   8, 16, 32 or 64 quads per ring\n"
        "  Escape   no new rings; the program ends once the camera has passed the last one\n"
        "\n"
        "Texture: the picture chosen, else Demo.jpg in the current folder; without\n"
        "one there, ";
    text += installedTexture.empty() ? std::string("the installed copy") : installedTexture;
    text +=
        ";\nwithout either, or when the picture cannot be read, a black and white\n"
        "checker.\n";
    return text;
}

std::string CommandLineError(const CommandLine& commandLine)
{
    if (commandLine.action == CommandAction::kBadValue) {
        std::string line =
            std::string(kCommand) + ": " + commandLine.badOption + " takes " + commandLine.accepted;
        if (!commandLine.badValue.empty())
            line += ", not '" + commandLine.badValue + "'";
        return line;
    }
    return std::string(kCommand) + ": unknown option or value '" + commandLine.badOption +
           "' (try " + kCommand + " --help)";
}

int AnswerCommandLine(const CommandLine& commandLine)
{
    switch (commandLine.action) {
    case CommandAction::kHelp:
        std::fputs(HelpText(InstalledTexturePath(RunningExecutable(), "Demo.jpg")).c_str(), stdout);
        return 0;
    case CommandAction::kVersion:
        std::printf("%s %s\n%s\n", kCommand, TUNNEL_VERSION, kCopyright);
        return 0;
    case CommandAction::kBadOption:
    case CommandAction::kBadValue:
        std::fprintf(stderr, "%s\n", CommandLineError(commandLine).c_str());
        return 2;
    case CommandAction::kRun:
        break;
    }
    return 0;
}
