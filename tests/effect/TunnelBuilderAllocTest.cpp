// Its own executable: it replaces the global allocation functions to count
// every allocation made while the builder runs.

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include <gtest/gtest.h>

#include "EffectStateReset.h"
#include "effect/TunnelBuilder.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void* Allocate(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed)) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// Over-allocates with malloc and keeps the start just below the aligned
// block: aligned_alloc is not in every C library (mingw's has none).
void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    if (g_counting.load(std::memory_order_relaxed)) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
    const std::size_t align = static_cast<std::size_t>(alignment);
    if (void* raw = std::malloc(size + align + sizeof(void*))) {
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
        void* aligned = reinterpret_cast<void*>((start + align - 1) / align * align);
        std::memcpy(static_cast<char*>(aligned) - sizeof(void*), &raw, sizeof raw);
        return aligned;
    }
    throw std::bad_alloc();
}

void FreeAligned(void* p)
{
    if (p != nullptr) {
        void* raw;
        std::memcpy(&raw, static_cast<char*>(p) - sizeof(void*), sizeof raw);
        std::free(raw);
    }
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
void operator delete(void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { FreeAligned(p); }

namespace {

TEST(TunnelBuilderAllocation, CountingSeesAnAllocation)
{
    g_allocations = 0;
    g_counting = true;
    int* probe = new int(7);
    g_counting = false;
    EXPECT_EQ(7, *probe);
    delete probe;
    EXPECT_EQ(1, g_allocations.load());
}

TEST(TunnelBuilderAllocation, FramesAllocateNothing)
{
    ResetEffectStateToLoadValues();
    InitCrossSection();

    // A long flight with everything a user can change in between: shape,
    // polygon step, focal, a jump far ahead, and Escape at the end.
    g_allocations = 0;
    g_counting = true;
    std::int32_t travel = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        if (frame % 1000 == 0) g_rippleShape = 1 - g_rippleShape;
        if (frame % 700 == 0) g_polyStep = 1 << (frame / 700 % 4);
        if (frame == 5000) g_focal = 0.0f;
        if (frame == 6000) g_focal = 2.0f;
        if (frame == 9000) travel += 1 << 20;
        if (frame == 15000) g_stopRequested = 1;
        travel += 8;
        BuildTunnel(travel);
    }
    g_counting = false;
    EXPECT_EQ(0, g_allocations.load());
    EXPECT_EQ(0, g_ringCount);  // the tunnel has run out after Escape
}

}  // namespace
