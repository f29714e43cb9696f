// orx-render: renders a model file to a BMP or JPEG picture without a window,
// with the same viewer code as the window, for thumbnails and catalogues.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "OptionNumbers.h"
#include "app/ViewerDlg.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"
#include "image/WindowCapture.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

const char* const kUsage =
    "usage: orx-render MODEL.gl OUT.bmp|OUT.jpg [options]\n"
    "  --size WxH           picture size in pixels, 1-8192 each (default 800x600)\n"
    "  --mode 1-4           1 hairlines, 2 wireframe, 3 solid, 4 textured (default 4)\n"
    "  --light              lighting on\n"
    "  --coloured           coloured shades in mode 3\n"
    "  --texture N|FILE     numbered texture 1-9 (default 1) or a BMP/JPEG/RAW file\n"
    "  --axes               axis cross\n"
    "  --walls              room walls\n"
    "  --zero-plane         zero plane\n"
    "  --background R,G,B   background colour, 0-255 each (default 240,240,240)\n"
    "  --angles X,Y,Z       rotation in degrees about x, y, z (default 0,0,0)\n"
    "  --origin X,Y,Z       model position in front of the eye (default 0,0,-2)\n"
    "  --part K             part K of a parts list (\"2d\" file)\n"
    "  --help               this text\n";

constexpr long long kMaxPictureSide = 8192;

struct Options {
    std::string model, output;
    int width = 800, height = 600;
    int mode = 4;
    bool light = false, coloured = false, axes = false, walls = false, zeroPlane = false;
    int textureNumber = 1;
    std::string textureFile;
    bool textureNamed = false;  // --texture given
    orx::Rgb background{240, 240, 240};
    double angles[3] = {0, 0, 0};
    double origin[3] = {0, 0, -2.0};
    int part = 0;
};

// Reads n whole numbers from lo to hi separated by sep ("WxH", "R,G,B", "K").
bool ReadWholes(const char* text, char sep, const char* shape, long long lo, long long hi,
                int* out, size_t n, std::string& error) {
    std::vector<std::string_view> parts;
    if (!orx::render::SplitInto(text, sep, n, parts)) {
        error = std::string("expected ") + shape + ", not '" + text + "'";
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        long long v = 0;
        if (!orx::render::ParseWhole(parts[i], lo, hi, v, error)) return false;
        out[i] = static_cast<int>(v);
    }
    return true;
}

// Reads three finite numbers separated by commas ("X,Y,Z").
bool ReadTriple(const char* text, double* out, std::string& error) {
    std::vector<std::string_view> parts;
    if (!orx::render::SplitInto(text, ',', 3, parts)) {
        error = std::string("expected X,Y,Z, not '") + text + "'";
        return false;
    }
    for (size_t i = 0; i < 3; ++i)
        if (!orx::render::ParseFinite(parts[i], out[i], error)) return false;
    return true;
}

// Returns 0 on success, 2 on a usage error (error then says what is wrong; it is
// empty when no argument was given at all), -1 for --help.
int ParseOptions(int argc, char** argv, Options& o, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = nullptr;
        // The option's value; a usage error when it is missing.
        auto value = [&] {
            if (i + 1 >= argc) {
                error = a + ": a value is missing";
                return false;
            }
            v = argv[++i];
            return true;
        };
        // A usage error of this option: the option's name, then what is wrong.
        auto bad = [&] {
            if (error.rfind(a + ":", 0) != 0) error = a + ": " + error;
            return 2;
        };
        if (a == "--help" || a == "-h") return -1;
        if (a == "--light") o.light = true;
        else if (a == "--coloured") o.coloured = true;
        else if (a == "--axes") o.axes = true;
        else if (a == "--walls") o.walls = true;
        else if (a == "--zero-plane") o.zeroPlane = true;
        else if (a == "--size") {
            int wh[2];
            if (!value() || !ReadWholes(v, 'x', "WxH", 1, kMaxPictureSide, wh, 2, error)) return bad();
            o.width = wh[0];
            o.height = wh[1];
        } else if (a == "--mode") {
            if (!value() || !ReadWholes(v, ',', "1-4", 1, 4, &o.mode, 1, error)) return bad();
        } else if (a == "--texture") {
            if (!value()) return bad();
            // A whole number names a numbered texture, anything else a file.
            const std::string_view text(v);
            const size_t digits = text.find_first_not_of("+-0123456789");
            if (!text.empty() && digits == std::string_view::npos) {
                if (!ReadWholes(v, ',', "N", 1, 9, &o.textureNumber, 1, error)) return bad();
            } else {
                o.textureFile = v;
            }
            o.textureNamed = true;
        } else if (a == "--background") {
            int rgb[3];
            if (!value() || !ReadWholes(v, ',', "R,G,B", 0, 255, rgb, 3, error)) return bad();
            o.background = orx::Rgb{rgb[0], rgb[1], rgb[2]};
        } else if (a == "--angles") {
            if (!value() || !ReadTriple(v, o.angles, error)) return bad();
        } else if (a == "--origin") {
            if (!value() || !ReadTriple(v, o.origin, error)) return bad();
        } else if (a == "--part") {
            if (!value() || !ReadWholes(v, ',', "K", 1, INT_MAX, &o.part, 1, error)) return bad();
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            error = a + ": unknown option";
            return 2;
        } else {
            positional.push_back(a);
        }
    }
    if (argc <= 1) return 2;
    if (positional.size() < 2) {
        error = positional.empty() ? "the model file and the picture file are missing"
                                   : "the picture file is missing";
        return 2;
    }
    if (positional.size() > 2) {
        error = positional[2] + ": one model file and one picture file only";
        return 2;
    }
    o.model = positional[0];
    o.output = positional[1];
    const std::string ext = orx::LowerExtension(o.output);
    if (ext != ".bmp" && ext != ".jpg") {
        error = o.output + ": the picture file must end in .bmp or .jpg";
        return 2;
    }
    return 0;
}

