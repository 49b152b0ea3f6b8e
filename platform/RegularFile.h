#pragma once

// Opening a file to read on POSIX systems, for the file calls' layer and the
// decoders that read through stdio (libjpeg, libpng). Windows opens files
// through its own API and does not use this.

#include <cstdio>

// A descriptor for reading path, or -1 when it cannot be opened or is not a
// regular file (errno tells). A FIFO would block the open until a writer
// comes and a device could be read for ever, so the open does not wait
// (O_NONBLOCK) and what was opened is checked, not the name, which cannot be
// swapped in between.
int OpenRegularFileDescriptor(const char* path);

// The same as a stdio stream ("rb"), or nullptr.
std::FILE* OpenRegularFile(const char* path);
