// The timer handler and follow mode: the design program names its current model
// in ORX.INI and the viewer loads it and follows its changes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

constexpr long kTime = 1500000000;

// Rewrites the file in place and puts its modification time back, as a tool that
// keeps times does. Written again until the status-change time has moved on from
// `before` (the system's clock for it runs in steps of a few milliseconds).
void RewriteKeepingTime(const std::string& path, const std::string& text, long time,
                        const timespec& before) {
    struct stat st {};
    for (int attempt = 0; attempt < 100000; ++attempt) {
        WriteText(path, text);
        SetModificationTime(path, time);
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        if (st.st_ctim.tv_sec != before.tv_sec || st.st_ctim.tv_nsec != before.tv_nsec) return;
    }
    FAIL() << "the status-change time of " << path << " did not move";
}

TEST(FollowMode, NamedModelLoadsAtCreationAndReloadsWheneverTheFileChanges) {
    ViewerRig rig;
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    const ViewerProbe p = Probe(*rig.dlg);
    // Loaded before the first tick.
    EXPECT_EQ(p.m_strModelPath, model);
    EXPECT_EQ(p.m_nLiveStamp, kTime);
    EXPECT_EQ(p.m_nLiveTick, 0);
    EXPECT_TRUE(p.m_bLiveFollow);
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_EQ(rig.Title().rfind("ORX-View", 0), 0u) << rig.Title();
    EXPECT_TRUE(rig.Messages().empty());

    // Unchanged, the file is never read again.
    const uint64_t read = p.m_modelCache.Generation();
    rig.Ticks(300);
    EXPECT_EQ(p.m_modelCache.Generation(), read);

    // Rewritten in place with the time put back, and again at the same size: only the
    // status-change time tells, and the next check loads it each time.
    const std::string record = std::string(kBlockRecord) + "\n";
    const std::string two = "ORX test model\n" + record + record;
    const std::string one = "ORX test model" + std::string(record.size(), ' ') + "\n" + record;
    RewriteKeepingTime(model, two, kTime, p.m_liveIdentity.ctime);
    rig.Ticks(99);
    EXPECT_EQ(p.m_nPartCount, 1);
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 2);
    EXPECT_EQ(p.m_nLiveStamp, kTime);
    RewriteKeepingTime(model, one, kTime, p.m_liveIdentity.ctime);
    rig.Ticks(100);
    EXPECT_EQ(p.m_nPartCount, 1);

    // Saved again by the design program: two parts, a new time, seen at the next check.
    WriteModel(model, 2);
    SetModificationTime(model, kTime + 60);
    rig.Ticks(99);
    EXPECT_EQ(p.m_nPartCount, 1);
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 2);
    EXPECT_EQ(p.m_nLiveStamp, kTime + 60);
    EXPECT_EQ(p.m_nLiveTick, 0);

    // A different spelling of the same file counts as a new name, at the same time.
    WriteModel(model, 3);
    SetModificationTime(model, kTime + 60);
    rig.NameInOrxIni(rig.Models() + "./schrank3d.gl");
    rig.Ticks(100);
    EXPECT_EQ(p.m_nPartCount, 3);
    EXPECT_EQ(p.m_strModelPath, rig.Models() + "./schrank3d.gl");
}

