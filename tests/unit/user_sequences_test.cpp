// A person's sequences of actions, each checked by what the window then shows: its
// title and its picture. A picture reached through a sequence is compared with the
// picture of a freshly started viewer that shows the same model with the same options.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ImageSupport.h"
#include "ViewerRig.h"
#include "ui/About.h"

namespace orx::test {
namespace {

const std::string& kModels = kSampleModels;
const std::string kTitle = std::string("ORX-View ") + kWebAddress;
constexpr int kWidth = 240, kHeight = 180;

// Pixels with a channel more than 8 apart, as the reference pictures count them.
int Differing(const Pixels& a, const Pixels& b) {
    if (a.size() != b.size()) return kWidth * kHeight;
    int n = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3) {
        for (size_t c = 0; c < 3; ++c) {
            if (std::abs(int(a[i + c]) - int(b[i + c])) > 8) {
                ++n;
                break;
            }
        }
    }
    return n;
}

// Pixels whose red stands well above green and blue.
int Reddish(const Pixels& p) {
    int n = 0;
    for (size_t i = 0; i + 2 < p.size(); i += 3) n += p[i] > p[i + 1] + 80 && p[i] > p[i + 2] + 80;
    return n;
}

// The viewer as its user has it: started like the program from the build's program
// folder (textures and sample models), its profile folder the test's own.
class Window : public ViewerRig {
public:
    Window() : ViewerRig(kWidth, kHeight) { UseBuiltProgram(); }
    explicit Window(const Window& sameUser) : ViewerRig(SameProfileAs{sameUser}) {}
};

// The picture of the viewer started afresh on `w`'s folders, showing `model` as the
// design program names it, after `keys`, in the three-quarter view.
Pixels FreshPicture(Window& w, const std::string& model, const std::vector<unsigned>& keys = {}) {
    w.NameInOrxIni(model);
    w.Restart();
    for (unsigned key : keys) w.Key(key);
    w.ThreeQuarterView();
    EXPECT_EQ(Probe(*w.dlg).m_strModelPath, model);
    return w.Picture();
}

TEST(UserSequences, WholeModelOpenedAfterPagingAPartsList) {
    Window w;
    Pixels whole;
    {
        w.Start();  // nothing named: the demo runs until the first key
        w.Open(kModels + "teile2d.gl");
        EXPECT_EQ(w.Title(), kTitle + " Objekt 1 von 10");
        w.ThreeQuarterView();
        const Pixels first = w.Picture();
        w.Key('X');
        EXPECT_EQ(w.Title(), kTitle + " Objekt 2 von 10");
        EXPECT_GT(Differing(first, w.Picture()), 500);
        w.Key(vk::NUMPAD1);
        EXPECT_EQ(w.Title(), kTitle + " Objekt 1 von 10");
        EXPECT_EQ(Differing(first, w.Picture()), 0);

        // The whole model: every record, and a title without a part counter.
        w.Key('X');
        w.Open(kModels + "schrank3d.gl");
        EXPECT_EQ(w.Title(), kTitle);
        w.ThreeQuarterView();
        whole = w.Picture();
        // Paging keys do nothing to a whole model.
        w.Key('X');
        EXPECT_EQ(w.Title(), kTitle);
        EXPECT_EQ(Differing(whole, w.Picture()), 0);
        EXPECT_TRUE(w.platform.messages.empty());
    }
    EXPECT_LE(Differing(whole, FreshPicture(w, kModels + "schrank3d.gl")), 20);
}

TEST(UserSequences, OptionsChangedBeforeOpeningAnotherModelApplyToIt) {
    struct Case {
        const char* what;
        std::vector<unsigned> keys;
        std::vector<int> menu;
        std::vector<unsigned> freshKeys;  // a fresh viewer starts textured: the mode key
    };
    const Case cases[] = {
        {"test pattern, lit, axis cross", {'9', 'B', 'K'}, {}, {}},
        {"lit coloured solid", {'B', vk::F2, vk::F3}, {ID_SCHEME_COLOUR}, {vk::F3}},
        {"hairlines with walls and zero plane", {'W', 'N', vk::F1}, {}, {vk::F1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        w.NameInOrxIni(kModels + "kommode3d.gl");
        Pixels opened;
        {
            w.Start();
            for (unsigned key : c.keys) w.Key(key);
            for (int command : c.menu) w.Menu(command);
            const Pixels before = w.Picture();
            w.Open(kModels + "regal3d.gl");
            EXPECT_EQ(w.Title(), kTitle);
            w.ThreeQuarterView();
            opened = w.Picture();
            EXPECT_GT(Differing(before, opened), 500);
        }
        EXPECT_LE(Differing(opened, FreshPicture(w, kModels + "regal3d.gl", c.freshKeys)), 20);
    }
}

TEST(UserSequences, TextureThatFailsAfterAGoodOneLeavesTheModelUntextured) {
    Window w;
    Picture red{16, 16, std::vector<uint8_t>(16 * 16 * 3)};
    for (size_t i = 0; i < red.rgb.size(); i += 3) red.rgb[i] = 230;
    WriteBytes(w.dir.File("rot.bmp"), MakeBmp(red));
    const std::string missing = w.dir.File("fehlt.jpg");
    w.NameInOrxIni(kModels + "kommode3d.gl");

    Pixels afterFailure;
    {
        w.Start();
        w.ThreeQuarterView();
        w.LoadTexture(w.dir.File("rot.bmp"));
        EXPECT_GT(Reddish(w.Picture()), 2000);
        w.LoadTexture(missing);
        ASSERT_EQ(w.platform.messages.size(), 1u);
        EXPECT_EQ(w.platform.messages[0].text, "JPEG :\nCan't open fehlt.jpg\n");  // no folder
        afterFailure = w.Picture();
    }
    EXPECT_EQ(Reddish(afterFailure), 0);

    // The same as in a viewer whose first texture load fails: no image on the faces.
    Pixels failedFirst;
    {
        w.Restart();
        w.LoadTexture(missing);
        w.ThreeQuarterView();
        failedFirst = w.Picture();
    }
    EXPECT_LE(Differing(afterFailure, failedFirst), 20);
}

TEST(UserSequences, DemoStartedFromFollowModeShowsEachModelWithItsDrawnOptions) {
    Window w;
    w.NameInOrxIni(kModels + "schrank3d.gl");
    w.Start();
    ASSERT_EQ(w.Title(), kTitle);
    std::srand(11);  // the drawn options are the same in every run

    // The design program names a model that cannot be read (a folder of that name):
    // the slideshow starts instead.
    std::filesystem::create_directory(w.dir.File("weg3d.gl"));
    w.NameInOrxIni(w.dir.File("weg3d.gl"));
    w.Ticks(100);
    ASSERT_GE(Probe(*w.dlg).m_nDemoTick, 0);

    int otherModes = 0;
    for (int step = 1; step <= 4; ++step) {
        w.Ticks(step == 1 ? 3 : 1001);
        SCOPED_TRACE("demo step " + std::to_string(step));
        const CViewerDlg& d = *w.dlg;
        const bool partsList = Probe(d).m_strModelPath == kModels + "teile2d.gl";
        EXPECT_EQ(w.Title(), kTitle + (partsList ? " Objekt 1 von 10" : "") + " DEMO (" +
                                 std::to_string(step) + "/7)");
        if (Probe(d).m_nShading != 4 || Probe(d).m_nLightMode != 0) ++otherModes;

        // A fresh viewer with the drawn options and texture as its settings, the same
        // model and the same camera.
        const Pixels shown = w.Picture();
        const std::string texture = std::to_string(Probe(d).m_nTextureNumber);
        WriteText(w.dir.File("orx-view.ini"),
                  "[common]\nTexturNr=" + texture +
                      "\nLightMode=" + std::to_string(Probe(d).m_nLightMode) +
                      "\nSchattierungen=" + std::to_string(Probe(d).m_nColourScheme) +
                      "\nAchsenkreuz=" + std::to_string(Probe(d).m_bShowAxes) +
                      "\nRaumkanten=" + std::to_string(Probe(d).m_bShowRoomEdges) +
                      "\nNullkanten=" + std::to_string(Probe(d).m_bShowZeroPlane) + "\n");
        w.NameInOrxIni(Probe(d).m_strModelPath);
        {
            Window fresh(w);
            fresh.Start();
            if (Probe(d).m_nShading != 4) fresh.Key(vk::F1 + unsigned(Probe(d).m_nShading - 1));
            fresh.Picture();
            fresh.dlg->DrawFrom(Probe(d).m_dAngle, Probe(d).m_dOrigin);
            EXPECT_LE(Differing(shown, fresh.platform.ReadPixelsRgb()), 20);
        }
        w.platform.MakeCurrent();
        std::srand(unsigned(11 + step));  // the fresh viewer seeded the generator with the time
        // The unreadable model again, unchanged: follow mode leaves the show running.
        w.NameInOrxIni(w.dir.File("weg3d.gl"));
    }
    // The drawn options left the start-up's textured, unlit mode at least once.
    EXPECT_GT(otherModes, 0);
}

}  // namespace
}  // namespace orx::test
