#pragma once
// Boards (type 8) as the design program writes them, millimetres with decimals,
// scattered through a 5 m cube, many overlapping: the model of the parser and
// picking benchmarks.
#include <cstdio>
#include <random>
#include <string>

namespace orx::bench {

inline std::string ScatteredBoards(int count) {
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

}  // namespace orx::bench
