#include "platform/qt/ViewerWindow.h"

#include <GL/gl.h>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QOpenGLContext>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/qt/Dialogs.h"
#include "platform/qt/KeyMapping.h"
#include "platform/qt/PopupMenu.h"
#include "platform/qt/QtPrintJob.h"
#include "platform/qt/ScreenFit.h"
#include "ui/About.h"

namespace orx {

void SetViewerSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(32);  // the closest the system offers is taken
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    // No accumulation buffer can be requested here; nothing uses one.
    QSurfaceFormat::setDefaultFormat(format);
}

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Sends what Qt has queued for the X server (a new pointer, a hidden dialog) without
// running the event loop, which must not run inside a frame or an operation.
void FlushToWindowSystem() {
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        xcb_flush(x11->connection());
}

// No busy pointer over a message box, dialog or menu: it waits for the user.
class BusyPause {
public:
    explicit BusyPause(bool busy) : m_busy(busy) {
        if (m_busy) QGuiApplication::restoreOverrideCursor();
    }
    ~BusyPause() {
        if (m_busy) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    BusyPause(const BusyPause&) = delete;
    BusyPause& operator=(const BusyPause&) = delete;

private:
    bool m_busy;
};

}  // namespace

ViewerWindow::ViewerWindow() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setWindowTitle("ORX-Soft 3D-Viewer");
    // The size of the window as it opens; the stored position is applied to it.
    resize(800, 600);
    if (QScreen* onScreen = screen())
        resize(FitToScreen(geometry(), onScreen->availableGeometry()).size());
    m_overlay = new QLabel(this);
    m_overlay->setObjectName("pickOverlay");
    m_overlay->setTextFormat(Qt::PlainText);
    m_overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Light text on a dark, half-transparent box: legible on every background.
    m_overlay->setStyleSheet(
        "QLabel { color: white; background-color: rgba(0, 0, 0, 170); padding: 4px 8px; "
        "border-radius: 4px; }");
    m_overlay->hide();
    m_dlg = std::make_unique<CViewerDlg>(*this);
    SetMessagePlatform(this);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
    // The frame with the model is drawn once the first one is on the screen.
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (!m_onScreen) {
            m_onScreen = true;
            if (!m_pendingMessages.empty())
                QTimer::singleShot(0, this, [this] { ShowPendingMessages(); });
        }
        if (!m_modelAfterFirstFrame) return;
        m_modelAfterFirstFrame = false;
        update();
    });
    connect(&m_followWatcher, &FollowWatcher::Settled, this, [this] {
        if (m_dlg) m_dlg->RequestFollowCheck();
    });
}

ViewerWindow::~ViewerWindow() {
    m_timer.stop();
    if (!m_destroyed && m_created) {
        makeCurrent();
        m_dlg->OnDestroy();
    }
    m_dlg.reset();
    if (GetMessagePlatform() == this) SetMessagePlatform(nullptr);
}

// --- events ---

void ViewerWindow::initializeGL() {
    if (m_created) return;
    m_created = true;
    m_dlg->OnCreate();
    m_dlg->OnInitDialog();
}

void ViewerWindow::resizeGL(int, int) { HandOnDeviceSize(); }

// The viewer's projection and picking work in device pixels.
void ViewerWindow::HandOnDeviceSize() {
    const Rect client = GetClientRect();
    m_deviceSize = QSize(client.Width(), client.Height());
    m_dlg->OnSize(0, client.Width(), client.Height());
}

// A move to a screen with another scale factor changes the size in device pixels
// but not the window's, and Qt calls resizeGL only for the latter. Qt sets the
// frame's viewport itself; picking needs the size, so a press hands on one that
// changed so before it picks.
void ViewerWindow::FollowScaleFactor() {
    const Rect client = GetClientRect();
    if (m_created && QSize(client.Width(), client.Height()) != m_deviceSize) HandOnDeviceSize();
}

