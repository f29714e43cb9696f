// Reference geometry: axis cross with its letters, zero plane and room walls,
// recorded through the sink.
#include <gtest/gtest.h>

#include <cmath>

#include "RecordingSink.h"
#include "ViewerProbe.h"

namespace orx::test {
namespace {

struct Line {
    float a[3], b[3];
};

// The viewer constructed with its geometry recorded, showing a model that runs 0..2000,
// 0..800, 0..600 as a whole model or as a page of a parts list.
class DisplayReference : public ::testing::Test {
protected:
    RecordingRig v;
    ViewerProbe p = Probe(*v.dlg);

    // The reference geometry of one frame, with the options a user chooses.
    const std::vector<GlCall>& Draw(int part, DisplayMode mode, bool axes, bool walls,
                                    bool zeroPlane, const ModelBounds& bounds = kCabinet) {
        ViewOptions options;
        options.mode = mode;
        options.axes = axes;
        options.walls = walls;
        options.zeroPlane = zeroPlane;
        v.dlg->ApplyViewOptions(options);
        p.m_nPart = part;
        p.m_bounds = bounds;
        v.sink.calls.clear();
        p.DrawReferenceGeometry();
        return v.sink.calls;
    }
    static std::vector<RecordedFace> Faces(const std::vector<GlCall>& calls) {
        std::vector<RecordedFace> faces;
        EXPECT_TRUE(DecodeFaces(calls, faces));
        return faces;
    }
    static constexpr ModelBounds kCabinet{2000, 800, 600, 0, 0, 0, 2000, 1000, 400, 300};
};

TEST_F(DisplayReference, AxisCrossAndLetters) {
    Draw(1, kModeHairline, true, true, true);  // a page of a parts list: the cross only
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
            for (const float* q : {l.a, l.b}) {
                ASSERT_EQ(c[i].kind, GlCall::Vertex3f) << "call " << i;
                for (int k = 0; k < 3; ++k) EXPECT_EQ(c[i].v[k], q[k]) << "call " << i;
                ++i;
            }
        }
    }

    // A whole model gets its colour even with nothing shown; a part page with nothing
    // switched on sends nothing at all.
    Draw(kWholeModel, kModeHairline, false, false, false);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].kind, GlCall::Color3f);
    EXPECT_FLOAT_EQ(c[0].v[0], 0.3f);
    EXPECT_FLOAT_EQ(c[0].v[2], 0.5f);
    Draw(1, kModeHairline, false, false, false);
    EXPECT_TRUE(c.empty());
}

TEST_F(DisplayReference, ZeroPlaneAndWallsFrameTheModel) {
    const auto faces = Faces(Draw(kWholeModel, kModeHairline, false, true, true));
    ASSERT_EQ(faces.size(), 2u);  // the zero plane, then both walls under one normal
    EXPECT_EQ(v.sink.Count(GlCall::Begin), 2);

    // Half sizes pushed 0.0001 outwards; z from the model's z = 0 to z = minZ + maxZ.
    const double hx = static_cast<float>(2000 * 0.5 / 2000 + 0.0001);
    const double hy = static_cast<float>(800 * 0.5 / 2000 + 0.0001);
    const float f0 = static_cast<float>(-300.0 / 2000 - 0.0001);
    const double z0 = f0, z1 = static_cast<float>(2 * 300.0 / 2000 + 0.0001) + f0;
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
            EXPECT_EQ((std::array<double, 3>{got.x, got.y, got.z}),
                      (std::array<double, 3>{want[0], want[1], want[2]}))
                << f << "/" << i;
            EXPECT_TRUE(got.hasColour);
            EXPECT_EQ(got.colour, p.m_rgbaLine);  // outlines in the line modes
        }
    }
    EXPECT_NEAR(z1 - z0, 0.3001, 1e-6);  // 600 of 2000, plus the push outwards

    // In the filled modes the quads take shades, or the whole texture, corner by corner.
    p.m_fTexRepeat = 2.0f;
    for (DisplayMode mode : {kModeSolid, kModeTextured, DisplayMode(5)}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const auto filled = Faces(Draw(-1, mode, false, true, true));
        ASSERT_EQ(filled.size(), 2u);
        const double s[4] = {0, 2, 2, 0}, t[4] = {0, 0, 2, 2};
        for (const RecordedFace& f : filled) {
            for (size_t i = 0; i < f.v.size(); ++i) {
                const RecordedVertex& q = f.v[i];
                EXPECT_EQ(q.hasTex, mode == kModeTextured);
                EXPECT_EQ(q.hasColour, mode == kModeSolid);
                if (mode == kModeTextured) {
                    EXPECT_EQ(q.s, s[i % 4]);
                    EXPECT_EQ(q.t, t[i % 4]);
                }
                if (mode == kModeSolid) {
                    EXPECT_EQ(v.ShadeOf(q.colour), static_cast<int>(i % 4));
                }
            }
        }
    }
}

TEST_F(DisplayReference, NoFrameAroundAModelThatCouldNotBeRead) {
    // A failed build leaves the reset bounds: with the extent of an earlier model, and
    // with the zero extent before any model was read. The axis cross stays. An empty
    // model file measures nothing but keeps its own (negative) extent, which still gives
    // a small frame.
    for (double extent : {2000.0, 0.0, kNoMaximum}) {
        SCOPED_TRACE(extent);
        ModelBounds reset{};
        ClearMeasuredBounds(reset);
        reset.extent = extent;
        const std::vector<GlCall>& calls =
            Draw(kWholeModel, kModeHairline, true, true, true, reset);
        EXPECT_EQ(v.sink.Count(GlCall::Vertex3d), extent == kNoMaximum ? 12 : 0);
        EXPECT_EQ(v.sink.Count(GlCall::Vertex3f), 20);
        for (const GlCall& c : calls) {
            for (double x : c.v) EXPECT_TRUE(std::isfinite(x));
        }
    }
}

}  // namespace
}  // namespace orx::test
