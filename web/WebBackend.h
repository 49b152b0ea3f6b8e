#pragma once

// The web window backend: the window model in a browser page. The canvas is
// the window's client area: the room the page leaves it, in device pixels up
// to a cap (WebBackend.js), the whole screen in full screen (a double-click or the page's button);
// MessageBoxA is the page's modal box; the title is the document's; typed
// characters come as the user's layout makes them; the swap waits for the
// browser's next animation frame; the counter is performance.now() in
// microseconds. Built with Emscripten, under -sASYNCIFY: the box, the swap
// and the texture's decoding wait for the browser without leaving the
// caller's loop. A lost WebGL context, once the browser restores it, is made
// again behind the same handle, and the GL state rebuilt (SetWebGlRebuilder).

#include <string>

// Installs the backend; false, with the reason, when the page has given the
// program no canvas.
bool StartWebBackend(std::string* reason);
// Lets go of the canvas, if the window still holds it.
void StopWebBackend();
// What rebuilds the GL state on a context made again, while it is current.
void SetWebGlRebuilder(void (*rebuild)());

// What takes the viewer's picture, dropped on the page or picked: a file the
// page wrote into the module's file system, the browser having decoded it.
void SetWebPictureHandler(void (*show)(const char* path));
