// The timer handler and follow mode: the design program names its current model
// in ORX.INI and the viewer loads it and follows its changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

constexpr long kTime = 1500000000;

TEST(FollowMode, NamedModelLoadsAtCreationBeforeTheFirstTick) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    CViewerDlg& d = *rig.dlg;
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_EQ(Probe(d).m_nLiveStamp, kTime);
    EXPECT_EQ(Probe(d).m_nLiveTick, 0);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);
    EXPECT_LT(Probe(d).m_nDemoTick, 0);
    EXPECT_EQ(rig.platform.title.rfind("ORX-View", 0), 0u) << rig.platform.title;
    EXPECT_TRUE(rig.Messages().empty());
}

TEST(FollowMode, NewModificationTimeReloadsWithinAHundredTicks) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    CViewerDlg& d = *rig.dlg;
    ASSERT_EQ(Probe(d).m_nPartCount, 1);

    // Saved again by the design program: two parts now, a new time.
    WriteModel(model, 2);
    SetModificationTime(model, kTime + 60);
    rig.Ticks(99);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);
    rig.Ticks(1);
    EXPECT_EQ(Probe(d).m_nPartCount, 2);
    EXPECT_EQ(Probe(d).m_nLiveStamp, kTime + 60);
    EXPECT_EQ(Probe(d).m_nLiveTick, 0);
}

TEST(FollowMode, SameNameAndTimeReloadNothing) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    CViewerDlg& d = *rig.dlg;

    // The content changes but the time is put back: nothing tells the viewer.
    WriteModel(model, 3);
    SetModificationTime(model, kTime);
    rig.Ticks(350);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);

    // A different spelling of the same file counts as a new name.
    rig.NameInOrxIni(rig.Models() + "./schrank3d.gl");
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_nPartCount, 3);
    EXPECT_EQ(Probe(d).m_strModelPath, rig.Models() + "./schrank3d.gl");
}

TEST(FollowMode, NothingNamedDoesNothing) {
    const std::string cases[] = {
        "",                       // no ORX.INI at all
        "[OTHER]\nACTUAL=%s\n",   // wrong section
        "[LIFE]\nCURRENT=%s\n",   // wrong key
        "[LIFE]\nACTUAL=\n",      // empty value
        "[LIFE]\nACTUAL =   \n",  // blanks only
    };
    for (const std::string& pattern : cases) {
        SCOPED_TRACE(pattern);
        ViewerRig rig;
        const std::string model = rig.Models() + "schrank3d.gl";
        WriteModel(model);
        if (!pattern.empty()) {
            std::string text = pattern;
            const size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, model);
            WriteText(rig.dir.File("ORX.INI"), text);
        }
        // No model files in the program folder: the demo cannot start either.
        rig.Start();
        rig.platform.messages.clear();
        CViewerDlg& d = *rig.dlg;
        rig.Ticks(250);
        EXPECT_TRUE(Probe(d).m_strModelPath.empty());
        EXPECT_TRUE(Probe(d).m_bLiveFollow);
        EXPECT_EQ(Probe(d).m_nLiveTick, 50);  // the check still runs every 100 ticks
        EXPECT_TRUE(rig.Messages().empty());
    }
}

// The ways a design program may write ORX.INI that all name the model; %s stands
// for the model's path.
TEST(FollowMode, OrxIniSpellingsThatNameTheModel) {
    const std::string cases[] = {
        "[LIFE]\nACTUAL=%s\n",
        "[life]\r\n  actual = %s  \r\n",           // any case, blanks, CR LF
        "\xEF\xBB\xBF[LIFE]\r\nACTUAL=%s\r\n",     // a byte order mark
        "[OTHER]\nACTUAL=x\n[LIFE]\nACTUAL=%s\n",  // the section among others
    };
    for (const std::string& pattern : cases) {
        SCOPED_TRACE(pattern);
        ViewerRig rig;
        const std::string model = rig.Models() + "schrank3d.gl";
        WriteModel(model);
        std::string text = pattern;
        text.replace(text.find("%s"), 2, model);
        WriteText(rig.dir.File("ORX.INI"), text);
        rig.Start();
        EXPECT_EQ(Probe(*rig.dlg).m_strModelPath, model);
    }
}

