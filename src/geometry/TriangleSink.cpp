// Gathering the emitted faces as outward-facing triangles.
#include "geometry/TriangleSink.h"

#include <cmath>

namespace orx {

void TriangleSink::StartGroup(int number) {
    FinishGroup();
    m_groups.push_back(Group{number, m_vertices.size(), 0});
    m_groupOpen = true;
}

void TriangleSink::Finish() { FinishGroup(); }

void TriangleSink::Clear() {
    m_vertices.clear();
    m_groups.clear();
    m_corners.clear();
    m_faces.clear();
    m_primitive.clear();
    m_open = false;
    m_groupOpen = false;
}

void TriangleSink::Release() {
    m_vertices = {};
    m_groups = {};
    m_corners = {};
    m_faces = {};
    m_primitive = {};
}

void TriangleSink::Begin(GLenum mode) {
    m_mode = mode;
    m_open = true;
    m_primitive.clear();
}

void TriangleSink::End() {
    if (!m_open) return;
    m_open = false;
    const size_t n = m_primitive.size();
    const size_t first = m_corners.size();
    m_corners.insert(m_corners.end(), m_primitive.begin(), m_primitive.end());
    m_primitive.clear();
    // Lines and points have no faces; an incomplete last face is left out, as
    // OpenGL leaves it out.
    switch (m_mode) {
        case GL_TRIANGLES:
            for (size_t i = 0; i + 3 <= n; i += 3) AddFace(first + i, 3);
            break;
        case GL_QUADS:
            for (size_t i = 0; i + 4 <= n; i += 4) AddFace(first + i, 4);
            break;
        case GL_POLYGON:
            if (n >= 3) AddFace(first, n);
            break;
        default: break;
    }
}

void TriangleSink::TexCoord2f(float s, float t) {
    m_uv[0] = s;
    m_uv[1] = t;
}

void TriangleSink::Color4ubv(const unsigned char* rgba) {
    m_colour = RGBA{rgba[0], rgba[1], rgba[2], rgba[3]};
}

void TriangleSink::Color3f(float r, float g, float b) {
    auto byte = [](float v) {
        return static_cast<unsigned char>(
            std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f));
    };
    m_colour = RGBA{byte(r), byte(g), byte(b), 255};
}

void TriangleSink::Vertex3d(double x, double y, double z) {
    AddCorner(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void TriangleSink::Vertex3f(float x, float y, float z) { AddCorner(x, y, z); }

void TriangleSink::AddCorner(float x, float y, float z) {
    if (!m_open) return;
    Vertex v{};
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    v.uv[0] = m_uv[0];
    v.uv[1] = m_uv[1];
    v.colour = m_colour;
    m_primitive.push_back(v);
}

void TriangleSink::AddFace(size_t first, size_t n) {
    if (!m_groupOpen) StartGroup(0);
    m_faces.emplace_back(first, n);
}

void TriangleSink::FinishGroup() {
    if (!m_groupOpen) return;
    m_groupOpen = false;
    // The middle of the part's corners lies inside a convex part: a face whose
    // normal points away from it points out of the part.
    double centre[3] = {0, 0, 0};
    for (const Vertex& v : m_corners)
        for (int k = 0; k < 3; ++k) centre[k] += v.position[k];
    if (!m_corners.empty())
        for (double& c : centre) c /= static_cast<double>(m_corners.size());

    Group& group = m_groups.back();
    for (const std::pair<size_t, size_t>& face : m_faces) {
        const size_t first = face.first;
        const size_t n = face.second;
        const Vertex* c = m_corners.data() + first;
        // Newell's normal: the face's area vector, also for a slightly bent polygon.
        double normal[3] = {0, 0, 0};
        double middle[3] = {0, 0, 0};
        for (size_t i = 0; i < n; ++i) {
            const float* p = c[i].position;
            const float* q = c[(i + 1) % n].position;
            normal[0] += (double(p[1]) - q[1]) * (double(p[2]) + q[2]);
            normal[1] += (double(p[2]) - q[2]) * (double(p[0]) + q[0]);
            normal[2] += (double(p[0]) - q[0]) * (double(p[1]) + q[1]);
            for (int k = 0; k < 3; ++k) middle[k] += p[k];
        }
        const double length =
            std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        if (!(length > 0.0) || !std::isfinite(length)) continue;  // no area: nothing to see
        double outward = 0.0;
        for (int k = 0; k < 3; ++k) {
            normal[k] /= length;
            outward += normal[k] * (middle[k] / static_cast<double>(n) - centre[k]);
        }
        // A face sent the other way round is turned, normal and corner order together,
        // so that the front of every triangle faces out of the part.
        const bool turn = outward < 0.0;
        if (turn)
            for (double& k : normal) k = -k;
        auto corner = [&](size_t i) -> const Vertex& { return c[turn ? (n - i) % n : i]; };
        for (size_t i = 1; i + 1 < n; ++i) {
            for (const Vertex* v : {&corner(0), &corner(i), &corner(i + 1)}) {
                Vertex out = *v;
                for (int k = 0; k < 3; ++k) out.normal[k] = static_cast<float>(normal[k]);
                m_vertices.push_back(out);
            }
            group.count += 3;
        }
    }
    m_corners.clear();
    m_faces.clear();
}

}  // namespace orx
