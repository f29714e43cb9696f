// Export of the shown model to binary glTF, read back with an independent reader:
// one node per record carrying its row of the parts list, the model's bounds in
// metres, unit normals pointing out of their part, the look of the display mode,
// the same data as the files of the writer before, and failures that leave no file.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "app/ViewerDlg.h"
#include "export/PartsListing.h"
#include "export/WebPage.h"
#include "geometry/DesignColour.h"
#include "geometry/Vec3.h"

namespace orx {
namespace {

const std::string& kModelDir = test::kSampleModels;

int RecordCount(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // header
    int n = 0;
    while (std::getline(in, line)) n += line.find_first_not_of(" \t\r") != std::string::npos;
    return n;
}

// The float values of an accessor of the single buffer.
std::vector<float> Floats(const tinygltf::Model& m, int accessor) {
    const tinygltf::Accessor& a = m.accessors[accessor];
    const tinygltf::BufferView& v = m.bufferViews[a.bufferView];
    const size_t n = tinygltf::GetNumComponentsInType(a.type);
    const size_t stride = v.byteStride ? v.byteStride : n * 4;
    std::vector<float> out(a.count * n);
    for (size_t i = 0; i < a.count; ++i)
        std::memcpy(&out[i * n],
                    m.buffers[0].data.data() + v.byteOffset + a.byteOffset + i * stride, n * 4);
    return out;
}

// A node's attribute values as a reader places them: positions moved by the node's
// translation.
std::vector<float> NodeFloats(const tinygltf::Model& m, const tinygltf::Node& node,
                              const char* attribute) {
    std::vector<float> values =
        Floats(m, m.meshes.at(node.mesh).primitives.at(0).attributes.at(attribute));
    if (std::string(attribute) == "POSITION" && node.translation.size() == 3)
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<float>(values[i] + node.translation[i % 3]);
    return values;
}

class ExportGltfTest : public ::testing::Test {
protected:
    test::ViewerRig rig;

    // Started in that display mode with the build's first texture, the model opened with M.
    void Open(const std::string& model, DisplayMode mode) {
        rig.Start();
        ViewOptions options;
        options.mode = mode;
        options.textureFile = test::kBuiltProgram + "texturen/textur1.jpg";
        options.textureNamed = true;
        ASSERT_TRUE(rig.dlg->ApplyViewOptions(options));
        rig.Open(model);
    }

    // Presses E and answers the save dialog with `target`; only the messages of the
    // export are kept.
    void Export(const std::string& target) {
        rig.platform.messages.clear();
        rig.platform.saveFileAnswers.push_back(target);
        rig.Key('E');
    }

