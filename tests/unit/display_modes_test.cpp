// Display modes on a real (headless) OpenGL context: the state each mode leaves,
// the shade tables, lighting, background, and the settings each command writes.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RecordingSink.h"
#include "ViewerProbe.h"
#include "ui/Profile.h"

namespace orx::test {
namespace {

// A viewer with a current OpenGL context and a one-block model on disk. The
// emitted model goes to a recording sink, so each rebuild can be seen.
struct GlViewer : ViewerRig {
    RecordingSink sink;
    bool ready = false;

    GlViewer() {
        RecordTo(sink);
        CViewerDlg& d = Construct();
        ready = platform.SetupPixelFormat() && platform.CreateGLContext();
        Probe(d).m_strProgramDir = Prog();
        WriteModel(Models() + "block3d.gl");
        Probe(d).m_strModelPath = Models() + "block3d.gl";
        Probe(d).m_rgbaLine = {0, 0, 0, 0};
    }
};

bool Enabled(GLenum cap) { return glIsEnabled(cap) == GL_TRUE; }

float GetFloat(GLenum name) {
    GLfloat value[4] = {};
    glGetFloatv(name, value);
    return value[0];
}

GLint GetInt(GLenum name) {
    GLint value[4] = {};
    glGetIntegerv(name, value);
    return value[0];
}

// The polygon mode of the front and the back faces.
std::pair<GLint, GLint> PolygonMode() {
    GLint value[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, value);
    return {value[0], value[1]};
}
const std::pair<GLint, GLint> kLines{GL_LINE, GL_LINE}, kFilled{GL_FILL, GL_FILL};

TEST(DisplayModes, EachModeSetsItsState) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    for (int light = 0; light <= 1; ++light) {
        if (light == 1) v.dlg->ToggleLighting();
        for (int mode = 1; mode <= 4; ++mode) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " light " + std::to_string(light));
            const int before = v.platform.invalidations;
            v.dlg->SetDisplayMode(mode);
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

            const bool lines = mode <= 2;
            const float width = mode == 1 ? 1.0f : mode == 2 ? 1.5f : 3.0f;
            EXPECT_FLOAT_EQ(GetFloat(GL_LINE_WIDTH), width);
            EXPECT_EQ(PolygonMode(), lines ? kLines : kFilled);
            EXPECT_EQ(Enabled(GL_LINE_SMOOTH), mode == 2);
            EXPECT_FALSE(Enabled(GL_BLEND));  // only the blend function is set
            EXPECT_EQ(Enabled(GL_LIGHTING), !lines && light == 1);
            EXPECT_EQ(Enabled(GL_LIGHT0), !lines && light == 1);
            EXPECT_FALSE(Enabled(GL_LIGHT1));
            EXPECT_EQ(Enabled(GL_TEXTURE_2D), mode == 4);
            EXPECT_TRUE(Enabled(GL_COLOR_MATERIAL));
            EXPECT_TRUE(Enabled(GL_DEPTH_TEST));
            EXPECT_EQ(GetInt(GL_SHADE_MODEL), GL_SMOOTH);
            EXPECT_EQ(GetFloat(GL_LIGHT_MODEL_LOCAL_VIEWER), 1.0f);
            if (lines) {
                EXPECT_EQ(GetInt(GL_BLEND_SRC), GL_SRC_ALPHA);
                EXPECT_EQ(GetInt(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
                EXPECT_EQ(GetInt(GL_LINE_SMOOTH_HINT), GL_NICEST);
            }

            // Written at once, and the model rebuilt and redrawn.
            EXPECT_EQ(v.Setting("shading"), "0x" + std::to_string(mode));
            EXPECT_EQ(Probe(*v.dlg).m_nShading, mode);
            EXPECT_EQ(v.platform.invalidations, before + 1);
        }
    }

    // Mode 4 sets the texture parameters of the image inside the list.
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
}

TEST(DisplayModes, ModesOutsideOneToFour) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    // Mode 5 leaves the polygon mode of mode 1 and switches nothing on ...
    v.dlg->SetDisplayMode(1);
    v.dlg->SetDisplayMode(5);
    EXPECT_EQ(PolygonMode(), kLines);
    EXPECT_FLOAT_EQ(GetFloat(GL_LINE_WIDTH), 3.0f);
    EXPECT_FALSE(Enabled(GL_TEXTURE_2D));
    // ... but counts as "3 or more" for the light, whose set-up fills both sides.
    v.dlg->ToggleLighting();
    EXPECT_TRUE(Enabled(GL_LIGHTING));
    EXPECT_EQ(PolygonMode(), kFilled);
    EXPECT_FALSE(Enabled(GL_TEXTURE_2D));

    v.dlg->ToggleLighting();
    v.dlg->SetDisplayMode(2);
    v.dlg->SetDisplayMode(0);
    EXPECT_EQ(PolygonMode().first, GL_LINE);
    EXPECT_FALSE(Enabled(GL_LINE_SMOOTH));
    EXPECT_FALSE(Enabled(GL_LIGHTING));
    EXPECT_EQ(v.Setting("shading"), "0x0");
}

