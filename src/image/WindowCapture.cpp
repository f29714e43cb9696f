// Capture of the window's picture, drawing it, and saving it as BMP, JPEG or PNG.
#include "image/WindowCapture.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "image/Dib.h"
#include "image/JpegFile.h"
#include "image/PngFile.h"
#include "platform/ReplacingFile.h"
#include "platform/Text.h"

namespace orx {

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

CWindowCapture::~CWindowCapture() {
    Release();
    palette.entries.clear();
}

void CWindowCapture::Release() {
    std::free(dibBlock);
    dibBlock = nullptr;
    info = nullptr;
    bits = nullptr;
}

bool CWindowCapture::Capture(Platform& platform, const Rect& rect) {
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    ScreenPicture picture;
    if (!platform.CaptureClient(picture)) {
        Release();
        width = height = 0;
        return false;
    }
    width = w;
    height = h;
    // Displays here are true colour: the picture comes at 32 bits and no palette is made.
    dibBlock = BuildDib(picture, w, h, 32, BI_RGB);
    return dibBlock != nullptr;
}

uint8_t* CWindowCapture::BuildDib(const ScreenPicture& picture, int w, int h, uint16_t bitCount,
                                  uint32_t compression) {
    Release();
    const bool usable = compression == BI_RGB && w > 0 && h > 0 &&
                        (bitCount == 16 || bitCount == 24 || bitCount == 32);
    const uint64_t stride = usable ? DibRowBytes(uint64_t(w), bitCount) : 0;
    const uint64_t imageSize = stride * uint64_t(usable ? h : 0);
    if (!usable || imageSize > kMaxBytes) {
        width = height = 0;
        return nullptr;
    }

    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = compression;
    header.biSizeImage = uint32_t(imageSize);
    const uint32_t colours = DibColours(header);  // 0 above 8 bits per pixel

    auto* block = static_cast<uint8_t*>(std::malloc(40 + colours * 4 + imageSize));
    if (!block) {
        width = height = 0;
        return nullptr;
    }
    std::memcpy(block, &header, sizeof header);
    dibBlock = block;
    info = reinterpret_cast<BITMAPINFO*>(block);
    bits = block + header.biSize + colours * 4;
    std::memset(bits, 0, imageSize);

    // The picture is bottom row first with rows of its own width; the bitmap's bottom row is
    // the picture's row h - 1 counted from the top. Parts outside the picture stay black.
    const int copyW = std::min(w, picture.width);
    const size_t pictureStride = size_t(std::max(picture.width, 0)) * 4;
    if (picture.bgra.size() < pictureStride * size_t(std::max(picture.height, 0))) return block;
    for (int y = 0; y < h; ++y) {  // y counted from the bitmap's bottom
        const int fromTop = h - 1 - y;
        if (fromTop >= picture.height) continue;
        const uint8_t* src =
            picture.bgra.data() + size_t(picture.height - 1 - fromTop) * pictureStride;
        uint8_t* dst = bits + size_t(y) * stride;
        for (int x = 0; x < copyW; ++x) {
            const uint8_t* s = src + size_t(x) * 4;
            if (bitCount == 32) {
                std::memcpy(dst + size_t(x) * 4, s, 4);
            } else if (bitCount == 24) {
                std::memcpy(dst + size_t(x) * 3, s, 3);
            } else {
                Put16(dst + size_t(x) * 2,
                      uint16_t(((s[2] >> 3) << 10) | ((s[1] >> 3) << 5) | (s[0] >> 3)));
            }
        }
    }
    return block;
}

int CWindowCapture::DibHeight() const { return info ? info->bmiHeader.biHeight : 0; }

int CWindowCapture::Draw(DrawTarget& target, const Rect& dest, const Rect& src) {
    if (!dibBlock) return 0;
    // A palette display would select `palette` as background palette here and stretch
    // colour-on-colour; true-colour targets need neither.
    if (dest.Width() == src.Width() && dest.Height() == src.Height()) {
        return target.SetDIBitsToDevice(dest.left, dest.top, dest.Width(), dest.Height(), src.left,
                                        DibHeight() - src.bottom, 0, unsigned(DibHeight()), bits,
                                        info);
    }
    return target.StretchDIBits(dest.left, dest.top, dest.Width(), dest.Height(), src.left, src.top,
                                src.Width(), src.Height(), bits, info);
}

size_t CWindowCapture::PackedSize() const {
    if (!info) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    return size_t(h.biSize) + DibColours(h) * 4 + h.biSizeImage;
}

bool CWindowCapture::Save(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == ".bmp") return WriteBmp(path);
    if (ext == ".jpg") return WriteJpeg(path);
    if (ext == ".png") return WritePng(path);
    ShowMessage("Extension unusable from " + path);
    return false;
}

bool CWindowCapture::WriteBmp(const std::string& path) {
    if (!dibBlock) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const size_t packed = PackedSize();
    uint8_t fileHeader[14];
    Put16(fileHeader, 0x4D42);
    Put32(fileHeader + 2, uint32_t(14 + packed));
    Put16(fileHeader + 6, 0);
    Put16(fileHeader + 8, 0);
    Put32(fileHeader + 10, uint32_t(14 + h.biSize + DibColours(h) * 4));

    ReplacingFile file;
    if (!file.Open(path)) return false;
    if (std::fwrite(fileHeader, 1, sizeof fileHeader, file.Stream()) != sizeof fileHeader ||
        std::fwrite(dibBlock, 1, packed, file.Stream()) != packed) {
        file.Discard();
        return false;
    }
    return file.Commit();
}

bool CWindowCapture::RgbRows(std::vector<uint8_t>& rgb, uint32_t& w, uint32_t& rows) const {
    rgb.clear();
    if (!dibBlock) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    // Any uncompressed depth is converted; a header that promises more rows than the block
    // holds is refused rather than read past.
    const bool depthOk = h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8 ||
                         h.biBitCount == 16 || h.biBitCount == 24 || h.biBitCount == 32;
    if (!depthOk || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biHeight == INT32_MIN) {
        return false;
    }
    w = uint32_t(h.biWidth);
    rows = uint32_t(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    const uint64_t stride = DibRowBytes(w, h.biBitCount);
    if (stride * rows > h.biSizeImage) return false;

    try {
        rgb.resize(size_t(w) * rows * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const auto* colours = reinterpret_cast<const RGBQUAD*>(dibBlock + h.biSize);
    for (uint32_t r = 0; r < rows; ++r) {
        // The buffer's first row is the picture's top row: the bitmap's last row when it is
        // stored bottom row first.
        const uint32_t source = h.biHeight > 0 ? rows - 1 - r : r;
        const uint8_t* line = bits + size_t(source) * stride;
        uint8_t* out = rgb.data() + size_t(r) * w * 3;
        for (uint32_t x = 0; x < w; ++x) DibPixelRgb(h, colours, line, x, out + size_t(x) * 3);
    }
    return true;
}

bool CWindowCapture::WriteJpeg(const std::string& path) {
    std::vector<uint8_t> rgb;
    uint32_t w = 0, rows = 0;
    if (!RgbRows(rgb, w, rows)) return false;
    return JpegFile::EncodeFromRgb(path, rgb.data(), w, rows, true, 100);
}

bool CWindowCapture::WritePng(const std::string& path) {
    std::vector<uint8_t> rgb;
    uint32_t w = 0, rows = 0;
    if (!RgbRows(rgb, w, rows)) return false;
    std::string error;
    if (PngFile::Write(path, rgb.data(), w, rows, false, error)) return true;
    ShowMessage(error);
    return false;
}

}  // namespace orx
