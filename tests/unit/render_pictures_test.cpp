// Pictures of the shipped models, rendered headless and read back pixel by pixel.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"

namespace orx {
namespace {

using test::TempProfile;

const std::string kModels = ORX_SOURCE_DIR "/data/modelle/";
constexpr uint32_t kBackground = 0x102030;

struct PictureStats {
    int modelPixels = 0;       // pixels that are not the background
    int colourful = 0;         // of those, pixels with a clear hue
    std::set<uint32_t> hues;   // coarse colours seen
    double red = 0, blue = 0;  // mean red and blue of the model pixels
};

class Pictures : public ::testing::Test {
protected:
    TempProfile dir;
    ScriptedPlatform platform{160, 120};
    std::unique_ptr<CViewerDlg> dlg;

    void SetUp() override {
        // The build's program folder holds the nine textures.
        platform.executablePath = std::string(ORX_PROGRAM_DIR) + "/orx-view";
        dlg = std::make_unique<CViewerDlg>(platform);
        ASSERT_TRUE(Probe(*dlg).SetupPixelFormat());
        ASSERT_TRUE(Probe(*dlg).CreateGLContext());
        Probe(*dlg).m_strProgramDir = CViewerDlg::ProgramDirFrom(platform.executablePath);
        Probe(*dlg).m_bLiveFollow = false;
        Probe(*dlg).m_nBackR = 0x10, Probe(*dlg).m_nBackG = 0x20, Probe(*dlg).m_nBackB = 0x30;
        Probe(*dlg).m_dAngle[0] = 20, Probe(*dlg).m_dAngle[1] = -30;
    }

    PictureStats Render(const std::string& model, int mode) {
        Probe(*dlg).m_nShading = mode;
        Probe(*dlg).OpenModelFile(kModels + model);
        dlg->OnSize(0, 160, 120);
        dlg->OnPaint();
        PictureStats stats;
        const std::vector<uint8_t> rgb = platform.ReadPixelsRgb();
        for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
            const uint32_t c = (uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
            if (c == kBackground) continue;
            ++stats.modelPixels;
            stats.red += rgb[i];
            stats.blue += rgb[i + 2];
            const int hi = std::max({rgb[i], rgb[i + 1], rgb[i + 2]});
            const int lo = std::min({rgb[i], rgb[i + 1], rgb[i + 2]});
            if (hi - lo > 60) ++stats.colourful;
            stats.hues.insert(((rgb[i] >> 6) << 4) | ((rgb[i + 1] >> 6) << 2) | (rgb[i + 2] >> 6));
        }
        if (stats.modelPixels) stats.red /= stats.modelPixels, stats.blue /= stats.modelPixels;
        return stats;
    }
};

TEST_F(Pictures, EverySampleInEveryModeShowsTheModelOnTheBackground) {
    for (const char* model : {"schrank3d.gl", "kommode3d.gl", "regal3d.gl", "tisch3d.gl",
                              "eckregal3d.gl", "teile2d.gl"}) {
        for (int mode = 1; mode <= 4; ++mode) {
            SCOPED_TRACE(std::string(model) + " in mode " + std::to_string(mode));
            const PictureStats s = Render(model, mode);
            EXPECT_GT(s.modelPixels, 100);
            EXPECT_LT(s.modelPixels, 160 * 120);  // the background shows around it
            // The corner is background in every picture.
            EXPECT_EQ(platform.PixelAt(0, 0), kBackground);
        }
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Pictures, GreyShadesAreGreyColouredShadesShowTheirHues) {
    const PictureStats grey = Render("schrank3d.gl", 3);
    EXPECT_EQ(grey.colourful, 0);
    Probe(*dlg).m_nColourScheme = 1;
    const PictureStats coloured = Render("schrank3d.gl", 3);
    EXPECT_GT(coloured.colourful, coloured.modelPixels / 2);
    EXPECT_GE(coloured.hues.size(), 4u);
}

TEST_F(Pictures, TexturedModeShowsTheTexturesColours) {
    // Texture 5 is a colourful jigsaw, texture 1 a reddish cherry wood.
    dlg->SelectTexture(5, true);
    const PictureStats puzzle = Render("kommode3d.gl", 4);
    EXPECT_GT(puzzle.colourful, puzzle.modelPixels / 3);
    EXPECT_GE(puzzle.hues.size(), 6u);
    dlg->SelectTexture(1, true);
    const PictureStats cherry = Render("kommode3d.gl", 4);
    EXPECT_GT(cherry.modelPixels, 100);
    EXPECT_GT(cherry.red, cherry.blue + 40);
}

TEST_F(Pictures, TexturedModeWithoutAnyImageShowsWhiteFaces) {
    Probe(*dlg).m_texture.Clear();
    const PictureStats none = Render("kommode3d.gl", 4);
    EXPECT_GT(none.modelPixels, 100);
    EXPECT_NEAR(none.red, none.blue, 2.0);
}

TEST_F(Pictures, FailedTextureLoadAfterAGoodOneDrawsWithoutAnImage) {
    dlg->SelectTexture(1, true);
    const PictureStats cherry = Render("kommode3d.gl", 4);
    ASSERT_GT(cherry.red, cherry.blue + 40);

    // A texture file of a kind the reader does not know, chosen with the load dialog.
    platform.openFileAnswers.push_back(dir.File("holz.jpeg"));
    test::WriteText(dir.File("holz.jpeg"), "not read");
    dlg->OnLoadTexture();
    dlg->OnSize(0, 160, 120);
    dlg->OnPaint();
    PictureStats none;
    const std::vector<uint8_t> rgb = platform.ReadPixelsRgb();
    double red = 0, blue = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const uint32_t c = (uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
        if (c == kBackground) continue;
        ++none.modelPixels;
        red += rgb[i], blue += rgb[i + 2];
    }
    ASSERT_GT(none.modelPixels, 100);
    EXPECT_NEAR(red / none.modelPixels, blue / none.modelPixels, 2.0);

    // A numbered texture that is missing, after a good one: the same.
    dlg->SelectTexture(1, true);
    ASSERT_GT(Render("kommode3d.gl", 4).red, cherry.blue + 40);
    Probe(*dlg).m_strProgramDir = dir.path + "/";
    dlg->SelectTexture(3, true);
    const PictureStats missing = Render("kommode3d.gl", 4);
    EXPECT_GT(missing.modelPixels, 100);
    EXPECT_NEAR(missing.red, missing.blue, 2.0);
}

TEST_F(Pictures, WallsAndZeroPlaneOnlyForWholeModels) {
    const PictureStats bare = Render("tisch3d.gl", 3);
    Probe(*dlg).m_bShowRoomEdges = true;
    Probe(*dlg).m_bShowZeroPlane = true;
    const PictureStats walls = Render("tisch3d.gl", 3);
    EXPECT_GT(walls.modelPixels, bare.modelPixels + 500);
    Probe(*dlg).m_bShowRoomEdges = false;
    Probe(*dlg).m_bShowZeroPlane = false;
    const PictureStats part = Render("teile2d.gl", 3);
    Probe(*dlg).m_bShowRoomEdges = true;
    Probe(*dlg).m_bShowZeroPlane = true;
    const PictureStats partWithWalls = Render("teile2d.gl", 3);
    EXPECT_EQ(part.modelPixels, partWithWalls.modelPixels);
}

}  // namespace
}  // namespace orx
