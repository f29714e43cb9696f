#pragma once
// The one recording sink: a GlSink that keeps every geometry call, a decoder that
// groups the record into faces, and the harness with a recording sink.
#include <stdlib.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "geometry/GlSink.h"

namespace orx::test {

struct GlCall {
    enum Kind { Begin, End, Normal3d, TexCoord2f, Color4ubv, Color3f, Vertex3d, Vertex3f };
    Kind kind;
    GLenum mode = 0;                      // Begin
    double v[3] = {0, 0, 0};              // normal, vertex, texture coordinate, Color3f
    std::array<unsigned char, 4> rgba{};  // Color4ubv
};

class RecordingSink : public GlSink {
public:
    std::vector<GlCall> calls;

    void Begin(GLenum mode) override { calls.push_back({GlCall::Begin, mode}); }
    void End() override { calls.push_back({GlCall::End}); }
    void Normal3d(double x, double y, double z) override { Add(GlCall::Normal3d, x, y, z); }
    void TexCoord2f(float s, float t) override { Add(GlCall::TexCoord2f, s, t, 0); }
    void Color4ubv(const unsigned char* c) override {
        GlCall call{GlCall::Color4ubv};
        call.rgba = {c[0], c[1], c[2], c[3]};
        calls.push_back(call);
    }
    void Color3f(float r, float g, float b) override { Add(GlCall::Color3f, r, g, b); }
    void Vertex3d(double x, double y, double z) override { Add(GlCall::Vertex3d, x, y, z); }
    void Vertex3f(float x, float y, float z) override { Add(GlCall::Vertex3f, x, y, z); }

    int Count(GlCall::Kind kind) const {
        int n = 0;
        for (const GlCall& c : calls) n += c.kind == kind;
        return n;
    }
    // The points of the Vertex3d calls, in their order.
    std::vector<std::array<double, 3>> Vertices() const {
        std::vector<std::array<double, 3>> points;
        for (const GlCall& c : calls)
            if (c.kind == GlCall::Vertex3d) points.push_back({c.v[0], c.v[1], c.v[2]});
        return points;
    }

private:
    void Add(GlCall::Kind kind, double x, double y, double z) {
        GlCall call{kind};
        call.v[0] = x;
        call.v[1] = y;
        call.v[2] = z;
        calls.push_back(call);
    }
};

// A vertex with the attributes sent directly before it (since the last vertex).
struct RecordedVertex {
    double x, y, z;
    bool hasTex = false;
    double s = 0, t = 0;
    bool hasColour = false;
    std::array<unsigned char, 4> colour{};
};

// The vertices that follow one normal inside one primitive.
struct RecordedFace {
    GLenum primitive;
    double n[3];
    std::vector<RecordedVertex> v;
};

// Groups a record into faces: every normal opens a face of the current primitive.
// Fails (returns false) on a vertex outside a primitive or before any normal.
inline bool DecodeFaces(const std::vector<GlCall>& calls, std::vector<RecordedFace>& faces) {
    faces.clear();
    bool inside = false;
    GLenum primitive = 0;
    RecordedVertex pending{};
    for (const GlCall& c : calls) {
        switch (c.kind) {
            case GlCall::Begin:
                if (inside) return false;
                inside = true;
                primitive = c.mode;
                break;
            case GlCall::End:
                if (!inside) return false;
                inside = false;
                break;
            case GlCall::Normal3d:
                if (!inside) return false;
                faces.push_back({primitive, {c.v[0], c.v[1], c.v[2]}, {}});
                break;
            case GlCall::TexCoord2f:
                pending.hasTex = true;
                pending.s = c.v[0];
                pending.t = c.v[1];
                break;
            case GlCall::Color4ubv:
                pending.hasColour = true;
                pending.colour = c.rgba;
                break;
            case GlCall::Color3f: break;
            case GlCall::Vertex3d:
            case GlCall::Vertex3f:
                if (!inside || faces.empty() || faces.back().primitive != primitive) return false;
                pending.x = c.v[0];
                pending.y = c.v[1];
                pending.z = c.v[2];
                faces.back().v.push_back(pending);
                pending = RecordedVertex{};
                break;
        }
    }
    return !inside;
}

// The harness with the viewer constructed but not started, its emitted geometry
// recorded: for the drawing operations on their own. The shade colours are made
// distinct, so that each recorded colour names its shade.
class RecordingRig : public ViewerRig {
public:
    RecordingSink sink;

    RecordingRig() {
        RecordTo(sink);
        CViewerDlg& d = Construct();
        Probe(d).m_rgbaLine = {7, 8, 9, 10};
        RGBA* shades[6] = {&Probe(d).m_rgbaShade0, &Probe(d).m_rgbaShade1, &Probe(d).m_rgbaShade2,
                           &Probe(d).m_rgbaShade3, &Probe(d).m_rgbaShade4, &Probe(d).m_rgbaShade5};
        for (int k = 0; k < 6; ++k) *shades[k] = RGBA{static_cast<unsigned char>(100 + k), 0, 0, 0};
    }

    // The shade index that a recorded colour stands for, -1 for any other colour.
    int ShadeOf(const std::array<unsigned char, 4>& c) const {
        for (int k = 0; k < 6; ++k) {
            if (Probe(*dlg).Shade(k) == c) return k;
        }
        return -1;
    }
};

}  // namespace orx::test