    tinygltf::Model ReadBack(const std::string& path) {
        tinygltf::Model model;
        std::string error, warning;
        tinygltf::TinyGLTF reader;
        EXPECT_TRUE(reader.LoadBinaryFromFile(&model, &error, &warning, path)) << error;
        return model;
    }
};

TEST_F(ExportGltfTest, SampleModelsKeepPartsBoundsAndOutwardNormals) {
    for (const char* name : {"eckregal3d", "kommode3d", "regal3d", "schrank3d", "tisch3d"}) {
        SCOPED_TRACE(name);
        const std::string model = kModelDir + name + ".gl";
        Open(model, kModeSolid);
        const std::string target = rig.dir.path + "/" + name + ".glb";
        Export(target);
        ASSERT_TRUE(rig.Messages().empty()) << rig.Messages().front();
        const tinygltf::Model m = ReadBack(target);

        ASSERT_EQ(m.nodes.size(), static_cast<size_t>(RecordCount(model)));
        EXPECT_EQ(m.nodes.front().name, "Teil 1");
        EXPECT_EQ(m.nodes.back().name, "Teil " + std::to_string(RecordCount(model)));
        EXPECT_EQ(m.asset.extras.Get("description").Get<std::string>().rfind("ORX-Soft", 0), 0u);

        double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (const tinygltf::Node& node : m.nodes) {
            ASSERT_GE(node.mesh, 0) << node.name;
            const std::vector<float> pos = NodeFloats(m, node, "POSITION");
            const std::vector<float> nor = NodeFloats(m, node, "NORMAL");
            double centre[3] = {0, 0, 0};
            for (size_t i = 0; i < pos.size(); ++i) {
                centre[i % 3] += pos[i] / (pos.size() / 3.0);
                lo[i % 3] = std::min<double>(lo[i % 3], pos[i]);
                hi[i % 3] = std::max<double>(hi[i % 3], pos[i]);
            }
            for (size_t t = 0; t < pos.size(); t += 9) {
                const float* a = &pos[t];
                const float* n = &nor[t];
                const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
                ASSERT_NEAR(len, 1.0, 1e-6) << node.name;
                double out = 0, wind = 0;
                const double e1[3] = {a[3] - a[0], a[4] - a[1], a[5] - a[2]};
                const double e2[3] = {a[6] - a[0], a[7] - a[1], a[8] - a[2]};
                const double cross[3] = {e1[1] * e2[2] - e1[2] * e2[1],
                                         e1[2] * e2[0] - e1[0] * e2[2],
                                         e1[0] * e2[1] - e1[1] * e2[0]};
                for (int k = 0; k < 3; ++k) {
                    out += n[k] * ((a[k] + a[k + 3] + a[k + 6]) / 3.0 - centre[k]);
                    wind += n[k] * cross[k];
                }
                ASSERT_GT(out, 0.0) << node.name << " triangle " << t / 9;
                ASSERT_GE(wind, 0.0) << node.name << " triangle " << t / 9;
            }
        }
        const ModelBounds& b = rig.dlg->Bounds();
        const double expectLo[3] = {b.minX, b.minY, b.minZ}, expectHi[3] = {b.maxX, b.maxY, b.maxZ};
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(lo[k], expectLo[k] / 1000.0, 1e-6);
            EXPECT_NEAR(hi[k], expectHi[k] / 1000.0, 1e-6);
        }

        // Each node's extras say what the parts list's row says, and the colour field.
        ModelFileCache cache;
        ASSERT_TRUE(cache.Load(model));
        for (const tinygltf::Node& node : m.nodes) {
            const tinygltf::Value& e = node.extras;
            const int record = e.Get("record").GetNumberAsInt();
            char row[256];
            std::snprintf(row, sizeof row, "%d,%s,%.1f,%.1f,%.1f,", record,
                          e.Get("kind").Get<std::string>().c_str(),
                          e.Get("sizes").Get(0).GetNumberAsDouble(),
                          e.Get("sizes").Get(1).GetNumberAsDouble(),
                          e.Get("sizes").Get(2).GetNumberAsDouble());
            EXPECT_EQ(PartsCsvLines(cache, true, record).rfind(row, 0), 0u) << row;
            EXPECT_EQ(node.name, "Teil " + std::to_string(record));
            EXPECT_EQ(e.Get("colour").GetNumberAsInt(), cache.records.at(record - 1).colour);
        }
    }
}

// A part as the test writes it: its type and the 2D outline of cap 1 (a block: its
// face P1-P4) at z 0; cap 2 is cap 1 scaled by `taper` about the origin, moved by
// `shift` (x, y) and lifted by `depth`.
struct SolidRow {
    const char* name;
    long type;
    std::vector<std::pair<double, double>> outline;
    double depth, taper, shift[2];
};

const SolidRow kSolidRows[] = {
    {"gable", 10, {{0, 0}, {320, 0}, {320, 1600}, {160, 1850}, {0, 1600}}, 19, 1, {0, 0}},
    // An L started at a convex corner beside the arm: a fan from its first corner
    // would cover the notch.
    {"L", 12, {{2400, 0}, {2400, 600}, {600, 600}, {600, 1800}, {0, 1800}, {0, 0}}, 38, 1, {0, 0}},
    {"notch", 10, {{0, 0}, {800, 0}, {800, 600}, {400, 200}, {0, 600}}, 28, 1, {0, 0}},
    {"tapered", 6, {{0, 0}, {60, 0}, {0, 50}}, 28, 1.5, {0, 0}},
    {"oblique",
     12,
     {{0, 0}, {500, 0}, {500, 300}, {300, 300}, {300, 500}, {0, 500}},
     40,
     1,
     {120, -80}},
    {"block", 8, {{0, 0}, {800, 0}, {800, 400}, {0, 400}}, -19, 1, {0, 0}},
};

using Corners = std::vector<Vec3>;

// The row's corners: as given, with its caps swapped, or with each cap running the
// other way round.
Corners RowCorners(const SolidRow& row, int variant) {
    Corners cap[2];
    for (int c = 0; c < 2; ++c) {
        for (const auto& [x, y] : row.outline) {
            const double k = c == 0 ? 1.0 : row.taper;
            cap[c].push_back({x * k + c * row.shift[0], y * k + c * row.shift[1], c * row.depth});
        }
        if (variant == 2) std::reverse(cap[c].begin(), cap[c].end());
    }
    if (variant == 1) std::swap(cap[0], cap[1]);
    Corners all = cap[0];
    all.insert(all.end(), cap[1].begin(), cap[1].end());
    return all;
}

// The faces of the solid the corners describe: two caps (a block: its faces P1-P4 and
// P5-P8) and the sides between them.
std::vector<Corners> SolidFaces(const Corners& p) {
    const size_t c = p.size() / 2;
    std::vector<Corners> faces{Corners(p.begin(), p.begin() + c), Corners(p.begin() + c, p.end())};
    for (size_t i = 0; i < c; ++i)
        faces.push_back({p[i], p[(i + 1) % c], p[(i + 1) % c + c], p[i + c]});
    return faces;
}

// Whether q lies inside the solid: a ray from q crosses its faces an odd number of
// times. Each face is met in its plane and the crossing point tried against its
// outline, so a concave face counts as it is, without triangles.
bool InSolid(const std::vector<Corners>& faces, const Vec3& q) {
    const Vec3 ray{0.31415, 0.57721, 0.74211};
    int crossings = 0;
    for (const Corners& f : faces) {
        Vec3 n{};
        for (size_t i = 1; i + 1 < f.size(); ++i) n = n + Cross(f[i] - f[0], f[i + 1] - f[0]);
        const double along = Dot(n, ray);
        if (std::fabs(along) < 1e-12) continue;
        const double t = Dot(n, f[0] - q) / along;
        if (t <= 0) continue;
        const Vec3 m = q + t * ray;
        // Seen along the largest component of n: a crossing-number test in 2D.
        const int drop = std::fabs(n.x) > std::fabs(n.y)
                             ? (std::fabs(n.x) > std::fabs(n.z) ? 0 : 2)
                             : (std::fabs(n.y) > std::fabs(n.z) ? 1 : 2);
        const int a = (drop + 1) % 3, b = (drop + 2) % 3;
        bool inside = false;
        for (size_t i = 0, j = f.size() - 1; i < f.size(); j = i++) {
            if ((f[i][b] > m[b]) != (f[j][b] > m[b]) &&
                m[a] < f[j][a] + (m[b] - f[j][b]) * (f[i][a] - f[j][a]) / (f[i][b] - f[j][b]))
                inside = !inside;
        }
        crossings += inside;
    }
    return crossings % 2 == 1;
}

// Every exported triangle faces out of its part: a point just in front of it lies
// outside the part's solid and one just behind it inside, and its corners run
// counter-clockwise seen from where its normal points.
TEST_F(ExportGltfTest, EveryTriangleFacesOutOfItsSolid) {
    std::string text = "Formteile\n";
    std::vector<std::pair<std::string, Corners>> parts;
    for (const SolidRow& row : kSolidRows) {
        for (int variant = 0; variant < 3; ++variant) {
            const Corners p = RowCorners(row, variant);
            std::string outline;
            for (const Vec3& v : p)
                outline += " " + std::to_string(v.x) + "," + std::to_string(v.y) + "," +
                           std::to_string(v.z);
            // Types 10 and 12 carry a reference outline before the placed one.
            text += std::to_string(row.type) + " 1 " + std::to_string(p.size()) +
                    (row.type >= 10 ? outline : "") + outline + "\n";
            parts.emplace_back(std::string(row.name) + " variant " + std::to_string(variant), p);
        }
    }
    const std::string model = rig.Models() + "formteile3d.gl";
    test::WriteText(model, text);
    Open(model, kModeSolid);
    Export(rig.dir.File("formteile.glb"));
    ASSERT_TRUE(rig.Messages().empty()) << rig.Messages().front();
    const tinygltf::Model m = ReadBack(rig.dir.File("formteile.glb"));
    ASSERT_EQ(m.nodes.size(), parts.size());

    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(parts[i].first);
        const std::vector<Corners> faces = SolidFaces(parts[i].second);
        ASSERT_GE(m.nodes[i].mesh, 0);
        const std::vector<float> pos = NodeFloats(m, m.nodes[i], "POSITION");
        const std::vector<float> nor = NodeFloats(m, m.nodes[i], "NORMAL");
        ASSERT_FALSE(pos.empty());
        for (size_t t = 0; t + 9 <= pos.size(); t += 9) {
            SCOPED_TRACE("triangle " + std::to_string(t / 9));
            Vec3 c[3];
            for (int k = 0; k < 3; ++k)  // back to millimetres
                c[k] = Vec3{pos[t + 3 * k], pos[t + 3 * k + 1], pos[t + 3 * k + 2]} * 1000.0;
            const Vec3 n{nor[t], nor[t + 1], nor[t + 2]};
            ASSERT_NEAR(Length(n), 1.0, 1e-6);
            ASSERT_GT(Dot(n, Cross(c[1] - c[0], c[2] - c[0])), 0.0) << "wound against its normal";
            const Vec3 middle = (c[0] + c[1] + c[2]) * (1.0 / 3.0);
            ASSERT_FALSE(InSolid(faces, middle + 0.5 * n)) << "its normal points inward";
            ASSERT_TRUE(InSolid(faces, middle - 0.5 * n)) << "nothing of the part behind it";
        }
    }
}

