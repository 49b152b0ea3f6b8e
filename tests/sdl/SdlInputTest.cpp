#include "sdl/SdlInput.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

std::vector<WPARAM> Codes(const char* utf8, int maxCodes = 32)
{
    std::vector<WPARAM> codes(static_cast<std::size_t>(maxCodes));
    codes.resize(static_cast<std::size_t>(CharacterCodesForText(utf8, codes.data(), maxCodes)));
    return codes;
}

TEST(SdlInputTest, EffectKeysGiveTheCodesOfAWindowsKeyboard)
{
    // Text input carries the printable keys, keypad operators included.
    EXPECT_EQ((std::vector<WPARAM>{' ', '+', '-', '*', '/', '1', '4'}), Codes(" +-*/14"));
    // Escape and Return never come as text: they come as key-downs.
    EXPECT_EQ(static_cast<WPARAM>(VK_ESCAPE), VirtualKeyForSdlKey(SDLK_ESCAPE));
    EXPECT_EQ(static_cast<WPARAM>(VK_RETURN), VirtualKeyForSdlKey(SDLK_RETURN));
    EXPECT_EQ(static_cast<WPARAM>(VK_RETURN), VirtualKeyForSdlKey(SDLK_KP_ENTER));
}

TEST(SdlInputTest, KeysThatAlsoArriveAsTextActOnce)
{
    // Keypad "+" arrives as a key-down and as text "+": only the text counts.
    for (SDL_Keycode key : {SDLK_KP_PLUS, SDLK_KP_MINUS, SDLK_KP_MULTIPLY, SDLK_KP_DIVIDE,
                            SDLK_PLUS, SDLK_SPACE, SDLK_1, SDLK_KP_1, SDLK_a})
        EXPECT_EQ(0u, VirtualKeyForSdlKey(key)) << SDL_GetKeyName(key);
}

TEST(SdlInputTest, TextBeyondAsciiBecomesLatin1CodesOrNothing)
{
    EXPECT_EQ((std::vector<WPARAM>{0xE9, 'x', 0xFF}), Codes("\xC3\xA9x\xC3\xBF"));  // é x ÿ
    EXPECT_EQ((std::vector<WPARAM>{'a', 'b'}), Codes("a\xE2\x82\xAC"
                                                     "b"));             // € dropped
    EXPECT_EQ((std::vector<WPARAM>{'a'}), Codes("a\xF0\x9F\x98\x80"));  // emoji dropped
    EXPECT_TRUE(Codes("\x7F\xC2\x80\xC2\x9F").empty());                 // DEL and C1 controls
}

TEST(SdlInputTest, MalformedTextIsSkippedWithoutReadingPastIt)
{
    EXPECT_EQ((std::vector<WPARAM>{'a', 'b'}), Codes("a\x80"
                                                     "b"));  // stray continuation
    EXPECT_EQ((std::vector<WPARAM>{'a', 'b'}), Codes("a\xC3"
                                                     "b"));  // truncated pair
    EXPECT_EQ((std::vector<WPARAM>{'z'}), Codes("\xE2\x82"
                                                "z"));                      // truncated triple
    EXPECT_EQ((std::vector<WPARAM>{}), Codes("\xC1\xBF"));                  // overlong '?'
    EXPECT_EQ((std::vector<WPARAM>{'q'}), Codes("\xF8\x88\x80\x80\x80q"));  // invalid lead byte
    EXPECT_EQ((std::vector<WPARAM>{'a', 'b'}), Codes("abcdef", 2));         // room for two
}

TEST(SdlInputTest, MessageBoxButtonsAnswerAsWindowsBoxesDo)
{
    // The warning: OK then Cancel; Return is OK, Escape and closing are Cancel.
    const SdlMessageBoxLayout warning = MessageBoxLayoutFor(MB_ICONWARNING | MB_OKCANCEL);
    ASSERT_EQ(2, warning.buttonCount);
    EXPECT_EQ(IDOK, warning.buttons[0].buttonid);
    EXPECT_EQ(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, warning.buttons[0].flags);
    EXPECT_EQ(IDCANCEL, warning.buttons[1].buttonid);
    EXPECT_EQ(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, warning.buttons[1].flags);
    EXPECT_EQ(SDL_MESSAGEBOX_WARNING | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT, warning.flags);
    EXPECT_EQ(IDOK, MessageBoxAnswer(warning, IDOK));
    EXPECT_EQ(IDCANCEL, MessageBoxAnswer(warning, IDCANCEL));
    EXPECT_EQ(IDCANCEL, MessageBoxAnswer(warning, -1));

    // A fatal box: one OK for Return and Escape alike; closing it is OK too.
    const SdlMessageBoxLayout fatal = MessageBoxLayoutFor(MB_ICONERROR);
    ASSERT_EQ(1, fatal.buttonCount);
    EXPECT_EQ(IDOK, fatal.buttons[0].buttonid);
    EXPECT_EQ(SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
              fatal.buttons[0].flags);
    EXPECT_EQ(SDL_MESSAGEBOX_ERROR | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT, fatal.flags);
    EXPECT_EQ(IDOK, MessageBoxAnswer(fatal, -1));
}

}  // namespace
