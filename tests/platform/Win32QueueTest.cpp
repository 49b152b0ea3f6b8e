#include "platform/Win32Queue.h"

#include <gtest/gtest.h>

namespace {

HWND Window(int n)
{
    static char windows[2];
    return reinterpret_cast<HWND>(&windows[n]);
}

TEST(MessageQueueTest, PostedMessagesComeInOrderThenQuitThenPaint)
{
    MessageQueue queue;
    queue.PostQuit(4);
    queue.Post(Window(0), WM_CHAR, 'a', 1);
    queue.Post(Window(0), WM_CLOSE, 0, 0);
    MSG msg = {};
    ASSERT_TRUE(queue.Peek(&msg, true, Window(0)));
    EXPECT_EQ(static_cast<UINT>(WM_CHAR), msg.message);
    EXPECT_EQ('a', static_cast<int>(msg.wParam));
    ASSERT_TRUE(queue.Peek(&msg, true, Window(0)));
    EXPECT_EQ(static_cast<UINT>(WM_CLOSE), msg.message);
    ASSERT_TRUE(queue.Peek(&msg, true, Window(0)));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    EXPECT_EQ(nullptr, msg.hwnd);
    EXPECT_EQ(4u, msg.wParam);
    // A paint message stays while the window is invalid; taking it does not validate.
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(queue.Peek(&msg, true, Window(0)));
        EXPECT_EQ(static_cast<UINT>(WM_PAINT), msg.message);
        EXPECT_EQ(Window(0), msg.hwnd);
    }
}

TEST(MessageQueueTest, PeekWithoutRemoveLeavesTheMessageAndAnEmptyQueueLeavesTheRecord)
{
    MessageQueue queue;
    MSG msg = {};
    msg.message = 0x1234;
    EXPECT_FALSE(queue.Peek(&msg, true, nullptr));
    EXPECT_EQ(0x1234u, msg.message);

    queue.PostQuit(0);
    ASSERT_TRUE(queue.Peek(&msg, false, nullptr));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), msg.message);
    ASSERT_TRUE(queue.Peek(&msg, true, nullptr));
    EXPECT_FALSE(queue.Peek(&msg, true, nullptr));
}

TEST(MessageQueueTest, DroppingAWindowKeepsThreadMessagesAndOtherWindows)
{
    MessageQueue queue;
    queue.Post(Window(0), WM_CLOSE, 0, 0);
    queue.Post(nullptr, 0x8001, 7, 0);
    queue.Post(Window(1), WM_CHAR, 'b', 0);
    queue.Post(Window(0), WM_CHAR, 'c', 0);
    queue.DropWindow(Window(0));
    MSG msg = {};
    ASSERT_TRUE(queue.Peek(&msg, true, nullptr));
    EXPECT_EQ(0x8001u, msg.message);
    ASSERT_TRUE(queue.Peek(&msg, true, nullptr));
    EXPECT_EQ(Window(1), msg.hwnd);
    EXPECT_FALSE(queue.Peek(&msg, true, nullptr));
}

TEST(MessageQueueTest, OnlyKeysWithoutTextGiveCharactersOnTranslation)
{
    EXPECT_EQ(27u, CharacterForVirtualKey(VK_ESCAPE));
    EXPECT_EQ(13u, CharacterForVirtualKey(VK_RETURN));
    EXPECT_EQ(8u, CharacterForVirtualKey(VK_BACK));
    EXPECT_EQ(9u, CharacterForVirtualKey(VK_TAB));
    EXPECT_EQ(0u, CharacterForVirtualKey('A'));   // letters come as text input
    EXPECT_EQ(0u, CharacterForVirtualKey(0x6B));  // keypad add: text input too
}

}  // namespace