TEST(FollowMode, RefusedNameShowsItsMessageOncePerChange) {
    ViewerRig rig;
    const std::string text = rig.Models() + "liste.txt";
    WriteText(text, "no model\n");
    SetModificationTime(text, kTime);
    rig.NameInOrxIni(text);
    rig.Start();
    CViewerDlg& d = *rig.dlg;
    EXPECT_EQ(rig.CountMessages("No *.gl -> NO 3D!"), 1);
    rig.Ticks(500);
    EXPECT_EQ(rig.CountMessages("No *.gl -> NO 3D!"), 1);
    EXPECT_TRUE(Probe(d).m_strModelPath.empty());

    // Saved again: one more attempt, one more message.
    SetModificationTime(text, kTime + 1);
    rig.Ticks(100);
    EXPECT_EQ(rig.CountMessages("No *.gl -> NO 3D!"), 2);
    rig.Ticks(300);
    EXPECT_EQ(rig.CountMessages("No *.gl -> NO 3D!"), 2);

    // Another refused name: its own message, once.
    const std::string unknown = rig.Models() + "tisch.gl";
    WriteModel(unknown);
    rig.NameInOrxIni(unknown);
    rig.Ticks(400);
    EXPECT_EQ(rig.CountMessages("Unbekanntes Dateiformat"), 1);

    // Back to the first refused name: the name changed, so it is tried again.
    rig.NameInOrxIni(text);
    rig.Ticks(100);
    EXPECT_EQ(rig.CountMessages("No *.gl -> NO 3D!"), 3);

    // A model that is accepted still loads at the next check.
    const std::string model = rig.Models() + "schrank3d.gl";
    WriteModel(model);
    rig.NameInOrxIni(model);
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);
}

