#include "x11/X11ForeignWindow.h"

#include "platform/ReportError.h"
#include "x11/X11Errors.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Errors outside the calls watched below (none are expected): said, and
// never fatal as Xlib's default handler would make them. One about our
// window means it has gone; its DestroyNotify ends the run.
unsigned long g_watchedWindow = 0;

int ReportStrayError(Display* display, XErrorEvent* event)
{
    if (event->resourceid == g_watchedWindow)
        return 0;
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    ReportError(kForeignX11Name, "X error on request %d.%d: %s", event->request_code,
                event->minor_code, text);
    return 0;
}

Display* DisplayOf(const X11ForeignWindow& foreign)
{
    return static_cast<Display*>(foreign.display);
}

std::string Hex(unsigned long id)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", id);
    return text;
}

bool WindowExists(X11ForeignWindow* foreign)
{
    XWindowAttributes attributes;
    StartKeepingX11Errors();
    const Status found = XGetWindowAttributes(DisplayOf(*foreign), foreign->window, &attributes);
    return StopKeepingX11Errors(foreign->display).text.empty() && found != 0;
}

// After a watched call: true when it raised no X error. An error while the
// window is no more is its end, not a fault (the window may go at any
// time, between any two of our requests); another is said on stderr.
bool CallSucceeded(X11ForeignWindow* foreign, const char* call)
{
    const X11KeptError kept = StopKeepingX11Errors(foreign->display);
    if (kept.text.empty())
        return true;
    if (kept.resource == foreign->window || !WindowExists(foreign))
        foreign->gone = true;
    else
        ReportError(kForeignX11Name, "%s: %s", call, kept.text.c_str());
    return false;
}

void Fail(X11ForeignWindow* foreign, std::string* reason, const std::string& text)
{
    *reason = text;
    CloseForeignWindow(foreign);
}

}  // namespace

bool OpenForeignWindow(unsigned long id, X11ForeignWindow* foreign, std::string* reason)
{
    *foreign = X11ForeignWindow{};
    XSetErrorHandler(ReportStrayError);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        *reason = std::string("cannot open the X display ") +
                  (name != nullptr ? name : "(DISPLAY is not set)");
        return false;
    }
    foreign->display = display;
    foreign->window = id != 0 ? id : DefaultRootWindow(display);

    XWindowAttributes attributes;
    StartKeepingX11Errors();
    const Status found = XGetWindowAttributes(display, foreign->window, &attributes);
    if (found != 0)
        XSelectInput(display, foreign->window, StructureNotifyMask);
    if (!StopKeepingX11Errors(display).text.empty() || found == 0) {
        Fail(foreign, reason, "no X window " + Hex(id) + " on display " + DisplayString(display));
        return false;
    }
    g_watchedWindow = foreign->window;
    foreign->width = attributes.width;
    foreign->height = attributes.height;
    foreign->depth = attributes.depth;

    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
    int usesGl = 0;
    if (visual == nullptr || glXGetConfig(display, visual, GLX_USE_GL, &usesGl) != 0 || !usesGl) {
        if (visual != nullptr)
            XFree(visual);
        Fail(foreign, reason, "X window " + Hex(foreign->window) + " has a visual without OpenGL");
        return false;
    }
    foreign->visualInfo = visual;
    int doubleBuffered = 0;
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
    foreign->doubleBuffered = doubleBuffered != 0;
    XSync(display, False);
    return true;
}

bool PollForeignWindow(X11ForeignWindow* foreign)
{
    Display* display = DisplayOf(*foreign);
    bool resized = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ConfigureNotify && event.xconfigure.window == foreign->window) {
            if (event.xconfigure.width != foreign->width ||
                event.xconfigure.height != foreign->height) {
                foreign->width = event.xconfigure.width;
                foreign->height = event.xconfigure.height;
                resized = true;
            }
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == foreign->window) {
            foreign->gone = true;
        }
    }
    return resized;
}

bool CreateForeignContext(X11ForeignWindow* foreign)
{
    if (foreign->context != nullptr)
        return false;  // one context per window
    StartKeepingX11Errors();
    GLXContext context = glXCreateContext(
        DisplayOf(*foreign), static_cast<XVisualInfo*>(foreign->visualInfo), nullptr, True);
    if (!CallSucceeded(foreign, "glXCreateContext") && context != nullptr) {
        glXDestroyContext(DisplayOf(*foreign), context);
        context = nullptr;
    }
    foreign->context = context;
    return context != nullptr;
}

bool MakeForeignContextCurrent(X11ForeignWindow* foreign, bool current)
{
    if (!current)
        return glXMakeCurrent(DisplayOf(*foreign), None, nullptr) != 0;
    if (foreign->context == nullptr || foreign->gone)
        return false;
    StartKeepingX11Errors();
    const bool made = glXMakeCurrent(DisplayOf(*foreign), foreign->window,
                                     static_cast<GLXContext>(foreign->context)) != 0;
    return CallSucceeded(foreign, "glXMakeCurrent") && made;
}

void DeleteForeignContext(X11ForeignWindow* foreign)
{
    if (foreign->context == nullptr || foreign->display == nullptr)
        return;
    Display* display = DisplayOf(*foreign);
    if (glXGetCurrentContext() == static_cast<GLXContext>(foreign->context))
        glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, static_cast<GLXContext>(foreign->context));
    foreign->context = nullptr;
}

void PresentForeignFrame(X11ForeignWindow* foreign)
{
    if (foreign->gone)
        return;
    StartKeepingX11Errors();
    if (foreign->doubleBuffered)
        glXSwapBuffers(DisplayOf(*foreign), foreign->window);
    else
        glFlush();
    CallSucceeded(foreign, foreign->doubleBuffered ? "glXSwapBuffers" : "glFlush");
}

void CloseForeignWindow(X11ForeignWindow* foreign)
{
    if (foreign->display == nullptr)
        return;
    DeleteForeignContext(foreign);
    if (foreign->visualInfo != nullptr)
        XFree(foreign->visualInfo);
    // Closing the connection drops our event selection; the window itself
    // is untouched.
    XCloseDisplay(DisplayOf(*foreign));
    g_watchedWindow = 0;
    *foreign = X11ForeignWindow{};
}
