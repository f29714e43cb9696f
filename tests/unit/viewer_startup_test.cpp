// The viewer's state after construction, start-up and shut-down.
#include <gtest/gtest.h>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"
#include "ui/IniFile.h"

namespace orx {
namespace {

using test::ReadText;
using test::TempProfile;
using test::WriteText;

TEST(ViewerState, DefaultsWithoutASettingsFile) {
    TempProfile dir;
    ScriptedPlatform platform;
    platform.buttonFace = Rgb{212, 208, 200};
    CViewerDlg dlg(platform);
    EXPECT_FALSE(Probe(dlg).m_bShowAxes);
    EXPECT_FALSE(Probe(dlg).m_bShowRoomEdges);
    EXPECT_FALSE(Probe(dlg).m_bShowZeroPlane);
    EXPECT_TRUE(Probe(dlg).m_bAutoRotate);
    EXPECT_EQ(Probe(dlg).m_nShading, 4);
    EXPECT_EQ(Probe(dlg).m_nLightMode, 0);
    EXPECT_EQ(Probe(dlg).m_nColourScheme, 0);
    EXPECT_EQ(Probe(dlg).m_nBackR, 212);
    EXPECT_EQ(Probe(dlg).m_nBackG, 208);
    EXPECT_EQ(Probe(dlg).m_nBackB, 200);
    EXPECT_EQ(Probe(dlg).m_strSection, "common");
    EXPECT_TRUE(Probe(dlg).m_strModelPath.empty());
    EXPECT_EQ(Probe(dlg).m_bTimerActive, 1);
    EXPECT_TRUE(Probe(dlg).m_bLiveFollow);
    EXPECT_EQ(Probe(dlg).m_nDemoTick, -1);
    EXPECT_EQ(Probe(dlg).m_nDemoIndex, -1);
    EXPECT_EQ(Probe(dlg).m_nTimerBusy, 0);
    EXPECT_EQ(Probe(dlg).m_nPart, -2);
    EXPECT_EQ(Probe(dlg).m_nPartCount, 2);
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 1.0);
    EXPECT_EQ(Probe(dlg).m_dOrigin[2], -2.0);
    EXPECT_EQ(Probe(dlg).m_fTexRepeat, 1.0f);
    EXPECT_EQ(Probe(dlg).m_fScale[0], 1.0f);
    EXPECT_EQ(Probe(dlg).m_hIcon, 128);
    EXPECT_EQ(Probe(dlg).m_pProfile->m_strFileName, "orx-view.ini");
    EXPECT_EQ(Probe(dlg).m_pProfile->m_nLanguage, 1);
    EXPECT_TRUE(Probe(dlg).m_pProfile->m_bShowErrors);
    // Construction reads and writes nothing else.
    EXPECT_FALSE(std::filesystem::exists(dir.File("orx-view.ini")));
}

TEST(ViewerState, SettingsAreReadAtConstruction) {
    TempProfile dir;
    WriteText(dir.File("orx-view.ini"),
              "[common]\nAchsenkreuz=1\nRaumkanten=1\nNullkanten=yes\nRotateTimeOn=0\n"
              "shading=0x2\nLightMode=0x1\nSchattierungen=0x1\nColR=0x10\nColG=32\nColB=060\n");
    ScriptedPlatform platform;
    CViewerDlg dlg(platform);
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
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("/opt/orx/orx-view"), "/opt/orx/");
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("/x/Release/orx-view"), "/x/");
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("/x/Debug/orx-view"), "/x/");
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("/x/Debug/Release/orx-view"), "/x/");
    // Only whole folder names are dropped.
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("/home/u/Debugging/orx-view"), "/home/u/Debugging/");
    EXPECT_EQ(CViewerDlg::ProgramDirFrom("orx-view"), "./");
}

TEST(ViewerState, StartUpWithoutOpenGLStopsEarly) {
    TempProfile dir;
    ScriptedPlatform platform;
    platform.failContext = true;
    CViewerDlg dlg(platform);
    EXPECT_EQ(dlg.OnCreate(), 0);
    EXPECT_EQ(platform.timerPeriod, 0u);  // no timer
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(Probe(dlg).m_hRC, nullptr);
}

class StartedViewer : public ::testing::Test {
protected:
    TempProfile dir;
    ScriptedPlatform platform{320, 240};
    std::unique_ptr<CViewerDlg> dlg;
    void Start() {
        platform.executablePath = dir.File("prog/orx-view");
        dlg = std::make_unique<CViewerDlg>(platform);
        ASSERT_EQ(dlg->OnCreate(), 0);
        dlg->OnInitDialog();
        dlg->OnSize(0, 320, 240);
    }
};

TEST_F(StartedViewer, StartsTexturedAndTimed) {
    WriteText(dir.File("orx-view.ini"), "[common]\nshading=0x2\n");
    Start();
    EXPECT_EQ(Probe(*dlg).m_strProgramDir, dir.File("prog/"));
    EXPECT_EQ(Probe(*dlg).m_rgbaLine, (RGBA{0, 0, 0, 0}));
    EXPECT_NE(Probe(*dlg).m_hRC, nullptr);
    EXPECT_EQ(Probe(*dlg).m_nShading, 4);
    EXPECT_EQ(ini::ReadString("common", "shading", "", 254, dir.File("orx-view.ini")), "0x4");
    EXPECT_EQ(platform.timerId, 0u);
    EXPECT_EQ(platform.timerPeriod, 10u);
    EXPECT_EQ(platform.aboutEntry, "&About Kestrel...");
}

TEST_F(StartedViewer, PictureShowsTheBackgroundOfTheSettings) {
    WriteText(dir.File("orx-view.ini"), "[common]\nColR=0x20\nColG=0x80\nColB=0xC0\n");
    Start();
    dlg->OnPaint();
    EXPECT_EQ(platform.PixelAt(5, 5), 0x2080C0u);
    EXPECT_EQ(platform.PixelAt(160, 120), 0x2080C0u);
    EXPECT_EQ(platform.swaps, 1);
}

TEST_F(StartedViewer, ShutDownStoresThePlacement) {
    Start();
    platform.placement.normalPosition = Rect{50, 60, 850, 660};
    dlg->OnDestroy();
    EXPECT_EQ(Probe(*dlg).m_hRC, nullptr);
    const std::string text = ReadText(dir.File("orx-view.ini"));
    EXPECT_NE(text.find("[ORX-VIEW]\nx=50\ny=60\ndx=850\ndy=660\nminy="), std::string::npos)
        << text;
}

TEST_F(StartedViewer, ArrowKeysShiftBeforeDispatch) {
    Start();
    Probe(*dlg).m_nDemoTick = 5;
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::LEFT));
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::UP));
    EXPECT_DOUBLE_EQ(Probe(*dlg).m_dOrigin[0], -0.1);
    EXPECT_DOUBLE_EQ(Probe(*dlg).m_dOrigin[1], 0.1);
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::ESCAPE));
    EXPECT_TRUE(dlg->PreTranslateMessage(vk::RETURN));
    EXPECT_FALSE(dlg->PreTranslateMessage('R'));
    // The dialog takes these keys: a running demo goes on.
    EXPECT_EQ(Probe(*dlg).m_nDemoTick, 5);
}

}  // namespace
}  // namespace orx
