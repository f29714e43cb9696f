#pragma once
// Per-vertex data that the display mode asks for, shared by the record emitters
// and the reference geometry.
#include "geometry/GeometryTypes.h"
#include "geometry/GlSink.h"

namespace orx {

// Sends what goes before a vertex: the texture coordinate (s, t) in the textured
// mode, shade colour `shade` in the solid mode, the line colour in the line modes.
// Modes 5 and above send neither colour nor texture coordinate.
inline void SendVertexAttributes(const VertexStyle& style, GlSink& sink, float s, float t,
                                 int shade) {
    if (style.shading == 4) {
        sink.TexCoord2f(s, t);
    } else if (style.shading == 3) {
        sink.Color4ubv(style.shades[shade]->data());
    } else if (style.shading < 3) {
        sink.Color4ubv(style.line.data());
    }
}

}  // namespace orx
