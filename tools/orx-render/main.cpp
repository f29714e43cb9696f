// orx-render: renders a model file to a BMP, JPEG or PNG picture without a window,
// with the same viewer code as the window, for thumbnails and catalogues.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "OptionNumbers.h"
#include "app/ViewerDlg.h"
#include "export/PartsListing.h"
#include "image/PngFile.h"
#include "image/Thumbnail.h"
#include "image/WindowCapture.h"
#include "platform/MemoryTuning.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

constexpr long long kMaxPictureSide = 8192;

struct Request {
    std::string model, output;
    int width = 800, height = 600;
    int part = 0;
    int thumbnail = 0;       // side of a thumbnail picture; 0: an ordinary picture
    bool viewGiven = false;  // --size, --angles, --origin or --background given
    bool parts = false;      // list the parts instead of drawing a picture
    orx::ViewOptions view;
};

// Reads n whole numbers from lo to hi separated by sep ("WxH", "R,G,B", "K").
bool ReadWholes(const char* text, char sep, const char* shape, long long lo, long long hi, int* out,
                size_t n, std::string& error) {
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

// One command-line option: its name, the form of its value (empty for a switch),
// its help text and how it changes the request. A refused value returns false with
// `error` saying what is wrong.
struct Option {
    const char* name;
    const char* value;
    const char* help;
    std::function<bool(Request&, const char*, std::string& error)> apply;
};

const std::vector<Option>& Options() {
    static const std::vector<Option> options = {
        {"--size", "WxH", "picture size in pixels, 1-8192 each (default 800x600)",
         [](Request& r, const char* v, std::string& e) {
             int wh[2];
             if (!ReadWholes(v, 'x', "WxH", 1, kMaxPictureSide, wh, 2, e)) return false;
             r.viewGiven = true;
             r.width = wh[0];
             r.height = wh[1];
             return true;
         }},
        {"--mode", "1-4", "1 hairlines, 2 wireframe, 3 solid, 4 textured (default 4)",
         [](Request& r, const char* v, std::string& e) {
             int m = 0;
             if (!ReadWholes(v, ',', "1-4", orx::kModeHairline, orx::kModeTextured, &m, 1, e))
                 return false;
             r.view.mode = static_cast<orx::DisplayMode>(m);
             return true;
         }},
        {"--light", "", "lighting on",
         [](Request& r, const char*, std::string&) { return r.view.light = true; }},
        {"--coloured", "", "coloured shades in mode 3",
         [](Request& r, const char*, std::string&) { return r.view.coloured = true; }},
        {"--texture", "N|FILE", "numbered texture 1-9 (default 1) or a BMP/JPEG/RAW file",
         [](Request& r, const char* v, std::string& e) {
             // A whole number names a numbered texture, anything else a file.
             const std::string_view text(v);
             r.view.textureNamed = true;
             if (!text.empty() && text.find_first_not_of("+-0123456789") == std::string_view::npos)
                 return ReadWholes(v, ',', "N", 1, 9, &r.view.textureNumber, 1, e);
             r.view.textureFile = v;
             return true;
         }},
        {"--axes", "", "axis cross",
         [](Request& r, const char*, std::string&) { return r.view.axes = true; }},
        {"--walls", "", "room walls",
         [](Request& r, const char*, std::string&) { return r.view.walls = true; }},
        {"--zero-plane", "", "zero plane",
         [](Request& r, const char*, std::string&) { return r.view.zeroPlane = true; }},
        {"--background", "R,G,B", "background colour, 0-255 each (default 240,240,240)",
         [](Request& r, const char* v, std::string& e) {
             int rgb[3];
             if (!ReadWholes(v, ',', "R,G,B", 0, 255, rgb, 3, e)) return false;
             r.viewGiven = true;
             r.view.background = orx::Rgb{rgb[0], rgb[1], rgb[2]};
             return true;
         }},
        {"--angles", "X,Y,Z", "rotation in degrees about x, y, z (default 0,0,0)",
         [](Request& r, const char* v, std::string& e) {
             r.viewGiven = true;
             return ReadTriple(v, r.view.angles, e);
         }},
        {"--origin", "X,Y,Z", "model position in front of the eye (default 0,0,-2)",
         [](Request& r, const char* v, std::string& e) {
             r.viewGiven = true;
             return ReadTriple(v, r.view.origin, e);
         }},
        {"--part", "K", "part K of a parts list (\"2d\" file)",
         [](Request& r, const char* v, std::string& e) {
             return ReadWholes(v, ',', "K", 1, INT_MAX, &r.part, 1, e);
         }},
        {"--parts", "",
         "list the parts as CSV on standard output (record, kind, sizes in mm largest "
         "first, bounding box); with --part K only record K; no picture file",
         [](Request& r, const char*, std::string&) { return r.parts = true; }},
        {"--thumbnail", "N",
         "an N x N PNG (N 1-1024) for file managers: the model filling it, from a fixed "
         "three-quarter view, lit, on a transparent background; not with --size, --angles, "
         "--origin, --background",
         [](Request& r, const char* v, std::string& e) {
             return ReadWholes(v, ',', "N", 1, 1024, &r.thumbnail, 1, e);
         }},
    };
    return options;
}

std::string Usage() {
    std::string text =
        "usage: orx-render MODEL.gl OUT.bmp|OUT.jpg|OUT.png [options]\n"
        "       orx-render MODEL.gl --parts [--part K]\n";
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

// Returns 0 on success, 2 on a usage error (error then says what is wrong; it is
// empty when no argument was given at all), -1 for --help.
int ParseArguments(int argc, char** argv, Request& request, std::string& error) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") return -1;
        if (a.size() < 2 || a[0] != '-' || a[1] != '-') {
            positional.push_back(a);
            continue;
        }
        const auto& options = Options();
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&a](const Option& o) { return a == o.name; });
        if (option == options.end()) {
            error = a + ": unknown option";
            return 2;
        }
        const char* value = "";
        if (*option->value) {
            if (i + 1 >= argc) {
                error = a + ": a value is missing";
                return 2;
            }
            value = argv[++i];
        }
        std::string what;
        if (!option->apply(request, value, what)) {
            error = a;
            error += ": ";
            error += what;
            return 2;
        }
    }
    if (argc <= 1) return 2;
    if (request.parts) {
        if (positional.size() != 1) {
            error = positional.empty() ? "the model file is missing"
                                       : "--parts: one model file and no picture file";
            return 2;
        }
        request.model = positional[0];
        return 0;
    }
    if (positional.size() < 2) {
        error = positional.empty() ? "the model file and the picture file are missing"
                                   : "the picture file is missing";
        return 2;
    }
    if (positional.size() > 2) {
        error = positional[2] + ": one model file and one picture file only";
        return 2;
    }
    request.model = positional[0];
    request.output = positional[1];
    const std::string ext = orx::LowerExtension(request.output);
    if (ext != ".bmp" && ext != ".jpg" && ext != ".png") {
        error = request.output + ": the picture file must end in .bmp, .jpg or .png";
        return 2;
    }
    if (request.thumbnail > 0 && ext != ".png") {
        error = "--thumbnail: the picture file must end in .png";
        return 2;
    }
    if (request.thumbnail > 0 && request.viewGiven) {
        error = "--thumbnail: not with --size, --angles, --origin or --background";
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
    }
    ~PrivateProfile() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    std::string Path() const { return m_path.empty() ? "/nonexistent" : m_path; }

