// Thumbnails as a file manager makes them: the thumbnailer file is read, its Exec line
// run with %i, %o and %s filled in, and the PNG that orx-render writes is measured.
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ViewerRig.h"

extern char** environ;

namespace orx::test {
namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
};

bool ReadPng(const std::string& path, Picture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) != 0;
}

// The keys of group [Thumbnailer Entry].
std::map<std::string, std::string> ReadThumbnailer(const std::string& path) {
    std::ifstream in(path);
    std::map<std::string, std::string> keys;
    std::string line, group;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line;
            continue;
        }
        const size_t eq = line.find('=');
        if (group == "[Thumbnailer Entry]" && eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

// The Exec line split into arguments and its field codes filled in, as a file manager
// does: the file to draw, the picture to write and the size.
std::vector<std::string> ExpandExec(const std::string& exec, const std::string& input,
                                    const std::string& output, int size) {
    std::vector<std::string> args;
    std::istringstream words(exec);
    std::string word;
    while (words >> word) {
        if (word == "%i")
            word = input;
        else if (word == "%o")
            word = output;
        else if (word == "%s")
            word = std::to_string(size);
        args.push_back(word);
    }
    return args;
}

// Runs a program found on a PATH that begins with the program folder; its exit code.
int RunProgram(const std::vector<std::string>& args) {
    static const bool pathSet = [] {
        const char* path = std::getenv("PATH");
        const std::string full =
            std::string(ORX_PROGRAM_DIR) + ":" + (path ? path : "/usr/bin:/bin");
        return ::setenv("PATH", full.c_str(), 1) == 0;
    }();
    EXPECT_TRUE(pathSet);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

const std::string kSamples = std::string(ORX_PROGRAM_DIR) + "/modelle/";

class Thumbnailer : public ::testing::Test {
protected:
    TempProfile dir;
    std::map<std::string, std::string> entry =
        ReadThumbnailer(std::string(ORX_SOURCE_DIR) + "/data/desktop/orx-view.thumbnailer");

    // Runs the thumbnailer on `model`; the exit code.
    int Thumbnail(const std::string& model, const std::string& output, int size) {
        return RunProgram(ExpandExec(entry["Exec"], model, output, size));
    }
};

// The model, that is the pixels not fully transparent, fills the square within its
// margin of 3 % each side and sits in the middle.
void ExpectFilledAndCentred(const Picture& p) {
    int left = p.width, top = p.height, right = -1, bottom = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y)[3] > 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "nothing drawn";
    const int margin = p.width * 3 / 100;
    EXPECT_NEAR(std::max(right - left, bottom - top) + 1, p.width - 2 * margin, 3);
    EXPECT_NEAR(left + right, p.width - 1, 3) << left << ".." << right;
    EXPECT_NEAR(top + bottom, p.height - 1, 3) << top << ".." << bottom;
}

TEST_F(Thumbnailer, EntryNamesTheRendererAndTheModelType) {
    EXPECT_EQ(entry["TryExec"], "orx-render");
    EXPECT_EQ(entry["Exec"], "orx-render %i %o --thumbnail %s");
    EXPECT_EQ(entry["MimeType"], "model/x-orx-gl;");
    EXPECT_TRUE(std::filesystem::exists(std::string(ORX_PROGRAM_DIR) + "/" + entry["TryExec"]));
}

TEST_F(Thumbnailer, DrawsTheModelTexturedOnTransparency) {
    // File managers hand over paths with blanks and umlauts as one argument.
    const std::string model = dir.File("Küche alt/schrank3d.gl");
    std::filesystem::create_directories(dir.File("Küche alt"));
    std::filesystem::copy_file(kSamples + "schrank3d.gl", model);
    const std::string out = dir.File("thumb file.png");
    ASSERT_EQ(Thumbnail(model, out, 128), 0);
    Picture p;
    ASSERT_TRUE(ReadPng(out, p));
    ASSERT_EQ(p.width, 128);
    ASSERT_EQ(p.height, 128);
    for (auto [x, y] : {std::pair{0, 0}, {127, 0}, {0, 127}, {127, 127}})
        EXPECT_EQ(p.At(x, y)[3], 0) << "corner " << x << "," << y;
    EXPECT_EQ(p.At(64, 64)[3], 255) << "no model in the middle";
    ExpectFilledAndCentred(p);

    // The cherry texture lies on the model: reddish, and not one flat colour.
    double red = 0, blue = 0;
    int opaque = 0;
    std::set<uint32_t> colours;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.At(x, y)[3] == 255) {
                red += p.At(x, y)[0];
                blue += p.At(x, y)[2];
                colours.insert(p.At(x, y)[0] << 16 | p.At(x, y)[1] << 8 | p.At(x, y)[2]);
                ++opaque;
            }
    ASSERT_GT(opaque, 0);
    EXPECT_GT(red / opaque, blue / opaque + 30);
    EXPECT_GT(colours.size(), 100u);
}

