// Display list 1 is compiled by the frame that needs it, and only when its inputs
// changed: the compiles of each kind of operation, that every changed input still
// compiles, and that the list a frame calls after each operation is, call for call,
// the list that compiling at every build leaves.
#include <GL/gl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ImageSupport.h"
#include "RecordingSink.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// A record line of `type` with `outlines` outlines of `n` points, shifted by `at`.
std::string Record(int type, int n, int outlines, double at) {
    std::string line = std::to_string(type) + " 3 " + std::to_string(n);
    for (int o = 0; o < outlines; ++o) {
        for (int i = 0; i < n; ++i) {
            line += Format(" %g %g %g", at + (i % 4) * 10 + o * 100, at + (i % 3) * 20,
                           (i < n / 2 ? 0.0 : 30.0) + at);
        }
    }
    return line + "\n";
}

// A whole model with one record of each type; "X" marks a digit that a rewrite
// changes without changing the size.
std::string WholeModel(char digit) {
    return "header\n" + Record(8, 8, 1, 0) + Record(6, 6, 1, 50) + Record(10, 10, 2, 200) +
           Record(12, 12, 2, 400) + "8 3 8 0 0 0 " + digit +
           "0 0 0 10 10 0 0 10 0 0 0 20 10 0 20 10 10 20 0 10 20\n";
}

const char* const kPartsList =
    "header\n8 3 8 0 0 0 10 0 0 10 10 0 0 10 0 0 0 5 10 0 5 10 10 5 0 10 5\n"
    "6 3 6 0 0 0 4 0 0 2 4 0 0 0 9 4 0 9 2 4 9\n"
    "8 3 8 1 1 1 2 1 1 2 2 1 1 2 1 1 1 2 2 1 2 2 2 2 1 2 2\n";

// A viewer with two numbered textures in its program folder, a whole model named in
// "ORX.INI", a parts list and a BMP texture; its list recorded. Constructed, not yet
// started. With `reuse` false it compiles list 1 at every build: the reference that
// the viewer which leaves builds out is compared with.
class ListViewer : public ViewerRig {
public:
    RecordingSink recorder;
    const std::string model = Prog() + "modelle/schrank3d.gl";
    const std::string parts = Prog() + "modelle/teile2d.gl";
    const std::string bmp = dir.path + "/holz.bmp";

    explicit ListViewer(bool reuse = true) : ViewerRig(800, 600) {
        WriteNumberedTexture(1, 0xC86432);
        WriteNumberedTexture(5, 0x14283C);
        WriteText(model, WholeModel('1'));
        WriteText(parts, kPartsList);
        WriteBytes(bmp, MakeBmp(Gradient(4, 4)));
        NameInOrxIni(model);
        RecordTo(recorder);
        Construct();
        Probe(*dlg).m_bReuseModelList = reuse;
    }
    // The frame that the invalidation of an operation brings.
    void Frame() { dlg->OnPaint(); }
    // A key and the frame after it.
    void Press(unsigned code) {
        Key(code);
        Frame();
    }
    // Starts the slideshow with a known draw of options and runs it to its next step.
    void DemoStep(unsigned seed) {
        std::srand(seed);
        if (Probe(*dlg).m_nDemoTick < 0) Key('P');
        const int index = Probe(*dlg).m_nDemoIndex;
        for (int tick = 0; tick < 2000 && Probe(*dlg).m_nDemoIndex == index; ++tick) Ticks(1);
        Frame();
    }
};

// Everything an operation leaves that the build takes part in: list 1 as recorded,
// and the rest as text with the scenario's own folder (a new one each run) as "<dir>".
struct Outcome {
    std::optional<std::vector<GlCall>> list;
    std::string rest;
};

Outcome Observe(ListViewer& w) {
    const ViewerProbe p = Probe(*w.dlg);
    std::ostringstream out;
    out << std::setprecision(17) << "list in OpenGL " << (glIsList(1) == GL_TRUE) << "\nbounds";
    const double* bounds = &p.m_bounds.maxX;
    for (int i = 0; i < 10; ++i) out << ' ' << bounds[i];
    out << "\npart " << p.m_nPart << " of " << p.m_nPartCount << "\nscale " << p.m_fScale[0] << ' '
        << p.m_fScale[1] << ' ' << p.m_fScale[2] << "\ntitle " << w.platform.title;
    for (const auto& m : w.platform.messages) out << "\nmessage " << m.text;
    out << "\ndemo tick " << p.m_nDemoTick << ", files " << p.m_demoFiles.size()
        << "\ninvalidations " << w.platform.invalidations << "\nmodel " << p.m_strModelPath;
    std::string text = out.str();
    const std::string& folder = w.dir.path;
    for (size_t at; (at = text.find(folder)) != std::string::npos;)
        text.replace(at, folder.size(), "<dir>");
    return {w.recorder.list, text};
}

