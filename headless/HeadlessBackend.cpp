#include "headless/HeadlessBackend.h"

#include "headless/HeadlessGl.h"
#include "platform/Win32Backend.h"

#include <cstdio>

namespace {

struct HeadlessWindow {
    int width = 0;
    int height = 0;
    bool printTitles = false;
    HeadlessGl gl;
};

HeadlessWindow g_headless;

// Its address stands in for the one context.
char g_contextObject;

HGLRC TheContext()
{
    return reinterpret_cast<HGLRC>(&g_contextObject);
}

bool CreateWindowHeadless(const Win32WindowRequest& request)
{
    g_headless.width = request.outerWidth;
    g_headless.height = request.outerHeight;
    return true;
}

void DestroyWindowHeadless()
{
    g_headless.gl.Destroy();
}

void ShowWindowHeadless(bool) {}

void SetTitleHeadless(const char* text)
{
    if (g_headless.printTitles)
        std::printf("title: %s\n", text);
}

void ClientSizeHeadless(int* width, int* height)
{
    *width = g_headless.width;
    *height = g_headless.height;
}

void PumpEventsHeadless() {}

int MessageBoxHeadless(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

int ColorBitsHeadless()
{
    return 32;
}

int ChoosePixelFormatHeadless(const PIXELFORMATDESCRIPTOR&)
{
    return 1;
}

HGLRC CreateContextHeadless()
{
    return g_headless.gl.Create(g_headless.width, g_headless.height) ? TheContext() : nullptr;
}

bool MakeCurrentHeadless(HGLRC context)
{
    // Nothing else can be current: the one context stays so while it lives.
    return context == nullptr || (context == TheContext() && g_headless.gl.IsCurrent());
}

bool DeleteContextHeadless(HGLRC context)
{
    if (context != TheContext())
        return false;
    g_headless.gl.Destroy();
    return true;
}

bool SwapBuffersHeadless()
{
    return true;  // a pbuffer: the frame stays where glReadPixels finds it
}

void DebugOutputHeadless(const char* text)
{
    std::fputs(text, stderr);
}

constexpr Win32Backend kHeadlessBackend = {
    .name = "headless",
    .createWindow = CreateWindowHeadless,
    .destroyWindow = DestroyWindowHeadless,
    .showWindow = ShowWindowHeadless,
    .setTitle = SetTitleHeadless,
    .clientSize = ClientSizeHeadless,
    .pumpEvents = PumpEventsHeadless,
    .messageBox = MessageBoxHeadless,
    .colorBits = ColorBitsHeadless,
    .choosePixelFormat = ChoosePixelFormatHeadless,
    .createContext = CreateContextHeadless,
    .makeCurrent = MakeCurrentHeadless,
    .deleteContext = DeleteContextHeadless,
    .swapBuffers = SwapBuffersHeadless,
    .counterFrequency = Win32SteadyCounterFrequency,
    .counter = Win32SteadyCounter,
    .debugOutput = DebugOutputHeadless,
    .rateFigures = nullptr,
    .trace = nullptr,
};
static_assert(Win32BackendComplete(kHeadlessBackend));

}  // namespace

bool StartHeadlessBackend(const HeadlessOptions& options, std::string* /*reason*/)
{
    g_headless.printTitles = options.printTitles;
    Win32InstallBackend(&kHeadlessBackend);
    return true;
}

void StopHeadlessBackend()
{
    g_headless.gl.Destroy();
}

HWND OpenHeadlessWindow(int width, int height, std::string* error)
{
    static const char kClassName[] = "headless";
    if (Win32ModelClass() == nullptr) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass);
    }
    HWND window = CreateWindowExA(0, kClassName, "", 0, 0, 0, width, height, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window == nullptr) {
        *error = "no window";
        return nullptr;
    }
    HDC deviceContext = GetDC(window);
    HGLRC context = wglCreateContext(deviceContext);
    if (context == nullptr || !wglMakeCurrent(deviceContext, context)) {
        *error = g_headless.gl.Error();
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}
