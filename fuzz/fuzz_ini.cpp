// An ini file through the reader, then a write that must keep it parseable.
#include <string>

#include "FuzzSupport.h"
#include "ui/IniFile.h"
#include "ui/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = orx::fuzz::ScratchFile(data, size, ".ini");
    const std::string folder = path.substr(0, path.rfind('/'));
    orx::CProfile profile(folder, "input.ini", 1, true);
    profile.ReadInt("common", "shading", 4);
    profile.ReadBool("common", "Achsenkreuz", false);
    orx::ini::ReadString("LIFE", "ACTUAL", "", 1020, path);
    profile.WriteInt("common", "shading", 4);
    if (profile.ReadInt("common", "shading", 0) != 4) __builtin_trap();
    return 0;
}
