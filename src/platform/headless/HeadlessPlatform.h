#pragma once
// The platform without a window system: an OpenGL compatibility context on an EGL
// pbuffer (Mesa's surfaceless platform) and the picture read back from it. Message
// boxes go to standard error; dialogs are cancelled. Used by the command-line
// renderer.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace orx {

class HeadlessPlatform : public Platform {
public:
    // A client area of width x height pixels; settings are read from (and written
    // to) profileFolder.
    HeadlessPlatform(int width, int height, std::string profileFolder);
    ~HeadlessPlatform() override;
    HeadlessPlatform(const HeadlessPlatform&) = delete;
    HeadlessPlatform& operator=(const HeadlessPlatform&) = delete;

    // Changes the client size; the pbuffer follows at the next context creation
    // or at once when a context exists.
    void Resize(int width, int height);
    // Reads the rendered picture: RGB, top row first, width * 3 bytes a row.
    std::vector<uint8_t> ReadPixelsRgb() const;
    // Pixel (x, y) from the top-left corner as 0xRRGGBB.
    uint32_t PixelAt(int x, int y) const;
    bool HasContext() const { return m_context != nullptr; }
    // How many message boxes were shown.
    int MessagesShown() const { return m_messagesShown; }
    void SetButtonFaceColour(Rgb colour) { m_buttonFace = colour; }

    // --- Platform ---
    void MessageBox(const std::string& text, MsgIcon icon) override;
    void SetWindowText(const std::string& text) override { m_title = text; }
    void Invalidate(bool) override {}
    Rect GetClientRect() const override { return Rect{0, 0, m_width, m_height}; }
    Point ClientToScreen(Point p) const override { return p; }
    bool IsMinimised() const override { return false; }
    WindowPlacement GetWindowPlacement() const override { return m_placement; }
    void SetWindowPlacement(const WindowPlacement& p) override { m_placement = p; }
    void StartTimer(unsigned, unsigned) override {}
    void AddAboutEntry(const std::string&) override {}
    bool SetupPixelFormat() override;
    bool CreateGLContext() override;
    void DeleteGLContext() override;
    void SwapBuffers() override {}
    std::optional<std::string> OpenFileDialog(const FileDialogSpec&) override { return {}; }
    std::optional<std::string> SaveFileDialog(const FileDialogSpec&) override { return {}; }
    std::optional<Rgb> ChooseColour(Rgb) override { return {}; }
    std::unique_ptr<PrintJob> PrintDialog() override;
    void ShowAboutBox(const std::string&) override {}
    int TrackPopupMenu(const MenuItem&, Point) override { return 0; }
    bool CaptureClient(ScreenPicture& picture) override;
    std::string ExecutablePath() const override;
    std::string ProfileFolder() const override { return m_profileFolder; }
    // The renderer follows no design program.
    std::string WinePrefix() const override { return {}; }
    Rgb ButtonFaceColour() const override { return m_buttonFace; }
    // Makes this platform's context current again after another one was used.
    bool MakeCurrent();

private:
    void MakeSurface();

    int m_width;
    int m_height;
    std::string m_profileFolder;
    std::string m_title;
    WindowPlacement m_placement{};
    Rgb m_buttonFace{240, 240, 240};
    int m_messagesShown = 0;
    void* m_display = nullptr;  // EGLDisplay
    void* m_config = nullptr;   // EGLConfig
    void* m_context = nullptr;  // EGLContext
    void* m_surface = nullptr;  // EGLSurface
};

}  // namespace orx
