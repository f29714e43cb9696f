#pragma once
// Shared test helpers: a private temporary folder that serves as profile folder,
// and small file utilities.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

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
    // The folder of `owner`, not removed by this one; set as XDG_CONFIG_HOME again.
    static TempProfile SharedWith(const TempProfile& owner) { return TempProfile(owner.path); }
    TempProfile(TempProfile&& other) noexcept : path(std::move(other.path)), owned(other.owned) {
        other.owned = false;
    }
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;
    TempProfile& operator=(TempProfile&&) = delete;
    ~TempProfile() {
        if (!owned) return;
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::string File(const std::string& name) const { return path + "/" + name; }
    std::string path;

private:
    explicit TempProfile(std::string shared) : path(std::move(shared)), owned(false) {
        ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    bool owned = true;
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
