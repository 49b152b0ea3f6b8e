#include "app/WinMain.h"

#include <sstream>
#include <string>
#include <vector>

#include "FloatBits.h"
#include "GlContext.h"
#include "ShellStateReset.h"

namespace {

HINSTANCE TestInstance()
{
    static char instance;
    return reinterpret_cast<HINSTANCE>(&instance);
}

int RunWinMain(int showCommand = SW_SHOWNORMAL)
{
    char commandLine[] = "";
    return WinMain(TestInstance(), nullptr, commandLine, showCommand);
}

std::size_t IndexOf(const std::string& name, std::size_t from = 0)
{
    const std::vector<ScriptedCall>& calls = ScriptedCalls();
    for (std::size_t i = from; i < calls.size(); ++i)
        if (calls[i].name == name)
            return i;
    return calls.size();
}

class WinMainTest : public GlTestAt<640, 480> {
protected:
    void SetUp() override
    {
        GlTestAt<640, 480>::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ResetShellState();
        ScriptedSetCounterFrequency(1000000);
        ScriptedSetCounter(40000000);
    }
};

class DeclinedWarningTest : public WinMainTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeclinedWarningTest, EndsWithZeroBeforeAnyClassOrWindowExists)
{
    ScriptedQueueMessageBoxAnswer(GetParam());
    EXPECT_EQ(0, RunWinMain());
    EXPECT_EQ(1u, ScriptedMessageBoxes().size());
    EXPECT_EQ(nullptr, ScriptedRegisteredClass());
    EXPECT_EQ(0, ScriptedCallCount("RegisterClassA"));
    EXPECT_EQ(0, ScriptedCallCount("CreateWindowExA"));
    EXPECT_EQ(0, g_fakeEffect.initCalls);
}

// Cancel (also what Escape and closing the box give), and a box that failed.
INSTANTIATE_TEST_SUITE_P(Answers, DeclinedWarningTest, ::testing::Values(IDCANCEL, 0));

TEST_F(WinMainTest, WarningBoxHasItsElevenLinesCaptionAndFlags)
{
    ScriptedQueueMessageBoxAnswer(IDCANCEL);
    RunWinMain();
    ASSERT_EQ(1u, ScriptedMessageBoxes().size());
    const ScriptedMessageBox& box = ScriptedMessageBoxes()[0];
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ("Zelk's little tunnel", box.caption);
    EXPECT_EQ(0x31u, box.type);  // warning icon, OK and Cancel

    std::vector<std::string> lines;
    std::istringstream text(box.text);
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    const std::vector<std::string> expected = {
        "Warning: watching this effect too much can dramatically",
        "  harm your mental sanity. The author of this program",
        "  reject any responsability for it.",
        "  Watch it at your own risk :-)",
        "",
        "Key usage:",
        " \"  \" : change tunnel shape",
        " \"+\"/\"-\" : increase/decrease speed",
        " \"*\"/\"/\" : change camera focal",
        " \"1\"..\"4\": change nb of poly",
        " ESC : stop it before being totally hypnotised",
    };
    EXPECT_EQ(expected, lines);
    ASSERT_FALSE(box.text.empty());
    EXPECT_EQ('\n', box.text.back());  // the last line is ended too
}

struct FailureCase {
    const char* name;
    void (*arrange)();
    const char* text;
    bool ownedByWindow;
};

void PrintTo(const FailureCase& failure, std::ostream* out)
{
    *out << failure.name;
}