void ExpectSame(const Outcome& every, const Outcome& fewer) {
    EXPECT_EQ(every.rest, fewer.rest);
    ASSERT_EQ(every.list.has_value(), fewer.list.has_value());
    if (!every.list) return;
    ASSERT_EQ(every.list->size(), fewer.list->size());
    for (size_t i = 0; i < every.list->size(); ++i)
        ASSERT_EQ((*every.list)[i], (*fewer.list)[i]) << "call " << i;
}

// Moves the file's modification time by one nanosecond, the finest step a time
// stamp has, or by a second where the file system keeps coarser times.
void StepModificationTime(const std::string& path, const struct stat& before) {
    timespec times[2] = {before.st_atim, before.st_mtim};
    times[1].tv_nsec = (before.st_mtim.tv_nsec + 1) % 1000000000;
    if (times[1].tv_nsec == 0) ++times[1].tv_sec;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat after {};
    ::stat(path.c_str(), &after);
    if (after.st_mtim.tv_sec == before.st_mtim.tv_sec &&
        after.st_mtim.tv_nsec == before.st_mtim.tv_nsec) {
        times[1] = before.st_mtim;
        ++times[1].tv_sec;
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
}

// One operation of a scenario: its name and what it does.
struct Step {
    std::string name;
    std::function<void(ListViewer&)> run;
};

// Runs the steps on a fresh viewer; the outcome and the builds of each step.
std::vector<std::pair<Outcome, int>> RunSteps(bool reuse, const std::vector<Step>& steps) {
    ListViewer w(reuse);
    std::vector<std::pair<Outcome, int>> result;
    for (const Step& step : steps) {
        const int builds = w.recorder.builds;
        step.run(w);
        w.Frame();
        result.emplace_back(Observe(w), w.recorder.builds - builds);
        EXPECT_EQ(w.recorder.stray, 0) << step.name;
    }
    return result;
}

// The operations a user runs, each on what the ones before left.
std::vector<Step> UserSession() {
    return {
        {"start-up with a model named in ORX.INI", [](ListViewer& w) { w.Start(); }},
        {"F3 solid", [](ListViewer& w) { w.Press(vk::F3); }},
        {"colour scheme coloured", [](ListViewer& w) { w.Menu(ID_SCHEME_COLOUR); }},
        {"O design colours", [](ListViewer& w) { w.Press('O'); }},
        {"colour scheme grey", [](ListViewer& w) { w.Menu(ID_SCHEME_GREY); }},
        {"B lighting", [](ListViewer& w) { w.Press('B'); }},
        {"K axes", [](ListViewer& w) { w.Press('K'); }},
        {"W walls", [](ListViewer& w) { w.Press('W'); }},
        {"N zero plane", [](ListViewer& w) { w.Press('N'); }},
        {"F background, cancelled", [](ListViewer& w) { w.Press('F'); }},
        {"F background, chosen",
         [](ListViewer& w) {
             w.platform.colourAnswers.push_back(Rgb{10, 20, 30});
             w.Press('F');
         }},
        {"F1 hairlines", [](ListViewer& w) { w.Press(vk::F1); }},
        {"F2 wireframe", [](ListViewer& w) { w.Press(vk::F2); }},
        {"F4 textured", [](ListViewer& w) { w.Press(vk::F4); }},
        {"5 texture", [](ListViewer& w) { w.Press('5'); }},
        {"5 texture again", [](ListViewer& w) { w.Press('5'); }},
        {"0 load texture", [](ListViewer& w) { w.LoadTexture(w.bmp); }},
        {"0 load texture, cancelled", [](ListViewer& w) { w.Press('0'); }},
        {"resize", [](ListViewer& w) { w.dlg->OnSize(0, 640, 480); }},
        {"M open the parts list", [](ListViewer& w) { w.Open(w.parts); }},
        {"X next part", [](ListViewer& w) { w.Press('X'); }},
        {"X next part", [](ListViewer& w) { w.Press('X'); }},
        {"X at the last part", [](ListViewer& w) { w.Press('X'); }},
        {"Y previous part", [](ListViewer& w) { w.Press('Y'); }},
        {"F3 solid on a part", [](ListViewer& w) { w.Press(vk::F3); }},
        {"M open the whole model again", [](ListViewer& w) { w.Open(w.model); }},
        {"M a refused name", [](ListViewer& w) { w.Open(w.dir.File("model.gl")); }},
        {"model rewritten, same size, time one step on; B lighting",
         [](ListViewer& w) {
             struct stat before {};
             ::stat(w.model.c_str(), &before);
             WriteText(w.model, WholeModel('7'));
             StepModificationTime(w.model, before);
             w.Press('B');
         }},
        {"model removed; K axes",
         [](ListViewer& w) {
             std::filesystem::rename(w.model, w.model + ".away");
             w.Press('K');
         }},
        {"model back; K axes",
         [](ListViewer& w) {
             std::filesystem::rename(w.model + ".away", w.model);
             w.Press('K');
         }},
        {"P demo, first step", [](ListViewer& w) { w.DemoStep(7); }},
        {"demo, next step", [](ListViewer& w) { w.DemoStep(8); }},
        {"demo, next step", [](ListViewer& w) { w.DemoStep(9); }},
    };
}

TEST(ModelList, EveryOperationLeavesTheListThatBuildingEveryTimeLeaves) {
    const std::vector<Step> steps = UserSession();
    const auto every = RunSteps(false, steps);
    const auto fewer = RunSteps(true, steps);
    ASSERT_EQ(every.size(), steps.size());
    ASSERT_EQ(fewer.size(), steps.size());
    int builtEvery = 0, builtFewer = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(steps[i].name);
        ASSERT_TRUE(every[i].first.list.has_value());
        ExpectSame(every[i].first, fewer[i].first);
        EXPECT_LE(fewer[i].second, every[i].second);
        builtEvery += every[i].second;
        builtFewer += fewer[i].second;
    }
    // The session does change the list: it is not one list all along.
    EXPECT_NE(*every.front().first.list, *every[1].first.list);
    EXPECT_LT(builtFewer, builtEvery);
}

