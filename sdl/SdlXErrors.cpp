#include "sdl/SdlXErrors.h"

#include "x11/X11Errors.h"

#include <SDL.h>
#include <SDL_syswm.h>

void StartKeepingXErrors()
{
    StartKeepingX11Errors();
}

std::string StopKeepingXErrors(SDL_Window* window)
{
    // Asking for the window's system would replace the error of the call
    // watched (SDL_GetError) where the answer is no.
    const std::string sdlError = SDL_GetError();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    void* display = nullptr;
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11)
        display = info.info.x11.display;
    SDL_SetError("%s", sdlError.c_str());
    return StopKeepingX11Errors(display).text;
}
