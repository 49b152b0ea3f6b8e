#pragma once

// The SDL2 window backend: the program's real window on Linux, its OpenGL
// context, the keyboard as Windows messages, SDL's message boxes.

#include <string>

// Starts SDL's video on a driver that shows windows to a person (X11, then
// Wayland), or on the one the user names with SDL_VIDEODRIVER, and installs
// the backend. False, with the reason, when none can be started.
bool StartSdlBackend(std::string* reason);
void StopSdlBackend();
