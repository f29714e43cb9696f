#pragma once
// The platform without a window system: an OpenGL compatibility context on an
// EGL pbuffer (Mesa's surfaceless platform), dialogs answered from scripts, and a
// record of everything shown. Used by the command-line renderer and by the tests.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/MemoryDrawTarget.h"

namespace orx {

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform(int width = 800, int height = 600);
    ~HeadlessPlatform() override;

    // Changes the client size; the pbuffer follows at the next context creation
    // or at once when a context exists.
    void Resize(int width, int height);
    // Reads the rendered picture: RGB, top row first, width * 3 bytes a row.
    std::vector<uint8_t> ReadPixelsRgb() const;
    // Pixel (x, y) from the top-left corner as 0xRRGGBB.
    uint32_t PixelAt(int x, int y) const;

    // --- scripted answers (consumed front first; an empty script means cancel) ---
    std::deque<std::optional<std::string>> openFileAnswers;
    std::deque<std::optional<std::string>> saveFileAnswers;
    std::deque<std::optional<Rgb>> colourAnswers;
    std::deque<int> menuAnswers;
    std::deque<std::shared_ptr<PrintJob>> printAnswers;  // null entry = cancel
    // Called inside every message box and dialog, as a modal loop would run
    // further messages (timer ticks) meanwhile.
    std::function<void()> whileModal;

    // --- record ---
    struct Message {
        std::string text;
        MsgIcon icon;
    };
    std::vector<Message> messages;
    std::vector<FileDialogSpec> openDialogs;
    std::vector<FileDialogSpec> saveDialogs;
    std::vector<Rgb> colourDialogs;
    std::vector<Point> menuPoints;
    std::vector<std::string> aboutTexts;
    std::string aboutEntry;
    int invalidations = 0;
    int swaps = 0;
    unsigned timerId = 0;
    unsigned timerPeriod = 0;  // 0: no timer started
    std::string title = "ORX-Soft 3D-Viewer";
    WindowPlacement placement{};
    bool minimised = false;
    Point screenOrigin{100, 100};  // client area's top-left corner on the screen
    std::string executablePath;    // empty: the running executable
    Rgb buttonFace{240, 240, 240};
    bool failPixelFormat = false;
    bool failContext = false;
    MemoryDrawTarget windowTarget;

    // --- Platform ---
    void MessageBox(const std::string& text, MsgIcon icon) override;
    void SetWindowText(const std::string& text) override { title = text; }
    std::string GetWindowText() const override { return title; }
    void Invalidate(bool) override { ++invalidations; }
    Rect GetClientRect() const override { return Rect{0, 0, m_width, m_height}; }
    Point ClientToScreen(Point p) const override {
        return Point{p.x + screenOrigin.x, p.y + screenOrigin.y};
    }
    bool IsMinimised() const override { return minimised; }
    WindowPlacement GetWindowPlacement() const override { return placement; }
    void SetWindowPlacement(const WindowPlacement& p) override { placement = p; }
    void StartTimer(unsigned id, unsigned ms) override {
        timerId = id;
        timerPeriod = ms;
    }
    void AddAboutEntry(const std::string& text) override { aboutEntry = text; }
    bool SetupPixelFormat() override;
    bool CreateGLContext() override;
    void DeleteGLContext() override;
    void SwapBuffers() override { ++swaps; }
    std::optional<std::string> OpenFileDialog(const FileDialogSpec& spec) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSpec& spec) override;
    std::optional<Rgb> ChooseColour(Rgb initial) override;
    std::unique_ptr<PrintJob> PrintDialog() override;
    void ShowAboutBox(const std::string& infoText) override;
    int TrackPopupMenu(const MenuItem& popup, Point screenPoint) override;
    bool CaptureClient(ScreenPicture& picture) override;
    DrawTarget* WindowDrawTarget() override { return &windowTarget; }
    std::string ExecutablePath() const override;
    Rgb ButtonFaceColour() const override { return buttonFace; }

    bool HasContext() const { return m_context != nullptr; }
    // Makes this platform's context current again after another one was used.
    bool MakeCurrent();

private:
    void MakeSurface();
    void RunModal();

    int m_width;
    int m_height;
    void* m_display = nullptr;  // EGLDisplay
    void* m_config = nullptr;   // EGLConfig
    void* m_context = nullptr;  // EGLContext
    void* m_surface = nullptr;  // EGLSurface
};

}  // namespace orx
