// Export of the shown model to binary glTF, read back with the library that wrote
// it: one node per record, the model's bounds in metres, unit normals pointing out
// of their part, the look of the display mode, and failures that leave no file.
#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "app/ViewerDlg.h"
#include "export/WebPage.h"

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
    EXPECT_EQ(rig.platform.saveDialogs[0].initialName, "teile2d");
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
