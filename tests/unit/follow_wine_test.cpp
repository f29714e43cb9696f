// Follow mode with a design program under Wine (its ORX.INI in the prefix, Windows
// paths in it), and checks asked for when the front end notices a save.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

namespace fs = std::filesystem;
constexpr long kTime = 1500000000;

void SetTimeNs(const std::string& path, long seconds, long nanoseconds) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// A Wine prefix in the rig's folder with drive C and its ORX.INI.
struct WinePrefix {
    std::string path;
    explicit WinePrefix(const std::string& folder) : path(folder + "/wine") {
        fs::create_directories(path + "/dosdevices");
        fs::create_directories(path + "/drive_c/windows");
        fs::create_symlink("../drive_c", path + "/dosdevices/c:");
    }
    void NameInOrxIni(const std::string& value, const std::string& fileName = "ORX.INI") const {
        WriteText(path + "/drive_c/windows/" + fileName, "[LIFE]\r\nACTUAL=" + value + "\r\n");
    }
};

TEST(FollowWine, ModelNamedInThePrefixsOrxIniIsShownAndFollowed) {
    ViewerRig rig;
    const WinePrefix wine(rig.dir.path);
    rig.platform.winePrefix = wine.path;
    // Wine keeps the case the program used; the folder was made as "Auftraege".
    const std::string model = wine.path + "/drive_c/Auftraege/regal3d.gl";
    WriteModel(model, 1);
    SetModificationTime(model, kTime);
    wine.NameInOrxIni("C:\\auftraege\\regal3d.gl", "orx.ini");
    rig.Start();
    CViewerDlg& d = *rig.dlg;
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);
    EXPECT_EQ(Probe(d).m_strLiveIni, wine.path + "/drive_c/windows/orx.ini");
    EXPECT_EQ(d.FollowedFiles(), (std::vector<std::string>{Probe(d).m_strLiveIni, model}));
    EXPECT_TRUE(rig.Messages().empty());

    WriteModel(model, 2);
    SetModificationTime(model, kTime + 1);
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_nPartCount, 2);

    // A name that no drive maps counts as a missing file: no message, nothing loaded,
    // the viewer keeps waiting.
    wine.NameInOrxIni("\\\\server\\modelle\\tisch3d.gl", "orx.ini");
    rig.Ticks(300);
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);
    EXPECT_LT(Probe(d).m_nDemoTick, 0);
    EXPECT_TRUE(rig.Messages().empty());

    // An ORX.INI in the profile folder wins over the prefix's.
    const std::string own = rig.Models() + "schrank3d.gl";
    WriteModel(own, 3);
    rig.NameInOrxIni(own);
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_strModelPath, own);
    EXPECT_EQ(Probe(d).m_nPartCount, 3);
}

TEST(FollowWine, DriveTableAndTheRulesOfTheMappedName) {
    ViewerRig rig;
    const std::string kunden = rig.dir.path + "/kunden";
    const std::string model = kunden + "/M\xC3\xBCller/m\xC3\xBCller2d.gl";
    WriteText(rig.dir.File("orx-view.ini"), "[Laufwerke]\nN:=" + kunden + "\n");
    WriteModel(model, 2);
    WriteModel(kunden + "/notiz.txt", 1);
    // Windows-1252 and another letter case from the design program; the kind
    // ("2d", a parts list) is read from the mapped name.
    rig.NameInOrxIni("N:\\M\xDCLLER\\M\xFCller2D.GL");
    rig.Start();
    CViewerDlg& d = *rig.dlg;
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_EQ(Probe(d).m_nPartCount, 2);
    EXPECT_EQ(Probe(d).m_nPart, 1);  // the first part of a parts list
    EXPECT_TRUE(rig.Messages().empty());

    // The ".gl" test applies to the mapped name: refused with the usual message.
    rig.NameInOrxIni("N:\\notiz.txt");
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{"No *.gl -> NO 3D!"});
}

TEST(FollowRequest, ANoticedChangeIsCheckedAtTheNextTickAndABurstLoadsOnce) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    const ViewerProbe p = Probe(*rig.dlg);
    rig.Click();  // auto-rotation off: frames are asked for by loads alone
    rig.Ticks(10);

    WriteModel(model, 2);
    SetModificationTime(model, kTime + 1);
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 1);  // without a request, not yet
    rig.dlg->RequestFollowCheck();
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 2);
    EXPECT_EQ(p.m_nLiveTick, 0);

    // A second save within the same second: its nanoseconds tell it apart. What one
    // load redraws is counted here.
    int invalidations = rig.platform.invalidations;
    WriteModel(model, 3);
    SetTimeNs(model, kTime + 1, 500000000);
    rig.dlg->RequestFollowCheck();
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 3);
    EXPECT_EQ(p.m_nLiveStamp, kTime + 1);
    const int perLoad = rig.platform.invalidations - invalidations;
    ASSERT_GT(perLoad, 0);
    invalidations = rig.platform.invalidations;

    // The design program writes its model in four steps, each noticed, and then the
    // front end's quiet time has passed: one tick, one load of the finished file.
    for (int step = 1; step <= 4; ++step) {
        WriteModel(model, step + 3);
        SetTimeNs(model, kTime + 2, step * 1000);
        rig.dlg->RequestFollowCheck();
    }
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 7);
    EXPECT_EQ(rig.platform.invalidations, invalidations + perLoad);
    // Later checks, asked for or in their turn, find nothing new.
    rig.dlg->RequestFollowCheck();
    rig.Ticks(250);
    EXPECT_EQ(rig.platform.invalidations, invalidations + perLoad);

    // A model opened by the user ends follow mode: requests load nothing.
    const std::string opened = rig.Models() + "regal3d.gl";
    WriteModel(opened, 4);
    rig.Open(opened);
    ASSERT_FALSE(p.m_bLiveFollow);
    EXPECT_TRUE(rig.dlg->FollowedFiles().empty());
    WriteModel(model, 1);
    SetModificationTime(model, kTime + 9);
    rig.dlg->RequestFollowCheck();
    rig.Ticks(150);
    EXPECT_EQ(p.m_strModelPath, opened);
    EXPECT_EQ(p.m_nPartCount, 4);
}

}  // namespace
}  // namespace orx::test