// A node's surface as a reader sees it, whatever the order of its triangles and
// however its faces are split into them: its distinct corners (position, normal and
// look in micro-units) and its area in square millimetres.
using Corner = std::vector<long long>;
struct Surface {
    std::set<Corner> corners;
    double area = 0.0;
};
Surface SurfaceOf(const tinygltf::Model& m, const tinygltf::Node& node) {
    const auto& attributes = m.meshes.at(node.mesh).primitives.at(0).attributes;
    std::vector<std::vector<float>> values;
    for (const char* name : {"POSITION", "NORMAL", "TEXCOORD_0", "COLOR_0"})
        if (attributes.count(name)) values.push_back(NodeFloats(m, node, name));
    const std::vector<float>& pos = values[0];
    const size_t corners = pos.size() / 3;
    Surface surface;
    for (size_t c = 0; c < corners; ++c) {
        Corner corner;
        for (const std::vector<float>& v : values)
            for (size_t k = c * (v.size() / corners); k < (c + 1) * (v.size() / corners); ++k)
                corner.push_back(std::llround(v[k] * 1e6));
        surface.corners.insert(corner);
    }
    for (size_t t = 0; t + 9 <= pos.size(); t += 9) {
        Vec3 c[3];
        for (int k = 0; k < 3; ++k)  // in millimetres
            c[k] = Vec3{pos[t + 3 * k], pos[t + 3 * k + 1], pos[t + 3 * k + 2]} * 1000.0;
        surface.area += 0.5 * Length(Cross(c[1] - c[0], c[2] - c[0]));
    }
    return surface;
}

