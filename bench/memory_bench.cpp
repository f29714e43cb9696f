// Reports the memory figures that the tests do not assert on, because the C library's
// allocator and the driver decide them: the resident growth of the process over a
// long demo slideshow, and whether the allocator serves and keeps the large blocks of
// a display-list compile (the setting made first in each program).
// Usage: orx-memory-bench [demo-steps]
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "ViewerRig.h"
#include "platform/MemoryTuning.h"

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

void ReportAllocatorSetting() {
    constexpr size_t kSize = size_t{16} << 20;
    char* block = static_cast<char*>(std::malloc(kSize));
    if (block == nullptr) return;
    std::memset(block, 1, kSize);
    const struct mallinfo2 held = mallinfo2();
    std::free(block);
    const struct mallinfo2 freed = mallinfo2();
    std::printf("16 MiB block: %s; after free the heap keeps %zu KiB\n",
                held.hblkhd >= kSize ? "mapped apart" : "served from the heap", freed.arena / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    orx::KeepFreedMemoryForReuse();  // as orx-view and orx-render run
    ReportAllocatorSetting();
    const int steps = argc > 1 ? std::atoi(argv[1]) : 600;
    constexpr int kDemoPeriod = 1001;  // ticks from one demo step to the next

    orx::test::ViewerRig rig;
    orx::test::WriteModel(rig.Prog() + "a3d.gl", 20);
    orx::test::WriteModel(rig.Prog() + "b3d.gl", 5);
    orx::test::WriteModel(rig.Prog() + "gone3d.gl", 5);
    rig.Start();
    std::filesystem::remove(rig.Prog() + "gone3d.gl");
    for (int i = 0; i < 30; ++i) {  // warm-up
        rig.Ticks(kDemoPeriod);
        rig.dlg->OnPaint();
    }
    const long before = ResidentKiB();
    for (int i = 0; i < steps; ++i) {
        rig.Ticks(kDemoPeriod);
        rig.dlg->OnPaint();  // each step's frame compiles its list
    }
    const long after = ResidentKiB();
    std::printf("demo, %d steps: resident %ld KiB before, %ld KiB after, growth %ld KiB\n", steps,
                before, after, after - before);
    return 0;
}
