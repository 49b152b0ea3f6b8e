#pragma once

#include <string>

// The picture XScreenSaver's image hacks would show: the one its helper,
// xscreensaver-getimage-file, picks from the image folder set in the
// viewer's XScreenSaver settings (imageDirectory in ~/.xscreensaver, unless
// chooseRandomImages is off). The helper reads the settings itself, as it
// does for those hacks.

constexpr char kPictureHelperName[] = "xscreensaver-getimage-file";
// Long enough for a first listing of a large folder over a slow disk; the
// helper keeps a cache after that.
constexpr int kPictureHelperTimeoutMs = 20000;

// The helper's path: the first on $PATH (the daemon puts its own folder of
// hacks there), else where the Debian and other packages install it; empty
// when there is none.
std::string FindPictureHelper();

// Runs helper --absolute and takes the file it prints. False, with a reason
// naming the helper, when it cannot run, ends without success (no folder
// set, no picture in it), prints nothing, or takes longer than timeoutMs
// (then it is killed).
bool RunPictureHelper(const std::string& helper, int timeoutMs, std::string* file,
                      std::string* reason);
