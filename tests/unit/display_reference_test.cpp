// Reference geometry: axis cross with its letters, zero plane and room walls,
// recorded through the sink.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingSink.h"
#include "ViewerProbe.h"

namespace orx::test {
namespace {

// The bounds of a model running 0..2000, 0..800, 0..600.
void SetCabinetBounds(ModelBounds& b) {
    b = ModelBounds{2000, 800, 600, 0, 0, 0, 2000, 1000, 400, 300};
}

struct Line {
    float a[3], b[3];
};

TEST(DisplayReference, AxisCrossAndLetters) {
    RecordingRig v;
    Probe(*v.dlg).m_bShowAxes = true;
    Probe(*v.dlg).m_bShowRoomEdges = true;
    Probe(*v.dlg).m_bShowZeroPlane = true;
    Probe(*v.dlg).m_nPart = 1;  // a page of a parts list: the cross only
    SetCabinetBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).DrawReferenceGeometry();

    const std::vector<GlCall>& c = v.sink.calls;
    ASSERT_EQ(c.size(), 2u + 3u + 20u);
    EXPECT_EQ(c.front().kind, GlCall::Begin);
    EXPECT_EQ(c.front().mode, static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(c.back().kind, GlCall::End);
    EXPECT_EQ(v.sink.Count(GlCall::Normal3d), 0);
    EXPECT_EQ(v.sink.Count(GlCall::TexCoord2f), 0);

    // Red x axis and X, green z axis and Y, blue y axis and Z.
    const struct {
        float rgb[3];
        std::vector<Line> lines;
    } groups[] = {
        {{1, 0, 0},
         {{{0, 0, 0}, {0.2f, 0, 0}},
          {{0.19f, 0, -0.02f}, {0.21f, 0, -0.04f}},
          {{0.21f, 0, -0.02f}, {0.19f, 0, -0.04f}}}},
        {{0, 1, 0},
         {{{0, 0, 0}, {0, 0, 0.2f}},
          {{0.01f, 0, 0.21f}, {0.02f, 0, 0.2f}},
          {{0.03f, 0, 0.21f}, {0.01f, 0, 0.19f}}}},
        {{0, 0, 1},
         {{{0, 0, 0}, {0, 0.2f, 0}},
          {{0.01f, 0.2f, -0.02f}, {0.03f, 0.2f, -0.02f}},
          {{0.03f, 0.2f, -0.02f}, {0.01f, 0.2f, -0.04f}},
          {{0.01f, 0.2f, -0.04f}, {0.03f, 0.2f, -0.04f}}}},
    };
    size_t i = 1;
    for (const auto& g : groups) {
        ASSERT_EQ(c[i].kind, GlCall::Color3f);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(c[i].v[k], g.rgb[k]);
        ++i;
        for (const Line& l : g.lines) {
            for (const float* p : {l.a, l.b}) {
                ASSERT_EQ(c[i].kind, GlCall::Vertex3f) << "call " << i;
                for (int k = 0; k < 3; ++k) EXPECT_EQ(c[i].v[k], p[k]) << "call " << i;
                ++i;
            }
        }
    }
}

TEST(DisplayReference, WholeModelGetsColourEvenWithNothingShown) {
    RecordingRig v;
    Probe(*v.dlg).m_nPart = -2;
    SetCabinetBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).DrawReferenceGeometry();
    ASSERT_EQ(v.sink.calls.size(), 1u);
    EXPECT_EQ(v.sink.calls[0].kind, GlCall::Color3f);
    EXPECT_FLOAT_EQ(v.sink.calls[0].v[0], 0.3f);
    EXPECT_FLOAT_EQ(v.sink.calls[0].v[2], 0.5f);

    // A part page with nothing switched on sends nothing at all.
    v.sink.calls.clear();
    Probe(*v.dlg).m_nPart = 1;
    Probe(*v.dlg).DrawReferenceGeometry();
    EXPECT_TRUE(v.sink.calls.empty());
}

TEST(DisplayReference, ZeroPlaneAndWallsFrameTheModel) {
    RecordingRig v;
    Probe(*v.dlg).m_nShading = 1;
    Probe(*v.dlg).m_nPart = -2;
    Probe(*v.dlg).m_bShowZeroPlane = true;
    Probe(*v.dlg).m_bShowRoomEdges = true;
    SetCabinetBounds(Probe(*v.dlg).m_bounds);
    Probe(*v.dlg).DrawReferenceGeometry();

    std::vector<RecordedFace> faces;
    ASSERT_TRUE(DecodeFaces(v.sink.calls, faces));
    ASSERT_EQ(faces.size(), 2u);  // the zero plane, then both walls under one normal
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 2);

