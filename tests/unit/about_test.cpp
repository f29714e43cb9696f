// The About box: its text, and the timer services around it.
#include "ui/About.h"

#include <gtest/gtest.h>

#include <functional>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

// The text the About box shows when the user opens it from the context menu.
TEST(AboutBox, ShownTextInItsOrderWithTheVersion) {
    ViewerRig rig;
    rig.Start();
    rig.Menu(ID_ABOUT);
    ASSERT_EQ(rig.platform.aboutTexts.size(), 1u);
    const std::string& info = rig.platform.aboutTexts[0];
    // The web address, then the labelled lines in their order.
    size_t at = info.find(kWebAddress);
    ASSERT_NE(at, std::string::npos);
    for (const char* label : {"WWW\t", "EAMIL\t", "TEL\t", "FAX\t"}) {
        at = info.find(label, at);
        ASSERT_NE(at, std::string::npos) << label << " missing or out of order";
    }
    EXPECT_NE(info.find("\n\n"), std::string::npos);  // empty lines between the blocks
    // The last line names the version the build sets.
    EXPECT_EQ(info.substr(info.rfind('\n') + 1), std::string("Version ") + ORX_VERSION);
    EXPECT_EQ(std::string(CAboutDlg::kCaption), "ORX-SOFT");
    EXPECT_EQ(std::string(CAboutDlg::kProductLine), "ORX-View ORX-SOFT openGL Viewer");
}

// Opened from the context menu the About box stops the turning until OK; opened from
// the window menu it lets the model turn on behind it.
TEST(AboutBox, TheModelTurnsBehindItOnlyFromTheWindowMenu) {
    const struct {
        const char* what;
        std::function<void(ViewerRig&)> open;
        double turnedInBox;
    } rows[] = {
        {"context menu", [](ViewerRig& rig) { rig.Menu(ID_ABOUT); }, 0.0},
        // The low four bits of a window command are not looked at.
        {"window menu", [](ViewerRig& rig) { rig.dlg->OnSysCommand(IDM_ABOUTBOX | 0x3); }, -25.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ViewerRig rig;
        rig.StartFollowing("a3d.gl");
        const CViewerDlg& d = *rig.dlg;
        ASSERT_TRUE(Probe(d).m_bAutoRotate);
        double turnedInBox = 1;
        rig.platform.whileModal = [&] {
            const double before = Probe(d).m_dAngle[1];
            rig.Ticks(50);
            turnedInBox = Probe(d).m_dAngle[1] - before;
        };
        row.open(rig);
        ASSERT_EQ(rig.platform.aboutTexts.size(), 1u);
        EXPECT_DOUBLE_EQ(turnedInBox, row.turnedInBox);
        EXPECT_EQ(Probe(d).m_bTimerActive, 1);
        rig.platform.whileModal = nullptr;
        const double after = Probe(d).m_dAngle[1];
        rig.Ticks(1);
        EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], after - 0.5);  // turning after OK
        rig.dlg->OnSysCommand(0xF060);                        // other window commands show nothing
        EXPECT_EQ(rig.platform.aboutTexts.size(), 1u);
    }
}

}  // namespace
}  // namespace orx::test
