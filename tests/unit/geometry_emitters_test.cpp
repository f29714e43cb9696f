// The four record emitters, recorded through the sink: bounds, measuring pass,
// model-space mapping, faces that bound each solid, per-mode vertex data and cap
// texture mapping.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>

#include "RecordingSink.h"
#include "ViewerProbe.h"

namespace orx::test {
namespace {

struct Pt {
    double x, y, z;
};

// One outline as the record parser hands it over: parallel arrays of 33 points.
struct Outline {
    double x[33] = {}, y[33] = {}, z[33] = {};
    Outline(std::initializer_list<Pt> points) {
        int i = 0;
        for (const Pt& p : points) {
            x[i] = p.x;
            y[i] = p.y;
            z[i] = p.z;
            ++i;
        }
    }
};

void SetFrame(ModelBounds& b, double extent, double cx, double cy, double cz) {
    b.extent = extent;
    b.centreX = cx;
    b.centreY = cy;
    b.centreZ = cz;
}

// Runs one drawing pass in the given display mode and decodes it into faces.
std::vector<RecordedFace> DrawIn(RecordingRig& v, int mode, const std::function<void()>& emit) {
    Probe(*v.dlg).m_nShading = mode;
    Probe(*v.dlg).m_bMeasuring = false;
    v.sink.calls.clear();
    emit();
    std::vector<RecordedFace> faces;
    EXPECT_TRUE(DecodeFaces(v.sink.calls, faces));
    return faces;
}

// Where point k (1-based) of the outline lands in model space, as the emitters
// hold it: single precision.
std::array<double, 3> Mapped(const Outline& o, int k, const ModelBounds& b) {
    return {static_cast<float>((o.x[k - 1] - b.centreX) / b.extent),
            static_cast<float>((o.y[k - 1] - b.centreY) / b.extent),
            static_cast<float>((o.z[k - 1] - b.centreZ) / b.extent)};
}

// The 1-based point of the outline that a recorded vertex is, 0 if none.
int PointOf(const RecordedVertex& v, const Outline& o, int n, const ModelBounds& b) {
    for (int k = 1; k <= n; ++k) {
        const auto p = Mapped(o, k, b);
        if (p[0] == v.x && p[1] == v.y && p[2] == v.z) return k;
    }
    return 0;
}

using Vec = std::array<double, 3>;

Vec At(const RecordedVertex& v) { return {v.x, v.y, v.z}; }
Vec Minus(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
double Dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Vec Cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec Mean(const std::vector<Vec>& points) {
    Vec m{0, 0, 0};
    for (const Vec& p : points)
        for (int i = 0; i < 3; ++i) m[i] += p[i] / static_cast<double>(points.size());
    return m;
}

// Checks that the faces drawn are the faces of a convex prism of `corners` corners: every
// face's corners lie in one plane with the whole solid on one side of it, every corner
// joins three faces, and each face's normal points away from the solid's centre (except
// the faces listed in `normalNotChecked`).
void ExpectFacesBoundTheSolid(const std::vector<RecordedFace>& faces, size_t corners,
                              const std::set<size_t>& normalNotChecked = {}) {
    std::map<Vec, int> uses;
    for (const RecordedFace& f : faces)
        for (const RecordedVertex& v : f.v) ++uses[At(v)];
    std::vector<Vec> solid;
    for (const auto& [corner, count] : uses) {
        solid.push_back(corner);
        EXPECT_EQ(count, 3) << "a corner that joins " << count << " faces";
    }
    ASSERT_EQ(solid.size(), corners);
    const Vec centre = Mean(solid);
    for (size_t i = 0; i < faces.size(); ++i) {
        SCOPED_TRACE("face " + std::to_string(i + 1));
        const RecordedFace& f = faces[i];
        ASSERT_GE(f.v.size(), 3u);
        std::vector<Vec> points;
        for (const RecordedVertex& v : f.v) points.push_back(At(v));
        const Vec plane = Cross(Minus(points[1], points[0]), Minus(points[2], points[1]));
        const double length = std::sqrt(Dot(plane, plane));
        ASSERT_GT(length, 1e-9);
        int above = 0, below = 0;
        for (const Vec& p : points)
            EXPECT_NEAR(Dot(plane, Minus(p, points[0])) / length, 0.0, 1e-6);
        for (const Vec& c : solid) {
            const double d = Dot(plane, Minus(c, points[0])) / length;
            above += d > 1e-6;
            below += d < -1e-6;
        }
        EXPECT_TRUE(above == 0 || below == 0) << "the face cuts through the solid";
        if (normalNotChecked.count(i)) continue;
        EXPECT_GT(Dot(Vec{f.n[0], f.n[1], f.n[2]}, Minus(Mean(points), centre)), 0.0)
            << "the normal points into the solid";
    }
}

// A quad shows the whole texture once: its corners take the four corners of the square
// (0, 0) .. (r, r), each once and in turn round the square, and each corner the shade
// that goes with it: (0, 0) shade 0, (r, 0) 1, (r, r) 2, (0, r) 3.
void ExpectWholeTexture(const RecordingRig& v, const RecordedFace& textured,
                        const RecordedFace& shaded) {
    const float r = Probe(*v.dlg).m_fTexRepeat;
    ASSERT_EQ(textured.v.size(), 4u);
    ASSERT_EQ(shaded.v.size(), 4u);
    int seen = 0;
    for (size_t i = 0; i < 4; ++i) {
        const RecordedVertex& a = textured.v[i];
        const RecordedVertex& b = textured.v[(i + 1) % 4];
        ASSERT_TRUE(a.hasTex);
        ASSERT_TRUE((a.s == 0 || a.s == r) && (a.t == 0 || a.t == r)) << a.s << ", " << a.t;
        EXPECT_EQ((a.s != b.s) + (a.t != b.t), 1) << "the texture is twisted";
        const int corner = a.t == 0 ? (a.s == 0 ? 0 : 1) : (a.s == 0 ? 3 : 2);
        seen |= 1 << corner;
        EXPECT_EQ(v.ShadeOf(shaded.v[i].colour), corner);
    }
    EXPECT_EQ(seen, 0xF);
}

// The two ends at z 0 and 1 of a right-angled triangle: the example model.
const Outline kPrism{{0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 0, 1}, {0, 1, 1}};

// Unit cube: P1..P4 the face at z = 1, counter-clockwise from +z, P5..P8 below them.
const Outline kCube{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1},
                    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

TEST(GeometryEmitters, MeasuringPassOnlyWidensTheBounds) {
    RecordingRig v;
    ClearMeasuredBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).m_bMeasuring = true;
    Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, kPrism.x, kPrism.y, kPrism.z);
    EXPECT_TRUE(v.sink.calls.empty());
    const ModelBounds& b = Probe(*v.dlg).m_bounds;
    EXPECT_EQ(b.maxX, 2.0);
    EXPECT_EQ(b.maxY, 1.0);
    EXPECT_EQ(b.maxZ, 1.0);
    EXPECT_EQ(b.minX, 0.0);
    EXPECT_EQ(b.minY, 0.0);
    EXPECT_EQ(b.minZ, 0.0);

