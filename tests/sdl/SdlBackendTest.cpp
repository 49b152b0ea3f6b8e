#include "sdl/SdlBackend.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Win32Backend.h"

// The SDL2 backend under the window model, on SDL's offscreen driver: real
// SDL windows and events, no X server. Events are pushed as the window
// system would deliver them and come out as the program's window procedure
// sees them.

namespace {

std::vector<MSG> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back({window, message, wParam, lParam, 0, {0, 0}});
    return DefWindowProcA(window, message, wParam, lParam);
}

class SdlBackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Named explicitly, so the backend accepts a driver nobody can see.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        std::string reason;
        ASSERT_TRUE(StartSdlBackend(&reason)) << reason;
        // Kept loaded to the end, as in the program: unloaded with the last
        // window, the driver would leave its allocations unreachable.
        ASSERT_EQ(0, SDL_GL_LoadLibrary(nullptr)) << SDL_GetError();
    }

    void SetUp() override
    {
        Win32ResetModel();
        g_received.clear();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = RecordingProc;
        windowClass.lpszClassName = "sdl test";
        ASSERT_NE(0, RegisterClassA(&windowClass));
        window_ = CreateWindowExA(0, "sdl test", "title", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, window_);
        ShowWindow(window_, SW_SHOW);
        sdlWindow_ = SDL_GetKeyboardFocus() != nullptr ? SDL_GetKeyboardFocus() : LastSdlWindow();
        ASSERT_NE(nullptr, sdlWindow_);
    }
    void TearDown() override
    {
        if (Win32ModelWindow() != nullptr)
            DestroyWindow(window_);
    }

    static SDL_Window* LastSdlWindow()
    {
        SDL_Window* last = nullptr;
        for (Uint32 id = 1; id < 64; ++id)
            last = SDL_GetWindowFromID(id) != nullptr ? SDL_GetWindowFromID(id) : last;
        return last;
    }

    // Runs the program's loop until the queue is empty (a paint while invalid ends it too).
    std::vector<MSG> Pump()
    {
        g_received.clear();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_PAINT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return g_received;
    }

    void PushKey(SDL_Keycode key, bool repeat = false)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.windowID = SDL_GetWindowID(sdlWindow_);
        event.key.keysym.sym = key;
        event.key.repeat = repeat ? 1 : 0;
        SDL_PushEvent(&event);
    }
    void PushText(const char* text)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = SDL_GetWindowID(sdlWindow_);
        std::strncpy(event.text.text, text, sizeof event.text.text - 1);
        SDL_PushEvent(&event);
    }
    void PushWindowEvent(Uint8 what, Uint32 windowId)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = windowId;
        event.window.event = what;
        SDL_PushEvent(&event);
    }

    static std::vector<WPARAM> Characters(const std::vector<MSG>& messages)
    {
        std::vector<WPARAM> characters;
        for (const MSG& msg : messages)
            if (msg.message == WM_CHAR)
                characters.push_back(msg.wParam);
        return characters;
    }

    HWND window_ = nullptr;
    SDL_Window* sdlWindow_ = nullptr;
};

TEST_F(SdlBackendTest, KeysAndTextBecomeTheCharactersOfAWindowsKeyboardEachOnce)
{
    Pump();
    // A keypad "+" comes as a key-down and as text: it must act once.
    PushKey(SDLK_KP_PLUS);
    PushText("+");
    PushText("*\xC3\xA9\xE2\x82\xAC");  // "*", e acute, and a euro sign no ANSI window gets
    PushKey(SDLK_ESCAPE);
    PushKey(SDLK_RETURN, true);
    PushKey(SDLK_BACKSPACE);
    PushKey(SDLK_TAB);
    PushKey(SDLK_a);  // its character comes as text only
    const std::vector<MSG> received = Pump();
    EXPECT_EQ((std::vector<WPARAM>{'+', '*', 0xE9, 27, 13, 8, 9}), Characters(received));
    // The repeated Return says so in bit 30, as Windows does.
    std::vector<LPARAM> returnFlags;
    for (const MSG& msg : received) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
            returnFlags.push_back(msg.lParam);
    }
    EXPECT_EQ((std::vector<LPARAM>{(1L << 30) | 1}), returnFlags);
}

TEST_F(SdlBackendTest, SizesFollowTheDrawableAndMinimisingEmptiesIt)
{
    // Showing sent the client size of a 640 x 480 Windows frame at once.
    ASSERT_FALSE(g_received.empty());
    EXPECT_EQ(static_cast<UINT>(WM_SIZE), g_received.back().message);
    EXPECT_EQ(MAKELPARAM(632, 446), g_received.back().lParam);
    Pump();

    SDL_SetWindowSize(sdlWindow_, 300, 200);
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, SDL_GetWindowID(sdlWindow_));
    PushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED,
                    SDL_GetWindowID(sdlWindow_));  // no change: no message
    PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED, SDL_GetWindowID(sdlWindow_));
    PushWindowEvent(SDL_WINDOWEVENT_RESTORED, SDL_GetWindowID(sdlWindow_));
    std::vector<LPARAM> sizes;
    std::vector<WPARAM> kinds;
    for (const MSG& msg : Pump()) {
        if (msg.message == WM_SIZE) {
            kinds.push_back(msg.wParam);
            sizes.push_back(msg.lParam);
        }
    }
    EXPECT_EQ((std::vector<WPARAM>{0, 1, 0}), kinds);
    EXPECT_EQ((std::vector<LPARAM>{MAKELPARAM(300, 200), 0, MAKELPARAM(300, 200)}), sizes);
    EXPECT_TRUE(Win32ModelWindowInvalid());
}

TEST_F(SdlBackendTest, CloseRequestsForOurWindowCloseItAndOthersAreIgnored)
{
    Pump();
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, SDL_GetWindowID(sdlWindow_) + 100);
    EXPECT_TRUE(Pump().empty());
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE, SDL_GetWindowID(sdlWindow_));
    const std::vector<MSG> received = Pump();
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(static_cast<UINT>(WM_CLOSE), received[0].message);
    EXPECT_EQ(static_cast<UINT>(WM_DESTROY), received[1].message);  // by DefWindowProcA
    EXPECT_EQ(nullptr, Win32ModelWindow());
}

}  // namespace
