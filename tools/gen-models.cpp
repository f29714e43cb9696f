// gen-models: writes the sample furniture shipped under data/modelle/ and large
// generated models for benchmarks.
//
//   gen-models samples OUTDIR
//   gen-models bench N SEED OUT.gl OUT.obj
//
// All sizes are millimetres. The viewer shows x to the right, y up and z toward the
// onlooker, so furniture is built with its width along x, its height along y and its
// depth along z, the front at the larger z, standing on y = 0 and starting at the
// origin. A block (type 8) lists P1..P4 on its face of larger z, counter-clockwise
// seen from +z with P1 at the smallest x and y, then P5..P8 opposite. Prisms on a
// triangle, pentagon or hexagon (types 6, 10, 12) are made from a flat outline in the
// part's own plane, extruded by the board thickness: cap 1 first, then cap 2. In a
// whole-model ("3d") file types 10 and 12 carry that flat outline first and the
// placed corners second; a parts list ("2d") carries only the flat outline.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ReplacingFile.h"

namespace {

// ---------------------------------------------------------------- geometry

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct Pt2 {
    double u, v;
};

// A right-handed frame: flat coordinates (u, v) in the part's plane, w across it.
struct Frame {
    Vec3 origin, u, v, w;
    Vec3 At(double a, double b, double c) const { return origin + u * a + v * b + w * c; }
};
constexpr Vec3 kX{1, 0, 0}, kY{0, 1, 0}, kZ{0, 0, 1};
constexpr Vec3 kMinusX{-1, 0, 0}, kMinusY{0, -1, 0};

struct Solid {
    int type = 8;              // 6, 8, 10 or 12
    long colour = 0;           // as the design program writes it: 0x00BBGGRR
    std::vector<Vec3> placed;  // corners in model space
    std::vector<Vec3> flat;    // the same corners in the part's own plane (types 10, 12)
};

constexpr long Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
// Colours as a cabinet maker chooses them: white or light grey carcasses, fronts and
// tops in wood, white-coated back panels, dark handles and a bright clothes rail.
constexpr long kOak = Rgb(193, 154, 107), kBeech = Rgb(220, 180, 130);
constexpr long kWalnut = Rgb(110, 75, 50), kWhite = Rgb(240, 240, 235);
constexpr long kLightGrey = Rgb(205, 205, 200);
constexpr long kHdf = Rgb(232, 230, 222), kMetal = Rgb(175, 175, 180);
constexpr long kHandle = Rgb(55, 55, 60);
constexpr long kPine = Rgb(225, 195, 140);
// A part colour that is left to the piece's main colour.
constexpr long kAsCarcass = -1;
long Or(long colour, long fallback) { return colour == kAsCarcass ? fallback : colour; }

// Collects the solids of a model; every placed point is shifted by `offset`.
class Builder {
public:
    std::vector<Solid> solids;
    Vec3 offset;

