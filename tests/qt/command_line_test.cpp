// The command line of orx-view, case by case: what each argument list asks for and
// which model path results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/qt/CommandLine.h"

namespace orx {
namespace {

using Action = CommandLine::Action;

struct Case {
    std::vector<std::string> args;
    std::string currentFolder;
    Action action;
    std::string modelPath;  // for Run
    std::string errorPart;  // for Error: a part of the message
};

TEST(CommandLine, ArgumentTable) {
    const std::string home = "/home/anna/modelle";
    const std::vector<Case> cases = {
        // No argument: the viewer starts as always.
        {{}, home, Action::Run, "", ""},
        // One model, absolute or relative to the current folder.
        {{"/data/schrank3d.gl"}, home, Action::Run, "/data/schrank3d.gl", ""},
        {{"schrank3d.gl"}, home, Action::Run, "/home/anna/modelle/schrank3d.gl", ""},
        {{"./neu/tisch3d.gl"}, home, Action::Run, "/home/anna/modelle/neu/tisch3d.gl", ""},
        {{"../alt/regal3d.gl"}, home, Action::Run, "/home/anna/modelle/../alt/regal3d.gl", ""},
        {{"schrank3d.gl"}, "/", Action::Run, "/schrank3d.gl", ""},
        {{"schrank3d.gl"}, "/srv/", Action::Run, "/srv/schrank3d.gl", ""},
        // Blanks and non-ASCII bytes pass unchanged; the name's acceptance is the viewer's.
        {{"Küche alt 3d.gl"}, home, Action::Run, "/home/anna/modelle/Küche alt 3d.gl", ""},
        {{"liste.txt"}, home, Action::Run, "/home/anna/modelle/liste.txt", ""},
        // "-" alone is a file name; after "--" everything is.
        {{"-"}, home, Action::Run, "/home/anna/modelle/-", ""},
        {{"--", "-x3d.gl"}, home, Action::Run, "/home/anna/modelle/-x3d.gl", ""},
        {{"--", "--help"}, home, Action::Run, "/home/anna/modelle/--help", ""},
        // Help and version win over what follows them, not over an earlier error.
        {{"--help"}, home, Action::Help, "", ""},
        {{"-h"}, home, Action::Help, "", ""},
        {{"--version"}, home, Action::Version, "", ""},
        {{"a3d.gl", "--help"}, home, Action::Help, "", ""},
        {{"--version", "--bogus"}, home, Action::Version, "", ""},
        {{"--bogus", "--help"}, home, Action::Error, "", "unknown option '--bogus'"},
        // Usage errors.
        {{"-platform", "xcb"}, home, Action::Error, "", "unknown option '-platform'"},
        {{"--Help"}, home, Action::Error, "", "unknown option '--Help'"},
        {{"a3d.gl", "b3d.gl"}, home, Action::Error, "", "'b3d.gl' is one too many"},
        {{"a3d.gl", "--", "b3d.gl"}, home, Action::Error, "", "'b3d.gl' is one too many"},
        {{""}, home, Action::Error, "", "empty file name"},
        // Without a current folder only a full path can be found.
        {{"a3d.gl"}, "", Action::Error, "", "full path"},
        {{"/data/a3d.gl"}, "", Action::Run, "/data/a3d.gl", ""},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& a : c.args) label += "[" + a + "] ";
        SCOPED_TRACE(label + "in " + c.currentFolder);
        const CommandLine result = ParseCommandLine(c.args, c.currentFolder);
        EXPECT_EQ(result.action, c.action);
        EXPECT_EQ(result.modelPath, c.modelPath);
        if (c.action == Action::Error) {
            EXPECT_NE(result.error.find(c.errorPart), std::string::npos) << result.error;
            EXPECT_EQ(result.error.find('\n'), std::string::npos) << "not one line";
        } else {
            EXPECT_TRUE(result.error.empty());
        }
    }
}

TEST(CommandLine, UsageNamesEveryOptionAndVersionNamesTheProgram) {
    const std::string usage = CommandLineUsage();
    EXPECT_EQ(usage.rfind("usage: orx-view [MODEL.gl]\n", 0), 0u);
    EXPECT_NE(usage.find("--help"), std::string::npos);
    EXPECT_NE(usage.find("--version"), std::string::npos);
    EXPECT_EQ(usage.back(), '\n');
    EXPECT_EQ(VersionText().rfind("orx-view ", 0), 0u);
    EXPECT_GT(VersionText().size(), std::string("orx-view ").size());
}

}  // namespace
}  // namespace orx
