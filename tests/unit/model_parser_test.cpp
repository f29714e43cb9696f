// Reading model files: lines, fields, records, and what reaches the emitters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <vector>

#include "RecordingSink.h"
#include "model/Numbers.h"

namespace orx {
namespace {

using test::GlCall;
using test::RecordingRig;
using test::RecordingSink;
using test::TempProfile;
using test::WriteText;

class ParserTest : public ::testing::Test {
protected:
    RecordingRig rig;
    CViewerDlg& dlg = *rig.dlg;
    RecordingSink& sink = rig.sink;
    TempProfile& dir = rig.dir;

    void SetUp() override { ResetBounds(); }
    void ResetBounds() {
        ClearMeasuredBounds(Probe(dlg).m_bounds);
        Probe(dlg).m_bounds.extent = 1.0;
    }
    // Parses a line in the measuring pass; the bounds show which points arrived.
    bool Measure(const std::string& line) {
        Probe(dlg).m_bMeasuring = true;
        return Probe(dlg).ParseModelLine(line);
    }
    bool BoundsUntouched() const { return Probe(dlg).m_bounds.maxX == kNoMaximum; }
    std::string File(const std::string& text) {
        const std::string path = dir.File("m3d.gl");
        WriteText(path, text);
        return path;
    }
};

const char* kBox = "8 255 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0";
const char* kBoxCommas = "8,255,8, 0,0,1, 1,0,1, 1,1,1, 0,1,1, 0,0,0, 1,0,0, 1,1,0, 0,1,0";

TEST_F(ParserTest, RecordLinesAreAcceptedOrRejectedWithoutTrace) {
    std::string manyPoints;
    for (int i = 0; i < 40; ++i) manyPoints += " 1 2 3";
    const std::string longLine = kBox + std::string(2999 - std::string(kBox).size(), ' ');
    const std::string box = "8 255 8 0 0 1 1 0 1 1 1 1 0 1 ";  // a box's first four points
    // Each measures exactly the unit box.
    for (const std::string& line : {
             std::string(kBox),
             " \t," + std::string(kBoxCommas) + ",,  \t",  // separators mixed and repeated
             std::string(kBox) + " 99 99 99 abc",          // surplus fields are ignored
             // A larger count than the type draws: the surplus points are read, not drawn.
             std::string("8 0 9 0 0 0 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 50 50 50"),
             longLine,                             // 2999 characters
             box + "in 0 0 0 1 0 0 1 1 0 0 1 na",  // other words than below read as 0
         }) {
        SCOPED_TRACE(line.substr(0, 60));
        ResetBounds();
        EXPECT_TRUE(Measure(line));
        const ModelBounds& b = Probe(dlg).m_bounds;
        EXPECT_EQ(std::vector<double>({b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ}),
                  std::vector<double>({0, 0, 0, 1, 1, 1}));
    }
    std::vector<std::string> rejected = {
        "",
        " , \t ",
        "8",
        "8 255",
        "8 255 8 0 0 1 1 0 1",  // points missing
        "7 255 6 0 0 0 1 0 0 0 1 0 0 0 1 1 0 1 0 1 1",
        "9 0 0",
        "11 0 0",
        "8 0 34" + manyPoints,   // more than the buffer holds
        "8 0 -1" + manyPoints,   // negative
        "8 0 7" + manyPoints,    // fewer than a block draws
        "12 0 10" + manyPoints,  // fewer than a hexagon draws
        longLine + " ",          // 3000 characters
        "8 255 8 1e400 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0",
        "8 255 8 0 -1e999 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0"};
    // The words for infinity and not-a-number, in any case and with any sign.
    for (const char* word :
         {"inf", "-INF", "+Infinity", "infinity", "nan", "-NaN", "NAN(1)", "nanx", "iNf"})
        rejected.push_back(box + word + " 0 0 0 1 0 0 1 1 0 0 1 0");
    for (const std::string& line : rejected) {
        SCOPED_TRACE(line.substr(0, 60));
        ResetBounds();
        EXPECT_FALSE(Measure(line));
        EXPECT_TRUE(BoundsUntouched());
    }
}

TEST_F(ParserTest, NumbersConvertLikeTheCLibraryInItsOwnLocale) {
    bool ok = true;
    EXPECT_EQ(ParseDouble("1.5", ok), 1.5);
    EXPECT_EQ(ParseDouble("  -2.25e2xyz", ok), -225.0);
    EXPECT_EQ(ParseDouble("+.5", ok), 0.5);
    EXPECT_EQ(ParseDouble("3.", ok), 3.0);
    EXPECT_EQ(ParseDouble("7e", ok), 7.0);
    EXPECT_EQ(ParseDouble("abc", ok), 0.0);
    EXPECT_TRUE(ok);
    ParseDouble(" -Infinity", ok);
    EXPECT_FALSE(ok);
    ParseDouble("nan", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ParseDouble("1e-400", ok), 0.0);
    EXPECT_TRUE(ok);
    ParseDouble("1e400", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ParseLong(" 12abc"), 12);
    EXPECT_EQ(ParseLong("-8"), -8);
    EXPECT_EQ(ParseLong("x8"), 0);
    EXPECT_EQ(ParseLong("8.9"), 8);
}

TEST_F(ParserTest, SecondOutlineOnlyForWholeModels) {
    // A pentagon: the first outline at 0..2, the second (placed) at 100..102.
    const std::string ref = "0 0 0 2 0 0 2 2 0 1 2 0 0 1 0 0 0 1 2 0 1 2 2 1 1 2 1 0 1 1";
    const std::string placed =
        "100 100 100 102 100 100 102 102 100 101 102 100 100 101 100 100 100 101 102 100 101 "
        "102 102 101 101 102 101 100 101 101";
    Probe(dlg).m_nPart = -2;
    EXPECT_TRUE(Measure("10 0 10 " + ref + " " + placed));
    EXPECT_EQ(Probe(dlg).m_bounds.minX, 100.0);
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 102.0);
    // Shown as a single part only the first outline is read and serves as both.
    ResetBounds();
    Probe(dlg).m_nPart = 1;
    EXPECT_TRUE(Measure("10 0 10 " + ref));
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 2.0);
    // A whole model whose line ends before the second outline is complete: not drawn.
    ResetBounds();
    Probe(dlg).m_nPart = -2;
    EXPECT_FALSE(Measure("10 0 10 " + ref + " 100 100 100"));
    EXPECT_TRUE(BoundsUntouched());
}