    // All four types stay silent while measuring, in every display mode.
    Outline ten{{-5, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1},
                {1, 1, 1},  {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    for (int mode = 0; mode <= 5; ++mode) {
        Probe(*v.dlg).m_nShading = mode;
        Probe(*v.dlg).DrawBox(nullptr, nullptr, kCube.x, kCube.y, kCube.z);
        Probe(*v.dlg).DrawPentagonalPrism(nullptr, nullptr, ten.x, ten.y, ten.z, ten.x, ten.y,
                                          ten.z);
        Probe(*v.dlg).DrawHexagonalPrism(nullptr, nullptr, ten.x, ten.y, ten.z, ten.x, ten.y,
                                         ten.z);
    }
    EXPECT_TRUE(v.sink.calls.empty());
    EXPECT_EQ(b.minX, -5.0);
}

TEST(GeometryEmitters, OnlyTheTypesPointsAndThePlacedOutlineWidenTheBounds) {
    RecordingRig v;
    ClearMeasuredBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).m_bMeasuring = true;
    Outline box = kCube;
    box.x[8] = 50;  // a ninth point beyond what a block uses
    box.y[8] = -50;
    Probe(*v.dlg).DrawBox(nullptr, nullptr, box.x, box.y, box.z);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.maxX, 1.0);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.minY, 0.0);

