#pragma once
// Where a packed device-independent bitmap is drawn: a printer page (or any other
// device with GDI's drawing rules).
#include <string>

#include "image/DibTypes.h"

namespace orx {

// Something a packed device-independent bitmap can be drawn on: the window or a
// printer page. Both calls behave as their GDI namesakes and return the number of
// scan lines drawn (0 on failure).
class DrawTarget {
public:
    virtual ~DrawTarget() = default;
    virtual int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                                  unsigned startScan, unsigned scanLines, const void* bits,
                                  const BITMAPINFO* info) = 0;
    virtual int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                              int ySrc, int srcWidth, int srcHeight, const void* bits,
                              const BITMAPINFO* info) = 0;
};

// Device capability indices as the printing code reads them.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// A printer chosen in the print dialog, ready for one document.
class PrintJob : public DrawTarget {
public:
    virtual int StartDoc(const std::string& documentName) = 0;
    virtual int StartPage() = 0;
    virtual int EndPage() = 0;
    virtual int EndDoc() = 0;
    virtual int GetDeviceCaps(int index) = 0;
};

}  // namespace orx
