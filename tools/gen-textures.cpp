// Generates the nine numbered textures texturen/textur1.jpg .. textur9.jpg: six woods, a
// jigsaw puzzle, ducks and a test pattern, 512 x 512 pixels each. Every picture tiles
// seamlessly, since the model repeats its texture across large parts.
//
//   gen-textures [output folder]      (default: data/texturen)
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "image/JpegFile.h"

namespace {

constexpr int kSize = 512;
constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r, g, b;
};

Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Colour operator*(Colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Colour Mix(Colour a, Colour b, double t) { return a * (1 - t) + b * t; }
Colour Rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Smooth(double e0, double e1, double x) {
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
double Fract(double x) { return x - std::floor(x); }

// --- periodic gradient noise: the lattice wraps after px cells across and py cells down ---

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double Gradient(int ix, int iy, int px, int py, uint32_t seed, double dx, double dy) {
    const uint32_t h = Hash(uint32_t(((ix % px) + px) % px), uint32_t(((iy % py) + py) % py), seed);
    const double a = (h & 0xFFFF) / 65536.0 * 2 * kPi;
    return std::cos(a) * dx + std::sin(a) * dy;
}

// Noise of about -1..1 at (u, v) in texture units (0..1 is one tile).
double Noise(double u, double v, int px, int py, uint32_t seed) {
    const double x = u * px, y = v * py;
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const double fx = x - ix, fy = y - iy;
    const double sx = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
    const double sy = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
    const double n00 = Gradient(ix, iy, px, py, seed, fx, fy);
    const double n10 = Gradient(ix + 1, iy, px, py, seed, fx - 1, fy);
    const double n01 = Gradient(ix, iy + 1, px, py, seed, fx, fy - 1);
    const double n11 = Gradient(ix + 1, iy + 1, px, py, seed, fx - 1, fy - 1);
    const double a = n00 + (n10 - n00) * sx, b = n01 + (n11 - n01) * sx;
    return 1.4 * (a + (b - a) * sy);
}

double Fbm(double u, double v, int px, int py, int octaves, uint32_t seed) {
    double sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(u, v, px << o, py << o, seed + uint32_t(o) * 101u);
        norm += amp;
        amp *= 0.5;
    }
    return sum / norm;
}

// --- pictures ---

using Shader = std::function<Colour(double u, double v)>;

// Renders with 3 x 3 samples a pixel and writes the JPEG.
bool Render(const std::string& path, const Shader& shader, int samples = 3) {
    std::vector<uint8_t> rgb(size_t(kSize) * kSize * 3);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour c{0, 0, 0};
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx)
                    c = c + shader((x + (sx + 0.5) / samples) / kSize,
                                   (y + (sy + 0.5) / samples) / kSize);
            c = c * (1.0 / (samples * samples));
            uint8_t* p = &rgb[(size_t(y) * kSize + x) * 3];
            p[0] = uint8_t(std::lround(Clamp01(c.r) * 255));
            p[1] = uint8_t(std::lround(Clamp01(c.g) * 255));
            p[2] = uint8_t(std::lround(Clamp01(c.b) * 255));
        }
    }
    const bool ok = orx::JpegFile::EncodeFromRgb(path, rgb.data(), kSize, kSize, true, 90);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
    return ok;
}

// --- wood ---

// Plain (not periodic) noise along one axis, for properties of single growth rings.
double Noise1(double x, uint32_t seed) {
    const double i = std::floor(x), f = x - i;
    auto value = [seed](double k) {
        return (Hash(uint32_t(int64_t(k)), 7u, seed) & 0xFFFF) / 32768.0 - 1.0;
    };
    const double s = f * f * (3 - 2 * f);
    return value(i) + (value(i + 1) - value(i)) * s;
}

struct Wood {
    Colour early;     // light wood between the rings
    Colour late;      // the dark latewood at the end of each ring
    Colour tint;      // colour of the slow variation across the board
    double rings;     // growth rings across the tile
    double lateness;  // exponent of the darkening towards the latewood: higher, thinner
    double ringContrast;
    double arch;        // 0: straight grain; more: narrower cathedral arches
    double warp;        // how far the rings wander, in tile widths
    double fibre;       // contrast of the fine fibres
    double pores;       // amount of dark pore dashes
    double earlyPores;  // 1: pores only at the start of each ring (ring-porous oak)
    double variation;   // strength of the slow colour variation
    uint32_t seed;
};

