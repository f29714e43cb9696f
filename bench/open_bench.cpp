// Times opening a model as the viewer does (OpenModelFile with its three builds)
// plus the first frame, then the replay of further frames, and reports the peak
// memory of the process. Usage: orx-open-bench MODEL.gl [frames] [WxH]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <GL/gl.h>

#include "app/ViewerDlg.h"
#include "platform/headless/HeadlessPlatform.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orx-open-bench MODEL.gl [frames] [WxH]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::atoi(argv[2]) : 10;
    int w = 800, h = 600;
    if (argc > 3) std::sscanf(argv[3], "%dx%d", &w, &h);
    char folder[] = "/tmp/orx-bench-XXXXXX";
    ::setenv("XDG_CONFIG_HOME", ::mkdtemp(folder), 1);

    using Clock = std::chrono::steady_clock;
    orx::HeadlessPlatform platform(w, h);
    orx::CViewerDlg dlg(platform);
    if (!dlg.SetupPixelFormat() || !dlg.CreateGLContext()) return 1;
    dlg.m_strProgramDir = orx::CViewerDlg::ProgramDirFrom(platform.ExecutablePath());
    dlg.m_bLiveFollow = false;
    dlg.OnSize(0, w, h);
    dlg.m_nShading = 3;  // solid shades: the usual working mode

    const auto t0 = Clock::now();
    dlg.OpenModelFile(argv[1]);
    dlg.OnPaint();
    glFinish();
    const auto t1 = Clock::now();
    for (int i = 0; i < frames; ++i) {
        dlg.RotateStep();
        dlg.OnPaint();
    }
    glFinish();
    const auto t2 = Clock::now();

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const double open = std::chrono::duration<double>(t1 - t0).count();
    const double frame = frames > 0 ? std::chrono::duration<double>(t2 - t1).count() / frames : 0;
    std::printf("open+first-frame %.3f s  frame %.1f ms  peak %.0f MiB  parts %d\n", open,
                frame * 1000.0, usage.ru_maxrss / 1024.0, dlg.m_nPartCount);
    std::filesystem::remove_all(folder);
    return dlg.m_strModelPath == argv[1] ? 0 : 1;
}
