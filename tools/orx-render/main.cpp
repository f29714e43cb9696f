// orx-render: renders a model file to a BMP or JPEG picture without a window,
// with the same viewer code as the window, for thumbnails and catalogues.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/ViewerDlg.h"
#include "image/WindowCapture.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

struct Request {
    std::string model, output;
    int width = 800, height = 600;
    int part = 0;
    orx::ViewOptions view;
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

// One command-line option: its name, the form of its value (empty for a switch),
// its help text and how it changes the request (false for a value it refuses).
struct Option {
    const char* name;
    const char* value;
    const char* help;
    std::function<bool(Request&, const char*)> apply;
};

const std::vector<Option>& Options() {
    static const std::vector<Option> options = {
        {"--size", "WxH", "picture size in pixels (default 800x600)",
         [](Request& r, const char* v) {
             int wh[2];
             if (!ParseInts(v, 'x', wh, 2)) return false;
             if (wh[0] < 1 || wh[1] < 1 || wh[0] > 8192 || wh[1] > 8192) return false;
             r.width = wh[0];
             r.height = wh[1];
             return true;
         }},
        {"--mode", "1-4", "1 hairlines, 2 wireframe, 3 solid, 4 textured (default 4)",
         [](Request& r, const char* v) {
             int m;
             if (!ParseInts(v, ',', &m, 1) || m < orx::kModeHairline || m > orx::kModeTextured)
                 return false;
             r.view.mode = static_cast<orx::DisplayMode>(m);
             return true;
         }},
        {"--light", "", "lighting on",
         [](Request& r, const char*) { return r.view.light = true; }},
        {"--coloured", "", "coloured shades in mode 3",
         [](Request& r, const char*) { return r.view.coloured = true; }},
        {"--texture", "N|FILE", "numbered texture 1-9 (default 1) or a BMP/JPEG/RAW file",
         [](Request& r, const char* v) {
             int n;
             if (!ParseInts(v, ',', &n, 1)) {
                 r.view.textureFile = v;
                 return true;
             }
             if (n < 1 || n > 9) return false;
             r.view.textureNumber = n;
             return true;
         }},
        {"--axes", "", "axis cross", [](Request& r, const char*) { return r.view.axes = true; }},
        {"--walls", "", "room walls", [](Request& r, const char*) { return r.view.walls = true; }},
        {"--zero-plane", "", "zero plane",
         [](Request& r, const char*) { return r.view.zeroPlane = true; }},
        {"--background", "R,G,B", "background colour, 0-255 each (default 240,240,240)",
         [](Request& r, const char* v) {
             int rgb[3];
             if (!ParseInts(v, ',', rgb, 3)) return false;
             for (int c : rgb)
                 if (c < 0 || c > 255) return false;
             r.view.background = orx::Rgb{rgb[0], rgb[1], rgb[2]};
             return true;
         }},
        {"--angles", "X,Y,Z", "rotation in degrees about x, y, z (default 0,0,0)",
         [](Request& r, const char* v) { return ParseDoubles(v, r.view.angles); }},
        {"--origin", "X,Y,Z", "model position in front of the eye (default 0,0,-2)",
         [](Request& r, const char* v) { return ParseDoubles(v, r.view.origin); }},
        {"--part", "K", "part K of a parts list (\"2d\" file)",
         [](Request& r, const char* v) {
             int k;
             if (!ParseInts(v, ',', &k, 1) || k < 1) return false;
             r.part = k;
             return true;
         }},
    };
    return options;
}

std::string Usage() {
    std::string text = "usage: orx-render MODEL.gl OUT.bmp|OUT.jpg [options]\n";
    auto line = [&text](const std::string& left, const char* help) {
        std::string l = "  " + left;
        l.resize(std::max<size_t>(l.size() + 1, 23), ' ');
        text += l + help + "\n";
    };
    for (const Option& o : Options())
        line(std::string(o.name) + (*o.value ? std::string(" ") + o.value : ""), o.help);
    line("--help", "this text");
    return text;
}

// Returns 0 on success, 2 on a usage error, -1 for --help.
int ParseArguments(int argc, char** argv, Request& request) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") return -1;
        if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            const Option* option = nullptr;
            for (const Option& o : Options())
                if (a == o.name) option = &o;
            if (!option) return 2;
            const char* value = "";
            if (*option->value) {
                if (i + 1 >= argc) return 2;
                value = argv[++i];
            }
            if (!option->apply(request, value)) return 2;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return 2;
    request.model = positional[0];
    request.output = positional[1];
    const std::string ext = orx::LowerExtension(request.output);
    if (ext != ".bmp" && ext != ".jpg") return 2;
    return 0;
}

// A private profile folder, so that no settings file of the user is read or written.
class PrivateProfile {
public:
    PrivateProfile() {
        char pattern[] = "/tmp/orx-render-XXXXXX";
        if (const char* made = ::mkdtemp(pattern)) m_path = made;
    }
    ~PrivateProfile() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "orx-render: %s\n", text.c_str());
    return 1;
}

int Render(const Request& r) {
    PrivateProfile profile;
    orx::HeadlessPlatform platform(r.width, r.height,
                                   profile.Path().empty() ? "/nonexistent" : profile.Path());
    orx::SetProgramName("orx-render");
    orx::CViewerDlg dlg(platform);
    orx::SetMessagePlatform(&platform);

    if (!dlg.StartRendering(r.width, r.height)) return Fail("no OpenGL context could be created");
    if (std::FILE* f = std::fopen(r.model.c_str(), "rb")) {
        std::fclose(f);
    } else {
        return Fail("Unable to open file for reading: " + r.model);
    }
    // Every option is set before the model is opened, so that the open builds the
    // model once in its final form (as the window does after start-up).
    dlg.ApplyViewOptions(r.view);
    const int shownBefore = platform.MessagesShown();
    if (!dlg.OpenModelForRendering(r.model, r.part)) {
        return platform.MessagesShown() > shownBefore
                   ? 1
                   : Fail("Unable to open file for reading: " + r.model);
    }
    dlg.OnPaint();

    orx::CWindowCapture capture;
    if (!capture.Capture(platform, platform.GetClientRect()))
        return Fail("the picture could not be read back");
    const int shownBeforeSave = platform.MessagesShown();
    const bool saved = capture.Save(r.output);
    if (!saved || platform.MessagesShown() > shownBeforeSave)
        return platform.MessagesShown() > shownBeforeSave ? 1 : Fail("could not write " + r.output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Request request;
    const int parsed = ParseArguments(argc, argv, request);
    if (parsed == -1) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (parsed != 0) {
        std::fputs(Usage().c_str(), stderr);
        return 2;
    }
    return Render(request);
}
