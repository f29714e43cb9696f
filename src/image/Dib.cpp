#include "image/Dib.h"

#include <cstddef>

namespace orx {

void DibPixelRgb(const BITMAPINFOHEADER& h, const RGBQUAD* colours, const uint8_t* row, uint64_t x,
                 uint8_t* out) {
    switch (h.biBitCount) {
        case 32:
        case 24: {
            const uint8_t* p = row + size_t(x) * (h.biBitCount / 8);
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            return;
        }
        case 16: {  // 5-5-5, blue in the low bits; 5 bits widened to 8
            const unsigned v = unsigned(row[x * 2]) | (unsigned(row[x * 2 + 1]) << 8);
            const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
            out[0] = uint8_t((r << 3) | (r >> 2));
            out[1] = uint8_t((g << 3) | (g >> 2));
            out[2] = uint8_t((b << 3) | (b >> 2));
            return;
        }
        default: {  // 1, 4 or 8 bits: an index into the colour table, high bits first
            const size_t bit = size_t(x) * h.biBitCount;
            const unsigned shift = 8 - h.biBitCount - unsigned(bit % 8);
            const unsigned index = (row[bit / 8] >> shift) & ((1u << h.biBitCount) - 1);
            out[0] = colours[index].rgbRed;
            out[1] = colours[index].rgbGreen;
            out[2] = colours[index].rgbBlue;
            return;
        }
    }
}

}  // namespace orx
