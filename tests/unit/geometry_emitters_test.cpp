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

// A prism with the reference outline `nearCap` (x, y) at z 0 and `farCap` at z 1.
using Cap = std::vector<std::pair<double, double>>;
Outline PrismFromCaps(const Cap& nearCap, const Cap& farCap) {
    Outline o{};
    int i = 0;
    for (int z = 0; z < 2; ++z) {
        for (const auto& [x, y] : z == 0 ? nearCap : farCap) {
            o.x[i] = x;
            o.y[i] = y;
            o.z[i] = z;
            ++i;
        }
    }
    return o;
}

using Vec = std::array<double, 3>;

Vec At(const RecordedVertex& v) { return {v.x, v.y, v.z}; }
Vec Normal(const RecordedFace& f) { return {f.n[0], f.n[1], f.n[2]}; }
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

// The viewer constructed with its geometry recorded; the emitters are driven directly.
class GeometryEmitters : public ::testing::Test {
protected:
    RecordingRig v;
    ViewerProbe p = Probe(*v.dlg);

    // A measuring pass from cleared bounds.
    void Measure(const std::function<void()>& emit) {
        ClearMeasuredBounds(p.m_bounds);
        p.m_bMeasuring = true;
        emit();
    }
    void SetFrame(double extent, double cx, double cy, double cz) {
        p.m_bounds.extent = extent;
        p.m_bounds.centreX = cx;
        p.m_bounds.centreY = cy;
        p.m_bounds.centreZ = cz;
    }
    // Runs one drawing pass in the given display mode and decodes it into faces.
    std::vector<RecordedFace> DrawIn(int mode, const std::function<void()>& emit) {
        p.m_nShading = mode;
        p.m_bMeasuring = false;
        v.sink.calls.clear();
        emit();
        std::vector<RecordedFace> faces;
        EXPECT_TRUE(DecodeFaces(v.sink.calls, faces));
        return faces;
    }
    void Box(const Outline& o) { p.DrawBox(nullptr, nullptr, o.x, o.y, o.z); }
    void Triangle(const Outline& o) { p.DrawTriangularPrism(nullptr, nullptr, o.x, o.y, o.z); }
    // A pentagonal or hexagonal prism placed at `o` with the reference outline `ref`.
    void Prism(bool hexagon, const Outline& o, const Outline& ref) {
        if (hexagon) {
            p.DrawHexagonalPrism(nullptr, nullptr, o.x, o.y, o.z, ref.x, ref.y, ref.z);
        } else {
            p.DrawPentagonalPrism(nullptr, nullptr, o.x, o.y, o.z, ref.x, ref.y, ref.z);
        }
    }

    // The 1-based point of the outline that a recorded vertex is (where the emitters put
    // it in model space, in single precision), 0 if none.
    int PointOf(const RecordedVertex& rv, const Outline& o, int n) const {
        const ModelBounds& b = p.m_bounds;
        for (int k = 0; k < n; ++k) {
            if (static_cast<float>((o.x[k] - b.centreX) / b.extent) == rv.x &&
                static_cast<float>((o.y[k] - b.centreY) / b.extent) == rv.y &&
                static_cast<float>((o.z[k] - b.centreZ) / b.extent) == rv.z)
                return k + 1;
        }
        return 0;
    }

    // Draws a prism whose placed outline is its reference outline and returns cap
    // `capIndex` (0 or 1): its texture coordinates divided by the repeat, and its shades.
    // Both caps are polygons with the normal (0, 0, 1), although they face opposite ways.
    std::pair<Cap, std::vector<int>> DrawCap(const Outline& o, bool hexagon, int capIndex) {
        SetFrame(10.0, 0.0, 0.0, 0.0);
        const auto emit = [&] { Prism(hexagon, o, o); };
        const auto textured = DrawIn(4, emit);
        const auto shaded = DrawIn(3, emit);
        std::pair<Cap, std::vector<int>> result;
        EXPECT_EQ(textured.size(), hexagon ? 8u : 7u);
        if (textured.size() != (hexagon ? 8u : 7u)) return result;
        const RecordedFace& cap = textured[capIndex];
        EXPECT_EQ(cap.primitive, static_cast<GLenum>(GL_POLYGON));
        EXPECT_EQ(Normal(cap), (Vec{0, 0, 1}));
        for (size_t i = 0; i < cap.v.size(); ++i) {
            EXPECT_TRUE(std::isfinite(cap.v[i].s) && std::isfinite(cap.v[i].t));
            result.first.push_back({cap.v[i].s / p.m_fTexRepeat, cap.v[i].t / p.m_fTexRepeat});
            result.second.push_back(v.ShadeOf(shaded[capIndex].v[i].colour));
        }
        return result;
    }

