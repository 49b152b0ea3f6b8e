#include "platform/Win32Backend.h"

#include <gtest/gtest.h>

namespace {

constexpr Win32Backend kEveryEntry = {
    .name = "test",
    .createWindow = [](const Win32WindowRequest&) { return true; },
    .destroyWindow = [] {},
    .showWindow = [](bool) {},
    .setTitle = [](const char*) {},
    .clientSize = [](int*, int*) {},
    .pumpEvents = [] {},
    .messageBox = [](HWND, const char*, const char*, UINT) { return IDOK; },
    .colorBits = [] { return 32; },
    .choosePixelFormat = [](const PIXELFORMATDESCRIPTOR&) { return 1; },
    .createContext = []() -> HGLRC { return nullptr; },
    .makeCurrent = [](HGLRC) { return true; },
    .deleteContext = [](HGLRC) { return true; },
    .swapBuffers = [] { return true; },
    .counterFrequency = Win32SteadyCounterFrequency,
    .counter = Win32SteadyCounter,
    .debugOutput = [](const char*) {},
    .rateFigures = nullptr,
    .trace = nullptr,
};

constexpr Win32Backend Without(void (*clear)(Win32Backend*))
{
    Win32Backend backend = kEveryEntry;
    clear(&backend);
    return backend;
}

// Checked where the tables are compiled; the cases say what the check sees.
static_assert(Win32BackendComplete(kEveryEntry), "the rate figures and the trace are optional");
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->counter = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->createWindow = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->debugOutput = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->name = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->swapBuffers = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->pumpEvents = nullptr; })));

static_assert(Win32KeyDownFlags(false) == 1);
static_assert(Win32KeyDownFlags(true) == ((LPARAM{1} << 30) | 1));

TEST(Win32BackendTest, OuterSizeLosesANominalWindowsFrame)
{
    int width = 0;
    int height = 0;
    Win32ClientSizeForOuterSize(640, 480, &width, &height);
    EXPECT_EQ(632, width);
    EXPECT_EQ(446, height);
    Win32ClientSizeForOuterSize(5, 10, &width, &height);
    EXPECT_EQ(1, width);
    EXPECT_EQ(1, height);
}

RateFigures g_figuresTaken;
int g_figuresCount = 0;

// The figures reach a backend that takes them; one that does not is skipped.
TEST(Win32BackendTest, RateFiguresGoToTheBackendThatTakesThem)
{
    Win32Backend taking = kEveryEntry;
    taking.rateFigures = [](const RateFigures& figures) {
        g_figuresTaken = figures;
        ++g_figuresCount;
    };
    Win32InstallBackend(&taking);
    RateFigures figures;
    figures.framesPerSecond = 29.5;
    figures.triangles = 3584;
    ReportRateFigures(figures);
    EXPECT_EQ(1, g_figuresCount);
    EXPECT_EQ(29.5, g_figuresTaken.framesPerSecond);
    EXPECT_EQ(3584, g_figuresTaken.triangles);

    Win32InstallBackend(&kEveryEntry);
    ReportRateFigures(figures);
    EXPECT_EQ(1, g_figuresCount);
}

}  // namespace