// The ways a design program may write ORX.INI; %s stands for the model's path.
TEST(FollowMode, OrxIniSpellingsThatNameTheModelOrNothing) {
    const struct {
        const char* text;  // nullptr: no ORX.INI at all
        bool names;
    } rows[] = {
        {"[LIFE]\nACTUAL=%s\n", true},
        {"[life]\r\n  actual = %s  \r\n", true},           // any case, blanks, CR LF
        {"\xEF\xBB\xBF[LIFE]\r\nACTUAL=%s\r\n", true},     // a byte order mark
        {"[OTHER]\nACTUAL=x\n[LIFE]\nACTUAL=%s\n", true},  // the section among others
        {nullptr, false},
        {"[OTHER]\nACTUAL=%s\n", false},   // wrong section
        {"[LIFE]\nCURRENT=%s\n", false},   // wrong key
        {"[LIFE]\nACTUAL=\n", false},      // empty value
        {"[LIFE]\nACTUAL =   \n", false},  // blanks only
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text ? row.text : "no ORX.INI");
        ViewerRig rig;
        const std::string model = rig.Models() + "schrank3d.gl";
        WriteModel(model);
        if (row.text != nullptr) {
            std::string text = row.text;
            const size_t at = text.find("%s");
            if (at != std::string::npos) text.replace(at, 2, model);
            WriteText(rig.dir.File("ORX.INI"), text);
        }
        // No model files in the program folder: the demo cannot start either.
        rig.Start();
        rig.platform.messages.clear();
        rig.Ticks(250);
        EXPECT_EQ(Probe(*rig.dlg).m_strModelPath, row.names ? model : "");
        EXPECT_TRUE(Probe(*rig.dlg).m_bLiveFollow);
        EXPECT_EQ(Probe(*rig.dlg).m_nLiveTick, 50);  // the check still runs every 100 ticks
        EXPECT_TRUE(rig.Messages().empty());
    }
}

TEST(FollowMode, RefusedNameShowsItsMessageOncePerChange) {
    ViewerRig rig;
    const std::string text = rig.Models() + "liste.txt";
    WriteText(text, "no model\n");
    SetModificationTime(text, kTime);
    rig.NameInOrxIni(text);
    rig.Start();
    const std::string refused = "No *.gl -> NO 3D!";
    EXPECT_EQ(rig.CountMessages(refused), 1);
    rig.Ticks(500);
    EXPECT_EQ(rig.CountMessages(refused), 1);
    EXPECT_TRUE(Probe(*rig.dlg).m_strModelPath.empty());

    // Saved again: one more attempt, one more message.
    SetModificationTime(text, kTime + 1);
    rig.Ticks(100);
    EXPECT_EQ(rig.CountMessages(refused), 2);
    rig.Ticks(300);
    EXPECT_EQ(rig.CountMessages(refused), 2);

    // Another refused name: its own message, once.
    WriteModel(rig.Models() + "tisch.gl");
    rig.NameInOrxIni(rig.Models() + "tisch.gl");
    rig.Ticks(400);
    EXPECT_EQ(rig.CountMessages("Unbekanntes Dateiformat"), 1);

    // Back to the first refused name: the name changed, so it is tried again.
    rig.NameInOrxIni(text);
    rig.Ticks(100);
    EXPECT_EQ(rig.CountMessages(refused), 3);

    // A model that is accepted still loads at the next check.
    const std::string model = rig.Models() + "schrank3d.gl";
    WriteModel(model);
    rig.NameInOrxIni(model);
    rig.Ticks(100);
    EXPECT_EQ(Probe(*rig.dlg).m_strModelPath, model);
    EXPECT_TRUE(Probe(*rig.dlg).m_bLiveFollow);
}

TEST(FollowMode, UnreadableNamedModelStartsTheDemo) {
    // Named things that are there but cannot be read: accepted by name, and offered to
    // the open, whose failed read starts the demo while follow mode keeps watching for a
    // model it can read. Only a missing file is waited for without a read.
    enum Kind { Folder, LinkToItself, InClosedFolder };
    const std::pair<Kind, const char*> rows[] = {
        {Folder, "a folder"},
        {LinkToItself, "a link to itself (stat fails with ELOOP)"},
        {InClosedFolder, "a file in a folder that may not be searched (EACCES)"}};
    for (const auto& [kind, what] : rows) {
        SCOPED_TRACE(what);
        if (kind == InClosedFolder && ::geteuid() == 0) continue;  // root reads it all the same
        ViewerRig rig;
        WriteModel(rig.Prog() + "a3d.gl");
        const std::string model = rig.StartFollowing("schrank3d.gl");
        const ViewerProbe p = Probe(*rig.dlg);
        ASSERT_EQ(p.m_strModelPath, model);
        const std::string zu = rig.Models() + "zu/";
        const std::string named = kind == Folder         ? rig.Models() + "weg3d.gl"
                                  : kind == LinkToItself ? rig.Models() + "kreis3d.gl"
                                                         : zu + "tisch3d.gl";
        if (kind == Folder) {
            std::filesystem::create_directory(named);
            SetModificationTime(named, kTime);
        }
        if (kind == LinkToItself) std::filesystem::create_symlink(named, named);
        if (kind == InClosedFolder) {
            WriteModel(named);
            std::filesystem::permissions(zu, std::filesystem::perms::none);
        }
        struct stat st {};
        const bool reachable = ::stat(named.c_str(), &st) == 0;
        rig.NameInOrxIni(named);
        rig.Ticks(100);
        EXPECT_EQ(p.m_strModelPath, named);
        EXPECT_EQ(p.m_nLiveStamp, reachable ? kTime : 0);
        EXPECT_TRUE(p.m_bLiveFollow);
        EXPECT_GE(p.m_nDemoTick, 0);
        // Named again unchanged, it is not tried again: the show goes on.
        rig.Ticks(1100);
        EXPECT_GE(p.m_nDemoTick, 0);
        EXPECT_NE(p.m_strModelPath, named);
        EXPECT_TRUE(rig.Messages().empty());
        std::error_code ec;  // lets the rig remove its folders
        std::filesystem::permissions(rig.Models() + "zu", std::filesystem::perms::owner_all, ec);
    }
}

