// Zeroed buffers: they read as zero, keep their alignment, copy like vectors, and a large one
// takes no memory until it is written.
#include "data/zeroed_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

namespace orva {
namespace {

// Resident pages of this process, from /proc/self/statm.
long ResidentPages() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident;
}

bool HeapOnly() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

TEST(ZeroedMemory, SmallAndLargeBuffersReadAsZeroOnCacheLines) {
    for (size_t n : {size_t{1}, size_t{17}, size_t{4096}, size_t{32 * 1024 - 1}, size_t{32 * 1024}, size_t{300000}}) {
        // Dirty the heap first, so a reused block would show old bytes.
        { std::vector<uint32_t> dirt(n, 0xDEADBEEFu); }
        ZeroedVector<uint32_t> v(n);
        ASSERT_EQ(v.size(), n);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(v.data()) % 64, 0u) << n;
        EXPECT_TRUE(std::all_of(v.begin(), v.end(), [](uint32_t x) { return x == 0; })) << n;
    }
}

TEST(ZeroedMemory, CopiesAndValuesBehaveLikeAVector) {
    ZeroedVector<int32_t> a(100000, 7);
    a[99999] = -1;
    ZeroedVector<int32_t> b = a;
    EXPECT_EQ(b.size(), a.size());
    EXPECT_EQ(b[0], 7);
    EXPECT_EQ(b[99999], -1);
    b = ZeroedVector<int32_t>(10);
    EXPECT_EQ(b.size(), 10u);
    EXPECT_EQ(b[9], 0);
}

// With transparent huge pages always on, a write takes a whole 2-MiB page.
bool HugePagesAlways() {
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string line;
    std::getline(f, line);
    return line.find("[always]") != std::string::npos;
}

TEST(ZeroedMemory, ALargeBufferTakesNoMemoryUntilWritten) {
    if (HeapOnly()) GTEST_SKIP() << "the sanitizer build keeps buffers on the heap";
    if (HugePagesAlways()) GTEST_SKIP() << "transparent huge pages are always on";
    const long before = ResidentPages();
    ZeroedVector<uint32_t> big(size_t{64} << 20 >> 2);  // 64 MiB
    const long made = ResidentPages();
    // Reading leaves it as it is; writing one page in every sixteen takes those pages only.
    uint64_t sum = 0;
    for (size_t i = 0; i < big.size(); i += 1024) sum += big[i];
    EXPECT_EQ(sum, 0u);
    for (size_t i = 0; i < big.size(); i += 16 * 1024) big[i] = 1;
    const long written = ResidentPages();
    const long pageKiB = 4;
    EXPECT_LT((made - before) * pageKiB, 4 * 1024) << "making it";
    EXPECT_LT((written - before) * pageKiB, 12 * 1024) << "after writing a sixteenth of its pages";
}

}  // namespace
}  // namespace orva
