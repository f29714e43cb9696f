#pragma once
// The values the record emitters and the reference geometry work with: the model's
// bounds and what each vertex carries in the current display mode.
#include <array>

namespace orx {

struct ModelBounds {
    double maxX, maxY, maxZ;
    double minX, minY, minZ;
    double extent;
    double centreX, centreY, centreZ;
};

// The bounds before a measuring pass: every maximum below and every minimum above any
// coordinate a model has, so that the first point measured sets them all.
inline constexpr double kNoMaximum = -999999999.0;
inline constexpr double kNoMinimum = 999999999.0;

inline void ClearMeasuredBounds(ModelBounds& b) {
    b.maxX = b.maxY = b.maxZ = kNoMaximum;
    b.minX = b.minY = b.minZ = kNoMinimum;
    b.centreX = b.centreY = b.centreZ = 0.0;
}

using RGBA = std::array<unsigned char, 4>;

// Shade colours 0..5 of the grey set (alpha is always 0).
inline constexpr RGBA kGreyShades[6] = {
    {192, 192, 192, 0}, {128, 128, 128, 0}, {160, 160, 160, 0},
    {128, 128, 128, 0}, {180, 180, 180, 0}, {140, 140, 140, 0},
};

// What goes before each vertex: a texture coordinate in the textured mode (4), a
// shade colour in the solid mode (3), the line colour in the line modes (1, 2) and
// nothing in any other mode.
struct VertexStyle {
    int shading = 4;
    const RGBA* shades[6] = {};
    RGBA line{};
    float texRepeat = 1.0f;
};

}  // namespace orx
