// A value of "ACTUAL" as a design program on Windows might write it, made into a path
// of this machine through a drive table and a Wine prefix with folders whose names
// differ from the value in case and in encoding.
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "ui/IniFile.h"
#include "ui/WindowsPath.h"

namespace {

const orx::winpath::DriveSources& MakeDrives() {
    static const orx::winpath::DriveSources drives = [] {
        orx::fuzz::Platform();
        const std::string root = std::string(std::getenv("XDG_CONFIG_HOME")) + "/drives";
        namespace fs = std::filesystem;
        fs::create_directories(root + "/kunden/Auftrag 7/Modelle");
        fs::create_directories(root + "/prefix/dosdevices");
        fs::create_directories(root + "/prefix/drive_c/Programme/ORX/Schr\xc3\xa4nke");
        std::error_code ec;
        fs::create_symlink("../drive_c", root + "/prefix/dosdevices/c:", ec);
        fs::create_symlink("/nonexistent", root + "/prefix/dosdevices/e:", ec);
        orx::winpath::DriveSources d;
        d.settingsFile = root + "/orx-view.ini";
        d.winePrefix = root + "/prefix";
        orx::ini::WriteString(orx::winpath::kDriveSection, "N:", root + "/kunden", d.settingsFile);
        orx::ini::WriteString(orx::winpath::kDriveSection, "Q:", "relative/folder", d.settingsFile);
        return d;
    }();
    return drives;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orx::winpath::DriveSources& drives = MakeDrives();
    const std::string value(reinterpret_cast<const char*>(data), size);
    // Text that is not UTF-8 is read as Windows-1252, which always gives UTF-8.
    if (!orx::winpath::IsValidUtf8(value) &&
        !orx::winpath::IsValidUtf8(orx::winpath::Windows1252ToUtf8(value)))
        __builtin_trap();
    const auto mapped = orx::winpath::MapToLocal(value, drives);
    // A value that is no Windows path stays as it is.
    if (!orx::winpath::IsWindowsPath(value) && mapped != value) __builtin_trap();
    return 0;
}
