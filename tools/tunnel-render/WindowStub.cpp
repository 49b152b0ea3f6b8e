#include "WindowStub.h"

#include <cstdio>
#include <cstring>

#include "platform/Win32.h"

namespace {

char g_title[256];
bool g_printTitles = false;
bool g_closeRequested = false;

}  // namespace

void WindowStubPrintTitles(bool print)
{
    g_printTitles = print;
}

const char* WindowStubTitle()
{
    return g_title;
}

bool WindowStubCloseRequested()
{
    return g_closeRequested;
}

void WindowStubReset()
{
    g_title[0] = '\0';
    g_closeRequested = false;
}

BOOL SetWindowTextA(HWND, LPCSTR text)
{
    std::snprintf(g_title, sizeof g_title, "%s", text != nullptr ? text : "");
    if (g_printTitles) {
        std::printf("title: %s\n", g_title);
    }
    return TRUE;
}

BOOL PostMessageA(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        g_closeRequested = true;
    }
    return TRUE;
}
