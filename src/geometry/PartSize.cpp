// Sizes of parts from their corners, and how they are written for the user.
#include "geometry/PartSize.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace orx {

namespace {

struct V {
    double x, y, z;
};

V Sub(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V Cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(V a) { return std::sqrt(Dot(a, a)); }
V Scale(V a, double s) { return {a.x * s, a.y * s, a.z * s}; }

// The mean length of four edges that run the same way (a block's edges a-b).
double MeanEdge(const V* p, const int (&edges)[4][2]) {
    double sum = 0.0;
    for (const auto& e : edges) sum += Length(Sub(p[e[1]], p[e[0]]));
    return sum / 4.0;
}

}  // namespace

const char* PartKindName(long type) {
    switch (type) {
        case 6: return "Dreieckprisma";
        case 8: return "Quader";
        case 10: return "Fünfeckprisma";
        case 12: return "Sechseckprisma";
        default: return "";
    }
}

bool MeasurePart(long type, const double* x, const double* y, const double* z, PartSize& size) {
    const int n = type == 6 ? 6 : type == 8 ? 8 : type == 10 ? 10 : type == 12 ? 12 : 0;
    if (n == 0) return false;
    size = PartSize{};
    size.type = type;
    V p[12];
    for (int i = 0; i < n; ++i) p[i] = {x[i], y[i], z[i]};
    size.min[0] = *std::min_element(x, x + n);
    size.min[1] = *std::min_element(y, y + n);
    size.min[2] = *std::min_element(z, z + n);
    size.max[0] = *std::max_element(x, x + n);
    size.max[1] = *std::max_element(y, y + n);
    size.max[2] = *std::max_element(z, z + n);

    if (type == 8) {
        // P1-P4 and P5-P8 are opposite faces; each size is the mean of its four
        // parallel edges, so a block that is not quite square still reads sensibly.
        constexpr int kAlong12[4][2] = {{0, 1}, {3, 2}, {4, 5}, {7, 6}};
        constexpr int kAlong14[4][2] = {{0, 3}, {1, 2}, {4, 7}, {5, 6}};
        constexpr int kAcross[4][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}};
        size.sizes[0] = MeanEdge(p, kAlong12);
        size.sizes[1] = MeanEdge(p, kAlong14);
        size.sizes[2] = MeanEdge(p, kAcross);
    } else {
        // A prism: cap 1 is the first half of the corners, cap 2 the second. Its
        // length runs between the caps' centres; its outline is measured in the
        // plane of cap 1, along the edge P1-P2 and across it.
        size.prism = true;
        const int c = n / 2;
        V centre1{0, 0, 0}, centre2{0, 0, 0}, normal{0, 0, 0};
        for (int i = 0; i < c; ++i) {
            centre1 = {centre1.x + p[i].x, centre1.y + p[i].y, centre1.z + p[i].z};
            centre2 = {centre2.x + p[i + c].x, centre2.y + p[i + c].y, centre2.z + p[i + c].z};
            normal = {normal.x + Cross(p[i], p[(i + 1) % c]).x,
                      normal.y + Cross(p[i], p[(i + 1) % c]).y,
                      normal.z + Cross(p[i], p[(i + 1) % c]).z};
        }
        size.length = Length(Sub(Scale(centre2, 1.0 / c), Scale(centre1, 1.0 / c)));
        const V edge = Sub(p[1], p[0]);
        const double edgeLength = Length(edge), normalLength = Length(normal);
        if (edgeLength > 0.0 && normalLength > 0.0) {
            const V u = Scale(edge, 1.0 / edgeLength);
            const V v = Cross(Scale(normal, 1.0 / normalLength), u);
            double lo[2] = {0, 0}, hi[2] = {0, 0};
            for (int i = 1; i < c; ++i) {
                const V d = Sub(p[i], p[0]);
                const double s = Dot(d, u), t = Dot(d, v);
                lo[0] = std::min(lo[0], s);
                hi[0] = std::max(hi[0], s);
                lo[1] = std::min(lo[1], t);
                hi[1] = std::max(hi[1], t);
            }
            size.outline[0] = hi[0] - lo[0];
            size.outline[1] = hi[1] - lo[1];
        }
        if (size.outline[0] < size.outline[1]) std::swap(size.outline[0], size.outline[1]);
        size.sizes[0] = size.length;
        size.sizes[1] = size.outline[0];
        size.sizes[2] = size.outline[1];
    }
    std::sort(size.sizes, size.sizes + 3, std::greater<>());
    return true;
}

std::string FormatMillimetres(double value, bool keepTenth) {
    if (!std::isfinite(value)) return "?";
    const double tenths = std::round(value * 10.0);
    char text[64];
    if (!keepTenth && std::fmod(tenths, 10.0) == 0.0) {
        std::snprintf(text, sizeof text, "%.0f", tenths / 10.0);
    } else {
        std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
    }
    std::string s = text;
    if (s == "-0" || s == "-0.0") s.erase(0, 1);
    std::replace(s.begin(), s.end(), '.', ',');
    return s;
}

std::string PartSizeText(int record, const PartSize& size) {
    std::string text = "Teil " + std::to_string(record) + ": ";
    if (size.prism) {
        text += FormatMillimetres(size.outline[0], false) + " × " +
                FormatMillimetres(size.outline[1], false) + " mm, Länge " +
                FormatMillimetres(size.length, false) + " mm";
    } else {
        text += FormatMillimetres(size.sizes[0], false) + " × " +
                FormatMillimetres(size.sizes[1], false) + " × " +
                FormatMillimetres(size.sizes[2], false) + " mm";
    }
    return text;
}

std::string DistanceText(const double* from, const double* to) {
    const double dx = std::fabs(to[0] - from[0]);
    const double dy = std::fabs(to[1] - from[1]);
    const double dz = std::fabs(to[2] - from[2]);
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    return "Abstand " + FormatMillimetres(d, true) + " mm (x " + FormatMillimetres(dx, true) +
           " · y " + FormatMillimetres(dy, true) + " · z " + FormatMillimetres(dz, true) + ")";
}

}  // namespace orx
