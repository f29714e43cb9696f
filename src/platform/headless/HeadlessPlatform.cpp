#include "platform/headless/HeadlessPlatform.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace orx {

namespace {

// Forwards to a job that the test keeps, so that it can look at it afterwards.
class SharedPrintJob : public PrintJob {
public:
    explicit SharedPrintJob(std::shared_ptr<PrintJob> job) : m_job(std::move(job)) {}
    int StartDoc(const std::string& name) override { return m_job->StartDoc(name); }
    int StartPage() override { return m_job->StartPage(); }
    int EndPage() override { return m_job->EndPage(); }
    int EndDoc() override { return m_job->EndDoc(); }
    int GetDeviceCaps(int index) override { return m_job->GetDeviceCaps(index); }
    int SetDIBitsToDevice(int a, int b, int c, int d, int e, int f, unsigned g, unsigned h,
                          const void* bits, const BITMAPINFO* info) override {
        return m_job->SetDIBitsToDevice(a, b, c, d, e, f, g, h, bits, info);
    }
    int StretchDIBits(int a, int b, int c, int d, int e, int f, int g, int h, const void* bits,
                      const BITMAPINFO* info) override {
        return m_job->StretchDIBits(a, b, c, d, e, f, g, h, bits, info);
    }

private:
    std::shared_ptr<PrintJob> m_job;
};

}  // namespace

HeadlessPlatform::HeadlessPlatform(int width, int height)
    : windowTarget(width, height), m_width(width), m_height(height) {
    placement.normalPosition = Rect{10, 10, 10 + width, 10 + height};
}

HeadlessPlatform::~HeadlessPlatform() {
    DeleteGLContext();
    // The display is the process's one EGL display, shared by every headless
    // platform: it stays initialised until the process ends.
    if (GetMessagePlatform() == this) SetMessagePlatform(nullptr);
}

void HeadlessPlatform::RunModal() {
    if (whileModal) whileModal();
}

void HeadlessPlatform::MessageBox(const std::string& text, MsgIcon icon) {
    messages.push_back({text, icon});
    RunModal();
}

bool HeadlessPlatform::SetupPixelFormat() {
    if (failPixelFormat) return false;
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
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                                 EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8,
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
    if (failContext || !m_config) return false;
    if (m_context) return true;
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2,
                                 EGL_CONTEXT_MINOR_VERSION, 1,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context =
        eglCreateContext(display, static_cast<EGLConfig>(m_config), EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) return false;
    m_context = context;
    MakeSurface();
    if (!m_surface ||
        !eglMakeCurrent(display, static_cast<EGLSurface>(m_surface),
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
    windowTarget.Resize(width, height);
    placement.normalPosition.right = placement.normalPosition.left + width;
    placement.normalPosition.bottom = placement.normalPosition.top + height;
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

std::optional<std::string> HeadlessPlatform::OpenFileDialog(const FileDialogSpec& spec) {
    openDialogs.push_back(spec);
    RunModal();
    if (openFileAnswers.empty()) return std::nullopt;
    auto answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

std::optional<std::string> HeadlessPlatform::SaveFileDialog(const FileDialogSpec& spec) {
    saveDialogs.push_back(spec);
    RunModal();
    if (saveFileAnswers.empty()) return std::nullopt;
    auto answer = saveFileAnswers.front();
    saveFileAnswers.pop_front();
    // A name typed without extension receives the default one, as the dialog adds it.
    if (answer && !spec.defaultExt.empty()) {
        const size_t slash = answer->rfind('/');
        const std::string name = slash == std::string::npos ? *answer : answer->substr(slash + 1);
        if (name.find('.') == std::string::npos) *answer += "." + spec.defaultExt;
    }
    return answer;
}

std::optional<Rgb> HeadlessPlatform::ChooseColour(Rgb initial) {
    colourDialogs.push_back(initial);
    RunModal();
    if (colourAnswers.empty()) return std::nullopt;
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

std::unique_ptr<PrintJob> HeadlessPlatform::PrintDialog() {
    RunModal();
    if (printAnswers.empty()) return nullptr;
    auto job = printAnswers.front();
    printAnswers.pop_front();
    if (!job) return nullptr;
    return std::make_unique<SharedPrintJob>(std::move(job));
}

void HeadlessPlatform::ShowAboutBox(const std::string& infoText) {
    aboutTexts.push_back(infoText);
    RunModal();
}

int HeadlessPlatform::TrackPopupMenu(const MenuItem&, Point screenPoint) {
    menuPoints.push_back(screenPoint);
    RunModal();
    if (menuAnswers.empty()) return 0;
    int id = menuAnswers.front();
    menuAnswers.pop_front();
    return id;
}

std::string HeadlessPlatform::ExecutablePath() const {
    if (!executablePath.empty()) return executablePath;
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return "./orx-render";
    return std::string(buffer, static_cast<size_t>(n));
}

}  // namespace orx
