// A model named on the command line: opened at start-up as one confirmed in the open
// dialog would be, in place of the design program's model and of the demo.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

// Starts the viewer as orx-view does with a model on its command line.
void StartWith(ViewerRig& rig, const std::string& model) {
    rig.Construct().SetStartModel(model);
    rig.Start();
}

TEST(StartModel, OpensInsteadOfTheFollowedModelAndTheDemo) {
    ViewerRig rig;
    WriteModel(rig.Prog() + "demo3d.gl");  // the demo would have a file to show
    const std::string followed = rig.Models() + "schrank3d.gl";
    WriteModel(followed);
    rig.NameInOrxIni(followed);
    const std::string model = rig.Models() + "teile2d.gl";
    WriteModel(model, 3);
    StartWith(rig, model);
    const ViewerProbe p = Probe(*rig.dlg);
    EXPECT_EQ(p.m_strModelPath, model);
    EXPECT_FALSE(p.m_bLiveFollow);
    EXPECT_LT(p.m_nDemoTick, 0);
    EXPECT_EQ(p.m_nPart, 1);
    EXPECT_EQ(p.m_nPartCount, 3);
    EXPECT_EQ(p.m_nShading, 4);  // the stored texture was applied after the open
    EXPECT_NE(rig.Title().find("Objekt 1 von 3"), std::string::npos) << rig.Title();
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_EQ(rig.platform.timerPeriod, 10u);

    // Neither the design program's model nor a demo step replaces it later on, also
    // when the design program names a new model.
    WriteModel(rig.Models() + "neu3d.gl");
    rig.NameInOrxIni(rig.Models() + "neu3d.gl");
    rig.Ticks(1100);
    EXPECT_EQ(p.m_strModelPath, model);
    EXPECT_EQ(rig.Title().find("DEMO"), std::string::npos) << rig.Title();
}

TEST(StartModel, PictureIsThatOfTheSameModelNamedByTheDesignProgram) {
    ViewerRig first;
    const std::string model = first.Models() + "block3d.gl";
    WriteModel(model);
    StartWith(first, model);
    const Pixels fromCommandLine = first.Picture();
    EXPECT_NE(first.platform.PixelAt(160, 120), first.platform.PixelAt(0, 0))
        << "no model in the picture";
    first.Close();

    ViewerRig second;
    second.StartFollowing("block3d.gl");
    ASSERT_TRUE(Probe(*second.dlg).m_bLiveFollow);
    EXPECT_TRUE(second.Picture() == fromCommandLine);
}

// A model that cannot be opened is named in a message; the viewer then goes on as
// without one: it follows the design program's model.
TEST(StartModel, AModelThatCannotBeOpenedIsNamedAndTheViewerFollowsAsWithoutOne) {
    enum Kind { Missing, Folder, Unreadable, NotGl, UnknownKind };
    struct Case {
        Kind kind;
        const char* name;
        const char* before;  // the message: before the quoted path, then after it
        const char* after;
    };
    const Case cases[] = {
        {Missing, "weg3d.gl", "Die Modelldatei \u201E", "\u201C gibt es nicht."},
        {Folder, "ordner3d.gl", "\u201E", "\u201C ist ein Ordner, keine Modelldatei."},
        {Unreadable, "gesperrt3d.gl", "Die Modelldatei \u201E",
         "\u201C kann nicht gelesen werden (keine Leseberechtigung)."},
        {NotGl, "liste.txt", "No *.gl -> NO 3D!", nullptr},
        {UnknownKind, "model.gl", "Unbekanntes Dateiformat", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ViewerRig rig;
        WriteModel(rig.Prog() + "demo3d.gl");
        const std::string followed = rig.Models() + "schrank3d.gl";
        WriteModel(followed);
        rig.NameInOrxIni(followed);
        const std::string named = rig.Models() + c.name;
        if (c.kind == Folder) std::filesystem::create_directory(named);
        if (c.kind == Unreadable || c.kind == NotGl || c.kind == UnknownKind) WriteModel(named);
        if (c.kind == Unreadable) {
            std::filesystem::permissions(named, std::filesystem::perms::none);
            if (::access(named.c_str(), R_OK) == 0) continue;  // root reads it anyway
        }
        StartWith(rig, named);
        const std::string message = c.after ? c.before + named + c.after : c.before;
        EXPECT_EQ(rig.Messages(), std::vector<std::string>{message});
        EXPECT_TRUE(Probe(*rig.dlg).m_bLiveFollow);
        EXPECT_EQ(Probe(*rig.dlg).m_strModelPath, followed);
        EXPECT_LT(Probe(*rig.dlg).m_nDemoTick, 0);
    }
}

}  // namespace
}  // namespace orx::test