    // The reference outline of a pentagon never counts.
    Outline placed{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0.5, 2, 0}, {0, 1, 0},
                   {0, 0, 3}, {1, 0, 3}, {1, 1, 3}, {0.5, 2, 3}, {0, 1, 3}};
    Outline reference{{-9, -9, -9}, {99, 0, 0}, {99, 99, 0}, {0, 99, 0}, {0, 9, 0},
                      {-9, -9, -9}, {99, 0, 0}, {99, 99, 0}, {0, 99, 0}, {0, 9, 0}};
    Probe(*v.dlg).DrawPentagonalPrism(nullptr, nullptr, placed.x, placed.y, placed.z, reference.x,
                                      reference.y, reference.z);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.maxY, 2.0);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.maxZ, 3.0);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.minX, 0.0);
}

TEST(GeometryEmitters, TriangularPrismDrawsItsFiveFaces) {
    RecordingRig v;
    ClearMeasuredBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).m_bMeasuring = true;
    Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, kPrism.x, kPrism.y, kPrism.z);
    SetFrame(Probe(*v.dlg).m_bounds, 2.0, 1.0, 0.5, 0.5);
    Probe(*v.dlg).m_fTexRepeat = 2.5f;  // any repeat, so that every coordinate must scale with it

    // The example: P1 lands at (-0.5, -0.25, -0.25).
    const auto faces = DrawIn(v, 1, [&] {
        Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, kPrism.x, kPrism.y, kPrism.z);
    });
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(faces[0].v[0].x, -0.5);
    EXPECT_EQ(faces[0].v[0].y, -0.25);
    EXPECT_EQ(faces[0].v[0].z, -0.25);
    // The drawing pass meets the same points again and leaves the bounds as they were.
    EXPECT_EQ(Probe(*v.dlg).m_bounds.maxX, 2.0);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.minZ, 0.0);

    // Two primitives: both end triangles, then the three side faces.
    ASSERT_EQ(v.sink.Count(GlCall::Begin), 2);
    EXPECT_EQ(v.sink.calls.front().mode, static_cast<GLenum>(GL_TRIANGLES));

    // The normals are fixed; on a prism lying the way they assume (apex P3 below the edge
    // P1-P2, P1 on the +x side, the end P1 P2 P3 nearer -z) every face looks outwards.
    const Outline lying{{2, 2, 0}, {0, 2, 0}, {1, 0, 0}, {2, 2, 1}, {0, 2, 1}, {1, 0, 1}};
    SetFrame(Probe(*v.dlg).m_bounds, 2.0, 1.0, 1.0, 0.5);
    const auto emit = [&] {
        Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, lying.x, lying.y, lying.z);
    };
    const auto textured = DrawIn(v, 4, emit);
    const auto shaded = DrawIn(v, 3, emit);
    ASSERT_EQ(textured.size(), 5u);
    ASSERT_EQ(shaded.size(), 5u);
    ExpectFacesBoundTheSolid(textured, 6);
    // Each end shows the texture's bottom edge and the middle of its top edge.
    const double r = 2.5;
    const double ends[3][3] = {{0, 0, 0}, {r, 0, 1}, {r / 2, r, 5}};
    for (size_t f = 0; f < 2; ++f) {
        EXPECT_EQ(textured[f].primitive, static_cast<GLenum>(GL_TRIANGLES));
        ASSERT_EQ(textured[f].v.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(textured[f].v[i].s, ends[i][0]);
            EXPECT_FLOAT_EQ(textured[f].v[i].t, ends[i][1]);
            EXPECT_EQ(v.ShadeOf(shaded[f].v[i].colour), ends[i][2]);
        }
    }
    for (size_t f = 2; f < 5; ++f) {
        SCOPED_TRACE("side " + std::to_string(f - 1));
        EXPECT_EQ(textured[f].primitive, static_cast<GLenum>(GL_QUADS));
        ExpectWholeTexture(v, textured[f], shaded[f]);
    }
}

