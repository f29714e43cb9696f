// Display modes, lighting, colour schemes, background and reference geometry.
#include <cmath>

#include "app/ViewerDlg.h"
#include "geometry/VertexAttributes.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {

// Shade colours 0..5 of the coloured set (alpha is always 0); the grey set is
// kGreyShades.
constexpr RGBA kColouredShades[6] = {
    {255, 0, 0, 0},   {255, 0, 255, 0}, {0, 255, 0, 0},
    {0, 255, 128, 0}, {255, 255, 0, 0}, {0, 0, 255, 0},
};

// 1/255 in single precision.
constexpr float kByteToUnit = 0.003921569f;

// One line of the axis cross and its letters.
struct AxisLine {
    float x0, y0, z0, x1, y1, z1;
};

// Red x axis with an X at its end.
constexpr AxisLine kAxisX[] = {
    {0, 0, 0, 0.2f, 0, 0},
    {0.19f, 0, -0.02f, 0.21f, 0, -0.04f},
    {0.21f, 0, -0.02f, 0.19f, 0, -0.04f},
};
// Green z axis with a Y at its end.
constexpr AxisLine kAxisZ[] = {
    {0, 0, 0, 0, 0, 0.2f},
    {0.01f, 0, 0.21f, 0.02f, 0, 0.2f},
    {0.03f, 0, 0.21f, 0.01f, 0, 0.19f},
};
// Blue y axis with a Z at its end.
constexpr AxisLine kAxisY[] = {
    {0, 0, 0, 0, 0.2f, 0},
    {0.01f, 0.2f, -0.02f, 0.03f, 0.2f, -0.02f},
    {0.03f, 0.2f, -0.02f, 0.01f, 0.2f, -0.04f},
    {0.01f, 0.2f, -0.04f, 0.03f, 0.2f, -0.04f},
};

template <int N>
void SendAxisLines(GlSink& sink, float r, float g, float b, const AxisLine (&lines)[N]) {
    sink.Color3f(r, g, b);
    for (const AxisLine& l : lines) {
        sink.Vertex3f(l.x0, l.y0, l.z0);
        sink.Vertex3f(l.x1, l.y1, l.z1);
    }
}

// A quad of the walls or the zero plane; vertex k takes texture corner k or shade k.
void SendReferenceQuad(const VertexStyle& style, GlSink& sink, const float (&v)[4][3]) {
    const float r = style.texRepeat;
    const float s[4] = {0.0f, r, r, 0.0f};
    const float t[4] = {0.0f, 0.0f, r, r};
    for (int k = 0; k < 4; ++k) {
        SendVertexAttributes(style, sink, s[k], t[k], k);
        sink.Vertex3d(v[k][0], v[k][1], v[k][2]);
    }
}

}  // namespace

void CViewerDlg::SetupGLState(int lightMode) {
    m_nLightMode = lightMode;
    glClearColor(m_nBackR * kByteToUnit, m_nBackG * kByteToUnit, m_nBackB * kByteToUnit, 1.0f);

    const RGBA* shades = m_nColourScheme == kSchemeColoured ? kColouredShades : kGreyShades;
    m_rgbaShade0 = shades[0];
    m_rgbaShade1 = shades[1];
    m_rgbaShade2 = shades[2];
    m_rgbaShade3 = shades[3];
    m_rgbaShade4 = shades[4];
    m_rgbaShade5 = shades[5];

    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    glLineWidth(3.0f);

    switch (m_nShading) {
        case kModeHairline:
            glPolygonMode(GL_FRONT, GL_LINE);
            glPolygonMode(GL_BACK, GL_LINE);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
            glLineWidth(1.0f);
            break;
        case kModeWireframe:
            glPolygonMode(GL_FRONT, GL_LINE);
            glPolygonMode(GL_BACK, GL_LINE);
            glEnable(GL_LINE_SMOOTH);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
            glLineWidth(1.5f);
            break;
        case kModeSolid:
        case kModeTextured:
            glPolygonMode(GL_FRONT, GL_FILL);
            glPolygonMode(GL_BACK, GL_FILL);
            break;
        default: break;
    }

    glDisable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_COLOR_MATERIAL);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);

    if (m_nShading >= kModeSolid && m_nLightMode != 0) {
        glEnable(GL_COLOR_MATERIAL);
        glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

        // A point light at the eye: the modelview matrix is the identity here.
        const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const GLfloat diffuse[4] = {0.6f, 0.6f, 0.6f, 1.0f};
        const GLfloat specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const GLfloat position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glEnable(GL_LIGHT0);
        glEnable(GL_LIGHTING);
    } else {
        glEnable(GL_COLOR_MATERIAL);
    }

    glShadeModel(GL_SMOOTH);

    if (m_nShading == kModeTextured) {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
    }

    const GLfloat material[4] = {0.6f, 0.6f, 0.6f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material);
    glEnable(GL_DEPTH_TEST);

    // The display mode also lives in the list (per-vertex colours or texture
    // coordinates): the model is built again, and the next frame compiles the list
    // unless the one in place was compiled from the same inputs.
    RebuildModel(m_strModelPath);
    m_platform.Invalidate(false);
}

