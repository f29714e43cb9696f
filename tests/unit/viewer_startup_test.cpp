// The viewer's state after construction, start-up and shut-down.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "ViewerRig.h"
#include "model/Title.h"
#include "ui/SettingsKeys.h"

namespace orx {
namespace {

using test::Pixels;
using test::ReadText;
using test::ViewerRig;
using test::WriteModel;
using test::WriteText;

// A first start with no settings file: what the user sees, and what is stored.
TEST(ViewerState, FirstStartWithoutASettingsFile) {
    ViewerRig rig;
    rig.platform.buttonFace = Rgb{212, 208, 200};
    CViewerDlg& dlg = rig.Construct();
    // Construction reads and writes nothing.
    EXPECT_FALSE(std::filesystem::exists(rig.dir.File("orx-view.ini")));
    WriteModel(rig.Models() + "block3d.gl");
    rig.NameInOrxIni(rig.Models() + "block3d.gl");
    rig.Start();
    EXPECT_EQ(rig.Title(), std::string("ORX-View ") + kWebAddress);
    // The background is the desktop's button face; texture 1 is selected, which makes
    // the mode textured, and these two are written; lighting is off.
    dlg.OnPaint();
    EXPECT_EQ(rig.platform.PixelAt(2, 2), 0xD4D0C8u);
    EXPECT_EQ(ReadText(rig.dir.File("orx-view.ini")), "[common]\nshading=0x4\nTexturNr=0x1\n");
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), GL_FALSE);
    // The model turns by itself.
    const Pixels first = rig.Picture();
    rig.Ticks(20);
    EXPECT_NE(rig.Picture(), first);
    // Axis cross, walls and zero plane are off: the first press of each key turns it on.
    for (unsigned keyCode : {'K', 'W', 'N'}) rig.Key(keyCode);
    EXPECT_EQ(rig.Setting(key::kAxes), "1");
    EXPECT_EQ(rig.Setting(key::kRoomEdges), "1");
    EXPECT_EQ(rig.Setting(key::kZeroPlane), "1");
    // Grey shades until the coloured ones are chosen.
    rig.Menu(ID_SCHEME_COLOUR);
    EXPECT_EQ(rig.Setting(key::kColourScheme), "0x1");
}

TEST(ViewerState, SettingsAreReadAtConstruction) {
    ViewerRig rig;
    WriteText(rig.dir.File("orx-view.ini"),
              "[common]\nAchsenkreuz=1\nRaumkanten=1\nNullkanten=yes\nRotateTimeOn=0\n"
              "shading=0x2\nLightMode=0x1\nSchattierungen=0x1\nColR=0x10\nColG=32\nColB=060\n");
    CViewerDlg& dlg = rig.Construct();
    EXPECT_TRUE(Probe(dlg).m_bShowAxes);
    EXPECT_TRUE(Probe(dlg).m_bShowRoomEdges);
    EXPECT_FALSE(Probe(dlg).m_bShowZeroPlane);
    EXPECT_FALSE(Probe(dlg).m_bAutoRotate);
    EXPECT_EQ(Probe(dlg).m_nShading, 2);
    EXPECT_EQ(Probe(dlg).m_nLightMode, 1);
    EXPECT_EQ(Probe(dlg).m_nColourScheme, 1);
    EXPECT_EQ(Probe(dlg).m_nBackR, 16);
    EXPECT_EQ(Probe(dlg).m_nBackG, 32);
    EXPECT_EQ(Probe(dlg).m_nBackB, 48);
}

TEST(ViewerState, ProgramFolderDropsBuildConfigurationFolders) {
    // Only whole folder names are dropped.
    const char* const rows[][2] = {{"/opt/orx/orx-view", "/opt/orx/"},
                                   {"/x/Release/orx-view", "/x/"},
                                   {"/x/Debug/orx-view", "/x/"},
                                   {"/x/Debug/Release/orx-view", "/x/"},
                                   {"/home/u/Debugging/orx-view", "/home/u/Debugging/"},
                                   {"orx-view", "./"}};
    for (const auto& row : rows) EXPECT_EQ(CViewerDlg::ProgramDirFrom(row[0]), row[1]) << row[0];
}

