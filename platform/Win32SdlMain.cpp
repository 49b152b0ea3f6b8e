// The process entry of the SDL2 window layer: WinMain's result is the exit code.

#include "app/CommandLine.h"
#include "platform/Win32.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <string>

namespace {

char g_instanceObject;  // its address stands in for the module instance

}  // namespace

int main(int argc, char** argv)
{
    const CommandLine options = ParseCommandLine(argc, argv);
    if (options.action != CommandAction::kRun)
        return AnswerCommandLine(options);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    SDL_SetMainReady();
    const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(&g_instanceObject), nullptr,
                                 commandLine.data(), SW_SHOWNORMAL);
    SDL_Quit();
    return exitCode;
}