// The files the writer before this one made (a tree built with tinygltf) from the
// sample models, against today's: every node the same surface. With
// ORX_UPDATE_BASELINES=1 today's files become the references.
TEST_F(ExportGltfTest, SampleModelsShowWhatTheFilesBeforeShowed) {
    const std::string references = ORX_SOURCE_DIR "/tests/baselines/gltf/";
    const std::pair<const char*, DisplayMode> rows[] = {
        {"eckregal3d", kModeSolid}, {"kommode3d", kModeSolid},    {"regal3d", kModeSolid},
        {"schrank3d", kModeSolid},  {"schrank3d", kModeTextured}, {"teile2d", kModeSolid},
        {"tisch3d", kModeSolid}};
    for (const auto& [name, mode] : rows) {
        const std::string file = std::string(name) + (mode == kModeSolid ? "-grau" : "-textur");
        SCOPED_TRACE(file);
        Open(kModelDir + name + ".gl", mode);
        Export(rig.dir.path + "/" + file + ".glb");
        const tinygltf::Model now = ReadBack(rig.dir.path + "/" + file + ".glb");
        if (std::getenv("ORX_UPDATE_BASELINES"))
            std::filesystem::copy_file(rig.dir.path + "/" + file + ".glb",
                                       references + file + ".glb",
                                       std::filesystem::copy_options::overwrite_existing);
        const tinygltf::Model before = ReadBack(references + file + ".glb");
        ASSERT_EQ(now.nodes.size(), before.nodes.size());
        for (size_t i = 0; i < now.nodes.size(); ++i) {
            EXPECT_EQ(now.nodes[i].name, before.nodes[i].name);
            const Surface a = SurfaceOf(now, now.nodes[i]), b = SurfaceOf(before, before.nodes[i]);
            ASSERT_TRUE(a.corners == b.corners) << now.nodes[i].name;
            ASSERT_NEAR(a.area, b.area, 1e-6 * b.area) << now.nodes[i].name;
        }
        EXPECT_EQ(now.images.size(), before.images.size());
    }
}

