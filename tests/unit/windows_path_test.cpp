// Windows paths named by a design program on Windows or under Wine, made into
// paths of this machine, and where the design program's ORX.INI is found.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "TestSupport.h"
#include "ui/WindowsPath.h"

namespace orx::test {
namespace {

namespace fs = std::filesystem;

// "ü" and "Ü" in UTF-8, "ü" in Windows-1252.
const std::string kUe = "\xC3\xBC";
const std::string kUpperUe = "\xC3\x9C";
const std::string kUe1252 = "\xFC";

// A profile folder with a drive table, and a Wine prefix whose dosdevices hold the
// links Wine makes (c: to ../drive_c, z: to /) and one link the table overrides.
struct WineRig {
    TempProfile dir;
    std::string prefix = dir.path + "/wine";
    std::string driveC = prefix + "/drive_c";
    std::string kunden = dir.path + "/kunden";
    winpath::DriveSources sources{dir.File("orx-view.ini"), prefix};

    WineRig() {
        fs::create_directories(prefix + "/dosdevices");
        fs::create_symlink("../drive_c", prefix + "/dosdevices/c:");
        fs::create_symlink("/", prefix + "/dosdevices/z:");
        fs::create_symlink(dir.path + "/elsewhere", prefix + "/dosdevices/n:");
        WriteText(driveC + "/Auftraege/K" + kUe + "che/schrank3d.gl", "x\n");
        WriteText(driveC + "/windows/win.ini", "");
        WriteText(kunden + "/Meier/meier2d.gl", "x\n");
        WriteText(dir.File("orx-view.ini"),
                  "[common]\nshading=0x4\n[Laufwerke]\nN:=" + kunden + "\nr=relative/folder\n");
    }
};

TEST(WindowsPath, MapsDrivesSeparatorsCaseAndEncoding) {
    WineRig rig;
    const std::string schrank = rig.driveC + "/Auftraege/K" + kUe + "che/schrank3d.gl";
    const std::string meier = rig.kunden + "/Meier/meier2d.gl";
    const std::optional<std::string> none;
    struct Case {
        std::string value;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        // Drive C through the prefix's relative link, exactly as written.
        {"C:\\Auftraege\\K" + kUe + "che\\schrank3d.gl", schrank},
        // Every component in another case, the umlaut too, and a lower-case drive.
        {"c:\\AUFTRAEGE\\K" + kUpperUe + "CHE\\SCHRANK3D.GL", schrank},
        // The name in Windows-1252 (0xFC is "ü").
        {"C:\\Auftraege\\K" + kUe1252 + "che\\schrank3d.gl", schrank},
        // Forward slashes, doubled separators, "." and "..".
        {"C:/auftraege//./x/..\\k" + kUe + "che\\schrank3d.gl", schrank},
        {"C:\\..\\..\\Auftraege\\K" + kUe + "che\\schrank3d.gl", schrank},
        // The drive table names N: and wins over the prefix's n: link.
        {"N:\\meier\\MEIER2D.gl", meier},
        {"n:/Meier/meier2d.gl", meier},
        // Z: is the root of this machine.
        {"Z:\\tmp", "/tmp"},
        // A file not there yet: found folders as they are, the rest as written.
        {"C:\\auftraege\\Neu\\Regal3d.gl", rig.driveC + "/Auftraege/Neu/Regal3d.gl"},
        // No drive in the table or the prefix, or a table entry that is no full path.
        {"Q:\\modell3d.gl", none},
        {"R:\\modell3d.gl", none},
        // UNC, rooted without a drive, relative to a drive's folder, relative.
        {"\\\\server\\share\\modell3d.gl", none},
        {"\\\\?\\C:\\modell3d.gl", none},
        {"\\Auftraege\\modell3d.gl", none},
        {"C:modell3d.gl", none},
        {"C:", none},
        {"Auftraege\\modell3d.gl", none},
        // Paths of this machine stay exactly as they are.
        {"/home/meier/Schrank3d.gl", "/home/meier/Schrank3d.gl"},
        {"/tmp/a\\b3d.gl", "/tmp/a\\b3d.gl"},
        {"modelle/a3d.gl", "modelle/a3d.gl"},
        {"/tmp/K" + kUe1252 + "che3d.gl", "/tmp/K" + kUe1252 + "che3d.gl"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(winpath::MapToLocal(c.value, rig.sources), c.expected) << c.value;

    // Without a prefix only the table maps drives.
    const winpath::DriveSources tableOnly{rig.sources.settingsFile, ""};
    EXPECT_EQ(winpath::MapToLocal("N:\\Meier\\meier2d.gl", tableOnly), meier);
    EXPECT_EQ(winpath::MapToLocal("C:\\Auftraege\\x3d.gl", tableOnly), none);
}

TEST(WindowsPath, TextEncodings) {
    EXPECT_TRUE(winpath::IsValidUtf8("K" + kUe + "che \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(winpath::IsValidUtf8("K" + kUe1252 + "che"));
    EXPECT_FALSE(winpath::IsValidUtf8("\xC0\xAF"));      // overlong "/"
    EXPECT_FALSE(winpath::IsValidUtf8("\xED\xA0\x80"));  // a surrogate
    EXPECT_FALSE(winpath::IsValidUtf8("\xE2\x82"));      // cut short
    // Latin-1 letters, the euro sign and quotes of 0x80..0x9F, and the unassigned 0x81.
    EXPECT_EQ(winpath::Windows1252ToUtf8("\xC4\xD6\xDC\xDF\x80\x84\x93\x81"),
              "\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xE2\x82\xAC\xE2\x80\x9E\xE2\x80\x9C\xEF\xBF\xBD");
}

TEST(WindowsPath, OrxIniInTheProfileFolderElseInTheWinePrefix) {
    WineRig rig;
    const std::string own = rig.dir.File("ORX.INI");
    // Neither exists: the profile folder's file, where a later one is read.
    EXPECT_EQ(winpath::FindOrxIni(rig.dir.path, rig.prefix), own);
    // Under Wine, in another letter case.
    WriteText(rig.driveC + "/windows/orx.ini", "[LIFE]\n");
    EXPECT_EQ(winpath::FindOrxIni(rig.dir.path, rig.prefix), rig.driveC + "/windows/orx.ini");
    EXPECT_EQ(winpath::FindOrxIni(rig.dir.path, ""), own);
    // The profile folder's own file comes first.
    WriteText(own, "[LIFE]\n");
    EXPECT_EQ(winpath::FindOrxIni(rig.dir.path, rig.prefix), own);
}

}  // namespace
}  // namespace orx::test
