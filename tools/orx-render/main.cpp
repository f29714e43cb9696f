// orx-render: renders a model file to a BMP, JPEG or PNG picture without a window,
// with the same viewer code as the window, for thumbnails and catalogues.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/ViewerDlg.h"
#include "platform/Text.h"
#include "image/PngFile.h"
#include "image/Thumbnail.h"
#include "image/WindowCapture.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

const char* const kUsage =
    "usage: orx-render MODEL.gl OUT.bmp|OUT.jpg|OUT.png [options]\n"
    "  --size WxH           picture size in pixels (default 800x600)\n"
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
    "  --thumbnail N        an N x N PNG (N 1-1024) for file managers: the model filling\n"
    "                       it, from a fixed three-quarter view, lit, on a transparent\n"
    "                       background; not with --size, --angles, --origin, --background\n"
    "  --help               this text\n";

struct Options {
    std::string model, output;
    int width = 800, height = 600;
    int mode = 4;
    bool light = false, coloured = false, axes = false, walls = false, zeroPlane = false;
    int textureNumber = 1;
    std::string textureFile;
    orx::Rgb background{240, 240, 240};
    double angles[3] = {0, 0, 0};
    double origin[3] = {0, 0, -2.0};
    int part = 0;
    int thumbnail = 0;       // side of a thumbnail picture; 0: an ordinary picture
    bool viewGiven = false;  // --size, --angles, --origin or --background given
};

bool ParseInts(const char* text, char sep, int* out, int n) {
    const char* p = text;
    for (int i = 0; i < n; ++i) {
        char* end = nullptr;
        long v = std::strtol(p, &end, 10);
        if (end == p) return false;
        out[i] = static_cast<int>(v);
        if (i + 1 < n) {
            if (*end != sep) return false;
            p = end + 1;
        } else if (*end != '\0') {
            return false;
        }
    }
    return true;
}

bool ParseDoubles(const char* text, double* out) {
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        out[i] = std::strtod(p, &end);
        if (end == p) return false;
        if (i < 2) {
            if (*end != ',') return false;
            p = end + 1;
        } else if (*end != '\0') {
            return false;
        }
    }
    return true;
}

