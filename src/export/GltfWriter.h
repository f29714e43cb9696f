#pragma once
// Binary glTF 2.0 files (.glb) from the triangles a TriangleSink gathered.
#include <cstdint>
#include <string>

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
};

struct GltfAsset {
    std::string description;  // any bytes; written as UTF-8
    std::string generator;
};

// Writes the sink's groups as nodes "Teil N" (N the group number), one mesh each,
// with positions in millimetres written as metres. The file at `path` is replaced
// only when the whole file was written; otherwise `error` says why. The sink's
// memory is given back on the way.
bool WriteGlb(const std::string& path, TriangleSink& sink, const GltfLook& look,
              const GltfAsset& asset, std::string& error);

// Text for a JSON string: valid UTF-8 kept, anything else read as Windows-1252
// (the design program's code page), control characters left out.
std::string TextAsUtf8(const std::string& bytes);

}  // namespace orx
