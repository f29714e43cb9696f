#pragma once
// The picture of the window's client area as a packed device-independent bitmap, which draws
// itself on a window or printer page and saves itself as a BMP or JPEG file.
#include <cstdint>
#include <string>
#include <vector>

#include "image/DibTypes.h"
#include "image/DrawTarget.h"
#include "platform/Platform.h"

namespace orx {

// Logical palette of a palette-based display. The displays here are true colour, so it is
// never filled; drawing would select it as background palette if it were.
struct CapturePalette {
    std::vector<RGBQUAD> entries;
    bool HasPalette() const { return !entries.empty(); }
};

class CWindowCapture {
public:
    CWindowCapture() = default;
    ~CWindowCapture();
    CWindowCapture(const CWindowCapture&) = delete;
    CWindowCapture& operator=(const CWindowCapture&) = delete;

    void Release();
    // Copies rect's size of the client area, from its top-left corner, into a 32-bit bitmap.
    bool Capture(Platform& platform, const Rect& rect);
    // Builds the packed bitmap of the top-left w x h pixels of a picture read back from the
    // window, at 16, 24 or 32 bits per pixel; replaces a block already held. Null (and the
    // capture empty) when the size is unusable or the memory cannot be had.
    uint8_t* BuildDib(const ScreenPicture& picture, int w, int h, uint16_t bitCount,
                      uint32_t compression = BI_RGB);
    int DibHeight() const;
    int Draw(DrawTarget& target, const Rect& dest, const Rect& src);
    // ".bmp", ".jpg" or ".png" by the lower-cased last four characters of the path.
    bool Save(const std::string& path);
    bool WriteBmp(const std::string& path);
    bool WriteJpeg(const std::string& path);
    // A PNG file through the same writer as the command-line renderer's; a failure
    // shows its reason.
    bool WritePng(const std::string& path);

    // The picture as packed RGB rows, top row first; false (and nothing held) when the
    // capture is empty, of an unusable form, or the memory cannot be had.
    bool RgbRows(std::vector<uint8_t>& rgb, uint32_t& w, uint32_t& rows) const;

    // Length of the packed bitmap: header, colour table and pixel rows.
    size_t PackedSize() const;

    uint8_t* dibBlock = nullptr;
    BITMAPINFO* info = nullptr;
    uint8_t* bits = nullptr;
    CapturePalette palette;
    int32_t width = 0;
    int32_t height = 0;

    // Largest pixel data a capture may hold (1 GiB).
    static constexpr uint64_t kMaxBytes = uint64_t(1) << 30;
};

}  // namespace orx
