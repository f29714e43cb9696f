#pragma once
// Sinks that look at the faces the emitters send instead of drawing them: one meets
// them with a ray (picking a part on screen), one keeps their outlines (the marker
// drawn around a picked part). Neither touches OpenGL.
#include <vector>

#include "geometry/GlSink.h"
#include "geometry/Vec3.h"

namespace orx {

// A sink that ignores display lists and texture images: only faces matter to it.
class FaceSink : public GlSink {
public:
    void Begin(GLenum mode) override;
    void End() override;
    void Normal3d(double, double, double) override {}
    void TexCoord2f(float, float) override {}
    void Color4ubv(const unsigned char*) override {}
    void Color3f(float, float, float) override {}
    void Vertex3d(double x, double y, double z) override;
    void Vertex3f(float x, float y, float z) override { Vertex3d(x, y, z); }
    void NewList(GLuint, GLenum) override {}
    void EndList() override {}
    void DeleteLists(GLuint, GLsizei) override {}
    void TexImage2D(GLsizei, GLsizei, const void*) override {}

protected:
    // One face: a triangle, a quad or a polygon, corners in the order sent.
    virtual void Face(const Vec3* corners, int count) = 0;

private:
    GLenum m_mode = GL_POINTS;
    std::vector<Vec3> m_corners;
};

// Meets every face sent with the ray origin + t * direction and keeps the nearest
// hit with t between tNear and tFar (the part of the ray that is drawn).
class PickSink final : public FaceSink {
public:
    PickSink(const Vec3& origin, const Vec3& direction, double tNear, double tFar)
        : m_origin(origin), m_direction(direction), m_tNear(tNear), m_tFar(tFar) {}

    bool Hit() const { return m_hit; }
    // Ray parameter of the nearest hit so far; tFar while nothing was hit.
    double Nearest() const { return m_hit ? m_t : m_tFar; }
    Vec3 HitPoint() const;

protected:
    void Face(const Vec3* corners, int count) override;

private:
    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c);

    Vec3 m_origin;
    Vec3 m_direction;
    std::vector<int> m_triangles;
    double m_tNear;
    double m_tFar;
    bool m_hit = false;
    double m_t = 0.0;
};

// Keeps the outline of every face sent, for drawing a part's edges.
class OutlineSink final : public FaceSink {
public:
    std::vector<std::vector<Vec3>> loops;

protected:
    void Face(const Vec3* corners, int count) override {
        loops.emplace_back(corners, corners + count);
    }
};

}  // namespace orx