// A parts list exports the part shown, under its own number, into a file or a
// stream; the save dialog offers the model's name.
TEST_F(ExportGltfTest, PartsListExportsTheCurrentPart) {
    Open(kModelDir + "teile2d.gl", kModeTextured);
    rig.Key('X');
    rig.Key('X');
    const std::string target = rig.dir.path + "/teil.glb";
    Export(target);
    ASSERT_EQ(rig.platform.saveDialogs.size(), 1u);
    EXPECT_EQ(rig.platform.saveDialogs[0].initialName, "teile2d");
    const tinygltf::Model m = ReadBack(target);
    ASSERT_EQ(m.nodes.size(), 1u);
    EXPECT_EQ(m.nodes[0].name, "Teil 3");
    // The same bytes into a stream, as a page that embeds the file takes them.
    std::ostringstream bytes;
    ASSERT_TRUE(rig.dlg->ExportShownModelTo(bytes));
    EXPECT_EQ(bytes.str(), test::ReadText(target));
}

// The textured mode embeds the texture with texture coordinates; the solid mode
// carries the current shades as vertex colours (linear values of the sRGB bytes).
TEST_F(ExportGltfTest, LookFollowsTheDisplayMode) {
    Open(kModelDir + "schrank3d.gl", kModeTextured);
    Export(rig.dir.path + "/holz.glb");
    tinygltf::Model m = ReadBack(rig.dir.path + "/holz.glb");
    ASSERT_EQ(m.images.size(), 1u);
    EXPECT_EQ(m.images[0].width, 512);
    EXPECT_EQ(m.materials[0].pbrMetallicRoughness.baseColorTexture.index, 0);
    EXPECT_EQ(m.samplers.at(0).wrapS, TINYGLTF_TEXTURE_WRAP_REPEAT);
    EXPECT_TRUE(m.meshes[0].primitives[0].attributes.count("TEXCOORD_0"));

    rig.Key(vk::F3);
    rig.Menu(ID_SCHEME_COLOUR);
    Export(rig.dir.path + "/farbig.glb");
    m = ReadBack(rig.dir.path + "/farbig.glb");
    EXPECT_TRUE(m.images.empty());
    const std::vector<float> colours =
        Floats(m, m.meshes[0].primitives[0].attributes.at("COLOR_0"));
    // Every colour of the coloured scheme has full or no red, green and blue.
    for (float c : colours)
        ASSERT_TRUE(c == 0.0f || c == 1.0f || std::fabs(c - 0.2158605f) < 1e-5) << c;
    EXPECT_NE(std::find(colours.begin(), colours.end(), 0.0f), colours.end());

    // The design colours: a material per colour shown, named by its hex value, its base
    // colour in linear light (the cabinet's first part, a white side 240, 240, 235, is
    // 0.8714, 0.8714, 0.8308); each node's mesh in the material of its record's colour.
    // Unreadable and out-of-range colours share the grey of shade 0 with 0xC0C0C0; a
    // block like them in red has a mesh of its own. No vertex colours: a reader would
    // multiply them with the material's colour.
    rig.Key('O');
    const std::string blocks = rig.Models() + "bunt3d.gl";
    std::string text = "Farben\n";
    for (const char* colour : {"12632256", "x", "16777216", "255", "-1"})
        text += "8 " + std::string(colour) + (test::kBlockRecord + 3) + std::string("\n");
    test::WriteText(blocks, text);
    const struct {
        std::string model;
        size_t materials;
        size_t checked;  // a material, its name and linear colour
        const char* name;
        double linear[3];
    } rows[] = {{kModelDir + "schrank3d.gl", 5, 0, "#F0F0EB", {0.8714, 0.8714, 0.8308}},
                {blocks, 2, 1, "#FF0000", {1, 0, 0}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.model);
        rig.Open(row.model);
        Export(rig.dir.path + "/entwurf.glb");
        m = ReadBack(rig.dir.path + "/entwurf.glb");
        ASSERT_EQ(m.materials.size(), row.materials);
        const tinygltf::Material& checked = m.materials[row.checked];
        EXPECT_EQ(checked.name, row.name);
        const std::vector<double>& factor = checked.pbrMetallicRoughness.baseColorFactor;
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(factor.at(k), row.linear[k], 1e-4);
        EXPECT_EQ(factor.at(3), 1.0);
        for (const tinygltf::Node& node : m.nodes) {
            const long colour = node.extras.Get("colour").GetNumberAsInt();
            const auto& primitive = m.meshes.at(node.mesh).primitives.at(0);
            EXPECT_EQ(m.materials.at(primitive.material).name, DesignColourHex(colour))
                << node.name;
            EXPECT_EQ(primitive.attributes.count("COLOR_0"), 0u) << node.name;
        }
    }
}

