#pragma once
// Paths written by a design program that runs on Windows or under Wine, made into
// paths of this machine. A value with a drive letter or a backslash is a Windows
// path: its drive comes from the drive table of the settings file (section
// "Laufwerke", "N:=/mnt/kunden") or, for a letter the table does not name, from the
// Wine prefix's "dosdevices" links; its backslashes become slashes; a component that
// is not there as written is looked up without regard to letter case, as Windows
// would. Text that is not valid UTF-8 is read as Windows-1252. Any other value is a
// path of this machine and stays as it is.
#include <optional>
#include <string>
#include <vector>

namespace orx::winpath {

// Section of the settings file that maps drive letters to folders.
inline constexpr const char* kDriveSection = "Laufwerke";

// True for a value with a drive letter ("C:...") or a backslash anywhere.
bool IsWindowsPath(const std::string& value);

// True when the bytes are valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);

// Windows-1252 bytes as UTF-8 (the five unassigned bytes become U+FFFD).
std::string Windows1252ToUtf8(const std::string& bytes);

// Where the drive table and the Wine prefix are.
struct DriveSources {
    std::string settingsFile;  // "orx-view.ini" with its folder; the table is read from it
    std::string winePrefix;    // the prefix folder; empty when there is none
};

// The folder a drive letter stands for: the table's entry, else the target of the
// prefix's dosdevices link (a relative link is taken from the dosdevices folder).
// Nothing when neither names the letter.
std::optional<std::string> DriveFolder(char letter, const DriveSources& sources);

// The path below `base` named by `components`: each component as written where it
// exists, else the first entry of its folder (in name order) that matches it
// without regard to case. From the first component that is found neither way the
// rest is appended as written (the file may appear later).
std::string ResolveComponents(const std::string& base, const std::vector<std::string>& components);

// The path of this machine for a value of "ACTUAL". A value that is not a Windows
// path comes back unchanged. Nothing for a value that cannot be mapped: a UNC path
// ("\\server\share\..."), a path without a drive or relative to a drive's current
// folder ("C:model.gl", "\model.gl", "models\a.gl"), or a drive nothing names.
std::optional<std::string> MapToLocal(const std::string& value, const DriveSources& sources);

// The design program's "ORX.INI": in the profile folder when it is there, else in
// the Wine prefix's Windows folder (drive_c/windows/ORX.INI, each component matched
// without regard to case). When neither exists, the profile folder's name, so that
// reading it finds nothing and a file created there later is read.
std::string FindOrxIni(const std::string& profileFolder, const std::string& winePrefix);

}  // namespace orx::winpath