void ViewerWindow::paintGL() {
    // Until the first frame is on the screen the window shows its background while
    // the model waits to be compiled; the frame after it compiles and draws the model.
    if (!m_firstFrameShown) {
        m_firstFrameShown = true;
        m_modelAfterFirstFrame = m_dlg->ModelListWaiting();
    }
    if (m_backgroundOnly || m_modelAfterFirstFrame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    m_dlg->OnPaint();
}

void ViewerWindow::ShowWithoutModel() {
    m_backgroundOnly = true;
    repaint();
    m_backgroundOnly = false;
    FlushToWindowSystem();
}

void ViewerWindow::Tick() {
    PlaceFrame();
    makeCurrent();
    m_dlg->OnTimer(0);
    // A check may have found another ORX.INI or model name; follow mode may have ended.
    std::vector<std::string> followed = m_dlg->FollowedFiles();
    if (followed != m_followWatcher.Files()) m_followWatcher.Watch(followed);
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    makeCurrent();
    const VirtualKey key = MapKey(DescribeKeyPress(*event));
    const Qt::KeyboardModifiers mods = event->modifiers();
    // System keys get the window's default handling only: Alt+Space opens the window's
    // own menu, Shift+F10 the context menu, Alt+F4 closes the window.
    if (key.route == VirtualKey::SystemKey) {
        if (key.code == vk::SPACE && (mods & Qt::AltModifier)) ShowWindowMenu();
        if (key.code == vk::F10 && (mods & Qt::ShiftModifier)) m_dlg->OnContextMenu(Point{-1, -1});
        if (key.code == vk::F4 && (mods & Qt::AltModifier)) close();
        return;
    }
    if (key.route == VirtualKey::None) return;
    const unsigned code = key.code;
    if (m_dlg->PreTranslateMessage(code)) {
        if (code == vk::RETURN || (code == vk::ESCAPE && m_dlg->OnCancel())) close();
        return;
    }
    m_dlg->OnKeyDown(code, event->isAutoRepeat() ? 2 : 1, 0);
}

Point ViewerWindow::ClientPoint(const QPointF& logical) const {
    const qreal ratio = devicePixelRatioF();
    return Point{static_cast<int>(logical.x() * ratio), static_cast<int>(logical.y() * ratio)};
}

void ViewerWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    makeCurrent();
    FollowScaleFactor();
    const unsigned flags = (event->modifiers() & Qt::ControlModifier) ? kMouseControl : 0;
    m_dlg->OnLButtonDown(flags, ClientPoint(event->position()));
}

void ViewerWindow::mouseMoveEvent(QMouseEvent* event) {
    makeCurrent();
    m_dlg->OnMouseMove(0, ClientPoint(event->position()));
}

void ViewerWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    makeCurrent();
    m_dlg->OnLButtonUp(0, ClientPoint(event->position()));
}

void ViewerWindow::wheelEvent(QWheelEvent* event) {
    // Eighths of a degree, 120 a notch, as the viewer counts them; a wheel turned
    // sideways does not zoom.
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    event->accept();
    makeCurrent();
    m_dlg->OnMouseWheel(0, delta, ClientPoint(event->position()));
}

void ViewerWindow::contextMenuEvent(QContextMenuEvent* event) {
    makeCurrent();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        m_dlg->OnContextMenu(Point{-1, -1});
    } else {
        m_dlg->OnContextMenu(Point{event->globalPos().x(), event->globalPos().y()});
    }
}

void ViewerWindow::closeEvent(QCloseEvent* event) {
    if (!m_destroyed) {
        m_destroyed = true;
        m_timer.stop();
        makeCurrent();
        m_dlg->OnDestroy();
    }
    QOpenGLWidget::closeEvent(event);
}

void ViewerWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ViewerWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    makeCurrent();
    // A dropped file opens like one chosen in the open dialog.
    m_dlg->OpenChosenModel(urls.first().toLocalFile().toStdString());
}

void ViewerWindow::ShowWindowMenu() {
    if (m_aboutEntry.empty()) return;
    QMenu menu(this);
    QAction* about = menu.addAction(Q(m_aboutEntry));
    if (menu.exec(mapToGlobal(QPoint(0, 0))) == about) {
        makeCurrent();
        m_dlg->OnSysCommand(IDM_ABOUTBOX);
    }
}

// --- Platform ---

