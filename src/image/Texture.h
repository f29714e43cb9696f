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
    // Loads by the lower-cased last four characters of the name: ".bmp", ".raw", ".jpg".
    // Every failure shows its message and leaves the texture empty. Messages that name
    // the file name it as `shownName` when one is given (a chosen file by its name alone).
    bool ReadFile(const std::string& name, int32_t rawWidth, int32_t rawHeight, int32_t rawBits,
                  const std::string& shownName = {});
    // Uncompressed 24-bit BMP. The data size follows from width and height; top-down files
    // are stored bottom row first like the others; bfOffBits is honoured past the header.
    bool ReadBmp(const std::string& name);
    // Headerless pixel rows without padding. With a size or depth of 0 or less (the viewer
    // passes -1) the file is taken as a square 24-bit picture whose side follows from its
    // length; a length that fits no such square gives "Error during reading image".
    bool ReadRaw(const std::string& name, int32_t width, int32_t height, int32_t bitsPerPixel);
    // JPEG through JpegFile; the packed rows are copied into rowBytes-spaced rows.
    bool ReadJpeg(const std::string& name, const std::string& shownName = {});
    bool HasImage() const;
    bool SwapRedBlue();
    // Counts the changes of the image (loads, clears, colour swaps): an image with the
    // same generation is the same image.
    uint64_t Generation() const { return m_generation; }

    // Largest pixel buffer a texture may take (1 GiB, far above any texture size OpenGL
    // accepts); a bigger or overflowing size takes the allocation-failure path.
    static constexpr uint64_t kMaxImageBytes = uint64_t(1) << 30;

    uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    std::string fileName;
    BITMAPINFOHEADER infoHeader{};
    int32_t rowBytes = 0;

private:
    uint64_t m_generation = 0;
    // A zeroed buffer of `bytes` bytes, or null when it is too big or cannot be had.
    static uint8_t* AllocPixels(uint64_t bytes);
};

}  // namespace orx
