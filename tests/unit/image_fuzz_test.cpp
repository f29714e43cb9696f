// Damaged texture files: truncated and bit-flipped BMP, JPEG and RAW files never crash the
// reader, never leave a half image and only show the readers' own messages. Run under the
// sanitizer build to catch reads past a buffer and leaks.
#include <cstdio>
#include <random>
#include <set>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "ImageSupport.h"
#include "image/JpegFile.h"
#include "image/Texture.h"

namespace orx {
namespace {

using test::Gradient;
using test::Picture;

class TextureFuzzTest : public test::ImageTest {
protected:
    std::vector<uint8_t> Jpeg(const Picture& p, bool colour) {
        const std::string path = File("base.jpg");
        EXPECT_TRUE(JpegFile::EncodeFromRgb(path, p.rgb.data(), p.w, p.h, colour, 90));
        return test::ReadBytes(path);
    }

    // A progressive JPEG, whose decoder keeps the whole picture's coefficients.
    std::vector<uint8_t> ProgressiveJpeg(const Picture& p) {
        const std::string path = File("prog.jpg");
        FILE* f = std::fopen(path.c_str(), "wb");
        jpeg_compress_struct c{};
        jpeg_error_mgr err{};
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = p.w;
        c.image_height = p.h;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_simple_progression(&c);
        jpeg_start_compress(&c, TRUE);
        for (uint32_t y = 0; y < p.h; ++y) {
            JSAMPROW row = const_cast<JSAMPROW>(p.At(0, y));
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
        return test::ReadBytes(path);
    }

    // Loads one damaged file and checks what the texture holds afterwards.
    void Load(const std::vector<uint8_t>& bytes, const std::string& name) {
        const std::string path = File(name);
        test::WriteBytes(path, bytes);
        CTexture t;
        const bool ok = t.ReadFile(path, -1, -1, -1);
        t.SwapRedBlue();
        if (ok) {
            ASSERT_TRUE(t.HasImage());
            ASSERT_GE(uint64_t(t.rowBytes), uint64_t(t.width) * 3);
            // Touch every byte, so that a buffer shorter than its rows shows.
            unsigned sum = 0;
            for (size_t i = 0; i < size_t(t.rowBytes) * t.height; ++i) sum += t.pixels[i];
            (void)sum;
        } else {
            ASSERT_EQ(t.pixels, nullptr);
            ASSERT_FALSE(t.HasImage());
        }
        static const std::set<std::string> kKnown = {
            "Error during reading file header",    "Invalid BMP file",
            "Error during reading image header",   "Texture file must have 24 bits depth",
            "Error during reading image",          "Insuffisant memory",
            "CTexture::Alloc : Insufisant memory", "JpegFile :\nOut of memory"};
        for (const auto& m : platform.messages) ASSERT_TRUE(kKnown.count(m.text)) << m.text;
        platform.messages.clear();
    }

    // Truncation, bit flips, a random byte in the header, or several of them.
    void Fuzz(const std::vector<uint8_t>& base, const std::string& name, int rounds) {
        std::mt19937 random(20240611u);
        for (int round = 0; round < rounds; ++round) {
            std::vector<uint8_t> bytes = base;
            const unsigned kind = random() % 4;
            if (kind == 0 || kind == 3) {
                bytes.resize(random() % bytes.size());
            }
            if (kind == 1 || kind == 3) {
                const unsigned flips = 1 + random() % 8;
                for (unsigned i = 0; i < flips && !bytes.empty(); ++i) {
                    bytes[random() % bytes.size()] ^= uint8_t(1u << (random() % 8));
                }
            }
            if (kind == 2 && !bytes.empty()) {
                bytes[random() % std::min<size_t>(bytes.size(), 64)] = uint8_t(random());
            }
            Load(bytes, name);
            if (HasFatalFailure()) {
                ADD_FAILURE() << name << " failed in round " << round;
                return;
            }
        }
    }
};

TEST_F(TextureFuzzTest, DamagedBmpJpegAndRawFiles) {
    Fuzz(test::MakeBmp(Gradient(13, 7)), "f.bmp", 400);
    Fuzz(test::MakeBmp(Gradient(5, 9), {.topDown = true, .gap = 12}), "g.bmp", 400);
    Fuzz(Jpeg(Gradient(24, 16), true), "f.jpg", 400);
    Fuzz(Jpeg(Gradient(9, 11), false), "g.jpg", 300);
    Fuzz(ProgressiveJpeg(Gradient(20, 12)), "p.jpg", 300);
    std::vector<uint8_t> raw(8 * 8 * 3);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = uint8_t(i * 7);
    Fuzz(raw, "f.raw", 200);
}

}  // namespace
}  // namespace orx
