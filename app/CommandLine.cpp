#include "app/CommandLine.h"

#include <cstdio>

#include "texture/TextureLocation.h"

namespace {

constexpr char kCommand[] = "zelk-tunnel";

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            result.action = CommandAction::kHelp;
        } else if (argument == "--version") {
            result.action = CommandAction::kVersion;
        } else {
            result.action = CommandAction::kBadOption;
            result.badOption = argument;
        }
        return result;  // each option so far ends the program: the rest is not read
    }
    return result;
}

std::string HelpText(const std::string& installedTexture)
{
    std::string text = std::string("Usage: ") + kCommand + " [--help | --version]\n"
        "Zelk's little tunnel: the camera flies without end through a twisting,\n"
        "textured tunnel. A warning box comes first; then the tunnel runs in a\n"
        "window until Escape.\n"
        "\n"
        "Options:\n"
        "  -h, --help     show this help and exit\n"
        "      --version  show the version and exit\n"
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
        std::printf("%s %s\n", kCommand, TUNNEL_VERSION);
        return 0;
    case CommandAction::kBadOption:
        std::fprintf(stderr, "%s: unknown option '%s' (try %s --help)\n", kCommand,
                     commandLine.badOption.c_str(), kCommand);
        return 2;
    case CommandAction::kRun:
        break;
    }
    return 0;
}