TEST(DisplayModes, LightingFollowsModeAndKeyB) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    v.dlg->SetDisplayMode(1);
    v.dlg->ToggleLighting();
    EXPECT_EQ(Probe(*v.dlg).m_nLightMode, 1);
    EXPECT_FALSE(Enabled(GL_LIGHTING));  // no light for lines
    EXPECT_EQ(v.Setting("LightMode"), "0x1");

    v.dlg->SetDisplayMode(3);  // lit at once
    EXPECT_TRUE(Enabled(GL_LIGHTING));
    EXPECT_TRUE(Enabled(GL_LIGHT0));
    EXPECT_EQ(GetFloat(GL_LIGHT_MODEL_TWO_SIDE), 1.0f);
    GLfloat value[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, value);
    EXPECT_FLOAT_EQ(value[0], 0.5f);
    EXPECT_FLOAT_EQ(value[3], 1.0f);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(value[1], 0.6f);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, value);
    EXPECT_FLOAT_EQ(value[2], 0.5f);
    glGetLightfv(GL_LIGHT0, GL_POSITION, value);
    EXPECT_EQ(value[2], 0.0f);
    EXPECT_EQ(value[3], 1.0f);  // a point light at the eye

    v.dlg->ToggleLighting();
    EXPECT_EQ(Probe(*v.dlg).m_nLightMode, 0);
    EXPECT_FALSE(Enabled(GL_LIGHTING));
    EXPECT_EQ(v.Setting("LightMode"), "0x0");
}

TEST(DisplayModes, ColourSchemesFillTheShades) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    const RGBA grey[6] = {{192, 192, 192, 0}, {128, 128, 128, 0}, {160, 160, 160, 0},
                          {128, 128, 128, 0}, {180, 180, 180, 0}, {140, 140, 140, 0}};
    const RGBA coloured[6] = {{255, 0, 0, 0},   {255, 0, 255, 0}, {0, 255, 0, 0},
                              {0, 255, 128, 0}, {255, 255, 0, 0}, {0, 0, 255, 0}};
    v.dlg->SetDisplayMode(3);
    for (int scheme : {1, 0, 7}) {
        SCOPED_TRACE("scheme " + std::to_string(scheme));
        v.sink.calls.clear();
        v.dlg->SetColourScheme(scheme);
        Probe(*v.dlg).DrawScene();  // the frame compiles the list
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(Probe(*v.dlg).Shade(k), (scheme == 1 ? coloured : grey)[k]);
        EXPECT_EQ(v.Setting("Schattierungen"), "0x" + std::to_string(scheme));
        // The frame compiled the model again with the new colours; 7 gives the grey shades
        // that 0 gave, which the list in place already holds.
        bool sawShade0 = false;
        for (const GlCall& c : v.sink.calls) {
            if (c.kind == GlCall::Color4ubv) sawShade0 |= c.rgba == Probe(*v.dlg).Shade(0);
        }
        EXPECT_EQ(sawShade0, scheme != 7);
        if (scheme == 7) {
            EXPECT_TRUE(v.sink.calls.empty());
        }
    }
}

TEST(DisplayModes, ReferenceTogglesAreStoredAsYesNo) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    struct {
        void (CViewerDlg::*toggle)();
        bool& flag;
        const char* key;
    } toggles[] = {{&CViewerDlg::ToggleAxes, Probe(*v.dlg).m_bShowAxes, "Achsenkreuz"},
                   {&CViewerDlg::ToggleRoomEdges, Probe(*v.dlg).m_bShowRoomEdges, "Raumkanten"},
                   {&CViewerDlg::ToggleZeroPlane, Probe(*v.dlg).m_bShowZeroPlane, "Nullkanten"}};
    for (const auto& t : toggles) {
        SCOPED_TRACE(t.key);
        const int before = v.platform.invalidations;
        ((*v.dlg).*t.toggle)();
        EXPECT_TRUE(t.flag);
        EXPECT_EQ(v.Setting(t.key), "1");
        ((*v.dlg).*t.toggle)();
        EXPECT_FALSE(t.flag);
        EXPECT_EQ(v.Setting(t.key), "0");
        EXPECT_EQ(v.platform.invalidations, before + 2);
    }
    // A fresh viewer reads them back.
    v.dlg->ToggleAxes();
    CProfile profile(TestProfileFolder(), "orx-view.ini", 1, false);
    EXPECT_TRUE(profile.ReadBool("common", "Achsenkreuz", false));
    EXPECT_FALSE(profile.ReadBool("common", "Raumkanten", true));
}

TEST(DisplayModes, BackgroundColour) {
    GlViewer v;
    ASSERT_TRUE(v.ready);
    v.platform.colourAnswers.push_back(Rgb{255, 128, 1});
    v.dlg->ChooseBackgroundColour();
    ASSERT_EQ(v.platform.colourDialogs.size(), 1u);
    const Rgb opened = v.platform.colourDialogs[0];
    EXPECT_EQ(std::vector<int>({opened.r, opened.g, opened.b}), std::vector<int>({0, 0, 0}));
    const ViewerProbe p = Probe(*v.dlg);
    EXPECT_EQ(std::vector<int>({p.m_nBackR, p.m_nBackG, p.m_nBackB}),
              std::vector<int>({255, 128, 1}));
    EXPECT_EQ(std::vector<std::string>({v.Setting("ColR"), v.Setting("ColG"), v.Setting("ColB")}),
              std::vector<std::string>({"0xFF", "0x80", "0x1"}));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    const float step = 0.003921569f;  // 1/255 as the viewer scales the channels
    const float want[4] = {255 * step, 128 * step, 1 * step, 1.0f};
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(clear[i], want[i]) << i;

    // Cancel: colour and settings stay, the window is redrawn; the background is no
    // part of the list, which is kept.
    Probe(*v.dlg).DrawScene();
    v.sink.calls.clear();
    const int before = v.platform.invalidations;
    v.dlg->ChooseBackgroundColour();
    EXPECT_EQ(v.platform.colourDialogs.size(), 2u);
    EXPECT_EQ(Probe(*v.dlg).m_nBackG, 128);
    EXPECT_EQ(v.Setting("ColG"), "0x80");
    EXPECT_EQ(v.platform.invalidations, before + 1);
    Probe(*v.dlg).DrawScene();
    EXPECT_TRUE(v.sink.calls.empty());
}

}  // namespace
}  // namespace orx::test
