// PNG pictures written from packed pixels: read back they give the same pixels, and a
// write that cannot finish leaves no file and keeps an old one.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "TestSupport.h"
#include "image/PngFile.h"

namespace orx::test {
namespace {

std::vector<uint8_t> ReadBack(const std::string& path, uint32_t format, uint32_t& w, uint32_t& h) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = format;
    w = image.width;
    h = image.height;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    return pixels;
}

TEST(PngFile, RgbAndRgbaComeBackUnchanged) {
    TempProfile dir;
    // 3 x 2 pixels: rows top first, odd width so that no row padding can hide.
    const std::vector<uint8_t> rgb = {255, 0,  0,  0,  255, 0,  0,  0,  255,
                                      10,  20, 30, 40, 50,  60, 70, 80, 90};
    std::string error;
    ASSERT_TRUE(PngFile::Write(dir.File("rgb.png"), rgb.data(), 3, 2, false, error)) << error;
    uint32_t w = 0, h = 0;
    EXPECT_EQ(ReadBack(dir.File("rgb.png"), PNG_FORMAT_RGB, w, h), rgb);
    EXPECT_EQ(std::pair(w, h), std::pair(3u, 2u));

    const std::vector<uint8_t> rgba = {1, 2, 3, 0,   4, 5, 6, 128, 7, 8, 9, 255,
                                       9, 8, 7, 255, 6, 5, 4, 1,   0, 0, 0, 0};
    ASSERT_TRUE(PngFile::Write(dir.File("rgba.png"), rgba.data(), 3, 2, true, error)) << error;
    EXPECT_EQ(ReadBack(dir.File("rgba.png"), PNG_FORMAT_RGBA, w, h), rgba);
}

TEST(PngFile, FailedWriteLeavesNoFileAndKeepsTheOldOne) {
    TempProfile dir;
    const std::vector<uint8_t> pixel = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(PngFile::Write(dir.File("fehlt/bild.png"), pixel.data(), 1, 1, false, error));
    EXPECT_NE(error.find("fehlt/bild.png"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("fehlt")));

    WriteText(dir.File("alt.png"), "old");
    ::chmod(dir.File("alt.png").c_str(), 0444);
    EXPECT_FALSE(PngFile::Write(dir.File("alt.png"), pixel.data(), 1, 1, false, error));
    EXPECT_EQ(ReadText(dir.File("alt.png")), "old");
    EXPECT_FALSE(PngFile::Write(dir.File("leer.png"), pixel.data(), 0, 1, false, error));
    EXPECT_FALSE(std::filesystem::exists(dir.File("leer.png")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace orx::test
