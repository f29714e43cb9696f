// Texture images: the readers by extension, BMP variants, RAW, JPEG rows and the swap.
#include <cstring>

#include "ImageSupport.h"
#include "image/JpegFile.h"
#include "image/Texture.h"

namespace orx {
namespace {

using test::BmpOptions;
using test::Gradient;
using test::ImageTest;
using test::MakeBmp;
using test::Picture;
using test::WriteBytes;

using TextureTest = ImageTest;

// Pixel (x, row) of a texture as red, green, blue (after the swap every caller applies).
std::vector<uint8_t> TexelRgb(const CTexture& t, uint32_t x, uint32_t row) {
    const uint8_t* p = t.pixels + size_t(row) * t.rowBytes + x * 3;
    return {p[0], p[1], p[2]};
}

std::vector<uint8_t> PictureRgb(const Picture& p, uint32_t x, uint32_t y) {
    return {p.At(x, y)[0], p.At(x, y)[1], p.At(x, y)[2]};
}

// A texture that holds an image, to see that a failed load empties it.
void LoadSomething(CTexture& t, const std::string& path) {
    WriteBytes(path, MakeBmp(Gradient(4, 4)));
    ASSERT_TRUE(t.ReadFile(path, -1, -1, -1));
    ASSERT_TRUE(t.HasImage());
}

void ExpectEmpty(const CTexture& t) {
    EXPECT_EQ(t.pixels, nullptr);
    EXPECT_EQ(t.width, 0u);
    EXPECT_EQ(t.height, 0u);
    EXPECT_EQ(t.bitsPerPixel, 0u);
    EXPECT_FALSE(t.HasImage());
}

TEST(TextureRows, RowBytesForPadsToFour) {
    EXPECT_EQ(CTexture::RowBytesFor(1, 24), 4);
    EXPECT_EQ(CTexture::RowBytesFor(3, 24), 12);
    EXPECT_EQ(CTexture::RowBytesFor(4, 24), 12);
    EXPECT_EQ(CTexture::RowBytesFor(5, 24), 16);
    EXPECT_EQ(CTexture::RowBytesFor(256, 24), 768);
    EXPECT_EQ(CTexture::RowBytesFor(3, 32), 12);
    EXPECT_EQ(CTexture::RowBytesFor(0, 24), 0);
}

TEST_F(TextureTest, ExtensionChoosesTheReader) {
    const Picture p = Gradient(6, 5);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("Kirsch.JPG"), p.rgb.data(), 6, 5, true, 100));
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("kirsch.jpg"), p.rgb.data(), 6, 5, true, 100));
    CTexture upper, lower;
    EXPECT_TRUE(upper.ReadFile(File("Kirsch.JPG"), -1, -1, -1));
    EXPECT_TRUE(lower.ReadFile(File("kirsch.jpg"), -1, -1, -1));
    ASSERT_TRUE(upper.HasImage());
    EXPECT_EQ(upper.width, 6u);
    EXPECT_EQ(upper.height, 5u);
    EXPECT_EQ(0, std::memcmp(upper.pixels, lower.pixels, size_t(upper.rowBytes) * 5));
    EXPECT_EQ(upper.fileName, File("Kirsch.JPG"));

    // ".jpeg" is not one of the endings: message with the name, texture empty.
    LoadSomething(lower, File("before.bmp"));
    EXPECT_FALSE(lower.ReadFile(File("kirsch.jpeg"), -1, -1, -1));
    ExpectEmpty(lower);
    EXPECT_EQ(lower.fileName, File("kirsch.jpeg"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              "CTexture::ReadFile : invalid file redirection : " + File("kirsch.jpeg") + "\n");
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(TextureTest, RejectedBmpFilesEmptyTheTexture) {
    const Picture p = Gradient(4, 4);
    BmpOptions eight;
    eight.bitCount = 8;
    BmpOptions thirtyTwo;
    thirtyTwo.bitCount = 32;
    BmpOptions wrongMagic;
    wrongMagic.magic[0] = 'X';
    WriteBytes(File("8.bmp"), MakeBmp(p, eight));
    WriteBytes(File("32.bmp"), MakeBmp(p, thirtyTwo));
    WriteBytes(File("xm.bmp"), MakeBmp(p, wrongMagic));
    test::WriteText(File("short.bmp"), "BM12");
    test::WriteText(File("shorthdr.bmp"), std::string("BM") + std::string(20, '\0'));

    const std::pair<const char*, const char*> cases[] = {
        {"8.bmp", "Texture file must have 24 bits depth"},
        {"32.bmp", "Texture file must have 24 bits depth"},
        {"xm.bmp", "Invalid BMP file"},
        {"short.bmp", "Error during reading file header"},
        {"shorthdr.bmp", "Error during reading image header"},
        {"missing.bmp", "Unable to open file for reading"},
    };
    for (const auto& [name, text] : cases) {
        CTexture t;
        LoadSomething(t, File("good.bmp"));
        platform.messages.clear();
        EXPECT_FALSE(t.ReadFile(File(name), -1, -1, -1)) << name;
        ExpectEmpty(t);
        ASSERT_EQ(platform.messages.size(), 1u) << name;
        EXPECT_EQ(platform.messages[0].text, text) << name;
    }
}

TEST_F(TextureTest, BmpRowsKeepTheirPaddingThroughTheSwap) {
    const Picture p = Gradient(5, 3);
    BmpOptions o;
    o.padding = 0xAB;
    WriteBytes(File("five.bmp"), MakeBmp(p, o));
    CTexture t;
    ASSERT_TRUE(t.ReadFile(File("five.bmp"), -1, -1, -1));
    EXPECT_EQ(t.rowBytes, 16);
    EXPECT_EQ(t.bitsPerPixel, 24u);
    const std::vector<uint8_t> before(t.pixels, t.pixels + 16 * 3);
    ASSERT_TRUE(t.SwapRedBlue());
    for (uint32_t r = 0; r < 3; ++r) {
        // Bottom row first; after the swap each pixel reads red, green, blue.
        for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(TexelRgb(t, x, r), PictureRgb(p, x, 2 - r));
        EXPECT_EQ(t.pixels[r * 16 + 15], 0xAB);
    }
    ASSERT_TRUE(t.SwapRedBlue());
    EXPECT_EQ(std::vector<uint8_t>(t.pixels, t.pixels + 16 * 3), before);

    CTexture empty;
    EXPECT_FALSE(empty.SwapRedBlue());
    ExpectEmpty(empty);
}

// biSizeImage 0 or too small, a top-down file and pixels behind a gap all load the picture
// the same way: bottom row first, every byte from the file.
TEST_F(TextureTest, BmpVariantsLoadTheSamePicture) {
    const Picture p = Gradient(7, 6);
    BmpOptions zero, small, topDown, gap;
    zero.sizeImage = 0;
    small.sizeImage = 10;
    topDown.topDown = true;
    gap.gap = 84;  // as a 124-byte header would leave
    for (const BmpOptions& o : {zero, small, topDown, gap}) {
        WriteBytes(File("v.bmp"), MakeBmp(p, o));
        CTexture t;
        ASSERT_TRUE(t.ReadFile(File("v.bmp"), -1, -1, -1));
        t.SwapRedBlue();
        ASSERT_EQ(t.width, 7u);
        ASSERT_EQ(t.height, 6u);
        EXPECT_EQ(t.rowBytes, 24);
        for (uint32_t r = 0; r < 6; ++r)
            for (uint32_t x = 0; x < 7; ++x)
                ASSERT_EQ(TexelRgb(t, x, r), PictureRgb(p, x, 5 - r)) << x << "," << r;
        EXPECT_EQ(t.infoHeader.biHeight, 6);
        EXPECT_EQ(t.infoHeader.biSizeImage, 24u * 6u);
    }
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TextureTest, TruncatedBmpGivesReadErrorAndNoImage) {
    std::vector<uint8_t> bytes = MakeBmp(Gradient(8, 8));
    bytes.resize(bytes.size() - 5);
    WriteBytes(File("cut.bmp"), bytes);
    BmpOptions far;
    far.gap = 100;
    std::vector<uint8_t> offEnd = MakeBmp(Gradient(8, 8), far);
    test::Put32(offEnd, 10, 1u << 30);  // bfOffBits beyond the end of the file
    WriteBytes(File("off.bmp"), offEnd);
    for (const char* name : {"cut.bmp", "off.bmp"}) {
        CTexture t;
        platform.messages.clear();
        EXPECT_FALSE(t.ReadFile(File(name), -1, -1, -1));
        ExpectEmpty(t);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, "Error during reading image");
    }
}

