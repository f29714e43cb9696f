#pragma once
// What display list 1 is compiled from. The operations that change the model or an
// option ask for the list (they read and measure the model at once); the first frame
// that needs the list compiles it, once, from the inputs in force then. Two
// compiles with equal inputs make the same list call for call, so a list whose
// inputs equal those of the list in place is not compiled again.
#include <cstdint>
#include <string>

#include "geometry/GeometryTypes.h"
#include "geometry/GlSink.h"

namespace orx {

// The model as the last build read and measured it: what the list draws.
struct ModelRead {
    bool requested = false;  // a build asked for list 1 (none has before the first)
    bool read = false;       // the file was read: its records are drawn
    // The file and the read of it that the records came from. The parse cache reads
    // a file anew whenever its identity, size or time changed, and every read has a
    // generation of its own, so these two stand for the file's content.
    std::string path;
    uint64_t fileGeneration = 0;
    // The part shown (whole model or one record line), which also decides the
    // outlines placed and so the bounds.
    int part = 0;
    ModelBounds bounds{};
};

struct ModelListInputs {
    // The records drawn: none when the file could not be read.
    bool modelRead = false;
    std::string path;
    uint64_t fileGeneration = 0;
    int part = 0;
    // What each vertex carries (only what the display mode sends is set), and the
    // reference geometry.
    int shading = 0;
    RGBA shades[6]{};
    bool designColours = false;  // the shades scaled to each part's own colour
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

// The inputs of the compile that made the current list 1.
struct ModelListRecord {
    bool valid = false;  // false: no compile made the list in place
    ModelListInputs inputs;
};

}  // namespace orx
