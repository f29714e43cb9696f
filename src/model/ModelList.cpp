// Leaving out builds of display list 1 that would compile the list in place again.
//
// Opening a model builds the list three times from the same file with the same
// options, start-up and every resize build it again: at 100,000 parts each build
// is the driver compiling a list of millions of calls. A build depends only on its
// inputs (ModelListInputs); one whose inputs equal those of the build that made
// the list still in place is left out, together with the deletion before it. A
// build that could not read its file is never the model for a later one.
#include <GL/gl.h>

#include "app/ViewerDlg.h"

namespace orx {

bool CViewerDlg::CurrentListInputs(const std::string& path, ModelListInputs& in) const {
    const ModelFileCache& cache = m_modelCache;
    if (!cache.Holds(path)) return false;
    in.path = path;
    in.fileGeneration = cache.Generation();
    in.part = m_nPart;
    in.shading = m_nShading;
    // Each vertex carries the shades in the solid mode, the line colour in the line
    // modes and texture coordinates in the textured mode (SendVertexAttributes);
    // what the mode does not send is no input of its list.
    if (m_nShading == kModeSolid) {
        for (int k = 0; k < 6; ++k) in.shades[k] = Shade(k);
    }
    if (m_nShading < kModeSolid) in.line = m_rgbaLine;
    if (m_nShading == kModeTextured) in.texRepeat = m_fTexRepeat;
    in.axes = m_bShowAxes;
    in.roomEdges = m_bShowRoomEdges;
    in.zeroPlane = m_bShowZeroPlane;
    in.textureGeneration = m_texture.Generation();
    in.sink = m_pSink;
    return true;
}

bool CViewerDlg::KeepModelList(const std::string& path) {
    if (!m_bReuseModelList || !m_listBuilt.valid) return false;
    // The list may have gone with its context.
    if (glIsList(1) != GL_TRUE) return false;
    // Reads the file again when it changed on disk; a new read never matches.
    if (!m_modelCache.Load(path)) return false;
    ModelListInputs now;
    if (!CurrentListInputs(path, now) || !(now == m_listBuilt.inputs)) return false;

    // What the build would leave besides the list: the bounds it measures, the part
    // count it reads, the scale it resets.
    m_bounds = m_listBuilt.bounds;
    m_nPartCount = m_modelCache.lineCount;
    m_bMeasuring = false;
    m_fScale[0] = m_fScale[1] = m_fScale[2] = 1.0f;
    return true;
}

void CViewerDlg::DeleteAndRebuildModel(const std::string& path) {
    if (KeepModelList(path)) return;
    m_listBuilt.valid = false;
    Sink().DeleteLists(1, 1);
    RebuildModel(path);
}

}  // namespace orx