TEST(FollowMode, UnreadableNamedModelStartsTheDemo) {
    // Named things that are there but cannot be read: accepted by name, and offered to
    // the open, whose failed read starts the demo while follow mode keeps watching for a
    // model it can read. Only a missing file is waited for without a read.
    struct Row {
        const char* what;
        std::function<std::string(ViewerRig&)> make;  // the named path
        bool rootReadsIt = false;                     // root may read it all the same: not for root
    };
    const std::vector<Row> rows = {
        {"a folder",
         [](ViewerRig& rig) {
             const std::string folder = rig.Models() + "weg3d.gl";
             std::filesystem::create_directory(folder);
             SetModificationTime(folder, kTime);
             return folder;
         }},
        {"a link to itself (stat fails with ELOOP)",
         [](ViewerRig& rig) {
             const std::string link = rig.Models() + "kreis3d.gl";
             std::filesystem::create_symlink(link, link);
             return link;
         }},
        {"a file in a folder that may not be searched (EACCES)",
         [](ViewerRig& rig) {
             const std::string folder = rig.Models() + "zu/";
             std::filesystem::create_directory(folder);
             WriteModel(folder + "tisch3d.gl");
             std::filesystem::permissions(folder, std::filesystem::perms::none);
             return folder + "tisch3d.gl";
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.rootReadsIt && ::geteuid() == 0) continue;
        ViewerRig rig;
        WriteModel(rig.Prog() + "a3d.gl");
        const std::string model = rig.StartFollowing("schrank3d.gl");
        CViewerDlg& d = *rig.dlg;
        ASSERT_EQ(Probe(d).m_strModelPath, model);
        const std::string named = row.make(rig);
        struct stat st {};
        const bool reachable = ::stat(named.c_str(), &st) == 0;
        rig.NameInOrxIni(named);
        rig.Ticks(100);
        EXPECT_EQ(Probe(d).m_strModelPath, named);
        EXPECT_EQ(Probe(d).m_nLiveStamp, reachable ? kTime : 0);
        EXPECT_TRUE(Probe(d).m_bLiveFollow);
        EXPECT_GE(Probe(d).m_nDemoTick, 0);
        // Named again unchanged, it is not tried again: the show goes on.
        rig.Ticks(1100);
        EXPECT_GE(Probe(d).m_nDemoTick, 0);
        EXPECT_NE(Probe(d).m_strModelPath, named);
        EXPECT_TRUE(rig.Messages().empty());
        std::error_code ec;  // lets the rig remove its folders
        std::filesystem::permissions(rig.Models() + "zu", std::filesystem::perms::owner_all, ec);
    }
}

TEST(FollowMode, WaitsForAModelThatIsDeletedAndWrittenAnew) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");  // a demo could start
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    CViewerDlg& d = *rig.dlg;
    ASSERT_EQ(Probe(d).m_nPartCount, 1);
    ASSERT_TRUE(Probe(d).m_bAutoRotate);

    // The design program deletes the file to save it; checks meet the gap.
    std::filesystem::remove(model);
    rig.Click();  // auto-rotation off: no frame is asked for by turning
    const int invalidations = rig.platform.invalidations;
    rig.Ticks(300);
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);
    EXPECT_LT(Probe(d).m_nDemoTick, 0);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);
    EXPECT_EQ(rig.platform.invalidations, invalidations);  // nothing was rebuilt
    EXPECT_EQ(Probe(d).m_nLiveTick, 0);
    EXPECT_TRUE(rig.Messages().empty());

    // Written anew within the same second as before: the next check loads it.
    WriteModel(model, 2);
    SetModificationTime(model, kTime);
    rig.Ticks(99);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);
    rig.Ticks(1);
    EXPECT_EQ(Probe(d).m_nPartCount, 2);
    EXPECT_EQ(Probe(d).m_nLiveStamp, kTime);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);

    // And it is followed from there on.
    WriteModel(model, 3);
    SetModificationTime(model, kTime + 5);
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_nPartCount, 3);
    EXPECT_TRUE(rig.Messages().empty());
}

TEST(FollowMode, NamedModelMissingAtStartUp) {
    // With model files in the program folder the build without a model starts the demo.
    {
        ViewerRig rig;
        WriteModel(rig.Prog() + "a3d.gl");
        rig.NameInOrxIni(rig.Models() + "schrank3d.gl");
        rig.Start();
        EXPECT_TRUE(Probe(*rig.dlg).m_strModelPath.empty());
        EXPECT_GE(Probe(*rig.dlg).m_nDemoTick, 0);
        EXPECT_TRUE(Probe(*rig.dlg).m_bLiveFollow);
        // Once written, the model ends the show.
        WriteModel(rig.Models() + "schrank3d.gl");
        rig.Ticks(100);
        EXPECT_EQ(Probe(*rig.dlg).m_strModelPath, rig.Models() + "schrank3d.gl");
        EXPECT_LT(Probe(*rig.dlg).m_nDemoTick, 0);
    }
    // Without them the viewer waits, and loads the file once it is there.
    ViewerRig rig;
    const std::string model = rig.Models() + "schrank3d.gl";
    rig.NameInOrxIni(model);
    rig.Start();
    CViewerDlg& d = *rig.dlg;
    EXPECT_TRUE(Probe(d).m_strModelPath.empty());
    EXPECT_LT(Probe(d).m_nDemoTick, 0);
    EXPECT_TRUE(Probe(d).m_bLiveFollow);
    rig.Ticks(200);
    EXPECT_TRUE(Probe(d).m_strModelPath.empty());
    WriteModel(model, 2);
    rig.Ticks(100);
    EXPECT_EQ(Probe(d).m_strModelPath, model);
    EXPECT_EQ(Probe(d).m_nPartCount, 2);
}

