// The process entry on Linux: WinMain over the SDL2 window backend, or, as
// an XScreenSaver hack, over the foreign-window one; WinMain's result is the
// exit code.

#include "app/CommandLine.h"
#include "app/SaverPictures.h"
#include "look/LookSettings.h"
#include "platform/Win32.h"
#include "x11/X11Backend.h"
#include "sdl/SdlBackend.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

char g_instanceObject;  // its address stands in for the module instance

int RunWinMain(char* commandLine)
{
    return WinMain(reinterpret_cast<HINSTANCE>(&g_instanceObject), nullptr, commandLine,
                   SW_SHOWNORMAL);
}

// As a hack: the window is checked before anything else runs, so that a
// wrong id ends the program at once with one line and exit code 1.
int RunAsHack(const CommandLine& options)
{
    unsigned long windowId = options.windowId;
    const char* saverWindow = std::getenv("XSCREENSAVER_WINDOW");
    if (windowId == 0 && saverWindow != nullptr && !ParseWindowId(saverWindow, &windowId)) {
        std::fprintf(stderr, "zelk-tunnel: XSCREENSAVER_WINDOW is not a window id: %s\n",
                     saverWindow);
        return 1;
    }
    std::string reason;
    if (!StartForeignX11Backend(windowId, g_look.showRate, options.delayMicroseconds, &reason)) {
        std::fprintf(stderr, "zelk-tunnel: %s\n", reason.c_str());
        return 1;
    }
    char noArguments[] = "";
    const int exitCode = RunWinMain(noArguments);
    StopForeignX11Backend();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    const CommandLine options = ParseCommandLine(argc, argv);
    if (options.action != CommandAction::kRun)
        return AnswerCommandLine(options);
    g_look = options.look;
    if (options.saverPictures) {
        // Without a folder in XScreenSaver's settings, the picture the
        // look already has.
        std::string file;
        std::string reason;
        if (RunPictureHelper(FindPictureHelper(), kPictureHelperTimeoutMs, &file, &reason))
            g_look.picture = file;
        else
            std::fprintf(stderr, "zelk-tunnel: no picture from XScreenSaver's image folder: %s\n",
                         reason.c_str());
    }
    if (options.onForeignWindow)
        return RunAsHack(options);
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
    const int exitCode = RunWinMain(commandLine.data());
    StopSdlBackend();
    return exitCode;
}
