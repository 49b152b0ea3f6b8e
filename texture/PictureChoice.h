#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which file to show for what the viewer named (--texture, XScreenSaver's
// image folder): a file is itself; a folder gives one of the picture files
// under it, searched recursively as xscreensaver-getimage-file does, picked
// at random at each start.

// Picture files under folder, at any depth, sorted by path so that a choice
// depends on the random value alone: regular files (or links to them) whose
// names end in .jpg, .jpeg, .jpe, .png or .bmp in any case; hidden files and
// folders (a leading dot) are left out, as are folders that cannot be read.
// Which format a file holds is still told by its content when it is read.
std::vector<std::string> ListPictureFiles(const std::string& folder);

// The file to read for path: path itself when it is not a folder (the reader
// reports what is wrong with it), else the listing's entry at random modulo
// its size. False, with the reason, for a folder holding no picture file.
bool ChoosePictureFile(const std::string& path, std::uint64_t random, std::string* file,
                       std::string* reason);

// A fresh random value for each start.
std::uint64_t PictureRandomValue();