void ViewerWindow::MessageBox(const std::string& text, MsgIcon icon) {
    if (!m_onScreen) {
        m_pendingMessages.push_back({text, icon});
        return;
    }
    const BusyPause pause(m_busy);
    QMessageBox box(icon == MsgIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    Q(ProgramName()), Q(text), QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
    makeCurrent();
}

void ViewerWindow::ShowPendingMessages() {
    const std::vector<PendingMessage> pending = std::move(m_pendingMessages);
    m_pendingMessages.clear();
    for (const PendingMessage& message : pending) MessageBox(message.text, message.icon);
}

void ViewerWindow::SetWindowText(const std::string& title) { setWindowTitle(Q(title)); }
void ViewerWindow::Invalidate(bool) { update(); }

Rect ViewerWindow::GetClientRect() const {
    const qreal ratio = devicePixelRatioF();
    return Rect{0, 0, static_cast<int>(std::lround(width() * ratio)),
                static_cast<int>(std::lround(height() * ratio))};
}

Point ViewerWindow::ClientToScreen(Point p) const {
    const qreal ratio = devicePixelRatioF();
    const QPoint g =
        mapToGlobal(QPoint(static_cast<int>(p.x / ratio), static_cast<int>(p.y / ratio)));
    return Point{g.x(), g.y()};
}

double ViewerWindow::DevicePixelRatio() const { return devicePixelRatioF(); }

bool ViewerWindow::IsMinimised() const { return isMinimized(); }

WindowPlacement ViewerWindow::GetWindowPlacement() const {
    WindowPlacement p;
    // The frame's rectangle, as the stored position is applied to the frame.
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const QRect g = (normal.isValid() ? normal : geometry()).marginsAdded(FrameMargins());
    p.normalPosition = Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    p.showCmd = isMaximized() ? 3 : (isMinimized() ? 2 : 1);
    p.flags = 0;
    p.minPosition = Point{-1, -1};
    p.maxPosition = Point{-1, -1};
    return p;
}

void ViewerWindow::SetWindowPlacement(const WindowPlacement& placement) {
    const Rect& r = placement.normalPosition;
    QRect wanted(r.left, r.top, std::max(r.Width(), 100), std::max(r.Height(), 100));
    // A position that lies off every screen is moved onto the primary one.
    bool visible = false;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(wanted.adjusted(0, 0, -50, -50))) visible = true;
    if (!visible && QGuiApplication::primaryScreen())
        wanted.moveTopLeft(QGuiApplication::primaryScreen()->availableGeometry().topLeft() +
                           QPoint(10, 10));
    // A size larger than the screen is cut to the screen.
    QScreen* onScreen = QGuiApplication::screenAt(wanted.topLeft());
    if (!onScreen) onScreen = QGuiApplication::primaryScreen();
    // The frame, title bar included, is what must fit: the stored position is the
    // frame's (move places the frame of a window), and the client area is as much
    // smaller as the frame is thick.
    const QMargins frame = FrameMargins();
    if (onScreen) {
        // Before the window is framed its title bar is not known yet: room for a usual
        // one is kept.
        QRect available = onScreen->availableGeometry();
        if (frame.isNull()) available.setHeight(available.height() - kAssumedTitleBar);
        wanted = FitToScreen(wanted, available);
    }
    const QRect client = wanted.marginsRemoved(frame);
    resize(client.size());
    move(wanted.topLeft());
    // Before the window manager has framed the window, the client area goes there; the
    // frame is put in its place once it is known (PlaceFrame), or the window would
    // climb by its title bar at every start.
    m_framePosition = frame.isNull() ? std::optional<QPoint>(wanted.topLeft()) : std::nullopt;
    // A window stored minimised opens normally: it would otherwise start out of sight.
    if (placement.showCmd == 3) setWindowState(Qt::WindowMaximized);
}

void ViewerWindow::PlaceFrame() {
    // Until a window manager has framed the window, it stands where it was put: without
    // one, frame and client area are the same.
    if (!m_framePosition || FrameMargins().isNull()) return;
    const QPoint wanted = *m_framePosition;
    m_framePosition.reset();
    if (!isMaximized() && frameGeometry().topLeft() != wanted) move(wanted);
}

QMargins ViewerWindow::FrameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    if (!isVisible() || !outer.contains(inner)) return QMargins();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void ViewerWindow::ShowOverlayText(const std::string& text) {
    if (text.empty()) {
        m_overlay->hide();
        return;
    }
    m_overlay->setText(Q(text));
    m_overlay->adjustSize();
    m_overlay->move(8, 8);
    m_overlay->show();
}

void ViewerWindow::StartTimer(unsigned, unsigned milliseconds) { m_timer.start(milliseconds); }
void ViewerWindow::AddAboutEntry(const std::string& text) { m_aboutEntry = text; }

void ViewerWindow::SetBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::restoreOverrideCursor();
    }
    // The work that follows gives the event loop no turn: the window system is told now.
    FlushToWindowSystem();
}

bool ViewerWindow::SetupPixelFormat() {
    // The format was requested for every window before the application started.
    return context() != nullptr;
}

bool ViewerWindow::CreateGLContext() {
    if (!context() || !context()->isValid()) return false;
    makeCurrent();
    return true;
}

void ViewerWindow::DeleteGLContext() { doneCurrent(); }