TEST_F(ParserTest, FileLinesAreCountedAndSelected) {
    // Header, a box, an empty line, an unknown type, a box; no line feed at the end.
    const std::string path =
        File(std::string("8 0 8 header is never drawn\n") + kBox + "\r\n\n7 0 0\n" + kBoxCommas);
    Probe(dlg).m_bMeasuring = true;
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 4);

    Probe(dlg).m_bMeasuring = false;
    sink.calls.clear();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, -1));
    EXPECT_EQ(sink.Count(GlCall::Begin), 2);  // one primitive per block
    sink.calls.clear();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, 4));
    EXPECT_EQ(sink.Count(GlCall::Begin), 1);
    EXPECT_EQ(Probe(dlg).m_nPartCount, 4);  // the whole file is read for a single part
    sink.calls.clear();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, 0));
    EXPECT_EQ(sink.Count(GlCall::Begin), 0);
}

TEST_F(ParserTest, HeaderOnlyAndTrailingLineFeeds) {
    Probe(dlg).m_nPartCount = 99;
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File("header only\n"), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 0);
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File("header without line feed"), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 0);
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File(std::string("h\n") + kBox + "\n"), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 1);
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File(std::string("h\n") + kBox + "\n\n"), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 2);
}

TEST_F(ParserTest, MissingFileChangesNothing) {
    Probe(dlg).m_nPartCount = 5;
    EXPECT_FALSE(Probe(dlg).ReadModelFile(dir.File("none3d.gl"), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, 5);
}

TEST_F(ParserTest, CommaDecimalLocaleParsesTheSame) {
    const std::string path = File("h\n8 0 8 0 0 1 1.5 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0\n");
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
    // Under this locale the C library itself stops at the point.
    EXPECT_EQ(std::atof("1.5"), 1.0);
    Probe(dlg).m_bMeasuring = true;
    const bool read = Probe(dlg).ReadModelFile(path, -1);
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_TRUE(read);
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 1.5);
}

TEST_F(ParserTest, LargeFilesAreReadAcrossBlockBoundaries) {
    std::string text = "header\n";
    const int lines = 40000;  // about 2.5 MB: lines straddle the reader's blocks
    for (int i = 1; i <= lines; ++i) {
        text += i == lines / 2 ? std::string(5000, ' ') + "7 0 0" : std::string(kBox);
        text += i % 3 ? "\n" : "\r\n";
    }
    text += "8 0 8 0 0 1 9 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0";  // no line feed
    Probe(dlg).m_bMeasuring = false;
    sink.calls.clear();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File(text), -1));
    EXPECT_EQ(Probe(dlg).m_nPartCount, lines + 1);
    EXPECT_EQ(sink.Count(GlCall::Begin),
              lines);  // all blocks but the unknown type, and the last line
    Probe(dlg).m_bMeasuring = true;
    ResetBounds();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(File(text), lines + 1));
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 9.0);
}

TEST_F(ParserTest, ChangedFilesAreReadAgainUnchangedOnesServedFromOneParse) {
    const std::string path = File(std::string("h\n") + kBox + "\n");
    Probe(dlg).m_bMeasuring = true;
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, -1));
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 1.0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    // Same size, other content, the old time put back: the status-change time, which
    // no program can set back, tells the new content.
    std::string other = std::string("h\n") + kBox + "\n";
    other[other.find(" 1 0 1 ")] = ' ';
    other[other.find(" 1 0 1 ") + 1] = '7';
    WriteText(path, other);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ResetBounds();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, -1));
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 7.0);

    // A new modification time, even a nanosecond later, is read again.
    WriteText(path, std::string("h\n") + kBox + "\n");
    timespec later[2] = {before.st_atim, before.st_mtim};
    later[1].tv_nsec = (later[1].tv_nsec + 1) % 1000000000;
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    ResetBounds();
    ASSERT_TRUE(Probe(dlg).ReadModelFile(path, -1));
    EXPECT_EQ(Probe(dlg).m_bounds.maxX, 1.0);

    // A file that is gone cannot be read, even though it was read before.
    std::filesystem::remove(path);
    EXPECT_FALSE(Probe(dlg).ReadModelFile(path, -1));
}

}  // namespace
}  // namespace orx
