#pragma once
// A printer page as a drawing target for packed bitmaps.
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <memory>

#include "image/DrawTarget.h"
#include "platform/Platform.h"

namespace orx {

// The picture of a packed bitmap (24 or 32 bits, bottom-up or top-down) as a QImage.
QImage DibToImage(const BITMAPINFO* info, const void* bits);

class QtPrintJob : public PrintJob {
public:
    explicit QtPrintJob(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer)) {}
    ~QtPrintJob() override;
    int StartDoc(const std::string& documentName) override;
    int StartPage() override;
    int EndPage() override;
    int EndDoc() override;
    int GetDeviceCaps(int index) override;
    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          unsigned startScan, unsigned scanLines, const void* bits,
                          const BITMAPINFO* info) override;
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const void* bits,
                      const BITMAPINFO* info) override;

private:
    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    bool m_pageUsed = false;
};

}  // namespace orx
