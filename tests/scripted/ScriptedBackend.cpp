#include "scripted/ScriptedBackend.h"

#include "platform/Win32Backend.h"

#include <deque>
#include <utility>

namespace {

// Its address stands in for the render context: unique, never dereferenced.
char g_renderContextObject;

constexpr int kScriptedPixelFormat = 7;

struct ScriptedState {
    std::deque<int> answers;
    bool createFails = false;
    bool choosePixelFormatFails = false;
    bool createContextFails = false;
    bool makeCurrentFails = false;
    int clientWidth = 632;
    int clientHeight = 446;
    LONGLONG frequency = 1000000;
    LONGLONG counter = 0;
    std::function<void(int)> swapHook;
    long peekLimit = 100000;
    long peeks = 0;
    int swaps = 0;
    bool recording = true;

    HGLRC currentContext = nullptr;
    int contextsAlive = 0;

    std::vector<ScriptedCall> calls;
    std::vector<ScriptedMessageBox> boxes;
    std::vector<std::string> texts;
    std::vector<MSG> posted;
    std::string debugOutput;
    std::vector<RateFigures> rateFigures;
};

ScriptedState g_state;

void TraceScripted(const char* call, std::uintptr_t a, std::uintptr_t b, std::uintptr_t c,
                   std::uintptr_t d)
{
    if (!g_state.recording)
        return;
    const std::string name = call;
    if (name == "SetWindowTextA") {
        const char* text = reinterpret_cast<const char*>(b);
        g_state.texts.push_back(text != nullptr ? text : "");
        b = 0;  // the text is kept in its own list
    } else if (name == "PostMessageA") {
        MSG msg{};
        msg.hwnd = reinterpret_cast<HWND>(a);
        msg.message = static_cast<UINT>(b);
        msg.wParam = c;
        msg.lParam = static_cast<LPARAM>(d);
        g_state.posted.push_back(msg);
    }
    g_state.calls.push_back({name, {a, b, c, d}});
}

bool CreateWindowScripted(const Win32WindowRequest&)
{
    return !g_state.createFails;
}

void DestroyWindowScripted() {}
void ShowWindowScripted(bool) {}
void SetTitleScripted(const char*) {}

void ClientSizeScripted(int* width, int* height)
{
    *width = g_state.clientWidth;
    *height = g_state.clientHeight;
}

// A message loop that never ends would hang the test.
void PumpEventsScripted()
{
    if (++g_state.peeks > g_state.peekLimit)
        PostQuitMessage(kScriptedRunaway);
}

int MessageBoxScripted(HWND owner, const char* text, const char* caption, UINT type)
{
    g_state.boxes.push_back({owner, text, caption, type});
    if (g_state.answers.empty())
        return IDOK;
    const int answer = g_state.answers.front();
    g_state.answers.pop_front();
    return answer;
}

int ColorBitsScripted()
{
    return 32;
}

int ChoosePixelFormatScripted(const PIXELFORMATDESCRIPTOR&)
{
    return g_state.choosePixelFormatFails ? 0 : kScriptedPixelFormat;
}

HGLRC CreateContextScripted()
{
    if (g_state.createContextFails)
        return nullptr;
    ++g_state.contextsAlive;
    return ScriptedRenderContext();
}

bool MakeCurrentScripted(HGLRC context)
{
    if (context != nullptr && g_state.makeCurrentFails)
        return false;
    if (context != nullptr && (context != ScriptedRenderContext() || g_state.contextsAlive == 0))
        return false;
    g_state.currentContext = context;
    return true;
}

bool DeleteContextScripted(HGLRC context)
{
    if (context != ScriptedRenderContext() || g_state.contextsAlive == 0)
        return false;
    --g_state.contextsAlive;
    if (g_state.currentContext == context)
        g_state.currentContext = nullptr;
    return true;
}

bool SwapBuffersScripted()
{
    ++g_state.swaps;
    if (g_state.swapHook)
        g_state.swapHook(g_state.swaps);
    return true;
}

std::int64_t CounterFrequencyScripted()
{
    return g_state.frequency;
}

std::int64_t CounterScripted()
{
    return g_state.counter;
}

void DebugOutputScripted(const char* text)
{
    g_state.debugOutput += text;
}

void RateFiguresScripted(const RateFigures& figures)
{
    g_state.rateFigures.push_back(figures);
}

constexpr Win32Backend kScriptedBackend = {
    .name = "scripted",
    .createWindow = CreateWindowScripted,
    .destroyWindow = DestroyWindowScripted,
    .showWindow = ShowWindowScripted,
    .setTitle = SetTitleScripted,
    .clientSize = ClientSizeScripted,
    .pumpEvents = PumpEventsScripted,
    .messageBox = MessageBoxScripted,
    .colorBits = ColorBitsScripted,
    .choosePixelFormat = ChoosePixelFormatScripted,
    .createContext = CreateContextScripted,
    .makeCurrent = MakeCurrentScripted,
    .deleteContext = DeleteContextScripted,
    .swapBuffers = SwapBuffersScripted,
    .counterFrequency = CounterFrequencyScripted,
    .counter = CounterScripted,
    .debugOutput = DebugOutputScripted,
    .rateFigures = RateFiguresScripted,
    .trace = TraceScripted,
};
static_assert(Win32BackendComplete(kScriptedBackend));

}  // namespace

