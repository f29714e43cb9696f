// The JPEG bridge: decoding, encoding in colour and grey, its messages and failures.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "ImageSupport.h"
#include "image/JpegFile.h"

namespace orx {
namespace {

using test::Gradient;
using test::ImageTest;
using test::Picture;

// The decoded picture; no pixels where the decoder gives none.
Picture Decode(const std::string& path) {
    Picture d;
    std::unique_ptr<uint8_t[]> rgb(JpegFile::DecodeToRgb(path, d.w, d.h));
    if (rgb) d.rgb.assign(rgb.get(), rgb.get() + size_t(d.w) * d.h * 3);
    return d;
}

using JpegFileTest = ImageTest;

TEST_F(JpegFileTest, ColourRoundTripStaysWithinJpegTolerance) {
    // 37 x 23: neither side a multiple of the 8- or 16-pixel blocks.
    const Picture p = Gradient(37, 23);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("g.jpg"), p.rgb.data(), p.w, p.h, true, 95));
    const Picture d = Decode(File("g.jpg"));
    ASSERT_FALSE(d.rgb.empty());
    ASSERT_EQ(std::pair(d.w, d.h), std::pair(37u, 23u));
    long long sum = 0;
    int worst = 0;
    for (size_t i = 0; i < p.rgb.size(); ++i) {
        const int diff = std::abs(int(d.rgb[i]) - int(p.rgb[i]));
        sum += diff;
        worst = std::max(worst, diff);
    }
    EXPECT_LT(double(sum) / double(p.rgb.size()), 3.0);
    EXPECT_LE(worst, 24);
    // Orientation: the first row is the top row (green 0), red grows to the right.
    EXPECT_LT(d.rgb[1], 20);
    EXPECT_GT(d.rgb[(36) * 3], 230);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(JpegFileTest, GreyEncodingDecodesToEqualChannels) {
    const Picture p = Gradient(16, 16);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("grey.jpg"), p.rgb.data(), p.w, p.h, false, 100));
    const Picture d = Decode(File("grey.jpg"));
    ASSERT_FALSE(d.rgb.empty());
    for (size_t i = 0; i < size_t(d.w) * d.h; ++i) {
        const uint8_t* q = &d.rgb[i * 3];
        ASSERT_EQ(q[0], q[1]);
        ASSERT_EQ(q[1], q[2]);
        // Grey = 0.299 R + 0.587 G + 0.114 B of the source.
        const uint8_t* s = &p.rgb[i * 3];
        EXPECT_NEAR(q[0], 0.299 * s[0] + 0.587 * s[1] + 0.114 * s[2], 3.0);
    }
}

TEST_F(JpegFileTest, OnePixelIsAValidBaselineJpeg) {
    const uint8_t pixel[3] = {200, 40, 10};
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("one.jpg"), pixel, 1, 1, true, 100));
    const std::string bytes = test::ReadText(File("one.jpg"));
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 2) + bytes.substr(bytes.size() - 2), "\xFF\xD8\xFF\xD9");
    EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos);  // baseline frame
    EXPECT_EQ(bytes.find("\xFF\xC2"), std::string::npos);  // not progressive
    const Picture d = Decode(File("one.jpg"));
    ASSERT_FALSE(d.rgb.empty());
    EXPECT_EQ(std::pair(d.w, d.h), std::pair(1u, 1u));
    EXPECT_NEAR(d.rgb[0], 200, 6);
    EXPECT_NEAR(d.rgb[1], 40, 6);
    EXPECT_NEAR(d.rgb[2], 10, 6);
}

