#include "platform/Win32Queue.h"

#include <algorithm>

void MessageQueue::Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    posted_.push_back(msg);
}

void MessageQueue::PostQuit(int exitCode)
{
    quitPosted_ = true;
    quitCode_ = exitCode;
}

bool MessageQueue::Peek(MSG* msg, bool remove, HWND invalidWindow)
{
    if (!posted_.empty()) {
        *msg = posted_.front();
        if (remove)
            posted_.pop_front();
        return true;
    }
    if (quitPosted_) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(static_cast<LPARAM>(quitCode_));
        if (remove)
            quitPosted_ = false;
        return true;
    }
    if (invalidWindow != nullptr) {
        *msg = MSG{};
        msg->hwnd = invalidWindow;
        msg->message = WM_PAINT;
        return true;
    }
    return false;
}

void MessageQueue::DropWindow(HWND window)
{
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(),
                                 [window](const MSG& m) { return m.hwnd == window; }),
                  posted_.end());
}

void MessageQueue::Clear()
{
    posted_.clear();
    quitPosted_ = false;
    quitCode_ = 0;
}

WPARAM CharacterForVirtualKey(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_BACK:
        return 8;
    case VK_TAB:
        return 9;
    case VK_RETURN:
        return 13;
    case VK_ESCAPE:
        return 27;
    default:
        return 0;
    }
}
