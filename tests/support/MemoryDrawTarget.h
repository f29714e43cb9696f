#pragma once
// A drawing target in memory: a page of 32-bit pixels (blue, green, red, reserved),
// top row first, on which packed bitmaps are drawn with GDI's rules. It stands in
// for the window and for a printer page without a window system.
#include <cstdint>
#include <string>
#include <vector>

#include "image/DrawTarget.h"
#include "platform/Platform.h"

namespace orx {

class MemoryDrawTarget : public DrawTarget {
public:
    MemoryDrawTarget(int width = 0, int height = 0);
    void Resize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Pixel at (x, y), y counted from the top; 0xRRGGBB.
    uint32_t PixelAt(int x, int y) const;
    const std::vector<uint32_t>& Pixels() const { return m_pixels; }

    int SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc, int ySrc,
                          unsigned startScan, unsigned scanLines, const void* bits,
                          const BITMAPINFO* info) override;
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const void* bits,
                      const BITMAPINFO* info) override;

    // What the last call was, for tests.
    enum class Call { None, SetDIBits, Stretch };
    Call lastCall = Call::None;
    Rect lastDest{};
    Rect lastSrc{};

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint32_t> m_pixels;  // 0xRRGGBB, top row first
};

// A printer for tests: a page of the given size and resolution in memory, with a
// record of the document calls in their order.
class MemoryPrintJob : public PrintJob {
public:
    MemoryPrintJob(int horzRes, int vertRes, int dpiX, int dpiY);
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

    MemoryDrawTarget page;
    int horzRes, vertRes, dpiX, dpiY;
    std::string documentName;
    std::vector<std::string> calls;  // "StartDoc", "StartPage", "Draw", "EndPage", "EndDoc"
};

}  // namespace orx
