#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

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

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            result.action = CommandAction::kHelp;
            return result;
        }
        if (argument == "--version") {
            result.action = CommandAction::kVersion;
            return result;
        }
        if (argument == "--root" || argument == "-root") {
            result.onForeignWindow = true;
        } else if (argument == "--window-id" && i + 1 < argc &&
                   ParseWindowId(argv[i + 1], &result.windowId)) {
            result.onForeignWindow = true;
            ++i;
        } else if (argument == "--fps") {
            result.printRate = true;
        } else {
            result.action = CommandAction::kBadOption;
            result.badOption =
                argument == "--window-id" && i + 1 < argc ? argument + " " + argv[i + 1] : argument;
            return result;
        }
    }
    return result;
}

std::string HelpText(const std::string& installedTexture)
{
    std::string text =
        std::string("Usage: ") + kCommand +
        " [--help | --version | --root [--fps] | --window-id ID [--fps]]\n"
        "Zelk's little tunnel: the camera flies without end through a twisting,\n"
        "textured tunnel. A warning box comes first; then the tunnel runs in a\n"
        "window until Escape.\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
        "\n"
        "As an XScreenSaver hack (no box, no title, keys ignored; ends on SIGTERM,\n"
        "SIGINT or the window's destruction):\n"
        "      --root     draw on $XSCREENSAVER_WINDOW, or on the root window\n"
        "                 when it is unset (-root is read the same)\n"
        "      --window-id ID\n"
        "                 draw on the X window ID (decimal, or hexadecimal after 0x)\n"
        "      --fps      print the frame rate on standard output once a second\n"
        "\n"
        "Keys:\n"
        "  space    change the tunnel's shape (plain or rippled)\n"
        "  + / -    faster / slower\n"
        "  * / /    narrower / wider camera focal\n"
        "  1 .. 4   8, 16, 32 or 64 quads per ring\n"
        "  Escape   no new rings; the program ends once the camera has passed the last one\n"
        "\n"
        "Texture: Demo.jpg in the current folder; without one there,\n";
    text += installedTexture.empty() ? std::string("the installed copy") : installedTexture;
    text += ";\nwithout either, a black and white checker.\n";
    return text;
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
        std::fprintf(stderr, "%s: unknown option or value '%s' (try %s --help)\n", kCommand,
                     commandLine.badOption.c_str(), kCommand);
        return 2;
    case CommandAction::kRun:
        break;
    }
    return 0;
}
