// The four record emitters: each widens the model bounds by its record's placed
// corners and, outside the measuring pass, sends the solid's faces with fixed
// normals and per-vertex colours or texture coordinates.
#include <cmath>

#include "app/ViewerDlg.h"
#include "geometry/DesignColour.h"
#include "geometry/VertexAttributes.h"

namespace orx {

namespace {

constexpr int kMaxCorners = 12;

// Tolerance of the height comparison that picks a pentagon's cap mapping.
constexpr float kCapTolerance = 0.01f;

// One vertex of a fixed face: placed point (1-based), texture coordinate as a
// fraction of the texture repeat, and shade index.
struct TableVertex {
    int point;
    float s, t;
    int shade;
};

// A vertex at a corner of the texture square; the corner numbers follow the
// shades that go with them: 0 (0,0), 1 (r,0), 2 (r,r), 3 (0,r).
constexpr TableVertex Corner(int point, int corner) {
    return TableVertex{point, (corner == 1 || corner == 2) ? 1.0f : 0.0f, corner >= 2 ? 1.0f : 0.0f,
                       corner};
}

struct TableQuad {
    double nx, ny, nz;
    TableVertex v[4];
};

struct TableTriangle {
    double nx, ny, nz;
    TableVertex v[3];
};

// Triangular prism: both end triangles in the same point order, third vertex at
// the middle of the square's top edge.
constexpr TableTriangle kPrismEnds[] = {
    {0, 0, -1, {{1, 0.0f, 0.0f, 0}, {2, 1.0f, 0.0f, 1}, {3, 0.5f, 1.0f, 5}}},
    {0, 0, 1, {{4, 0.0f, 0.0f, 0}, {5, 1.0f, 0.0f, 1}, {6, 0.5f, 1.0f, 5}}},
};
constexpr TableQuad kPrismSides[] = {
    {-1, 0, 0, {Corner(2, 0), Corner(5, 1), Corner(6, 2), Corner(3, 3)}},
    {1, 0, 0, {Corner(1, 0), Corner(3, 1), Corner(6, 2), Corner(4, 3)}},
    {0, 1, 0, {Corner(1, 0), Corner(4, 1), Corner(5, 2), Corner(2, 3)}},
};

constexpr TableQuad kBoxFaces[] = {
    {0, 0, 1, {Corner(1, 0), Corner(2, 1), Corner(3, 2), Corner(4, 3)}},
    {0, 0, -1, {Corner(8, 0), Corner(7, 1), Corner(6, 2), Corner(5, 3)}},
    {0, -1, 0, {Corner(1, 2), Corner(5, 3), Corner(6, 0), Corner(2, 1)}},
    {1, 0, 0, {Corner(2, 2), Corner(6, 3), Corner(7, 0), Corner(3, 1)}},
    {0, 1, 0, {Corner(3, 2), Corner(7, 3), Corner(8, 0), Corner(4, 1)}},
    {-1, 0, 0, {Corner(4, 2), Corner(8, 3), Corner(5, 0), Corner(1, 1)}},
};

// Slanted normals have length sqrt(0.5) and are sent as they stand.
constexpr TableQuad kPentagonSides[] = {
    {0, -1, 0, {Corner(1, 2), Corner(6, 3), Corner(7, 0), Corner(2, 1)}},
    {0.5, -0.5, 0, {Corner(2, 2), Corner(7, 3), Corner(8, 0), Corner(3, 1)}},
    {0.5, 0.5, 0, {Corner(3, 2), Corner(8, 3), Corner(9, 0), Corner(4, 1)}},
    {-0.5, 0.5, 0, {Corner(4, 0), Corner(9, 1), Corner(10, 2), Corner(5, 3)}},
    {-0.5, -0.5, 0, {Corner(5, 2), Corner(10, 3), Corner(6, 0), Corner(1, 1)}},
};

constexpr TableQuad kHexagonSides[] = {
    {0, -1, 0, {Corner(1, 3), Corner(7, 0), Corner(8, 1), Corner(2, 2)}},
    {0.5, -0.5, 0, {Corner(2, 2), Corner(8, 3), Corner(9, 0), Corner(3, 1)}},
    {0.5, 0.5, 0, {Corner(3, 2), Corner(9, 3), Corner(10, 0), Corner(4, 1)}},
    {0, 1, 0, {Corner(4, 0), Corner(10, 1), Corner(11, 2), Corner(5, 3)}},
    {-0.5, 0.5, 0, {Corner(5, 2), Corner(11, 3), Corner(12, 0), Corner(6, 1)}},
    {-0.5, -0.5, 0, {Corner(6, 2), Corner(12, 3), Corner(7, 0), Corner(1, 1)}},
};

// Widens the bounds by the first n placed points: all maxima first, then all
// minima, each on "less/greater than or equal".
void WidenBounds(ModelBounds& b, const double* x, const double* y, const double* z, int n) {
    for (int i = 0; i < n; ++i) {
        if (b.maxX <= x[i]) b.maxX = x[i];
        if (b.maxY <= y[i]) b.maxY = y[i];
        if (b.maxZ <= z[i]) b.maxZ = z[i];
    }
    for (int i = 0; i < n; ++i) {
        if (b.minX >= x[i]) b.minX = x[i];
        if (b.minY >= y[i]) b.minY = y[i];
        if (b.minZ >= z[i]) b.minZ = z[i];
    }
}

// A cap texture coordinate: the ratio first, then times r. A zero divisor (or any
// result that is not finite) gives 0, so the list never holds NaN or infinity.
float CapCoord(float numerator, float divisor, float r) {
    if (divisor == 0.0f) return 0.0f;
    const float ratio = numerator / divisor;
    const float coord = ratio * r;
    return std::isfinite(coord) ? coord : 0.0f;
}

struct CapVertex {
    float s, t;
    int shade;
};

// Sends one record's faces: the placed points mapped to model space and held as
// single-precision values, each vertex preceded by the data of the display mode.
class FaceWriter {
public:
    FaceWriter(const VertexStyle& style, const ModelBounds& b, GlSink& sink, const double* x,
               const double* y, const double* z, int n)
        : m_style(style), m_sink(sink), m_r(style.texRepeat) {
        for (int i = 0; i < n; ++i) {
            m_points[i][0] = static_cast<float>((x[i] - b.centreX) / b.extent);
            m_points[i][1] = static_cast<float>((y[i] - b.centreY) / b.extent);
            m_points[i][2] = static_cast<float>((z[i] - b.centreZ) / b.extent);
        }
    }

