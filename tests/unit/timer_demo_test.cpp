// The demo slideshow, its file search and its random display options.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

constexpr int kDemoPeriod = 1001;

std::string DemoCounter(const std::string& title) {
    const size_t at = title.find(" DEMO (");
    return at == std::string::npos ? "" : title.substr(at + 7);
}

TEST(DemoFileSearch, SubFoldersFirstInNameOrder) {
    TempProfile dir;
    const std::string root = dir.path + "/";
    for (const char* file : {"b.gl", "A.GL", "sub/deep/c.gl", "sub/d.Gl", "ab/e.gl", ".hidden/f.gl",
                             ".g.gl", "h.gl.txt", "folder.gl/i.gl"})
        WriteModel(root + file);
    std::filesystem::create_symlink(root + "sub", root + "link");
    std::filesystem::create_symlink(root + "b.gl", root + "linked.gl");

    std::vector<std::string> list{"earlier"};
    EXPECT_TRUE(CViewerDlg::FindFiles(root, "*.gl", list, 0));
    const std::vector<std::string> expected{
        "earlier",         root + "ab/e.gl", root + "folder.gl/i.gl", root + "sub/deep/c.gl",
        root + "sub/d.Gl", root + "A.GL",    root + "b.gl",
    };
    EXPECT_EQ(list, expected);
}

TEST(DemoFileSearch, NothingFoundOnlyAtTheOuterLevel) {
    TempProfile dir;
    ScriptedPlatform platform;
    SetMessagePlatform(&platform);
    WriteModel(dir.path + "/.hidden/a3d.gl");
    std::filesystem::create_directories(dir.path + "/empty/deeper");

    std::vector<std::string> list;
    EXPECT_TRUE(CViewerDlg::FindFiles(dir.path + "/empty/", "*.gl", list, 1));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(CViewerDlg::FindFiles(dir.path + "/", "*.gl", list, 0));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Nothing found!");
    EXPECT_TRUE(list.empty());

    // A folder that cannot be listed gives false without a message.
    EXPECT_FALSE(CViewerDlg::FindFiles(dir.path + "/missing/", "*.gl", list, 0));
    EXPECT_EQ(platform.messages.size(), 1u);
    SetMessagePlatform(nullptr);
}

TEST(DemoMode, StepsThroughTheFilesFromTheSecondAndListsThemAgainOnARestart) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    WriteModel(rig.Prog() + "b3d.gl", 2);
    WriteModel(rig.Prog() + "c3d.gl", 3);
    const std::string shown = rig.StartFollowing("schrank3d.gl");
    const ViewerProbe p = Probe(*rig.dlg);
    rig.Key('R');

    rig.Key('P');
    EXPECT_EQ(p.m_demoFiles.size(), 3u);
    EXPECT_EQ(p.m_nDemoTick, 998);
    EXPECT_FALSE(p.m_bLiveFollow);
    EXPECT_DOUBLE_EQ(p.m_dOrigin[0], 0.0);
    EXPECT_DOUBLE_EQ(p.m_dOrigin[2], -2.4);

    // The first step comes on the third tick, then every 1001 ticks.
    rig.Ticks(2);
    EXPECT_EQ(p.m_strModelPath, shown);
    const char* expected[][2] = {
        {"b3d.gl", "1/3)"}, {"c3d.gl", "2/3)"}, {"a3d.gl", "0/3)"}, {"b3d.gl", "1/3)"}};
    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        if (step > 0) {
            rig.Ticks(kDemoPeriod - 1);
            EXPECT_EQ(p.m_strModelPath, rig.Prog() + expected[step - 1][0]);
        }
        rig.Ticks(1);
        EXPECT_EQ(p.m_strModelPath, rig.Prog() + expected[step][0]);
        EXPECT_EQ(DemoCounter(rig.Title()), expected[step][1]) << rig.Title();
    }
    EXPECT_TRUE(rig.Messages().empty());

    // Started again, the show lists every file once more after the earlier ones.
    rig.Key('P');
    const std::string a = rig.Prog() + "a3d.gl", b = rig.Prog() + "b3d.gl",
                      c = rig.Prog() + "c3d.gl";
    EXPECT_EQ(p.m_demoFiles, (std::vector<std::string>{a, b, c, a, b, c}));
    EXPECT_EQ(p.m_nDemoIndex, 0);
    EXPECT_EQ(p.m_nDemoTick, 998);
}

TEST(DemoMode, ModelOnlyInAHiddenFolderFindsNothing) {
    ViewerRig rig;
    WriteModel(rig.Prog() + ".versteckt/a3d.gl");
    rig.StartFollowing("schrank3d.gl");
    const ViewerProbe p = Probe(*rig.dlg);
    rig.Key('R');
    rig.Key('P');
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"Nothing found!"});
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_TRUE(p.m_demoFiles.empty());
    EXPECT_TRUE(p.m_bLiveFollow);
    // The view was centred, but not moved back.
    EXPECT_DOUBLE_EQ(p.m_dOrigin[0], 0.0);
    EXPECT_DOUBLE_EQ(p.m_dOrigin[2], -2.0);
}

