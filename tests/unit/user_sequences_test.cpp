// A person's sequences of actions, each checked by what the window then shows: its
// title and its picture. A picture reached through a sequence is compared with the
// picture of a freshly started viewer that shows the same model with the same options.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"
#include "ImageSupport.h"
#include "ui/About.h"
#include "ui/IniFile.h"

namespace orx::test {
namespace {

const std::string kModels = ORX_PROGRAM_DIR "/modelle/";
const std::string kTitle = std::string("ORX-View ") + kWebAddress;
constexpr int kWidth = 240, kHeight = 180;

using Pixels = std::vector<uint8_t>;

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

// The viewer window as its user has it: started like the program from the build's
// program folder (textures and sample models), driven by keys, the context menu and
// the answers given in its dialogs. The profile folder is the test's.
class Window {
public:
    Window() {
        platform.executablePath = ORX_PROGRAM_DIR "/orx-view";
        dlg = std::make_unique<CViewerDlg>(platform);
        dlg->OnCreate();
        dlg->OnSize(0, kWidth, kHeight);
    }

    void Key(unsigned key) { dlg->OnKeyDown(key, 1, 0); }
    void Menu(int command) {
        platform.menuAnswers.push_back(command);
        dlg->OnContextMenu(Point{-1, -1});
    }
    // M, and the model chosen in the open dialog.
    void Open(const std::string& path) {
        platform.openFileAnswers.push_back(path);
        Key('M');
    }
    // 0, and the texture file chosen in the open dialog.
    void LoadTexture(const std::string& path) {
        platform.openFileAnswers.push_back(path);
        Key('0');
    }
    // C, then a three-quarter view with the rotation keys: 20 degrees about x, -30 about y.
    void ThreeQuarterView() {
        Key('C');
        for (int i = 0; i < 8; ++i) Key(vk::INSERT);
        for (int i = 0; i < 12; ++i) Key(vk::NEXT);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) dlg->OnTimer(0);
    }
    const std::string& Title() const { return platform.title; }
    Pixels Picture() {
        dlg->OnPaint();
        return platform.ReadPixelsRgb();
    }