TEST(GeometryEmitters, VerticesAreHeldInSinglePrecision) {
    RecordingRig v;
    SetFrame(Probe(*v.dlg).m_bounds, 3.0, 0.0, 0.0, 0.0);
    Outline p{{1, 2, 1}, {2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 0, 1}, {0, 1, 1}};
    const auto faces =
        DrawIn(v, 1, [&] { Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, p.x, p.y, p.z); });
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(faces[0].v[0].x, static_cast<double>(static_cast<float>(1.0 / 3.0)));
    EXPECT_NE(faces[0].v[0].x, 1.0 / 3.0);
    EXPECT_EQ(faces[0].v[0].y, static_cast<double>(static_cast<float>(2.0 / 3.0)));
}

TEST(GeometryEmitters, VertexDataFollowsTheDisplayMode) {
    RecordingRig v;
    SetFrame(Probe(*v.dlg).m_bounds, 2.0, 1.0, 0.5, 0.5);
    const auto emit = [&] {
        Probe(*v.dlg).DrawTriangularPrism(nullptr, nullptr, kPrism.x, kPrism.y, kPrism.z);
        Probe(*v.dlg).DrawBox(nullptr, nullptr, kCube.x, kCube.y, kCube.z);
    };
    for (int mode = 0; mode <= 6; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto faces = DrawIn(v, mode, emit);
        ASSERT_EQ(faces.size(), 11u);  // normals are sent in every mode
        int vertices = 0;
        for (const RecordedFace& f : faces) {
            for (const RecordedVertex& rv : f.v) {
                ++vertices;
                EXPECT_EQ(rv.hasTex, mode == 4);
                EXPECT_EQ(rv.hasColour, mode <= 3);
                if (mode < 3) {
                    EXPECT_EQ(rv.colour, Probe(*v.dlg).m_rgbaLine);
                }
                if (mode == 3) {
                    EXPECT_GE(v.ShadeOf(rv.colour), 0);
                }
            }
        }
        EXPECT_EQ(vertices, 18 + 24);
        EXPECT_EQ(v.sink.Count(GlCall::Color3f), 0);
    }
}

TEST(GeometryEmitters, UnitCubeFacesLookOutwards) {
    RecordingRig v;
    ClearMeasuredBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).m_bMeasuring = true;
    Probe(*v.dlg).DrawBox(nullptr, nullptr, kCube.x, kCube.y, kCube.z);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.maxX, 1.0);
    EXPECT_EQ(Probe(*v.dlg).m_bounds.minZ, 0.0);
    SetFrame(Probe(*v.dlg).m_bounds, 1.0, 0.5, 0.5, 0.5);
    const auto emit = [&] { Probe(*v.dlg).DrawBox(nullptr, nullptr, kCube.x, kCube.y, kCube.z); };

    const auto textured = DrawIn(v, 4, emit);
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 1);
    EXPECT_EQ(v.sink.calls.front().mode, static_cast<GLenum>(GL_QUADS));
    ASSERT_EQ(textured.size(), 6u);
    EXPECT_EQ(textured[0].v[0].x, -0.5);
    EXPECT_EQ(textured[0].v[0].y, -0.5);
    EXPECT_EQ(textured[0].v[0].z, 0.5);

    const auto shaded = DrawIn(v, 3, emit);
    ASSERT_EQ(shaded.size(), 6u);
    ExpectFacesBoundTheSolid(textured, 8);
    for (size_t f = 0; f < 6; ++f) {
        SCOPED_TRACE("face " + std::to_string(f + 1));
        const RecordedFace& face = textured[f];
        ExpectWholeTexture(v, face, shaded[f]);
        // Every corner of the face lies half a unit out along its normal.
        for (const RecordedVertex& p : face.v)
            EXPECT_DOUBLE_EQ(Dot(At(p), Vec{face.n[0], face.n[1], face.n[2]}), 0.5);
        // Counter-clockwise seen from outside: (v1 - v0) x (v2 - v1) points along the normal.
        const Vec turn =
            Cross(Minus(At(face.v[1]), At(face.v[0])), Minus(At(face.v[2]), At(face.v[1])));
        EXPECT_GT(Dot(turn, Vec{face.n[0], face.n[1], face.n[2]}), 0.0);
    }
}