TEST_F(TextureTest, SizesBeyondMemoryTakeTheAllocationFailure) {
    // A header claiming 100000 x 100000 pixels over a few bytes of data.
    std::vector<uint8_t> bytes = MakeBmp(Gradient(2, 2));
    test::Put32(bytes, 18, 100000);
    test::Put32(bytes, 22, 100000);
    WriteBytes(File("huge.bmp"), bytes);
    CTexture t;
    EXPECT_FALSE(t.ReadFile(File("huge.bmp"), -1, -1, -1));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Insuffisant memory"});

    // A width whose row overflows 32 bits never wraps into a small buffer.
    platform.messages.clear();
    EXPECT_FALSE(t.Alloc(0x80000000u, 2, 24));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"CTexture::Alloc : Insufisant memory"});

    // RAW shows Alloc's message and then its own.
    platform.messages.clear();
    test::WriteText(File("x.raw"), "abc");
    EXPECT_FALSE(t.ReadFile(File("x.raw"), 70000, 70000, 24));
    EXPECT_EQ(Texts(), (std::vector<std::string>{"CTexture::Alloc : Insufisant memory",
                                                 "Insuffisant memory"}));
}

TEST_F(TextureTest, RawFilesWithAndWithoutSize) {
    // The viewer passes -1: a square 24-bit picture whose side follows from the length.
    std::vector<uint8_t> square(4 * 4 * 3);
    for (size_t i = 0; i < square.size(); ++i) square[i] = uint8_t(i);
    WriteBytes(File("sq.raw"), square);
    CTexture t;
    ASSERT_TRUE(t.ReadFile(File("sq.raw"), -1, -1, -1));
    EXPECT_EQ(t.width, 4u);
    EXPECT_EQ(t.height, 4u);
    EXPECT_EQ(t.rowBytes, 12);
    EXPECT_EQ(0, std::memcmp(t.pixels, square.data(), square.size()));

    test::WriteText(File("odd.raw"), std::string(50, 'x'));
    EXPECT_FALSE(t.ReadFile(File("odd.raw"), -1, -1, -1));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error during reading image"});

    // With a given size the unpadded file rows land at the start of padded rows.
    std::vector<uint8_t> rows(5 * 2 * 3);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(100 + i);
    WriteBytes(File("r.raw"), rows);
    ASSERT_TRUE(t.ReadFile(File("r.raw"), 5, 2, 24));
    EXPECT_EQ(t.rowBytes, 16);
    EXPECT_EQ(0, std::memcmp(t.pixels, rows.data(), 15));
    EXPECT_EQ(0, std::memcmp(t.pixels + 16, rows.data() + 15, 15));

    // A file shorter than the size asked for.
    platform.messages.clear();
    EXPECT_FALSE(t.ReadFile(File("r.raw"), 5, 3, 24));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Error during reading image"});
}

