// The design program's part colours.
#include "geometry/DesignColour.h"

#include <charconv>
#include <cstdio>

namespace orx {

namespace {

constexpr long kLargestColour = 0xFFFFFF;
// The brightness of grey shade k (all three of its bytes are equal).
constexpr int Grey(int k) { return kGreyShades[k][0]; }

}  // namespace

long ReadColourField(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    long value = 0;
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ec != std::errc() || ptr != end) return kUnreadableColour;
    return value;
}

RGBA DesignColour(long value) {
    if (value < 0 || value > kLargestColour) return kGreyShades[0];
    return RGBA{static_cast<unsigned char>(value & 0xFF),
                static_cast<unsigned char>((value >> 8) & 0xFF),
                static_cast<unsigned char>((value >> 16) & 0xFF), 0};
}

std::array<RGBA, 6> DesignShades(long value) {
    const RGBA colour = DesignColour(value);
    std::array<RGBA, 6> shades{};
    for (int k = 0; k < 6; ++k) {
        for (int c = 0; c < 3; ++c) {
            // Rounded to the nearest byte; no shade is brighter than shade 0, so no
            // byte overflows.
            shades[k][c] =
                static_cast<unsigned char>((colour[c] * Grey(k) + Grey(0) / 2) / Grey(0));
        }
        shades[k][3] = 0;
    }
    return shades;
}

std::string DesignColourHex(long value) {
    const RGBA c = DesignColour(value);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c[0], c[1], c[2]);
    return text;
}

}  // namespace orx