TEST(GeometryEmitters, BoxKeepsItsNormalsAndTextureWhateverTheCornerOrder) {
    RecordingRig v;
    SetFrame(Probe(*v.dlg).m_bounds, 1.0, 0.0, 0.0, 0.0);
    // The cube's corners given bottom face first: each face takes the normal, texture
    // corners and shades of the face at the same place in the usual order.
    Outline turned{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                   {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const auto usual = [&] { Probe(*v.dlg).DrawBox(nullptr, nullptr, kCube.x, kCube.y, kCube.z); };
    const auto other = [&] {
        Probe(*v.dlg).DrawBox(nullptr, nullptr, turned.x, turned.y, turned.z);
    };
    for (int mode : {3, 4}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto a = DrawIn(v, mode, usual);
        const auto b = DrawIn(v, mode, other);
        ASSERT_EQ(a.size(), 6u);
        ASSERT_EQ(b.size(), 6u);
        for (size_t f = 0; f < 6; ++f) {
            SCOPED_TRACE("face " + std::to_string(f + 1));
            for (int i = 0; i < 3; ++i) EXPECT_EQ(a[f].n[i], b[f].n[i]);
            ASSERT_EQ(b[f].v.size(), 4u);
            for (size_t k = 0; k < 4; ++k) {
                // The same point of the record: P1 of one order is P1 of the other.
                EXPECT_EQ(PointOf(a[f].v[k], kCube, 8, Probe(*v.dlg).m_bounds),
                          PointOf(b[f].v[k], turned, 8, Probe(*v.dlg).m_bounds));
                EXPECT_EQ(a[f].v[k].s, b[f].v[k].s);
                EXPECT_EQ(a[f].v[k].t, b[f].v[k].t);
                EXPECT_EQ(a[f].v[k].colour, b[f].v[k].colour);
            }
        }
    }
}

// A prism with the reference outline `nearCap` (x, y) at z 0 and `farCap` at z 1; the
// placed outline is the reference outline, as in a single-part view.
using Cap = std::vector<std::pair<double, double>>;
Outline PrismFromCaps(const Cap& nearCap, const Cap& farCap) {
    Outline o{};
    int i = 0;
    for (const Cap* cap : {&nearCap, &farCap}) {
        for (const auto& [x, y] : *cap) {
            o.x[i] = x;
            o.y[i] = y;
            o.z[i] = cap == &nearCap ? 0 : 1;
            ++i;
        }
    }
    return o;
}

// A pentagonal prism whose two caps both have the reference outline `cap`.
Outline PentagonFromCap(const Cap& cap) { return PrismFromCaps(cap, cap); }

struct CapResult {
    std::vector<std::pair<double, double>> tex;  // in units of r
    std::vector<int> shades;
};

// Draws a prism whose placed outline is its reference outline and returns cap
// `capIndex` (0 or 1): texture coordinates divided by r, and shades.
CapResult DrawCap(RecordingRig& v, const Outline& o, bool hexagon, int capIndex) {
    SetFrame(Probe(*v.dlg).m_bounds, 10.0, 0.0, 0.0, 0.0);
    const auto emit = [&] {
        if (hexagon) {
            Probe(*v.dlg).DrawHexagonalPrism(nullptr, nullptr, o.x, o.y, o.z, o.x, o.y, o.z);
        } else {
            Probe(*v.dlg).DrawPentagonalPrism(nullptr, nullptr, o.x, o.y, o.z, o.x, o.y, o.z);
        }
    };
    const float r = Probe(*v.dlg).m_fTexRepeat;
    const auto textured = DrawIn(v, 4, emit);
    const auto shaded = DrawIn(v, 3, emit);
    CapResult result;
    const size_t sides = hexagon ? 6 : 5;
    EXPECT_EQ(textured.size(), 2 + sides);
    if (textured.size() != 2 + sides) return result;
    const RecordedFace& cap = textured[capIndex];
    EXPECT_EQ(cap.primitive, static_cast<GLenum>(GL_POLYGON));
    EXPECT_EQ(cap.n[0], 0.0);
    EXPECT_EQ(cap.n[1], 0.0);
    EXPECT_EQ(cap.n[2], 1.0);  // both caps, although they face opposite ways
    for (size_t i = 0; i < cap.v.size(); ++i) {
        EXPECT_TRUE(std::isfinite(cap.v[i].s) && std::isfinite(cap.v[i].t));
        result.tex.push_back({cap.v[i].s / r, cap.v[i].t / r});
        result.shades.push_back(v.ShadeOf(shaded[capIndex].v[i].colour));
    }
    return result;
}

void ExpectTex(const CapResult& got, std::vector<std::pair<double, double>> want) {
    ASSERT_EQ(got.tex.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_FLOAT_EQ(got.tex[i].first, want[i].first) << "vertex " << i + 1;
        EXPECT_FLOAT_EQ(got.tex[i].second, want[i].second) << "vertex " << i + 1;
    }
}

TEST(GeometryEmitters, PentagonCapMappings) {
    RecordingRig v;
    Probe(*v.dlg).m_fTexRepeat = 2.0f;
    // Corner at the top left cut: mapping 1.
    const Outline cut = PentagonFromCap({{0, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 1}});
    ExpectTex(DrawCap(v, cut, false, 0), {{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 0.5}});
    EXPECT_EQ(DrawCap(v, cut, false, 0).shades, (std::vector<int>{0, 1, 2, 0, 4}));
    // Cap 2 maps the same way, but its fourth corner takes shade 3.
    ExpectTex(DrawCap(v, cut, false, 1), {{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 0.5}});
    EXPECT_EQ(DrawCap(v, cut, false, 1).shades, (std::vector<int>{0, 1, 2, 3, 4}));

    // Corner at the bottom right cut: mapping 2.
    const Outline low = PentagonFromCap({{0, 0}, {1, 0}, {2, 1}, {2, 2}, {0, 2}});
    ExpectTex(DrawCap(v, low, false, 0), {{0, 0}, {0.5, 0}, {1, 0.5}, {1, 1}, {0, 1}});
    EXPECT_EQ(DrawCap(v, low, false, 0).shades, (std::vector<int>{0, 1, 4, 2, 3}));
    EXPECT_EQ(DrawCap(v, low, false, 1).shades, (std::vector<int>{0, 1, 4, 2, 3}));

    // A gable: mapping 3.
    const Outline gable = PentagonFromCap({{0, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 1}});
    ExpectTex(DrawCap(v, gable, false, 0), {{0, 0}, {1, 0}, {1, 0.5}, {0.5, 1}, {0, 0.5}});
    ExpectTex(DrawCap(v, gable, false, 1), {{0, 0}, {1, 0}, {1, 0.5}, {0.5, 1}, {0, 0.5}});
    EXPECT_EQ(DrawCap(v, gable, false, 0).shades, (std::vector<int>{0, 1, 4, 5, 4}));
}

// A prism whose far cap has an outline of its own (a tapered part): each cap takes its
// texture coordinates from its own corners.
TEST(GeometryEmitters, EachCapIsMappedFromItsOwnCorners) {
    RecordingRig v;
    const Outline pentagon = PrismFromCaps({{0, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 1}},
                                           {{0, 0}, {4, 0}, {4, 2}, {1, 2}, {0, 1}});
    ExpectTex(DrawCap(v, pentagon, false, 0), {{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 0.5}});
    ExpectTex(DrawCap(v, pentagon, false, 1), {{0, 0}, {1, 0}, {1, 1}, {0.25, 1}, {0, 0.5}});
    const Outline hexagon = PrismFromCaps({{0, 0}, {1, 0}, {2, 1}, {1, 2}, {0, 2}, {-1, 1}},
                                          {{0, 0}, {3, 0}, {4, 1}, {3, 2}, {0, 2}, {-1, 1}});
    ExpectTex(DrawCap(v, hexagon, true, 0),
              {{1 / 3.0, 0}, {2 / 3.0, 0}, {1, 0.5}, {2 / 3.0, 1}, {1 / 3.0, 1}, {0, 0.5}});
    ExpectTex(DrawCap(v, hexagon, true, 1),
              {{0.2, 0}, {0.8, 0}, {1, 0.5}, {0.8, 1}, {0.2, 1}, {0, 0.5}});
}

TEST(GeometryEmitters, PentagonMappingToleranceAndTies) {
    RecordingRig v;
    // y4 only 0.005 above y3: still mapping 1 (P3 at the top right corner).
    const Outline near = PentagonFromCap({{0, 0}, {2, 0}, {2, 2}, {1, 2.005}, {0, 1}});
    const CapResult a = DrawCap(v, near, false, 0);
    EXPECT_EQ(a.shades, (std::vector<int>{0, 1, 2, 0, 4}));
    ExpectTex(a, {{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 1 / 2.005}});

    // y4 exactly 0.01 above y3 and above y5 (single precision): mapping 1.
    const Outline tie1 = PentagonFromCap({{0, -1}, {2, -1}, {2, 0}, {1, 0.01f}, {0, 0}});
    EXPECT_EQ(DrawCap(v, tie1, false, 0).shades, (std::vector<int>{0, 1, 2, 0, 4}));
    // y4 exactly 0.01 above y5 and well above y3: mapping 1 as well.
    const Outline tie2 = PentagonFromCap({{0, -2}, {2, -2}, {2, -1}, {1, 0.01f}, {0, 0}});
    EXPECT_EQ(DrawCap(v, tie2, false, 0).shades, (std::vector<int>{0, 1, 2, 0, 4}));
    // Just over the tolerance above y3 and level with y5: mapping 2.
    const Outline step = PentagonFromCap({{0, 0}, {1, 0}, {2, 1}, {2, 1.02}, {0, 1.02}});
    EXPECT_EQ(DrawCap(v, step, false, 0).shades, (std::vector<int>{0, 1, 4, 2, 3}));
}

TEST(GeometryEmitters, PentagonSidesAndPlacedOutline) {
    RecordingRig v;
    SetFrame(Probe(*v.dlg).m_bounds, 4.0, 0.0, 0.0, 0.0);
    // The placed outline differs from the reference outline: vertices come from it.
    Outline placed{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2, 0},
                   {0, 0, 1}, {2, 0, 1}, {2, 2, 1}, {1, 3, 1}, {0, 2, 1}};
    const Outline reference = PentagonFromCap({{0, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 1}});
    const auto emit = [&] {
        Probe(*v.dlg).DrawPentagonalPrism(nullptr, nullptr, placed.x, placed.y, placed.z,
                                          reference.x, reference.y, reference.z);
    };
    const auto faces = DrawIn(v, 4, emit);
    ASSERT_EQ(faces.size(), 7u);
    for (int cap = 0; cap < 2; ++cap) {
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(PointOf(faces[cap].v[i], placed, 10, Probe(*v.dlg).m_bounds),
                      cap * 5 + i + 1);
        }
    }
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 3);  // two caps, one primitive of sides
    // Both caps carry the normal (0, 0, 1), so the first one faces inwards.
    ExpectFacesBoundTheSolid(faces, 10, {0});
    const auto shaded = DrawIn(v, 3, emit);
    for (size_t f = 2; f < 7; ++f) {
        SCOPED_TRACE("side " + std::to_string(f - 1));
        EXPECT_EQ(faces[f].primitive, static_cast<GLenum>(GL_QUADS));
        ExpectWholeTexture(v, faces[f], shaded[f]);
    }
}