TEST(ViewerState, StartUpWithoutOpenGLStopsEarly) {
    ViewerRig rig;
    rig.platform.failContext = true;
    CViewerDlg& dlg = rig.Construct();
    EXPECT_EQ(dlg.OnCreate(), 0);
    EXPECT_EQ(rig.platform.timerPeriod, 0u);  // no timer
    EXPECT_TRUE(rig.platform.messages.empty());
    EXPECT_EQ(Probe(dlg).m_hRC, nullptr);
}

TEST(StartedViewer, StartsTexturedAndTimedShowsTheStoredBackgroundAndStoresItsPlacement) {
    ViewerRig rig;
    WriteText(rig.dir.File("orx-view.ini"),
              "[common]\nshading=0x2\nColR=0x20\nColG=0x80\nColB=0xC0\n");
    rig.Start();
    const ViewerProbe p = Probe(*rig.dlg);
    EXPECT_EQ(p.m_strProgramDir, rig.Prog());
    EXPECT_EQ(p.m_rgbaLine, (RGBA{0, 0, 0, 0}));
    EXPECT_NE(p.m_hRC, nullptr);
    EXPECT_EQ(p.m_nShading, 4);
    EXPECT_EQ(rig.Setting(key::kShading), "0x4");
    EXPECT_EQ(rig.platform.timerId, 0u);
    EXPECT_EQ(rig.platform.timerPeriod, 10u);
    EXPECT_EQ(rig.platform.aboutEntry, "&About Kestrel...");

    rig.Picture();
    EXPECT_EQ(rig.platform.PixelAt(5, 5), 0x2080C0u);
    EXPECT_EQ(rig.platform.PixelAt(160, 120), 0x2080C0u);
    EXPECT_EQ(rig.platform.swaps, 1);

    rig.platform.placement.normalPosition = Rect{50, 60, 850, 660};
    rig.dlg->OnDestroy();
    EXPECT_EQ(p.m_hRC, nullptr);
    const std::string text = ReadText(rig.dir.File("orx-view.ini"));
    EXPECT_NE(text.find("[ORX-VIEW]\nx=50\ny=60\ndx=850\ndy=660\nminy="), std::string::npos)
        << text;
}

TEST(StartedViewer, ArrowKeysShiftBeforeDispatch) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    rig.Start();  // nothing named: the demo runs
    const std::unique_ptr<CViewerDlg>& dlg = rig.dlg;
    const int demoTick = Probe(*dlg).m_nDemoTick;
    ASSERT_GE(demoTick, 0);
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::LEFT));
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::UP));
    EXPECT_DOUBLE_EQ(Probe(*dlg).m_dOrigin[0], -0.1);
    EXPECT_DOUBLE_EQ(Probe(*dlg).m_dOrigin[1], 0.1);
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::ESCAPE));
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::RETURN));
    EXPECT_FALSE(dlg->PreTranslateMessage('R'));
    // The dialog takes these keys: a running demo goes on.
    EXPECT_EQ(Probe(*dlg).m_nDemoTick, demoTick);
}

TEST(StartedViewer, EscapeClearsAPartsSizeFirstAndThenCloses) {
    ViewerRig rig;
    rig.StartFollowing("block3d.gl");
    // Ctrl+click on the block in the middle of the window shows its size.
    rig.dlg->OnLButtonDown(kMouseControl, Point{160, 120});
    rig.dlg->OnLButtonUp(kMouseControl, Point{160, 120});
    ASSERT_NE(rig.dlg->PickText(), "");
    EXPECT_TRUE(rig.dlg->PreTranslateMessage(vk::ESCAPE));
    EXPECT_FALSE(rig.dlg->OnCancel());
    EXPECT_EQ(rig.dlg->PickText(), "");
    EXPECT_TRUE(rig.dlg->OnCancel());
}

}  // namespace
}  // namespace orx
