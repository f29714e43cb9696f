// Faces met by a ray: the nearest face of the drawn geometry under the pointer.
#include "geometry/PickSink.h"

#include <cmath>

#include "geometry/Triangulate.h"

namespace orx {

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

Vec3 PickSink::HitPoint() const { return m_origin + m_t * m_direction; }

// A face is met where it covers its outline: split in its own plane, so that the
// notch of a concave cap is not hit.
void PickSink::Face(const Vec3* corners, int count) {
    m_triangles.clear();
    TriangulatePolygon(corners, count, m_triangles);
    for (size_t i = 0; i + 2 < m_triangles.size(); i += 3)
        Triangle(corners[m_triangles[i]], corners[m_triangles[i + 1]], corners[m_triangles[i + 2]]);
}

// Ray and triangle (Moeller and Trumbore), from either side: faces are drawn without
// culling.
void PickSink::Triangle(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 e1 = b - a;
    const Vec3 e2 = c - a;
    const Vec3 p = Cross(m_direction, e2);
    const double det = Dot(e1, p);
    if (std::fabs(det) < 1e-300 || !std::isfinite(det)) return;
    const double inv = 1.0 / det;
    const Vec3 s = m_origin - a;
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
