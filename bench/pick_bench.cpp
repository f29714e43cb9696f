// Picking a part with Ctrl+click in a model of 100,000 boards: the time from the
// click to the state the next frame draws (part, marker, text), drawing excluded.
// The first pick after a build also gathers the boxes of the records.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ScatteredBoards.h"
#include "app/ViewerDlg.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

// The boards written to a model file: the ray through the middle of the picture
// crosses the boxes of thousands of them.
std::string WriteBoards(int count) {
    const std::string path = "/tmp/orx-pick-bench-" + std::to_string(::getpid()) + "-3d.gl";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return {};
    const std::string text = orx::bench::ScatteredBoards(count);
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written ? path : std::string();
}

void BM_PickPart(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string model = WriteBoards(count);
    char folder[] = "/tmp/orx-bench-XXXXXX";
    const char* profile = ::mkdtemp(folder);
    orx::HeadlessPlatform platform(800, 600, profile ? profile : "/nonexistent");
    orx::CViewerDlg dlg(platform);
    if (model.empty() || !dlg.StartRendering(800, 600) || !dlg.OpenModelForRendering(model, 0)) {
        state.SkipWithError("no OpenGL context or model");
        return;
    }
    // The first pick after the build, which also gathers the records' boxes.
    using Clock = std::chrono::steady_clock;
    const auto t0 = Clock::now();
    dlg.OnLButtonDown(orx::kMouseControl, orx::Point{400, 300});
    const double first = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    dlg.OnLButtonUp(0, orx::Point{400, 300});

    // Then clicks across the middle of the picture, each a new pick or a measure.
    int i = 0, picked = 0;
    for (auto _ : state) {
        const orx::Point at{300 + (i * 37) % 200, 200 + (i * 53) % 200};
        dlg.OnLButtonDown(orx::kMouseControl, at);
        dlg.OnLButtonUp(0, at);
        picked += dlg.PickText().empty() ? 0 : 1;
        ++i;
    }
    state.counters["first_pick_ms"] = first;
    state.counters["picked_share"] = i > 0 ? static_cast<double>(picked) / i : 0.0;
    std::remove(model.c_str());
    if (profile) std::filesystem::remove_all(profile);
}
BENCHMARK(BM_PickPart)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
