#include "sdl/SdlXErrors.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>

namespace {

using XErrorHandlerFunction = int (*)(Display*, XErrorEvent*);

XErrorHandlerFunction g_previousHandler = nullptr;
char g_firstError[256] = "";

// Called by Xlib while it reads the server's answers: no X request here.
int KeepXError(Display* display, XErrorEvent* event)
{
    if (g_firstError[0] != '\0')
        return 0;
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::snprintf(g_firstError, sizeof g_firstError, "X error on request %d.%d: %s",
                  event->request_code, event->minor_code, text);
    return 0;
}

}  // namespace

void StartKeepingXErrors()
{
    g_firstError[0] = '\0';
    g_previousHandler = XSetErrorHandler(KeepXError);
}

std::string StopKeepingXErrors(SDL_Window* window)
{
    // Asking for the window's system would replace the error of the call
    // watched (SDL_GetError) where the answer is no.
    const std::string sdlError = SDL_GetError();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11)
        XSync(info.info.x11.display, False);
    SDL_SetError("%s", sdlError.c_str());
    XSetErrorHandler(g_previousHandler);
    g_previousHandler = nullptr;
    return g_firstError;
}
