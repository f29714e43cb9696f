#pragma once
// Rows and pixels of packed device-independent bitmaps: one home for the row size
// and for decoding a pixel of any uncompressed depth.
#include <cstdint>

#include "image/DibTypes.h"

namespace orx {

// Bytes of one row of `width` pixels of `bitCount` bits, padded to 4 bytes.
inline uint64_t DibRowBytes(uint64_t width, uint64_t bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

// Red, green and blue of pixel x of a row of a bitmap with 1, 4, 8, 16 (5-5-5),
// 24 or 32 bits per pixel; the depths up to 8 index the colour table.
void DibPixelRgb(const BITMAPINFOHEADER& header, const RGBQUAD* colours, const uint8_t* row,
                 uint64_t x, uint8_t* rgb);

}  // namespace orx
