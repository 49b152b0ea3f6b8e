#pragma once

// X errors of a few calls, kept instead of handled. Xlib reports every error
// through one process-wide handler whose default prints and ends the
// process; errors are asynchronous, so a call's own are known only once the
// server has answered it. Between these two calls errors are kept (the
// first one is told), and the stop waits for the answers.
// Not nested: one bracket at a time.

#include <string>

struct X11KeptError {
    std::string text;            // "" when no error came
    unsigned long resource = 0;  // the id the first error names
};

// From now on X errors are kept, not handed to the handler installed before.
void StartKeepingX11Errors();

// Waits until the display (a Display*; null waits for nothing) has answered
// every request sent so far, puts the previous handler back and returns the
// first error kept.
X11KeptError StopKeepingX11Errors(void* display);
