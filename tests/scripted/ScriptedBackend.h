#pragma once

// The scripted window backend: the window model without any real window.
// Tests inject message-box answers and failures, queue messages, set the
// counter, and read back every Win32 call. GL calls go to whatever context
// the test has made current (tests/support/GlContext.h); the wgl calls here
// only hand out and record fake handles.

#include "platform/RateFigures.h"
#include "platform/Win32.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ScriptedMessageBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// One recorded call: its Win32 name and its arguments as integers (handles
// and pointers by value, a null as 0). Texts are kept in their own lists.
struct ScriptedCall {
    std::string name;
    std::uintptr_t args[4];
};

// Installs the scripted backend and puts it and the window model back to the
// state at load: no class, no window, nothing queued or recorded, every
// answer IDOK, no failures, a 1 MHz counter standing at 0.
void ScriptedReset();

// Answers for the next message boxes, in order; once used up, boxes answer IDOK.
void ScriptedQueueMessageBoxAnswer(int answer);
void ScriptedSetRegisterClassFails(bool fails);
void ScriptedSetCreateWindowFails(bool fails);
// ChoosePixelFormat offers no format; wglCreateContext answers null;
// wglMakeCurrent fails to make a context current (releasing still works).
void ScriptedSetChoosePixelFormatFails(bool fails);
void ScriptedSetCreateContextFails(bool fails);
void ScriptedSetMakeCurrentFails(bool fails);

// The client size that the first size message reports (default 632 x 446,
// what a 640 x 480 outer size leaves on Windows).
void ScriptedSetClientSize(int width, int height);

void ScriptedSetCounterFrequency(LONGLONG ticksPerSecond);
void ScriptedSetCounter(LONGLONG ticks);

// Called after every SwapBuffers, with the number of swaps so far; a test
// advances the counter or queues keys and the close request here.
void ScriptedSetSwapHook(std::function<void(int swapCount)> hook);

// A message loop that never ends would hang the test: after this many
// PeekMessageA calls (default 100000) the queue yields WM_QUIT with exit
// code kScriptedRunaway instead.
constexpr int kScriptedRunaway = 0x7e57;
void ScriptedSetPeekLimit(long peeks);

// Queues a message as the system would (input or a posted message), without
// recording it as a PostMessageA call of the program.
void ScriptedQueueMessage(UINT message, WPARAM wParam, LPARAM lParam);

const std::vector<ScriptedCall>& ScriptedCalls();
int ScriptedCallCount(const std::string& name);
const std::vector<ScriptedMessageBox>& ScriptedMessageBoxes();
const std::vector<std::string>& ScriptedWindowTexts();  // SetWindowTextA, in order
const std::vector<MSG>& ScriptedPostedMessages();       // PostMessageA, in order
const std::string& ScriptedDebugOutput();               // OutputDebugStringA, joined
const std::vector<RateFigures>& ScriptedRateFigures();  // handed with each rate title

const WNDCLASSA* ScriptedRegisteredClass();  // null until RegisterClassA succeeded
std::string ScriptedRegisteredClassName();
HWND ScriptedWindow();  // null unless a window exists
bool ScriptedWindowVisible();
bool ScriptedWindowInvalid();
std::string ScriptedWindowText();  // the current title

// The fake handles that GetDC and wglCreateContext hand out.
HDC ScriptedDeviceContext();
HGLRC ScriptedRenderContext();
HGLRC ScriptedCurrentContext();  // what wglMakeCurrent last made current
int ScriptedContextsAlive();     // created and not yet deleted