    // A quad shows the whole texture once: its corners take the four corners of the
    // square (0, 0) .. (r, r), each once and in turn round the square, and each corner
    // the shade that goes with it: (0, 0) shade 0, (r, 0) 1, (r, r) 2, (0, r) 3.
    void ExpectWholeTexture(const RecordedFace& textured, const RecordedFace& shaded) const {
        const float r = p.m_fTexRepeat;
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
    // Every face from `firstSide` on is a quad that shows the whole texture.
    void ExpectSidesShowTheWholeTexture(const std::function<void()>& emit, size_t firstSide) {
        const auto textured = DrawIn(4, emit);
        const auto shaded = DrawIn(3, emit);
        ASSERT_EQ(textured.size(), shaded.size());
        for (size_t f = firstSide; f < textured.size(); ++f) {
            SCOPED_TRACE("side " + std::to_string(f - firstSide + 1));
            EXPECT_EQ(textured[f].primitive, static_cast<GLenum>(GL_QUADS));
            ExpectWholeTexture(textured[f], shaded[f]);
        }
    }
};

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
        for (const Vec& q : points)
            EXPECT_NEAR(Dot(plane, Minus(q, points[0])) / length, 0.0, 1e-6);
        for (const Vec& c : solid) {
            const double d = Dot(plane, Minus(c, points[0])) / length;
            above += d > 1e-6;
            below += d < -1e-6;
        }
        EXPECT_TRUE(above == 0 || below == 0) << "the face cuts through the solid";
        if (normalNotChecked.count(i)) continue;
        EXPECT_GT(Dot(Normal(f), Minus(Mean(points), centre)), 0.0)
            << "the normal points into the solid";
    }
}

// The two ends at z 0 and 1 of a right-angled triangle: the example model.
const Outline kPrism{{0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 0, 1}, {0, 1, 1}};

