// Display list 1 is compiled by the frame that needs it.
//
// An open builds the model three times, start-up and every resize build it again,
// and every option key asks for a new list. At 100,000 parts compiling the list is
// the driver taking millions of calls. So the operations only read and measure the
// model (bounds, part count, title and messages stay where they were) and note what
// the list must hold; the next frame (paint, a picture capture, the renderer's
// frame, a thumbnail) compiles it once from the inputs in force then, unless the
// list in place was compiled from the same inputs.
#include <GL/gl.h>

#include "app/ViewerDlg.h"

namespace orx {

ModelListInputs CViewerDlg::CurrentListInputs() const {
    ModelListInputs in;
    in.modelRead = m_modelRead.read;
    if (m_modelRead.read) {
        in.path = m_modelRead.path;
        in.fileGeneration = m_modelRead.fileGeneration;
    }
    in.part = m_nPart;
    in.shading = m_nShading;
    // Each vertex carries the shades in the solid mode, the line colour in the line
    // modes and texture coordinates in the textured mode (SendVertexAttributes);
    // what the mode does not send is no input of its list.
    if (m_nShading == kModeSolid) {
        for (int k = 0; k < 6; ++k) in.shades[k] = Shade(k);
        in.designColours = m_nColourScheme == kSchemeDesign;
    }
    if (m_nShading < kModeSolid) in.line = m_rgbaLine;
    if (m_nShading == kModeTextured) in.texRepeat = m_fTexRepeat;
    in.axes = m_bShowAxes;
    in.roomEdges = m_bShowRoomEdges;
    in.zeroPlane = m_bShowZeroPlane;
    in.textureGeneration = m_texture.Generation();
    in.sink = m_pSink;
    return in;
}

bool CViewerDlg::KeepModelRead(const std::string& path) {
    if (!m_bReuseModelList || !m_modelRead.read) return false;
    if (m_modelRead.path != path || m_modelRead.part != m_nPart) return false;
    // Reads the file again when it changed on disk; a new read never matches.
    if (!m_modelCache.Load(path) || !m_modelCache.Holds(path) ||
        m_modelCache.Generation() != m_modelRead.fileGeneration) {
        return false;
    }
    // What the build would leave: the bounds it measures, the part count it reads,
    // the scale it resets.
    m_bounds = m_modelRead.bounds;
    m_nPartCount = m_modelCache.lineCount;
    m_bMeasuring = false;
    m_fScale[0] = m_fScale[1] = m_fScale[2] = 1.0f;
    return true;
}

bool CViewerDlg::ModelListWaiting() const {
    if (!m_bReuseModelList || !m_modelRead.requested) return false;
    // The list may have gone with its context.
    return !m_listBuilt.valid || !(CurrentListInputs() == m_listBuilt.inputs) ||
           glIsList(1) != GL_TRUE;
}

void CViewerDlg::PrepareModelList() {
    if (ModelListWaiting()) CompileModelList();
    // A read whose list needed no compile ends here too.
    EndBusy();
}

void CViewerDlg::CompileModelList() {
    ShowBusy();
    // The old list goes first, so that the two never take memory together.
    m_listBuilt.valid = false;
    GlSink& sink = Sink();
    sink.DeleteLists(1, 1);
    // Without an image (a texture load failed) the model is drawn untextured. The list
    // then specifies no image, so the one an earlier list left in OpenGL's default
    // texture is cleared here, outside the list.
    if (!m_texture.pixels)
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 0, 0, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    // Compiled only: the frame calls the list right after, and executing it while
    // compiling would draw the model once more into a picture about to be cleared.
    sink.NewList(1, GL_COMPILE);
    if (m_texture.pixels) {
        sink.TexImage2D(static_cast<GLsizei>(m_texture.width),
                        static_cast<GLsizei>(m_texture.height), m_texture.pixels);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    const ModelListInputs inputs = CurrentListInputs();
    // The records of the read that was measured; the parse cache keeps them until
    // the next build reads, which measures anew (also those of a read that did not
    // reach the end of the file, which the cache does not offer to later builds).
    if (m_modelRead.read && m_modelCache.Generation() == m_modelRead.fileGeneration) {
        m_bounds = m_modelRead.bounds;
        m_bMeasuring = false;
        DrawRecords(m_nPart);
    }
    DrawReferenceGeometry();
    sink.EndList();
    m_listBuilt.inputs = inputs;
    m_listBuilt.valid = true;
    EndBusy();
}

void CViewerDlg::ShowBusy() {
    if (m_bBusy) return;
    m_bBusy = true;
    m_platform.SetBusy(true);
}

void CViewerDlg::EndBusy() {
    if (!m_bBusy) return;
    m_bBusy = false;
    m_platform.SetBusy(false);
}

}  // namespace orx
