// Packed bitmaps drawn on a page in memory, with the rules of GDI's SetDIBitsToDevice and
// StretchDIBits: a bottom-up bitmap has its origin in the lower-left corner, a top-down one
// in the upper-left corner; what falls outside the page or the bitmap is not drawn.
#include "MemoryDrawTarget.h"

#include <algorithm>
#include <cstdlib>

#include "image/Dib.h"

namespace orx {

namespace {

// Read access to the pixels of an uncompressed packed bitmap.
class DibReader {
public:
    DibReader(const void* bits, const BITMAPINFO* info) {
        if (!bits || !info) return;
        const BITMAPINFOHEADER& h = info->bmiHeader;
        if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return;
        switch (h.biBitCount) {
            case 1:
            case 4:
            case 8:
            case 16:
            case 24:
            case 32: break;
            default: return;
        }
        m_bits = static_cast<const uint8_t*>(bits);
        m_colours = info->bmiColors;
        m_bitCount = h.biBitCount;
        m_width = h.biWidth;
        m_height = std::abs(static_cast<long long>(h.biHeight));
        m_topDown = h.biHeight < 0;
        m_stride = static_cast<long long>(DibRowBytes(uint64_t(m_width), m_bitCount));
        m_valid = true;
    }
    bool Valid() const { return m_valid; }
    long long Width() const { return m_width; }
    long long Height() const { return m_height; }
    bool TopDown() const { return m_topDown; }

    // Pixel in column x of the row stored at position row (0 = first row in memory).
    uint32_t Pixel(long long x, long long row) const {
        const uint8_t* line = m_bits + row * m_stride;
        uint8_t rgb[3];
        BITMAPINFOHEADER header{};
        header.biBitCount = static_cast<uint16_t>(m_bitCount);
        DibPixelRgb(header, m_colours, line, static_cast<uint64_t>(x), rgb);
        return (uint32_t(rgb[0]) << 16) | (uint32_t(rgb[1]) << 8) | rgb[2];
    }

    // Pixel in column x of row y counted from the picture's top.
    uint32_t PixelFromTop(long long x, long long y) const {
        return Pixel(x, m_topDown ? y : m_height - 1 - y);
    }

private:
    const uint8_t* m_bits = nullptr;
    const RGBQUAD* m_colours = nullptr;
    unsigned m_bitCount = 0;
    long long m_width = 0;
    long long m_height = 0;
    long long m_stride = 0;
    bool m_topDown = false;
    bool m_valid = false;
};

// A negative extent mirrors: the span is turned into the same one with a positive
// extent from its other end. True when it was mirrored.
bool Unmirror(long long& position, long long& extent) {
    if (extent >= 0) return false;
    position += extent;
    extent = -extent;
    return true;
}

}  // namespace

MemoryDrawTarget::MemoryDrawTarget(int width, int height) { Resize(width, height); }

void MemoryDrawTarget::Resize(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(static_cast<size_t>(m_width) * m_height, 0xFFFFFF);
}

uint32_t MemoryDrawTarget::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

int MemoryDrawTarget::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc,
                                        int ySrc, unsigned startScan, unsigned scanLines,
                                        const void* bits, const BITMAPINFO* info) {
    DibReader dib(bits, info);
    if (!dib.Valid() || width <= 0 || height <= 0 || scanLines == 0) return 0;
    lastCall = Call::SetDIBits;
    lastDest = Rect{xDest, yDest, xDest + width, yDest + height};
    lastSrc = Rect{xSrc, ySrc, xSrc + width, ySrc + height};

    const long long dibHeight = dib.Height();
    long long lines = scanLines;
    long long firstLine = startScan;  // first scan line that `bits` holds, from the bottom
    if (dib.TopDown()) {
        // A top-down bitmap is always passed whole.
        firstLine = 0;
        lines = std::min(lines, dibHeight);
    } else {
        if (firstLine >= dibHeight) return 0;
        lines = std::min(lines, dibHeight - firstLine);
    }

    for (int j = 0; j < height; ++j) {
        const long long py = static_cast<long long>(yDest) + j;
        if (py < 0 || py >= m_height) continue;
        // Source row of this destination row, as a position in the supplied lines.
        long long row;
        if (dib.TopDown()) {
            row = static_cast<long long>(ySrc) + j;
        } else {
            // Scan lines count from the bottom; the band in `bits` starts at firstLine.
            const long long fromBottom = static_cast<long long>(ySrc) + height - 1 - j;
            row = fromBottom - firstLine;
        }
        if (row < 0 || row >= lines) continue;
        for (int i = 0; i < width; ++i) {
            const long long px = static_cast<long long>(xDest) + i;
            const long long sx = static_cast<long long>(xSrc) + i;
            if (px < 0 || px >= m_width || sx < 0 || sx >= dib.Width()) continue;
            m_pixels[static_cast<size_t>(py) * m_width + px] = dib.Pixel(sx, row);
        }
    }
    return static_cast<int>(lines);
}

