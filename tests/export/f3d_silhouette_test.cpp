// An independent glTF renderer (f3d) draws the exported file where orx-render draws
// the model. f3d's camera is put where the viewer's eye is for the same angles: the
// viewer divides the model by its extent E about its centre C and sets it at
// `origin` before the eye, turned by Rx·Ry·Rz; so in the file's metres the eye
// stands at C + E·R⁻¹(−origin), looks along R⁻¹(0,0,−1) with R⁻¹(0,1,0) up, and
// both use a vertical view angle of 45 degrees. The silhouettes (f3d's opaque
// pixels, orx-render's pixels off the black background) may differ in at most 1 %
// of the model's pixels (edge pixels that two rasterisers may place differently;
// on Mesa none differ).
#include <gtest/gtest.h>
#include <png.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 400, kHeight = 300;

struct Mask {
    std::vector<bool> on;
    int count = 0;
};

// The pixels of a PNG picture that belong to the model: opaque ones, or with
// `byColour` any off the black background.
bool ReadMask(const std::string& path, bool byColour, Mask& mask) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return false;
    if (image.width != kWidth || image.height != kHeight) return false;
    mask.on.assign(size_t(kWidth) * kHeight, false);
    for (size_t i = 0; i < mask.on.size(); ++i) {
        const png_byte* p = &pixels[4 * i];
        mask.on[i] = byColour ? std::max({p[0], p[1], p[2]}) > 24 : p[3] > 128;
        mask.count += mask.on[i];
    }
    return true;
}

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// R⁻¹·v = Rz(−c)·Ry(−b)·Rx(−a)·v: the turn about x first.
void Unturn(const double* degrees, const double* v, double* out) {
    double p[3] = {v[0], v[1], v[2]};
    const double rad = M_PI / 180.0;
    auto turn = [&p](int axis, double angle) {
        const int i = (axis + 1) % 3, j = (axis + 2) % 3;
        const double c = std::cos(angle), s = std::sin(angle);
        const double a = c * p[i] - s * p[j], b = s * p[i] + c * p[j];
        p[i] = a;
        p[j] = b;
    };
    turn(0, -degrees[0] * rad);
    turn(1, -degrees[1] * rad);
    turn(2, -degrees[2] * rad);
    std::copy(p, p + 3, out);
}

TEST(ExportF3d, SilhouetteMatchesTheRenderer) {
    if (Shell("command -v f3d") != 0) GTEST_SKIP() << "f3d is not installed";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "orx-export-f3d";
    std::filesystem::create_directories(dir);
    const std::string render = ORX_RENDER;
    const double angles[3] = {20.0, 35.0, 0.0};
    for (const char* name : {"schrank3d", "tisch3d", "eckregal3d", "eckkueche3d"}) {
        SCOPED_TRACE(name);
        const std::string model = std::string(ORX_PROGRAM_DIR) + "/modelle/" + name + ".gl";
        const std::string ours = (dir / (std::string(name) + "-orx.png")).string();
        const std::string glb = (dir / (std::string(name) + ".glb")).string();
        const std::string theirs = (dir / (std::string(name) + "-f3d.png")).string();
        ASSERT_EQ(Shell(render + " " + model + " " + ours + " --mode 3 --size 400x300 " +
                        "--background 0,0,0 --angles 20,35,0"),
                  0);
        ASSERT_EQ(Shell(render + " " + model + " " + glb + " --mode 3"), 0);

        // The bounds as the viewer measures them, from the file's accessors placed by
        // their nodes.
        tinygltf::Model m;
        std::string error, warning;
        tinygltf::TinyGLTF reader;
        ASSERT_TRUE(reader.LoadBinaryFromFile(&m, &error, &warning, glb)) << error;
        double lo[3] = {HUGE_VAL, HUGE_VAL, HUGE_VAL}, hi[3] = {-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        for (const tinygltf::Node& node : m.nodes) {
            const tinygltf::Mesh& mesh = m.meshes.at(node.mesh);
            const tinygltf::Accessor& a = m.accessors[mesh.primitives[0].attributes.at("POSITION")];
            for (int k = 0; k < 3; ++k) {
                const double moved = node.translation.empty() ? 0.0 : node.translation[k];
                lo[k] = std::min(lo[k], a.minValues[k] + moved);
                hi[k] = std::max(hi[k], a.maxValues[k] + moved);
            }
        }
        const double extent = std::max({hi[0], hi[1], hi[2]});  // the largest maximum
        const double back[3] = {0, 0, 2}, ahead[3] = {0, 0, -1}, up[3] = {0, 1, 0};
        double eye[3], look[3], top[3];
        Unturn(angles, back, eye);
        Unturn(angles, ahead, look);
        Unturn(angles, up, top);
        char camera[512];
        std::snprintf(camera, sizeof camera,
                      "--camera-position=%.6f,%.6f,%.6f --camera-focal-point=%.6f,%.6f,%.6f "
                      "--camera-view-up=%.6f,%.6f,%.6f --camera-view-angle=45",
                      (lo[0] + hi[0]) / 2 + extent * eye[0], (lo[1] + hi[1]) / 2 + extent * eye[1],
                      (lo[2] + hi[2]) / 2 + extent * eye[2],
                      (lo[0] + hi[0]) / 2 + extent * (eye[0] + look[0]),
                      (lo[1] + hi[1]) / 2 + extent * (eye[1] + look[1]),
                      (lo[2] + hi[2]) / 2 + extent * (eye[2] + look[2]), top[0], top[1], top[2]);
        ASSERT_EQ(Shell("f3d --dry-run --no-background --resolution=400,300 " +
                        std::string(camera) + " --output=" + theirs + " " + glb),
                  0)
            << camera;

        Mask a, b;
        ASSERT_TRUE(ReadMask(ours, true, a));
        ASSERT_TRUE(ReadMask(theirs, false, b));
        ASSERT_GT(a.count, kWidth * kHeight / 20);  // the model fills a good part
        int differing = 0;
        for (size_t i = 0; i < a.on.size(); ++i) differing += a.on[i] != b.on[i];
        EXPECT_LE(differing, a.count / 100) << ours << " vs " << theirs;
        std::printf("%s: %d of %d model pixels differ\n", name, differing, a.count);
    }
}

}  // namespace
