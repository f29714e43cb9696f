// Texture images from BMP, RAW and JPEG files.
#include "image/Texture.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "image/JpegFile.h"
#include "platform/Platform.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"

namespace orx {

namespace {

// Closes a stdio file when the reader leaves, on every path. Only a regular file
// opens: anything else is a file that cannot be opened.
class InputFile {
public:
    explicit InputFile(const std::string& name) : m_file(OpenRegularFile(name)) {}
    ~InputFile() {
        if (m_file) std::fclose(m_file);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    FILE* get() const { return m_file; }
    bool Read(void* buffer, size_t bytes) {
        return bytes == 0 || std::fread(buffer, 1, bytes, m_file) == bytes;
    }
    // Bytes from the current position to the end of the file, -1 when unknown.
    long long Remaining() {
        const long here = std::ftell(m_file);
        if (here < 0 || std::fseek(m_file, 0, SEEK_END) != 0) return -1;
        const long end = std::ftell(m_file);
        if (std::fseek(m_file, here, SEEK_SET) != 0 || end < here) return -1;
        return end - here;
    }

private:
    FILE* m_file;
};

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Bytes of one row padded to 4, without wrapping; 0 when it does not fit 32 bits.
uint64_t PaddedRow(uint64_t width, uint64_t bitsPerPixel) {
    const uint64_t n = ((width * bitsPerPixel) / 8 + 3) & ~uint64_t(3);
    return n > uint64_t(INT32_MAX) ? 0 : n;
}

}  // namespace

CTexture::CTexture() = default;

CTexture::~CTexture() { Clear(); }

void CTexture::Clear() {
    ++m_generation;
    delete[] pixels;
    pixels = nullptr;
    width = 0;
    height = 0;
    bitsPerPixel = 0;
}

int32_t CTexture::RowBytesFor(uint32_t w, uint32_t bitsPerPixel) {
    uint32_t n = (w * bitsPerPixel) / 8;
    if (n % 4 != 0) n = n - (n % 4) + 4;
    return static_cast<int32_t>(n);
}

void CTexture::UpdateRowBytes() { rowBytes = RowBytesFor(width, bitsPerPixel); }

void CTexture::MakeHeader() {
    UpdateRowBytes();
    infoHeader = BITMAPINFOHEADER{};
    infoHeader.biSize = 40;
    infoHeader.biWidth = static_cast<int32_t>(width);
    infoHeader.biHeight = static_cast<int32_t>(height);
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = static_cast<uint16_t>(bitsPerPixel);
    infoHeader.biCompression = BI_RGB;
    infoHeader.biSizeImage = static_cast<uint32_t>(rowBytes) * height;
}

uint8_t* CTexture::AllocPixels(uint64_t bytes) {
    if (bytes > kMaxImageBytes) return nullptr;
    // Zeroed, so that bytes a short file or a padding gap leaves are never random.
    return new (std::nothrow) uint8_t[bytes ? bytes : 1]();
}

bool CTexture::Alloc(uint32_t w, uint32_t h, uint32_t b) {
    Clear();
    // Computed in 64 bits: a size that does not fit is refused, never wrapped small.
    const uint64_t stride = PaddedRow(w, b);
    uint8_t* buffer = (stride || w == 0 || b == 0) ? AllocPixels(stride * h) : nullptr;
    if (!buffer) {
        ShowMessage("CTexture::Alloc : Insufisant memory");
        return false;
    }
    pixels = buffer;
    width = w;
    height = h;
    rowBytes = static_cast<int32_t>(stride);
    bitsPerPixel = b;
    MakeHeader();
    return true;
}

bool CTexture::ReadFile(const std::string& name, int32_t rawWidth, int32_t rawHeight,
                        int32_t rawBits, const std::string& shownName) {
    Clear();
    fileName = name;
    const std::string ext = LowerExtension(name);
    if (ext == ".bmp") return ReadBmp(name);
    if (ext == ".raw") return ReadRaw(name, rawWidth, rawHeight, rawBits);
    if (ext == ".jpg") return ReadJpeg(name, shownName);

    const std::string& shown = shownName.empty() ? name : shownName;
    const char* format = "CTexture::ReadFile : invalid file redirection : %s\n";
    std::vector<char> text(std::strlen(format) + shown.size() + 1);
    std::snprintf(text.data(), text.size(), format, shown.c_str());
    ShowMessage(text.data());
    return false;
}

bool CTexture::ReadBmp(const std::string& name) {
    InputFile file(name);
    if (!file.get()) {
        ShowMessage("Unable to open file for reading");
        return false;
    }
    uint8_t fileHeader[14];
    if (!file.Read(fileHeader, sizeof fileHeader)) {
        ShowMessage("Error during reading file header");
        return false;
    }
    if (Le16(fileHeader) != 0x4D42) {
        ShowMessage("Invalid BMP file");
        return false;
    }
    const uint32_t offBits = Le32(fileHeader + 10);

    uint8_t raw[40];
    if (!file.Read(raw, sizeof raw)) {
        ShowMessage("Error during reading image header");
        return false;
    }
    BITMAPINFOHEADER h;
    h.biSize = Le32(raw);
    h.biWidth = static_cast<int32_t>(Le32(raw + 4));
    h.biHeight = static_cast<int32_t>(Le32(raw + 8));
    h.biPlanes = Le16(raw + 12);
    h.biBitCount = Le16(raw + 14);
    h.biCompression = Le32(raw + 16);
    h.biSizeImage = Le32(raw + 20);
    h.biXPelsPerMeter = static_cast<int32_t>(Le32(raw + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(Le32(raw + 28));
    h.biClrUsed = Le32(raw + 32);
    h.biClrImportant = Le32(raw + 36);
    infoHeader = h;

    if (h.biPlanes != 1 || h.biBitCount != 24) {
        ShowMessage("Texture file must have 24 bits depth");
        return false;
    }
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) {
        ShowMessage("Invalid BMP file");
        return false;
    }

    // The data size follows from the picture's size; biSizeImage may be 0 or wrong.
    const uint32_t w = static_cast<uint32_t>(h.biWidth);
    const bool topDown = h.biHeight < 0;
    const uint32_t rows = static_cast<uint32_t>(topDown ? -h.biHeight : h.biHeight);
    const uint64_t stride = PaddedRow(w, 24);
    const uint64_t bytes = stride * rows;
    Clear();
    if (stride == 0 || bytes > kMaxImageBytes) {
        ShowMessage("Insuffisant memory");
        return false;
    }

    // Pixel rows start at bfOffBits where that lies past the info header (larger headers,
    // colour masks or a gap); otherwise directly after the 40 bytes read. A file too short
    // for the picture is refused before anything is allocated or read.
    bool ok = offBits <= 54 || std::fseek(file.get(), long(offBits), SEEK_SET) == 0;
    const long long remaining = ok ? file.Remaining() : -1;
    ok = ok && remaining >= 0 && uint64_t(remaining) >= bytes;
    if (ok) {
        pixels = AllocPixels(bytes);
        if (!pixels) {
            ShowMessage("Insuffisant memory");
            return false;
        }
        width = w;
        height = rows;
        bitsPerPixel = 24;
    }
    if (ok && !topDown) {
        ok = file.Read(pixels, bytes);
    } else if (ok) {
        // Top row first in the file: stored bottom row first like every other BMP texture.
        for (uint32_t r = 0; ok && r < rows; ++r) {
            ok = file.Read(pixels + uint64_t(rows - 1 - r) * stride, stride);
        }
    }
    if (!ok) {
        Clear();
        ShowMessage("Error during reading image");
        return false;
    }

    fileName = name;
    UpdateRowBytes();
    // The header describes the buffer as it is now held.
    infoHeader.biHeight = static_cast<int32_t>(rows);
    infoHeader.biSizeImage = static_cast<uint32_t>(bytes);
    return true;
}

bool CTexture::ReadRaw(const std::string& name, int32_t w, int32_t h, int32_t b) {
    InputFile file(name);
    if (!file.get()) {
        ShowMessage("Unable to open file for reading");
        return false;
    }
    const long long length = file.Remaining();

    // Without a usable size (the viewer's callers pass -1) a RAW file is taken as a square
    // 24-bit picture whose side follows from its length.
    if (w <= 0 || h <= 0 || b <= 0) {
        const long long side = length > 0 ? std::llround(std::sqrt(double(length) / 3.0)) : 0;
        if (side <= 0 || side * side * 3 != length || side > INT32_MAX) {
            ShowMessage("Error during reading image");
            return false;
        }
        w = h = static_cast<int32_t>(side);
        b = 24;
    }
    if (b != 8 && b != 16 && b != 24 && b != 32) {
        ShowMessage("Error during reading image");
        return false;
    }

    // The file holds rows without padding; each goes to the start of its padded row.
    const uint64_t fileRow = uint64_t(w) * uint64_t(b) / 8;
    bool ok = length >= 0 && uint64_t(length) >= fileRow * uint64_t(h);
    const uint64_t stride = PaddedRow(uint32_t(w), uint32_t(b));
    if (!ok && stride != 0 && stride * uint64_t(h) <= kMaxImageBytes) {
        // Too short for a size that could be had: refused before allocating.
        ShowMessage("Error during reading image");
        return false;
    }
    if (!Alloc(uint32_t(w), uint32_t(h), uint32_t(b))) {
        ShowMessage("Insuffisant memory");
        return false;
    }
    for (int32_t r = 0; ok && r < h; ++r) {
        ok = file.Read(pixels + uint64_t(r) * uint64_t(rowBytes), fileRow);
    }
    if (!ok) {
        Clear();
        ShowMessage("Error during reading image");
        return false;
    }
    fileName = name;
    return true;
}

bool CTexture::ReadJpeg(const std::string& name, const std::string& shownName) {
    uint32_t w = 0, h = 0;
    // The decoder hands its buffer over to its caller.
    const std::unique_ptr<uint8_t[]> buffer(JpegFile::DecodeToRgb(name, w, h, shownName));
    if (!buffer) return false;
    const uint8_t* decoded = buffer.get();
    JpegFile::SwapRgbOrder(buffer.get(), w, h);
    if (!Alloc(w, h, 24)) {
        ShowMessage("Insuffisant memory");
        return false;
    }
    // Decoded rows are packed; the texture's rows are padded to 4 bytes.
    const size_t packed = size_t(w) * 3;
    for (uint32_t r = 0; r < h; ++r) {
        std::memcpy(pixels + size_t(r) * size_t(rowBytes), decoded + r * packed, packed);
    }
    fileName = name;
    return true;
}

bool CTexture::HasImage() const {
    return (bitsPerPixel == 24 || bitsPerPixel == 32) && width != 0 && height != 0 &&
           pixels != nullptr;
}

bool CTexture::SwapRedBlue() {
    if (!HasImage()) return false;
    ++m_generation;
    const size_t step = bitsPerPixel / 8;
    for (uint32_t r = 0; r < height; ++r) {
        uint8_t* p = pixels + size_t(r) * size_t(rowBytes);
        for (uint32_t c = 0; c < width; ++c, p += step) std::swap(p[0], p[2]);
    }
    return true;
}

}  // namespace orx
