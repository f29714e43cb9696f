// The ini module and the typed settings store.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ui/IniFile.h"
#include "ui/Profile.h"

namespace orx {
namespace {

using test::ReadText;
using test::TempProfile;
using test::WriteText;

TEST(IniFile, ReadsWithWindowsRules) {
    TempProfile dir;
    WriteText(dir.File("a.ini"),
              "; comment\n[Other]\nkey=wrong\n[ Common ]\n  Shading =  0x10  \nquoted=\"a b\"\n");
    EXPECT_EQ(ini::ReadString("common", "shading", "d", 254, dir.File("a.ini")), "0x10");
    EXPECT_EQ(ini::ReadString("COMMON", "quoted", "d", 254, dir.File("a.ini")), "a b");
    EXPECT_EQ(ini::ReadString("common", "missing", "dflt", 254, dir.File("a.ini")), "dflt");
    EXPECT_EQ(ini::ReadString("nosection", "key", "dflt", 254, dir.File("a.ini")), "dflt");
    EXPECT_EQ(ini::ReadString("common", "key", "dflt", 254, dir.File("nofile.ini")), "dflt");
    // The value is cut to the reader's buffer.
    EXPECT_EQ(ini::ReadString("common", "shading", "", 3, dir.File("a.ini")), "0x");
}

TEST(IniFile, WriteKeepsEverythingElseAndCreatesFileAndFolder) {
    TempProfile dir;
    const std::string original =
        "; my comment\n[common]\nAchsenkreuz=0\nshading=0x3\n\n[LIFE]\nACTUAL=/x/y3d.gl\n";
    WriteText(dir.File("b.ini"), original);
    ASSERT_TRUE(ini::WriteString("common", "SHADING", "0x4", dir.File("b.ini")));
    ASSERT_TRUE(ini::WriteString("common", "LightMode", "0x1", dir.File("b.ini")));
    ASSERT_TRUE(ini::WriteString("new", "k", "v", dir.File("b.ini")));
    EXPECT_EQ(ReadText(dir.File("b.ini")),
              "; my comment\n[common]\nAchsenkreuz=0\nshading=0x4\nLightMode=0x1\n\n[LIFE]\n"
              "ACTUAL=/x/y3d.gl\n[new]\nk=v\n");
    // A file that is not there is made, with its folders.
    ASSERT_TRUE(ini::WriteString("s", "k", "1", dir.path + "/sub/dir/c.ini"));
    EXPECT_EQ(ReadText(dir.path + "/sub/dir/c.ini"), "[s]\nk=1\n");
}

TEST(IniFile, ByteOrderMarkAndCrLfLinesAreKept) {
    TempProfile dir;
    // A file saved by a Windows editor: a UTF-8 byte-order mark and CR LF lines.
    const std::string bom = "\xEF\xBB\xBF";
    WriteText(dir.File("w.ini"), bom + "[LIFE]\r\nACTUAL=/m/a3d.gl\r\n[common]\r\nshading=0x3\r\n");
    EXPECT_EQ(ini::ReadString("LIFE", "ACTUAL", "d", 1020, dir.File("w.ini")), "/m/a3d.gl");
    EXPECT_EQ(ini::ReadString("common", "shading", "d", 254, dir.File("w.ini")), "0x3");

    // Replaced, added and new-section lines all end in CR LF; the mark stays, once,
    // and the first section is not written a second time.
    ASSERT_TRUE(ini::WriteString("common", "shading", "0x4", dir.File("w.ini")));
    ASSERT_TRUE(ini::WriteString("common", "LightMode", "0x1", dir.File("w.ini")));
    ASSERT_TRUE(ini::WriteString("LIFE", "ACTUAL", "/m/b3d.gl", dir.File("w.ini")));
    ASSERT_TRUE(ini::WriteString("new", "k", "v", dir.File("w.ini")));
    EXPECT_EQ(ReadText(dir.File("w.ini")),
              bom +
                  "[LIFE]\r\nACTUAL=/m/b3d.gl\r\n[common]\r\nshading=0x4\r\nLightMode=0x1\r\n"
                  "[new]\r\nk=v\r\n");
}

TEST(IniFile, LinesLongerThanFourKilobytesAreNeitherSectionsNorKeys) {
    TempProfile dir;
    const std::string blanks(5000, ' ');
    const std::string text = "[s]\nk=1\n[t" + blanks + "]\nk=2\nlong=" + blanks + "x\n";
    WriteText(dir.File("l.ini"), text);
    EXPECT_EQ(ini::ReadString("t", "k", "d", 254, dir.File("l.ini")), "d");  // no section [t] began
    EXPECT_EQ(ini::ReadString("s", "long", "d", 254, dir.File("l.ini")), "d");
    // A write sees the file the same way and keeps the long lines as they are.
    ASSERT_TRUE(ini::WriteString("s", "long", "y", dir.File("l.ini")));
    EXPECT_EQ(ReadText(dir.File("l.ini")),
              "[s]\nk=1\n[t" + blanks + "]\nk=2\nlong=y\nlong=" + blanks + "x\n");
    EXPECT_EQ(ini::ReadString("s", "long", "d", 254, dir.File("l.ini")), "y");
}

TEST(IniFile, ReadOnlyFileRefusesWriteAndStaysIntact) {
    TempProfile dir;
    WriteText(dir.File("ro.ini"), "[s]\nk=old\n");
    ::chmod(dir.File("ro.ini").c_str(), 0444);
    EXPECT_FALSE(ini::WriteString("s", "k", "new", dir.File("ro.ini")));
    EXPECT_EQ(ReadText(dir.File("ro.ini")), "[s]\nk=old\n");
    // No temporary file is left behind.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path)) (void)e, ++files;
    EXPECT_EQ(files, 1);
}

class ProfileTest : public ::testing::Test {
protected:
    TempProfile dir;
    ScriptedPlatform platform;
    void SetUp() override { SetMessagePlatform(&platform); }
    void TearDown() override { SetMessagePlatform(nullptr); }
};

TEST_F(ProfileTest, ReadsIntegersInEveryBaseKeepingLow16BitsAndOnlyTheTextOneAsYes) {
    WriteText(dir.File("orx-view.ini"),
              "[common]\nhex=0x10\ndec=16\noct=020\nneg=-1\ntext=abc\nbig=70000\n"
              "a=1\nb=yes\nc=2\nd=0\n");
    CProfile profile(TestProfileFolder(), "orx-view.ini", 1, true);
    EXPECT_EQ(profile.ReadInt("common", "hex", 0), 16);
    EXPECT_EQ(profile.ReadInt("common", "dec", 0), 16);
    EXPECT_EQ(profile.ReadInt("common", "oct", 0), 16);
    EXPECT_EQ(profile.ReadInt("common", "neg", 0), 65535);
    EXPECT_EQ(profile.ReadInt("common", "text", 7), 0);
    EXPECT_EQ(profile.ReadInt("common", "big", 0), 70000 & 0xFFFF);
    EXPECT_EQ(profile.ReadInt("common", "missing", 192), 192);
    EXPECT_TRUE(profile.ReadBool("common", "a", false));
    EXPECT_FALSE(profile.ReadBool("common", "b", true));
    EXPECT_FALSE(profile.ReadBool("common", "c", true));
    EXPECT_FALSE(profile.ReadBool("common", "d", true));
    EXPECT_TRUE(profile.ReadBool("common", "missing", true));
    EXPECT_FALSE(profile.ReadBool("common", "missing", false));
}

TEST_F(ProfileTest, WritesUpperCaseHexAndBoolDigits) {
    CProfile profile(TestProfileFolder(), "orx-view.ini", 1, true);
    profile.WriteInt("common", "ColR", 255);
    profile.WriteInt("common", "Zero", 0);
    profile.WriteInt("common", "Four", 4);
    profile.WriteBool("common", "Achsenkreuz", true);
    profile.WriteBool("common", "Wand", false);
    EXPECT_EQ(ReadText(dir.File("orx-view.ini")),
              "[common]\nColR=0xFF\nZero=0x0\nFour=0x4\nAchsenkreuz=1\nWand=0\n");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ProfileTest, ReadOnlyFileShowsTheGermanMessageOnce) {
    WriteText(dir.File("orx-view.ini"), "[common]\n");
    ::chmod(dir.File("orx-view.ini").c_str(), 0444);
    CProfile profile(TestProfileFolder(), "orx-view.ini", 1, true);
    profile.WriteBool("common", "Achsenkreuz", true);
    profile.WriteBool("common", "Achsenkreuz", false);
    profile.WriteInt("common", "shading", 4);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Fehler bei Schreiben der Ini Datei:\norx-view.ini");
    EXPECT_EQ(ReadText(dir.File("orx-view.ini")), "[common]\n");
}

TEST_F(ProfileTest, LanguageAndSilentProfiles) {
    CProfile english(TestProfileFolder(), "x.ini", 0, true);
    EXPECT_EQ(english.m_strWriteError, "Error in Writing Ini File:\nx.ini");
    CProfile many(TestProfileFolder(), "x.ini", 7, true);
    EXPECT_EQ(many.m_nLanguage, 1);
    WriteText(dir.File("q.ini"), "");
    ::chmod(dir.File("q.ini").c_str(), 0444);
    CProfile quiet(TestProfileFolder(), "q.ini", 1, false);
    quiet.WriteInt("s", "k", 1);
    EXPECT_TRUE(platform.messages.empty());
    CProfile placementOnly(1);
    EXPECT_FALSE(placementOnly.m_bHasFile);
    EXPECT_TRUE(placementOnly.m_bPlacementPending);
}

TEST_F(ProfileTest, PlacementDefaultsWithoutAFileAndRoundTripKeepsTheWindowSize) {
    AppProfile app(dir.File("orx-view.ini"));
    ScriptedPlatform first(200, 100);
    first.placement.normalPosition = Rect{0, 0, 200, 100};
    CProfile(0).RestoreWindowPlacement(app, first, "ORX-VIEW", 0);
    EXPECT_EQ(first.placement.normalPosition, (Rect{10, 10, 500, 400}));
    EXPECT_EQ(first.placement.showCmd, 1);
    EXPECT_EQ(first.placement.minPosition, (Point{0, 0}));

    platform.placement.normalPosition = Rect{30, 40, 930, 740};
    platform.placement.showCmd = 3;
    platform.placement.flags = 2;
    CProfile(0).SaveWindowPlacement(app, platform, "ORX-VIEW");
    EXPECT_EQ(ReadText(dir.File("orx-view.ini")),
              "[ORX-VIEW]\nx=30\ny=40\ndx=930\ndy=740\nminy=0\nminx=0\nmaxy=-1\nmaxx=-1\n"
              "flag=2\ncmd=3\n");

    // A new run: the window has its template size; only the position is taken.
    ScriptedPlatform next(500, 300);
    next.placement.normalPosition = Rect{0, 0, 500, 300};
    CProfile restorer(0);
    restorer.RestoreWindowPlacement(app, next, "ORX-VIEW", 1);
    EXPECT_EQ(next.placement.normalPosition, (Rect{30, 40, 530, 340}));
    EXPECT_EQ(next.placement.showCmd, 3);
    EXPECT_EQ(next.placement.flags, 2);
    EXPECT_EQ(next.placement.maxPosition, (Point{-1, -1}));
    // Restored at most once per object.
    next.placement.normalPosition = Rect{1, 1, 2, 2};
    restorer.RestoreWindowPlacement(app, next, "ORX-VIEW", 1);
    EXPECT_EQ(next.placement.normalPosition, (Rect{1, 1, 2, 2}));
}

}  // namespace
}  // namespace orx
