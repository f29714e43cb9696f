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