    // A block whose faces are parallel to the coordinate planes.
    void Box(long colour, Vec3 lo, Vec3 hi) {
        Block(colour, {Vec3{lo.x, lo.y, hi.z},
                       {hi.x, lo.y, hi.z},
                       {hi.x, hi.y, hi.z},
                       {lo.x, hi.y, hi.z},
                       {lo.x, lo.y, lo.z},
                       {hi.x, lo.y, lo.z},
                       {hi.x, hi.y, lo.z},
                       {lo.x, hi.y, lo.z}});
    }
    // A block on eight explicit corners, P1..P4 on the face of larger w.
    void Block(long colour, const std::array<Vec3, 8>& corners) {
        Solid s{8, colour, {}, {}};
        for (const Vec3& p : corners) s.placed.push_back(p + offset);
        solids.push_back(std::move(s));
    }
    // A prism on a flat outline of 3, 5 or 6 corners, `thick` deep along the frame's w.
    void Prism(long colour, const std::vector<Pt2>& outline, double thick, const Frame& f) {
        Solid s;
        s.type = static_cast<int>(outline.size()) * 2;
        s.colour = colour;
        for (double w : {0.0, thick}) {
            for (const Pt2& p : outline) {
                s.placed.push_back(f.At(p.u, p.v, w) + offset);
                if (s.type >= 10) s.flat.push_back({p.u, p.v, w});
            }
        }
        solids.push_back(std::move(s));
    }
};

// The flat outline of a regular hexagon `across` wide between its flats, lying on
// the flat P1-P2 with corners P3 and P6 at the ends of its long axis.
std::vector<Pt2> Hexagon(double across) {
    const double s = across / std::sqrt(3.0);  // side length
    return {{s / 2, 0},        {1.5 * s, 0},    {2 * s, across / 2},
            {1.5 * s, across}, {s / 2, across}, {0, across / 2}};
}

// A pentagon of width w: upright sides of height h, a gable rising to h + rise.
std::vector<Pt2> Gable(double w, double h, double rise) {
    return {{0, 0}, {w, 0}, {w, h}, {w / 2, h + rise}, {0, h}};
}

// ---------------------------------------------------------------- furniture

constexpr double kBoard = 19, kBack = 8;

struct CabinetOptions {
    long colour = kOak;
    bool hexHandles = false;   // hexagonal bar handles instead of flat ones
    bool pediment = false;     // a gable crown board above the doors
    bool cornerShelf = false;  // a triangular shelf in an upper back corner
    long front = kAsCarcass;   // the doors' colour
};

// A handle bar `len` long standing upright in front of z = front, centred at (x, y).
void UprightHandle(Builder& b, bool hex, double x, double y, double front, double len) {
    if (!hex) {
        b.Box(kHandle, {x - 6, y - len / 2, front}, {x + 6, y + len / 2, front + 25});
        return;
    }
    const double across = 16;
    b.Prism(kHandle, Hexagon(across), len, Frame{{x - across / 2, y - len / 2, front}, kZ, kX, kY});
}

// A handle bar `len` long lying along x in front of z = front, centred at (x, y).
void LyingHandle(Builder& b, bool hex, double x, double y, double front, double len) {
    if (!hex) {
        b.Box(kHandle, {x - len / 2, y - 6, front}, {x + len / 2, y + 6, front + 25});
        return;
    }
    const double across = 16, s = across / std::sqrt(3.0);
    b.Prism(kHandle, Hexagon(across), len, Frame{{x - len / 2, y - s, front}, kY, kZ, kX});
}

// The carcass shared by wardrobes and chests: sides, top, bottom, recessed plinth and
// back panel, `dc` deep; returns the height of the bottom board's upper face.
double Carcass(Builder& b, long colour, double w, double h, double dc, double topThick,
               double topDepth, long top = kAsCarcass) {
    const double plinth = h > 1200 ? 80 : 60, t = kBoard;
    b.Box(colour, {0, 0, 0}, {t, h - topThick, dc});
    b.Box(colour, {w - t, 0, 0}, {w, h - topThick, dc});
    b.Box(Or(top, colour), {0, h - topThick, 0}, {w, h, topDepth});
    b.Box(colour, {t, plinth, 0}, {w - t, plinth + t, dc});
    b.Box(colour, {t, 0, dc - 40 - t}, {w - t, plinth, dc - 40});
    b.Box(kHdf, {t, plinth + t, 0}, {w - t, h - topThick, kBack});
    return plinth + t;
}

// A cabinet with doors: from a narrow wall unit to a wardrobe. Wide ones get a middle
// wall with a hat shelf and clothes rail on the left and shelves on the right.
void BuildCabinet(Builder& b, double w, double h, double d, const CabinetOptions& o) {
    const double t = kBoard, dc = d - t;  // the doors lie in front of the carcass
    const double floor = Carcass(b, o.colour, w, h, dc, t, dc);
    const double ceiling = h - t;
    double shelvesFrom = t;
    if (w >= 1000 && h >= 1500) {
        const double mid = w / 2;
        b.Box(o.colour, {mid - t / 2, floor, kBack}, {mid + t / 2, ceiling, dc});
        const double hat = ceiling - 330;
        b.Box(o.colour, {t, hat, kBack}, {mid - t / 2, hat + t, dc - 10});
        const double rz = (kBack + dc) / 2;
        b.Box(kMetal, {t, hat - 75, rz - 15}, {mid - t / 2, hat - 45, rz + 15});
        shelvesFrom = mid + t / 2;
    }
    const int shelves = std::clamp(static_cast<int>((ceiling - floor) / 380) - 1, 0, 5);
    for (int i = 1; i <= shelves; ++i) {
        const double y = floor + i * (ceiling - floor) / (shelves + 1) - t / 2;
        b.Box(o.colour, {shelvesFrom, y, kBack}, {w - t, y + t, dc - 10});
    }
    if (o.cornerShelf) {
        const double leg = std::min(200.0, (w - 2 * t) / 2), y = ceiling - 160;
        b.Prism(o.colour, {{0, 0}, {leg, 0}, {0, leg}}, t,
                Frame{{w - t, y, kBack}, kMinusX, kZ, kY});
    }
    const int doors = w > 700 ? 2 : 1;
    const double gap = 3, dw = (w - gap * (doors + 1)) / doors;
    const double handleLen = h > 1200 ? 300 : 160;
    const double handleY = std::min(h * 0.5, 1050.0);
    for (int i = 0; i < doors; ++i) {
        const double x0 = gap + i * (dw + gap);
        b.Box(Or(o.front, o.colour), {x0, floor - t + 2, dc}, {x0 + dw, h - 2, d});
        const double hx = (doors == 2 && i == 0) ? x0 + dw - 40 : x0 + 40;
        UprightHandle(b, o.hexHandles, hx, handleY, d, handleLen);
    }
    if (o.pediment) {
        b.Prism(o.colour, Gable(w, 40, std::round(w * 0.15)), t, Frame{{0, h, dc - t}, kX, kY, kZ});
    }
}

// A chest of `drawers` drawers: carcass with an overhanging top, drawer fronts, handles.
void BuildChest(Builder& b, double w, double h, double d, int drawers, long colour, bool hexHandles,
                long front = kAsCarcass, long topColour = kAsCarcass) {
    const double t = kBoard, top = 22, dc = d - t;
    const double floor = Carcass(b, colour, w, h, dc, top, d + 3, topColour);
    // Rails behind the gaps between the fronts carry the runners.
    const double y0 = floor - t + 2, y1 = h - top - 2, gap = 3;
    const double fh = (y1 - y0 - gap * (drawers - 1)) / drawers;
    for (int i = 1; i < drawers; ++i) {
        const double y = y0 + i * (fh + gap) - gap / 2;
        b.Box(colour, {t, y - t / 2, dc - 80}, {w - t, y + t / 2, dc});
    }
    for (int i = 0; i < drawers; ++i) {
        const double fy = y0 + i * (fh + gap);
        b.Box(Or(front, colour), {gap / 2, fy, dc}, {w - gap / 2, fy + fh, d});
        LyingHandle(b, hexHandles, w / 2, fy + fh / 2, d, std::min(192.0, w * 0.3));
    }
}

// An open shelf with pentagonal side panels whose gable carries a two-board roof.
// The roof boards overhang the sides by `overhang` along the slope; the carcass sits
// behind z = 0 by as much as the back board's lower outer edge reaches out.
void BuildGableShelf(Builder& b, double w, double d, double eave, double rise, int shelves,
                     double overhang, long colour) {
    const double t = kBoard, plinth = 60;
    const double slope = std::hypot(d / 2, rise);
    const double oz = (overhang * (d / 2) + t * rise) / slope;
    // Side panels: flat u along the depth, v up, thickness inward from the outer face.
    b.Prism(colour, Gable(d, eave, rise), t, Frame{{t, 0, oz}, kZ, kY, kMinusX});
    b.Prism(colour, Gable(d, eave, rise), t, Frame{{w, 0, oz}, kZ, kY, kMinusX});
    b.Box(colour, {t, 0, oz + d - 40 - t}, {w - t, plinth, oz + d - 40});
    b.Box(kHdf, {t, plinth, oz}, {w - t, eave, oz + kBack});
    const double floor = plinth + t;
    b.Box(colour, {t, plinth, oz + kBack}, {w - t, floor, oz + d});
    for (int i = 1; i <= shelves; ++i) {
        const double y = floor + i * (eave - floor) / shelves - t;
        b.Box(colour, {t, y, oz + kBack}, {w - t, y + t, oz + d - 10});
    }
    // Roof boards from each eave to the ridge, mitred on the vertical plane of the ridge.
    const Vec3 ridge{0, eave + rise, oz + d / 2};
    for (double side : {1.0, -1.0}) {
        const Vec3 eavePt{0, eave, oz + d / 2 + side * d / 2};
        const Vec3 up = (ridge - eavePt) * (1 / slope);              // along the slope
        const Vec3 out = Vec3{0, d / 2, side * rise} * (1 / slope);  // away from the gable
        const Vec3 lowIn = eavePt - up * overhang, lowOut = lowIn + out * t;
        // The outer face meets the ridge plane where its z reaches the ridge's z.
        const double k = (ridge.z - lowOut.z) / up.z;
        const Vec3 highOut = lowOut + up * k, highIn = ridge;
        // Corners in the order of a right-handed (length, slope, thickness) frame: the
        // back board runs its length from x = w down to 0.
        const Vec3 a0 = side > 0 ? Vec3{} : Vec3{w, 0, 0}, a1 = side > 0 ? Vec3{w, 0, 0} : Vec3{};
        b.Block(kWalnut, {lowOut + a0, lowOut + a1, highOut + a1, highOut + a0, lowIn + a0,
                          lowIn + a1, highIn + a1, highIn + a0});
    }
}

// A table with hexagonal legs, rails under the top along all four sides.
void BuildTable(Builder& b, double w, double d, double h, double across, double topThick,
                long colour, long top = kAsCarcass) {
    const double s = across / std::sqrt(3.0), inset = 40, rail = 22, railH = 90;
    const double legH = h - topThick;
    const double cx[2] = {inset + across / 2, w - inset - across / 2};
    const double cz[2] = {inset + s, d - inset - s};
    for (double x : cx)
        for (double z : cz)
            b.Prism(colour, Hexagon(across), legH, Frame{{x - across / 2, 0, z - s}, kZ, kX, kY});
    const double ry = legH - railH;
    // Along x the rails meet the legs' flats; along z they meet the corners, where the
    // hexagon is narrower by the rail's half thickness.
    const double reach = s - (rail / 2) * s / across;
    for (double z : cz)
        b.Box(colour, {cx[0] + across / 2, ry, z - rail / 2},
              {cx[1] - across / 2, legH, z + rail / 2});
    for (double x : cx)
        b.Box(colour, {x - rail / 2, ry, cz[0] + reach}, {x + rail / 2, legH, cz[1] - reach});
    b.Box(Or(top, colour), {0, legH, 0}, {w, h, d});
}

// A corner shelf: two wall boards meeting in the back left corner, triangular shelves
// between them and a plinth board along the shelves' front edge.
void BuildCornerShelf(Builder& b, double leg, double h, int shelves, long colour,
                      long shelf = kAsCarcass) {
    const double t = kBoard, plinth = 60;
    b.Box(colour, {0, 0, 0}, {leg, h, t});
    b.Box(colour, {0, 0, t}, {t, h, leg});
    // Plinth: its front face set back 40 mm from the shelves' diagonal edge.
    const double r2 = std::sqrt(2.0);
    const double front = leg + t - 40 * r2, back = front - t * r2;  // x + z on each face
    const Vec3 fa{front - t, 0, t}, fb{t, 0, front - t};
    const Vec3 ba{back - t, 0, t}, bb{t, 0, back - t};
    const Vec3 up{0, plinth, 0};
    b.Block(colour, {ba, bb, bb + up, ba + up, fa, fb, fb + up, fa + up});
    for (int i = 0; i < shelves; ++i) {
        const double y = plinth + i * (h - plinth - t) / (shelves - 1);
        b.Prism(Or(shelf, colour), {{0, 0}, {leg - t, 0}, {0, leg - t}}, t,
                Frame{{t, y, t}, kZ, kX, kY});
    }
}

constexpr double kUnitHeight = 720, kUnitPlinth = 100, kUnitDepth = 580, kWorktop = 38;

// Base units side by side along x from x = 0, fronts at z = 580, without a worktop;
// returns the length of the run.
double BaseUnits(Builder& b, const std::vector<double>& widths, long colour, bool hexHandles) {
    const double t = kBoard, h = kUnitHeight, plinth = kUnitPlinth, d = kUnitDepth, dc = d - t;
    double x = 0;
    for (double uw : widths) {
        b.Box(colour, {x, 0, 0}, {x + t, plinth + h, dc});
        b.Box(colour, {x + t, plinth, 0}, {x + uw - t, plinth + t, dc});
        b.Box(kHdf, {x + t, plinth + t, 0}, {x + uw - t, plinth + h, kBack});
        b.Box(colour, {x + 1.5, plinth + 2, dc}, {x + uw - 1.5, plinth + h - 2, d});
        if (hexHandles)
            LyingHandle(b, true, x + uw / 2, plinth + h - 60, d, std::min(uw * 0.5, 300.0));
        x += uw;
    }
    b.Box(colour, {x - t, 0, 0}, {x, plinth + h, dc});
    b.Box(kHdf, {0, 0, dc - 60 - 16}, {x, plinth, dc - 60});
    return x;
}

// A kitchen run of base units under one worktop, up to about 5 m long.
void BuildKitchenRun(Builder& b, const std::vector<double>& widths, long colour, bool hexHandles) {
    const double x = BaseUnits(b, widths, colour, hexHandles), y = kUnitPlinth + kUnitHeight;
    b.Box(kWhite, {0, y, 0}, {x, y + kWorktop, kUnitDepth + 20});
}

// A kitchen corner: base units along the back wall (z = 0) and along the left wall
// (x = 0), under one L-shaped worktop: a hexagonal prism whose outline is an L, the
// outer corner first, so that every corner of the outline sees all of it.
void BuildKitchenCorner(Builder& b, const std::vector<double>& back,
                        const std::vector<double>& left, long colour) {
    const double depth = kUnitDepth + 20, y = kUnitPlinth + kUnitHeight;
    const double lx = BaseUnits(b, back, colour, false);
    Builder side;
    const double lz = depth + BaseUnits(side, left, colour, false);
    // The left run is built along x and turned a quarter about y to face +x; it
    // starts in front of the back run's first unit and ends at z = lz.
    for (Solid& s : side.solids) {
        for (Vec3& p : s.placed) p = Vec3{p.z, p.y, lz - p.x} + b.offset;
        b.solids.push_back(std::move(s));
    }
    const std::vector<Pt2> outline = {{0, 0},         {lx, 0},     {lx, depth},
                                      {depth, depth}, {depth, lz}, {0, lz}};
    b.Prism(kWhite, outline, kWorktop, Frame{{0, y + kWorktop, 0}, kX, kZ, kMinusY});
}

// ---------------------------------------------------------------- output

// A number with a point as decimal mark and at most three decimals, whatever the locale.
void AppendNumber(std::string& out, double v) {
    v = std::round(v * 1000) / 1000;
    if (v == 0) v = 0;  // no "-0"
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
    char* end = r.ptr;
    while (end[-1] == '0') --end;
    if (end[-1] == '.') --end;
    out.append(buf, end);
}

void AppendPoint(std::string& out, const Vec3& p, char sep) {
    out += ' ';
    AppendNumber(out, p.x);
    out += sep;
    AppendNumber(out, p.y);
    out += sep;
    AppendNumber(out, p.z);
}

void AppendPoints(std::string& out, const std::vector<Vec3>& pts) {
    for (const Vec3& p : pts) AppendPoint(out, p, ',');
}

// One record line a solid: type, colour, point count, then the outlines.
std::string GlText(const std::string& header, const std::vector<Solid>& solids, bool whole) {
    std::string out = header + "\n";
    out.reserve(solids.size() * 220);
    for (const Solid& s : solids) {
        const size_t n = s.placed.size();
        out += std::to_string(s.type) + ' ' + std::to_string(s.colour) + ' ' + std::to_string(n);
        if (s.type >= 10) {
            AppendPoints(out, s.flat);
            if (whole) AppendPoints(out, s.placed);
        } else {
            AppendPoints(out, s.placed);
        }
        out += '\n';
    }
    return out;
}

// The faces of a solid as indices into its placed corners.
std::vector<std::vector<int>> Faces(const Solid& s) {
    if (s.type == 8)
        return {{0, 1, 2, 3}, {7, 6, 5, 4}, {0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    const int n = static_cast<int>(s.placed.size()) / 2;
    std::vector<std::vector<int>> faces(2);
    for (int i = 0; i < n; ++i) {
        faces[0].push_back(i);
        faces[1].push_back(n + i);
        faces.push_back({i, n + i, n + (i + 1) % n, (i + 1) % n});
    }
    return faces;
}

// The same solids as a Wavefront OBJ: each face wound counter-clockwise seen from
// outside, the caps split into triangle fans.
std::string ObjText(const std::string& header, const std::vector<Solid>& solids) {
    std::string out = "# " + header + "\n";
    out.reserve(solids.size() * 400);
    long base = 1;
    for (const Solid& s : solids) {
        Vec3 centre;
        for (const Vec3& p : s.placed) {
            out += 'v';
            AppendPoint(out, p, ' ');
            out += '\n';
            centre = centre + p * (1.0 / s.placed.size());
        }
        for (std::vector<int> f : Faces(s)) {
            Vec3 normal, mid;  // Newell's normal of the polygon
            for (size_t i = 0; i < f.size(); ++i) {
                const Vec3 a = s.placed[f[i]], c = s.placed[f[(i + 1) % f.size()]];
                normal = normal + Vec3{(a.y - c.y) * (a.z + c.z), (a.z - c.z) * (a.x + c.x),
                                       (a.x - c.x) * (a.y + c.y)};
                mid = mid + a * (1.0 / f.size());
            }
            if (Dot(normal, mid - centre) < 0) std::reverse(f.begin(), f.end());
            auto emit = [&](std::initializer_list<int> idx) {
                out += 'f';
                for (int i : idx) out += ' ' + std::to_string(base + i);
                out += '\n';
            };
            if (f.size() == 4)
                emit({f[0], f[1], f[2], f[3]});
            else
                for (size_t i = 1; i + 1 < f.size(); ++i) emit({f[0], f[i], f[i + 1]});
        }
        base += static_cast<long>(s.placed.size());
    }
    return out;
}

// Writes the whole text through a replacing file, so that a failed run never leaves
// a file cut short.
bool WriteFile(const std::filesystem::path& path, const std::string& text) {
    orx::ReplacingFile file;
    if (!file.Open(path.string())) {
        std::fprintf(stderr, "gen-models: cannot write %s\n", path.c_str());
        return false;
    }
    if (std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size() || !file.Commit()) {
        std::fprintf(stderr, "gen-models: writing %s failed\n", path.c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- samples

std::vector<Solid> PartsList() {
    Builder b;  // every part flat at its own coordinates: outline in x, y, thickness in z
    const Frame flat{{0, 0, 0}, kX, kY, kZ};
    b.Box(kWhite, {0, 0, 0}, {2081, 581, kBoard});         // wardrobe side
    b.Box(kOak, {0, 0, 0}, {597, 2014, kBoard});           // wardrobe door
    b.Box(kWhite, {0, 0, 0}, {962, 302, kBoard});          // shelf
    b.Prism(kWhite, Gable(320, 1600, 250), kBoard, flat);  // gable side
    // Worktop ends: one with its corner cut at the top left, one at the bottom right.
    b.Prism(kOak, {{0, 0}, {800, 0}, {800, 600}, {300, 600}, {0, 300}}, 28, flat);
    b.Prism(kOak, {{0, 0}, {500, 0}, {800, 300}, {800, 600}, {0, 600}}, 28, flat);
    b.Prism(kLightGrey, Hexagon(60), 722, flat);                // table leg
    b.Prism(kBeech, Hexagon(500), 25, flat);                    // side table top
    b.Prism(kOak, {{0, 0}, {581, 0}, {0, 581}}, kBoard, flat);  // corner shelf
    b.Prism(kWhite, {{0, 0}, {250, 0}, {0, 180}}, 25, flat);    // bracket
    return b.solids;
}

int WriteSamples(const std::filesystem::path& dir) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    struct Sample {
        const char* name;
        std::vector<Solid> solids;
        bool whole;
    };
    std::vector<Sample> samples;
    {
        Builder b;
        CabinetOptions o;
        o.colour = kWhite;
        o.front = kOak;
        BuildCabinet(b, 1200, 2100, 600, o);
        samples.push_back({"schrank3d", b.solids, true});
    }
    {
        Builder b;
        BuildChest(b, 1000, 860, 450, 4, kLightGrey, false, kWalnut, kWalnut);
        samples.push_back({"kommode3d", b.solids, true});
    }
    {
        Builder b;
        BuildGableShelf(b, 900, 320, 1600, 250, 4, 40, kWhite);
        samples.push_back({"regal3d", b.solids, true});
    }
    {
        Builder b;
        BuildTable(b, 1600, 900, 750, 60, 28, kLightGrey, kOak);
        samples.push_back({"tisch3d", b.solids, true});
    }
    {
        Builder b;
        BuildCornerShelf(b, 600, 1600, 5, kWhite, kOak);
        samples.push_back({"eckregal3d", b.solids, true});
    }
    {
        Builder b;
        BuildKitchenCorner(b, {600, 600, 500, 600}, {600, 600}, kOak);
        samples.push_back({"eckkueche3d", b.solids, true});
    }
    samples.push_back({"teile2d", PartsList(), false});
    for (const Sample& s : samples) {
        const std::string header =
            std::string("ORX-Soft ") + (s.whole ? "3D" : "2D") + "-Export " + s.name;
        if (!WriteFile(dir / (std::string(s.name) + ".gl"), GlText(header, s.solids, s.whole)))
            return 1;
        std::printf("%s.gl: %zu parts\n", s.name, s.solids.size());
    }
    return 0;
}

// ---------------------------------------------------------------- benchmark models

// splitmix64: small, fast and the same on every platform.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Mm(double lo, double hi) { return std::round(lo + (hi - lo) * Unit()); }
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % uint64_t(hi - lo + 1)); }
    bool Chance(double p) { return Unit() < p; }

private:
    uint64_t state_;
};

constexpr long kPalette[] = {kOak, kBeech, kWalnut, kWhite, kPine, Rgb(90, 90, 95)};

struct Unit {
    std::vector<Solid> solids;
    double width = 0, depth = 0;
};

Unit Footprint(Builder& b) {
    Unit u{std::move(b.solids), 0, 0};
    for (const Solid& s : u.solids)
        for (const Vec3& p : s.placed) {
            u.width = std::max(u.width, p.x);
            u.depth = std::max(u.depth, p.z);
        }
    return u;
}

// One candidate of each kind of furniture, drawn from the generator.
std::vector<Unit> Candidates(Rng& rng) {
    std::vector<Unit> units;
    const long colour = kPalette[rng.Int(0, 5)];
    {
        Builder b;
        CabinetOptions o{colour, rng.Chance(0.7), rng.Chance(0.4), rng.Chance(0.3)};
        BuildCabinet(b, rng.Mm(8, 24) * 50, rng.Mm(700, 2300), rng.Mm(350, 650), o);
        units.push_back(Footprint(b));
    }
    {
        Builder b;
        const double h = rng.Mm(600, 1200);
        BuildChest(b, rng.Mm(12, 28) * 50, h, rng.Mm(400, 560),
                   std::clamp(static_cast<int>(h / 200), 2, 6), colour, true);
        units.push_back(Footprint(b));
    }
    {
        Builder b;
        const double d = rng.Mm(250, 420);
        BuildGableShelf(b, rng.Mm(12, 24) * 50, d, rng.Mm(900, 2000), std::round(d * 0.8),
                        rng.Int(2, 5), rng.Mm(0, 60), colour);
        units.push_back(Footprint(b));
    }
    {
        Builder b;
        BuildTable(b, rng.Mm(16, 48) * 50, rng.Mm(14, 22) * 50, rng.Mm(720, 760), rng.Mm(45, 90),
                   rng.Mm(22, 45), colour);
        units.push_back(Footprint(b));
    }
    {
        Builder b;
        BuildCornerShelf(b, rng.Mm(300, 700), rng.Mm(800, 2000), rng.Int(3, 6), colour);
        units.push_back(Footprint(b));
    }
    {
        Builder b;
        std::vector<double> widths;
        const double room = rng.Mm(1200, 4900);
        for (double x = 0;;) {
            const double w = 50 * rng.Int(6, 18);
            if (x + w > room) break;
            widths.push_back(w);
            x += w;
        }
        if (widths.empty()) widths.push_back(600);
        BuildKitchenRun(b, widths, colour, rng.Chance(0.3));
        units.push_back(Footprint(b));
    }
    return units;
}

int TypeIndex(int type) { return type == 8 ? 0 : type == 6 ? 1 : type == 10 ? 2 : 3; }

// N records of showroom furniture in rows. Of the candidates drawn for each place in
// a row, the one that keeps the record types nearest to 70 % blocks and 10 % each of
// triangles, pentagons and hexagons is taken.
std::vector<Solid> BenchModel(long n, uint64_t seed) {
    Rng rng(seed);
    const double target[4] = {0.7, 0.1, 0.1, 0.1};
    long counts[4] = {0, 0, 0, 0};
    // Rows about as long as the showroom is deep: about 9 records a unit, each unit
    // with its gap 1.6 m wide and each row with its aisle 2 m deep.
    const double rowLength = std::max(6000.0, std::sqrt(n / 9.0 * 1600 * 2000));
    std::vector<Solid> model;
    model.reserve(static_cast<size_t>(n));
    double x = 0, z = 0, rowDepth = 0;
    while (static_cast<long>(model.size()) < n) {
        std::vector<Unit> cands = Candidates(rng);
        size_t best = 0;
        double bestScore = 1e300;
        for (size_t i = 0; i < cands.size(); ++i) {
            long c[4] = {counts[0], counts[1], counts[2], counts[3]};
            for (const Solid& s : cands[i].solids) ++c[TypeIndex(s.type)];
            const double total = static_cast<double>(c[0] + c[1] + c[2] + c[3]);
            double score = 0;
            for (int k = 0; k < 4; ++k) score += std::pow(c[k] / total - target[k], 2);
            if (score < bestScore) bestScore = score, best = i;
        }
        Unit& u = cands[best];
        if (x > 0 && x + u.width > rowLength) {
            x = 0;
            z += rowDepth + 1400;
            rowDepth = 0;
        }
        for (Solid& s : u.solids) {
            if (static_cast<long>(model.size()) == n) break;
            for (Vec3& p : s.placed) p = p + Vec3{x, 0, z};
            ++counts[TypeIndex(s.type)];
            model.push_back(std::move(s));
        }
        x += u.width + rng.Mm(300, 700);
        rowDepth = std::max(rowDepth, u.depth);
    }
    return model;
}

int WriteBench(long n, uint64_t seed, const std::string& glPath, const std::string& objPath) {
    std::string lower = glPath;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const size_t d = lower.rfind('d');
    if (d == std::string::npos || d == 0 || lower[d - 1] != '3')
        std::fprintf(stderr,
                     "gen-models: note: the viewer takes %s for a whole model only "
                     "if its name ends in \"3d.gl\"\n",
                     glPath.c_str());
    const std::vector<Solid> model = BenchModel(n, seed);
    const std::string header =
        "ORX-Soft 3D-Export bench n=" + std::to_string(n) + " seed=" + std::to_string(seed);
    if (!WriteFile(glPath, GlText(header, model, true))) return 1;
    if (!WriteFile(objPath, ObjText(header, model))) return 1;
    long counts[4] = {0, 0, 0, 0};
    for (const Solid& s : model) ++counts[TypeIndex(s.type)];
    std::printf("%ld records: %ld blocks, %ld triangular, %ld pentagonal, %ld hexagonal\n", n,
                counts[0], counts[1], counts[2], counts[3]);
    return 0;
}

template <typename T>
bool ParseNumber(const char* text, T& value) {
    const char* end = text + std::char_traits<char>::length(text);
    auto r = std::from_chars(text, end, value);
    return r.ec == std::errc() && r.ptr == end;
}

const char* const kUsage =
    "usage: gen-models samples OUTDIR\n"
    "       gen-models bench N SEED OUT.gl OUT.obj\n"
    "  samples  writes the sample furniture (*3d.gl) and the parts list teile2d.gl\n"
    "  bench    writes N records of showroom furniture, the same for the same SEED,\n"
    "           as a model file and as the same solids in a Wavefront OBJ file\n";

}  // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "samples" && argc == 3) return WriteSamples(argv[2]);
    if (cmd == "bench" && argc == 6) {
        long n = 0;
        uint64_t seed = 0;
        if (ParseNumber(argv[2], n) && n > 0 && n <= 50'000'000 && ParseNumber(argv[3], seed))
            return WriteBench(n, seed, argv[4], argv[5]);
    }
    if (cmd == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
