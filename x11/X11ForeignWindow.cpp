#include "x11/X11ForeignWindow.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Xlib reports errors through one process-wide handler; its default prints
// and exits. Ours counts them: a request on a window that has just gone
// fails harmlessly, and the DestroyNotify that follows ends the run.
int g_errorCount = 0;

int CountError(Display* /*display*/, XErrorEvent* /*error*/)
{
    ++g_errorCount;
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

void Fail(X11ForeignWindow* foreign, std::string* reason, const std::string& text)
{
    *reason = text;
    CloseForeignWindow(foreign);
}

}  // namespace

bool OpenForeignWindow(unsigned long id, X11ForeignWindow* foreign, std::string* reason)
{
    *foreign = X11ForeignWindow{};
    XSetErrorHandler(CountError);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        *reason = std::string("cannot open the X display ") +
                  (name != nullptr ? name : "(DISPLAY is not set)");
        return false;
    }
    foreign->display = display;
    foreign->window = id != 0 ? id : DefaultRootWindow(display);

    const int errorsBefore = g_errorCount;
    XWindowAttributes attributes;
    const Status found = XGetWindowAttributes(display, foreign->window, &attributes);
    if (found == 0 || g_errorCount != errorsBefore) {
        Fail(foreign, reason, "no X window " + Hex(id) + " on display " + DisplayString(display));
        return false;
    }
    XSelectInput(display, foreign->window, StructureNotifyMask);
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
    GLXContext context = glXCreateContext(
        DisplayOf(*foreign), static_cast<XVisualInfo*>(foreign->visualInfo), nullptr, True);
    foreign->context = context;
    return context != nullptr;
}

bool MakeForeignContextCurrent(X11ForeignWindow* foreign, bool current)
{
    if (!current)
        return glXMakeCurrent(DisplayOf(*foreign), None, nullptr) != 0;
    if (foreign->context == nullptr || foreign->gone)
        return false;
    return glXMakeCurrent(DisplayOf(*foreign), foreign->window,
                          static_cast<GLXContext>(foreign->context)) != 0;
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
    if (foreign->doubleBuffered)
        glXSwapBuffers(DisplayOf(*foreign), foreign->window);
    else
        glFlush();
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
    *foreign = X11ForeignWindow{};
}
