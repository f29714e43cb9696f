#pragma once
// The command line of orx-view: at most one model file, --help and --version.
// Parsed before the application object exists, so that help, version and usage
// errors need no display.
#include <string>
#include <vector>

namespace orx {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The model to open at start-up, as an absolute path; empty for none.
    std::string modelPath;
    // One line without the program name, for Action::Error.
    std::string error;
};

// `args` are the arguments after the program name; a relative model path is taken
// relative to `currentFolder`. "--" ends the options, so a file whose name begins
// with "-" can be named after it.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::string& currentFolder);

// The usage text (several lines, ending in a newline) and the version line.
const char* CommandLineUsage();
std::string VersionText();

}  // namespace orx
