// Preloaded (LD_PRELOAD) into a GL program on X: counts its buffer swaps in
// the 8-byte file named by SWAP_COUNT_FILE, shared memory that a script
// reads at any time (od -An -tu8). The hack-e2e.sh pacing scenario and
// scripts/measure-hacks get frame rates with it from programs that print
// none, XScreenSaver's own hacks among them.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

using SwapCall = void (*)(void* display, unsigned long drawable);

std::uint64_t* MapCount()
{
    const char* path = std::getenv("SWAP_COUNT_FILE");
    if (path == nullptr)
        return nullptr;
    const int file = open(path, O_RDWR | O_CREAT, 0644);
    if (file < 0 || ftruncate(file, sizeof(std::uint64_t)) != 0)
        return nullptr;
    void* memory =
        mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    return memory == MAP_FAILED ? nullptr : static_cast<std::uint64_t*>(memory);
}

}  // namespace

extern "C" void glXSwapBuffers(void* display, unsigned long drawable)
{
    static const SwapCall real = reinterpret_cast<SwapCall>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static std::uint64_t* const count = MapCount();
    real(display, drawable);
    if (count != nullptr)
        __atomic_add_fetch(count, 1, __ATOMIC_RELAXED);
}
