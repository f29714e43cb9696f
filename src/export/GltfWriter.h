#pragma once
// Binary glTF 2.0 files (.glb) written as they are produced: the parts' triangles
// are gathered one part at a time, twice (once to measure, once to write), so that
// no more than one part's triangles are held at once.
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "geometry/TriangleSink.h"

namespace orx {

// How the faces look: covered with a texture image, or in the colours their
// vertices carry.
struct GltfLook {
    // RGB pixels in rows of rowBytes bytes, the row at texture coordinate t = 0
    // first (as OpenGL takes them); null for the vertex colours.
    const uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    int32_t rowBytes = 0;
    // Without a texture: each part's faces in a material of its design colour
    // (GlbPart::colour; one material per distinct colour, named "#RRGGBB"), and no
    // vertex colours: readers multiply those with the material's colour, and some
    // take them instead of it.
    bool designColours = false;
};

struct GltfAsset {
    std::string description;  // any bytes; written as UTF-8
    std::string generator;
};

// What the file says of a part besides its triangles: its node's name "Teil N" and
// extras.
struct GlbPart {
    int record = 0;         // record line number N
    const char* kind = "";  // "Quader", "Dreieckprisma", ...
    double sizes[3] = {};   // millimetres, largest first
    long colour = 0;        // the record's colour field
};

// The parts to write, in node order. `draw(i)` sends the faces of parts[i] into
// `sink`; it is called once or twice for each part and must send the same faces
// each time.
struct GlbParts {
    std::vector<GlbPart> parts;
    TriangleSink* sink = nullptr;
    std::function<void(size_t index)> draw;
};

enum class GlbResult {
    kWritten,
    kNoFaces,  // no part has a face: nothing was written
    kFailed,   // `error` says why
};

// Writes the parts as nodes "Teil N", positions in millimetres written as metres.
// Parts of the same shape up to a translation share one mesh, placed by their
// nodes' translations. A file over the format's 4 GiB is refused before anything
// is written. A failure after the first byte leaves part of a file in `out`.
GlbResult WriteGlbTo(std::ostream& out, const GlbParts& parts, const GltfLook& look,
                     const GltfAsset& asset, std::string& error);

// WriteGlbTo into the file at `path`, which is replaced only when the whole file
// was written.
GlbResult WriteGlb(const std::string& path, const GlbParts& parts, const GltfLook& look,
                   const GltfAsset& asset, std::string& error);

// Text for a JSON string: valid UTF-8 kept, anything else read as Windows-1252
// (the design program's code page), control characters left out.
std::string TextAsUtf8(const std::string& bytes);

}  // namespace orx