TEST(GeometryEmitters, HexagonCapAndSides) {
    RecordingRig v;
    Probe(*v.dlg).m_fTexRepeat = 2.0f;
    Outline hex{};
    const double cap[6][2] = {{1, 0}, {3, 0}, {4, 1}, {3, 2}, {1, 2}, {0, 1}};
    for (int i = 0; i < 12; ++i) {
        hex.x[i] = cap[i % 6][0];
        hex.y[i] = cap[i % 6][1];
        hex.z[i] = i / 6;
    }
    for (int c = 0; c < 2; ++c) {
        const CapResult got = DrawCap(v, hex, true, c);
        ExpectTex(got, {{0.25, 0}, {0.75, 0}, {1, 0.5}, {0.75, 1}, {0.25, 1}, {0, 0.5}});
        EXPECT_EQ(got.shades, (std::vector<int>{0, 1, 4, 2, 3, 4}));
    }

    const auto emit = [&] {
        Probe(*v.dlg).DrawHexagonalPrism(nullptr, nullptr, hex.x, hex.y, hex.z, hex.x, hex.y,
                                         hex.z);
    };
    const auto textured = DrawIn(v, 4, emit);
    const auto shaded = DrawIn(v, 3, emit);
    ASSERT_EQ(textured.size(), 8u);
    ExpectFacesBoundTheSolid(textured, 12, {0});  // both caps carry (0, 0, 1)
    for (size_t f = 2; f < 8; ++f) {
        SCOPED_TRACE("side " + std::to_string(f - 1));
        EXPECT_EQ(textured[f].primitive, static_cast<GLenum>(GL_QUADS));
        ExpectWholeTexture(v, textured[f], shaded[f]);
    }
}

