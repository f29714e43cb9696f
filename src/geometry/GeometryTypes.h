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

using RGBA = std::array<unsigned char, 4>;

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