TEST(FollowMode, WaitsForAModelThatIsDeletedAndWrittenAnew) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");  // a demo could start
    const std::string model = rig.StartFollowing("schrank3d.gl", 1, kTime);
    const ViewerProbe p = Probe(*rig.dlg);
    ASSERT_EQ(p.m_nPartCount, 1);

    // The design program deletes the file to save it; checks meet the gap.
    std::filesystem::remove(model);
    rig.Click();  // auto-rotation off: no frame is asked for by turning
    const int invalidations = rig.platform.invalidations;
    rig.Ticks(300);
    EXPECT_EQ(p.m_strModelPath, model);
    EXPECT_TRUE(p.m_bLiveFollow);
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_EQ(p.m_nPartCount, 1);
    EXPECT_EQ(rig.platform.invalidations, invalidations);  // nothing was rebuilt
    EXPECT_EQ(p.m_nLiveTick, 0);

    // Written anew within the same second as before: the next check loads it.
    WriteModel(model, 2);
    SetModificationTime(model, kTime);
    rig.Ticks(99);
    EXPECT_EQ(p.m_nPartCount, 1);
    rig.Ticks(1);
    EXPECT_EQ(p.m_nPartCount, 2);
    EXPECT_EQ(p.m_nLiveStamp, kTime);
    EXPECT_TRUE(p.m_bLiveFollow);

    // And it is followed from there on.
    WriteModel(model, 3);
    SetModificationTime(model, kTime + 5);
    rig.Ticks(100);
    EXPECT_EQ(p.m_nPartCount, 3);
    EXPECT_TRUE(rig.Messages().empty());
}

TEST(FollowMode, NamedModelMissingAtStartUpIsLoadedOnceWritten) {
    // With model files in the program folder the start-up without a model shows the
    // demo until the model is written; without them the viewer waits.
    for (const bool demoFiles : {true, false}) {
        SCOPED_TRACE(demoFiles ? "demo" : "no demo");
        ViewerRig rig;
        if (demoFiles) WriteModel(rig.Prog() + "a3d.gl");
        const std::string model = rig.Models() + "schrank3d.gl";
        rig.NameInOrxIni(model);
        rig.Start();
        const ViewerProbe p = Probe(*rig.dlg);
        EXPECT_TRUE(p.m_strModelPath.empty());
        EXPECT_EQ(p.m_nDemoTick >= 0, demoFiles);
        EXPECT_TRUE(p.m_bLiveFollow);
        rig.Ticks(200);
        EXPECT_EQ(p.m_strModelPath.empty(), !demoFiles);
        WriteModel(model, 2);
        rig.Ticks(100);
        EXPECT_EQ(p.m_strModelPath, model);
        EXPECT_EQ(p.m_nPartCount, 2);
        EXPECT_LT(p.m_nDemoTick, 0);
    }
}

