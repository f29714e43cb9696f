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

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

using Spots = std::vector<std::pair<int, int>>;
using Colours = std::vector<uint32_t>;

// The colours of a draw target at the spots.
Colours At(const MemoryDrawTarget& t, const Spots& spots) {
    Colours c;
    for (const auto& [x, y] : spots) c.push_back(t.PixelAt(x, y));
    return c;
}

// A JPEG's colours at the spots (x, y from the top), channels rounded to 0 or 255.
Colours JpegAt(const std::string& path, const Spots& spots) {
    uint32_t w = 0, h = 0;
    std::unique_ptr<uint8_t[]> rgb(JpegFile::DecodeToRgb(path, w, h));
    auto bit = [](uint8_t v) { return v > 127 ? 255u : 0u; };
    Colours c;
    for (const auto& [x, y] : spots) {
        if (!rgb || uint32_t(x) >= w || uint32_t(y) >= h) return {};
        const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
        c.push_back((bit(p[0]) << 16) | (bit(p[1]) << 8) | bit(p[2]));
    }
    return c;
}

// A 640 x 480 window showing blue with a red 200 x 100 block in its top-left corner,
// captured.
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
    CWindowCapture capture;
};

// The capture is a packed 32-bit bitmap, bottom row first; BMP keeps that order and
// JPEG turns it, so both show the picture the same way up.
TEST_F(CaptureTest, PackedBottomUpBitmapSavesAsBmpAndJpegTheSameWayUp) {
    ASSERT_NE(capture.info, nullptr);
    const BITMAPINFOHEADER& h = capture.info->bmiHeader;
    EXPECT_EQ((std::vector<long>{capture.width, capture.height, capture.DibHeight(), h.biBitCount,
                                 long(h.biSizeImage)}),
              (std::vector<long>{640, 480, 480, 32, 640 * 480 * 4}));
    EXPECT_EQ(capture.bits, capture.dibBlock + 40);
    const uint8_t* top = capture.bits + 479 * 640 * 4;  // the last row in memory
    EXPECT_EQ(top[2], 255);
    EXPECT_EQ(top[0], 0);

    ASSERT_TRUE(capture.Save(File("a.BMP")));
    ASSERT_TRUE(capture.Save(File("a.jpg")));
    EXPECT_TRUE(platform.messages.empty());
    const std::string bmp = test::ReadText(File("a.BMP"));
    ASSERT_EQ(bmp.size(), 54u + 640u * 480u * 4u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ((Colours{test::Get32(bmp, 2), test::Get32(bmp, 6), test::Get32(bmp, 10),
                       test::Get32(bmp, 14)}),
              (Colours{54u + 640u * 480u * 4u, 0, 54, 40}));
    auto bmpPixel = [&](int x, int yFromTop) {
        return test::Get32(bmp, 54 + (size_t(479 - yFromTop) * 640 + x) * 4) & 0xFFFFFF;
    };
    EXPECT_EQ(bmpPixel(10, 10), kRed);
    EXPECT_EQ(bmpPixel(10, 470), kBlue);
    EXPECT_EQ(JpegAt(File("a.jpg"), {{10, 10}, {10, 470}, {630, 10}}),
              (Colours{kRed, kBlue, kBlue}));

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
    using Call = MemoryDrawTarget::Call;
    auto draw = [&](int width, int height, Rect src, Call call, const Spots& spots,
                    const Colours& colours) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        MemoryDrawTarget target(width, height);
        // As GDI counts them: the 480 scan lines of the capture passed on.
        EXPECT_EQ(capture.Draw(target, Rect{0, 0, width, height}, src), 480);
        EXPECT_EQ(target.lastCall, call);
        EXPECT_EQ(At(target, spots), colours);
    };
    draw(640, 480, {0, 0, 640, 480}, Call::SetDIBits,
         {{0, 0}, {199, 99}, {200, 99}, {199, 100}, {639, 479}}, {kRed, kRed, kBlue, kBlue, kBlue});
    draw(100, 100, {150, 50, 250, 150}, Call::SetDIBits, {{0, 0}, {49, 49}, {50, 49}, {49, 50}},
         {kRed, kRed, kBlue, kBlue});
    draw(1280, 960, {0, 0, 640, 480}, Call::Stretch,
         {{399, 199}, {400, 199}, {399, 200}, {1279, 959}}, {kRed, kBlue, kBlue, kBlue});
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
        EXPECT_EQ(JpegAt(path, {{10, 10}, {300, 300}}), (Colours{kRed, kBlue})) << depth;
    }

    // 8 bits with a colour table: index 1 is green, in the top half of a 16 x 16 picture.
    const size_t table = 256 * 4, stride = 16, rows = 16;
    auto* block = static_cast<uint8_t*>(std::calloc(1, 40 + table + stride * rows));
    ASSERT_NE(block, nullptr);
    const BITMAPINFOHEADER h{.biSize = 40,
                             .biWidth = 16,
                             .biHeight = 16,
                             .biPlanes = 1,
                             .biBitCount = 8,
                             .biSizeImage = stride * rows};
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
    EXPECT_EQ(JpegAt(File("p8.jpg"), {{0, 0}, {0, 15}}), (Colours{kGreen, 0}));

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

    // A read-only file is refused for both formats and keeps its contents; the BMP
    // refusal is silent, the JPEG one names the file.
    for (const char* name : {"ro.bmp", "ro.jpg"}) {
        test::WriteText(File(name), "keep");
        ::chmod(File(name).c_str(), 0444);
        EXPECT_FALSE(capture.Save(File(name)));
        EXPECT_EQ(test::ReadText(File(name)), "keep");
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{"JpegFile :\nCan't open " + File("ro.jpg") + "\n"});

    EXPECT_FALSE(capture.Save(File("missing/x.bmp")));
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path))
        files += e.is_regular_file();
    EXPECT_EQ(files, 3);
}