    ScriptedPlatform platform{kWidth, kHeight};
    std::unique_ptr<CViewerDlg> dlg;
};

void NameInOrxIni(const TempProfile& profile, const std::string& path) {
    WriteText(profile.File("ORX.INI"), "[LIFE]\nACTUAL=" + path + "\n");
}

// The picture of a viewer started fresh, showing `model` as the design program names
// it, after `keys`, in the three-quarter view. The settings are those the profile holds.
Pixels FreshPicture(const TempProfile& profile, const std::string& model,
                    const std::vector<unsigned>& keys = {}) {
    NameInOrxIni(profile, model);
    Window fresh;
    for (unsigned key : keys) fresh.Key(key);
    fresh.ThreeQuarterView();
    EXPECT_EQ(Probe(*fresh.dlg).m_strModelPath, model);
    return fresh.Picture();
}

TEST(UserSequences, WholeModelOpenedAfterPagingAPartsList) {
    TempProfile profile;
    Pixels whole;
    {
        Window w;  // nothing named: the demo runs until the first key
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
    EXPECT_LE(Differing(whole, FreshPicture(profile, kModels + "schrank3d.gl")), 20);
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
        TempProfile profile;
        NameInOrxIni(profile, kModels + "kommode3d.gl");
        Pixels opened;
        {
            Window w;
            for (unsigned key : c.keys) w.Key(key);
            for (int command : c.menu) w.Menu(command);
            const Pixels before = w.Picture();
            w.Open(kModels + "regal3d.gl");
            EXPECT_EQ(w.Title(), kTitle);
            w.ThreeQuarterView();
            opened = w.Picture();
            EXPECT_GT(Differing(before, opened), 500);
        }
        EXPECT_LE(Differing(opened, FreshPicture(profile, kModels + "regal3d.gl", c.freshKeys)),
                  20);
    }
}

TEST(UserSequences, TextureThatFailsAfterAGoodOneLeavesTheModelUntextured) {
    TempProfile profile;
    Picture red{16, 16, std::vector<uint8_t>(16 * 16 * 3)};
    for (size_t i = 0; i < red.rgb.size(); i += 3) red.rgb[i] = 230;
    WriteBytes(profile.File("rot.bmp"), MakeBmp(red));
    const std::string missing = profile.File("fehlt.jpg");
    NameInOrxIni(profile, kModels + "kommode3d.gl");

    Pixels afterFailure;
    {
        Window w;
        w.ThreeQuarterView();
        w.LoadTexture(profile.File("rot.bmp"));
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
        Window w;
        w.LoadTexture(missing);
        w.ThreeQuarterView();
        failedFirst = w.Picture();
    }
    EXPECT_LE(Differing(afterFailure, failedFirst), 20);
}

TEST(UserSequences, DemoStartedFromFollowModeShowsEachModelWithItsDrawnOptions) {
    TempProfile profile;
    NameInOrxIni(profile, kModels + "schrank3d.gl");
    Window w;
    ASSERT_EQ(w.Title(), kTitle);
    std::srand(11);  // the drawn options are the same in every run

    // The design program names a model that cannot be read (a folder of that name):
    // the slideshow starts instead.
    std::filesystem::create_directory(profile.File("weg3d.gl"));
    NameInOrxIni(profile, profile.File("weg3d.gl"));
    w.Ticks(100);
    ASSERT_GE(Probe(*w.dlg).m_nDemoTick, 0);

    // A model named while the demo runs does not interrupt it: follow mode has ended.
    NameInOrxIni(profile, kModels + "tisch3d.gl");
    int otherModes = 0;
    for (int step = 1; step <= 4; ++step) {
        w.Ticks(step == 1 ? 3 : 1001);
        SCOPED_TRACE("demo step " + std::to_string(step));
        const CViewerDlg& d = *w.dlg;
        const bool partsList = Probe(d).m_strModelPath == kModels + "teile2d.gl";
        EXPECT_EQ(w.Title(), kTitle + (partsList ? " Objekt 1 von 10" : "") + " DEMO (" +
                                 std::to_string(step) + "/6)");
        EXPECT_NE(Probe(d).m_strModelPath, kModels + "tisch3d.gl");
        if (Probe(d).m_nShading != 4 || Probe(d).m_nLightMode != 0) ++otherModes;

        // A fresh viewer with the drawn options as its settings (the demo stored the
        // texture number itself), the same model and the same camera.
        const Pixels shown = w.Picture();
        const std::string texture =
            ini::ReadString("common", "TexturNr", "", 254, profile.File("orx-view.ini"));
        WriteText(profile.File("orx-view.ini"),
                  "[common]\nTexturNr=" + texture +
                      "\nLightMode=" + std::to_string(Probe(d).m_nLightMode) +
                      "\nSchattierungen=" + std::to_string(Probe(d).m_nColourScheme) +
                      "\nAchsenkreuz=" + std::to_string(Probe(d).m_bShowAxes) +
                      "\nRaumkanten=" + std::to_string(Probe(d).m_bShowRoomEdges) +
                      "\nNullkanten=" + std::to_string(Probe(d).m_bShowZeroPlane) + "\n");
        NameInOrxIni(profile, Probe(d).m_strModelPath);
        {
            Window fresh;
            if (Probe(d).m_nShading != 4) fresh.Key(vk::F1 + unsigned(Probe(d).m_nShading - 1));
            for (int i = 0; i < 3; ++i) {
                Probe(*fresh.dlg).m_dAngle[i] = Probe(d).m_dAngle[i];
                Probe(*fresh.dlg).m_dOrigin[i] = Probe(d).m_dOrigin[i];
            }
            EXPECT_LE(Differing(shown, fresh.Picture()), 20);
        }
        w.platform.MakeCurrent();
        std::srand(unsigned(11 + step));  // the fresh viewer seeded the generator with the time
        NameInOrxIni(profile, kModels + "tisch3d.gl");
    }
    // The drawn options left the start-up's textured, unlit mode at least once.
    EXPECT_GT(otherModes, 0);
}

}  // namespace
}  // namespace orx::test