    void Vertex(int point, float s, float t, int shade) {
        SendVertexAttributes(m_style, m_sink, s, t, shade);
        const float* p = m_points[point - 1];
        m_sink.Vertex3d(p[0], p[1], p[2]);
    }

    void TableVertices(const TableVertex* v, int count) {
        for (int i = 0; i < count; ++i) {
            Vertex(v[i].point, v[i].s * m_r, v[i].t * m_r, v[i].shade);
        }
    }

    // One GL_QUADS primitive holding all faces of the table.
    template <int N>
    void Quads(const TableQuad (&faces)[N]) {
        m_sink.Begin(GL_QUADS);
        for (const TableQuad& f : faces) {
            m_sink.Normal3d(f.nx, f.ny, f.nz);
            TableVertices(f.v, 4);
        }
        m_sink.End();
    }

    // One GL_POLYGON cap with the normal (0, 0, 1) on points first .. first+n-1.
    void Cap(int first, const CapVertex* v, int n) {
        m_sink.Begin(GL_POLYGON);
        m_sink.Normal3d(0, 0, 1);
        for (int i = 0; i < n; ++i) Vertex(first + i, v[i].s, v[i].t, v[i].shade);
        m_sink.End();
    }

    GlSink& Sink() { return m_sink; }
    // The texture repeat r: the side length of the texture square.
    float R() const { return m_r; }

private:
    const VertexStyle m_style;
    GlSink& m_sink;
    const float m_r;
    float m_points[kMaxCorners][3];
};

// Which of the three pentagon cap mappings fits cap 1's heights y3, y4, y5.
int PentagonMapping(float y3, float y4, float y5) {
    const float e = kCapTolerance;
    if (y3 + e <= y4 && y4 < y5 + e) return 2;
    if (y4 > y3 + e && y4 > y5 + e) return 3;
    return 1;
}

// Texture coordinates and shades of one pentagon cap; x and y hold the cap's five
// reference corners as single-precision values.
void PentagonCap(int mapping, bool secondCap, const float* x, const float* y, float r,
                 CapVertex* out) {
    const float x1 = x[0], x2 = x[1], x3 = x[2], x4 = x[3], x5 = x[4];
    const float y1 = y[0], y2 = y[1], y3 = y[2], y4 = y[3], y5 = y[4];
    switch (mapping) {
        case 2:
            out[0] = {0.0f, 0.0f, 0};
            out[1] = {CapCoord(x2 - x1, x3 - x1, r), 0.0f, 1};
            out[2] = {r, CapCoord(y3 - y2, y4 - y2, r), 4};
            out[3] = {CapCoord(x4 - x1, x3 - x1, r), r, 2};
            out[4] = {0.0f, r, 3};
            break;
        case 3:
            out[0] = {CapCoord(x1 - x5, x2 - x5, r), 0.0f, 0};
            out[1] = {CapCoord(x2 - x5, x3 - x5, r), 0.0f, 1};
            out[2] = {r, CapCoord(y3 - y1, y4 - y1, r), 4};
            out[3] = {CapCoord(x4 - x5, x3 - x5, r), r, 5};
            out[4] = {0.0f, CapCoord(y5 - y1, y4 - y1, r), 4};
            break;
        default:
            out[0] = {CapCoord(x1 - x5, x2 - x5, r), 0.0f, 0};
            out[1] = {r, 0.0f, 1};
            out[2] = {r, r, 2};
            out[3] = {CapCoord(x4 - x5, x3 - x5, r), r, secondCap ? 3 : 0};
            out[4] = {0.0f, CapCoord(y5 - y1, y4 - y1, r), 4};
            break;
    }
}

// Texture coordinates and shades of one hexagon cap (six reference corners).
void HexagonCap(const float* x, const float* y, float r, CapVertex* out) {
    const float x1 = x[0], x2 = x[1], x3 = x[2], x4 = x[3], x5 = x[4], x6 = x[5];
    const float y1 = y[0], y3 = y[2], y5 = y[4], y6 = y[5];
    out[0] = {CapCoord(x1 - x6, x3 - x6, r), 0.0f, 0};
    out[1] = {CapCoord(x2 - x6, x3 - x6, r), 0.0f, 1};
    out[2] = {r, CapCoord(y3 - y1, y5 - y1, r), 4};
    out[3] = {CapCoord(x4 - x6, x3 - x6, r), r, 2};
    out[4] = {CapCoord(x5 - x6, x3 - x6, r), r, 3};
    out[5] = {0.0f, CapCoord(y6 - y1, y5 - y1, r), 4};
}

// The reference outline's first n corners, x and y only, as single precision.
void ReferenceCorners(const double* rx, const double* ry, int n, float* x, float* y) {
    for (int i = 0; i < n; ++i) {
        x[i] = static_cast<float>(rx[i]);
        y[i] = static_cast<float>(ry[i]);
    }
}

}  // namespace

VertexStyle CViewerDlg::CurrentVertexStyle() const {
    VertexStyle style;
    style.shading = m_nShading;
    for (int k = 0; k < 6; ++k) style.shades[k] = &Shade(k);
    style.line = m_rgbaLine;
    style.texRepeat = m_fTexRepeat;
    return style;
}

VertexStyle CViewerDlg::RecordVertexStyle(const long* colour, std::array<RGBA, 6>& own) const {
    VertexStyle style = CurrentVertexStyle();
    if (m_nShading != kModeSolid || m_nColourScheme != kSchemeDesign) return style;
    own = DesignShades(colour ? *colour : kUnreadableColour);
    for (int k = 0; k < 6; ++k) style.shades[k] = &own[k];
    return style;
}

void CViewerDlg::DrawTriangularPrism(const long* colour, const long*, const double* x,
                                     const double* y, const double* z) {
    WidenBounds(m_bounds, x, y, z, 6);
    if (m_bMeasuring) return;

    std::array<RGBA, 6> design;
    FaceWriter w(RecordVertexStyle(colour, design), m_bounds, Sink(), x, y, z, 6);
    w.Sink().Begin(GL_TRIANGLES);
    for (const TableTriangle& f : kPrismEnds) {
        w.Sink().Normal3d(f.nx, f.ny, f.nz);
        w.TableVertices(f.v, 3);
    }
    w.Sink().End();
    w.Quads(kPrismSides);
}

void CViewerDlg::DrawBox(const long* colour, const long*, const double* x, const double* y,
                         const double* z) {
    WidenBounds(m_bounds, x, y, z, 8);
    if (m_bMeasuring) return;

    std::array<RGBA, 6> design;
    FaceWriter w(RecordVertexStyle(colour, design), m_bounds, Sink(), x, y, z, 8);
    w.Quads(kBoxFaces);
}

void CViewerDlg::DrawPentagonalPrism(const long* colour, const long*, const double* px,
                                     const double* py, const double* pz, const double* rx,
                                     const double* ry, const double*) {
    WidenBounds(m_bounds, px, py, pz, 10);
    if (m_bMeasuring) return;

    std::array<RGBA, 6> design;
    FaceWriter w(RecordVertexStyle(colour, design), m_bounds, Sink(), px, py, pz, 10);
    float x[10], y[10];
    ReferenceCorners(rx, ry, 10, x, y);
    const int mapping = PentagonMapping(y[2], y[3], y[4]);

    CapVertex cap[5];
    PentagonCap(mapping, false, x, y, w.R(), cap);
    w.Cap(1, cap, 5);
    PentagonCap(mapping, true, x + 5, y + 5, w.R(), cap);
    w.Cap(6, cap, 5);
    w.Quads(kPentagonSides);
}

void CViewerDlg::DrawHexagonalPrism(const long* colour, const long*, const double* px,
                                    const double* py, const double* pz, const double* rx,
                                    const double* ry, const double*) {
    WidenBounds(m_bounds, px, py, pz, 12);
    if (m_bMeasuring) return;

    std::array<RGBA, 6> design;
    FaceWriter w(RecordVertexStyle(colour, design), m_bounds, Sink(), px, py, pz, 12);
    float x[12], y[12];
    ReferenceCorners(rx, ry, 12, x, y);

    CapVertex cap[6];
    HexagonCap(x, y, w.R(), cap);
    w.Cap(1, cap, 6);
    HexagonCap(x + 6, y + 6, w.R(), cap);
    w.Cap(7, cap, 6);
    w.Quads(kHexagonSides);
}

}  // namespace orx