// Unit cube: P1..P4 the face at z = 1, counter-clockwise from +z, P5..P8 below them.
const Outline kCube{{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1},
                    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

TEST_F(GeometryEmitters, MeasuringPassOnlyWidensTheBoundsByTheDrawnPoints) {
    Measure([&] { Triangle(kPrism); });
    EXPECT_TRUE(v.sink.calls.empty());
    const ModelBounds& b = p.m_bounds;
    EXPECT_EQ(std::vector<double>({b.minX, b.minY, b.minZ, b.maxX, b.maxY, b.maxZ}),
              std::vector<double>({0, 0, 0, 2, 1, 1}));

    // All four types stay silent while measuring, in every display mode.
    Outline ten{{-5, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1},
                {1, 1, 1},  {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
    for (int mode = 0; mode <= 5; ++mode) {
        p.m_nShading = mode;
        Box(kCube);
        Prism(false, ten, ten);
        Prism(true, ten, ten);
    }
    EXPECT_TRUE(v.sink.calls.empty());
    EXPECT_EQ(b.minX, -5.0);

    // A ninth point beyond what a block uses does not count.
    Outline box = kCube;
    box.x[8] = 50;
    box.y[8] = -50;
    Measure([&] { Box(box); });
    EXPECT_EQ(b.maxX, 1.0);
    EXPECT_EQ(b.minY, 0.0);
    EXPECT_EQ(b.minZ, 0.0);

    // The reference outline of a pentagon never counts.
    Outline placed{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0.5, 2, 0}, {0, 1, 0},
                   {0, 0, 3}, {1, 0, 3}, {1, 1, 3}, {0.5, 2, 3}, {0, 1, 3}};
    Outline reference{{-9, -9, -9}, {99, 0, 0}, {99, 99, 0}, {0, 99, 0}, {0, 9, 0},
                      {-9, -9, -9}, {99, 0, 0}, {99, 99, 0}, {0, 99, 0}, {0, 9, 0}};
    Measure([&] { Prism(false, placed, reference); });
    EXPECT_EQ(b.maxY, 2.0);
    EXPECT_EQ(b.maxZ, 3.0);
    EXPECT_EQ(b.minX, 0.0);
}

TEST_F(GeometryEmitters, TriangularPrismDrawsItsFiveFaces) {
    Measure([&] { Triangle(kPrism); });
    SetFrame(2.0, 1.0, 0.5, 0.5);
    p.m_fTexRepeat = 2.5f;  // any repeat, so that every coordinate must scale with it

    // The example: P1 lands at (-0.5, -0.25, -0.25).
    const auto faces = DrawIn(1, [&] { Triangle(kPrism); });
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(At(faces[0].v[0]), (Vec{-0.5, -0.25, -0.25}));
    // The drawing pass meets the same points again and leaves the bounds as they were.
    EXPECT_EQ(p.m_bounds.maxX, 2.0);
    EXPECT_EQ(p.m_bounds.minZ, 0.0);
    // Two primitives: both end triangles, then the three side faces.
    ASSERT_EQ(v.sink.Count(GlCall::Begin), 2);
    EXPECT_EQ(v.sink.calls.front().mode, static_cast<GLenum>(GL_TRIANGLES));

    // The normals are fixed; on a prism lying the way they assume (apex P3 below the edge
    // P1-P2, P1 on the +x side, the end P1 P2 P3 nearer -z) every face looks outwards.
    const Outline lying{{2, 2, 0}, {0, 2, 0}, {1, 0, 0}, {2, 2, 1}, {0, 2, 1}, {1, 0, 1}};
    SetFrame(2.0, 1.0, 1.0, 0.5);
    const auto emit = [&] { Triangle(lying); };
    const auto textured = DrawIn(4, emit);
    const auto shaded = DrawIn(3, emit);
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
    ExpectSidesShowTheWholeTexture(emit, 2);
}

TEST_F(GeometryEmitters, VerticesAreHeldInSinglePrecision) {
    SetFrame(3.0, 0.0, 0.0, 0.0);
    Outline o{{1, 2, 1}, {2, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, 0, 1}, {0, 1, 1}};
    const auto faces = DrawIn(1, [&] { Triangle(o); });
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(faces[0].v[0].x, static_cast<double>(static_cast<float>(1.0 / 3.0)));
    EXPECT_NE(faces[0].v[0].x, 1.0 / 3.0);
    EXPECT_EQ(faces[0].v[0].y, static_cast<double>(static_cast<float>(2.0 / 3.0)));
}

TEST_F(GeometryEmitters, VertexDataFollowsTheDisplayMode) {
    SetFrame(2.0, 1.0, 0.5, 0.5);
    for (int mode = 0; mode <= 6; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto faces = DrawIn(mode, [&] {
            Triangle(kPrism);
            Box(kCube);
        });
        ASSERT_EQ(faces.size(), 11u);  // normals are sent in every mode
        int vertices = 0;
        for (const RecordedFace& f : faces) {
            for (const RecordedVertex& rv : f.v) {
                ++vertices;
                EXPECT_EQ(rv.hasTex, mode == 4);
                EXPECT_EQ(rv.hasColour, mode <= 3);
                if (mode < 3) {
                    EXPECT_EQ(rv.colour, p.m_rgbaLine);
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

// The design colours: each corner takes the record's colour (red in the lowest byte)
// scaled as the grey set shades it; a value outside 0..0xFFFFFF or a field that is no
// number draws the grey shades. The calls are those of the grey set but for the colours.
TEST_F(GeometryEmitters, DesignColoursShadeEachPartInTheColourOfItsRecord) {
    const RGBA greySet[6] = {{192, 192, 192, 0}, {128, 128, 128, 0}, {160, 160, 160, 0},
                             {128, 128, 128, 0}, {180, 180, 180, 0}, {140, 140, 140, 0}};
    const RGBA ochreSet[6] = {{192, 96, 0, 0}, {128, 64, 0, 0}, {160, 80, 0, 0},
                              {128, 64, 0, 0}, {180, 90, 0, 0}, {140, 70, 0, 0}};
    const RGBA kGrey = greySet[0];
    // The colour field, the colour of shade 0 and, where given, all six shades.
    const struct {
        const char* field;
        RGBA shade0;
        const RGBA* shades;
    } rows[] = {
        {"255", {255, 0, 0, 0}, nullptr},
        {"65280", {0, 255, 0, 0}, nullptr},
        {"16711680", {0, 0, 255, 0}, nullptr},
        {"1193046", {0x56, 0x34, 0x12, 0}, nullptr},  // 0x123456
        {"16777215", {255, 255, 255, 0}, nullptr},
        {"0", {0, 0, 0, 0}, nullptr},
        {"+24768", ochreSet[0], ochreSet},  // 0x0060C0
        {"16777216", kGrey, greySet},
        {"-1", kGrey, greySet},
        {"-16711680", kGrey, greySet},
        {"99999999999999999999", kGrey, greySet},
        {"weiss", kGrey, greySet},
        {"12abc", kGrey, greySet},
        {"255.0", kGrey, greySet},
        {"0xFF", kGrey, greySet},
    };
    const std::string cube = " 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0";
    SetFrame(1.0, 0.0, 0.0, 0.0);
    auto draw = [&](int scheme, const std::string& line) {
        p.m_nColourScheme = scheme;
        v.sink.calls.clear();
        EXPECT_TRUE(p.ParseModelLine(line));
        return v.sink.calls;
    };
    p.m_nShading = 3;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.field);
        const std::vector<GlCall> grey = draw(kSchemeGrey, "8 " + std::string(row.field) + cube);
        std::vector<GlCall> design = draw(kSchemeDesign, "8 " + std::string(row.field) + cube);
        ASSERT_EQ(design.size(), grey.size());
        // Corner by corner: the shade the grey set gives it, in the part's colour.
        for (size_t i = 0; i < grey.size(); ++i) {
            if (grey[i].kind != GlCall::Color4ubv) continue;
            const int shade = v.ShadeOf(grey[i].rgba);
            ASSERT_GE(shade, 0);
            if (shade == 0) {
                EXPECT_EQ(design[i].rgba, row.shade0);
            }
            if (row.shades != nullptr) {
                EXPECT_EQ(design[i].rgba, row.shades[shade]);
            }
            design[i].rgba = grey[i].rgba;
        }
        EXPECT_EQ(design, grey);
    }
    // Outside the solid mode the colour field changes nothing.
    for (int mode : {1, 4}) {
        p.m_nShading = mode;
        EXPECT_EQ(draw(kSchemeDesign, "8 255" + cube), draw(kSchemeGrey, "8 255" + cube));
    }
}

TEST_F(GeometryEmitters, UnitCubeFacesLookOutwards) {
    Measure([&] { Box(kCube); });
    EXPECT_EQ(p.m_bounds.maxX, 1.0);
    EXPECT_EQ(p.m_bounds.minZ, 0.0);
    SetFrame(1.0, 0.5, 0.5, 0.5);
    const auto emit = [&] { Box(kCube); };

    const auto textured = DrawIn(4, emit);
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 1);
    EXPECT_EQ(v.sink.calls.front().mode, static_cast<GLenum>(GL_QUADS));
    ASSERT_EQ(textured.size(), 6u);
    EXPECT_EQ(At(textured[0].v[0]), (Vec{-0.5, -0.5, 0.5}));
    ExpectFacesBoundTheSolid(textured, 8);
    ExpectSidesShowTheWholeTexture(emit, 0);
    for (size_t f = 0; f < 6; ++f) {
        SCOPED_TRACE("face " + std::to_string(f + 1));
        const RecordedFace& face = textured[f];
        // Every corner of the face lies half a unit out along its normal.
        for (const RecordedVertex& rv : face.v) EXPECT_DOUBLE_EQ(Dot(At(rv), Normal(face)), 0.5);
        // Counter-clockwise seen from outside: (v1 - v0) x (v2 - v1) points along the normal.
        const Vec turn =
            Cross(Minus(At(face.v[1]), At(face.v[0])), Minus(At(face.v[2]), At(face.v[1])));
        EXPECT_GT(Dot(turn, Normal(face)), 0.0);
    }
}

TEST_F(GeometryEmitters, BoxKeepsItsNormalsAndTextureWhateverTheCornerOrder) {
    SetFrame(1.0, 0.0, 0.0, 0.0);
    // The cube's corners given bottom face first: each face takes the normal, texture
    // corners and shades of the face at the same place in the usual order.
    Outline turned{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                   {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    for (int mode : {3, 4}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto a = DrawIn(mode, [&] { Box(kCube); });
        const auto b = DrawIn(mode, [&] { Box(turned); });
        ASSERT_EQ(a.size(), 6u);
        ASSERT_EQ(b.size(), 6u);
        for (size_t f = 0; f < 6; ++f) {
            SCOPED_TRACE("face " + std::to_string(f + 1));
            EXPECT_EQ(Normal(a[f]), Normal(b[f]));
            ASSERT_EQ(b[f].v.size(), 4u);
            for (size_t k = 0; k < 4; ++k) {
                // The same point of the record: P1 of one order is P1 of the other.
                EXPECT_EQ(PointOf(a[f].v[k], kCube, 8), PointOf(b[f].v[k], turned, 8));
                EXPECT_EQ(a[f].v[k].s, b[f].v[k].s);
                EXPECT_EQ(a[f].v[k].t, b[f].v[k].t);
                EXPECT_EQ(a[f].v[k].colour, b[f].v[k].colour);
            }
        }
    }
}

TEST_F(GeometryEmitters, PentagonAndHexagonCapsAreMappedFromTheirOwnCorners) {
    const Cap cut{{0, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 1}};
    const Cap low{{0, 0}, {1, 0}, {2, 1}, {2, 2}, {0, 2}};
    const Cap gable{{0, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 1}};
    const Cap hexagon{{1, 0}, {3, 0}, {4, 1}, {3, 2}, {1, 2}, {0, 1}};
    const Cap tapered{{0, 0}, {1, 0}, {2, 1}, {1, 2}, {0, 2}, {-1, 1}};
    const Cap taperedFar{{0, 0}, {3, 0}, {4, 1}, {3, 2}, {0, 2}, {-1, 1}};
    const Cap cutTex{{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 0.5}};
    const Cap gableTex{{0, 0}, {1, 0}, {1, 0.5}, {0.5, 1}, {0, 0.5}};
    const Cap hexTex{{0.25, 0}, {0.75, 0}, {1, 0.5}, {0.75, 1}, {0.25, 1}, {0, 0.5}};
    const std::vector<int> mapping1{0, 1, 2, 0, 4}, mapping2{0, 1, 4, 2, 3};
    // The far cap is the near one unless given; texture coordinates are in units of the
    // repeat; an empty list is not checked.
    const struct {
        const char* name;
        int cap;
        Cap nearCap, farCap, tex;
        std::vector<int> shades;
    } rows[] = {
        {"corner at the top left cut: mapping 1", 0, cut, {}, cutTex, mapping1},
        {"cap 2 maps alike, its fourth corner takes shade 3", 1, cut, {}, cutTex, {0, 1, 2, 3, 4}},
        {"corner at the bottom right cut: mapping 2",
         0,
         low,
         {},
         {{0, 0}, {0.5, 0}, {1, 0.5}, {1, 1}, {0, 1}},
         mapping2},
        {"mapping 2 on cap 2", 1, low, {}, {}, mapping2},
        {"a gable: mapping 3", 0, gable, {}, gableTex, {0, 1, 4, 5, 4}},
        {"a gable on cap 2", 1, gable, {}, gableTex, {}},
        {"y4 only 0.005 above y3: still mapping 1",
         0,
         {{0, 0}, {2, 0}, {2, 2}, {1, 2.005}, {0, 1}},
         {},
         {{0, 0}, {1, 0}, {1, 1}, {0.5, 1}, {0, 1 / 2.005}},
         mapping1},
        {"y4 exactly 0.01 above y3 and y5 (single precision): mapping 1",
         0,
         {{0, -1}, {2, -1}, {2, 0}, {1, 0.01f}, {0, 0}},
         {},
         {},
         mapping1},
        {"y4 exactly 0.01 above y5 and well above y3: mapping 1",
         0,
         {{0, -2}, {2, -2}, {2, -1}, {1, 0.01f}, {0, 0}},
         {},
         {},
         mapping1},
        {"just over the tolerance above y3 and level with y5: mapping 2",
         0,
         {{0, 0}, {1, 0}, {2, 1}, {2, 1.02}, {0, 1.02}},
         {},
         {},
         mapping2},
        {"a tapered pentagon's near cap",
         0,
         cut,
         {{0, 0}, {4, 0}, {4, 2}, {1, 2}, {0, 1}},
         cutTex,
         {}},
        {"a tapered pentagon's far cap",
         1,
         cut,
         {{0, 0}, {4, 0}, {4, 2}, {1, 2}, {0, 1}},
         {{0, 0}, {1, 0}, {1, 1}, {0.25, 1}, {0, 0.5}},
         {}},
        {"hexagon", 0, hexagon, {}, hexTex, {0, 1, 4, 2, 3, 4}},
        {"hexagon cap 2", 1, hexagon, {}, hexTex, {0, 1, 4, 2, 3, 4}},
        {"a tapered hexagon's near cap",
         0,
         tapered,
         taperedFar,
         {{1 / 3.0, 0}, {2 / 3.0, 0}, {1, 0.5}, {2 / 3.0, 1}, {1 / 3.0, 1}, {0, 0.5}},
         {}},
        {"a tapered hexagon's far cap",
         1,
         tapered,
         taperedFar,
         {{0.2, 0}, {0.8, 0}, {1, 0.5}, {0.8, 1}, {0.2, 1}, {0, 0.5}},
         {}},
        {"hexagon with x3 = x6 and y5 = y1: every ratio coordinate is 0",
         0,
         {{1, 0}, {3, 0}, {0, 1}, {3, 0}, {1, 0}, {0, 1}},
         {},
         {{0, 0}, {0, 0}, {1, 0}, {0, 1}, {0, 1}, {0, 0}},
         {}},
    };
    p.m_fTexRepeat = 2.0f;  // every coordinate must scale with it
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto [tex, shades] =
            DrawCap(PrismFromCaps(row.nearCap, row.farCap.empty() ? row.nearCap : row.farCap),
                    row.nearCap.size() == 6, row.cap);
        if (!row.tex.empty()) {
            ASSERT_EQ(tex.size(), row.tex.size());
            for (size_t i = 0; i < tex.size(); ++i) {
                EXPECT_FLOAT_EQ(tex[i].first, row.tex[i].first) << "vertex " << i + 1;
                EXPECT_FLOAT_EQ(tex[i].second, row.tex[i].second) << "vertex " << i + 1;
            }
        }
        if (!row.shades.empty()) {
            EXPECT_EQ(shades, row.shades);
        }
    }

    // Mapping 1 with x2 = x5 and y4 = y1: P1's and P5's ratios have no divisor and give 0.
    const Cap flat{{1, 0}, {0, 0}, {2, 2}, {1, 0}, {0, 1}};
    const Cap flatTex = DrawCap(PrismFromCaps(flat, flat), false, 0).first;
    ASSERT_EQ(flatTex.size(), 5u);
    EXPECT_EQ(flatTex[0].first, 0.0);
    EXPECT_EQ(flatTex[4].second, 0.0);
    // A corner beyond its reference corners is not clamped: below 0 is kept.
    const Cap beyond{{-1, 0}, {2, 0}, {2, 2}, {1, 2}, {0, 1}};
    EXPECT_FLOAT_EQ(DrawCap(PrismFromCaps(beyond, beyond), false, 0).first.at(0).first, -0.5);
}

TEST_F(GeometryEmitters, PrismSidesComeFromThePlacedOutline) {
    SetFrame(4.0, 0.0, 0.0, 0.0);
    // The placed outline differs from the reference outline: vertices come from it.
    Outline placed{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2, 0},
                   {0, 0, 1}, {2, 0, 1}, {2, 2, 1}, {1, 3, 1}, {0, 2, 1}};
    const Cap gable{{0, 0}, {2, 0}, {2, 1}, {1, 2}, {0, 1}};
    const Outline reference = PrismFromCaps(gable, gable);
    const auto pentagon = [&] { Prism(false, placed, reference); };
    const auto faces = DrawIn(4, pentagon);
    ASSERT_EQ(faces.size(), 7u);
    for (int cap = 0; cap < 2; ++cap) {
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(PointOf(faces[cap].v[i], placed, 10), cap * 5 + i + 1);
    }
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 3);  // two caps, one primitive of sides
    // Both caps carry the normal (0, 0, 1), so the first one faces inwards.
    ExpectFacesBoundTheSolid(faces, 10, {0});
    ExpectSidesShowTheWholeTexture(pentagon, 2);

    p.m_fTexRepeat = 2.0f;
    const Cap cap{{1, 0}, {3, 0}, {4, 1}, {3, 2}, {1, 2}, {0, 1}};
    const Outline hex = PrismFromCaps(cap, cap);
    const auto hexagon = [&] { Prism(true, hex, hex); };
    const auto hexFaces = DrawIn(4, hexagon);
    ASSERT_EQ(hexFaces.size(), 8u);
    ExpectFacesBoundTheSolid(hexFaces, 12, {0});
    ExpectSidesShowTheWholeTexture(hexagon, 2);
}

}  // namespace
}  // namespace orx::test