TEST(TimerService, InactiveTimerAdvancesNothing) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    const std::string model = rig.StartFollowing("schrank3d.gl");
    CViewerDlg& d = *rig.dlg;
    Probe(d).m_nDemoTick = 500;  // as if a demo ran
    Probe(d).m_demoFiles = {rig.Prog() + "a3d.gl"};
    Probe(d).m_nDemoIndex = 0;
    WriteModel(model, 2);
    SetModificationTime(model, kTime);

    const double angleX = Probe(d).m_dAngle[0], angleY = Probe(d).m_dAngle[1];
    Probe(d).m_bTimerActive = 0;
    rig.Ticks(1200);
    EXPECT_EQ(Probe(d).m_dAngle[0], angleX);
    EXPECT_EQ(Probe(d).m_dAngle[1], angleY);
    EXPECT_EQ(Probe(d).m_nLiveTick, 0);
    EXPECT_EQ(Probe(d).m_nDemoTick, 500);
    EXPECT_EQ(Probe(d).m_nPartCount, 1);
    EXPECT_EQ(Probe(d).m_nTimerBusy, 0);

    Probe(d).m_bTimerActive = 1;
    rig.Ticks(1);
    EXPECT_EQ(Probe(d).m_nLiveTick, 1);
    EXPECT_EQ(Probe(d).m_nDemoTick, 501);
}

TEST(TimerService, AutoRotationTurnsEveryTick) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl");
    CViewerDlg& d = *rig.dlg;
    ASSERT_TRUE(Probe(d).m_bAutoRotate);
    // The timer call at creation took the first step.
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], -0.5);
    // Turned by keys first: each step goes on from there.
    for (int i = 0; i < 4; ++i) rig.Key(vk::INSERT);  // +10 about x
    for (int i = 0; i < 8; ++i) rig.Key(vk::PRIOR);   // +20 about y
    const double x = Probe(d).m_dAngle[0], y = Probe(d).m_dAngle[1];
    const int before = rig.platform.invalidations;
    rig.Ticks(4);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], y - 2.0);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[0], x - 1.0);
    EXPECT_EQ(Probe(d).m_dAngle[2], 1.0);
    EXPECT_EQ(rig.platform.invalidations, before + 4);

    rig.Click();  // auto-rotation off
    rig.Ticks(10);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], y - 2.0);
}

TEST(TimerService, TickInsideAMessageBoxOfAStepDoesNothing) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl");
    CViewerDlg& d = *rig.dlg;

    // The next follow check meets a refused name and shows its box; ticks keep
    // arriving while it is up.
    WriteText(rig.Models() + "liste.txt", "no model\n");
    rig.NameInOrxIni(rig.Models() + "liste.txt");
    rig.Ticks(99);
    const double angleY = Probe(d).m_dAngle[1];
    int nested = 0;
    int busyInside = 0;
    double angleInside = 0;
    int liveTickInside = 0;
    rig.platform.whileModal = [&] {
        for (int i = 0; i < 5; ++i) d.OnTimer(0);
        ++nested;
        busyInside = Probe(d).m_nTimerBusy;
        angleInside = Probe(d).m_dAngle[1];
        liveTickInside = Probe(d).m_nLiveTick;
    };
    rig.Ticks(1);
    ASSERT_EQ(nested, 1);
    EXPECT_EQ(busyInside, 1);
    // The follow check comes before the rotation step: the box is up before this
    // tick turns the model, and the nested ticks turn nothing.
    EXPECT_EQ(angleInside, angleY);
    EXPECT_EQ(liveTickInside, 100);
    EXPECT_DOUBLE_EQ(Probe(d).m_dAngle[1], angleY - 0.5);
    EXPECT_EQ(Probe(d).m_nTimerBusy, 0);
    EXPECT_EQ(Probe(d).m_nLiveTick, 0);
}

}  // namespace
}  // namespace orx::test