TEST_F(JpegFileTest, EncodeFailuresKeepOldFiles) {
    const Picture p = Gradient(8, 8);
    const std::string missing = File("no/such/folder/x.jpg");
    EXPECT_FALSE(JpegFile::EncodeFromRgb(missing, p.rgb.data(), 8, 8, true, 100));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "JpegFile :\nCan't open " + missing + "\n");

    // Nothing to encode: false without a message.
    EXPECT_FALSE(JpegFile::EncodeFromRgb(File("n.jpg"), nullptr, 8, 8, true, 100));
    EXPECT_FALSE(JpegFile::EncodeFromRgb(File("n.jpg"), p.rgb.data(), 0, 8, true, 100));
    EXPECT_EQ(platform.messages.size(), 1u);

    // A read-only file is refused and stays as it was; no temporary file is left.
    const std::string locked = File("locked.jpg");
    test::WriteText(locked, "old contents");
    ::chmod(locked.c_str(), 0444);
    EXPECT_FALSE(JpegFile::EncodeFromRgb(locked, p.rgb.data(), 8, 8, true, 100));
    EXPECT_EQ(test::ReadText(locked), "old contents");
    EXPECT_EQ(platform.messages.back().text, "JpegFile :\nCan't open " + locked + "\n");

    // A writable file is replaced as a whole.
    const std::string old = File("old.jpg");
    test::WriteText(old, "old contents");
    EXPECT_TRUE(JpegFile::EncodeFromRgb(old, p.rgb.data(), 8, 8, true, 100));
    EXPECT_EQ(Decode(old).w, 8u);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2);  // locked.jpg and old.jpg
}

TEST_F(JpegFileTest, SwapRgbOrderSwapsFirstAndThirdByte) {
    uint8_t px[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(JpegFile::SwapRgbOrder(nullptr, 2, 1));
    EXPECT_TRUE(JpegFile::SwapRgbOrder(px, 2, 1));
    EXPECT_EQ(std::vector<uint8_t>(px, px + 6), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    JpegFile::SwapRgbOrder(px, 2, 1);
    EXPECT_EQ(std::vector<uint8_t>(px, px + 6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

// Files that give no picture: no pixels and a size of 0. Only a missing file and a
// claimed size far beyond any texture show a message.
TEST_F(JpegFileTest, UnreadableFilesGiveNoPicture) {
    const Picture p = Gradient(8, 8);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("s.jpg"), p.rgb.data(), 8, 8, true, 90));
    std::vector<uint8_t> huge = test::ReadBytes(File("s.jpg"));
    size_t sof = 0;
    while (sof + 1 < huge.size() && !(huge[sof] == 0xFF && huge[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 8, huge.size());
    // Height and width (big-endian) at 5 and 7 after the marker: 60000 x 60000.
    huge[sof + 5] = huge[sof + 7] = 0xEA;
    huge[sof + 6] = huge[sof + 8] = 0x60;
    test::WriteBytes(File("huge.jpg"), huge);
    // `message` "": none.
    auto unreadable = [&](const std::string& name, const std::string& message, MsgIcon icon) {
        SCOPED_TRACE(name);
        platform.messages.clear();
        uint32_t w = 7, h = 7;
        EXPECT_EQ(JpegFile::DecodeToRgb(File(name), w, h), nullptr);
        EXPECT_EQ(std::pair(w, h), std::pair(0u, 0u));
        EXPECT_EQ(Texts(),
                  message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
        if (!message.empty()) {
            EXPECT_EQ(platform.messages[0].icon, icon);
        }
    };
    unreadable("huge.jpg", "JpegFile :\nOut of memory", MsgIcon::Stop);
    unreadable("none.jpg", "JPEG :\nCan't open " + File("none.jpg") + "\n", MsgIcon::Exclamation);
    test::WriteText(File("text.jpg"), "this is not a picture at all");
    test::WriteText(File("empty.jpg"), "");
    unreadable("text.jpg", "", {});
    unreadable("empty.jpg", "", {});
}

// Four-component images are converted to RGB (Adobe's inverted CMYK).
TEST_F(JpegFileTest, CmykIsConvertedToRgb) {
    const std::string path = File("cmyk.jpg");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = 16;
    c.image_height = 8;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    // Inverted values: 255 is no ink. Left half white paper, right half full magenta/yellow.
    std::vector<uint8_t> row;
    for (uint8_t ink : {255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0})
        row.insert(row.end(), {255, ink, ink, 255});
    for (int y = 0; y < 8; ++y) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);

    const Picture d = Decode(path);
    ASSERT_FALSE(d.rgb.empty());
    const uint8_t* white = &d.rgb[(3 * 16 + 2) * 3];
    const uint8_t* red = &d.rgb[(3 * 16 + 13) * 3];
    EXPECT_GT(white[0], 240);
    EXPECT_GT(white[1], 240);
    EXPECT_GT(white[2], 240);
    EXPECT_GT(red[0], 240);
    EXPECT_LT(red[1], 15);
    EXPECT_LT(red[2], 15);
}

}  // namespace
}  // namespace orx
