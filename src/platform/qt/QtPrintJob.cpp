#include "platform/qt/QtPrintJob.h"

#include <cstring>

#include "image/Dib.h"

namespace orx {

QImage DibToImage(const BITMAPINFO* info, const void* bits) {
    if (!info || !bits) return {};
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    if ((bpp != 24 && bpp != 32) || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0)
        return {};
    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const size_t stride = DibRowBytes(static_cast<uint64_t>(width), static_cast<uint64_t>(bpp));
    QImage image(width, height, QImage::Format_RGB32);
    const uint8_t* src = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        const int srcRow = h.biHeight > 0 ? height - 1 - y : y;
        const uint8_t* s = src + srcRow * stride;
        QRgb* d = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, s += bpp / 8) d[x] = qRgb(s[2], s[1], s[0]);
    }
    return image;
}

QtPrintJob::~QtPrintJob() {
    if (m_painter.isActive()) m_painter.end();
}

int QtPrintJob::StartDoc(const std::string& documentName) {
    m_printer->setDocName(QString::fromStdString(documentName));
    return m_painter.begin(m_printer.get()) ? 1 : 0;
}

int QtPrintJob::StartPage() {
    // The painter starts on the first page; later pages need a new one.
    if (m_pageUsed && m_painter.isActive()) m_printer->newPage();
    m_pageUsed = true;
    return m_painter.isActive() ? 1 : 0;
}

int QtPrintJob::EndPage() { return m_painter.isActive() ? 1 : 0; }

int QtPrintJob::EndDoc() {
    if (!m_painter.isActive()) return 0;
    return m_painter.end() ? 1 : 0;
}

int QtPrintJob::GetDeviceCaps(int index) {
    const int dpi = m_printer->resolution();
    switch (index) {
        case HORZRES: return m_printer->pageLayout().paintRectPixels(dpi).width();
        case VERTRES: return m_printer->pageLayout().paintRectPixels(dpi).height();
        case LOGPIXELSX: return m_printer->logicalDpiX();
        case LOGPIXELSY: return m_printer->logicalDpiY();
        default: return 0;
    }
}

int QtPrintJob::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                                  unsigned, unsigned scanLines, const void* bits,
                                  const BITMAPINFO* info) {
    const QImage image = DibToImage(info, bits);
    if (image.isNull() || !m_painter.isActive()) return 0;
    // ySrc counts from the bottom of a bottom-up bitmap.
    const int top = info->bmiHeader.biHeight > 0 ? image.height() - ySrc - height : ySrc;
    m_painter.drawImage(QPoint(xDest, yDest), image, QRect(xSrc, top, width, height));
    return static_cast<int>(scanLines);
}

int QtPrintJob::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                              int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BITMAPINFO* info) {
    const QImage image = DibToImage(info, bits);
    if (image.isNull() || !m_painter.isActive()) return 0;
    const int top = info->bmiHeader.biHeight > 0 ? image.height() - ySrc - srcHeight : ySrc;
    m_painter.drawImage(QRect(xDest, yDest, destWidth, destHeight), image,
                        QRect(xSrc, top, srcWidth, srcHeight));
    return srcHeight;
}

}  // namespace orx
