#pragma once
// A GlSink that gathers the faces the emitters send as triangles, one group of
// triangles per record, each face with its own outward normal computed from its
// corners. The exported model is collected through it, so that the file holds
// what the picture shows. Which way is out is decided from the record's solid:
// its faces are turned to agree with each other across their shared edges, and
// then all together so that the solid they enclose has a positive volume.
#include <cstddef>
#include <utility>
#include <vector>

#include "geometry/GeometryTypes.h"
#include "geometry/GlSink.h"
#include "geometry/Vec3.h"

namespace orx {

class TriangleSink final : public GlSink {
public:
    struct Vertex {
        float position[3];
        float normal[3];
        float uv[2];
        RGBA colour;
    };
    // The triangles of one record: vertices first .. first + count - 1, three a triangle.
    struct Group {
        int number;
        size_t first;
        size_t count;
    };

    // Starts the group of record `number`; the faces sent from now on belong to it.
    void StartGroup(int number);
    // Ends the last group: its faces are turned outward and split into triangles in
    // their own planes; faces without area are left out.
    void Finish();

    const std::vector<Vertex>& Vertices() const { return m_vertices; }
    const std::vector<Group>& Groups() const { return m_groups; }
    // Empties the sink for the next part, keeping its memory.
    void Clear();
    // Gives the memory back once the triangles are written elsewhere.
    void Release();

    void Begin(GLenum mode) override;
    void End() override;
    // The normals sent are not taken: some point into their part.
    void Normal3d(double, double, double) override {}
    void TexCoord2f(float s, float t) override;
    void Color4ubv(const unsigned char* rgba) override;
    void Color3f(float r, float g, float b) override;
    void Vertex3d(double x, double y, double z) override;
    void Vertex3f(float x, float y, float z) override;

    // Gathering never reaches OpenGL: no display list is made or changed.
    void NewList(GLuint, GLenum) override {}
    void EndList() override {}
    void DeleteLists(GLuint, GLsizei) override {}
    void TexImage2D(GLsizei, GLsizei, const void*) override {}

private:
    void AddCorner(float x, float y, float z);
    void AddFace(size_t first, size_t n);
    void FinishGroup();
    Vec3 Position(size_t corner) const;  // of m_corners

    GLenum m_mode = 0;
    bool m_open = false;
    float m_uv[2] = {0.0f, 0.0f};
    RGBA m_colour{255, 255, 255, 255};
    // The corners of the primitive being sent, and the faces of the group so far as
    // ranges of m_corners.
    std::vector<Vertex> m_primitive;
    std::vector<Vertex> m_corners;
    std::vector<std::pair<size_t, size_t>> m_faces;
    std::vector<Vertex> m_vertices;
    std::vector<Group> m_groups;
    bool m_groupOpen = false;
};

}  // namespace orx
