// What a new user meets first: where the file dialogs open, the mouse wheel, and the
// marks of the context menu.
#include <gtest/gtest.h>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

// The entry of the menu with that command id, searched through the sub-menus.
const MenuItem* FindEntry(const MenuItem& popup, int id) {
    for (const MenuItem& item : popup.children) {
        if (item.kind == MenuItem::Command && item.id == id) return &item;
        if (item.kind == MenuItem::Popup)
            if (const MenuItem* found = FindEntry(item, id)) return found;
    }
    return nullptr;
}

bool Checked(const CViewerDlg& d, int id) {
    const MenuItem menu = d.ContextMenu();
    const MenuItem* entry = FindEntry(menu, id);
    return entry && entry->checked;
}

TEST(FirstUse, DialogsOpenInTheModelsFolderElseTheLastElseTheSampleModels) {
    ViewerRig rig;
    // The sample models' folder without models: no demo, no model on screen.
    std::filesystem::create_directories(rig.Prog() + "modelle");
    rig.Start();
    rig.Key('M');  // cancelled
    ASSERT_EQ(rig.platform.openDialogs.size(), 1u);
    EXPECT_EQ(rig.platform.openDialogs[0].initialFolder, rig.Prog() + "modelle/");

    // A model chosen elsewhere: its folder, for the texture dialog too.
    const std::string model = rig.Models() + "schrank3d.gl";
    WriteModel(model);
    rig.Open(model);
    rig.Key('0');
    ASSERT_EQ(rig.platform.openDialogs.size(), 3u);
    EXPECT_EQ(rig.platform.openDialogs[1].initialFolder, rig.Prog() + "modelle/");
    EXPECT_EQ(rig.platform.openDialogs[2].initialFolder, rig.Models());

    // Without a model on screen, the folder last chosen from, also after a restart.
    rig.Restart();
    ASSERT_TRUE(Probe(*rig.dlg).m_strModelPath.empty());
    rig.Key('0');
    EXPECT_EQ(rig.platform.openDialogs.back().initialFolder, rig.Models());
}

// The save dialogs by their key, a file chosen in each, and whether the user's pictures
// folder (else the documents folder) is where it falls back to.
struct SaveDialogRow {
    unsigned key;
    const char* file;
    bool pictures;
};
const SaveDialogRow kSaveDialogs[] = {{'S', "bild.png", true}, {'E', "modell.glb", false}};