class StartupFailureTest : public WinMainTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailureTest, ShowsItsFatalBoxAndReturnsZero)
{
    GetParam().arrange();
    EXPECT_EQ(0, RunWinMain());
    ASSERT_EQ(2u, ScriptedMessageBoxes().size());
    const ScriptedMessageBox& box = ScriptedMessageBoxes()[1];
    EXPECT_EQ(GetParam().text, box.text);
    EXPECT_EQ("Fatal Blow", box.caption);
    EXPECT_EQ(0x10u, box.type);  // error icon, a single OK button
    if (GetParam().ownedByWindow) {
        EXPECT_NE(nullptr, box.owner);
        EXPECT_EQ(ScriptedWindow(), box.owner);
    } else {
        EXPECT_EQ(nullptr, box.owner);
    }
    EXPECT_EQ(0, g_fakeEffect.renderCalls);
    EXPECT_EQ(0, ScriptedCallCount("PeekMessageA"));
    EXPECT_FALSE(g_running);
    // Only the set-up failure leaves the window (and its context) up; no
    // quit message is pending to close the box at once.
    EXPECT_EQ(GetParam().ownedByWindow, ScriptedWindow() != nullptr);
    EXPECT_EQ(GetParam().ownedByWindow ? 1 : 0, ScriptedContextsAlive());
    EXPECT_EQ(0, ScriptedCallCount("PostQuitMessage"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, StartupFailureTest,
    ::testing::Values(
        FailureCase{"RegisterClass", [] { ScriptedSetRegisterClassFails(true); },
                    "Failed to register the idiot window class, right before creating the window.",
                    false},
        FailureCase{"CreateWindow", [] { ScriptedSetCreateWindowFails(true); },
                    "Failed to create the effect window.", false},
        // No GL on the window: WM_CREATE answers -1 and the window goes.
        FailureCase{"PixelFormat", [] { ScriptedSetChoosePixelFormatFails(true); },
                    "Failed to create the effect window.", false},
        FailureCase{"CreateContext", [] { ScriptedSetCreateContextFails(true); },
                    "Failed to create the effect window.", false},
        FailureCase{"MakeCurrent", [] { ScriptedSetMakeCurrentFails(true); },
                    "Failed to create the effect window.", false},
        FailureCase{"InitEffect", [] { g_fakeEffect.initResult = false; },
                    "Failed to initialize the visual effect.", true}),
    [](const ::testing::TestParamInfo<FailureCase>& param) {
        return std::string(param.param.name);
    });

TEST_F(WinMainTest, RegistersTheClassAndCreatesAHidden640x480OverlappedWindow)
{
    g_fakeEffect.initResult = false;  // stop after set-up
    RunWinMain();
    const WNDCLASSA* windowClass = ScriptedRegisteredClass();
    ASSERT_NE(nullptr, windowClass);
    EXPECT_EQ(0x23u, windowClass->style);
    EXPECT_EQ(0, windowClass->cbClsExtra);
    EXPECT_EQ(0, windowClass->cbWndExtra);
    EXPECT_EQ(TestInstance(), windowClass->hInstance);
    EXPECT_EQ(nullptr, windowClass->hIcon);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), windowClass->hCursor);
    EXPECT_EQ(nullptr, windowClass->hbrBackground);
    EXPECT_EQ(nullptr, windowClass->lpszMenuName);
    EXPECT_EQ("Zelk's little tunnel", ScriptedRegisteredClassName());

    const ScriptedCall& create = ScriptedCalls()[IndexOf("CreateWindowExA")];
    EXPECT_EQ(0u, create.args[0]);           // no extended style
    EXPECT_EQ(0x06CF0000u, create.args[1]);  // overlapped, clipping, not yet visible
    EXPECT_EQ(640u, create.args[2]);
    EXPECT_EQ(480u, create.args[3]);
    EXPECT_EQ("Zelk's little tunnel", ScriptedWindowText());
    EXPECT_EQ(ScriptedWindow(), g_hwnd);
}

