#pragma once
// Helpers of the image tests: pictures, BMP files written byte by byte, a platform that
// records the messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ViewerRig.h"

namespace orx::test {

// An RGB picture, top row first, 3 bytes a pixel without padding.
struct Picture {
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(uint32_t x, uint32_t y) const { return &rgb[(size_t(y) * w + x) * 3]; }
};

// A smooth picture with distinct corners: red grows to the right, green downwards.
inline Picture Gradient(uint32_t w, uint32_t h) {
    Picture p{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p.rgb[(size_t(y) * w + x) * 3];
            q[0] = uint8_t(w > 1 ? 255 * x / (w - 1) : 128);
            q[1] = uint8_t(h > 1 ? 255 * y / (h - 1) : 128);
            q[2] = 96;
        }
    return p;
}

// Top half red, bottom half blue.
inline Picture RedOverBlue(uint32_t w, uint32_t h) {
    Picture p{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* q = &p.rgb[(size_t(y) * w + x) * 3];
            q[0] = y < h / 2 ? 255 : 0;
            q[2] = y < h / 2 ? 0 : 255;
            q[1] = 0;
        }
    return p;
}

inline void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
inline uint32_t Get32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(s[at + i])) << (8 * i);
    return v;
}

struct BmpOptions {
    uint16_t bitCount = 24;
    bool topDown = false;
    int64_t sizeImage = -1;  // -1: the true size
    uint32_t gap = 0;        // bytes between the info header and the pixels (bfOffBits)
    uint8_t padding = 0;     // value of the row padding bytes
    char magic[2] = {'B', 'M'};
};

// A BMP file of the picture: blue, green, red rows padded to 4 bytes.
inline std::vector<uint8_t> MakeBmp(const Picture& p, const BmpOptions& o = {}) {
    const uint32_t bpp = o.bitCount / 8 ? o.bitCount / 8 : 1;
    const uint32_t stride = (p.w * o.bitCount / 8 + 3) & ~3u;
    const uint32_t data = stride * p.h;
    std::vector<uint8_t> b(54 + o.gap + data, 0);
    b[0] = uint8_t(o.magic[0]);
    b[1] = uint8_t(o.magic[1]);
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, 54 + o.gap);
    Put32(b, 14, 40);
    Put32(b, 18, p.w);
    Put32(b, 22, o.topDown ? uint32_t(-int32_t(p.h)) : p.h);
    Put16(b, 26, 1);
    Put16(b, 28, o.bitCount);
    Put32(b, 34, o.sizeImage < 0 ? data : uint32_t(o.sizeImage));
    for (uint32_t r = 0; r < p.h; ++r) {
        const uint32_t y = o.topDown ? r : p.h - 1 - r;  // picture row stored at file row r
        uint8_t* row = &b[54 + o.gap + size_t(r) * stride];
        for (uint32_t i = p.w * bpp; i < stride; ++i) row[i] = o.padding;
        for (uint32_t x = 0; x < p.w && bpp >= 3; ++x) {
            const uint8_t* s = p.At(x, y);
            row[x * bpp] = s[2];
            row[x * bpp + 1] = s[1];
            row[x * bpp + 2] = s[0];
        }
    }
    return b;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteText(path, std::string(bytes.begin(), bytes.end()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    const std::string s = ReadText(path);
    return std::vector<uint8_t>(s.begin(), s.end());
}

// The harness's folders and platform on an 800 x 600 window; the platform receives the
// image code's messages. A test that needs the viewer constructs it with rig.Construct().
class ImageTest : public ::testing::Test {
protected:
    void SetUp() override { SetMessagePlatform(&platform); }
    void TearDown() override { SetMessagePlatform(nullptr); }
    std::string File(const std::string& name) const { return dir.File(name); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& m : platform.messages) t.push_back(m.text);
        return t;
    }

    ViewerRig rig{800, 600};
    TempProfile& dir = rig.dir;
    ScriptedPlatform& platform = rig.platform;
    std::unique_ptr<CViewerDlg>& dlg = rig.dlg;
};

}  // namespace orx::test