// GDI rules of the memory target for bitmaps the capture does not make.
TEST(MemoryDrawTargetTest, OrientationBandsAndClipping) {
    // 2 x 2 pixels of 24 bits, rows padded to 8 bytes; memory rows 11 22, then 33 44.
    const uint8_t bits[16] = {0x11, 0x11, 0x11, 0x22, 0x22, 0x22, 0, 0,
                              0x33, 0x33, 0x33, 0x44, 0x44, 0x44, 0, 0};
    // Bottom-up: memory row 0 is the bottom.
    BITMAPINFO info{
        .bmiHeader = {.biSize = 40, .biWidth = 2, .biHeight = 2, .biPlanes = 1, .biBitCount = 24},
        .bmiColors = {}};

    MemoryDrawTarget t(3, 3);
    EXPECT_EQ(t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info), 2);
    // The page outside the bitmap stays untouched.
    EXPECT_EQ(At(t, {{0, 0}, {1, 1}, {2, 2}}), (Colours{0x333333, 0x222222, kWhite}));

    info.bmiHeader.biHeight = -2;  // top-down: memory row 0 is the top
    t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info);
    EXPECT_EQ(t.PixelAt(0, 0), 0x111111u);
    EXPECT_EQ(t.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, bits, &info), 2);
    EXPECT_EQ(t.PixelAt(0, 1), 0x333333u);

    // Mirrored by a negative destination width; partly off the page on the left and top.
    info.bmiHeader.biHeight = 2;
    MemoryDrawTarget m(3, 3);
    m.StretchDIBits(2, 0, -2, 2, 0, 0, 2, 2, bits, &info);
    EXPECT_EQ(At(m, {{0, 0}, {1, 0}}), (Colours{0x444444, 0x333333}));
    MemoryDrawTarget c(3, 3);
    c.SetDIBitsToDevice(-1, -1, 2, 2, 0, 0, 0, 2, bits, &info);
    EXPECT_EQ(At(c, {{0, 0}, {1, 0}}), (Colours{0x222222, kWhite}));

    // Only the band of scan lines passed is drawn: here line 1 (the top row) alone.
    MemoryDrawTarget band(2, 2);
    band.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 1, 1, bits, &info);
    EXPECT_EQ(At(band, {{0, 0}, {0, 1}}), (Colours{0x111111, kWhite}));

    info.bmiHeader.biCompression = BI_BITFIELDS;
    EXPECT_EQ(t.SetDIBitsToDevice(0, 0, 2, 2, 0, 0, 0, 2, bits, &info), 0);
}

}  // namespace
}  // namespace orx
