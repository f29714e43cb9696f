#pragma once
// Everything the viewer needs from the window system, behind one small interface.
// The Qt front end implements it for the real window; the headless front end for
// the command-line renderer (and the tests build their scripted platform on it).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orx {

enum class MsgIcon { Exclamation, Stop };

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};

// The window's placement record: flags, show state, minimised and maximised
// positions and the normal position as edges.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 1;
    Point minPosition{0, 0};
    Point maxPosition{-1, -1};
    Rect normalPosition{};
};

// A file dialog as the viewer describes it; the filter has the form
// "Label (*.x)|*.x|Label 2 (*.y)|*.y||".
struct FileDialogSpec {
    std::string defaultExt;
    std::string initialName;
    std::string filter;
    std::string initialFolder;  // where the dialog opens; empty: the toolkit's choice
    int selectedFilter = 0;     // the filter of the list selected when the dialog opens
    bool hideReadOnly = true;
    bool overwritePrompt = false;
};

// One entry of a popup menu: a command (id > 0), a separator or a sub-menu.
struct MenuItem {
    enum Kind { Command, Separator, Popup };
    Kind kind = Command;
    std::string text;  // item text, then a tab and the shortcut text where there is one
    int id = 0;
    std::vector<MenuItem> children;
    // What a command entry shows of the state: a check mark for an option that is on,
    // a radio mark for one choice of several (radio entries in a row form one group).
    enum Mark { NoMark, CheckMark, RadioMark };
    Mark mark = NoMark;
    bool checked = false;
};

// A picture read back from the window: 32 bits per pixel, blue, green, red,
// reserved, bottom row first, rows of width * 4 bytes.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgra;
};

class PrintJob;

class Platform {
public:
    virtual ~Platform() = default;

    // Modal message box with an OK button, captioned with the program's name.
    virtual void MessageBox(const std::string& text, MsgIcon icon) = 0;

    // Window.
    virtual void SetWindowText(const std::string& title) = 0;
    virtual void Invalidate(bool erase) = 0;
    // The client area in device pixels; client points the viewer is given are too.
    virtual Rect GetClientRect() const = 0;
    // Device pixels per pixel the user sees: 2 on a screen scaled to 200 %.
    virtual double DevicePixelRatio() const { return 1.0; }
    virtual Point ClientToScreen(Point p) const = 0;
    virtual bool IsMinimised() const = 0;
    virtual WindowPlacement GetWindowPlacement() const = 0;
    virtual void SetWindowPlacement(const WindowPlacement& placement) = 0;
    virtual void StartTimer(unsigned id, unsigned milliseconds) = 0;
    // Shows text over a corner of the picture, outside the OpenGL frame, so that it
    // never reaches a captured picture; empty text hides it.
    virtual void ShowOverlayText(const std::string& /*text*/) {}
    // Adds the About entry to the window's own menu.
    virtual void AddAboutEntry(const std::string& text) = 0;
    // The busy pointer over the window while it reads or compiles a model; shown
    // at once, as the work that follows gives the window system no turn.
    virtual void SetBusy(bool busy) { (void)busy; }

    // OpenGL: the context of the window; current from creation until deletion.
    virtual bool SetupPixelFormat() = 0;
    virtual bool CreateGLContext() = 0;
    virtual void DeleteGLContext() = 0;
    virtual void SwapBuffers() = 0;

    // Dialogs. Each returns nothing on cancel.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> SaveFileDialog(const FileDialogSpec& spec) = 0;
    virtual std::optional<Rgb> ChooseColour(Rgb initial) = 0;
    virtual std::unique_ptr<PrintJob> PrintDialog() = 0;
    virtual void ShowAboutBox(const std::string& infoText) = 0;
    // Shows the popup at a screen point; returns the chosen command id, 0 for none.
    virtual int TrackPopupMenu(const MenuItem& popup, Point screenPoint) = 0;

    // Picture on screen, for saving and printing.
    virtual bool CaptureClient(ScreenPicture& picture) = 0;

    // Environment: the program file, and the folder of the settings file and of
    // the design program's "ORX.INI".
    virtual std::string ExecutablePath() const = 0;
    virtual std::string ProfileFolder() const = 0;
    // The Wine prefix whose Windows folder and drives a design program under Wine
    // uses; empty when there is none.
    virtual std::string WinePrefix() const = 0;
    virtual Rgb ButtonFaceColour() const = 0;
    // The user's folder for pictures or for documents, where a save dialog opens when
    // no other folder fits; empty when the platform knows none.
    enum class UserFolder { Pictures, Documents };
    virtual std::string UserFolderPath(UserFolder kind) const {
        (void)kind;
        return {};
    }
};

// The platform that message boxes of the toolkit-free code go to (the image
// readers and the settings store show their own messages, as a framework's global
// message box would). Without one, messages go to standard error.
void SetMessagePlatform(Platform* platform);
Platform* GetMessagePlatform();
void ShowMessage(const std::string& text, MsgIcon icon = MsgIcon::Exclamation);

// Name of the program file without folder and extension ("orx-view"), the caption
// of every message box.
std::string ProgramName();
void SetProgramName(const std::string& name);

}  // namespace orx
