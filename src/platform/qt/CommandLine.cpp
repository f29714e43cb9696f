#include "platform/qt/CommandLine.h"

#ifndef ORX_VERSION
#error "ORX_VERSION must be defined by the build (project version in CMakeLists.txt)"
#endif

namespace orx {

namespace {

CommandLine Failure(std::string text) {
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(text);
    return result;
}

// `path` as an absolute path; leading "./" components of a relative path are dropped.
std::string Absolute(std::string path, const std::string& currentFolder) {
    if (path.front() == '/') return path;
    while (path.size() > 2 && path.compare(0, 2, "./") == 0) {
        size_t next = 2;
        while (next < path.size() && path[next] == '/') ++next;
        path.erase(0, next);
    }
    std::string folder = currentFolder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder != "/") folder += '/';
    return folder + path;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::string& currentFolder) {
    CommandLine result;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (option) {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--help" || arg == "-h") {
                return CommandLine{CommandLine::Action::Help, "", ""};
            } else if (arg == "--version") {
                return CommandLine{CommandLine::Action::Version, "", ""};
            } else {
                return Failure("unknown option '" + arg + "'");
            }
            continue;
        }
        if (arg.empty()) return Failure("an empty file name was given");
        if (!result.modelPath.empty())
            return Failure("only one model file can be opened, '" + arg + "' is one too many");
        if (arg.front() != '/' && currentFolder.empty())
            return Failure("the current folder is unknown, so '" + arg +
                           "' cannot be found; name the file with its full path");
        result.modelPath = Absolute(arg, currentFolder);
    }
    return result;
}

const char* CommandLineUsage() {
    return "usage: orx-view [MODEL.gl]\n"
           "Shows a furniture model (.gl file) in 3D. Without a model the viewer follows the\n"
           "model that the design program names in ORX.INI, or else runs a demo of the\n"
           "sample models.\n"
           "  --help       this text\n"
           "  --version    the program's version\n";
}

std::string VersionText() { return std::string("orx-view ") + ORX_VERSION; }

}  // namespace orx
