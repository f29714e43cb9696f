// The OpenGL context, projection and frame drawing.
#include <GL/gl.h>
#include <GL/glu.h>

#include "app/Projection.h"
#include "app/ViewerDlg.h"

namespace orx {

bool CViewerDlg::SetupPixelFormat() {
    // RGBA 8/8/8, no alpha, 32-bit depth (or the deepest offered), 8-bit stencil,
    // double-buffered; the front end cannot ask for an accumulation buffer, which
    // nothing uses.
    m_nPixelFormat = m_platform.SetupPixelFormat() ? 1 : 0;
    return m_nPixelFormat != 0;
}

bool CViewerDlg::CreateGLContext() {
    if (!m_platform.CreateGLContext()) return false;
    m_hRC = &m_platform;  // the context belongs to the front end; this marks it as made
    return true;
}

void CViewerDlg::OnSize(unsigned, int cx, int cy) {
    if (!m_hRC) return;
    SetProjection(cx, cy);
    SetupGLState(m_nLightMode);
}

void CViewerDlg::SetProjection(int cx, int cy) {
    double aspect = cy == 0 ? static_cast<double>(cx) : static_cast<double>(cx) / cy;
    glViewport(0, 0, cx, cy);
    m_nViewWidth = cx;
    m_nViewHeight = cy;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Only a window's own double-buffered framebuffer has a back buffer to select.
    GLint framebuffer = 0;
    glGetIntegerv(0x8CA6 /* GL_DRAW_FRAMEBUFFER_BINDING */, &framebuffer);
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    if (framebuffer == 0 && doubleBuffered) glDrawBuffer(GL_BACK);
}

void CViewerDlg::DrawScene() {
    // The list is compiled here, by the first frame that needs it.
    PrepareModelList();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslated(m_dOrigin[0], m_dOrigin[1], m_dOrigin[2]);
    glRotated(m_dAngle[0], 1.0, 0.0, 0.0);
    glRotated(m_dAngle[1], 0.0, 1.0, 0.0);
    glRotated(m_dAngle[2], 0.0, 0.0, 1.0);
    glScalef(m_fScale[0], m_fScale[1], m_fScale[2]);
    glCallList(1);
    if (!m_bPlainFrame) DrawPickMarker();
    glPopMatrix();
}

void CViewerDlg::OnPaint() {
    // A minimised window shows the application icon, which the window manager draws.
    if (m_platform.IsMinimised() || !m_hRC) return;
    DrawScene();
    m_platform.SwapBuffers();
}

}  // namespace orx
