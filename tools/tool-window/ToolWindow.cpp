#include "ToolWindow.h"

#include <cstdio>
#include <string>

#include "effect/EffectState.h"

ToolWindow::~ToolWindow()
{
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool ToolWindow::Open(const char* tool, const HeadlessOptions& options, int width, int height)
{
    std::string reason;
    StartHeadlessBackend(options, &reason);
    window_ = OpenHeadlessWindow(width, height, &reason);
    if (window_ == nullptr) {
        std::fprintf(stderr, "%s: no GL context: %s\n", tool, reason.c_str());
        return false;
    }
    ResetEffectStateToLoadValues();
    g_hwnd = window_;
    g_clientWidth = width;
    g_clientHeight = height;
    return true;
}
