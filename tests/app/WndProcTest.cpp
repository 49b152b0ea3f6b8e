#include "app/WndProc.h"

#include <algorithm>
#include <cstddef>
#include <array>
#include <string>
#include <vector>

#include "FloatBits.h"
#include "GlContext.h"
#include "ShellStateReset.h"
#include "app/DebugPrintf.h"

namespace {

// A window made through the scripted layer with the real window procedure,
// on a real GL context so viewport changes can be read back.
class WndProcTest : public GlTestAt<640, 480> {
protected:
    void SetUp() override
    {
        GlTestAt<640, 480>::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ResetShellState();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WndProc;
        windowClass.lpszClassName = "test class";
        ASSERT_NE(0, RegisterClassA(&windowClass));
        window_ = CreateWindowExA(0, "test class", "test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window_);
        ShowWindow(window_, SW_SHOW);
    }

    std::size_t CallsSoFar() const { return ScriptedCalls().size(); }
    int CallsSince(std::size_t from, const std::string& name) const
    {
        int count = 0;
        for (std::size_t i = from; i < ScriptedCalls().size(); ++i)
            count += ScriptedCalls()[i].name == name ? 1 : 0;
        return count;
    }
    static std::uintptr_t Arg(const void* handle)
    {
        return reinterpret_cast<std::uintptr_t>(handle);
    }

    HWND window_ = nullptr;
};

std::array<GLint, 4> Viewport()
{
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

TEST_F(WndProcTest, CreationSetsUpThePixelFormatAndMakesTheContextCurrent)
{
    // SetUp created the window. What must come in order: the format is set
    // before the context is made on it, the context is current before the
    // window shows (its first paint draws), and each happens once.
    const auto onlyCall = [](const char* name) {
        std::size_t index = ScriptedCalls().size();
        for (std::size_t i = 0; i < ScriptedCalls().size(); ++i) {
            if (ScriptedCalls()[i].name == name) {
                EXPECT_EQ(ScriptedCalls().size(), index) << name << " twice";
                index = i;
            }
        }
        EXPECT_LT(index, ScriptedCalls().size()) << name << " never called";
        return index;
    };
    const std::size_t choose = onlyCall("ChoosePixelFormat");
    const std::size_t setFormat = onlyCall("SetPixelFormat");
    const std::size_t makeContext = onlyCall("wglCreateContext");
    const std::size_t makeCurrent = onlyCall("wglMakeCurrent");
    const std::size_t show = onlyCall("ShowWindow");
    EXPECT_LT(onlyCall("GetDC"), choose);
    EXPECT_LT(choose, setFormat);
    EXPECT_LT(setFormat, makeContext);
    EXPECT_LT(makeContext, makeCurrent);
    EXPECT_LT(makeCurrent, show);
    EXPECT_EQ(ScriptedDeviceContext(), g_deviceContext);
    EXPECT_EQ(ScriptedRenderContext(), g_renderContext);
    EXPECT_EQ(ScriptedRenderContext(), ScriptedCurrentContext());

    const PIXELFORMATDESCRIPTOR& request = g_pixelFormatRequest;
    EXPECT_EQ(40, request.nSize);
    EXPECT_EQ(1, request.nVersion);
    EXPECT_EQ(0x20000025u, request.dwFlags);
    EXPECT_EQ(PFD_TYPE_RGBA, request.iPixelType);
    EXPECT_EQ(32, request.cColorBits);  // what the scripted device reports
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&request);
    for (std::size_t i = offsetof(PIXELFORMATDESCRIPTOR, cRedBits);
         i <= offsetof(PIXELFORMATDESCRIPTOR, bReserved); ++i)
        EXPECT_EQ(0, bytes[i]) << "byte " << i;
    EXPECT_EQ(0u, request.dwLayerMask | request.dwVisibleMask | request.dwDamageMask);
    const ScriptedCall& set = ScriptedCalls()[setFormat];
    EXPECT_EQ(7u, set.args[1]);  // the format chosen
    EXPECT_EQ(Arg(&g_pixelFormatRequest), set.args[2]);

    EXPECT_EQ("PixelFormat Selected: 7\nBPP: 32\n", ScriptedDebugOutput());
}

TEST_F(WndProcTest, FirstSizeMessageStoresTheClientSizeAndSetsTheViewport)
{
    // Showing sent the scripted 632 x 446.
    EXPECT_EQ(632, g_clientWidth);
    EXPECT_EQ(446, g_clientHeight);
    EXPECT_EQ((std::array<GLint, 4>{0, 0, 632, 446}), Viewport());
}

TEST_F(WndProcTest, ZeroHeightKeepsZeroButGivesAOnePixelViewport)
{
    EXPECT_EQ(0, WndProc(window_, WM_SIZE, 0, MAKELPARAM(300, 0)));
    EXPECT_EQ(300, g_clientWidth);
    EXPECT_EQ(0, g_clientHeight);
    EXPECT_EQ((std::array<GLint, 4>{0, 0, 300, 1}), Viewport());
}

TEST_F(WndProcTest, SizeHalvesAreUnsignedAndTheSizeTypeIsIgnored)
{
    // 40000 would be negative as a signed 16-bit value; high LPARAM bits are not part of the size.
    const LPARAM size = MAKELPARAM(40000, 200) | static_cast<LPARAM>(0x12340000LL << 20);
    EXPECT_EQ(0, WndProc(window_, WM_SIZE, 2, size));
    EXPECT_EQ(40000, g_clientWidth);
    EXPECT_EQ(200, g_clientHeight);
}

TEST_F(WndProcTest, PaintBeforeTheLoopRunsDrawsSwapsAndValidatesNothing)
{
    g_running = false;
    const std::size_t from = CallsSoFar();
    EXPECT_EQ(0, WndProc(window_, WM_PAINT, 0, 0));
    EXPECT_EQ(0, g_fakeEffect.renderCalls);
    EXPECT_EQ(from, CallsSoFar());  // no counter, swap, validation or default handling
    EXPECT_TRUE(ScriptedWindowInvalid());
}

TEST_F(WndProcTest, PaintWhileRunningTimesDrawsSwapsAndValidatesInThatOrder)
{
    g_running = true;
    g_counterFrequency = 1000;
    g_counterStart = 100;
    ScriptedSetCounter(100 + 1500);
    const std::size_t from = CallsSoFar();
    EXPECT_EQ(0, WndProc(window_, WM_PAINT, 0, 0));

    ASSERT_EQ(1, g_fakeEffect.renderCalls);
    ASSERT_EQ(from + 3, CallsSoFar());
    EXPECT_EQ("QueryPerformanceCounter", ScriptedCalls()[from].name);
    EXPECT_EQ(from + 1, g_fakeEffect.renderCallIndices[0]);  // after the clock, before the swap
    EXPECT_EQ("SwapBuffers", ScriptedCalls()[from + 1].name);
    EXPECT_EQ(Arg(g_deviceContext), ScriptedCalls()[from + 1].args[0]);
    EXPECT_EQ("ValidateRect", ScriptedCalls()[from + 2].name);
    EXPECT_EQ(Arg(window_), ScriptedCalls()[from + 2].args[0]);
    EXPECT_EQ(0u, ScriptedCalls()[from + 2].args[1]);  // the whole client area
    EXPECT_FALSE(ScriptedWindowInvalid());
    EXPECT_SAME_FLOAT(1.5f, g_time);
    EXPECT_SAME_FLOAT(1.5f, g_deltaTime);
}

TEST_F(WndProcTest, EveryCharacterCodeReachesHandleKeyUnchanged)
{
    // Each key's effect through the window procedure equals its effect
    // through HandleKey itself.
    for (WPARAM code : std::vector<WPARAM>{27, 32, '*', '+', '-', '/', '1', '2', '3', '4'}) {
        ResetEffectStateToLoadValues();
        g_speed = 8000.0f;
        g_polyStep = 1;
        HandleKey(code);
        const float speed = g_speed, focal = g_focal;
        const int step = g_polyStep, shape = g_rippleShape, stop = g_stopRequested;

        ResetEffectStateToLoadValues();
        g_speed = 8000.0f;
        g_polyStep = 1;
        EXPECT_EQ(0, WndProc(window_, WM_CHAR, code, 1));
        EXPECT_SAME_FLOAT(speed, g_speed) << "code " << code;
        EXPECT_SAME_FLOAT(focal, g_focal) << "code " << code;
        EXPECT_EQ(step, g_polyStep) << "code " << code;
        EXPECT_EQ(shape, g_rippleShape) << "code " << code;
        EXPECT_EQ(stop, g_stopRequested) << "code " << code;
    }

    // Codes HandleKey ignores are still handled here (no default handling),
    // and a code is not cut to its low byte: 0x12B is not '+'.
    ResetEffectStateToLoadValues();
    g_speed = 8000.0f;
    const std::size_t from = CallsSoFar();
    for (WPARAM code :
         {WPARAM{0}, WPARAM{'a'}, WPARAM{13}, WPARAM{0xE9}, WPARAM{0x12B}, WPARAM{0x1031}})
        EXPECT_EQ(0, WndProc(window_, WM_CHAR, code, 1));
    EXPECT_EQ(0, CallsSince(from, "DefWindowProcA"));
    EXPECT_SAME_FLOAT(8000.0f, g_speed);
    EXPECT_EQ(0, g_polyStep);
}

TEST_F(WndProcTest, DestroyMakesNoContextCurrentBeforeDeletingItAndPostsQuit)
{
    ASSERT_EQ(ScriptedRenderContext(), ScriptedCurrentContext());
    const std::size_t from = CallsSoFar();
    EXPECT_EQ(0, WndProc(window_, WM_DESTROY, 0, 0));
    ASSERT_EQ(from + 3, CallsSoFar());
    const ScriptedCall& release = ScriptedCalls()[from];
    EXPECT_EQ("wglMakeCurrent", release.name);
    EXPECT_EQ(Arg(g_deviceContext), release.args[0]);
    EXPECT_EQ(0u, release.args[1]);
    EXPECT_EQ("wglDeleteContext", ScriptedCalls()[from + 1].name);
    EXPECT_EQ(Arg(ScriptedRenderContext()), ScriptedCalls()[from + 1].args[0]);
    EXPECT_EQ("PostQuitMessage", ScriptedCalls()[from + 2].name);
    EXPECT_EQ(nullptr, ScriptedCurrentContext());

    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(WndProcTest, CloseGoesThroughTheDefaultHandlingAndDestroysTheWindow)
{
    EXPECT_EQ(0, WndProc(window_, WM_CLOSE, 0, 0));
    EXPECT_EQ(nullptr, ScriptedWindow());
    EXPECT_EQ(1, ScriptedCallCount("wglDeleteContext"));
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
}

TEST_F(WndProcTest, OtherMessagesGetTheDefaultHandlingWithTheirArguments)
{
    const std::size_t from = CallsSoFar();
    EXPECT_EQ(0, WndProc(window_, WM_ERASEBKGND, 0x1234, 0x5678));
    ASSERT_EQ(from + 1, CallsSoFar());
    const ScriptedCall& call = ScriptedCalls()[from];
    EXPECT_EQ("DefWindowProcA", call.name);
    EXPECT_EQ(Arg(window_), call.args[0]);
    EXPECT_EQ(static_cast<std::uintptr_t>(WM_ERASEBKGND), call.args[1]);
    EXPECT_EQ(0x1234u, call.args[2]);
    EXPECT_EQ(0x5678u, call.args[3]);
}

TEST(DebugPrintfTest, LongTextIsCutAndTerminated)
{
    ScriptedReset();
    for (std::size_t length : {1022u, 1023u, 1024u, 5000u}) {
        ScriptedReset();
        const std::string text(length, 'x');
        DebugPrintf("%s", text.c_str());
        EXPECT_EQ(std::string(std::min<std::size_t>(length, 1023), 'x'), ScriptedDebugOutput());
    }
    ScriptedReset();
    DebugPrintf("PixelFormat Selected: %d\nBPP: %d\n", 3, 24);
    EXPECT_EQ("PixelFormat Selected: 3\nBPP: 24\n", ScriptedDebugOutput());
}

}  // namespace
