#pragma once

// The web window backend: the window model in a browser page. The canvas is
// the window's client area, at the client size a desktop frame leaves of the
// outer size asked for (632 x 446 for 640 x 480), narrower when the page is,
// the whole screen in full screen (a double-click or the page's button);
// MessageBoxA is the page's modal box; the title is the document's; typed
// characters come as the user's layout makes them; the swap waits for the
// browser's next animation frame; the counter is performance.now() in
// microseconds. Built with Emscripten, under -sASYNCIFY: the box, the swap
// and the texture's decoding wait for the browser without leaving the
// caller's loop.

#include <string>

// Installs the backend; false, with the reason, when the page has given the
// program no canvas.
bool StartWebBackend(std::string* reason);
// Lets go of the canvas, if the window still holds it.
void StopWebBackend();
