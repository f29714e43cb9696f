// Printing the picture through Qt's printer: the viewer's print command prints an
// 800 x 600 window on a 1200-dpi page without margins (the height on paper takes more
// than 32 bits on the way); the picture spans the page width and keeps its proportions.
// The page is a PDF, rasterised by pdftoppm and measured.
#include <GL/gl.h>

#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <cstdio>
#include <memory>

#include "ViewerRig.h"
#include "platform/qt/QtPrintJob.h"

namespace {

int failures = 0;
int checks = 0;
void Check(bool ok, const char* what) {
    ++checks;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // A viewer window of 800 x 600 with a profile folder of its own, following a model
    // and then showing plain red.
    orx::test::ViewerRig rig(800, 600);
    rig.StartFollowing("a3d.gl");
    Check(Probe(*rig.dlg).m_hRC != nullptr, "window context");
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const QString pdf = QString::fromStdString(rig.dir.File("page.pdf"));

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    printer->setResolution(1200);
    printer->setPageSize(QPageSize(QSizeF(8, 10), QPageSize::Inch));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
    auto job = std::make_shared<orx::QtPrintJob>(std::move(printer));
    Check(job->GetDeviceCaps(orx::HORZRES) == 9600, "printable width 9600 printer pixels");
    Check(
        job->GetDeviceCaps(orx::LOGPIXELSX) == 1200 && job->GetDeviceCaps(orx::LOGPIXELSY) == 1200,
        "1200 dpi");
    rig.platform.printAnswers.push_back(job);
    rig.Key('D');
    Check(rig.Messages().empty(), "no message");

    // Rasterise at 60 dpi: the page is 480 x 600 pixels, the picture 480 x 360.
    const QString png = QString::fromStdString(rig.dir.File("page"));
    const int rc = QProcess::execute("pdftoppm", {"-r", "60", "-png", "-singlefile", pdf, png});
    Check(rc == 0, "pdftoppm ran");
    QImage page(png + ".png");
    Check(page.width() == 480 && page.height() == 600, "page size");
    int minX = page.width(), maxX = -1, minY = page.height(), maxY = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            if (qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
        }
    std::printf("red area: x %d..%d, y %d..%d\n", minX, maxX, minY, maxY);
    Check(minX <= 1 && maxX >= page.width() - 2, "the picture spans the printable width");
    Check(minY <= 1 && std::abs((maxY + 1) - 360) <= 2, "the picture keeps its proportions");
    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures ? 1 : 0;
}
