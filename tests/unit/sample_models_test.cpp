// The shipped sample models: every record line parses, and the furniture stands where
// the viewer expects it, from the origin into positive millimetres, in one piece.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ViewerRig.h"

namespace orx {
namespace {

const std::string kModelDir = ORX_SOURCE_DIR "/data/modelle";

struct Box3 {
    double lo[3], hi[3];
};

std::vector<std::string> RecordLines(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// Fields of a record line, split as the parser splits them.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t pos = 0;
    while ((pos = line.find_first_not_of(" ,\t", pos)) != std::string::npos) {
        const size_t end = line.find_first_of(" ,\t", pos);
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

class SampleModelsTest : public ::testing::Test {
protected:
    test::ViewerRig rig;
    CViewerDlg& dlg = rig.Construct();

    void ResetBounds() {
        ClearMeasuredBounds(Probe(dlg).m_bounds);
        Probe(dlg).m_bounds.extent = 1.0;
    }
    Box3 Bounds() const {
        const ModelBounds& b = Probe(dlg).m_bounds;
        return {{b.minX, b.minY, b.minZ}, {b.maxX, b.maxY, b.maxZ}};
    }
    // The box around one record's drawn corners, from the measuring pass.
    bool MeasureLine(const std::string& line, int part, Box3& box) {
        Probe(dlg).m_bMeasuring = true;
        Probe(dlg).m_nPart = part;
        ResetBounds();
        const bool drawn = Probe(dlg).ParseModelLine(line);
        box = Bounds();
        return drawn;
    }
    Box3 MeasureFile(const std::string& path, int part) {
        Probe(dlg).m_bMeasuring = true;
        Probe(dlg).m_nPart = part;
        ResetBounds();
        EXPECT_TRUE(Probe(dlg).ReadModelFile(path, part)) << path;
        return Bounds();
    }
};

bool Touch(const Box3& a, const Box3& b) {
    for (int k = 0; k < 3; ++k)
        if (a.lo[k] > b.hi[k] + 0.5 || b.lo[k] > a.hi[k] + 0.5) return false;
    return true;
}

// Parts whose boxes touch or overlap, joined transitively: one group means nothing floats.
int Groups(const std::vector<Box3>& parts) {
    std::vector<int> group(parts.size());
    for (size_t i = 0; i < parts.size(); ++i) group[i] = static_cast<int>(i);
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < parts.size(); ++i)
            for (size_t j = 0; j < parts.size(); ++j)
                if (group[j] < group[i] && Touch(parts[i], parts[j])) {
                    group[i] = group[j];
                    changed = true;
                }
    }
    return static_cast<int>(std::set<int>(group.begin(), group.end()).size());
}

TEST_F(SampleModelsTest, TheCatalogueIsComplete) {
    for (const char* name :
         {"schrank3d", "kommode3d", "regal3d", "tisch3d", "eckregal3d", "eckkueche3d", "teile2d"})
        EXPECT_TRUE(std::filesystem::exists(kModelDir + "/" + name + ".gl")) << name;
}

TEST_F(SampleModelsTest, WholeModelsParseStandUprightAndHoldTogether) {
    // The record types each piece of furniture is built from.
    const std::map<std::string, std::set<int>> types = {
        {"schrank3d", {8}},   {"kommode3d", {8}},     {"regal3d", {8, 10}},
        {"tisch3d", {8, 12}}, {"eckregal3d", {6, 8}}, {"eckkueche3d", {8, 12}}};
    for (const auto& [name, expectedTypes] : types) {
        SCOPED_TRACE(name);
        const std::string path = kModelDir + "/" + name + ".gl";
        const std::vector<std::string> lines = RecordLines(path);
        ASSERT_GE(lines.size(), 5u);
        std::set<int> seen;
        std::vector<Box3> parts;
        for (const std::string& line : lines) {
            SCOPED_TRACE(line);
            const std::vector<std::string> f = Fields(line);
            ASSERT_GE(f.size(), 3u);
            const int type = std::stoi(f[0]);
            seen.insert(type);
            // The count matches the type, and pentagons and hexagons carry their flat
            // outline and their placed one, with nothing left over.
            EXPECT_EQ(std::stoi(f[2]), type);
            EXPECT_EQ(f.size(), 3u + 3u * type * (type >= 10 ? 2 : 1));
            Box3 box;
            EXPECT_TRUE(MeasureLine(line, -2, box));
            parts.push_back(box);
        }
        EXPECT_EQ(seen, expectedTypes);
        EXPECT_EQ(Groups(parts), 1) << "a part floats apart from the rest";

        const Box3 all = MeasureFile(path, -2);
        EXPECT_EQ(Probe(dlg).m_nPartCount, static_cast<int>(lines.size()));
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(all.lo[k], 0.0, 0.01) << "axis " << k;
            EXPECT_GT(all.hi[k], 300.0) << "axis " << k;
            EXPECT_LT(all.hi[k], 2500.0) << "axis " << k;
        }
        // Furniture height along y, depth along z: nothing is deeper than it is wide,
        // and everything but the table and the kitchen corner is taller than deep.
        EXPECT_LE(all.hi[2], all.hi[0]);
        if (name != "tisch3d" && name != "eckkueche3d") {
            EXPECT_GT(all.hi[1], all.hi[2]);
        }
    }
}

TEST_F(SampleModelsTest, PartsListLaysEachPartFlatAtItsOwnCoordinates) {
    const std::string path = kModelDir + "/teile2d.gl";
    const std::vector<std::string> lines = RecordLines(path);
    ASSERT_GE(lines.size(), 6u);
    ASSERT_LE(lines.size(), 10u);
    std::set<int> types;
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const std::vector<std::string> f = Fields(lines[i]);
        ASSERT_GE(f.size(), 3u);
        const int type = std::stoi(f[0]);
        types.insert(type);
        EXPECT_EQ(std::stoi(f[2]), type);
        EXPECT_EQ(f.size(), 3u + 3u * type);  // one outline only
        Box3 box;
        EXPECT_TRUE(MeasureLine(lines[i], static_cast<int>(i) + 1, box));

        // Shown as part k of the list: the viewer reads that line alone.
        const Box3 part = MeasureFile(path, static_cast<int>(i) + 1);
        EXPECT_EQ(Probe(dlg).m_nPartCount, static_cast<int>(lines.size()));
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(part.lo[k], 0.0, 0.01) << "axis " << k;
            EXPECT_EQ(part.hi[k], box.hi[k]) << "axis " << k;
        }
        // Flat: the outline spans x and y and the thickness z (a leg's length for
        // the hexagonal prisms); a real piece of wood, 15 mm to 2.5 m each way.
        if (type != 12) {
            EXPECT_LE(part.hi[2], 50.0);
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_GE(part.hi[k], 15.0) << "axis " << k;
            EXPECT_LE(part.hi[k], 2500.0) << "axis " << k;
        }
    }
    EXPECT_EQ(types, (std::set<int>{6, 8, 10, 12}));
}

}  // namespace
}  // namespace orx
