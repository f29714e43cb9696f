#pragma once
// The real window: a Qt OpenGL widget that forwards every event to the viewer
// and offers the viewer the window system's services.
#include <QLabel>
#include <QOpenGLWidget>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ViewerDlg.h"
#include "platform/Platform.h"
#include "platform/qt/FollowWatcher.h"

namespace orx {

// Makes the viewer's pixel format the default of every OpenGL surface; call before
// the application object is made.
void SetViewerSurfaceFormat();

class ViewerWindow : public QOpenGLWidget, public Platform {
    Q_OBJECT
public:
    ViewerWindow();
    ~ViewerWindow() override;

    // Opens the model at start-up, before any follow check; call before the window shows.
    void OpenAtStartUp(const std::string& path) { m_dlg->SetStartModel(path); }
    // A model waits for the frame that compiles it.
    bool ModelWaiting() const { return m_dlg->ModelListWaiting(); }

    // --- Platform ---
    void MessageBox(const std::string& text, MsgIcon icon) override;
    void SetWindowText(const std::string& title) override;
    void Invalidate(bool erase) override;
    Rect GetClientRect() const override;
    Point ClientToScreen(Point p) const override;
    double DevicePixelRatio() const override;
    bool IsMinimised() const override;
    WindowPlacement GetWindowPlacement() const override;
    void SetWindowPlacement(const WindowPlacement& placement) override;
    void StartTimer(unsigned id, unsigned milliseconds) override;
    void ShowOverlayText(const std::string& text) override;
    void AddAboutEntry(const std::string& text) override;
    void SetBusy(bool busy) override;
    bool SetupPixelFormat() override;
    bool CreateGLContext() override;
    void DeleteGLContext() override;
    void SwapBuffers() override {}
    std::optional<std::string> OpenFileDialog(const FileDialogSpec& spec) override;
    std::optional<std::string> SaveFileDialog(const FileDialogSpec& spec) override;
    std::optional<Rgb> ChooseColour(Rgb initial) override;
    std::unique_ptr<PrintJob> PrintDialog() override;
    void ShowAboutBox(const std::string& infoText) override;
    int TrackPopupMenu(const MenuItem& popup, Point screenPoint) override;
    bool CaptureClient(ScreenPicture& picture) override;
    std::string ExecutablePath() const override;
    std::string ProfileFolder() const override;
    std::string WinePrefix() const override;
    Rgb ButtonFaceColour() const override;
    std::string UserFolderPath(UserFolder kind) const override;

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // One tick of the viewer's timer: the timer handler, then the watcher is given
    // the files that follow mode now reads.
    void Tick();
    const FollowWatcher& Watcher() const { return m_followWatcher; }

private:
    void ShowWindowMenu();
    void HandOnDeviceSize();
    void FollowScaleFactor();
    // The frame around the client area; none before the window manager has framed
    // the window (or where there is none).
    QMargins FrameMargins() const;
    // Room kept for a title bar not known yet.
    static constexpr int kAssumedTitleBar = 30;
    // Moves the frame to the stored position once the window manager has framed the
    // window (checked at every tick until then); the position was given to the client
    // area before.
    void PlaceFrame();
    std::optional<QPoint> m_framePosition;
    Point ClientPoint(const QPointF& logical) const;
    std::optional<std::string> RunFileDialog(const FileDialogSpec& spec, bool save);

    // Draws the background without the model over the whole window at once: the
    // dialog that led to the work that follows is gone from the screen before it.
    void ShowWithoutModel();

    std::unique_ptr<CViewerDlg> m_dlg;
    QTimer m_timer;
    // Tells follow mode at once when the design program has saved.
    FollowWatcher m_followWatcher;
    std::string m_aboutEntry;
    // The text about a picked part: a child widget over the OpenGL picture, so never
    // in the framebuffer that saved and printed pictures are read from.
    QLabel* m_overlay = nullptr;
    bool m_created = false;
    // The client size in device pixels that the viewer was last given.
    QSize m_deviceSize;
    bool m_destroyed = false;
    // The busy pointer is set (as the application's override cursor).
    bool m_busy = false;
    // Frames show the background only: while the window clears a dialog away, and
    // until the first frame is on the screen while a model waits to be compiled, so
    // that the window appears at once.
    bool m_backgroundOnly = false;
    bool m_firstFrameShown = false;
    bool m_modelAfterFirstFrame = false;
    // Messages of the start-up wait until the window is on the screen: a box over an
    // empty desktop tells the user nothing about where it comes from.
    struct PendingMessage {
        std::string text;
        MsgIcon icon;
    };
    std::vector<PendingMessage> m_pendingMessages;
    bool m_onScreen = false;
    void ShowPendingMessages();
};

}  // namespace orx
