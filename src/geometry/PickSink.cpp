// Faces met by a ray: the nearest face of the drawn geometry under the pointer.
#include "geometry/PickSink.h"

#include <cmath>

namespace orx {

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

void FaceSink::Begin(GLenum mode) {
    m_mode = mode;
    m_corners.clear();
}

void FaceSink::Vertex3d(double x, double y, double z) {
    m_corners.push_back({x, y, z});
    // Triangles and quads are complete faces as soon as their last corner arrives.
    const size_t per = m_mode == GL_TRIANGLES ? 3 : m_mode == GL_QUADS ? 4 : 0;
    if (per != 0 && m_corners.size() == per) {
        Face(m_corners.data(), static_cast<int>(per));
        m_corners.clear();
    }
}

void FaceSink::End() {
    if (m_mode == GL_POLYGON && m_corners.size() >= 3)
        Face(m_corners.data(), static_cast<int>(m_corners.size()));
    m_corners.clear();
}

Vec3 PickSink::HitPoint() const {
    return {m_origin[0] + m_t * m_direction[0], m_origin[1] + m_t * m_direction[1],
            m_origin[2] + m_t * m_direction[2]};
}

// A face is filled as a fan from its first corner, as OpenGL fills quads and
// convex polygons.
void PickSink::Face(const Vec3* corners, int count) {
    for (int i = 1; i + 1 < count; ++i) Triangle(corners[0], corners[i], corners[i + 1]);
}

// Ray and triangle (Moeller and Trumbore), from either side: faces are drawn without
// culling.
void PickSink::Triangle(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 e1 = Sub(b, a);
    const Vec3 e2 = Sub(c, a);
    const Vec3 p = Cross(m_direction, e2);
    const double det = Dot(e1, p);
    if (std::fabs(det) < 1e-300 || !std::isfinite(det)) return;
    const double inv = 1.0 / det;
    const Vec3 s = Sub(m_origin, a);
    const double u = Dot(s, p) * inv;
    // A small tolerance keeps a click on an edge between two faces from falling
    // through the seam.
    constexpr double kEdge = 1e-9;
    if (u < -kEdge || u > 1.0 + kEdge) return;
    const Vec3 q = Cross(s, e1);
    const double v = Dot(m_direction, q) * inv;
    if (v < -kEdge || u + v > 1.0 + kEdge) return;
    const double t = Dot(e2, q) * inv;
    if (t < m_tNear || t > m_tFar) return;
    if (m_hit && t >= m_t) return;
    m_hit = true;
    m_t = t;
}

}  // namespace orx
