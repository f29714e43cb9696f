#pragma once
// The viewer's texture image: 24-bit pixels in rows padded to 4 bytes.
#include <cstdint>
#include <string>

#include "image/DibTypes.h"

namespace orx {

class CTexture {
public:
    CTexture();
    virtual ~CTexture();
    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    void Clear();
    static int32_t RowBytesFor(uint32_t width, uint32_t bitsPerPixel);
    void UpdateRowBytes();
    void MakeHeader();
    bool Alloc(uint32_t width, uint32_t height, uint32_t bitsPerPixel);
    bool ReadFile(const std::string& name, int32_t rawWidth, int32_t rawHeight, int32_t rawBits);
    bool ReadBmp(const std::string& name);
    bool ReadRaw(const std::string& name, int32_t width, int32_t height, int32_t bitsPerPixel);
    bool ReadJpeg(const std::string& name);
    bool HasImage() const;
    bool SwapRedBlue();

    uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    std::string fileName;
    BITMAPINFOHEADER infoHeader{};
    int32_t rowBytes = 0;
};

}  // namespace orx
