// Building display list 1 from a model file: bounds, acceptance, title, paging.
#include <gtest/gtest.h>

#include <string>

#include "RecordingSink.h"

namespace orx {
namespace {

using test::GlCall;
using test::RecordingSink;
using test::TempProfile;
using test::ViewerRig;
using test::WriteText;

// A block from (x0, y0, z0) to (x1, y1, z1) as a record line.
std::string Block(double x0, double y0, double z0, double x1, double y1, double z1) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "8 0 8 %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g %g",
                  x0, y0, z1, x1, y0, z1, x1, y1, z1, x0, y1, z1, x0, y0, z0, x1, y0, z0, x1, y1,
                  z0, x0, y1, z0);
    return line;
}

// The harness with the viewer constructed, its context made and its geometry recorded;
// no start-up, so that each test's open is the first build.
class ModelBuild : public ::testing::Test {
protected:
    ViewerRig rig{200, 150};  // its program folder has no models and no textures
    RecordingSink sink;
    TempProfile& dir = rig.dir;
    ScriptedPlatform& platform = rig.platform;
    CViewerDlg* dlg = nullptr;

    void SetUp() override {
        rig.RecordTo(sink);
        dlg = &rig.Construct();
        ASSERT_TRUE(Probe(*dlg).SetupPixelFormat());
        ASSERT_TRUE(Probe(*dlg).CreateGLContext());
        Probe(*dlg).m_strProgramDir = rig.Prog();
        Probe(*dlg).m_bLiveFollow = false;
    }
    std::string Model(const std::string& name, const std::string& records) {
        const std::string path = dir.File(name);
        WriteText(path, "ORX header\n" + records);
        return path;
    }
};

TEST_F(ModelBuild, BoundsCentreAndExtent) {
    const std::string path =
        Model("schrank3d.gl", Block(0, 0, 0, 2000, 19, 600) + "\n" + Block(0, 0, 0, 19, 800, 600));
    rig.Open(path);
    Probe(*dlg).DrawScene();
    const ModelBounds& b = Probe(*dlg).m_bounds;
    EXPECT_EQ(b.extent, 2000.0);
    EXPECT_EQ(b.centreX, 1000.0);
    EXPECT_EQ(b.centreY, 400.0);
    EXPECT_EQ(b.centreZ, 300.0);
    EXPECT_EQ(Probe(*dlg).m_strModelPath, path);
    EXPECT_EQ(Probe(*dlg).m_nPart, -2);
    EXPECT_EQ(Probe(*dlg).m_nPartCount, 2);
    // The model spans x from -0.5 to 0.5.
    double minX = 1e9, maxX = -1e9;
    for (const GlCall& c : sink.calls)
        if (c.kind == GlCall::Vertex3d)
            minX = std::min(minX, c.v[0]), maxX = std::max(maxX, c.v[0]);
    EXPECT_DOUBLE_EQ(minX, -0.5);
    EXPECT_DOUBLE_EQ(maxX, 0.5);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ModelBuild, SinglePrismExample) {
    const std::string path = Model("p3d.gl", "6 0 6 0 0 0 2 0 0 0 1 0 0 0 1 2 0 1 0 1 1\n");
    dlg->OnCommand(ID_MODE_HAIRLINE);
    rig.Open(path);
    Probe(*dlg).DrawScene();
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 2.0);
    // The last build's first vertex is P1.
    size_t lastBegin = 0;
    for (size_t i = 0; i < sink.calls.size(); ++i)
        if (sink.calls[i].kind == GlCall::Begin && sink.calls[i].mode == GL_TRIANGLES)
            lastBegin = i;
    for (size_t i = lastBegin; i < sink.calls.size(); ++i) {
        if (sink.calls[i].kind != GlCall::Vertex3d) continue;
        EXPECT_DOUBLE_EQ(sink.calls[i].v[0], -0.5);
        EXPECT_DOUBLE_EQ(sink.calls[i].v[1], -0.25);
        EXPECT_DOUBLE_EQ(sink.calls[i].v[2], -0.25);
        break;
    }
}

