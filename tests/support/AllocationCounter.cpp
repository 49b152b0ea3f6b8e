#include "AllocationCounter.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// g_counting is checked first so that the thread-local flag is read only
// while some count runs.
std::atomic<bool> g_counting{false};
std::atomic<bool> g_allThreads{false};
thread_local bool t_counting = false;
std::atomic<long> g_allocations{0};

void NoteAllocation()
{
    if (!g_counting.load(std::memory_order_relaxed)) {
        return;
    }
    if (g_allThreads.load(std::memory_order_relaxed) || t_counting) {
        g_allocations.fetch_add(1, std::memory_order_relaxed);
    }
}

void* Allocate(std::size_t size)
{
    NoteAllocation();
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// Over-allocates with malloc and keeps the start just below the aligned
// block: aligned_alloc is not in every C library (mingw's has none).
void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    NoteAllocation();
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

void StartCountingAllocations(AllocationScope scope)
{
    t_counting = scope == AllocationScope::ThisThread;
    g_allThreads.store(scope == AllocationScope::AllThreads, std::memory_order_relaxed);
    g_counting.store(true, std::memory_order_relaxed);
}

void StopCountingAllocations()
{
    g_counting.store(false, std::memory_order_relaxed);
    g_allThreads.store(false, std::memory_order_relaxed);
    t_counting = false;
}

void ResetAllocationCount()
{
    g_allocations.store(0, std::memory_order_relaxed);
}

long AllocationCount()
{
    return g_allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
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
void* operator new(std::size_t size, std::align_val_t a)
{
    return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a)
{
    return AllocateAligned(size, a);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete[](void* p, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    FreeAligned(p);
}
