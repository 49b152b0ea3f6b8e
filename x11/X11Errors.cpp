#include "x11/X11Errors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace {

using XErrorHandlerFunction = int (*)(Display*, XErrorEvent*);

XErrorHandlerFunction g_previousHandler = nullptr;
bool g_keptOne = false;
char g_keptText[256] = "";
unsigned long g_keptResource = 0;

// Called by Xlib while it reads the server's answers: no X request here.
int KeepError(Display* display, XErrorEvent* event)
{
    if (g_keptOne)
        return 0;
    g_keptOne = true;
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::snprintf(g_keptText, sizeof g_keptText, "X error on request %d.%d: %s",
                  event->request_code, event->minor_code, text);
    g_keptResource = event->resourceid;
    return 0;
}

}  // namespace

void StartKeepingX11Errors()
{
    g_keptOne = false;
    g_keptText[0] = '\0';
    g_keptResource = 0;
    g_previousHandler = XSetErrorHandler(KeepError);
}

X11KeptError StopKeepingX11Errors(void* display)
{
    if (display != nullptr)
        XSync(static_cast<Display*>(display), False);
    XSetErrorHandler(g_previousHandler);
    g_previousHandler = nullptr;
    X11KeptError kept;
    if (g_keptOne) {
        kept.text = g_keptText;
        kept.resource = g_keptResource;
    }
    return kept;
}