// A model far from the origin, one wholly at negative coordinates (the build mirrors
// those) and a flat panel each fill the square; a sample model is drawn at every size.
TEST_F(Thumbnailer, ModelsAnywhereInSpaceFillThePictureAtEverySize) {
    auto thumbnail = [&](const std::string& model, int size, bool measure) {
        SCOPED_TRACE(model + " " + std::to_string(size));
        const std::string out = dir.File("t" + std::to_string(size) + ".png");
        ASSERT_EQ(Thumbnail(model, out, size), 0);
        Picture p;
        ASSERT_TRUE(ReadPng(out, p));
        EXPECT_EQ(std::pair(p.width, p.height), std::pair(size, size));
        EXPECT_GT(p.At(size / 2, size / 2)[3], 0);
        if (measure) {
            EXPECT_EQ(p.At(0, 0)[3], 0);
            EXPECT_EQ(p.At(size / 2, size / 2)[3], 255);
            ExpectFilledAndCentred(p);
        }
    };
    auto model = [&](const std::string& name, const std::string& record) {
        WriteText(dir.File(name), "header\n8 0 8 " + record + "\n");
        return dir.File(name);
    };
    thumbnail(model("fern3d.gl",
                    "100000 0 600 102000 0 600 102000 800 600 100000 800 600 "
                    "100000 0 0 102000 0 0 102000 800 0 100000 800 0"),
              96, true);
    thumbnail(model("negativ3d.gl",
                    "-2000 -800 -1 -1 -800 -1 -1 -1 -1 -2000 -1 -1 "
                    "-2000 -800 -600 -1 -800 -600 -1 -1 -600 -2000 -1 -600"),
              96, true);
    thumbnail(model("platte3d.gl",
                    "0 0 19 600 0 19 600 400 19 0 400 19 0 0 0 600 0 0 600 400 0 "
                    "0 400 0"),
              96, true);
    for (int size : {1, 256, 1024}) thumbnail(kSamples + "kommode3d.gl", size, false);
}

TEST_F(Thumbnailer, ModelsWithoutPictureGiveExitOneAndNoFile) {
    // The file manager then shows the type's icon.
    WriteText(dir.File("leer3d.gl"), "only a header line\n");
    WriteText(dir.File("kaputt3d.gl"), "header\nthis is no record\n");
    WriteModel(dir.File("model.gl"));  // a good model, but not named as one
    std::filesystem::create_directories(dir.File("ordner3d.gl"));
    const std::string out = dir.File("out.png");
    for (const std::string& model :
         {dir.File("fehlt3d.gl"), dir.File("leer3d.gl"), dir.File("kaputt3d.gl"),
          dir.File("model.gl"), dir.File("ordner3d.gl")}) {
        SCOPED_TRACE(model);
        EXPECT_EQ(Thumbnail(model, out, 128), 1);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    // Nothing else was left in the folder either (no temporary picture).
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        if (e.path().extension() == ".png" || e.path().filename().string()[0] == '.') ++files;
    EXPECT_EQ(files, 0);
}

}  // namespace
}  // namespace orx::test
