#pragma once
// The headless platform for tests: dialogs answered from scripts, and a record of
// everything the viewer showed (message boxes, dialogs, menus, title, timer).
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "MemoryDrawTarget.h"
#include "platform/headless/HeadlessPlatform.h"

namespace orx {

// The test's profile folder: $XDG_CONFIG_HOME as TempProfile sets it.
std::string TestProfileFolder();

class ScriptedPlatform : public HeadlessPlatform {
public:
    explicit ScriptedPlatform(int width = 800, int height = 600);
    ~ScriptedPlatform() override;

    void Resize(int width, int height);

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
    // Each change of the busy pointer, in order (true: shown).
    std::vector<bool> busyChanges;
    unsigned timerId = 0;
    unsigned timerPeriod = 0;  // 0: no timer started
    std::string title = "ORX-Soft 3D-Viewer";
    WindowPlacement placement{};
    bool minimised = false;
    Point screenOrigin{100, 100};  // client area's top-left corner on the screen
    double pixelRatio = 1.0;       // device pixels per pixel the user sees
    std::string executablePath;    // empty: the running executable
    std::string profileFolder;     // the test's profile folder at construction
    std::string winePrefix;        // empty: no Wine prefix
    std::string picturesFolder;    // the user's folders; empty: none known
    std::string documentsFolder;
    Rgb buttonFace{240, 240, 240};
    bool failPixelFormat = false;
    bool failContext = false;
    MemoryDrawTarget windowTarget;

    std::string GetWindowText() const { return title; }

    // --- Platform ---
    void MessageBox(const std::string& text, MsgIcon icon) override;
    void SetBusy(bool busy) override { busyChanges.push_back(busy); }
    void SetWindowText(const std::string& text) override { title = text; }
    void Invalidate(bool) override { ++invalidations; }
    Point ClientToScreen(Point p) const override {
        return Point{p.x + screenOrigin.x, p.y + screenOrigin.y};
    }
    double DevicePixelRatio() const override { return pixelRatio; }
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
    void SwapBuffers() override { ++swaps; }
    std::optional<std::string> OpenFileDialog(const FileDialogSpec& spec) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSpec& spec) override;
    std::optional<Rgb> ChooseColour(Rgb initial) override;
    std::unique_ptr<PrintJob> PrintDialog() override;
    void ShowAboutBox(const std::string& infoText) override;
    int TrackPopupMenu(const MenuItem& popup, Point screenPoint) override;
    std::string ExecutablePath() const override;
    std::string ProfileFolder() const override { return profileFolder; }
    std::string WinePrefix() const override { return winePrefix; }
    std::string UserFolderPath(UserFolder kind) const override {
        return kind == UserFolder::Pictures ? picturesFolder : documentsFolder;
    }
    Rgb ButtonFaceColour() const override { return buttonFace; }

private:
    void RunModal();
};

}  // namespace orx
