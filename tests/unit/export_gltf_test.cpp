// Export of the shown model to binary glTF, read back with the library that wrote
// it: one node per record, the model's bounds in metres, unit normals pointing out
// of their part, the look of the display mode, and failures that leave no file.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "app/ViewerDlg.h"

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
    const size_t n = a.count * tinygltf::GetNumComponentsInType(a.type);
    std::vector<float> out(n);
    std::memcpy(out.data(), m.buffers[0].data.data() + v.byteOffset + a.byteOffset, n * 4);
    return out;
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
            const tinygltf::Primitive& p = m.meshes[node.mesh].primitives.at(0);
            const std::vector<float> pos = Floats(m, p.attributes.at("POSITION"));
            const std::vector<float> nor = Floats(m, p.attributes.at("NORMAL"));
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
    }
}

// A parts list exports the part shown, under its own number; the save dialog offers
// the model's name.
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

    // The design colours: the cabinet's first part, a white side (240, 240, 235), is
    // that colour at its brightest corner (shade 0).
    rig.Key('O');
    Export(rig.dir.path + "/entwurf.glb");
    m = ReadBack(rig.dir.path + "/entwurf.glb");
    const int accessor = m.meshes[0].primitives[0].attributes.at("COLOR_0");
    const size_t stride = tinygltf::GetNumComponentsInType(m.accessors[accessor].type);
    const std::vector<float> side = Floats(m, accessor);
    float brightest[3] = {};
    for (size_t i = 0; i + 2 < side.size(); i += stride)
        for (size_t c = 0; c < 3; ++c) brightest[c] = std::max(brightest[c], side[i + c]);
    EXPECT_NEAR(brightest[0], 0.8714f, 1e-3);
    EXPECT_NEAR(brightest[1], 0.8714f, 1e-3);
    EXPECT_NEAR(brightest[2], 0.8308f, 1e-3);
}

// A target that cannot be written, and a model that can no longer be read: a
// message, and no file (nor a temporary one) left behind.
TEST_F(ExportGltfTest, FailuresShowAMessageAndLeaveNoFile) {
    const std::string model = rig.Models() + "block3d.gl";
    test::WriteModel(model, 3);
    rig.Start();
    rig.Open(model);

    const std::string folder = rig.dir.path + "/ziel.glb";
    std::filesystem::create_directories(folder);
    for (const std::string& target : {folder, folder + "/fehlt/x.glb"}) {
        SCOPED_TRACE(target);
        Export(target);
        EXPECT_EQ(rig.Messages().size(), 1u);
        EXPECT_TRUE(std::filesystem::is_empty(folder));
    }
    std::filesystem::remove(model);
    Export(folder + "/x.glb");
    ASSERT_EQ(rig.Messages().size(), 1u);
    EXPECT_NE(rig.Messages()[0].find(model), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

}  // namespace
}  // namespace orx
