// The process entry on Linux: the SDL2 window backend under WinMain, whose
// result is the exit code.

#include "app/CommandLine.h"
#include "platform/Win32.h"
#include "platform/Win32Sdl.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
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
    std::string reason;
    if (!StartSdlBackend(&reason)) {
        std::fprintf(stderr, "cannot open a window: %s\n", reason.c_str());
        return 1;
    }
    const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(&g_instanceObject), nullptr,
                                 commandLine.data(), SW_SHOWNORMAL);
    StopSdlBackend();
    return exitCode;
}
