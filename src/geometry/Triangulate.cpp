// Ear clipping in the plane of a polygon.
#include "geometry/Triangulate.h"

#include <cmath>
#include <utility>

namespace orx {

namespace {

struct Point2 {
    double u, v;
};

// Twice the signed area of the triangle a b c; positive when it runs counter-clockwise.
double Turn(const Point2& a, const Point2& b, const Point2& c) {
    return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

// p inside the counter-clockwise triangle a b c or on its border.
bool InTriangle(const Point2& p, const Point2& a, const Point2& b, const Point2& c) {
    return Turn(a, b, p) >= 0.0 && Turn(b, c, p) >= 0.0 && Turn(c, a, p) >= 0.0;
}

}  // namespace

void TriangulatePolygon(const Vec3* corners, int n, std::vector<int>& triangles) {
    if (n < 3) return;
    const Vec3 area = AreaVector(corners, n);
    // Seen along the largest component of the area vector the polygon keeps its shape;
    // the two other axes are taken in the order that makes it run counter-clockwise.
    int drop = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(area[k]) > std::fabs(area[drop])) drop = k;
    if (!(std::fabs(area[drop]) > 0.0) || !std::isfinite(area[drop])) return;
    int a = (drop + 1) % 3, b = (drop + 2) % 3;
    if (area[drop] < 0.0) std::swap(a, b);
    std::vector<Point2> flat(static_cast<size_t>(n));
    double size = 0.0;
    for (int i = 0; i < n; ++i) {
        flat[i] = {corners[i][a] - corners[0][a], corners[i][b] - corners[0][b]};
        size = std::fmax(size, std::fabs(flat[i].u) + std::fabs(flat[i].v));
    }
    // Turns smaller than this are taken as straight: rounding, not shape.
    const double straight = 1e-12 * size * size;

    std::vector<int> left(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) left[i] = i;
    auto emit = [&](int i, int j, int k) {
        if (std::fabs(Turn(flat[i], flat[j], flat[k])) > straight)
            triangles.insert(triangles.end(), {i, j, k});
    };
    while (left.size() > 3) {
        const int m = static_cast<int>(left.size());
        int ear = -1;
        for (int e = 0; e < m && ear < 0; ++e) {
            const int i = left[(e + m - 1) % m], j = left[e], k = left[(e + 1) % m];
            if (Turn(flat[i], flat[j], flat[k]) <= straight) continue;  // reflex or straight
            bool empty = true;
            for (int q : left) {
                if (q == i || q == j || q == k) continue;
                const Point2& p = flat[q];
                // A corner that coincides with one of the ear's does not block it.
                auto same = [&](int c) { return p.u == flat[c].u && p.v == flat[c].v; };
                if (same(i) || same(j) || same(k)) continue;
                if (InTriangle(p, flat[i], flat[j], flat[k])) {
                    empty = false;
                    break;
                }
            }
            if (empty) ear = e;
        }
        if (ear < 0) {
            // No ear: the rest is straight, folded or crosses itself. A straight corner
            // goes without a triangle; failing that the most convex one is cut off.
            double best = -HUGE_VAL;
            for (int e = 0; e < m; ++e) {
                const double t =
                    Turn(flat[left[(e + m - 1) % m]], flat[left[e]], flat[left[(e + 1) % m]]);
                if (std::fabs(t) <= straight) {
                    ear = e;
                    break;
                }
                if (t > best) {
                    best = t;
                    ear = e;
                }
            }
        }
        emit(left[(ear + m - 1) % m], left[ear], left[(ear + 1) % m]);
        left.erase(left.begin() + ear);
    }
    emit(left[0], left[1], left[2]);
}

}  // namespace orx