// The ring coordinate: distance from the log's axis, in rings. The board cuts the log at a
// depth that changes down the tile, which gives the arches; all of it is periodic in u and v.
double RingCoordinate(const Wood& w, double u, double v) {
    const double wander =
        Fbm(u, v, 2, 1, 3, w.seed + 1) * w.warp + Fbm(u, v, 6, 2, 2, w.seed + 2) * w.warp * 0.15;
    double r;
    if (w.arch <= 0) {
        r = (u + wander) * w.rings;
    } else {
        // Each wood has its own log: where the axis lies and where the arches turn.
        const double centre = (Hash(w.seed, 1, 17) & 0xFFFF) / 65536.0;
        const double phase = (Hash(w.seed, 2, 19) & 0xFFFF) / 65536.0;
        const double d = std::sin(kPi * (u - centre + wander)) / kPi;  // like |u - c|, periodic
        const double depth = 0.24 + 0.09 * std::sin(2 * kPi * (v + phase)) +
                             0.03 * std::sin(4 * kPi * (v + phase) + 1);
        r = std::sqrt(d * d * w.arch + depth * depth) * w.rings;
    }
    // Rings differ in width from year to year.
    return r + 0.35 * Noise1(r * 0.45, w.seed + 3);
}

Colour WoodColour(const Wood& w, double u, double v) {
    const double r = RingCoordinate(w, u, v);
    const double t = Fract(r);
    // Early wood light, darkening towards the latewood, then the sharp start of the next ring.
    double ring = std::pow(t, w.lateness);
    ring *= 1 - Smooth(0.985, 1.0, t);
    // Rings differ in darkness too.
    ring *= 0.6 + 0.4 * (0.5 + 0.5 * Noise1(std::floor(r) * 0.7 + 0.3, w.seed + 4));

    // Fibres: fine streaks that follow the grain down the tile.
    const double fibre = Fbm(u, v, 128, 4, 3, w.seed + 5);
    const double fine = Noise(u, v, 400, 8, w.seed + 6);
    // Pores: short dark dashes along the grain.
    const double poreNoise = Noise(u, v, 240, 20, w.seed + 7);
    double pore = Smooth(0.42, 0.72, poreNoise) * w.pores;
    pore *= (1 - w.earlyPores) + w.earlyPores * Smooth(0.35, 0.08, t);

    Colour c = Mix(w.early, w.late, Clamp01(ring * w.ringContrast));
    const double slow = Fbm(u, v, 2, 2, 3, w.seed + 8);
    c = Mix(c, w.tint, Clamp01(0.5 + slow) * w.variation);
    const double shade = 1 + fibre * w.fibre + fine * w.fibre * 0.6 - pore * 0.4;
    return c * shade;
}

Shader WoodShader(const Wood& w) {
    return [w](double u, double v) { return WoodColour(w, u, v); };
}

// Birch: pale, fine and even, the fibres catching the light in soft bands across the grain.
Colour Birch(double u, double v) {
    const Wood w{Rgb(236, 218, 184),
                 Rgb(206, 174, 128),
                 Rgb(226, 200, 160),
                 13,
                 2.6,
                 0.6,
                 2.5,
                 0.05,
                 0.10,
                 0.25,
                 0,
                 0.4,
                 202};
    const Colour c = WoodColour(w, u, v);
    const double flame = std::sin(2 * kPi * (v * 5 + 0.8 * Fbm(u, v, 3, 2, 3, 211)));
    return c * (1 + 0.02 * flame);
}

// Mahogany: straight grain with the ribbon stripe, bands that catch the light differently.
Colour Mahogany(double u, double v) {
    const Wood w{Rgb(128, 52, 32),
                 Rgb(84, 30, 20),
                 Rgb(146, 66, 38),
                 34,
                 2.0,
                 0.5,
                 0,
                 0.06,
                 0.09,
                 0.6,
                 0,
                 0.35,
                 303};
    const Colour c = WoodColour(w, u, v);
    const double ribbon = std::sin(2 * kPi * (u * 6 + Fbm(u, v, 2, 2, 3, 311) * 0.7));
    return c * (1 + 0.12 * ribbon);
}