TEST_F(ModelBuild, FileNamesAreAcceptedByExtensionAndKind) {
    const std::string good = Model("a3d.gl", Block(0, 0, 0, 1, 1, 1) + "\n");
    rig.Open(good);
    ASSERT_EQ(Probe(*dlg).m_strModelPath, good);
    const std::string title = platform.title;

    rig.Open(dir.File("model.obj"));
    rig.Open(dir.File("kein.GLX"));
    rig.Open(Model("model.gl", Block(0, 0, 0, 1, 1, 1)));  // "de" before the last d
    rig.Open(dir.File("bild.gl"));                         // "ld" before the last d
    ASSERT_EQ(platform.messages.size(), 4u);
    EXPECT_EQ(platform.messages[0].text, "No *.gl -> NO 3D!");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(platform.messages[1].text, "No *.gl -> NO 3D!");
    EXPECT_EQ(platform.messages[2].text, "Unbekanntes Dateiformat");
    EXPECT_EQ(platform.messages[3].text, "Unbekanntes Dateiformat");
    // Refusals change nothing.
    EXPECT_EQ(Probe(*dlg).m_strModelPath, good);
    EXPECT_EQ(Probe(*dlg).m_nPart, -2);
    EXPECT_EQ(platform.title, title);

    // The kind is read from the lower-cased name; the path is kept as given.
    const std::string upper = Model("TEIL2D.GL", Block(0, 0, 0, 1, 1, 1) + "\n");
    rig.Open(upper);
    EXPECT_EQ(Probe(*dlg).m_strModelPath, upper);
    EXPECT_EQ(Probe(*dlg).m_nPart, 1);
}

TEST_F(ModelBuild, PartsListPagesWithoutWrapping) {
    std::string records;
    for (int i = 1; i <= 5; ++i) records += Block(0, 0, 0, i * 100, 10, 10) + "\n";
    rig.Open(Model("liste2d.gl", records));
    const std::string start = "ORX-View www.orx-soft.example";
    EXPECT_EQ(platform.title, start + " Objekt 1 von 5");
    // Each page shows one record: the extent is that part's length.
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 100.0);
    for (int i = 0; i < 4; ++i) dlg->OnCommand(ID_PART_NEXT);
    EXPECT_EQ(platform.title, start + " Objekt 5 von 5");
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 500.0);
    dlg->OnCommand(ID_PART_NEXT);
    EXPECT_EQ(Probe(*dlg).m_nPart, 5);
    for (int i = 0; i < 6; ++i) dlg->OnCommand(ID_PART_PREV);
    EXPECT_EQ(platform.title, start + " Objekt 1 von 5");
    EXPECT_EQ(Probe(*dlg).m_nPart, 1);
}

TEST_F(ModelBuild, WholeModelTitleIgnoresPaging) {
    rig.Open(Model("b3d.gl", Block(0, 0, 0, 1, 1, 1) + "\n"));
    EXPECT_EQ(platform.title, "ORX-View www.orx-soft.example");
    const int invalidations = platform.invalidations;
    dlg->OnCommand(ID_PART_NEXT);
    EXPECT_EQ(Probe(*dlg).m_nPart, -2);
    EXPECT_EQ(platform.title, "ORX-View www.orx-soft.example");
    EXPECT_GT(platform.invalidations, invalidations);
}

TEST_F(ModelBuild, UnreadableFileKeepsItsNameAndDrawsNoModel) {
    dlg->OnCommand(ID_AXES);
    const std::string missing = dir.File("fehlt3d.gl");
    rig.Open(missing);
    Probe(*dlg).DrawScene();
    EXPECT_EQ(Probe(*dlg).m_strModelPath, missing);
    // Only the reference geometry was sent: the axis cross, no faces.
    EXPECT_EQ(sink.Count(GlCall::Vertex3d), 0);
    EXPECT_GT(sink.Count(GlCall::Vertex3f), 0);
    // The slideshow found no models below the program folder.
    EXPECT_LT(Probe(*dlg).m_nDemoTick, 0);
}

