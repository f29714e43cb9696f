// orx-view: the viewer in a window of its own, optionally opening the model named on
// the command line.
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MemoryTuning.h"
#include "platform/qt/CommandLine.h"
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

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

}  // namespace

int main(int argc, char** argv) {
    // The command line is read before Qt starts: help, version and usage errors need no
    // display, and Qt's own options are not taken from it.
    const orx::CommandLine commandLine =
        orx::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), CurrentFolder());
    switch (commandLine.action) {
        case orx::CommandLine::Action::Help: std::fputs(orx::CommandLineUsage(), stdout); return 0;
        case orx::CommandLine::Action::Version:
            std::printf("%s\n", orx::VersionText().c_str());
            return 0;
        case orx::CommandLine::Action::Error:
            std::fprintf(stderr, "orx-view: %s\n", commandLine.error.c_str());
            std::fputs(orx::CommandLineUsage(), stderr);
            return 2;
        case orx::CommandLine::Action::Run: break;
    }

    orx::KeepFreedMemoryForReuse();
    orx::SetViewerSurfaceFormat();

    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // Without the translation the standard dialogs stay English; the program runs all the same.
    orx::InstallGermanTranslation(app);
    // Model files and settings use a point as decimal mark, whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    orx::SetProgramName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString());
    app.setWindowIcon(ApplicationIcon());

    orx::ViewerWindow window;
    if (!commandLine.modelPath.empty()) window.OpenAtStartUp(commandLine.modelPath);
    window.setWindowIcon(ApplicationIcon());
    window.show();
    return app.exec();
}