TEST(GeometryEmitters, ZeroDivisorInACapRatioGivesZero) {
    RecordingRig v;
    // Mapping 1 with x2 = x5 and y4 = y1: P1's and P5's ratios have no divisor.
    const Outline flat = PentagonFromCap({{1, 0}, {0, 0}, {2, 2}, {1, 0}, {0, 1}});
    const CapResult p = DrawCap(v, flat, false, 0);
    ASSERT_EQ(p.tex.size(), 5u);
    EXPECT_EQ(p.tex[0].first, 0.0);
    EXPECT_EQ(p.tex[4].second, 0.0);

    // Hexagon with x3 = x6 and y5 = y1: every ratio coordinate is 0, the rest stays.
    Outline hex{};
    const double cap[6][2] = {{1, 0}, {3, 0}, {0, 1}, {3, 0}, {1, 0}, {0, 1}};
    for (int i = 0; i < 12; ++i) {
        hex.x[i] = cap[i % 6][0];
        hex.y[i] = cap[i % 6][1];
        hex.z[i] = i / 6;
    }
    ExpectTex(DrawCap(v, hex, true, 0), {{0, 0}, {0, 0}, {1, 0}, {0, 1}, {0, 1}, {0, 0}});

    // A corner beyond its reference corners is not clamped: below 0 is kept.
    const Outline beyond = PentagonFromCap({{-1, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 1}});
    EXPECT_FLOAT_EQ(DrawCap(v, beyond, false, 0).tex[0].first, -0.5);
}

}  // namespace
}  // namespace orx::test
