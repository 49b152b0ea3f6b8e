#pragma once

#include <string>

#include "look/LookSettings.h"

// The Linux program's command line. Without arguments the program runs as
// it always has; --help and --version answer a question and end it; the
// XScreenSaver options make it a hack that draws on a window not its own.
enum class CommandAction {
    kRun,
    kHelp,
    kVersion,
    kBadOption,
    kBadValue,  // a look option with a value it does not take, or none
};

// XScreenSaver's usual pace, about 33 frames a second at most, and the
// longest wait taken.
constexpr long kDefaultDelayMicroseconds = 30000;
constexpr long kMaxDelayMicroseconds = 10000000;

struct CommandLine {
    CommandAction action = CommandAction::kRun;
    std::string badOption;      // the argument not understood, for kBadOption;
                                // the option as given, for kBadValue
    std::string badValue;       // for kBadValue: the value given, empty when none
    const char* accepted = "";  // for kBadValue: what the option takes
    // --root or --window-id: draw on a foreign window, without box, title or
    // keys. --fps and --delay matter only then.
    bool onForeignWindow = false;
    // From --window-id (decimal or 0x-hexadecimal); 0 with --root, which
    // takes $XSCREENSAVER_WINDOW, or the root window when that is unset.
    unsigned long windowId = 0;
    // --shape, --speed, --focal, --quads, --texture; --fps is its showRate,
    // the rate drawn in the bottom-left corner of a foreign window.
    LookSettings look;
    // --saver-pictures: the picture from XScreenSaver's image folder, when
    // the viewer has set one (SaverPictures.h).
    bool saverPictures = false;
    // --delay: microseconds from the start of one frame to the next, as
    // XScreenSaver's hacks count them; 0 draws as fast as it can.
    long delayMicroseconds = kDefaultDelayMicroseconds;
};

// Reads an X window id as X tools and XScreenSaver write it: decimal, or
// hexadecimal after 0x; 0 is no window.
bool ParseWindowId(const char* text, unsigned long* id);

// Reads a delay: a whole number of microseconds from 0 to
// kMaxDelayMicroseconds, digits only.
bool ParseDelay(const char* text, long* microseconds);

// Reads argv[1] onwards in order; the first argument that decides (help,
// version, or one not understood, a bad window id or delay included) wins.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The --help text; installedTexture is where the texture is looked for when
// the current folder has none.
std::string HelpText(const std::string& installedTexture);

// The one line (without its newline) a bad option or value gets on stderr.
std::string CommandLineError(const CommandLine& commandLine);

// Prints what the command line asks for, help and version on stdout, a bad
// option or value as one line on stderr, and returns the exit code: 0, or 2
// for a bad option or value.
int AnswerCommandLine(const CommandLine& commandLine);
