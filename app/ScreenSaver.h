#pragma once

// The program as a Windows screensaver (.scr): the effect in a full-screen
// window or in a preview inside another program's window, or the Configure
// dialog. Windows only; WinMain comes here before its warning box.

#include "app/ScreenSaverCommandLine.h"
#include "platform/Win32.h"

// What this program's command line asks of it, by its own file name too: a
// .scr started with no argument shows its settings.
ScreenSaverRequest ScreenSaverRequestOfThisProgram(const char* commandLine);

// Runs what the request asks for and returns the exit code, always 0.
int RunScreenSaver(HINSTANCE instance, const ScreenSaverRequest& request);
