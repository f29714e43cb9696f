#pragma once
// A point or direction in space and the few operations the geometry needs: the
// sinks that look at faces, the sizes of parts, the picking ray and the thumbnail
// camera all work with it.
#include <cmath>
#include <numbers>

namespace orx {

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;

    double& operator[](int k) { return k == 0 ? x : k == 1 ? y : z; }
    double operator[](int k) const { return k == 0 ? x : k == 1 ? y : z; }
    bool operator==(const Vec3&) const = default;

    friend Vec3 operator+(const Vec3& a, const Vec3& b) {
        return {a.x + b.x, a.y + b.y, a.z + b.z};
    }
    friend Vec3 operator-(const Vec3& a, const Vec3& b) {
        return {a.x - b.x, a.y - b.y, a.z - b.z};
    }
    friend Vec3 operator*(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
    friend Vec3 operator*(double s, const Vec3& a) { return a * s; }
};

inline double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

// v turned as glRotated(degrees, axis) turns it (axis 0 x, 1 y, 2 z).
inline Vec3 Rotated(const Vec3& v, double degrees, int axis) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const int i = (axis + 1) % 3, j = (axis + 2) % 3;
    Vec3 r = v;
    r[i] = c * v[i] - s * v[j];
    r[j] = s * v[i] + c * v[j];
    return r;
}

// The area vector of a polygon (Newell's method): normal to its plane, as long as
// twice its area, pointing the way from which its corners run counter-clockwise.
// Also sound for a concave or slightly bent polygon.
inline Vec3 AreaVector(const Vec3* corners, int n) {
    Vec3 sum;
    for (int i = 1; i + 1 < n; ++i)
        sum = sum + Cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    return sum;
}

}  // namespace orx
