// The About box: its text, and the timer services around it.
#include "ui/About.h"

#include <gtest/gtest.h>

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
    const size_t family = info.find(kWebAddress);
    const size_t www = info.find("WWW\t");
    const size_t mail = info.find("EAMIL\t");
    const size_t tel = info.find("TEL\t");
    const size_t fax = info.find("FAX\t");
    ASSERT_NE(family, std::string::npos);
    EXPECT_LT(family, www);
    EXPECT_LT(www, mail);
    EXPECT_LT(mail, tel);
    EXPECT_LT(tel, fax);
    EXPECT_NE(info.find("\n\n"), std::string::npos);  // empty lines between the blocks
    // The last line names the version the build sets.
    EXPECT_EQ(info.substr(info.rfind('\n') + 1), std::string("Version ") + ORX_VERSION);
    EXPECT_EQ(std::string(CAboutDlg::kCaption), "ORX-SOFT");
    EXPECT_EQ(std::string(CAboutDlg::kProductLine), "ORX-View ORX-SOFT openGL Viewer");
}

TEST(AboutBox, FromTheMenuTheModelStandsStillUntilOk) {
    ViewerRig rig;
    rig.StartFollowing("a3d.gl");
    CViewerDlg& d = *rig.dlg;
    ASSERT_TRUE(Probe(d).m_bAutoRotate);
    double angleInBox = 0;
    rig.platform.whileModal = [&] {
        const double before = Probe(d).m_dAngle[1];
        for (int i = 0; i < 50; ++i) d.OnTimer(0);
        angleInBox = Probe(d).m_dAngle[1] - before;
    };
    d.OnCommand(ID_ABOUT);
    ASSERT_EQ(rig.platform.aboutTexts.size(), 1u);
    EXPECT_EQ(angleInBox, 0.0);
    EXPECT_EQ(Probe(d).m_bTimerActive, 1);
    rig.platform.whileModal = nullptr;
    const double after = Probe(d).m_dAngle[1];
    rig.Ticks(1);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], after - 0.5);  // turning again after OK
}

TEST(AboutBox, FromTheWindowMenuTheModelKeepsTurning) {
    ViewerRig rig;
    rig.StartFollowing("a3d.gl");
    CViewerDlg& d = *rig.dlg;
    double angleInBox = 0;
    rig.platform.whileModal = [&] {
        const double before = Probe(d).m_dAngle[1];
        for (int i = 0; i < 50; ++i) d.OnTimer(0);
        angleInBox = Probe(d).m_dAngle[1] - before;
    };
    d.OnSysCommand(IDM_ABOUTBOX | 0x3);  // the low four bits are not looked at
    ASSERT_EQ(rig.platform.aboutTexts.size(), 1u);
    EXPECT_DOUBLE_EQ(angleInBox, -25.0);
    d.OnSysCommand(0xF060);  // other window commands show nothing
    EXPECT_EQ(rig.platform.aboutTexts.size(), 1u);
}

}  // namespace
}  // namespace orx::test