void ScriptedReset()
{
    g_state = ScriptedState{};
    Win32InstallBackend(&kScriptedBackend);
    Win32ResetModel();
}

void ScriptedQueueMessageBoxAnswer(int answer)
{
    g_state.answers.push_back(answer);
}

void ScriptedSetRegisterClassFails(bool fails)
{
    // The model holds one class: a placeholder in its place makes the next
    // registration fail as a taken class does.
    Win32ResetModel();
    if (!fails)
        return;
    static const WNDCLASSA placeholder = {0,       DefWindowProcA, 0,       0,       nullptr,
                                          nullptr, nullptr,        nullptr, nullptr, "placeholder"};
    g_state.recording = false;
    RegisterClassA(&placeholder);
    g_state.recording = true;
}

void ScriptedSetCreateWindowFails(bool fails)
{
    g_state.createFails = fails;
}

void ScriptedSetChoosePixelFormatFails(bool fails)
{
    g_state.choosePixelFormatFails = fails;
}

void ScriptedSetCreateContextFails(bool fails)
{
    g_state.createContextFails = fails;
}

void ScriptedSetMakeCurrentFails(bool fails)
{
    g_state.makeCurrentFails = fails;
}

void ScriptedSetClientSize(int width, int height)
{
    g_state.clientWidth = width;
    g_state.clientHeight = height;
}

void ScriptedSetCounterFrequency(LONGLONG ticksPerSecond)
{
    g_state.frequency = ticksPerSecond;
}

void ScriptedSetCounter(LONGLONG ticks)
{
    g_state.counter = ticks;
}

void ScriptedSetSwapHook(std::function<void(int)> hook)
{
    g_state.swapHook = std::move(hook);
}

void ScriptedSetPeekLimit(long peeks)
{
    g_state.peekLimit = peeks;
}

void ScriptedQueueMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    Win32ReportMessage(message, wParam, lParam);
}

const std::vector<ScriptedCall>& ScriptedCalls()
{
    return g_state.calls;
}

int ScriptedCallCount(const std::string& name)
{
    int count = 0;
    for (const ScriptedCall& call : g_state.calls)
        count += call.name == name ? 1 : 0;
    return count;
}

const std::vector<ScriptedMessageBox>& ScriptedMessageBoxes()
{
    return g_state.boxes;
}

const std::vector<std::string>& ScriptedWindowTexts()
{
    return g_state.texts;
}

const std::vector<MSG>& ScriptedPostedMessages()
{
    return g_state.posted;
}

const std::string& ScriptedDebugOutput()
{
    return g_state.debugOutput;
}

const std::vector<RateFigures>& ScriptedRateFigures()
{
    return g_state.rateFigures;
}

const WNDCLASSA* ScriptedRegisteredClass()
{
    return Win32ModelClass();
}

std::string ScriptedRegisteredClassName()
{
    return Win32ModelClass() != nullptr ? Win32ModelClass()->lpszClassName : "";
}

HWND ScriptedWindow()
{
    return Win32ModelWindow();
}

bool ScriptedWindowVisible()
{
    return Win32ModelWindowVisible();
}

bool ScriptedWindowInvalid()
{
    return Win32ModelWindowInvalid();
}

std::string ScriptedWindowText()
{
    return Win32ModelWindowTitle();
}

HDC ScriptedDeviceContext()
{
    return Win32ModelDeviceContext();
}

HGLRC ScriptedRenderContext()
{
    return reinterpret_cast<HGLRC>(&g_renderContextObject);
}

HGLRC ScriptedCurrentContext()
{
    return g_state.currentContext;
}

int ScriptedContextsAlive()
{
    return g_state.contextsAlive;
}
