// Parser throughput on generated furniture records, in bytes per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/ModelCache.h"

namespace {

// Boards (type 8) as the design program writes them: millimetres with decimals.
std::string GenerateRecords(int count) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> pos(0.0, 5000.0), size(16.0, 2400.0);
    std::string text = "ORX header\n";
    char line[1024];
    for (int i = 0; i < count; ++i) {
        const double x = pos(random), y = pos(random), z = pos(random);
        const double w = size(random), h = size(random), d = 19.0;
        const double c[8][3] = {{x, y, z + d},     {x + w, y, z + d}, {x + w, y + h, z + d},
                                {x, y + h, z + d}, {x, y, z},         {x + w, y, z},
                                {x + w, y + h, z}, {x, y + h, z}};
        int n = std::snprintf(line, sizeof line, "8 %d 8", i % 16);
        for (const auto& p : c)
            n += std::snprintf(line + n, sizeof line - n, " %.3f %.3f %.3f", p[0], p[1], p[2]);
        text.append(line, static_cast<size_t>(n));
        text += '\n';
    }
    return text;
}

void BM_ParseRecords(benchmark::State& state) {
    const std::string text = GenerateRecords(static_cast<int>(state.range(0)));
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
    const std::string text = GenerateRecords(static_cast<int>(state.range(0)));
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
