#pragma once

#include <string>

// The Linux program's command line. Without arguments the program runs as
// it always has; the options it knows answer a question and end it.
enum class CommandAction {
    kRun,
    kHelp,
    kVersion,
    kBadOption,
};

struct CommandLine {
    CommandAction action = CommandAction::kRun;
    std::string badOption;  // the argument not understood, for kBadOption
};

// Reads argv[1] onwards in order; the first argument that decides wins.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The --help text; installedTexture is where the texture is looked for when
// the current folder has none.
std::string HelpText(const std::string& installedTexture);

// Prints what the command line asks for, help and version on stdout, a bad
// option as one line on stderr, and returns the exit code: 0, or 2 for a
// bad option.
int AnswerCommandLine(const CommandLine& commandLine);
