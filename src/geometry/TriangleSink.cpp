// Gathering the emitted faces as outward-facing triangles.
#include "geometry/TriangleSink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "geometry/Triangulate.h"

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

    // The faces with area, each split into triangles in its own plane.
    struct Face {
        size_t first, n;
        Vec3 area;
        size_t firstTriangle, triangles;  // into `corners`, three a triangle
        size_t piece = 0;                 // the face that stands for its piece
        bool turn = false;
    };
    std::vector<Face> faces;
    std::vector<int> corners;  // corner numbers within their face
    std::vector<Vec3> points;
    for (const std::pair<size_t, size_t>& f : m_faces) {
        points.clear();
        for (size_t i = 0; i < f.second; ++i) {
            const float* p = m_corners[f.first + i].position;
            points.push_back({p[0], p[1], p[2]});
        }
        const size_t before = corners.size();
        TriangulatePolygon(points.data(), static_cast<int>(points.size()), corners);
        if (corners.size() == before) continue;  // no area: nothing to see
        faces.push_back(Face{f.first, f.second,
                             AreaVector(points.data(), static_cast<int>(f.second)), before,
                             (corners.size() - before) / 3});
    }

    // Corners at the same place are one corner of the solid: the emitters convert each
    // point once, so the faces that meet there send the same floats.
    std::vector<std::pair<std::array<float, 3>, size_t>> places;
    for (const Face& f : faces)
        for (size_t i = 0; i < f.n; ++i) {
            const float* p = m_corners[f.first + i].position;
            places.push_back({{p[0], p[1], p[2]}, f.first + i});
        }
    std::sort(places.begin(), places.end());
    std::vector<int> place(m_corners.size(), -1);
    int count = -1;
    for (size_t i = 0; i < places.size(); ++i) {
        if (i == 0 || places[i].first != places[i - 1].first) ++count;
        place[places[i].second] = count;
    }

    // Two faces that share an edge agree when they run along it in opposite directions.
    struct Edge {
        int lo, hi;
        size_t face;
        bool forward;
        bool operator<(const Edge& o) const {
            return std::tie(lo, hi, face) < std::tie(o.lo, o.hi, o.face);
        }
    };
    std::vector<Edge> edges;
    for (size_t f = 0; f < faces.size(); ++f) {
        for (size_t i = 0; i < faces[f].n; ++i) {
            const int a = place[faces[f].first + i];
            const int b = place[faces[f].first + (i + 1) % faces[f].n];
            if (a != b) edges.push_back(Edge{std::min(a, b), std::max(a, b), f, a < b});
        }
    }
    std::sort(edges.begin(), edges.end());
    // Faces joined by edges form pieces; each face knows whether it runs against the
    // first face of its piece (union-find that keeps that parity).
    std::vector<size_t> parent(faces.size());
    std::vector<char> against(faces.size(), 0);
    for (size_t f = 0; f < faces.size(); ++f) parent[f] = f;
    auto find = [&](size_t f) {
        char parity = 0;
        size_t root = f;
        while (parent[root] != root) {
            parity ^= against[root];
            root = parent[root];
        }
        // Shorten the path: every face on it now hangs from the root.
        for (char p = parity; parent[f] != root;) {
            const size_t up = parent[f];
            const char upParity = p ^ against[f];
            parent[f] = root;
            against[f] = p;
            f = up;
            p = upParity;
        }
        return std::pair<size_t, char>(root, parity);
    };
    for (size_t s = 0, e = 0; s < edges.size(); s = e) {
        for (e = s + 1;
             e < edges.size() && edges[e].lo == edges[s].lo && edges[e].hi == edges[s].hi; ++e) {
            // Running the same way along the edge, one of the two faces must be turned.
            const char differ = edges[e].forward == edges[s].forward ? 1 : 0;
            const auto [rootS, parityS] = find(edges[s].face);
            const auto [rootE, parityE] = find(edges[e].face);
            if (rootS == rootE) continue;  // already decided (a fold keeps the first)
            parent[rootE] = rootS;
            against[rootE] = static_cast<char>(parityS ^ parityE ^ differ);
        }
    }
    for (size_t f = 0; f < faces.size(); ++f) {
        const auto [root, parity] = find(f);
        faces[f].piece = root;
        faces[f].turn = parity != 0;
    }
    // The volume each piece encloses, by the divergence theorem: negative when its
    // faces all look inward, and then they are all turned.
    std::vector<double> volume(faces.size(), 0.0);
    const Vec3 origin = faces.empty() ? Vec3{} : Position(faces[0].first);
    for (const Face& f : faces) {
        for (size_t t = 0; t < f.triangles; ++t) {
            const int* c = &corners[f.firstTriangle + 3 * t];
            const Vec3 a = Position(f.first + c[0]) - origin, b = Position(f.first + c[1]) - origin,
                       d = Position(f.first + c[2]) - origin;
            volume[f.piece] += (f.turn ? -1.0 : 1.0) * Dot(a, Cross(b, d));
        }
    }

    Group& group = m_groups.back();
    for (Face& f : faces) {
        if (volume[f.piece] < 0.0) f.turn = !f.turn;
        const Vec3 normal = f.area * ((f.turn ? -1.0 : 1.0) / Length(f.area));
        for (size_t t = 0; t < f.triangles; ++t) {
            const int* c = &corners[f.firstTriangle + 3 * t];
            // A face sent the other way round is turned, normal and corner order
            // together, so that the front of every triangle faces out of the part.
            for (const int k : {c[0], f.turn ? c[2] : c[1], f.turn ? c[1] : c[2]}) {
                Vertex out = m_corners[f.first + k];
                for (int i = 0; i < 3; ++i) out.normal[i] = static_cast<float>(normal[i]);
                m_vertices.push_back(out);
            }
            group.count += 3;
        }
    }
    m_corners.clear();
    m_faces.clear();
}

Vec3 TriangleSink::Position(size_t corner) const {
    const float* p = m_corners[corner].position;
    return {p[0], p[1], p[2]};
}

}  // namespace orx
