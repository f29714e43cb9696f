// Sizes of parts from their corners, and how they are written for the user.
#include "geometry/PartSize.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "model/ModelCache.h"

namespace orx {

namespace {

// The mean length of four edges that run the same way (a block's edges a-b).
double MeanEdge(const Vec3* p, const int (&edges)[4][2]) {
    double sum = 0.0;
    for (const auto& e : edges) sum += Length(p[e[1]] - p[e[0]]);
    return sum / 4.0;
}

// A prism's blank: cap 1 is the first `c` corners, cap 2 the next `c`. The blank lies
// square to cap 1: its length is the depth of all corners along cap 1's normal, its
// outline the rectangle, along cap 1's first edge and across it, that holds both caps
// seen along that normal. A tapered or oblique part is so measured by what it takes.
void MeasurePrism(const Vec3* p, int c, double (&sizes)[3]) {
    const Vec3 area = AreaVector(p, c);
    const double areaLength = Length(area);
    // The first edge of cap 1 that has a length gives the outline's direction.
    Vec3 edge;
    for (int i = 0; i < c && !(Length(edge) > 0.0); ++i) edge = p[(i + 1) % c] - p[i];
    const double edgeLength = Length(edge);
    if (!(areaLength > 0.0) || !(edgeLength > 0.0)) {
        // A cap without area has no plane: the length runs between the caps' middles.
        Vec3 between;
        for (int i = 0; i < c; ++i) between = between + (p[i + c] - p[i]) * (1.0 / c);
        sizes[0] = Length(between);
        return;
    }
    const Vec3 axes[3] = {edge * (1.0 / edgeLength),
                          Cross(area * (1.0 / areaLength), edge) * (1.0 / edgeLength),
                          area * (1.0 / areaLength)};
    for (int k = 0; k < 3; ++k) {
        double lo = 0.0, hi = 0.0;
        for (int i = 1; i < 2 * c; ++i) {
            const double d = Dot(p[i] - p[0], axes[k]);
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
        sizes[k] = hi - lo;
    }
}

}  // namespace

const char* PartKindName(long type) {
    const RecordType* t = FindRecordType(type);
    return t ? t->kind : "";
}

bool MeasurePart(long type, const double* x, const double* y, const double* z, PartSize& size) {
    const RecordType* kind = FindRecordType(type);
    if (!kind) return false;
    const int n = kind->points;
    size = PartSize{};
    size.type = type;
    Vec3 p[kMaxOutlinePoints];
    for (int i = 0; i < n; ++i) p[i] = {x[i], y[i], z[i]};
    size.min[0] = *std::min_element(x, x + n);
    size.min[1] = *std::min_element(y, y + n);
    size.min[2] = *std::min_element(z, z + n);
    size.max[0] = *std::max_element(x, x + n);
    size.max[1] = *std::max_element(y, y + n);
    size.max[2] = *std::max_element(z, z + n);

    if (kind->capCorners == 0) {
        // P1-P4 and P5-P8 are opposite faces; each size is the mean of its four
        // parallel edges, so a block that is not quite square still reads sensibly.
        constexpr int kAlong12[4][2] = {{0, 1}, {3, 2}, {4, 5}, {7, 6}};
        constexpr int kAlong14[4][2] = {{0, 3}, {1, 2}, {4, 7}, {5, 6}};
        constexpr int kAcross[4][2] = {{0, 4}, {1, 5}, {2, 6}, {3, 7}};
        size.sizes[0] = MeanEdge(p, kAlong12);
        size.sizes[1] = MeanEdge(p, kAlong14);
        size.sizes[2] = MeanEdge(p, kAcross);
    } else {
        MeasurePrism(p, kind->capCorners, size.sizes);
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
    return "Teil " + std::to_string(record) + ", " + PartKindName(size.type) + ": " +
           FormatMillimetres(size.sizes[0], false) + " × " +
           FormatMillimetres(size.sizes[1], false) + " × " +
           FormatMillimetres(size.sizes[2], false) + " mm";
}

std::string DistanceText(const Vec3& from, const Vec3& to) {
    const double dx = std::fabs(to.x - from.x);
    const double dy = std::fabs(to.y - from.y);
    const double dz = std::fabs(to.z - from.z);
    const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
    return "Abstand " + FormatMillimetres(d, true) + " mm (x " + FormatMillimetres(dx, true) +
           " · y " + FormatMillimetres(dy, true) + " · z " + FormatMillimetres(dz, true) + ")";
}

}  // namespace orx