TEST_F(TextureTest, JpegRowsAreSpacedByRowBytes) {
    const Picture p = Gradient(5, 4);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("w5.jpg"), p.rgb.data(), 5, 4, true, 100));
    uint32_t w, h;
    std::unique_ptr<uint8_t[]> decoded(JpegFile::DecodeToRgb(File("w5.jpg"), w, h));
    ASSERT_TRUE(decoded);
    CTexture t;
    ASSERT_TRUE(t.ReadFile(File("w5.jpg"), -1, -1, -1));
    ASSERT_TRUE(t.SwapRedBlue());
    EXPECT_EQ(t.rowBytes, 16);
    for (uint32_t y = 0; y < 4; ++y)  // top row first, as the decoder gives it
        for (uint32_t x = 0; x < 5; ++x) {
            const uint8_t* q = &decoded[(y * 5 + x) * 3];
            ASSERT_EQ(TexelRgb(t, x, y), (std::vector<uint8_t>{q[0], q[1], q[2]}));
        }
}

TEST_F(TextureTest, BmpAndJpegOfOnePictureAreMirrored) {
    const Picture p = test::RedOverBlue(16, 16);
    WriteBytes(File("pic.bmp"), MakeBmp(p));
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("pic.jpg"), p.rgb.data(), 16, 16, true, 100));
    CTexture bmp, jpg;
    ASSERT_TRUE(bmp.ReadFile(File("pic.bmp"), -1, -1, -1));
    ASSERT_TRUE(jpg.ReadFile(File("pic.jpg"), -1, -1, -1));
    bmp.SwapRedBlue();
    jpg.SwapRedBlue();
    // First row in memory: the bottom (blue) for BMP, the top (red) for JPEG.
    EXPECT_GT(bmp.pixels[2], 240);
    EXPECT_LT(bmp.pixels[0], 15);
    EXPECT_GT(jpg.pixels[0], 240);
    EXPECT_LT(jpg.pixels[2], 15);
}

TEST_F(TextureTest, MissingJpegShowsTheDecoderMessage) {
    CTexture t;
    EXPECT_FALSE(t.ReadFile(File("gone.jpg"), -1, -1, -1));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"JPEG :\nCan't open " + File("gone.jpg") + "\n"});
}

// The nine textures that ship in the program folder.
TEST_F(TextureTest, NumberedTexturesShipWithTheProgram) {
    for (int n = 1; n <= 9; ++n) {
        CTexture t;
        const std::string path =
            std::string(ORX_PROGRAM_DIR) + "/texturen/textur" + std::to_string(n) + ".jpg";
        ASSERT_TRUE(t.ReadFile(path, -1, -1, -1)) << path;
        EXPECT_EQ(t.width, 512u);
        EXPECT_EQ(t.height, 512u);
    }
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace orx