    // Half sizes pushed 0.0001 outwards; z from the model's z = 0 to z = minZ + maxZ.
    const float fx = static_cast<float>(2000 * 0.5 / 2000 + 0.0001);
    const float fy = static_cast<float>(800 * 0.5 / 2000 + 0.0001);
    const float f0 = static_cast<float>(-300.0 / 2000 - 0.0001);
    const float fd = static_cast<float>(2 * 300.0 / 2000 + 0.0001);
    const double hx = fx, hy = fy, z0 = f0, z1 = fd + f0;
    const double plane[4][3] = {{-hx, -hy, z0}, {hx, -hy, z0}, {hx, hy, z0}, {-hx, hy, z0}};
    const double walls[8][3] = {{-hx, hy, z0}, {-hx, hy, z1}, {-hx, -hy, z1}, {-hx, -hy, z0},
                                {hx, hy, z0},  {hx, hy, z1},  {-hx, hy, z1},  {-hx, hy, z0}};
    ASSERT_EQ(faces[0].v.size(), 4u);
    ASSERT_EQ(faces[1].v.size(), 8u);
    for (int f = 0; f < 2; ++f) {
        EXPECT_EQ(faces[f].primitive, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(faces[f].n[2], 1.0);
        for (size_t i = 0; i < faces[f].v.size(); ++i) {
            const double* want = f == 0 ? plane[i] : walls[i];
            const RecordedVertex& got = faces[f].v[i];
            EXPECT_EQ(got.x, want[0]) << f << "/" << i;
            EXPECT_EQ(got.y, want[1]) << f << "/" << i;
            EXPECT_EQ(got.z, want[2]) << f << "/" << i;
            EXPECT_TRUE(got.hasColour);
            EXPECT_EQ(got.colour, Probe(*v.dlg).m_rgbaLine);  // outlines in the line modes
        }
    }
    EXPECT_NEAR(z1 - z0, 0.3001, 1e-6);  // 600 of 2000, plus the push outwards
}

TEST(DisplayReference, QuadVertexDataByMode) {
    RecordingRig v;
    Probe(*v.dlg).m_nPart = -1;
    Probe(*v.dlg).m_bShowZeroPlane = true;
    Probe(*v.dlg).m_bShowRoomEdges = true;
    Probe(*v.dlg).m_fTexRepeat = 2.0f;
    SetCabinetBounds(Probe(*v.dlg).m_bounds);
    for (int mode : {3, 4, 5}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Probe(*v.dlg).m_nShading = mode;
        v.sink.calls.clear();
        Probe(*v.dlg).DrawReferenceGeometry();
        std::vector<RecordedFace> faces;
        ASSERT_TRUE(DecodeFaces(v.sink.calls, faces));
        ASSERT_EQ(faces.size(), 2u);
        const double s[4] = {0, 2, 2, 0}, t[4] = {0, 0, 2, 2};
        for (const RecordedFace& f : faces) {
            for (size_t i = 0; i < f.v.size(); ++i) {
                const RecordedVertex& p = f.v[i];
                EXPECT_EQ(p.hasTex, mode == 4);
                EXPECT_EQ(p.hasColour, mode == 3);
                if (mode == 4) {
                    EXPECT_EQ(p.s, s[i % 4]);
                    EXPECT_EQ(p.t, t[i % 4]);
                }
                if (mode == 3) {
                    EXPECT_EQ(v.ShadeOf(p.colour), static_cast<int>(i % 4));
                }
            }
        }
    }
}

TEST(DisplayReference, NoFrameAroundAModelThatCouldNotBeRead) {
    RecordingRig v;
    Probe(*v.dlg).m_nPart = -2;
    Probe(*v.dlg).m_bShowZeroPlane = true;
    Probe(*v.dlg).m_bShowRoomEdges = true;
    Probe(*v.dlg).m_bShowAxes = true;
    // A failed build leaves the reset bounds: with the extent of an earlier model,
    // and with the zero extent before any model was read.
    for (double extent : {2000.0, 0.0}) {
        ModelBounds& b = Probe(*v.dlg).m_bounds;
        ClearMeasuredBounds(b);
        b.extent = extent;
        v.sink.calls.clear();
        Probe(*v.dlg).DrawReferenceGeometry();
        EXPECT_EQ(v.sink.Count(GlCall::Vertex3d), 0) << "extent " << extent;
        EXPECT_EQ(v.sink.Count(GlCall::Vertex3f), 20);  // the axis cross stays
        for (const GlCall& c : v.sink.calls) {
            for (double x : c.v) EXPECT_TRUE(std::isfinite(x));
        }
    }

    // An empty model file measures nothing but keeps its own (negative) extent,
    // which still gives a small frame.
    Probe(*v.dlg).m_bounds.extent = kNoMaximum;
    v.sink.calls.clear();
    Probe(*v.dlg).DrawReferenceGeometry();
    EXPECT_EQ(v.sink.Count(GlCall::Vertex3d), 12);
}

}  // namespace
}  // namespace orx::test
