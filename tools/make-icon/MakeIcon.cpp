// Paints the program's icon at one size and writes it as a PNG file:
//   make-icon 48 dist/icons/zelk-tunnel-48.png
// Same program, same libpng: the same bytes every time.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "PaintIcon.h"
#include "PngFile.h"

int main(int argc, char** argv)
{
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: %s SIZE OUTPUT.png  (SIZE 16..1024 pixels)\n", argv[0]);
        return 2;
    }
    const std::vector<unsigned char> pixels = PaintIcon(size);
    std::string error;
    if (!WritePngFile(argv[2], pixels.data(), size, size, 4, &error)) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    return 0;
}
