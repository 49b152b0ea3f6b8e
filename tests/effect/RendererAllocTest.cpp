// Its own executable: it replaces the global allocation functions to count
// what RenderFrame allocates. The window calls go to tunnel-render's window
// stub, which keeps the title in a fixed buffer, so a frame that shows the
// rate is counted whole.

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "EffectStateReset.h"
#include "GlContext.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "WindowStub.h"

namespace {

// Only this thread's allocations count: the GL driver's worker threads have
// their own life.
thread_local bool t_counting = false;
thread_local long t_allocations = 0;

void* Allocate(std::size_t size)
{
    if (t_counting) {
        ++t_allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    if (t_counting) {
        ++t_allocations;
    }
    const std::size_t align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    if (void* p = std::aligned_alloc(align, rounded == 0 ? align : rounded)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

using RendererAllocation = GlTestAt<640, 480>;

TEST(RendererAllocationCount, SeesAnAllocationOnThisThread)
{
    t_allocations = 0;
    t_counting = true;
    auto* probe = new int(7);
    t_counting = false;
    delete probe;
    EXPECT_EQ(1, t_allocations);
}

// Five seconds of frames at 60 a second, five rate displays among them,
// keys changing the detail and the shape between frames: nothing allocated.
TEST_F(RendererAllocation, FramesAllocateNothing)
{
    ResetEffectStateToLoadValues();
    WindowStubReset();
    g_hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5150));
    g_clientWidth = 640;
    g_clientHeight = 480;
    ASSERT_TRUE(InitEffect());
    // The driver builds its shader variants over the first few frames; let it.
    for (int n = 0; n < 10; ++n) {
        g_time = static_cast<float>(n / 60.0);
        g_deltaTime = n == 0 ? 0.0f : static_cast<float>(1.0 / 60.0);
        RenderFrame();
    }
    const char keys[] = {'1', ' ', '4', '+', '3', ' ', '-'};
    t_allocations = 0;
    for (int n = 10; n < 310; ++n) {
        if (n % 40 == 0) {
            HandleKey(static_cast<unsigned char>(keys[(n / 40) % sizeof keys]));
        }
        g_time = static_cast<float>(n / 60.0);
        g_deltaTime = static_cast<float>(1.0 / 60.0);
        t_counting = true;
        RenderFrame();
        t_counting = false;
    }
    EXPECT_EQ(0, t_allocations);
    EXPECT_STREQ("Zelk's little tunnel - 60 fps (", std::string(WindowStubTitle()).substr(0, 31).c_str());
}

}  // namespace