TEST_F(ModelBuild, ModelsAtNegativeCoordinatesAreScaledByTheirLargestSide) {
    rig.Open(Model("neg3d.gl", Block(-3000, -800, -600, -1000, -400, -100) + "\n"));
    Probe(*dlg).DrawScene();
    const ModelBounds& b = Probe(*dlg).m_bounds;
    EXPECT_EQ(b.extent, 2000.0);
    EXPECT_EQ(b.centreX, -2000.0);
    for (const GlCall& c : sink.calls) {
        if (c.kind != GlCall::Vertex3d) continue;
        ASSERT_TRUE(std::isfinite(c.v[0]) && std::isfinite(c.v[1]) && std::isfinite(c.v[2]));
        EXPECT_LE(std::abs(c.v[0]), 0.5 + 1e-6);
    }
    // A model whose largest maximum is exactly 0.
    rig.Open(Model("null3d.gl", Block(-50, -20, -10, 0, 0, 0) + "\n"));
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 50.0);
    // A single point: every side is 0, the divisor becomes 1.
    rig.Open(Model("punkt3d.gl", Block(-5, -5, -5, -5, -5, -5) + "\n"));
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 1.0);
    // Models reaching positive coordinates keep the largest maximum as divisor.
    rig.Open(Model("pos3d.gl", Block(-1000, 0, 0, 500, 100, 100) + "\n"));
    EXPECT_EQ(Probe(*dlg).m_bounds.extent, 500.0);
}

TEST_F(ModelBuild, OpenDialogEndsFollowModeOnlyWhenConfirmed) {
    Probe(*dlg).m_bLiveFollow = true;
    dlg->OnOpenModel();  // cancelled
    EXPECT_TRUE(Probe(*dlg).m_bLiveFollow);
    ASSERT_EQ(platform.openDialogs.size(), 1u);
    EXPECT_EQ(platform.openDialogs[0].filter, "ORX-openGL Datei (*.gl)|*.gl||");
    EXPECT_EQ(platform.openDialogs[0].initialName, "*.gl");
    EXPECT_EQ(platform.openDialogs[0].defaultExt, "*.gl");
    // Confirmed with a refused name: follow mode still ends.
    platform.openFileAnswers.push_back(dir.File("model.gl"));
    dlg->OnOpenModel();
    EXPECT_FALSE(Probe(*dlg).m_bLiveFollow);
    EXPECT_EQ(platform.messages.back().text, "Unbekanntes Dateiformat");
    const std::string path = Model("c3d.gl", Block(0, 0, 0, 1, 2, 3) + "\n");
    platform.openFileAnswers.push_back(path);
    dlg->OnOpenModel();
    EXPECT_EQ(Probe(*dlg).m_strModelPath, path);
}

TEST_F(ModelBuild, ModelAppearsOnTheBackground) {
    platform.colourAnswers.push_back(Rgb{0, 0, 255});
    dlg->OnCommand(ID_BACKGROUND);
    dlg->OnCommand(ID_MODE_SOLID);
    Probe(*dlg).m_pSink = nullptr;  // draw for real
    rig.Open(Model("d3d.gl", Block(0, 0, 0, 1000, 1000, 1000) + "\n"));
    dlg->OnSize(0, 200, 150);
    dlg->OnPaint();
    EXPECT_EQ(platform.PixelAt(2, 2), 0x0000FFu);
    const uint32_t centre = platform.PixelAt(100, 75);
    EXPECT_NE(centre, 0x0000FFu);
    // Grey shades: red, green and blue alike.
    EXPECT_EQ(centre >> 16, centre & 0xFF);
}

}  // namespace
}  // namespace orx