int MemoryDrawTarget::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                                    int ySrc, int srcWidth, int srcHeight, const void* bits,
                                    const BITMAPINFO* info) {
    DibReader dib(bits, info);
    if (!dib.Valid() || destWidth == 0 || destHeight == 0 || srcWidth == 0 || srcHeight == 0) {
        return 0;
    }
    lastCall = Call::Stretch;
    lastDest = Rect{xDest, yDest, xDest + destWidth, yDest + destHeight};
    lastSrc = Rect{xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight};

    // Negative extents mirror; bring both rectangles to positive extents and keep the flips.
    long long dx = xDest, dy = yDest, dw = destWidth, dh = destHeight;
    long long sx = xSrc, sy = ySrc, sw = srcWidth, sh = srcHeight;
    // A mirror in both rectangles cancels out.
    const bool flipX = Unmirror(dx, dw) != Unmirror(sx, sw);
    const bool flipY = Unmirror(dy, dh) != Unmirror(sy, sh);
    // The source's top row counted from the picture's top: a bottom-up bitmap measures ySrc
    // from its lower-left corner.
    const long long srcTop = dib.TopDown() ? sy : dib.Height() - sy - sh;

    const long long x0 = std::max<long long>(dx, 0), x1 = std::min<long long>(dx + dw, m_width);
    const long long y0 = std::max<long long>(dy, 0), y1 = std::min<long long>(dy + dh, m_height);
    for (long long py = y0; py < y1; ++py) {
        long long j = ((py - dy) * 2 + 1) * sh / (dh * 2);  // nearest source row
        if (flipY) j = sh - 1 - j;
        const long long srow = srcTop + j;
        if (srow < 0 || srow >= dib.Height()) continue;
        for (long long px = x0; px < x1; ++px) {
            long long i = ((px - dx) * 2 + 1) * sw / (dw * 2);
            if (flipX) i = sw - 1 - i;
            const long long scol = sx + i;
            if (scol < 0 || scol >= dib.Width()) continue;
            m_pixels[static_cast<size_t>(py) * m_width + px] = dib.PixelFromTop(scol, srow);
        }
    }
    return static_cast<int>(sh);
}

MemoryPrintJob::MemoryPrintJob(int h, int v, int dx, int dy)
    : page(h, v), horzRes(h), vertRes(v), dpiX(dx), dpiY(dy) {}

int MemoryPrintJob::StartDoc(const std::string& name) {
    documentName = name;
    calls.push_back("StartDoc");
    return 1;
}

int MemoryPrintJob::StartPage() {
    calls.push_back("StartPage");
    return 1;
}

int MemoryPrintJob::EndPage() {
    calls.push_back("EndPage");
    return 1;
}

int MemoryPrintJob::EndDoc() {
    calls.push_back("EndDoc");
    return 1;
}

int MemoryPrintJob::GetDeviceCaps(int index) {
    switch (index) {
        case HORZRES: return horzRes;
        case VERTRES: return vertRes;
        case LOGPIXELSX: return dpiX;
        case LOGPIXELSY: return dpiY;
        default: return 0;
    }
}

int MemoryPrintJob::SetDIBitsToDevice(int xDest, int yDest, int width, int height, int xSrc,
                                      int ySrc, unsigned startScan, unsigned scanLines,
                                      const void* bits, const BITMAPINFO* info) {
    calls.push_back("Draw");
    return page.SetDIBitsToDevice(xDest, yDest, width, height, xSrc, ySrc, startScan, scanLines,
                                  bits, info);
}

int MemoryPrintJob::StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                                  int ySrc, int srcWidth, int srcHeight, const void* bits,
                                  const BITMAPINFO* info) {
    calls.push_back("Draw");
    return page.StretchDIBits(xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight,
                              bits, info);
}

}  // namespace orx
