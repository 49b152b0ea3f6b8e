#pragma once

// The first bytes of a file, through the file calls (the real ones on
// Windows), for the readers that tell a format by its head.

#include <cstddef>

// Reads up to size bytes from the start of path into head and sets length to
// the count read, fewer only where the file ends. False when the file cannot
// be opened or a read fails.
bool ReadFileHead(const char* path, unsigned char* head, std::size_t size, std::size_t* length);
