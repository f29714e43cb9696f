#pragma once
// The immediate-mode calls that the record emitters and the reference geometry
// make. Production forwards them to OpenGL; tests record them.
#include <GL/gl.h>

namespace orx {

class GlSink {
public:
    virtual ~GlSink() = default;
    virtual void Begin(GLenum mode) = 0;
    virtual void End() = 0;
    virtual void Normal3d(double x, double y, double z) = 0;
    virtual void TexCoord2f(float s, float t) = 0;
    virtual void Color4ubv(const unsigned char* rgba) = 0;
    virtual void Color3f(float r, float g, float b) = 0;
    virtual void Vertex3d(double x, double y, double z) = 0;
    virtual void Vertex3f(float x, float y, float z) = 0;

    // Opening, closing and deleting a display list, and the texture image put into
    // one. They reach OpenGL with every sink, so that the list exists whatever
    // records the geometry; a recorder adds its own record and passes them on.
    virtual void NewList(GLuint list, GLenum mode) { glNewList(list, mode); }
    virtual void EndList() { glEndList(); }
    virtual void DeleteLists(GLuint list, GLsizei range) { glDeleteLists(list, range); }
    // An RGB image of 24 bits per pixel.
    virtual void TexImage2D(GLsizei width, GLsizei height, const void* pixels) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    }
};

// Forwards every call to the current OpenGL context.
class OpenGlSink final : public GlSink {
public:
    void Begin(GLenum mode) override { glBegin(mode); }
    void End() override { glEnd(); }
    void Normal3d(double x, double y, double z) override { glNormal3d(x, y, z); }
    void TexCoord2f(float s, float t) override { glTexCoord2f(s, t); }
    void Color4ubv(const unsigned char* rgba) override { glColor4ubv(rgba); }
    void Color3f(float r, float g, float b) override { glColor3f(r, g, b); }
    void Vertex3d(double x, double y, double z) override { glVertex3d(x, y, z); }
    void Vertex3f(float x, float y, float z) override { glVertex3f(x, y, z); }
};

}  // namespace orx
