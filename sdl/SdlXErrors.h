#pragma once

// X errors while the SDL2 backend sets up GL on an X11 window. Xlib's
// default handler ends the process on any error, and a GL driver that cannot
// load makes GLX requests fail (BadValue on X_GLXCreateContext) where SDL
// does not watch for it: between these two calls errors are kept instead,
// so that the backend can answer with a failed context.

#include <string>

struct SDL_Window;

// From now on X errors are kept, not handed to the handler installed before.
void StartKeepingXErrors();

// Waits until the window's X display has answered every request sent so far
// (when the window is on X11; a null window waits for nothing), puts the
// previous handler back and returns the first error kept, or "" for none.
std::string StopKeepingXErrors(SDL_Window* window);
