#pragma once
// PNG files from packed 8-bit pixels, on the system's libpng.
#include <cstdint>
#include <string>

namespace orx {

class PngFile {
public:
    // Writes a picture of RGB (3 bytes a pixel) or, with `alpha`, RGBA (4 bytes) pixels,
    // rows of width * 3 or width * 4 bytes without padding, top row first. The file is
    // replaced only when the whole picture was written; on failure `error` says why.
    static bool Write(const std::string& path, const uint8_t* pixels, uint32_t width,
                      uint32_t height, bool alpha, std::string& error);
};

}  // namespace orx