TEST(ModelList, EachOperationCompilesAtMostOnceAtItsFrame) {
    ListViewer w;
    // Operation, then its frame; the compiles counted over both.
    const struct {
        const char* name;
        std::function<void()> run;
        int compiles;
    } rows[] = {
        {"start-up with a model named in ORX.INI", [&] { w.Start(); }, 1},
        {"a second frame", [] {}, 0},
        {"F3 solid", [&] { w.Press(vk::F3); }, 1},
        {"K axes", [&] { w.Press('K'); }, 1},
        {"B lighting", [&] { w.Press('B'); }, 0},
        {"F background",
         [&] {
             w.platform.colourAnswers.push_back(Rgb{1, 2, 3});
             w.Press('F');
         },
         0},
        {"resize", [&] { w.dlg->OnSize(0, 640, 480); }, 0},
        {"M open", [&] { w.Open(w.parts); }, 1},
        {"demo step", [&] { w.DemoStep(3); }, 1},
        {"demo step", [&] { w.DemoStep(4); }, 1},
        {"demo step", [&] { w.DemoStep(5); }, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const int before = w.recorder.builds;
        w.platform.busyChanges.clear();
        row.run();
        w.Frame();
        EXPECT_EQ(w.recorder.builds - before, row.compiles);
        // The busy pointer came once and went with the work; without work it stays away.
        const std::vector<bool> busy =
            row.compiles > 0 ? std::vector<bool>{true, false} : std::vector<bool>{};
        EXPECT_EQ(w.platform.busyChanges, busy);
        EXPECT_FALSE(Probe(*w.dlg).m_bBusy);
    }
    EXPECT_NE(w.platform.title.find("DEMO"), std::string::npos);

    // Until its frame an operation compiles nothing: the window is shown first.
    ListViewer fresh;
    fresh.Start();
    EXPECT_EQ(fresh.recorder.builds, 0);
    EXPECT_TRUE(fresh.dlg->ModelListWaiting());
    EXPECT_NE(fresh.platform.title.find("ORX-View"), std::string::npos);
    fresh.Frame();
    EXPECT_EQ(fresh.recorder.builds, 1);
    EXPECT_FALSE(fresh.dlg->ModelListWaiting());
}

// No message box under the busy pointer: an unreadable model starts the slideshow,
// which finds no models and says so.
TEST(ModelList, NoMessageUnderTheBusyPointer) {
    ListViewer w;
    std::filesystem::remove(w.model);
    std::filesystem::remove(w.parts);
    bool busyDuringMessage = false;
    w.platform.whileModal = [&] { busyDuringMessage |= Probe(*w.dlg).m_bBusy; };
    w.Start();
    w.Frame();
    ASSERT_FALSE(w.platform.messages.empty());
    EXPECT_EQ(w.platform.messages.back().text, "Nothing found!");
    EXPECT_FALSE(busyDuringMessage);
    EXPECT_FALSE(Probe(*w.dlg).m_bBusy);
}

TEST(ModelList, AChangedInputIsNeverLeftOut) {
    ListViewer w;
    w.Start();
    w.Press('B');  // lighting: the list stays
    ASSERT_TRUE(w.recorder.list.has_value());

    // The model file changed on disk with its size kept: each change is seen.
    const struct {
        const char* how;
        char digit;
        bool newInode;
        std::function<void(const std::string&, const struct stat&)> change;
    } changes[] = {
        {"rewritten in place, its time one step on", '9', false,
         [](const std::string& path, const struct stat& before) {
             StepModificationTime(path, before);
         }},
        {"rewritten in place, its old time put back (touch -r)", '3', false,
         [](const std::string& path, const struct stat& before) {
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         }},
        {"replaced by another file (a new inode) with the same time", '5', true,
         [](const std::string& path, const struct stat& before) {
             std::filesystem::copy_file(path, path + ".new");
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ASSERT_EQ(::utimensat(AT_FDCWD, (path + ".new").c_str(), times, 0), 0);
             std::filesystem::rename(path + ".new", path);
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.how);
        const std::vector<GlCall> old = *w.recorder.list;
        struct stat before {};
        ::stat(w.model.c_str(), &before);
        WriteText(w.model, WholeModel(c.digit));
        c.change(w.model, before);
        struct stat after {};
        ::stat(w.model.c_str(), &after);
        ASSERT_EQ(after.st_size, before.st_size);
        ASSERT_EQ(after.st_ino != before.st_ino, c.newInode);
        const int builds = w.recorder.builds;
        w.Press('B');
        EXPECT_EQ(w.recorder.builds, builds + 1);
        EXPECT_NE(*w.recorder.list, old);
    }
    // A texture file changed on disk and selected again; a texture loaded.
    {
        const std::vector<GlCall> old = *w.recorder.list;
        ASSERT_TRUE(w.WriteNumberedTexture(1, 0x00FF00));
        const int builds = w.recorder.builds;
        w.Press('1');
        EXPECT_EQ(w.recorder.builds, builds + 1);
        ASSERT_NE(w.recorder.list->at(1), old.at(1));  // the image at the head of the list
        EXPECT_EQ(w.recorder.list->at(1).kind, GlCall::TexImage2D);
        EXPECT_EQ(w.recorder.list->at(1).w, 8);

        const std::vector<GlCall> numbered = *w.recorder.list;
        w.LoadTexture(w.bmp);
        w.Frame();
        EXPECT_EQ(w.recorder.builds, builds + 2);
        EXPECT_EQ(w.recorder.list->at(1).w, 4);
    }
    // Paging a parts list.
    {
        w.Open(w.parts);
        w.Frame();
        const std::vector<GlCall> first = *w.recorder.list;
        const int builds = w.recorder.builds;
        w.Press('X');
        EXPECT_EQ(Probe(*w.dlg).m_nPart, 2);
        EXPECT_EQ(w.recorder.builds, builds + 1);
        EXPECT_NE(*w.recorder.list, first);
    }
    // The list gone from OpenGL (a context lost with it): built again.
    {
        glDeleteLists(1, 1);
        const int builds = w.recorder.builds;
        w.Press('B');
        EXPECT_EQ(w.recorder.builds, builds + 1);
        EXPECT_TRUE(glIsList(1));
    }
    // A build that cannot read its file tries again every time and starts the
    // slideshow; its list, without the model, is compiled once.
    {
        std::filesystem::remove(w.parts);
        const int builds = w.recorder.builds;
        w.Press('B');
        EXPECT_GE(Probe(*w.dlg).m_nDemoTick, 0);
        const int generation = static_cast<int>(Probe(*w.dlg).m_modelCache.Generation());
        w.Press('B');
        EXPECT_EQ(w.recorder.builds, builds + 1);
        EXPECT_NE(static_cast<int>(Probe(*w.dlg).m_modelCache.Generation()), generation);
        for (const GlCall& call : *w.recorder.list) EXPECT_NE(call.kind, GlCall::Vertex3d);
    }
}

// The bounds, part count and scale that a build left out leaves are those the
// build itself would leave, even when something changed them since.
TEST(ModelList, ALeftOutBuildLeavesWhatTheBuildWould) {
    ListViewer w;
    w.Start();
    w.Frame();
    const ModelBounds built = Probe(*w.dlg).m_bounds;
    const int parts = Probe(*w.dlg).m_nPartCount;
    Probe(*w.dlg).m_bounds = ModelBounds{9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    Probe(*w.dlg).m_nPartCount = 77;
    Probe(*w.dlg).m_fScale[0] = 3.0f;
    const int builds = w.recorder.builds;
    w.Press('B');
    EXPECT_EQ(w.recorder.builds, builds);
    EXPECT_EQ(Probe(*w.dlg).m_bounds.extent, built.extent);
    EXPECT_EQ(Probe(*w.dlg).m_bounds.minZ, built.minZ);
    EXPECT_EQ(Probe(*w.dlg).m_bounds.centreY, built.centreY);
    EXPECT_EQ(Probe(*w.dlg).m_nPartCount, parts);
    EXPECT_EQ(Probe(*w.dlg).m_fScale[0], 1.0f);
}

}  // namespace
}  // namespace orx::test
