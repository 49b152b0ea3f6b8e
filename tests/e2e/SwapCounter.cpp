// Preloaded (LD_PRELOAD) into a GL program on X: counts its buffer swaps,
// GLX's or EGL's (XScreenSaver's own hacks draw through EGL), in
// the 8-byte file named by SWAP_COUNT_FILE, shared memory that a script
// reads at any time (od -An -tu8). The hack-e2e.sh pacing scenario and
// scripts/measure-hacks get frame rates with it from programs that print
// none, XScreenSaver's own hacks among them. The file appears with the
// first swap, so its presence tells a script that this very process has
// drawn. A "%p" in the name becomes the process id: one file per program
// when several share an environment (the hacks a daemon starts).

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using GlxSwapCall = void (*)(void* display, unsigned long drawable);
using EglSwapCall = unsigned int (*)(void* display, void* surface);

std::uint64_t* MapCount()
{
    const char* name = std::getenv("SWAP_COUNT_FILE");
    if (name == nullptr)
        return nullptr;
    char path[4096];
    const char* pid = std::strstr(name, "%p");
    if (pid == nullptr) {
        std::snprintf(path, sizeof path, "%s", name);
    } else {
        std::snprintf(path, sizeof path, "%.*s%ld%s", static_cast<int>(pid - name), name,
                      static_cast<long>(getpid()), pid + 2);
    }
    const int file = open(path, O_RDWR | O_CREAT, 0644);
    if (file < 0 || ftruncate(file, sizeof(std::uint64_t)) != 0)
        return nullptr;
    void* memory =
        mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    return memory == MAP_FAILED ? nullptr : static_cast<std::uint64_t*>(memory);
}

void CountSwap()
{
    static std::uint64_t* const count = MapCount();
    if (count != nullptr)
        __atomic_add_fetch(count, 1, __ATOMIC_RELAXED);
}

}  // namespace

extern "C" void glXSwapBuffers(void* display, unsigned long drawable)
{
    static const auto real = reinterpret_cast<GlxSwapCall>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    real(display, drawable);
    CountSwap();
}

extern "C" unsigned int eglSwapBuffers(void* display, void* surface)
{
    static const auto real = reinterpret_cast<EglSwapCall>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
    const unsigned int swapped = real(display, surface);
    CountSwap();
    return swapped;
}