TEST(DemoMode, KeyOrButtonStopsTheDemoAndKeepsTheModel) {
    for (const bool byButton : {false, true}) {
        SCOPED_TRACE(byButton ? "button" : "key");
        ViewerRig rig;
        WriteModel(rig.Prog() + "a3d.gl");
        WriteModel(rig.Prog() + "b3d.gl");
        rig.StartFollowing("schrank3d.gl");
        const ViewerProbe p = Probe(*rig.dlg);
        rig.Menu(ID_DEMO);
        rig.Ticks(3);
        ASSERT_EQ(p.m_strModelPath, rig.Prog() + "b3d.gl");
        if (byButton)
            rig.dlg->OnLButtonDown(0, Point{10, 10});
        else
            rig.Key('G');  // a letter without a command
        EXPECT_EQ(p.m_nDemoTick, kDemoStopped);
        rig.Ticks(2 * kDemoPeriod);
        EXPECT_EQ(p.m_strModelPath, rig.Prog() + "b3d.gl");
        EXPECT_FALSE(p.m_bLiveFollow);
        EXPECT_EQ(p.m_bAutoRotate, !byButton);
    }
}

TEST(DemoMode, StartsByItselfWithoutANamedModel) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "modelle/a3d.gl");
    // The user chose Birke in an earlier session.
    WriteText(rig.dir.File("orx-view.ini"), "[common]\nTexturNr=0x2\n");
    rig.Start();
    const std::string settings = ReadText(rig.dir.File("orx-view.ini"));
    const ViewerProbe p = Probe(*rig.dlg);
    EXPECT_GE(p.m_nDemoTick, 0);
    EXPECT_DOUBLE_EQ(p.m_dOrigin[2], -2.4);
    rig.Ticks(3);
    EXPECT_EQ(p.m_strModelPath, rig.Prog() + "modelle/a3d.gl");
    EXPECT_NE(rig.Title().find(" DEMO ("), std::string::npos) << rig.Title();
    EXPECT_TRUE(rig.Messages().empty());

    // Follow mode kept watching: the design program's first save ends the show, and
    // the model comes as at a start, with the stored options and the start's view.
    EXPECT_TRUE(p.m_bLiveFollow);
    // Demo steps draw options of their own, a texture other than the user's among them.
    for (int i = 0; i < 50 && p.m_nTextureNumber == 2; ++i) rig.Ticks(kDemoPeriod);
    ASSERT_NE(p.m_nTextureNumber, 2);
    const std::string model = rig.Models() + "schrank3d.gl";
    WriteModel(model, 3);
    rig.NameInOrxIni(model);
    for (int i = 0; i < 200 && p.m_strModelPath != model; ++i) rig.Ticks(1);
    EXPECT_EQ(p.m_strModelPath, model);
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_EQ(rig.Title().find(" DEMO ("), std::string::npos) << rig.Title();
    EXPECT_EQ(p.m_nPartCount, 3);
    EXPECT_DOUBLE_EQ(p.m_dOrigin[2], -2.0);
    EXPECT_EQ(p.m_nShading, 4);
    EXPECT_FALSE(p.m_bShowAxes || p.m_bShowRoomEdges || p.m_bShowZeroPlane);
    EXPECT_EQ(p.m_nLightMode + p.m_nColourScheme, 0);
    EXPECT_EQ(p.m_nTextureNumber, 2);
    EXPECT_EQ(ReadText(rig.dir.File("orx-view.ini")), settings);
    EXPECT_TRUE(p.m_bLiveFollow);
    // A demo the user starts ends follow mode.
    rig.Key('P');
    EXPECT_GE(p.m_nDemoTick, 0);
    EXPECT_FALSE(p.m_bLiveFollow);
    EXPECT_TRUE(rig.Messages().empty());
}

