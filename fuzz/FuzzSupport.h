#pragma once
// Shared by the fuzz targets: a headless platform that swallows message boxes and
// a scratch file for inputs that the code under test reads from disk.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ScriptedPlatform.h"

namespace orx::fuzz {

inline ScriptedPlatform& Platform() {
    static ScriptedPlatform* platform = [] {
        static char folder[] = "/dev/shm/orx-fuzz-XXXXXX";
        ::setenv("XDG_CONFIG_HOME", ::mkdtemp(folder), 1);
        auto* p = new ScriptedPlatform(64, 64);
        SetMessagePlatform(p);
        return p;
    }();
    platform->messages.clear();
    return *platform;
}

// Writes data to a file with the given extension in the profile folder; returns its path.
inline std::string ScratchFile(const uint8_t* data, size_t size, const std::string& extension) {
    Platform();
    const std::string path = std::string(std::getenv("XDG_CONFIG_HOME")) + "/input" + extension;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}

}  // namespace orx::fuzz
