#pragma once

// The window model's message queue (Win32Window.cpp), whichever backend is
// installed: posted messages in order, then the quit message, then a paint
// message while the window is invalid. Not part of the Win32 surface; only
// the model includes it.

#include "platform/Win32.h"

#include <deque>

class MessageQueue {
public:
    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode);

    // Copies the next message into *msg, if any, and takes it out when remove
    // is set. invalidWindow is the window needing paint, or null; a paint
    // message is never taken out: it comes while the window stays invalid.
    bool Peek(MSG* msg, bool remove, HWND invalidWindow);

    // Drops every message for a window that no longer exists.
    void DropWindow(HWND window);
    void Clear();

private:
    std::deque<MSG> posted_;
    bool quitPosted_ = false;
    int quitCode_ = 0;
};

// The character a Windows keyboard gives for a virtual key that produces one
// without text input (Escape, Return, Backspace, Tab); 0 for any other key.
WPARAM CharacterForVirtualKey(WPARAM virtualKey);
