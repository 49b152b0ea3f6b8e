// A window for the hack to draw on that is not the hack's own, as a window
// of another program would be. It prints its id (0x-hexadecimal, one line)
// once it is mapped, then obeys lines on standard input:
//   size WIDTH HEIGHT   resize it
//   destroy             destroy it (the helper stays until end of input)
// Started as: test-window WIDTH HEIGHT

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, std::atoi(argv[1]),
                            std::atoi(argv[2]), 0, 0, BlackPixel(display, screen));
    XStoreName(display, window, "test window");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
    }
    std::printf("0x%lx\n", window);
    std::fflush(stdout);

    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        unsigned width = 0;
        unsigned height = 0;
        if (std::sscanf(line, "size %u %u", &width, &height) == 2)
            XResizeWindow(display, window, width, height);
        else if (std::strcmp(line, "destroy\n") == 0)
            XDestroyWindow(display, window);
        XSync(display, False);
    }
    XCloseDisplay(display);
    return 0;
}