// Rosewood: dark red-brown, densely streaked with near-black lines along the grain, and
// lighter orange zones between them.
Colour Rosewood(double u, double v) {
    const Wood w{Rgb(120, 50, 36),
                 Rgb(58, 22, 20),
                 Rgb(140, 62, 38),
                 36,
                 1.4,
                 0.8,
                 0,
                 0.11,
                 0.12,
                 0.5,
                 0,
                 0.4,
                 606};
    Colour c = WoodColour(w, u, v);
    const double r = RingCoordinate(w, u, v);
    // Dark zones of several rings, and a black line ending most rings within them.
    const double zone = Smooth(-0.1, 0.35, Fbm(u, v, 9, 1, 4, 612));
    c = Mix(c, Rgb(52, 20, 18), zone * 0.55);
    const double t = Fract(r);
    const double line = Smooth(0.8, 0.95, t) * (1 - Smooth(0.97, 1.0, t));
    const double strength = 0.5 + 0.5 * Noise1(std::floor(r) * 0.9, 614);
    c = Mix(c, Rgb(20, 8, 8), line * Clamp01(strength * (0.4 + zone)) * 0.9);
    const double flash = Smooth(0.2, 0.55, Fbm(u, v, 7, 1, 3, 613)) * (1 - zone);
    return Mix(c, Rgb(182, 96, 52), flash * 0.35);
}

// Oak: pronounced arches, a band of open pores at the start of every ring, ray flecks.
Colour Oak(double u, double v) {
    const Wood w{Rgb(216, 178, 124),
                 Rgb(158, 112, 64),
                 Rgb(200, 156, 100),
                 18,
                 1.8,
                 0.8,
                 4.0,
                 0.06,
                 0.08,
                 1.6,
                 1,
                 0.3,
                 707};
    Colour c = WoodColour(w, u, v);
    const double ray = Noise(u, v, 90, 200, 711);
    return Mix(c, Rgb(228, 196, 146), Smooth(0.6, 0.85, ray) * 0.3);
}

// --- jigsaw puzzle ---

constexpr int kPieces = 4;  // per side of the tile

// Which way the knob on an edge points (+1 or -1); every edge is shared by two pieces.
int KnobSide(int edge, int i, int j) {
    return (Hash(uint32_t(i % kPieces), uint32_t(j % kPieces), 900u + uint32_t(edge)) & 1) ? 1 : -1;
}

// The piece (column, row) that owns a point given in cell units, knobs included.
std::pair<int, int> PieceOwner(double x, double y) {
    // A point in a neighbour's knob belongs to that neighbour: test the own cell first, then
    // whether a neighbouring cell's knob covers it.
    const int ci = int(std::floor(x)), cj = int(std::floor(y));
    const double fx = x - ci, fy = y - cj;
    auto knob = [](double along, double across) {
        if (across < 0 || across > 0.27) return false;
        const double head = std::hypot(along - 0.5, (across - 0.16) * 1.05);
        const bool neck = std::fabs(along - 0.5) < 0.065 && across < 0.1;
        return head < 0.105 || neck;
    };
    // Knob of the left neighbour pointing right into this cell, and so on.
    if (KnobSide(0, ci - 1, cj) > 0 && knob(fy, fx)) return {ci - 1, cj};
    if (KnobSide(0, ci, cj) < 0 && knob(fy, 1 - fx)) return {ci + 1, cj};
    if (KnobSide(1, ci, cj - 1) > 0 && knob(fx, fy)) return {ci, cj - 1};
    if (KnobSide(1, ci, cj) < 0 && knob(fx, 1 - fy)) return {ci, cj + 1};
    return {ci, cj};
}

Colour PieceColour(int i, int j) {
    static const Colour palette[] = {Rgb(214, 72, 64),  Rgb(240, 176, 62), Rgb(92, 168, 96),
                                     Rgb(70, 132, 200), Rgb(156, 98, 180), Rgb(236, 128, 150),
                                     Rgb(64, 178, 176), Rgb(200, 200, 90)};
    i = ((i % kPieces) + kPieces) % kPieces;
    j = ((j % kPieces) + kPieces) % kPieces;
    return palette[(i * 3 + j * 5 + (i * j) % 3) % 8];
}