private:
    std::string m_path;
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "orx-render: %s\n", text.c_str());
    return 1;
}

// Samples per pixel side of a thumbnail: smooth edges, at most 2048 x 2048 drawn.
int ThumbnailSupersampling(int size) { return std::clamp(2048 / size, 1, 4); }

// The parts of the model as CSV on standard output. The file is accepted as the
// viewer opens it: a ".gl" file of kind "2d" (parts list) or "3d" (whole model).
int ListParts(const Request& r) {
    const std::string lower = orx::AsciiLowerCase(r.model);
    if (lower.size() < 3 || lower.compare(lower.size() - 3, 3, ".gl") != 0)
        return Fail(std::string("No *.gl -> NO 3D!: ") + r.model);
    const size_t d = lower.rfind('d');
    const std::string kind = d == std::string::npos || d == 0 ? "" : lower.substr(d - 1, 2);
    if (kind != "2d" && kind != "3d") return Fail("Unbekanntes Dateiformat: " + r.model);
    orx::ModelFileCache cache;
    if (!cache.Load(r.model)) return Fail("Unable to open file for reading: " + r.model);
    const std::string lines = orx::PartsCsvLines(cache, !orx::IsPartsListName(r.model), r.part);
    if (r.part > 0 && lines.empty())
        return Fail("part " + std::to_string(r.part) + ": no such part in " + r.model);
    std::fputs(orx::kPartsCsvHeader, stdout);
    std::fputs(lines.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("standard output could not be written");
}

int Render(Request r) {
    PrivateProfile profile;
    const int supersample = r.thumbnail > 0 ? ThumbnailSupersampling(r.thumbnail) : 1;
    if (r.thumbnail > 0) {
        // A thumbnail is lit and drawn at a multiple of its size, then reduced.
        r.width = r.height = r.thumbnail * supersample;
        r.view.light = true;
    }
    orx::HeadlessPlatform platform(r.width, r.height, profile.Path());
    orx::SetProgramName("orx-render");
    orx::CViewerDlg dlg(platform);
    orx::SetMessagePlatform(&platform);

    if (!dlg.StartRendering(r.width, r.height)) return Fail("no OpenGL context could be created");
    // Only a regular file is read; a folder, FIFO or device is refused without
    // blocking, as a missing file is.
    if (std::FILE* f = orx::OpenRegularFile(r.model)) {
        std::fclose(f);
    } else {
        return Fail("Unable to open file for reading: " + r.model);
    }
    // Every option is set before the model is opened, so that the open builds the
    // model once in its final form (as the window does after start-up). A texture
    // that cannot be loaded is a failure: no picture without it. The viewer's
    // messages have gone to standard error as they were shown.
    int shown = platform.MessagesShown();
    if (!dlg.ApplyViewOptions(r.view)) {
        return platform.MessagesShown() > shown
                   ? 1
                   : Fail("the texture could not be loaded: " +
                          (r.view.textureFile.empty()
                               ? "texture " + std::to_string(r.view.textureNumber)
                               : r.view.textureFile));
    }
    shown = platform.MessagesShown();
    // A refused name shows its message; a file that cannot be read after all starts
    // the demo, or shows a message on the way.
    if (!dlg.OpenModelForRendering(r.model, r.part) || platform.MessagesShown() > shown) {
        return platform.MessagesShown() > shown
                   ? 1
                   : Fail("Unable to open file for reading: " + r.model);
    }
    if (r.thumbnail > 0) {
        std::vector<uint8_t> rgba;
        if (!orx::RenderThumbnail(dlg, r.thumbnail, supersample, rgba))
            return Fail("the model has nothing to show: " + r.model);
        std::string error;
        if (!orx::PngFile::Write(r.output, rgba.data(), r.thumbnail, r.thumbnail, true, error))
            return Fail(error);
        return 0;
    }
    dlg.OnPaint();
    if (orx::LowerExtension(r.output) == ".png") {
        const std::vector<uint8_t> rgb = platform.ReadPixelsRgb();
        std::string error;
        if (!orx::PngFile::Write(r.output, rgb.data(), r.width, r.height, false, error))
            return Fail(error);
        return 0;
    }

    orx::CWindowCapture capture;
    if (!capture.Capture(platform, platform.GetClientRect()))
        return Fail("the picture could not be read back");
    shown = platform.MessagesShown();
    const bool saved = capture.Save(r.output);
    if (!saved || platform.MessagesShown() > shown)
        return platform.MessagesShown() > shown ? 1 : Fail("could not write " + r.output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    orx::KeepFreedMemoryForReuse();
    Request request;
    std::string error;
    const int parsed = ParseArguments(argc, argv, request, error);
    if (parsed == -1) {
        std::fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (parsed != 0) {
        if (error.empty()) {
            std::fputs(Usage().c_str(), stderr);
        } else {
            std::fprintf(stderr, "orx-render: %s; see --help\n", error.c_str());
        }
        return 2;
    }
    return request.parts ? ListParts(request) : Render(request);
}
