#pragma once
// Per-vertex data that the display mode asks for, shared by the record emitters
// and the reference geometry.
#include "app/ViewerDlg.h"

namespace orx {

// Sends what goes before a vertex: the texture coordinate (s, t) in the textured
// mode, shade colour `shade` in the solid mode, the line colour in the line modes.
// Modes 5 and above send neither colour nor texture coordinate.
inline void SendVertexAttributes(const CViewerDlg& view, GlSink& sink, float s, float t,
                                 int shade) {
    if (view.m_nShading == 4) {
        sink.TexCoord2f(s, t);
    } else if (view.m_nShading == 3) {
        sink.Color4ubv(view.Shade(shade).data());
    } else if (view.m_nShading < 3) {
        sink.Color4ubv(view.m_rgbaLine.data());
    }
}

}  // namespace orx
