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
    .trace = nullptr,
};

constexpr Win32Backend Without(void (*clear)(Win32Backend*))
{
    Win32Backend backend = kEveryEntry;
    clear(&backend);
    return backend;
}

// Checked where the tables are compiled; the cases say what the check sees.
static_assert(Win32BackendComplete(kEveryEntry), "the trace is optional");
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->counter = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->createWindow = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->debugOutput = nullptr; })));
static_assert(!Win32BackendComplete(Without([](Win32Backend* b) { b->name = nullptr; })));

TEST(Win32BackendTest, EveryEntryButTheTraceMustBeSet)
{
    EXPECT_TRUE(Win32BackendComplete(kEveryEntry));
    EXPECT_FALSE(Win32BackendComplete(Without([](Win32Backend* b) { b->swapBuffers = nullptr; })));
    EXPECT_FALSE(Win32BackendComplete(Without([](Win32Backend* b) { b->pumpEvents = nullptr; })));
}

}  // namespace