TEST(TimerService, TicksWhileTheAboutBoxIsUpAdvanceNothing) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "a3d.gl");
    const std::string model = rig.Models() + "schrank3d.gl";
    rig.NameInOrxIni(model);
    rig.Start();  // the model is missing: the demo runs, follow mode waits, the model turns
    const ViewerProbe p = Probe(*rig.dlg);
    ASSERT_GE(p.m_nDemoTick, 0);
    WriteModel(model, 2);
    const double angleX = p.m_dAngle[0], angleY = p.m_dAngle[1];
    const int liveTick = p.m_nLiveTick, demoTick = p.m_nDemoTick;
    // The menu itself is no dialog of the viewer's: ticks count only once the box is up.
    rig.platform.whileModal = [&] {
        if (!rig.platform.aboutTexts.empty()) rig.Ticks(1200);
    };
    rig.Menu(ID_ABOUT);
    rig.platform.whileModal = nullptr;
    EXPECT_EQ(p.m_dAngle[0], angleX);
    EXPECT_EQ(p.m_dAngle[1], angleY);
    EXPECT_EQ(p.m_nLiveTick, liveTick);
    EXPECT_EQ(p.m_nDemoTick, demoTick);
    EXPECT_TRUE(p.m_strModelPath.empty());
    EXPECT_EQ(p.m_nTimerBusy, 0);

    rig.Ticks(1);
    EXPECT_EQ(p.m_nLiveTick, liveTick + 1);
    EXPECT_EQ(p.m_nDemoTick, demoTick + 1);
}

TEST(TimerService, AutoRotationTurnsEveryTick) {
    ViewerRig rig;
    rig.StartFollowing("schrank3d.gl");
    const ViewerProbe p = Probe(*rig.dlg);
    ASSERT_TRUE(p.m_bAutoRotate);
    // The timer call at creation took the first step.
    EXPECT_DOUBLE_EQ(p.m_dAngle[1], -0.5);
    // Turned by keys first: each step goes on from there.
    for (int i = 0; i < 4; ++i) rig.Key(vk::INSERT);  // +10 about x
    for (int i = 0; i < 8; ++i) rig.Key(vk::PRIOR);   // +20 about y
    const double x = p.m_dAngle[0], y = p.m_dAngle[1];
    const int before = rig.platform.invalidations;
    rig.Ticks(4);
    EXPECT_DOUBLE_EQ(p.m_dAngle[1], y - 2.0);
    EXPECT_DOUBLE_EQ(p.m_dAngle[0], x - 1.0);
    EXPECT_EQ(p.m_dAngle[2], 1.0);
    EXPECT_EQ(rig.platform.invalidations, before + 4);

    rig.Click();  // auto-rotation off
    rig.Ticks(10);
    EXPECT_DOUBLE_EQ(p.m_dAngle[1], y - 2.0);
}

TEST(TimerService, TickInsideAMessageBoxOfAStepDoesNothing) {
    ViewerRig rig;
    rig.StartFollowing("schrank3d.gl");
    const ViewerProbe p = Probe(*rig.dlg);
    // The next follow check meets a refused name and shows its box; ticks keep
    // arriving while it is up.
    WriteText(rig.Models() + "liste.txt", "no model\n");
    rig.NameInOrxIni(rig.Models() + "liste.txt");
    rig.Ticks(99);
    const double angleY = p.m_dAngle[1];
    int nested = 0, busyInside = 0, liveTickInside = 0;
    double angleInside = 0;
    rig.platform.whileModal = [&] {
        rig.Ticks(5);
        ++nested;
        busyInside = p.m_nTimerBusy;
        angleInside = p.m_dAngle[1];
        liveTickInside = p.m_nLiveTick;
    };
    rig.Ticks(1);
    ASSERT_EQ(nested, 1);
    EXPECT_EQ(busyInside, 1);
    // The follow check comes before the rotation step: the box is up before this
    // tick turns the model, and the nested ticks turn nothing.
    EXPECT_EQ(angleInside, angleY);
    EXPECT_EQ(liveTickInside, 100);
    EXPECT_DOUBLE_EQ(p.m_dAngle[1], angleY - 0.5);
    EXPECT_EQ(p.m_nTimerBusy, 0);
    EXPECT_EQ(p.m_nLiveTick, 0);
}

}  // namespace
}  // namespace orx::test