TEST_F(WinMainTest, RunsFramesUntilTheCloseRequestAndReturnsTheQuitCode)
{
    g_fakeEffect.onInit = [] { ScriptedSetCounter(40000000 + 250000); };  // set-up takes 0.25 s
    g_fakeEffect.onRender = [](int frame) {
        if (frame == 1) {
            // The first frame's delta is its whole time, set-up included.
            EXPECT_SAME_FLOAT(0.25f, g_time);
            EXPECT_SAME_FLOAT(g_time, g_deltaTime);
        }
        EXPECT_TRUE(g_running);
        if (frame == 3)
            PostMessageA(g_hwnd, WM_CLOSE, 0, 0);
    };
    ScriptedSetSwapHook([](int) {
        ScriptedSetCounter(40000000 + 250000 + 1000 * ScriptedCallCount("SwapBuffers"));
    });

    EXPECT_EQ(0, RunWinMain(SW_HIDE));  // the show command passed in is ignored

    EXPECT_EQ(3, g_fakeEffect.renderCalls);
    EXPECT_EQ(3, ScriptedCallCount("SwapBuffers"));
    EXPECT_EQ(1, g_fakeEffect.shutdownCalls);
    EXPECT_FALSE(g_fakeEffect.runningAtShutdown);
    EXPECT_FALSE(g_running);
    EXPECT_EQ(nullptr, ScriptedWindow());

    // Shown with SW_SHOW; the size came before set-up, and so did the clock.
    const ScriptedCall& show = ScriptedCalls()[IndexOf("ShowWindow")];
    EXPECT_EQ(static_cast<std::uintptr_t>(SW_SHOW), show.args[1]);
    EXPECT_EQ(632, g_fakeEffect.clientWidthAtInit);
    EXPECT_EQ(446, g_fakeEffect.clientHeightAtInit);
    EXPECT_FALSE(g_fakeEffect.runningAtInit);
    EXPECT_LT(IndexOf("QueryPerformanceCounter"), g_fakeEffect.initCallIndex);
    EXPECT_LT(IndexOf("QueryPerformanceFrequency"), IndexOf("QueryPerformanceCounter"));
    EXPECT_LT(IndexOf("UpdateWindow"), IndexOf("QueryPerformanceFrequency"));
    EXPECT_EQ(1000000, g_counterFrequency);
    EXPECT_EQ(40000000, g_counterStart);

    // The paint that UpdateWindow sent drew nothing: no frame before the loop.
    EXPECT_LT(IndexOf("PeekMessageA"), g_fakeEffect.renderCallIndices.at(0));
    EXPECT_LT(IndexOf("PeekMessageA"), IndexOf("SwapBuffers"));

    // The context was released before it was deleted.
    const std::size_t release = IndexOf("wglMakeCurrent", IndexOf("ShowWindow"));
    EXPECT_EQ(0u, ScriptedCalls().at(release).args[1]);
    EXPECT_LT(release, IndexOf("wglDeleteContext"));
}

TEST_F(WinMainTest, LoopDispatchesQueuedInputBetweenFramesAndPaintsWhenIdle)
{
    g_fakeEffect.onRender = [](int frame) {
        if (frame == 1) {
            ScriptedQueueMessage(WM_CHAR, '1', 1);
            ScriptedQueueMessage(WM_KEYDOWN, VK_ESCAPE, 1);  // becomes character 27
        }
        if (frame == 2) {
            EXPECT_EQ(8, g_polyStep);
            EXPECT_EQ(1, g_stopRequested);
            PostMessageA(g_hwnd, WM_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(0, RunWinMain());
    EXPECT_EQ(2, g_fakeEffect.renderCalls);
    // The window was invalid from its showing; after that, each frame came
    // from an idle pass asking for a repaint once the input was handled.
    EXPECT_EQ(g_fakeEffect.renderCalls - 1, ScriptedCallCount("InvalidateRect"));
}

TEST_F(WinMainTest, ReturnsTheExitCodeTheQuitMessageCarries)
{
    g_fakeEffect.onRender = [](int) { PostQuitMessage(3); };
    EXPECT_EQ(3, RunWinMain());
    EXPECT_EQ(1, g_fakeEffect.renderCalls);
    EXPECT_EQ(1, g_fakeEffect.shutdownCalls);
}

}  // namespace
