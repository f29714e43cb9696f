#pragma once
// Shared test helpers: a private temporary folder that serves as profile folder,
// and small file utilities.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace orx::test {

// A fresh folder, removed again at the end; set as XDG_CONFIG_HOME while it lives.
class TempProfile {
public:
    TempProfile() {
        char pattern[] = "/tmp/orx-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path = made ? made : "/tmp";
        ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    ~TempProfile() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

inline void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace orx::test
