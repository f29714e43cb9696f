#pragma once
// What display list 1 is compiled from. Two builds with equal inputs compile the
// same list call for call, so a build whose inputs equal those of the build that
// made the list still in place can be left out.
#include <cstdint>
#include <string>

#include "geometry/GeometryTypes.h"
#include "geometry/GlSink.h"

namespace orx {

struct ModelListInputs {
    // The model file's records: the file and the read of it that the records came
    // from. The parse cache reads a file anew whenever its identity, size or time
    // changed, and every read has a generation of its own, so these two stand for
    // the file's content.
    std::string path;
    uint64_t fileGeneration = 0;
    // The part shown (whole model or one record line), which also decides the
    // outlines placed and so the bounds.
    int part = 0;
    // What each vertex carries (only what the display mode sends is set), and the
    // reference geometry.
    int shading = 0;
    RGBA shades[6]{};
    RGBA line{};
    float texRepeat = 0.0f;
    bool axes = false;
    bool roomEdges = false;
    bool zeroPlane = false;
    // The texture image put at the head of the list.
    uint64_t textureGeneration = 0;
    // Where the geometry went (a test may record it instead of OpenGL).
    const GlSink* sink = nullptr;

    bool operator==(const ModelListInputs&) const = default;
};

// The inputs of the build that made the current list 1 and what that build left
// besides the list.
struct ModelListRecord {
    bool valid = false;  // false: no successful build made the list in place
    ModelListInputs inputs;
    ModelBounds bounds{};
};

}  // namespace orx
