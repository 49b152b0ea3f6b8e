#include "app/WinMain.h"

#include "app/MessageLoop.h"
#if defined(_WIN32)
#include "app/ScreenSaver.h"
#include "app/ScreenSaverCommandLine.h"
#endif
#include "app/WndProc.h"
#include "effect/EffectState.h"

const char kWarningText[] =
    "Warning: watching this effect too much can dramatically\n"
    "  harm your mental sanity. The author of this program\n"
    "  reject any responsability for it.\n"
    "  Watch it at your own risk :-)\n"
    "\n"
    "Key usage:\n"
    " \"  \" : change tunnel shape\n"
    " \"+\"/\"-\" : increase/decrease speed\n"
    " \"*\"/\"/\" : change camera focal\n"
    " \"1\"..\"4\": change nb of poly\n"
    " ESC : stop it before being totally hypnotised\n";
const char kRegisterClassFailedText[] =
    "Failed to register the idiot window class, right before creating the window.";
const char kCreateWindowFailedText[] = "Failed to create the effect window.";

bool ShowWarning()
{
    return MessageBoxA(nullptr, kWarningText, kWindowTitle, MB_ICONWARNING | MB_OKCANCEL) == IDOK;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand)
{
    (void)previousInstance;
    (void)showCommand;  // the window is always shown with SW_SHOW

#if defined(_WIN32)
    // Started as a .scr by Windows: full screen, preview or settings, and
    // never the warning box. Any other command line is today's program.
    const ScreenSaverRequest saver = ScreenSaverRequestOfThisProgram(commandLine);
    if (saver.mode != ScreenSaverMode::kNone)
        return RunScreenSaver(instance, saver);
#else
    (void)commandLine;
#endif

    if (!ShowWarning())
        return 0;
    g_running = false;

    WNDCLASSA windowClass;
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;  // the background is never erased
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kWindowTitle;
    if (RegisterClassA(&windowClass) == 0) {
        MessageBoxA(nullptr, kRegisterClassFailedText, kFatalCaption, MB_ICONERROR);
        return 0;
    }

    // 640 x 480 is the outer size, frame and caption included.
    HWND window = CreateWindowExA(
        0, kWindowTitle, kWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
        CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        MessageBoxA(nullptr, kCreateWindowFailedText, kFatalCaption, MB_ICONERROR);
        return 0;
    }
    g_hwnd = window;

    return RunEffectWindow(window);
}
