// Buffers that start zeroed without being written. A large buffer is its own anonymous
// mapping: its pages read as zero and take no memory until something is written to them, and
// the whole buffer goes back to the system when it is freed. A small one is heap memory cleared
// on allocation. Every buffer starts on a 64-byte (cache line) boundary.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace orva {

void* AllocateZeroed(size_t bytes);             // throws std::bad_alloc
void FreeZeroed(void* p, size_t bytes) noexcept;  // `bytes` as allocated

// A vector allocator over AllocateZeroed. An element made without a value keeps the
// allocation's zero instead of being written, so `ZeroedVector<T>(n)` touches no memory. That
// holds for fresh storage only: a vector that shrinks and grows again in place would show the
// old values, so these vectors are sized when made (or swapped for a new one), never resized.
template <typename T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <typename U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(AllocateZeroed(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { FreeZeroed(p, n * sizeof(T)); }
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const ZeroedAllocator<U>&) const { return true; }
};

template <typename T>
using ZeroedVector = std::vector<T, ZeroedAllocator<T>>;

}  // namespace orva
