#include "platform/qt/ViewerWindow.h"

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
#include <QVBoxLayout>
#include <QWindow>
#include <cstdlib>
#include <cstring>

#include "platform/qt/QtPrintJob.h"
#include "ui/About.h"

namespace orx {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// "A (*.x)|*.x|B (*.y)|*.y||" becomes the Qt filter list "A (*.x)", "B (*.y)".
QStringList QtFilters(const std::string& filter) {
    QStringList parts = Q(filter).split('|');
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString label = parts[i];
        if (!label.contains('(')) label += " (" + parts[i + 1].replace(';', ' ') + ")";
        result << label;
    }
    return result;
}

void AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItem::Separator) {
            menu->addSeparator();
        } else if (item.kind == MenuItem::Popup) {
            AddMenuItems(menu->addMenu(Q(item.text)), item.children);
        } else {
            QAction* action = menu->addAction(Q(item.text));
            action->setData(item.id);
        }
    }
}

}  // namespace

ViewerWindow::ViewerWindow() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    setWindowTitle("ORX-Soft 3D-Viewer");
    // The size of the window as it opens; the stored position is applied to it.
    resize(800, 600);
    m_dlg = std::make_unique<CViewerDlg>(*this);
    SetMessagePlatform(this);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
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

unsigned ViewerWindow::VirtualKeyFor(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 0x41 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? vk::NUMPAD0 + (key - Qt::Key_0) : 0x30 + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Space: return vk::SPACE;
        case Qt::Key_PageUp: return vk::PRIOR;
        case Qt::Key_PageDown: return vk::NEXT;
        case Qt::Key_End: return vk::END;
        case Qt::Key_Home: return vk::HOME;
        case Qt::Key_Left: return vk::LEFT;
        case Qt::Key_Up: return vk::UP;
        case Qt::Key_Right: return vk::RIGHT;
        case Qt::Key_Down: return vk::DOWN;
        case Qt::Key_Insert: return vk::INSERT;
        case Qt::Key_Delete: return vk::DELETE_;
        case Qt::Key_Clear: return keypad ? vk::NUMPAD5 : 0x0C;
        case Qt::Key_Plus: return keypad ? vk::ADD : 0xBB;
        case Qt::Key_Minus: return keypad ? vk::SUBTRACT : 0xBD;
        case Qt::Key_Asterisk: return keypad ? 0x6A : 0;
        case Qt::Key_Slash: return keypad ? 0x6F : 0xBF;
        case Qt::Key_Return:
        case Qt::Key_Enter: return vk::RETURN;
        case Qt::Key_Escape: return vk::ESCAPE;
        case Qt::Key_Menu: return vk::APPS;
        default: return 0;
    }
}

// --- events ---

void ViewerWindow::initializeGL() {
    if (m_created) return;
    m_created = true;
    m_dlg->OnCreate();
    m_dlg->OnInitDialog();
}

void ViewerWindow::resizeGL(int w, int h) {
    const qreal ratio = devicePixelRatioF();
    m_dlg->OnSize(0, static_cast<int>(w * ratio + 0.5), static_cast<int>(h * ratio + 0.5));
}

void ViewerWindow::paintGL() { m_dlg->OnPaint(); }

void ViewerWindow::Tick() {
    makeCurrent();
    m_dlg->OnTimer(0);
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    makeCurrent();
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Alt+Space opens the window's own menu; other Alt combinations are system keys.
    if (mods & Qt::AltModifier) {
        if (event->key() == Qt::Key_Space) ShowWindowMenu();
        return;
    }
    if (event->key() == Qt::Key_F10 && (mods & Qt::ShiftModifier)) {
        m_dlg->OnContextMenu(Point{-1, -1});
        return;
    }
    const unsigned code = VirtualKeyFor(event->key(), mods);
    if (code == 0) return;
    if (m_dlg->PreTranslateMessage(code)) {
        if (code == vk::RETURN || code == vk::ESCAPE) close();
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
    m_dlg->OnLButtonDown(0, ClientPoint(event->position()));
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
    QMessageBox box(icon == MsgIcon::Stop ? QMessageBox::Critical : QMessageBox::Warning,
                    Q(ProgramName()), Q(text), QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
    makeCurrent();
}

void ViewerWindow::SetWindowText(const std::string& title) { setWindowTitle(Q(title)); }
void ViewerWindow::Invalidate(bool) { update(); }

Rect ViewerWindow::GetClientRect() const {
    const qreal ratio = devicePixelRatioF();
    return Rect{0, 0, static_cast<int>(width() * ratio + 0.5),
                static_cast<int>(height() * ratio + 0.5)};
}

Point ViewerWindow::ClientToScreen(Point p) const {
    const qreal ratio = devicePixelRatioF();
    const QPoint g = mapToGlobal(QPoint(static_cast<int>(p.x / ratio), static_cast<int>(p.y / ratio)));
    return Point{g.x(), g.y()};
}

bool ViewerWindow::IsMinimised() const { return isMinimized(); }

WindowPlacement ViewerWindow::GetWindowPlacement() const {
    WindowPlacement p;
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const QRect g = normal.isValid() ? normal : geometry();
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
    setGeometry(wanted);
    // A window stored minimised opens normally: it would otherwise start out of sight.
    if (placement.showCmd == 3) setWindowState(Qt::WindowMaximized);
}

void ViewerWindow::StartTimer(unsigned, unsigned milliseconds) { m_timer.start(milliseconds); }
void ViewerWindow::AddAboutEntry(const std::string& text) { m_aboutEntry = text; }

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
    QFileDialog dialog(isVisible() ? this : nullptr);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtFilters(spec.filter));
    QString suffix = Q(spec.defaultExt);
    if (suffix.startsWith("*.")) suffix = suffix.mid(2);
    if (suffix.startsWith('.')) suffix = suffix.mid(1);
    if (!suffix.isEmpty() && !suffix.contains('*')) dialog.setDefaultSuffix(suffix);
    // Saving over an existing file is always confirmed: a picture is never replaced by
    // accident.
    dialog.setOption(QFileDialog::ReadOnly, false);
    const bool ok = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
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
    const QColor colour = QColorDialog::getColor(QColor(initial.r, initial.g, initial.b),
                                                 isVisible() ? this : nullptr);
    makeCurrent();
    if (!colour.isValid()) return std::nullopt;
    return Rgb{colour.red(), colour.green(), colour.blue()};
}

std::unique_ptr<PrintJob> ViewerWindow::PrintDialog() {
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
    QMenu menu(this);
    AddMenuItems(&menu, popup.children);
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

Rgb ViewerWindow::ButtonFaceColour() const {
    const QColor c = QApplication::palette().color(QPalette::Button);
    return Rgb{c.red(), c.green(), c.blue()};
}

}  // namespace orx
