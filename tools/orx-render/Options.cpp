#include "Options.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <string_view>

#include "OptionNumbers.h"
#include "platform/Text.h"

namespace orx::render {

namespace {

constexpr long long kMaxPictureSide = 8192;

// Reads n whole numbers from lo to hi separated by sep ("WxH", "R,G,B", "K").
bool ReadWholes(const char* text, char sep, const char* shape, long long lo, long long hi, int* out,
                size_t n, std::string& error) {
    std::vector<std::string_view> parts;
    if (!SplitInto(text, sep, n, parts)) {
        error = std::string("expected ") + shape + ", not '" + text + "'";
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        long long v = 0;
        if (!ParseWhole(parts[i], lo, hi, v, error)) return false;
        out[i] = static_cast<int>(v);
    }
    return true;
}

// Reads three finite numbers separated by commas ("X,Y,Z").
bool ReadTriple(const char* text, double* out, std::string& error) {
    std::vector<std::string_view> parts;
    if (!SplitInto(text, ',', 3, parts)) {
        error = std::string("expected X,Y,Z, not '") + text + "'";
        return false;
    }
    for (size_t i = 0; i < 3; ++i)
        if (!ParseFinite(parts[i], out[i], error)) return false;
    return true;
}

}  // namespace

std::string PictureExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return orx::AsciiLowerCase(path.substr(dot));
}

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
        {"--design-colours", "",
         "each part in the colour its record gives it, shaded as the grey shades; mode 3, "
         "the default mode with it",
         [](Request& r, const char*, std::string&) { return r.view.designColours = true; }},
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
        "usage: orx-render MODEL.gl OUT.bmp|OUT.jpg|OUT.png|OUT.glb|OUT.html [options]\n"
        "  OUT.glb: the model as binary glTF 2.0 in metres; only --texture,\n"
        "  --coloured, --design-colours, --mode 3|4 and --part apply\n"
        "  OUT.html: the model as one web page that opens offline in any browser;\n"
        "  as OUT.glb, and --angles and --origin give its first view\n"
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

Parsed ParseArguments(const std::vector<std::string>& args, Request& request, std::string& error) {
    error.clear();
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") return Parsed::Help;
        if (a.size() < 2 || a[0] != '-' || a[1] != '-') {
            positional.push_back(a);
            continue;
        }
        const auto& options = Options();
        const auto option = std::find_if(options.begin(), options.end(),
                                         [&a](const Option& o) { return a == o.name; });
        if (option == options.end()) {
            error = a + ": unknown option";
            return Parsed::UsageError;
        }
        request.given.push_back(option->name);
        const char* value = "";
        if (*option->value) {
            if (i + 1 >= args.size()) {
                error = a + ": a value is missing";
                return Parsed::UsageError;
            }
            value = args[++i].c_str();
        }
        std::string what;
        if (!option->apply(request, value, what)) {
            error = a;
            error += ": ";
            error += what;
            return Parsed::UsageError;
        }
    }
    if (args.empty()) return Parsed::UsageError;
    if (request.view.designColours) {
        // The design colours are a colour set of the solid mode, which they choose.
        if (request.view.coloured) {
            error = "--design-colours: not with --coloured";
            return Parsed::UsageError;
        }
        const bool modeGiven = std::find(request.given.begin(), request.given.end(),
                                         std::string("--mode")) != request.given.end();
        if (modeGiven && request.view.mode != orx::kModeSolid) {
            error = "--design-colours: the design colours show in mode 3 only";
            return Parsed::UsageError;
        }
        request.view.mode = orx::kModeSolid;
    }
    if (request.parts) {
        if (positional.size() != 1) {
            error = positional.empty() ? "the model file is missing"
                                       : "--parts: one model file and no picture file";
            return Parsed::UsageError;
        }
        request.model = positional[0];
        return Parsed::Run;
    }
    if (positional.size() < 2) {
        error = positional.empty() ? "the model file and the picture file are missing"
                                   : "the picture file is missing";
        return Parsed::UsageError;
    }
    if (positional.size() > 2) {
        error = positional[2] + ": one model file and one picture file only";
        return Parsed::UsageError;
    }
    request.model = positional[0];
    request.output = positional[1];
    const std::string ext = PictureExtension(request.output);
    const bool page = ext == ".html" || ext == ".htm";
    if (ext != ".bmp" && ext != ".jpg" && ext != ".jpeg" && ext != ".png" && ext != ".glb" &&
        !page) {
        error =
            request.output + ": the output file must end in .bmp, .jpg, .jpeg, .png, .glb or .html";
        return Parsed::UsageError;
    }
    if (ext == ".glb" || page) {
        // The options that also apply to a model file; a page also takes its first view.
        constexpr std::string_view kModelFileOptions[] = {
            "--texture", "--coloured", "--design-colours", "--mode",
            "--part",    "--angles",   "--origin"};
        const size_t allowed = page ? std::size(kModelFileOptions) : 5;
        const std::string kind = page ? "an .html file" : "a .glb file";
        for (const std::string& name : request.given) {
            if (std::find(std::begin(kModelFileOptions), std::begin(kModelFileOptions) + allowed,
                          name) == std::begin(kModelFileOptions) + allowed) {
                error = name;
                error += ": for pictures only, not with ";
                error += kind;
                return Parsed::UsageError;
            }
        }
        if (request.view.mode != orx::kModeSolid && request.view.mode != orx::kModeTextured) {
            error = "--mode: " + kind + " takes mode 3 or 4";
            return Parsed::UsageError;
        }
    }
    if (request.thumbnail > 0 && ext != ".png") {
        error = "--thumbnail: the picture file must end in .png";
        return Parsed::UsageError;
    }
    if (request.thumbnail > 0 && request.viewGiven) {
        error = "--thumbnail: not with --size, --angles, --origin or --background";
        return Parsed::UsageError;
    }
    return Parsed::Run;
}

}  // namespace orx::render
