// Texture images: the readers by extension, BMP variants, RAW, JPEG rows and the swap.
#include <cstring>

#include "ImageSupport.h"
#include "image/JpegFile.h"
#include "image/Texture.h"

namespace orx {
namespace {

using test::BmpOptions;
using test::Gradient;
using test::MakeBmp;
using test::Picture;
using test::WriteBytes;

using TextureTest = test::ImageTest;

// Pixel (x, row) of a texture as red, green, blue (after the swap every caller applies).
std::vector<uint8_t> TexelRgb(const CTexture& t, uint32_t x, uint32_t row) {
    const uint8_t* p = t.pixels + size_t(row) * t.rowBytes + x * 3;
    return {p[0], p[1], p[2]};
}

std::vector<uint8_t> PictureRgb(const Picture& p, uint32_t x, uint32_t y) {
    return {p.At(x, y)[0], p.At(x, y)[1], p.At(x, y)[2]};
}

std::string Bytes(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

void ExpectEmpty(const CTexture& t) {
    EXPECT_EQ(t.pixels, nullptr);
    EXPECT_EQ(t.width, 0u);
    EXPECT_EQ(t.height, 0u);
    EXPECT_EQ(t.bitsPerPixel, 0u);
    EXPECT_FALSE(t.HasImage());
}

TEST(TextureRows, RowBytesForPadsToFour) {
    const int rows[][3] = {{1, 24, 4},     {3, 24, 12}, {4, 24, 12}, {5, 24, 16},
                           {256, 24, 768}, {3, 32, 12}, {0, 24, 0}};
    for (const auto& [width, bits, bytes] : rows)
        EXPECT_EQ(CTexture::RowBytesFor(width, bits), bytes) << width << " x " << bits;
}

TEST_F(TextureTest, ExtensionChoosesTheReaderWhateverItsCase) {
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
}

// Every refused file empties a texture that held an image and shows the reader's
// messages, nothing else.
TEST_F(TextureTest, RefusedFilesEmptyTheTextureWithTheReadersMessage) {
    // `bytes` "" writes no file.
    auto refused = [&](const std::string& name, const std::string& bytes,
                       const std::vector<std::string>& messages, int rawWidth = -1,
                       int rawHeight = -1, int rawBits = -1) {
        SCOPED_TRACE(name);
        if (!bytes.empty()) test::WriteText(File(name), bytes);
        CTexture t;
        WriteBytes(File("good.bmp"), MakeBmp(Gradient(4, 4)));
        ASSERT_TRUE(t.ReadFile(File("good.bmp"), -1, -1, -1));
        ASSERT_TRUE(t.HasImage());
        platform.messages.clear();
        EXPECT_FALSE(t.ReadFile(File(name), rawWidth, rawHeight, rawBits));
        ExpectEmpty(t);
        EXPECT_EQ(t.fileName, File(name));
        EXPECT_EQ(Texts(), messages);
    };
    const std::string depth = "Texture file must have 24 bits depth";
    const std::string readError = "Error during reading image";
    refused("8.bmp", Bytes(MakeBmp(Gradient(4, 4), {.bitCount = 8})), {depth});
    refused("32.bmp", Bytes(MakeBmp(Gradient(4, 4), {.bitCount = 32})), {depth});
    refused("xm.bmp", Bytes(MakeBmp(Gradient(4, 4), {.magic = {'X', 'M'}})), {"Invalid BMP file"});
    refused("short.bmp", "BM12", {"Error during reading file header"});
    refused("shorthdr.bmp", "BM" + std::string(20, '\0'), {"Error during reading image header"});
    refused("missing.bmp", "", {"Unable to open file for reading"});
    std::vector<uint8_t> bytes = MakeBmp(Gradient(8, 8));
    bytes.resize(bytes.size() - 5);
    refused("cut.bmp", Bytes(bytes), {readError});
    bytes = MakeBmp(Gradient(8, 8), {.gap = 100});
    test::Put32(bytes, 10, 1u << 30);  // bfOffBits beyond the end of the file
    refused("off.bmp", Bytes(bytes), {readError});
    // A header claiming 100000 x 100000 pixels over a few bytes of data.
    bytes = MakeBmp(Gradient(2, 2));
    test::Put32(bytes, 18, 100000);
    test::Put32(bytes, 22, 100000);
    refused("huge.bmp", Bytes(bytes), {"Insuffisant memory"});
    // RAW without a size: the length of a square 24-bit picture; with a size: enough rows.
    refused("odd.raw", std::string(50, 'x'), {readError});
    refused("short.raw", std::string(30, 'x'), {readError}, 5, 3, 24);
    // RAW shows Alloc's message and then its own.
    refused("x.raw", "abc", {"CTexture::Alloc : Insufisant memory", "Insuffisant memory"}, 70000,
            70000, 24);
    refused("gone.jpg", "", {"JPEG :\nCan't open " + File("gone.jpg") + "\n"});
    // ".jpeg" is not one of the endings.
    refused("kirsch.jpeg", "",
            {"CTexture::ReadFile : invalid file redirection : " + File("kirsch.jpeg") + "\n"});
    EXPECT_EQ(platform.messages.back().icon, MsgIcon::Exclamation);

    // A width whose row overflows 32 bits never wraps into a small buffer.
    CTexture t;
    platform.messages.clear();
    EXPECT_FALSE(t.Alloc(0x80000000u, 2, 24));
    ExpectEmpty(t);
    EXPECT_EQ(Texts(), std::vector<std::string>{"CTexture::Alloc : Insufisant memory"});
}

TEST_F(TextureTest, BmpRowsKeepTheirPaddingThroughTheSwap) {
    const Picture p = Gradient(5, 3);
    WriteBytes(File("five.bmp"), MakeBmp(p, {.padding = 0xAB}));
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

// biSizeImage 0 or too small, a top-down file and pixels behind a gap (as a 124-byte
// header would leave) all load the picture the same way: bottom row first, every byte
// from the file.
TEST_F(TextureTest, BmpVariantsLoadTheSamePicture) {
    const Picture p = Gradient(7, 6);
    for (const BmpOptions& o : {BmpOptions{.sizeImage = 0}, BmpOptions{.sizeImage = 10},
                                BmpOptions{.topDown = true}, BmpOptions{.gap = 84}}) {
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

    // With a given size the unpadded file rows land at the start of padded rows.
    std::vector<uint8_t> rows(5 * 2 * 3);
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = uint8_t(100 + i);
    WriteBytes(File("r.raw"), rows);
    ASSERT_TRUE(t.ReadFile(File("r.raw"), 5, 2, 24));
    EXPECT_EQ(t.rowBytes, 16);
    EXPECT_EQ(0, std::memcmp(t.pixels, rows.data(), 15));
    EXPECT_EQ(0, std::memcmp(t.pixels + 16, rows.data() + 15, 15));
    EXPECT_TRUE(platform.messages.empty());
}

// JPEG rows come top first, as the decoder gives them, spaced by the padded row length;
// so a BMP and a JPEG of one picture are mirrored in memory.
TEST_F(TextureTest, JpegRowsAreSpacedByRowBytesAndMirrorTheBmp) {
    const Picture p = Gradient(5, 4);
    ASSERT_TRUE(JpegFile::EncodeFromRgb(File("w5.jpg"), p.rgb.data(), 5, 4, true, 100));
    uint32_t w, h;
    std::unique_ptr<uint8_t[]> decoded(JpegFile::DecodeToRgb(File("w5.jpg"), w, h));
    ASSERT_TRUE(decoded);
    CTexture t;
    ASSERT_TRUE(t.ReadFile(File("w5.jpg"), -1, -1, -1));
    ASSERT_TRUE(t.SwapRedBlue());
    EXPECT_EQ(t.rowBytes, 16);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 5; ++x) {
            const uint8_t* q = &decoded[(y * 5 + x) * 3];
            ASSERT_EQ(TexelRgb(t, x, y), (std::vector<uint8_t>{q[0], q[1], q[2]}));
        }

    const Picture redOverBlue = test::RedOverBlue(16, 16);
    WriteBytes(File("pic.bmp"), MakeBmp(redOverBlue));
    ASSERT_TRUE(
        JpegFile::EncodeFromRgb(File("pic.jpg"), redOverBlue.rgb.data(), 16, 16, true, 100));
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

// The nine textures that ship in the program folder.
TEST_F(TextureTest, NumberedTexturesShipWithTheProgram) {
    for (int n = 1; n <= 9; ++n) {
        CTexture t;
        const std::string path =
            test::kBuiltProgram + "texturen/textur" + std::to_string(n) + ".jpg";
        ASSERT_TRUE(t.ReadFile(path, -1, -1, -1)) << path;
        EXPECT_EQ(t.width, 512u);
        EXPECT_EQ(t.height, 512u);
    }
    EXPECT_TRUE(platform.messages.empty());
}

}  // namespace
}  // namespace orx
