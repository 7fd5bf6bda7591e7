// Zeroed buffers: large ones mapped on their own, small ones from the heap.
#include "data/zeroed_memory.h"

#include <cstdint>
#include <cstring>

#include <sys/mman.h>

namespace orva {
namespace {

// From this size a buffer is mapped on its own (the heap maps such blocks too, see main). The
// address sanitizer's builds keep every buffer on the heap, where it catches overruns.
#if defined(__SANITIZE_ADDRESS__)
#define ORVA_ZEROED_ON_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVA_ZEROED_ON_HEAP 1
#endif
#endif
#ifdef ORVA_ZEROED_ON_HEAP
constexpr size_t kMapBytes = SIZE_MAX;
#else
constexpr size_t kMapBytes = 128 * 1024;
#endif
constexpr std::align_val_t kAlign{64};

}  // namespace

void* AllocateZeroed(size_t bytes) {
    if (bytes >= kMapBytes) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        return p;
    }
    void* p = ::operator new(bytes, kAlign);
    std::memset(p, 0, bytes);
    return p;
}

void FreeZeroed(void* p, size_t bytes) noexcept {
    if (!p) return;
    if (bytes >= kMapBytes) munmap(p, bytes);
    else ::operator delete(p, kAlign);
}

}  // namespace orva