std::optional<std::string> ViewerWindow::RunFileDialog(const FileDialogSpec& spec, bool save) {
    const BusyPause pause(m_busy);
    FileDialog dialog(isVisible() ? this : nullptr, spec, save);
    const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    dialog.hide();
    // A file chosen to open (a model, a texture) is read and the model compiled next:
    // the dialog leaves the screen first.
    if (ok && !save && isVisible()) ShowWithoutModel();
    makeCurrent();
    if (!ok) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> ViewerWindow::OpenFileDialog(const FileDialogSpec& spec) {
    return RunFileDialog(spec, false);
}

std::optional<std::string> ViewerWindow::SaveFileDialog(const FileDialogSpec& spec) {
    return RunFileDialog(spec, true);
}

std::optional<Rgb> ViewerWindow::ChooseColour(Rgb initial) {
    const BusyPause pause(m_busy);
    const QColor colour = QColorDialog::getColor(QColor(initial.r, initial.g, initial.b),
                                                 isVisible() ? this : nullptr);
    makeCurrent();
    if (!colour.isValid()) return std::nullopt;
    return Rgb{colour.red(), colour.green(), colour.blue()};
}

std::unique_ptr<PrintJob> ViewerWindow::PrintDialog() {
    const BusyPause pause(m_busy);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setFromTo(1, 1);
    QPrintDialog dialog(printer.get(), isVisible() ? this : nullptr);
    dialog.setMinMax(1, 1);
    const bool ok = dialog.exec() == QDialog::Accepted;
    makeCurrent();
    if (!ok) return nullptr;
    return std::make_unique<QtPrintJob>(std::move(printer));
}

void ViewerWindow::ShowAboutBox(const std::string& infoText) {
    const BusyPause pause(m_busy);
    QDialog dialog(isVisible() ? this : nullptr);
    dialog.setWindowTitle(CAboutDlg::kCaption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(windowIcon().pixmap(32, 32));
    top->addWidget(icon);
    top->addWidget(new QLabel(CAboutDlg::kProductLine));
    top->addStretch();
    layout->addLayout(top);
    auto* info = new QLabel(Q(infoText));
    info->setTextFormat(Qt::PlainText);
    info->setObjectName("info");
    layout->addWidget(info);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons, 0, Qt::AlignCenter);
    dialog.exec();
    makeCurrent();
}

int ViewerWindow::TrackPopupMenu(const MenuItem& popup, Point screenPoint) {
    const BusyPause pause(m_busy);
    QMenu menu(this);
    FillPopupMenu(menu, popup);
    QAction* chosen = menu.exec(QPoint(screenPoint.x, screenPoint.y));
    makeCurrent();
    return chosen ? chosen->data().toInt() : 0;
}

bool ViewerWindow::CaptureClient(ScreenPicture& picture) {
    QImage image = grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    makeCurrent();
    if (image.isNull()) return false;
    picture.width = image.width();
    picture.height = image.height();
    const size_t row = static_cast<size_t>(picture.width) * 4;
    picture.bgra.resize(row * picture.height);
    // Format_RGB32 holds 0xffRRGGBB words: blue, green, red, 0xff in memory.
    for (int y = 0; y < picture.height; ++y) {
        uint8_t* dst = &picture.bgra[(picture.height - 1 - y) * row];
        std::memcpy(dst, image.constScanLine(y), row);
        for (size_t i = 3; i < row; i += 4) dst[i] = 0;
    }
    return true;
}

std::string ViewerWindow::ExecutablePath() const {
    return QCoreApplication::applicationFilePath().toStdString();
}

// The folder of private-profile files: $XDG_CONFIG_HOME, else $HOME/.config.
std::string ViewerWindow::ProfileFolder() const {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config";
}

// The Wine prefix: $WINEPREFIX, else $HOME/.wine, as Wine itself chooses it.
std::string ViewerWindow::WinePrefix() const {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix) return prefix;
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/.wine" : std::string();
}

// The desktop's folder of that kind where it exists, else the documents folder, else home.
std::string ViewerWindow::UserFolderPath(UserFolder kind) const {
    QList<QStandardPaths::StandardLocation> wanted{QStandardPaths::DocumentsLocation,
                                                   QStandardPaths::HomeLocation};
    if (kind == UserFolder::Pictures) wanted.prepend(QStandardPaths::PicturesLocation);
    for (const QStandardPaths::StandardLocation location : wanted) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder.toStdString();
    }
    return {};
}

Rgb ViewerWindow::ButtonFaceColour() const {
    const QColor c = QApplication::palette().color(QPalette::Button);
    return Rgb{c.red(), c.green(), c.blue()};
}

}  // namespace orx