// Returns 0 on success, 2 on a usage error, -1 for --help.
int ParseOptions(int argc, char** argv, Options& o) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char*& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (a == "--help" || a == "-h") return -1;
        if (a == "--light") o.light = true;
        else if (a == "--coloured") o.coloured = true;
        else if (a == "--axes") o.axes = true;
        else if (a == "--walls") o.walls = true;
        else if (a == "--zero-plane") o.zeroPlane = true;
        else if (a == "--thumbnail") {
            int n;
            if (!value(v) || !ParseInts(v, ',', &n, 1) || n < 1 || n > 1024) return 2;
            o.thumbnail = n;
        } else if (a == "--size") {
            o.viewGiven = true;
            int wh[2];
            if (!value(v) || !ParseInts(v, 'x', wh, 2) || wh[0] < 1 || wh[1] < 1 || wh[0] > 8192 ||
                wh[1] > 8192)
                return 2;
            o.width = wh[0];
            o.height = wh[1];
        } else if (a == "--mode") {
            int m;
            if (!value(v) || !ParseInts(v, ',', &m, 1) || m < 1 || m > 4) return 2;
            o.mode = m;
        } else if (a == "--texture") {
            if (!value(v)) return 2;
            int n;
            if (ParseInts(v, ',', &n, 1)) {
                if (n < 1 || n > 9) return 2;
                o.textureNumber = n;
            } else {
                o.textureFile = v;
            }
        } else if (a == "--background") {
            o.viewGiven = true;
            int rgb[3];
            if (!value(v) || !ParseInts(v, ',', rgb, 3)) return 2;
            for (int c : rgb)
                if (c < 0 || c > 255) return 2;
            o.background = orx::Rgb{rgb[0], rgb[1], rgb[2]};
        } else if (a == "--angles") {
            o.viewGiven = true;
            if (!value(v) || !ParseDoubles(v, o.angles)) return 2;
        } else if (a == "--origin") {
            o.viewGiven = true;
            if (!value(v) || !ParseDoubles(v, o.origin)) return 2;
        } else if (a == "--part") {
            int k;
            if (!value(v) || !ParseInts(v, ',', &k, 1) || k < 1) return 2;
            o.part = k;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            return 2;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return 2;
    o.model = positional[0];
    o.output = positional[1];
    const std::string ext = orx::LowerExtension(o.output);
    if (ext != ".bmp" && ext != ".jpg" && ext != ".png") return 2;
    if (o.thumbnail > 0 && (ext != ".png" || o.viewGiven)) return 2;
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

// Samples per pixel side of a thumbnail: smooth edges, at most 2048 x 2048 drawn.
int ThumbnailSupersampling(int size) { return std::clamp(2048 / size, 1, 4); }

int Render(const Options& o) {
    PrivateProfile profile;
    const int supersample = o.thumbnail > 0 ? ThumbnailSupersampling(o.thumbnail) : 1;
    const int width = o.thumbnail > 0 ? o.thumbnail * supersample : o.width;
    const int height = o.thumbnail > 0 ? o.thumbnail * supersample : o.height;
    orx::HeadlessPlatform platform(width, height);
    platform.buttonFace = o.background;
    orx::SetProgramName("orx-render");
    orx::CViewerDlg dlg(platform);
    orx::SetMessagePlatform(&platform);

    if (!dlg.SetupPixelFormat() || !dlg.CreateGLContext())
        return Fail("no OpenGL context could be created");
    dlg.m_rgbaLine = orx::RGBA{0, 0, 0, 0};
    dlg.m_strProgramDir = orx::CViewerDlg::ProgramDirFrom(platform.ExecutablePath());
    dlg.m_bLiveFollow = false;
    dlg.m_nLightMode = o.light || o.thumbnail > 0 ? 1 : 0;
    dlg.m_nColourScheme = o.coloured ? 1 : 0;
    dlg.m_bShowAxes = o.axes;
    dlg.m_bShowRoomEdges = o.walls;
    dlg.m_bShowZeroPlane = o.zeroPlane;

    if (std::FILE* f = std::fopen(o.model.c_str(), "rb")) {
        std::fclose(f);
    } else {
        return Fail("Unable to open file for reading: " + o.model);
    }
    // Display mode and texture are set before the model is opened, so that the open
    // builds the model once in its final form (as the window does after start-up).
    dlg.m_nShading = o.mode;
    if (o.mode == 4) {
        if (o.textureFile.empty()) {
            dlg.SelectTexture(o.textureNumber, false);
        } else {
            dlg.m_texture.ReadFile(o.textureFile, -1, -1, -1);
            dlg.m_texture.SwapRedBlue();
        }
        for (const auto& m : platform.messages)
            std::fprintf(stderr, "orx-render: %s\n", m.text.c_str());
        platform.messages.clear();
    }
    dlg.SetProjection(width, height);
    dlg.OpenModelFile(o.model);
    if (dlg.m_strModelPath != o.model) {
        return Fail(platform.messages.empty() ? "the model was refused"
                                              : platform.messages.back().text);
    }
    if (dlg.m_nDemoTick >= 0) return Fail("Unable to open file for reading: " + o.model);
    if (o.part > 0 && dlg.m_nPart > 0) {
        dlg.m_nPart = std::min(o.part, dlg.m_nPartCount);
        dlg.UpdateTitle(0);
    }
    if (o.thumbnail > 0) {
        std::vector<uint8_t> rgba;
        if (!orx::RenderThumbnail(dlg, o.thumbnail, supersample, rgba))
            return Fail("the model has nothing to show: " + o.model);
        std::string error;
        if (!orx::PngFile::Write(o.output, rgba.data(), o.thumbnail, o.thumbnail, true, error))
            return Fail(error);
        return 0;
    }
    for (int i = 0; i < 3; ++i) {
        dlg.m_dAngle[i] = o.angles[i];
        dlg.m_dOrigin[i] = o.origin[i];
    }
    dlg.OnPaint();
    if (orx::LowerExtension(o.output) == ".png") {
        const std::vector<uint8_t> rgb = platform.ReadPixelsRgb();
        std::string error;
        if (!orx::PngFile::Write(o.output, rgb.data(), width, height, false, error))
            return Fail(error);
        return 0;
    }

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
    const int parsed = ParseOptions(argc, argv, options);
    if (parsed == -1) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parsed != 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return Render(options);
}
