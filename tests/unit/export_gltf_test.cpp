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
#include <sstream>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "app/ViewerDlg.h"
#include "export/PartsListing.h"

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

// A node's triangles as a reader sees them, each corner its position, normal and look
// in micro-units, each triangle from its least corner, the triangles sorted: the
// same for the same surface whatever the order in the file.
using Corner = std::vector<long long>;
std::vector<std::vector<Corner>> SortedTriangles(const tinygltf::Model& m,
                                                 const tinygltf::Node& node) {
    const auto& attributes = m.meshes.at(node.mesh).primitives.at(0).attributes;
    std::vector<std::vector<float>> values;
    for (const char* name : {"POSITION", "NORMAL", "TEXCOORD_0", "COLOR_0"})
        if (attributes.count(name)) values.push_back(NodeFloats(m, node, name));
    const size_t corners = values[0].size() / 3;
    std::vector<std::vector<Corner>> triangles(corners / 3);
    for (size_t c = 0; c < corners; ++c) {
        Corner corner;
        for (const std::vector<float>& v : values)
            for (size_t k = c * (v.size() / corners); k < (c + 1) * (v.size() / corners); ++k)
                corner.push_back(std::llround(v[k] * 1e6));
        triangles[c / 3].push_back(corner);
    }
    for (std::vector<Corner>& t : triangles)
        std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

// The files the writer before this one made (a tree built with tinygltf) from the
// sample models, against today's: every node the same triangles. With
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
            ASSERT_TRUE(SortedTriangles(now, now.nodes[i]) ==
                        SortedTriangles(before, before.nodes[i]))
                << now.nodes[i].name;
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
    EXPECT_EQ(rig.platform.saveDialogs[0].initialName, "teile2d.glb");
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

}  // namespace
}  // namespace orx