Colour Puzzle(double u, double v) {
    const double x = u * kPieces, y = v * kPieces;
    const auto owner = PieceOwner(x, y);
    Colour c = PieceColour(owner.first, owner.second);
    // Cardboard grain and a little print noise.
    c = c * (1 + 0.05 * Fbm(u, v, 64, 64, 2, 950));
    // Bevel: light from the top left. Look a few pixels up-left and down-right.
    const double px = double(kPieces) / kSize;
    double light = 0, dark = 0;
    for (int k = 1; k <= 5; ++k) {
        const double w = 1.0 - (k - 1) / 5.0;
        if (PieceOwner(x - k * px, y - k * px) != owner) light = std::max(light, w);
        if (PieceOwner(x + k * px, y + k * px) != owner) dark = std::max(dark, w);
    }
    c = Mix(c, Colour{1, 1, 1}, light * 0.45);
    c = Mix(c, Colour{0, 0, 0}, dark * 0.45);
    // The cut itself: a thin dark line.
    bool edge = false;
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        if (PieceOwner(x + dx * px * 0.8, y + dy * px * 0.8) != owner) edge = true;
    }
    return edge ? Mix(c, Rgb(40, 30, 25), 0.8) : c;
}

// --- ducks ---

double Ellipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return (std::sqrt(dx * dx + dy * dy) - 1) * std::min(rx, ry);  // about a distance
}

// Coverage of a shape with signed distance d, for a pixel of size px.
double Cover(double d, double px) { return Clamp01(0.5 - d / px); }

// A rubber duck facing right in a unit cell (y down); nullopt-free: alpha in `a`.
Colour Duck(double x, double y, Colour background, double px) {
    const Colour yellow = Rgb(252, 208, 52), shadow = Rgb(226, 164, 30);
    const Colour beak = Rgb(244, 120, 36), eye = Rgb(24, 24, 30), outline = Rgb(120, 84, 20);
    Colour c = background;
    // Water ripple under the duck.
    const double ripple = Ellipse(x, y, 0.5, 0.80, 0.36, 0.05);
    c = Mix(c, Rgb(120, 176, 226), Cover(ripple, px) * 0.8);
    // Body with a raised tail, then the head.
    double body = Ellipse(x, y, 0.48, 0.60, 0.30, 0.17);
    const double tail = Ellipse(x, y, 0.24, 0.47, 0.10, 0.08);
    body = std::min(body, tail);
    const double head = Ellipse(x, y, 0.66, 0.33, 0.13, 0.13);
    const double all = std::min(body, head);
    c = Mix(c, outline, Cover(all - 0.012, px));
    c = Mix(c, yellow, Cover(all, px));
    // Shading on the underside and the wing.
    c = Mix(c, shadow, Cover(Ellipse(x, y, 0.47, 0.70, 0.27, 0.08), px) * 0.6);
    const double wing = Ellipse(x, y, 0.42, 0.57, 0.14, 0.08);
    c = Mix(c, outline, Cover(wing - 0.008, px) * 0.9);
    c = Mix(c, shadow, Cover(wing, px));
    // Beak and eye with a highlight.
    const double bk =
        std::min(Ellipse(x, y, 0.82, 0.36, 0.08, 0.035), Ellipse(x, y, 0.81, 0.39, 0.065, 0.025));
    c = Mix(c, Rgb(170, 70, 20), Cover(bk - 0.008, px));
    c = Mix(c, beak, Cover(bk, px));
    c = Mix(c, eye, Cover(Ellipse(x, y, 0.70, 0.29, 0.028, 0.032), px));
    c = Mix(c, Colour{1, 1, 1}, Cover(Ellipse(x, y, 0.708, 0.28, 0.009, 0.009), px));
    return c;
}

Colour Ducks(double u, double v) {
    constexpr int kRows = 4, kCols = 4;
    const double px = 1.0 / (kSize / double(kCols));
    // Background: light water blue with gentle waves.
    const double wave = std::sin(2 * kPi * (v * 24 + 0.6 * std::sin(2 * kPi * u * 8)));
    Colour bg = Mix(Rgb(186, 222, 246), Rgb(164, 206, 238), Smooth(0.7, 1.0, wave));
    // Brick layout: every other row shifted half a cell and facing left.
    const int row = int(std::floor(v * kRows));
    const bool odd = row % 2 == 1;
    double cx = u * kCols + (odd ? 0.5 : 0.0);
    double x = Fract(cx), y = Fract(v * kRows);
    if (odd) x = 1 - x;
    return Duck(x, y, bg, px);
}

// --- test pattern ---

// 5 x 7 digits and the letter F, one row per line, most significant bit left.
const std::array<std::array<uint8_t, 7>, 11> kGlyphs = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
}};

