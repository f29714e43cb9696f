// Pictures of the shipped models, rendered headless and read back pixel by pixel.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ViewerRig.h"

namespace orx {
namespace {

const std::string kModels = ORX_SOURCE_DIR "/data/modelle/";
constexpr uint32_t kBackground = 0x102030;

struct PictureStats {
    int modelPixels = 0;       // pixels that are not the background
    int colourful = 0;         // of those, pixels with a clear hue
    std::set<uint32_t> hues;   // coarse colours seen
    double red = 0, blue = 0;  // mean red and blue of the model pixels
};

// The viewer as orx-render drives it, from the build's program folder with its nine
// textures: the options given, the model opened, one frame drawn.
class Pictures : public ::testing::Test {
protected:
    test::ViewerRig rig{160, 120};
    ScriptedPlatform& platform = rig.platform;
    CViewerDlg* dlg = nullptr;
    ViewOptions options;

    void SetUp() override {
        rig.UseBuiltProgram();
        dlg = &rig.Construct();
        ASSERT_TRUE(dlg->StartRendering(160, 120));
        options.background = Rgb{0x10, 0x20, 0x30};
        options.angles[0] = 20;
        options.angles[1] = -30;
    }

    PictureStats Render(const std::string& model, int mode) {
        options.mode = static_cast<DisplayMode>(mode);
        dlg->ApplyViewOptions(options);
        dlg->OpenModelForRendering(kModels + model, 0);
        return Stats();
    }
    // The next frame's pixels that are not the background.
    PictureStats Stats() {
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
        if (stats.modelPixels) {
            stats.red /= stats.modelPixels;
            stats.blue /= stats.modelPixels;
        }
        return stats;
    }
};

TEST_F(Pictures, EverySampleInEveryModeShowsTheModelOnTheBackground) {
    for (const char* model : {"schrank3d.gl", "kommode3d.gl", "regal3d.gl", "tisch3d.gl",
                              "eckregal3d.gl", "eckkueche3d.gl", "teile2d.gl"}) {
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
    options.coloured = true;
    const PictureStats coloured = Render("schrank3d.gl", 3);
    EXPECT_GT(coloured.colourful, coloured.modelPixels / 2);
    EXPECT_GE(coloured.hues.size(), 4u);
}

TEST_F(Pictures, TexturedModeShowsTheTexturesColours) {
    // Texture 5 is a colourful jigsaw, texture 1 a reddish cherry wood.
    options.textureNumber = 5;
    const PictureStats puzzle = Render("kommode3d.gl", 4);
    EXPECT_GT(puzzle.colourful, puzzle.modelPixels / 3);
    EXPECT_GE(puzzle.hues.size(), 6u);
    options.textureNumber = 1;
    const PictureStats cherry = Render("kommode3d.gl", 4);
    EXPECT_GT(cherry.modelPixels, 100);
    EXPECT_GT(cherry.red, cherry.blue + 40);
}

TEST_F(Pictures, TexturedModeWithoutAnyImageShowsWhiteFaces) {
    options.textureFile = rig.dir.File("fehlt.bmp");
    const PictureStats none = Render("kommode3d.gl", 4);
    EXPECT_GT(none.modelPixels, 100);
    EXPECT_NEAR(none.red, none.blue, 2.0);
}

TEST_F(Pictures, FailedTextureLoadAfterAGoodOneDrawsWithoutAnImage) {
    const PictureStats cherry = Render("kommode3d.gl", 4);
    ASSERT_GT(cherry.red, cherry.blue + 40);

    // A texture file of a kind the reader does not know, chosen with the load dialog.
    platform.openFileAnswers.push_back(rig.dir.File("holz.jpeg"));
    test::WriteText(rig.dir.File("holz.jpeg"), "not read");
    dlg->OnLoadTexture();
    dlg->OnSize(0, 160, 120);
    const PictureStats none = Stats();
    ASSERT_GT(none.modelPixels, 100);
    EXPECT_NEAR(none.red, none.blue, 2.0);

    // A texture file that is missing, after a good one: the same.
    ASSERT_GT(Render("kommode3d.gl", 4).red, cherry.blue + 40);
    options.textureFile = rig.dir.File("texturen/textur3.jpg");
    const PictureStats missing = Render("kommode3d.gl", 4);
    EXPECT_GT(missing.modelPixels, 100);
    EXPECT_NEAR(missing.red, missing.blue, 2.0);
}

TEST_F(Pictures, WallsAndZeroPlaneOnlyForWholeModels) {
    const PictureStats bare = Render("tisch3d.gl", 3);
    options.walls = options.zeroPlane = true;
    const PictureStats walls = Render("tisch3d.gl", 3);
    EXPECT_GT(walls.modelPixels, bare.modelPixels + 500);
    options.walls = options.zeroPlane = false;
    const PictureStats part = Render("teile2d.gl", 3);
    options.walls = options.zeroPlane = true;
    const PictureStats partWithWalls = Render("teile2d.gl", 3);
    EXPECT_EQ(part.modelPixels, partWithWalls.modelPixels);
}

}  // namespace
}  // namespace orx
