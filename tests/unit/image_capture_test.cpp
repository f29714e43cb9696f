// Window capture: the packed bitmap, drawing it, saving it as BMP and JPEG.
#include <GL/gl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "ImageSupport.h"
#include "image/JpegFile.h"
#include "image/WindowCapture.h"

namespace orx {
namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

// A 640 x 480 window showing blue with a red 200 x 100 block in its top-left corner.
class CaptureTest : public test::ImageTest {
protected:
    void SetUp() override {
        ImageTest::SetUp();
        platform.Resize(640, 480);
        ASSERT_TRUE(platform.SetupPixelFormat());
        ASSERT_TRUE(platform.CreateGLContext());
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 480 - 100, 200, 100);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        ASSERT_TRUE(capture.Capture(platform, platform.GetClientRect()));
    }

    // The JPEG's pixel (x, y) from the top as 0xRRGGBB, channels rounded to 0 or 255.
    static uint32_t JpegPixel(const std::string& path, uint32_t x, uint32_t y) {
        uint32_t w = 0, h = 0;
        std::unique_ptr<uint8_t[]> rgb(JpegFile::DecodeToRgb(path, w, h));
        if (!rgb || x >= w || y >= h) return 0xDEAD;
        const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
        auto bit = [](uint8_t v) { return v > 127 ? 255u : 0u; };
        return (bit(p[0]) << 16) | (bit(p[1]) << 8) | bit(p[2]);
    }

    CWindowCapture capture;
};

// The capture is a packed 32-bit bitmap, bottom row first; BMP keeps that order and
// JPEG turns it, so both show the picture the same way up.
TEST_F(CaptureTest, PackedBottomUpBitmapSavesAsBmpAndJpegTheSameWayUp) {
    EXPECT_EQ(capture.width, 640);
    EXPECT_EQ(capture.height, 480);
    EXPECT_EQ(capture.DibHeight(), 480);
    ASSERT_NE(capture.info, nullptr);
    EXPECT_EQ(capture.info->bmiHeader.biBitCount, 32);
    EXPECT_EQ(capture.info->bmiHeader.biSizeImage, 640u * 480u * 4u);
    EXPECT_EQ(capture.bits, capture.dibBlock + 40);
    // Last row in memory is the top of the picture.
    const uint8_t* top = capture.bits + 479 * 640 * 4;
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[0], 0);

    ASSERT_TRUE(capture.Save(File("a.BMP")));
    ASSERT_TRUE(capture.Save(File("a.jpg")));
    EXPECT_TRUE(platform.messages.empty());
    const std::string bmp = test::ReadText(File("a.BMP"));
    ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(test::Get32(bmp, 2), 54u + 640u * 480u * 4u);
    EXPECT_EQ(test::Get32(bmp, 6), 0u);
    EXPECT_EQ(test::Get32(bmp, 10), 54u);
    EXPECT_EQ(test::Get32(bmp, 14), 40u);
    auto bmpPixel = [&](int x, int yFromTop) {
        const size_t at = 54 + (size_t(479 - yFromTop) * 640 + x) * 4;
        return (uint32_t(uint8_t(bmp[at + 2])) << 16) | (uint32_t(uint8_t(bmp[at + 1])) << 8) |
               uint8_t(bmp[at]);
    };
    EXPECT_EQ(bmpPixel(10, 10), kRed);
    EXPECT_EQ(bmpPixel(10, 470), kBlue);
    EXPECT_EQ(JpegPixel(File("a.jpg"), 10, 10), kRed);
    EXPECT_EQ(JpegPixel(File("a.jpg"), 10, 470), kBlue);
    EXPECT_EQ(JpegPixel(File("a.jpg"), 630, 10), kBlue);

    capture.Release();
    EXPECT_EQ(capture.dibBlock, nullptr);
    EXPECT_EQ(capture.info, nullptr);
    EXPECT_EQ(capture.bits, nullptr);
    EXPECT_EQ(capture.DibHeight(), 0);
}

TEST_F(CaptureTest, UnknownExtensionsAreRefusedWithThePath) {
    for (const char* name : {"b.jpeg", "b.gif", "b"}) {
        platform.messages.clear();
        EXPECT_FALSE(capture.Save(File(name)));
        EXPECT_FALSE(std::filesystem::exists(File(name)));
        EXPECT_EQ(Texts(), std::vector<std::string>{"Extension unusable from " + File(name)});
    }
}

