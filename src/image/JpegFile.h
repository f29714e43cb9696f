#pragma once
// Bridge between JPEG files and packed RGB buffers (3 bytes a pixel, rows of width * 3
// bytes without padding, top row first), on the system's libjpeg.
#include <cstdint>
#include <string>

struct jpeg_common_struct;

namespace orx {

class JpegFile {
public:
    JpegFile() = default;
    ~JpegFile() = default;

    // Decodes a JPEG file into a new buffer of red, green, blue pixels, which the caller
    // releases with delete[]. Null when the file cannot be opened (with a message), when
    // the buffer cannot be allocated (with a message) or when the data is corrupt or of an
    // unsupported kind (silently). Width and height are 0 unless a buffer was allocated.
    // Grey images come out with red = green = blue; four-component (CMYK, YCCK) images are
    // converted to RGB. The message names the file as `shownName` when one is given.
    static uint8_t* DecodeToRgb(const std::string& name, uint32_t& width, uint32_t& height,
                                const std::string& shownName = {});

    // Encodes a buffer as a baseline JPEG file, in colour or in grey. The file is replaced
    // only when the whole picture was written.
    static bool EncodeFromRgb(const std::string& name, const uint8_t* buffer, uint32_t width,
                              uint32_t height, bool colour, int quality);

    // Exchanges the first and third byte of every pixel.
    static bool SwapRgbOrder(uint8_t* buffer, uint32_t width, uint32_t height);

    // Puts a decoded row into row `rowIndex` of a packed RGB buffer.
    static void CopyRgbRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex);
    static void ExpandGreyRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex);
    // Four components (cyan, magenta, yellow, black); `inverted` for Adobe's convention,
    // where 0 means full ink.
    static void ConvertCmykRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex,
                               bool inverted);

    // The codec's fatal-error hook: drops the message and returns to the running call's
    // recovery point.
    [[noreturn]] static void OnJpegError(jpeg_common_struct* cinfo);

    // Largest picture the decoder accepts (16384 x 16384); bigger ones take the
    // out-of-memory path rather than ask for gigabytes.
    static constexpr uint64_t kMaxPixels = uint64_t(1) << 28;
};

}  // namespace orx