// A private profile folder, so that no settings file of the user is read or written.
class PrivateProfile {
public:
    PrivateProfile() {
        char pattern[] = "/tmp/orx-render-XXXXXX";
        if (const char* made = ::mkdtemp(pattern)) m_path = made;
        ::setenv("XDG_CONFIG_HOME", m_path.empty() ? "/nonexistent" : m_path.c_str(), 1);
    }
    ~PrivateProfile() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }

private:
    std::string m_path;
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "orx-render: %s\n", text.c_str());
    return 1;
}

// The messages the viewer showed, then the failure itself when it showed none.
int FailWithMessages(orx::HeadlessPlatform& platform, const std::string& otherwise) {
    if (platform.messages.empty()) return Fail(otherwise);
    for (const auto& m : platform.messages) Fail(m.text);
    return 1;
}

int Render(const Options& o) {
    PrivateProfile profile;
    orx::HeadlessPlatform platform(o.width, o.height);
    platform.buttonFace = o.background;
    orx::SetProgramName("orx-render");
    orx::CViewerDlg dlg(platform);
    orx::SetMessagePlatform(&platform);

    if (!dlg.SetupPixelFormat() || !dlg.CreateGLContext())
        return Fail("no OpenGL context could be created");
    dlg.m_rgbaLine = orx::RGBA{0, 0, 0, 0};
    dlg.m_strProgramDir = orx::CViewerDlg::ProgramDirFrom(platform.ExecutablePath());
    dlg.m_bLiveFollow = false;
    dlg.m_nLightMode = o.light ? 1 : 0;
    dlg.m_nColourScheme = o.coloured ? 1 : 0;
    dlg.m_bShowAxes = o.axes;
    dlg.m_bShowRoomEdges = o.walls;
    dlg.m_bShowZeroPlane = o.zeroPlane;

    // Only a regular file is read; a folder, FIFO or device is refused without
    // blocking, as a missing file is.
    if (std::FILE* f = orx::OpenRegularFile(o.model)) {
        std::fclose(f);
    } else {
        return Fail("Unable to open file for reading: " + o.model);
    }
    // Display mode and texture are set before the model is opened, so that the open
    // builds the model once in its final form (as the window does after start-up).
    // A texture that cannot be loaded is a failure: no picture without it.
    dlg.m_nShading = o.mode;
    if (o.mode == 4 || o.textureNamed) {
        if (o.textureFile.empty()) {
            dlg.SelectTexture(o.textureNumber, false);
        } else {
            dlg.m_texture.ReadFile(o.textureFile, -1, -1, -1);
            dlg.m_texture.SwapRedBlue();
        }
        if (!dlg.m_texture.HasImage()) {
            const std::string name = o.textureFile.empty()
                                         ? "texture " + std::to_string(o.textureNumber)
                                         : o.textureFile;
            return FailWithMessages(platform, "the texture could not be loaded: " + name);
        }
        for (const auto& m : platform.messages)
            std::fprintf(stderr, "orx-render: %s\n", m.text.c_str());
        platform.messages.clear();
    }
    dlg.SetProjection(o.width, o.height);
    dlg.OpenModelFile(o.model);
    if (dlg.m_strModelPath != o.model) {
        return Fail(platform.messages.empty() ? "the model was refused"
                                              : platform.messages.back().text);
    }
    // A file that could not be read after all starts the demo, or finds nothing to show.
    if (dlg.m_nDemoTick >= 0 || !platform.messages.empty())
        return Fail("Unable to open file for reading: " + o.model);
    if (o.part > 0 && dlg.m_nPart > 0) {
        dlg.m_nPart = std::min(o.part, dlg.m_nPartCount);
        dlg.UpdateTitle(0);
    }
    for (int i = 0; i < 3; ++i) {
        dlg.m_dAngle[i] = o.angles[i];
        dlg.m_dOrigin[i] = o.origin[i];
    }
    dlg.OnPaint();

    orx::CWindowCapture capture;
    if (!capture.Capture(platform, platform.GetClientRect()))
        return Fail("the picture could not be read back");
    platform.messages.clear();
    const bool saved = capture.Save(o.output);
    if (!saved || !platform.messages.empty())
        return Fail(platform.messages.empty() ? "could not write " + o.output
                                              : platform.messages.back().text);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    const int parsed = ParseOptions(argc, argv, options, error);
    if (parsed == -1) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parsed != 0) {
        if (error.empty()) {
            std::fputs(kUsage, stderr);
        } else {
            std::fprintf(stderr, "orx-render: %s; see --help\n", error.c_str());
        }
        return 2;
    }
    return Render(options);
}
