// Times opening a model as the viewer does (the open with its builds)
// plus the first frame, then the replay of further frames, and reports the peak
// memory of the process. Usage: orx-open-bench MODEL.gl [frames] [WxH]
#include <GL/gl.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/ViewerDlg.h"
#include "platform/MemoryTuning.h"
#include "platform/headless/HeadlessPlatform.h"

int main(int argc, char** argv) {
    // As orx-render and orx-view run.
    orx::KeepFreedMemoryForReuse();
    if (argc < 2) {
        std::fprintf(stderr, "usage: orx-open-bench MODEL.gl [frames] [WxH]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::atoi(argv[2]) : 10;
    int w = 800, h = 600;
    if (argc > 3) std::sscanf(argv[3], "%dx%d", &w, &h);
    char folder[] = "/tmp/orx-bench-XXXXXX";
    const char* profile = ::mkdtemp(folder);

    using Clock = std::chrono::steady_clock;
    orx::HeadlessPlatform platform(w, h, profile ? profile : "/nonexistent");
    orx::CViewerDlg dlg(platform);
    if (!dlg.StartRendering(w, h)) return 1;
    orx::ViewOptions options;
    options.mode = orx::kModeSolid;  // solid shades: the usual working mode
    dlg.ApplyViewOptions(options);

    const auto t0 = Clock::now();
    const bool opened = dlg.OpenModelForRendering(argv[1], 0);
    dlg.OnPaint();
    glFinish();
    const auto t1 = Clock::now();
    for (int i = 0; i < frames; ++i) {
        dlg.RotateBy(1, 1.0);
        dlg.OnPaint();
    }
    glFinish();
    const auto t2 = Clock::now();

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double open = std::chrono::duration<double>(t1 - t0).count();
    const double frame = frames > 0 ? std::chrono::duration<double>(t2 - t1).count() / frames : 0;
    std::printf("open+first-frame %.3f s  frame %.1f ms  peak %.0f MiB\n", open, frame * 1000.0,
                usage.ru_maxrss / 1024.0);
    if (profile) std::filesystem::remove_all(profile);
    return opened ? 0 : 1;
}