TEST(DemoMode, DrawnOptionsFollowTheGeneratorAndStayUnsaved) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    WriteModel(rig.Prog() + "b3d.gl");
    rig.StartFollowing("schrank3d.gl");
    const ViewerProbe p = Probe(*rig.dlg);
    rig.Click();  // auto-rotation off, and stored so
    rig.Key('P');
    rig.Ticks(2);

    // Draw what each step will draw, then seed the generator again.
    // axes, walls, zero plane, light, scheme, mode - 1: each drawn up to its bound.
    constexpr int kBounds[6] = {3, 3, 3, 1, 2, 11};
    constexpr unsigned kSeed = 4711;
    constexpr int kSteps = 8;
    std::srand(kSeed);
    std::vector<std::array<int, 6>> draws(kSteps);
    for (auto& w : draws)
        for (int k = 0; k < 6; ++k) w[k] = CViewerDlg::RandomUpTo(kBounds[k]);
    std::srand(kSeed);

    const std::string before = ReadText(rig.dir.File("orx-view.ini"));
    bool sawTexture = false, sawPlainMode = false;
    for (int i = 0; i < kSteps; ++i) {
        SCOPED_TRACE(i);
        rig.Ticks(i == 0 ? 1 : kDemoPeriod);
        const std::array<int, 6>& w = draws[static_cast<size_t>(i)];
        EXPECT_EQ(p.m_bShowAxes, w[0] == 1);
        EXPECT_EQ(p.m_bShowRoomEdges, w[1] == 1);
        EXPECT_EQ(p.m_bShowZeroPlane, w[2] == 1);
        EXPECT_EQ(p.m_nLightMode, w[3]);
        EXPECT_EQ(p.m_nColourScheme, w[4]);
        const int mode = w[5] + 1;
        if (mode <= 3) {
            sawPlainMode = true;
            EXPECT_EQ(p.m_nShading, mode);
        } else {
            sawTexture = true;
            EXPECT_EQ(p.m_nShading, 4);
            EXPECT_EQ(p.m_nTextureNumber, mode - 3);
        }
        // Nothing drawn is stored, the texture neither: the user's choices stay.
        EXPECT_EQ(ReadText(rig.dir.File("orx-view.ini")), before);
    }
    EXPECT_TRUE(sawTexture && sawPlainMode) << "choose another seed";
    // Turning belongs to the show and is not stored either.
    EXPECT_TRUE(p.m_bAutoRotate);
    EXPECT_EQ(rig.Setting("RotateTimeOn"), "0");
}

TEST(RandomUpTo, EveryValueGetsAnEqualShare) {
    for (int n : {0, 1, 2, 3, 5, 11, 99, 1000, 32767}) {
        SCOPED_TRACE(n);
        std::vector<int> counts(static_cast<size_t>(n) + 1, 0);
        for (int r = 0; r <= 32767; ++r) {
            const int v = CViewerDlg::RandomFromValue(r, n);
            ASSERT_GE(v, 0);
            ASSERT_LE(v, n);
            ++counts[static_cast<size_t>(v)];
        }
        const double share = 32768.0 / (n + 1);
        for (int count : counts) EXPECT_LE(std::fabs(count - share), 1.0);
        EXPECT_EQ(CViewerDlg::RandomFromValue(32767, n), n);
        EXPECT_EQ(CViewerDlg::RandomFromValue(0, n), 0);
    }
    std::srand(1);
    for (int i = 0; i < 1000; ++i) {
        const int v = CViewerDlg::RandomUpTo(11);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 11);
    }
}

TEST(DemoMode, UnreadableFileIsPassedOverWithoutGrowingTheList) {
    ViewerRig rig;
    for (const char* file : {"a3d.gl", "b3d.gl", "c3d.gl"}) WriteModel(rig.Prog() + file);
    rig.Start();
    const ViewerProbe p = Probe(*rig.dlg);
    // The start-up builds without a model start the slideshow once.
    ASSERT_EQ(p.m_demoFiles.size(), 3u);
    rig.Ticks(3);
    EXPECT_EQ(p.m_strModelPath, rig.Prog() + "b3d.gl");
    std::filesystem::remove(rig.Prog() + "c3d.gl");
    rig.Ticks(kDemoPeriod);  // c3d.gl is gone: nothing to show
    EXPECT_EQ(p.m_strModelPath, rig.Prog() + "c3d.gl");
    EXPECT_GE(p.m_nDemoTick, 0);
    rig.Ticks(kDemoPeriod);
    EXPECT_EQ(p.m_strModelPath, rig.Prog() + "a3d.gl");
    EXPECT_EQ(p.m_demoFiles.size(), 3u);
}

// What a long demo keeps is the viewer's own: one display list and the file list it
// drew up. Whether each replaced texture image and list is freed is the sanitizer
// build's leak check over these same steps; the resident memory of such a run is a
// benchmark figure (bench/memory_bench.cpp).
TEST(DemoMode, LongRunKeepsOneListAndItsFileList) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl", 20);
    WriteModel(rig.Prog() + "b3d.gl", 5);
    WriteModel(rig.Prog() + "gone3d.gl", 5);
    // The numbered textures, so that the drawn ones replace each other's images.
    std::filesystem::copy(kBuiltProgram + "texturen", rig.Prog() + "texturen");
    rig.Start();
    const ViewerProbe p = Probe(*rig.dlg);
    std::filesystem::remove(rig.Prog() + "gone3d.gl");
    rig.Ticks(kDemoPeriod);
    const std::vector<std::string> files = p.m_demoFiles;
    ASSERT_EQ(files.size(), 3u);
    for (int i = 0; i < 300; ++i) {
        rig.Ticks(kDemoPeriod);
        rig.dlg->OnPaint();  // each step's frame compiles its list
    }
    EXPECT_EQ(p.m_demoFiles, files);
    EXPECT_NE(p.m_nDemoTick, kDemoOff);
    EXPECT_EQ(glIsList(1), GL_TRUE);
    for (GLuint list = 2; list <= 64; ++list) EXPECT_EQ(glIsList(list), GL_FALSE) << list;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_TRUE(rig.platform.messages.empty());  // every texture was read
}

}  // namespace
}  // namespace orx::test
