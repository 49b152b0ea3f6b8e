#pragma once

// OpenGL on an X window that another program owns: the root window,
// XScreenSaver's window, or any window named by its id. We only draw on it
// and watch it: we never map, move, resize, restyle or destroy it, and we
// select StructureNotify alone on it (its size and its end), because a
// button-press selection on the root window is exclusive and would take the
// desktop's clicks. The GL context uses the window's own visual, which is
// fixed for its life. X errors are kept around the calls that may raise
// them (X11Errors.h) and said on stderr, never fatal; one that comes because
// the window has gone only marks it gone.
// The X types stay inside the unit, so its users need no Xlib headers.

#include <string>

// The backend's name, on its error lines.
constexpr char kForeignX11Name[] = "foreign-x11";

struct X11ForeignWindow {
    void* display = nullptr;      // Display*
    unsigned long window = 0;     // the X window id
    void* visualInfo = nullptr;   // XVisualInfo* of the window's visual
    void* context = nullptr;      // GLXContext, null until created
    bool doubleBuffered = false;  // else frames are flushed, not swapped
    int depth = 0;                // bits per pixel of the window
    int width = 0;
    int height = 0;
    bool gone = false;  // the window was destroyed
};

// Opens the display ($DISPLAY) and checks that the window exists and can
// take OpenGL; id 0 is the screen's root window. False, with a one-line
// reason, when not.
bool OpenForeignWindow(unsigned long id, X11ForeignWindow* foreign, std::string* reason);

// Takes the pending events: a new size is stored and reported by the
// result; a destroyed window sets gone. Never waits.
bool PollForeignWindow(X11ForeignWindow* foreign);

bool CreateForeignContext(X11ForeignWindow* foreign);
// Makes the context current on the window, or none current.
bool MakeForeignContextCurrent(X11ForeignWindow* foreign, bool current);
void DeleteForeignContext(X11ForeignWindow* foreign);
// Shows the frame: a buffer swap, or a flush on a single-buffered visual.
// The server has taken it when this returns (a round trip, as a hack's
// frame ends with XSync).
void PresentForeignFrame(X11ForeignWindow* foreign);

// Lets go of the window and closes the display; the window stays as it was.
void CloseForeignWindow(X11ForeignWindow* foreign);