// Same size draws the bits as they are, another size stretches; a part of the picture
// lands with the source's top-left corner at the destination's.
TEST_F(CaptureTest, DrawSameSizeAPartAndStretched) {
    struct Probe {
        int x, y;
        uint32_t rgb;
    };
    const struct {
        int width, height;
        Rect src;
        MemoryDrawTarget::Call call;
        std::vector<Probe> pixels;
    } rows[] = {
        {640,
         480,
         {0, 0, 640, 480},
         MemoryDrawTarget::Call::SetDIBits,
         {{0, 0, kRed}, {199, 99, kRed}, {200, 99, kBlue}, {199, 100, kBlue}, {639, 479, kBlue}}},
        {100,
         100,
         {150, 50, 250, 150},
         MemoryDrawTarget::Call::SetDIBits,
         {{0, 0, kRed}, {49, 49, kRed}, {50, 49, kBlue}, {49, 50, kBlue}}},
        {1280,
         960,
         {0, 0, 640, 480},
         MemoryDrawTarget::Call::Stretch,
         {{399, 199, kRed}, {400, 199, kBlue}, {399, 200, kBlue}, {1279, 959, kBlue}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        MemoryDrawTarget target(row.width, row.height);
        // As GDI counts them: the 480 scan lines of the capture passed on.
        EXPECT_EQ(capture.Draw(target, Rect{0, 0, row.width, row.height}, row.src), 480);
        EXPECT_EQ(target.lastCall, row.call);
        for (const Probe& p : row.pixels) EXPECT_EQ(target.PixelAt(p.x, p.y), p.rgb);
    }
}

TEST_F(CaptureTest, EmptyCaptureDrawsAndWritesNothing) {
    CWindowCapture empty;
    MemoryDrawTarget window(10, 10);
    EXPECT_EQ(empty.Draw(window, Rect{0, 0, 10, 10}, Rect{0, 0, 10, 10}), 0);
    EXPECT_EQ(window.lastCall, MemoryDrawTarget::Call::None);
    EXPECT_FALSE(empty.WriteBmp(File("e.bmp")));
    EXPECT_FALSE(empty.WriteJpeg(File("e.jpg")));
    EXPECT_FALSE(std::filesystem::exists(File("e.bmp")));
    EXPECT_FALSE(std::filesystem::exists(File("e.jpg")));

    // Without a picture on screen the capture stays empty.
    ScriptedPlatform noContext(50, 50);
    EXPECT_FALSE(empty.Capture(noContext, noContext.GetClientRect()));
    EXPECT_EQ(empty.dibBlock, nullptr);
    EXPECT_TRUE(platform.messages.empty());
}

// Captures of 16 and 24 bits and a palette bitmap convert to the same JPEG picture.
TEST_F(CaptureTest, JpegOfOtherDepths) {
    ScreenPicture screen;
    ASSERT_TRUE(platform.CaptureClient(screen));
    for (uint16_t depth : {16, 24}) {
        CWindowCapture deep;
        ASSERT_NE(deep.BuildDib(screen, 640, 480, depth), nullptr);
        EXPECT_EQ(deep.info->bmiHeader.biBitCount, depth);
        const std::string path = File("d" + std::to_string(depth) + ".jpg");
        ASSERT_TRUE(deep.WriteJpeg(path));
        EXPECT_EQ(JpegPixel(path, 10, 10), kRed) << depth;
        EXPECT_EQ(JpegPixel(path, 300, 300), kBlue) << depth;
    }

    // 8 bits with a colour table: index 1 is green, in the top half of a 16 x 16 picture.
    const size_t table = 256 * 4, stride = 16, rows = 16;
    auto* block = static_cast<uint8_t*>(std::calloc(1, 40 + table + stride * rows));
    ASSERT_NE(block, nullptr);
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = 16;
    h.biHeight = 16;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biSizeImage = stride * rows;
    std::memcpy(block, &h, 40);
    block[40 + 4 + 1] = 255;                                      // colour 1: green
    std::memset(block + 40 + table + 8 * stride, 1, 8 * stride);  // rows stored last: the top
    CWindowCapture palette;
    palette.dibBlock = block;
    palette.info = reinterpret_cast<BITMAPINFO*>(block);
    palette.bits = block + 40 + table;
    palette.width = 16;
    palette.height = 16;
    ASSERT_TRUE(palette.WriteJpeg(File("p8.jpg")));
    EXPECT_EQ(JpegPixel(File("p8.jpg"), 0, 0), 0x00FF00u);
    EXPECT_EQ(JpegPixel(File("p8.jpg"), 0, 15), 0u);

    // A header that promises more rows than the block holds is never read past.
    palette.info->bmiHeader.biHeight = 200;
    EXPECT_FALSE(palette.WriteJpeg(File("bad.jpg")));
    EXPECT_FALSE(std::filesystem::exists(File("bad.jpg")));
}

TEST_F(CaptureTest, FailedSavesLeaveOldFilesIntact) {
    // Replacing works and leaves no temporary file behind.
    test::WriteText(File("old.bmp"), "old");
    ASSERT_TRUE(capture.WriteBmp(File("old.bmp")));
    EXPECT_EQ(std::filesystem::file_size(File("old.bmp")), 54u + 640u * 480u * 4u);

    // A read-only file is refused for both formats and keeps its contents.
    test::WriteText(File("ro.bmp"), "keep");
    test::WriteText(File("ro.jpg"), "keep");
    ::chmod(File("ro.bmp").c_str(), 0444);
    ::chmod(File("ro.jpg").c_str(), 0444);
    EXPECT_FALSE(capture.Save(File("ro.bmp")));
    EXPECT_FALSE(capture.Save(File("ro.jpg")));
    EXPECT_EQ(test::ReadText(File("ro.bmp")), "keep");
    EXPECT_EQ(test::ReadText(File("ro.jpg")), "keep");
    // The BMP refusal is silent, the JPEG one names the file.
    EXPECT_EQ(Texts(), std::vector<std::string>{"JpegFile :\nCan't open " + File("ro.jpg") + "\n"});

    EXPECT_FALSE(capture.Save(File("missing/x.bmp")));
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        files += e.is_regular_file();
    EXPECT_EQ(files, 3);
}

// GDI rules of the memory target for bitmaps the capture does not make.
TEST(MemoryDrawTargetTest, OrientationBandsAndClipping) {
    // 2 x 2 pixels, 24 bits; rows padded to 8 bytes. Memory rows: A then B.
    uint8_t bits[16] = {};
    auto set = [&](int row, int x, uint32_t rgb) {
        uint8_t* p = bits + row * 8 + x * 3;
        p[0] = uint8_t(rgb);
        p[1] = uint8_t(rgb >> 8);
        p[2] = uint8_t(rgb >> 16);
    };
    set(0, 0, 0x111111);
    set(0, 1, 0x222222);
    set(1, 0, 0x333333);
    set(1, 1, 0x444444);
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;  // bottom-up: memory row 0 is the bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;

    MemoryDrawTarget t(3, 3);
    EXPECT_EQ(t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info), 2);
    EXPECT_EQ(t.PixelAt(0, 0), 0x333333u);
    EXPECT_EQ(t.PixelAt(1, 1), 0x222222u);
    EXPECT_EQ(t.PixelAt(2, 2), 0xFFFFFFu);  // untouched page

    info.bmiHeader.biHeight = -2;  // top-down: memory row 0 is the top
    t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info);
    EXPECT_EQ(t.PixelAt(0, 0), 0x111111u);
    EXPECT_EQ(t.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, bits, &info), 2);
    EXPECT_EQ(t.PixelAt(0, 1), 0x333333u);

    // Mirrored by a negative destination width; partly off the page on the left and top.
    info.bmiHeader.biHeight = 2;
    MemoryDrawTarget m(3, 3);
    m.StretchDIBits(2, 0, -2, 2, 0, 0, 2, 2, bits, &info);
    EXPECT_EQ(m.PixelAt(0, 0), 0x444444u);
    EXPECT_EQ(m.PixelAt(1, 0), 0x333333u);
    MemoryDrawTarget c(3, 3);
    c.SetDIBitsToDevice(-1, -1, 2, 2, 0, 0, 0, 2, bits, &info);
    EXPECT_EQ(c.PixelAt(0, 0), 0x222222u);
    EXPECT_EQ(c.PixelAt(1, 0), 0xFFFFFFu);

    // Only the band of scan lines passed is drawn: here line 1 (the top row) alone.
    MemoryDrawTarget band(2, 2);
    band.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 1, 1, bits, &info);
    EXPECT_EQ(band.PixelAt(0, 0), 0x111111u);
    EXPECT_EQ(band.PixelAt(0, 1), 0xFFFFFFu);

    info.bmiHeader.biCompression = BI_BITFIELDS;
    EXPECT_EQ(t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info), 0);
}

}  // namespace
}  // namespace orx