// The export takes the records on screen under the busy pointer, also when the file
// changed or went on disk since. A target that cannot be written, and a model with
// nothing to draw: a message, and no file (nor a temporary one) left behind.
TEST_F(ExportGltfTest, ExportsWhatIsShownOrLeavesNoFile) {
    const std::string model = rig.Models() + "block3d.gl";
    test::WriteModel(model, 3);
    rig.Start();
    rig.Open(model);
    const std::string folder = rig.dir.path + "/ziel.glb";
    std::filesystem::create_directories(folder);

    test::WriteModel(model, 5);
    rig.Picture();  // the frame that ends the open's busy pointer
    rig.platform.busyChanges.clear();
    Export(folder + "/x.glb");
    EXPECT_EQ(rig.platform.busyChanges, (std::vector<bool>{true, false}));
    std::filesystem::remove(model);
    Export(folder + "/y.glb");
    for (const char* name : {"/x.glb", "/y.glb"}) {
        EXPECT_EQ(ReadBack(folder + name).nodes.size(), 3u) << name;
        std::filesystem::remove(folder + name);
    }

    for (const std::string& target : {folder, folder + "/fehlt/x.glb"}) {
        SCOPED_TRACE(target);
        Export(target);
        EXPECT_EQ(rig.Messages().size(), 1u);
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
    const std::string empty = rig.Models() + "leer3d.gl";
    test::WriteText(empty, "ORX test model\n");
    rig.Open(empty);
    Export(folder + "/x.glb");
    EXPECT_EQ(rig.Messages(), std::vector<std::string>{CViewerDlg::NothingToDrawMessage(empty)});
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// The web page through the export dialog, on a stand-in for three.js: the dialog
// offers it beside the .glb type and the chosen name decides; the page holds the
// same .glb bytes, the header line as text, and a policy naming exactly its scripts
// and style. Without three.js, or with one that would end its script element, a
// message names the cause and nothing is written.
TEST_F(ExportGltfTest, WebPageHoldsTheModelAndOnlyItsOwnScripts) {
    rig.UseBuiltProgram();  // the page's template is in the program folder
    const std::string model = rig.Models() + "kopf3d.gl";
    test::WriteText(model,
                    "<b>K\xFC"
                    "che</b> </script> @MODEL@\n" +
                        std::string(test::kBlockRecord) + "\n");
    Open(model, kModeSolid);
    const std::string three = rig.dir.path + "/three/";
    test::WriteText(three + "three.min.js", "var THREE = {};");
    test::WriteText(three + "examples/js/loaders/GLTFLoader.js", "THREE.GLTFLoader = 1;");
    test::WriteText(three + "examples/js/controls/OrbitControls.js", "THREE.OrbitControls = 2;");
    ::setenv("ORX_THREE_DIR", three.c_str(), 1);
    const std::unique_ptr<const char, void (*)(const char*)> unset(
        "ORX_THREE_DIR", [](const char* name) { ::unsetenv(name); });

    const std::string page = rig.dir.path + "/seite.html", glb = rig.dir.path + "/seite.glb";
    Export(glb);
    Export(page);
    EXPECT_TRUE(rig.Messages().empty());
    EXPECT_NE(rig.platform.saveDialogs.back().filter.find("|Webseite (*.html)|*.html|"),
              std::string::npos);
    const std::string html = test::ReadText(page);
    EXPECT_NE(html.find("<title>&lt;b&gt;K\xC3\xBC"
                        "che&lt;/b&gt; &lt;/script&gt; &#64;MODEL&#64;</title>"),
              std::string::npos);
    EXPECT_NE(html.find("id=\"model\">" + Base64(test::ReadText(glb)) + "</script>"),
              std::string::npos);
    // Every element that runs is hashed in the policy, and the policy names no other.
    std::string hashes;
    for (const std::string open : {"<script>", "<style>"}) {
        const std::string close = "</" + open.substr(1);
        for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
            const size_t start = at + open.size();
            hashes += "'sha256-" +
                      Sha256Base64(html.substr(start, html.find(close, start) - start)) + "'";
        }
    }
    const size_t csp = html.find("Content-Security-Policy\" content=\"");
    ASSERT_NE(csp, std::string::npos);
    std::string policy = html.substr(csp, html.find('>', csp) - csp), named;
    for (size_t at = policy.find("'sha256-"); at != std::string::npos;
         at = policy.find("'sha256-", at + 1))
        named += policy.substr(at, policy.find('\'', at + 1) + 1 - at);
    EXPECT_EQ(named, hashes);
    EXPECT_NE(policy.find("default-src 'none'"), std::string::npos);
    EXPECT_EQ(hashes.size(), 5 * 53u);  // three.js, its two examples, the page's script, style

    const struct {
        const char* file;
        const char* text;
        const char* message;
    } broken[] = {
        {"examples/js/loaders/GLTFLoader.js", "a = '</SCRIPT>';", "nicht in eine Webseite"},
        {"three.min.js", nullptr, "libjs-three"},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.file);
        std::filesystem::remove(three + b.file);
        if (b.text) test::WriteText(three + b.file, b.text);
        Export(rig.dir.path + "/neu.html");
        ASSERT_EQ(rig.Messages().size(), 1u);
        EXPECT_NE(rig.Messages()[0].find(b.message), std::string::npos) << rig.Messages()[0];
        EXPECT_FALSE(std::filesystem::exists(rig.dir.path + "/neu.html"));
    }
}

}  // namespace
}  // namespace orx