// Whether (x, y) lies on a glyph whose cell of 5 x 7 units starts at (left, top).
bool OnGlyph(int glyph, double x, double y, double left, double top, double unit) {
    const int gx = int(std::floor((x - left) / unit)), gy = int(std::floor((y - top) / unit));
    if (gx < 0 || gx > 4 || gy < 0 || gy > 6) return false;
    return (kGlyphs[size_t(glyph)][size_t(gy)] >> (4 - gx)) & 1;
}

bool OnNumber(int n, double x, double y, double left, double top, double unit) {
    const std::string digits = std::to_string(n);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (OnGlyph(digits[i] - '0', x, y, left + double(i) * 6 * unit, top, unit)) return true;
    }
    return false;
}

Colour Hue(double h) {
    const double r = Clamp01(std::fabs(Fract(h) * 6 - 3) - 1);
    const double g = Clamp01(2 - std::fabs(Fract(h) * 6 - 2));
    const double b = Clamp01(2 - std::fabs(Fract(h) * 6 - 4));
    return {r, g, b};
}

Colour TestPattern(double u, double v) {
    constexpr int kCells = 4;
    const double x = u * kSize, y = v * kSize;  // pixels, y down
    const int ci = int(x / (kSize / kCells)), cj = int(y / (kSize / kCells));
    const double cell = kSize / double(kCells);
    const double lx = x - ci * cell, ly = y - cj * cell;
    const int number = cj * kCells + ci + 1;
    // Cell colour: hue along the reading order, pale so that the marks stand out.
    Colour c = Mix(Hue(number / 16.0), Colour{1, 1, 1}, 0.55);
    // Fine grid every 16 pixels and the cell borders.
    if (std::fmod(x, 16) < 1 || std::fmod(y, 16) < 1) c = c * 0.88;
    if (lx < 3 || ly < 3) c = Rgb(30, 30, 30);
    // The number in the top-left corner of its cell.
    if (OnNumber(number, lx, ly, 10, 10, 4)) c = Rgb(20, 20, 20);
    // An arrow pointing up at the cell's right side: reads wrongly when turned over.
    const double ax = lx - 100, ay = ly - 30;
    const bool shaft = std::fabs(ax) < 4 && ay > 18 && ay < 70;
    const bool headPart = ay >= 0 && ay <= 22 && std::fabs(ax) <= ay * 0.6;
    if (shaft || headPart) c = Rgb(200, 30, 30);
    // A letter F in the cell's lower half: mirrored it reads backwards.
    if (OnGlyph(10, x - ci * cell, y - cj * cell, 30, 62, 8)) c = Rgb(20, 40, 160);
    // Corner marks of the whole tile: red top left, green top right, blue bottom left.
    if (x < 24 && y < 24) c = Rgb(230, 30, 30);
    if (x > kSize - 24 && y < 24) c = Rgb(30, 170, 40);
    if (x < 24 && y > kSize - 24) c = Rgb(40, 60, 220);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "data/texturen";
    auto path = [&](int n) { return folder + "/textur" + std::to_string(n) + ".jpg"; };

    // Cherry: warm reddish brown, gentle arches, fine even grain.
    const Wood cherry{Rgb(200, 122, 80),
                      Rgb(156, 80, 48),
                      Rgb(180, 96, 58),
                      20,
                      3.5,
                      0.7,
                      3.0,
                      0.05,
                      0.06,
                      0.15,
                      0,
                      0.45,
                      101};
    // Walnut: chocolate with strong rings and purple-grey variation.
    const Wood walnut{Rgb(132, 94, 64),
                      Rgb(70, 46, 32),
                      Rgb(100, 80, 76),
                      16,
                      2.5,
                      0.85,
                      3.5,
                      0.07,
                      0.10,
                      0.5,
                      0,
                      0.5,
                      404};

    bool ok = true;
    ok &= Render(path(1), WoodShader(cherry));
    ok &= Render(path(2), Birch);
    ok &= Render(path(3), Mahogany);
    ok &= Render(path(4), WoodShader(walnut));
    ok &= Render(path(5), Puzzle, 2);
    ok &= Render(path(6), Rosewood);
    ok &= Render(path(7), Oak);
    ok &= Render(path(8), Ducks);
    ok &= Render(path(9), TestPattern, 2);
    return ok ? 0 : 1;
}
