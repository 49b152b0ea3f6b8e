#pragma once

#include <string>

// Where the program finds its texture: the current folder first, as it
// always has; then the data folder of its own installation, found from the
// running executable so that an installation moved elsewhere still finds it.

// The installed copy of fileName for the executable at executablePath:
// <prefix>/share/zelk-tunnel/<fileName> for <prefix>/bin/<program>. Empty
// when executablePath is.
std::string InstalledTexturePath(const std::string& executablePath, const char* fileName);

// The path to load: the installed copy when the current folder has no
// fileName and the installed copy exists; otherwise fileName itself, which
// the loader opens, or replaces with its checker, as it always has.
std::string TextureFileToLoad(const char* fileName, const std::string& executablePath);

// The running program's own file, from /proc/self/exe; empty when unknown,
// and always on Windows, whose program looks in the current folder only.
std::string RunningExecutable();
