#pragma once
// The one recording sink: a GlSink that keeps every geometry call, a decoder that
// groups the record into faces, and the harness with a recording sink.
#include <stdlib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ViewerRig.h"
#include "geometry/GlSink.h"

namespace orx::test {

struct GlCall {
    enum Kind {
        Begin,
        End,
        Normal3d,
        TexCoord2f,
        Color4ubv,
        Color3f,
        Vertex3d,
        Vertex3f,
        NewList,
        EndList,
        DeleteLists,
        TexImage2D
    };
    Kind kind;
    GLenum mode = 0;                      // Begin, NewList
    double v[3] = {0, 0, 0};              // normal, vertex, texture coordinate, Color3f
    std::array<unsigned char, 4> rgba{};  // Color4ubv
    GLuint list = 0;                      // NewList, DeleteLists (the first)
    GLsizei w = 0, h = 0;                 // TexImage2D; DeleteLists: the range in w
    uint64_t image = 0;                   // TexImage2D: a hash of the pixel bytes

    // Numbers compare exactly, as OpenGL keeps them.
    bool operator==(const GlCall&) const = default;
};

// One call as text, numbers exact (hexadecimal floating point): failure messages.
inline std::ostream& operator<<(std::ostream& out, const GlCall& c) {
    static const char* const kNames[] = {"Begin",     "End",     "Normal3d",    "TexCoord2f",
                                         "Color4ubv", "Color3f", "Vertex3d",    "Vertex3f",
                                         "NewList",   "EndList", "DeleteLists", "TexImage2D"};
    char text[160];
    std::snprintf(text, sizeof text,
                  "%s mode %#x v %a %a %a rgba %u %u %u %u list %u %dx%d %016llx", kNames[c.kind],
                  c.mode, c.v[0], c.v[1], c.v[2], c.rgba[0], c.rgba[1], c.rgba[2], c.rgba[3],
                  c.list, c.w, c.h, static_cast<unsigned long long>(c.image));
    return out << text;
}

// Records every call it is sent. The geometry goes nowhere else; the list calls also
// reach OpenGL (as with every sink), so that list 1 exists there. Besides the whole
// record, it keeps list 1 as OpenGL keeps it: a list replaces the previous one when it
// is closed, a deletion removes it.
class RecordingSink : public GlSink {
public:
    std::vector<GlCall> calls;
    std::optional<std::vector<GlCall>> list;  // empty while no list 1 exists
    int builds = 0;                           // lists opened
    int stray = 0;                            // geometry sent while no list was open

    void Begin(GLenum mode) override { Record({GlCall::Begin, mode}, true); }
    void End() override { Record({GlCall::End}, true); }
    void Normal3d(double x, double y, double z) override { Add(GlCall::Normal3d, x, y, z); }
    void TexCoord2f(float s, float t) override { Add(GlCall::TexCoord2f, s, t, 0); }
    void Color4ubv(const unsigned char* c) override {
        GlCall call{GlCall::Color4ubv};
        call.rgba = {c[0], c[1], c[2], c[3]};
        Record(call, true);
    }
    void Color3f(float r, float g, float b) override { Add(GlCall::Color3f, r, g, b); }
    void Vertex3d(double x, double y, double z) override { Add(GlCall::Vertex3d, x, y, z); }
    void Vertex3f(float x, float y, float z) override { Add(GlCall::Vertex3f, x, y, z); }

    void NewList(GLuint name, GLenum mode) override {
        ++builds;
        GlCall call{GlCall::NewList, mode};
        call.list = name;
        calls.push_back(call);
        m_compiling = {call};
        m_open = true;
        GlSink::NewList(name, mode);
    }
    void EndList() override {
        GlSink::EndList();
        calls.push_back({GlCall::EndList});
        m_open = false;
        list = std::move(m_compiling);
        m_compiling.clear();
    }
    void DeleteLists(GLuint name, GLsizei range) override {
        GlCall call{GlCall::DeleteLists};
        call.list = name;
        call.w = range;
        calls.push_back(call);
        if (name <= 1 && 1 < name + static_cast<GLuint>(range)) list.reset();
        GlSink::DeleteLists(name, range);
    }
    void TexImage2D(GLsizei w, GLsizei h, const void* pixels) override {
        // Rows of 24-bit pixels padded to 4 bytes, as OpenGL unpacks them.
        const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) / 4 * 4;
        uint64_t hash = 1469598103934665603ull;
        const auto* p = static_cast<const unsigned char*>(pixels);
        for (size_t i = 0; i < rowBytes * static_cast<size_t>(h); ++i)
            hash = (hash ^ p[i]) * 1099511628211ull;
        GlCall call{GlCall::TexImage2D};
        call.w = w;
        call.h = h;
        call.image = hash;
        Record(call, false);
        GlSink::TexImage2D(w, h, pixels);
    }

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
        Record(call, true);
    }
    void Record(const GlCall& call, bool geometry) {
        calls.push_back(call);
        if (m_open) {
            m_compiling.push_back(call);
        } else if (geometry) {
            ++stray;
        }
    }
    bool m_open = false;
    std::vector<GlCall> m_compiling;
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
            case GlCall::Color3f:
            case GlCall::NewList:
            case GlCall::EndList:
            case GlCall::DeleteLists:
            case GlCall::TexImage2D: break;
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
