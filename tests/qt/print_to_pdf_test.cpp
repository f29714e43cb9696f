// Printing the picture through Qt's printer: an 800 x 600 window on a 600-dpi page
// without margins spans the page width and keeps its proportions. The page is a PDF,
// rasterised by pdftoppm and measured.
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "image/WindowCapture.h"
#include "platform/qt/QtPrintJob.h"

namespace {

int failures = 0;
int checks = 0;
void Check(bool ok, const char* what) {
    ++checks;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

// The printing steps of the viewer's print command, on a given job.
void PrintCapture(orx::CWindowCapture& capture, orx::PrintJob& job, int w, int h) {
    job.StartDoc("test");
    job.StartPage();
    const int horzRes = job.GetDeviceCaps(orx::HORZRES);
    const int dpiX = job.GetDeviceCaps(orx::LOGPIXELSX);
    const int dpiY = job.GetDeviceCaps(orx::LOGPIXELSY);
    const int printedHeight =
        static_cast<int>(static_cast<double>(h) * dpiY * horzRes / (static_cast<double>(w) * dpiX));
    capture.Draw(job, orx::Rect{0, 0, horzRes, printedHeight}, orx::Rect{0, 0, w, h});
    job.EndPage();
    job.EndDoc();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");

    // A red window picture, 800 x 600.
    orx::ScreenPicture picture;
    picture.width = 800;
    picture.height = 600;
    picture.bgra.resize(800 * 600 * 4);
    for (size_t i = 0; i < picture.bgra.size(); i += 4) {
        picture.bgra[i] = 0;
        picture.bgra[i + 1] = 0;
        picture.bgra[i + 2] = 255;
        picture.bgra[i + 3] = 0;
    }
    orx::CWindowCapture capture;
    Check(capture.BuildDib(picture, 800, 600, 32) != nullptr, "capture built");

    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    printer->setResolution(600);
    printer->setPageSize(QPageSize(QSizeF(8, 10), QPageSize::Inch));
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
    orx::QtPrintJob job(std::move(printer));
    Check(job.GetDeviceCaps(orx::HORZRES) == 4800, "printable width 4800 printer pixels");
    Check(job.GetDeviceCaps(orx::LOGPIXELSX) == 600 && job.GetDeviceCaps(orx::LOGPIXELSY) == 600,
          "600 dpi");
    PrintCapture(capture, job, 800, 600);

    // Rasterise at 60 dpi: the page is 480 x 600 pixels, the picture 480 x 360.
    const QString png = dir.filePath("page");
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
