// orx-view: the viewer in a window of its own. The command line is ignored.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSurfaceFormat>
#include <clocale>

#include "platform/qt/Dialogs.h"
#include "platform/qt/ViewerWindow.h"

namespace {

// The application icon: a small cabinet in wood colours.
QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 16.0;
        p.setPen(QPen(QColor(70, 40, 20), s * 0.8));
        p.setBrush(QColor(196, 132, 72));
        p.drawRect(QRectF(3 * s, 1.5 * s, 10 * s, 13 * s));
        p.drawLine(QPointF(8 * s, 1.5 * s), QPointF(8 * s, 14.5 * s));
        p.setBrush(QColor(70, 40, 20));
        p.drawEllipse(QPointF(6.8 * s, 8 * s), 0.6 * s, 0.6 * s);
        p.drawEllipse(QPointF(9.2 * s, 8 * s), 0.6 * s, 0.6 * s);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
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

    QApplication app(argc, argv);
    // Without the translation the standard dialogs stay English; the program runs all the same.
    orx::InstallGermanTranslation(app);
    // Model files and settings use a point as decimal mark, whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    orx::SetProgramName(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString());
    app.setWindowIcon(ApplicationIcon());

    orx::ViewerWindow window;
    window.setWindowIcon(ApplicationIcon());
    window.show();
    return app.exec();
}