TEST(FirstUse, SaveDialogsOpenInTheLastChosenElseTheModelsElseTheUsersFolder) {
    namespace fs = std::filesystem;
    for (const SaveDialogRow& row : kSaveDialogs) {
        SCOPED_TRACE(row.file);
        ViewerRig rig;
        const std::string user = rig.dir.path + "/user/", chosen = rig.dir.path + "/chosen/";
        const std::string locked = rig.dir.path + "/installed/";
        for (const std::string& folder : {user, chosen, locked}) fs::create_directories(folder);
        (row.pictures ? rig.platform.picturesFolder : rig.platform.documentsFolder) = user;
        WriteModel(locked + "regal3d.gl");
        fs::permissions(locked, fs::perms::owner_write | fs::perms::group_write,
                        fs::perm_options::remove);
        const auto folder = [&] {
            rig.Key(row.key);  // cancelled
            return rig.platform.saveDialogs.back().initialFolder;
        };
        rig.StartFollowing("schrank3d.gl");
        EXPECT_EQ(folder(), rig.Models());
        // A model where the user may not write, as the installed samples.
        rig.Open(locked + "regal3d.gl");
        EXPECT_EQ(folder(), user);
        // The folder chosen last, over the model's, also after a restart.
        rig.platform.saveFileAnswers.push_back(chosen + row.file);
        rig.Key(row.key);
        EXPECT_TRUE(fs::exists(chosen + row.file));
        EXPECT_EQ(folder(), chosen);
        rig.Restart();
        EXPECT_EQ(folder(), chosen);
        // One that is gone no longer counts.
        fs::remove_all(chosen);
        EXPECT_EQ(folder(), rig.Models());
        fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST(FirstUse, ThePictureDialogOffersTheTypeSavedLast) {
    ViewerRig rig;
    rig.StartFollowing("schrank3d.gl");
    const auto offered = [&] {
        rig.Key('S');  // cancelled
        const FileDialogSpec& spec = rig.platform.saveDialogs.back();
        return spec.defaultExt + " " + spec.initialName + " " + std::to_string(spec.selectedFilter);
    };
    EXPECT_EQ(offered(), "jpg *.jpg 0");
    rig.platform.saveFileAnswers.push_back(rig.Models() + "bild.PNG");
    rig.Key('S');
    EXPECT_EQ(offered(), "png *.png 2");
    // A type that cannot be saved is not kept.
    rig.platform.saveFileAnswers.push_back(rig.Models() + "bild.gif");
    rig.Key('S');
    EXPECT_EQ(rig.CountMessages("Extension unusable from " + rig.Models() + "bild.gif"), 1);
    rig.Restart();
    EXPECT_EQ(offered(), "png *.png 2");
}

TEST(FirstUse, TheWheelZoomsANotchAStepAndEndsTheDemo) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    rig.Start();
    const ViewerProbe p = Probe(*rig.dlg);
    ASSERT_GE(p.m_nDemoTick, 0);
    const double z = p.m_dOrigin[2];
    rig.dlg->OnMouseWheel(0, kWheelNotch, Point{5, 5});  // away from the user: nearer
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_NEAR(p.m_dOrigin[2], z + 0.1, 1e-12);
    rig.dlg->OnMouseWheel(0, -2 * kWheelNotch, Point{5, 5});
    EXPECT_NEAR(p.m_dOrigin[2], z - 0.1, 1e-12);
    // Fine wheels report parts of a notch: a step once they make one up.
    rig.dlg->OnMouseWheel(0, kWheelNotch / 2, Point{5, 5});
    EXPECT_NEAR(p.m_dOrigin[2], z - 0.1, 1e-12);
    rig.dlg->OnMouseWheel(0, kWheelNotch / 2, Point{5, 5});
    EXPECT_NEAR(p.m_dOrigin[2], z, 1e-12);
}

TEST(FirstUse, MenuMarksFollowKeysSettingsAndTheDemo) {
    ViewerRig rig;
    WriteText(rig.dir.File("orx-view.ini"),
              "[common]\nAchsenkreuz=1\nTexturNr=3\nSchattierungen=0x2\n");
    WriteModel(rig.Prog() + "a3d.gl");
    rig.Start();
    const CViewerDlg& d = *rig.dlg;
    // The settings read at start-up.
    EXPECT_TRUE(Checked(d, ID_AXES));
    EXPECT_FALSE(Checked(d, ID_WALLS));
    EXPECT_TRUE(Checked(d, ID_AUTOROTATE));
    EXPECT_TRUE(Checked(d, ID_MODE_TEXTURE));
    EXPECT_TRUE(Checked(d, ID_TEX_MAHAGONI));
    EXPECT_TRUE(Checked(d, ID_SCHEME_DESIGN));
    EXPECT_FALSE(Checked(d, ID_SCHEME_GREY));
    const MenuItem menu = d.ContextMenu();
    EXPECT_EQ(FindEntry(menu, ID_WALLS)->mark, MenuItem::CheckMark);
    EXPECT_EQ(FindEntry(menu, ID_MODE_WIRE)->mark, MenuItem::RadioMark);
    EXPECT_EQ(FindEntry(menu, ID_OPEN_MODEL)->mark, MenuItem::NoMark);

    // Keys.
    for (unsigned key : {unsigned('K'), unsigned('W'), unsigned('B'), vk::F2, unsigned('7')})
        rig.Key(key);
    EXPECT_FALSE(Checked(d, ID_AXES));
    EXPECT_TRUE(Checked(d, ID_WALLS));
    EXPECT_TRUE(Checked(d, ID_LIGHTING));
    EXPECT_TRUE(Checked(d, ID_MODE_TEXTURE));  // a texture key shows the texture
    EXPECT_FALSE(Checked(d, ID_MODE_WIRE));
    EXPECT_TRUE(Checked(d, ID_TEX_EICHE));
    EXPECT_FALSE(Checked(d, ID_TEX_MAHAGONI));
    rig.Key(vk::F2);
    EXPECT_TRUE(Checked(d, ID_MODE_WIRE));
    rig.Menu(ID_SCHEME_GREY);
    EXPECT_TRUE(Checked(d, ID_SCHEME_GREY));
    EXPECT_FALSE(Checked(d, ID_SCHEME_DESIGN));
    rig.Click();
    EXPECT_FALSE(Checked(d, ID_AUTOROTATE));

    // A demo step: the marks show the options it drew.
    rig.Key('P');
    rig.Ticks(3);
    const int modeIds[] = {ID_MODE_HAIRLINE, ID_MODE_WIRE, ID_MODE_SOLID, ID_MODE_TEXTURE};
    EXPECT_TRUE(Checked(d, modeIds[Probe(d).m_nShading - 1]));
    EXPECT_EQ(Checked(d, ID_AXES), Probe(d).m_bShowAxes);
    EXPECT_EQ(Checked(d, ID_LIGHTING), Probe(d).m_nLightMode != 0);
    EXPECT_EQ(Checked(d, ID_SCHEME_COLOUR), Probe(d).m_nColourScheme == 1);
    EXPECT_TRUE(Checked(d, ID_AUTOROTATE));
}

}  // namespace
}  // namespace orx::test
