// The headless window a tool draws the effect in (tunnel-render,
// measure-overdraw), and the effect's state set for it. Not for the
// program or the benchmarks, which open their windows their own way.
#pragma once

#include "headless/HeadlessBackend.h"

class ToolWindow {
public:
    ToolWindow() = default;
    ToolWindow(const ToolWindow&) = delete;
    ToolWindow& operator=(const ToolWindow&) = delete;
    // The context goes with the window, before the texture's destructor runs at exit.
    ~ToolWindow();

    // Starts the headless backend, opens a window of this client size with
    // its context current, and sets the effect's state to its load values
    // for that window. False, said on standard error as
    // "<tool>: no GL context: <reason>", when no context can be had.
    bool Open(const char* tool, const HeadlessOptions& options, int width, int height);

private:
    HWND window_ = nullptr;
};
