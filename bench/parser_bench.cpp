// Parser throughput on generated furniture records, in bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ScatteredBoards.h"
#include "model/ModelCache.h"

namespace {

void BM_ParseRecords(benchmark::State& state) {
    const std::string text = orx::bench::ScatteredBoards(static_cast<int>(state.range(0)));
    std::vector<double> coords;
    coords.reserve(static_cast<size_t>(state.range(0)) * 24);
    for (auto _ : state) {
        coords.clear();
        orx::ParsedRecord record;
        size_t pos = text.find('\n') + 1, parsed = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            parsed +=
                orx::ParseRecord(std::string_view(text).substr(pos, end - pos), record, coords);
            pos = end + 1;
        }
        benchmark::DoNotOptimize(parsed);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseRecords)->Arg(10000)->Unit(benchmark::kMillisecond);

// The whole file from disk through the cache, as a model build reads it.
void BM_LoadModelFile(benchmark::State& state) {
    const std::string text = orx::bench::ScatteredBoards(static_cast<int>(state.range(0)));
    const std::string path = "/tmp/orx-bench-model3d.gl";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    for (auto _ : state) {
        orx::ModelFileCache cache;  // a fresh cache reads and parses every time
        benchmark::DoNotOptimize(cache.Load(path));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadModelFile)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