void CViewerDlg::SetDisplayMode(int mode) {
    m_nShading = mode;
    m_pProfile->WriteInt(m_strSection, key::kShading, static_cast<uint16_t>(mode));
    SetupGLState(m_nLightMode);
}

void CViewerDlg::SetColourScheme(int scheme) {
    m_nColourScheme = scheme;
    m_pProfile->WriteInt(m_strSection, key::kColourScheme, static_cast<uint16_t>(scheme));
    SetupGLState(m_nLightMode);
}

void CViewerDlg::ShowDesignColours() {
    // The design colours show in the solid mode only, so choosing them goes there: a
    // viewer in the textured mode (as every start leaves it) would show no change.
    if (m_nShading != kModeSolid) {
        m_nShading = kModeSolid;
        m_pProfile->WriteInt(m_strSection, key::kShading, static_cast<uint16_t>(m_nShading));
    }
    SetColourScheme(kSchemeDesign);
}

void CViewerDlg::ToggleLighting() {
    SetupGLState(m_nLightMode == 0 ? 1 : 0);
    m_pProfile->WriteInt(m_strSection, key::kLightMode, static_cast<uint16_t>(m_nLightMode));
}

void CViewerDlg::ToggleAxes() {
    m_bShowAxes = !m_bShowAxes;
    m_pProfile->WriteBool(m_strSection, key::kAxes, m_bShowAxes);
    SetupGLState(m_nLightMode);
}

void CViewerDlg::ToggleRoomEdges() {
    m_bShowRoomEdges = !m_bShowRoomEdges;
    m_pProfile->WriteBool(m_strSection, key::kRoomEdges, m_bShowRoomEdges);
    SetupGLState(m_nLightMode);
}

void CViewerDlg::ToggleZeroPlane() {
    m_bShowZeroPlane = !m_bShowZeroPlane;
    m_pProfile->WriteBool(m_strSection, key::kZeroPlane, m_bShowZeroPlane);
    SetupGLState(m_nLightMode);
}

void CViewerDlg::ChooseBackgroundColour() {
    if (const std::optional<Rgb> colour = m_platform.ChooseColour(Rgb{0, 0, 0})) {
        m_nBackR = colour->r & 0xFF;
        m_nBackG = colour->g & 0xFF;
        m_nBackB = colour->b & 0xFF;
        m_pProfile->WriteInt(m_strSection, key::kBackRed, static_cast<uint16_t>(m_nBackR));
        m_pProfile->WriteInt(m_strSection, key::kBackGreen, static_cast<uint16_t>(m_nBackG));
        m_pProfile->WriteInt(m_strSection, key::kBackBlue, static_cast<uint16_t>(m_nBackB));
    }
    SetupGLState(m_nLightMode);
}

void CViewerDlg::DrawReferenceGeometry() {
    GlSink& sink = Sink();
    const VertexStyle style = CurrentVertexStyle();

    if (m_bShowAxes) {
        sink.Begin(GL_LINES);
        SendAxisLines(sink, 1.0f, 0.0f, 0.0f, kAxisX);
        SendAxisLines(sink, 0.0f, 1.0f, 0.0f, kAxisZ);
        SendAxisLines(sink, 0.0f, 0.0f, 1.0f, kAxisY);
        sink.End();
    }

    // Walls and zero plane frame a whole model only.
    if (m_nPart >= 0) return;

    sink.Color3f(0.3f, 0.3f, 0.5f);

    const ModelBounds& b = m_bounds;
    const float hx = static_cast<float>((b.maxX - b.minX) * 0.5 / b.extent + 0.0001);
    const float hy = static_cast<float>((b.maxY - b.minY) * 0.5 / b.extent + 0.0001);
    const float z0 = static_cast<float>(-b.centreZ / b.extent - 0.0001);
    const float d = static_cast<float>(2 * b.centreZ / b.extent + 0.0001);
    const float z1 = d + z0;

    // After a build that could not read its file the bounds still hold their reset
    // values (and the extent may be 0): the frame would be infinite or half a
    // million units wide and cover the whole window. There is no model to frame then.
    if (!(hx > 0.0f && hy > 0.0f) || !std::isfinite(hx) || !std::isfinite(hy) ||
        !std::isfinite(z0) || !std::isfinite(z1)) {
        return;
    }

    if (m_bShowZeroPlane) {
        const float plane[4][3] = {{-hx, -hy, z0}, {hx, -hy, z0}, {hx, hy, z0}, {-hx, hy, z0}};
        sink.Begin(GL_QUADS);
        sink.Normal3d(0, 0, 1);
        SendReferenceQuad(style, sink, plane);
        sink.End();
    }

    if (m_bShowRoomEdges) {
        const float lowX[4][3] = {{-hx, hy, z0}, {-hx, hy, z1}, {-hx, -hy, z1}, {-hx, -hy, z0}};
        const float highY[4][3] = {{hx, hy, z0}, {hx, hy, z1}, {-hx, hy, z1}, {-hx, hy, z0}};
        sink.Begin(GL_QUADS);
        sink.Normal3d(0, 0, 1);
        SendReferenceQuad(style, sink, lowX);
        SendReferenceQuad(style, sink, highY);
        sink.End();
    }
}

}  // namespace orx
