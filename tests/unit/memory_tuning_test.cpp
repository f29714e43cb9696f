// The allocator keeps the large blocks of a display-list compile for reuse.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/MemoryTuning.h"

namespace orx {
namespace {

// A block as large as those the driver takes for a big model comes from the heap, not
// from a mapping of its own, and the heap keeps its pages once the block is freed.
int LargeBlockIsServedAndKeptByTheHeap() {
    KeepFreedMemoryForReuse();
    constexpr size_t kSize = size_t{16} << 20;
    char* block = static_cast<char*>(std::malloc(kSize));
    if (block == nullptr) return 3;
    std::memset(block, 1, kSize);
    const struct mallinfo2 held = mallinfo2();
    std::free(block);
    const struct mallinfo2 freed = mallinfo2();
    if (held.hblkhd >= kSize) return 1;  // mapped apart, and unmapped when freed
    if (freed.arena < kSize) return 2;   // handed back to the system at once
    return 0;
}

TEST(MemoryTuning, LargeBlocksAreServedAndKeptByTheHeap) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer brings an allocator of its own";
#endif
    // In a child process: the setting holds for the whole process.
    EXPECT_EXIT(std::exit(LargeBlockIsServedAndKeptByTheHeap()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace orx
