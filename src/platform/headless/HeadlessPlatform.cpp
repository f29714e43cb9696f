#include "platform/headless/HeadlessPlatform.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>

#include "image/DrawTarget.h"

namespace orx {

HeadlessPlatform::HeadlessPlatform(int width, int height, std::string profileFolder)
    : m_width(width), m_height(height), m_profileFolder(std::move(profileFolder)) {
    m_placement.normalPosition = Rect{10, 10, 10 + width, 10 + height};
}

HeadlessPlatform::~HeadlessPlatform() {
    DeleteGLContext();
    // The display is the process's one EGL display, shared by every headless
    // platform: it stays initialised until the process ends.
    if (GetMessagePlatform() == this) SetMessagePlatform(nullptr);
}

void HeadlessPlatform::MessageBox(const std::string& text, MsgIcon) {
    ++m_messagesShown;
    // A text made for a message box may span lines ("JPEG :\nCan't open ...\n"); on
    // standard error it is one line, its lines joined by a blank.
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(start, end - start);
        while (!part.empty() && (part.back() == ' ' || part.back() == '\r')) part.pop_back();
        if (!part.empty()) line += (line.empty() ? "" : " ") + part;
        start = end + 1;
    }
    std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), line.c_str());
}

std::unique_ptr<PrintJob> HeadlessPlatform::PrintDialog() { return nullptr; }

bool HeadlessPlatform::SetupPixelFormat() {
    if (m_config) return true;
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = EGL_NO_DISPLAY;
    if (getPlatformDisplay)
        display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) return false;
    if (!eglInitialize(display, nullptr, nullptr)) return false;
    m_display = display;
    if (!eglBindAPI(EGL_OPENGL_API)) return false;
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_DEPTH_SIZE,
                                 24,
                                 EGL_STENCIL_SIZE,
                                 8,
                                 EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) return false;
    m_config = config;
    return true;
}

void HeadlessPlatform::MakeSurface() {
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    if (m_surface) eglDestroySurface(display, static_cast<EGLSurface>(m_surface));
    const EGLint attributes[] = {EGL_WIDTH, m_width > 0 ? m_width : 1, EGL_HEIGHT,
                                 m_height > 0 ? m_height : 1, EGL_NONE};
    m_surface = eglCreatePbufferSurface(display, static_cast<EGLConfig>(m_config), attributes);
}

bool HeadlessPlatform::CreateGLContext() {
    if (!m_config) return false;
    if (m_context) return true;
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 2,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 1,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    EGLContext context =
        eglCreateContext(display, static_cast<EGLConfig>(m_config), EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) return false;
    m_context = context;
    MakeSurface();
    if (!m_surface || !eglMakeCurrent(display, static_cast<EGLSurface>(m_surface),
                                      static_cast<EGLSurface>(m_surface), context)) {
        DeleteGLContext();
        return false;
    }
    return true;
}

void HeadlessPlatform::DeleteGLContext() {
    if (!m_display) return;
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_surface) eglDestroySurface(display, static_cast<EGLSurface>(m_surface));
    if (m_context) eglDestroyContext(display, static_cast<EGLContext>(m_context));
    m_surface = nullptr;
    m_context = nullptr;
}

bool HeadlessPlatform::MakeCurrent() {
    if (!m_context || !m_surface) return false;
    return eglMakeCurrent(static_cast<EGLDisplay>(m_display), static_cast<EGLSurface>(m_surface),
                          static_cast<EGLSurface>(m_surface),
                          static_cast<EGLContext>(m_context)) == EGL_TRUE;
}

void HeadlessPlatform::Resize(int width, int height) {
    m_width = width;
    m_height = height;
    m_placement.normalPosition.right = m_placement.normalPosition.left + width;
    m_placement.normalPosition.bottom = m_placement.normalPosition.top + height;
    if (m_context) {
        MakeSurface();
        eglMakeCurrent(static_cast<EGLDisplay>(m_display), static_cast<EGLSurface>(m_surface),
                       static_cast<EGLSurface>(m_surface), static_cast<EGLContext>(m_context));
    }
}

std::vector<uint8_t> HeadlessPlatform::ReadPixelsRgb() const {
    std::vector<uint8_t> rgb(static_cast<size_t>(m_width) * m_height * 3);
    if (!m_context || rgb.empty()) return rgb;
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<uint8_t> bottomUp(rgb.size());
    glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    const size_t row = static_cast<size_t>(m_width) * 3;
    for (int y = 0; y < m_height; ++y)
        std::memcpy(&rgb[y * row], &bottomUp[(m_height - 1 - y) * row], row);
    return rgb;
}

uint32_t HeadlessPlatform::PixelAt(int x, int y) const {
    if (!m_context) return 0;
    uint8_t px[4] = {};
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, m_height - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, px);
    return (uint32_t(px[0]) << 16) | (uint32_t(px[1]) << 8) | px[2];
}

bool HeadlessPlatform::CaptureClient(ScreenPicture& picture) {
    if (!m_context) return false;
    picture.width = m_width;
    picture.height = m_height;
    picture.bgra.assign(static_cast<size_t>(m_width) * m_height * 4, 0);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // glReadPixels delivers the bottom row first, as a bottom-up bitmap stores it.
    glReadPixels(0, 0, m_width, m_height, GL_BGRA, GL_UNSIGNED_BYTE, picture.bgra.data());
    for (size_t i = 3; i < picture.bgra.size(); i += 4) picture.bgra[i] = 0;
    return true;
}

std::string HeadlessPlatform::ExecutablePath() const {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./orx-render";
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace orx
