// gen-thumbnail-grid: puts PNG pictures of equal size side by side in a grid, for the
// README's picture of thumbnails. Transparency is kept.
//   gen-thumbnail-grid OUT.png COLUMNS IN.png...
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/PngFile.h"

namespace {

struct Picture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

bool Read(const char* path, Picture& p) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGBA;
    p.width = image.width;
    p.height = image.height;
    p.rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, p.rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int columns = argc > 3 ? std::atoi(argv[2]) : 0;
    if (columns < 1) {
        std::fprintf(stderr, "usage: gen-thumbnail-grid OUT.png COLUMNS IN.png...\n");
        return 2;
    }
    std::vector<Picture> pictures(argc - 3);
    for (int i = 3; i < argc; ++i) {
        Picture& p = pictures[i - 3];
        if (!Read(argv[i], p) || p.width != pictures[0].width || p.height != pictures[0].height) {
            std::fprintf(stderr, "gen-thumbnail-grid: %s is no PNG of the first one's size\n",
                         argv[i]);
            return 1;
        }
    }
    const uint32_t gap = 8;
    const uint32_t w = pictures[0].width, h = pictures[0].height;
    const uint32_t rows = static_cast<uint32_t>((pictures.size() + columns - 1) / columns);
    const uint32_t width = columns * w + (columns - 1) * gap;
    const uint32_t height = rows * h + (rows - 1) * gap;
    std::vector<uint8_t> grid(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const uint32_t x0 = static_cast<uint32_t>(i % columns) * (w + gap);
        const uint32_t y0 = static_cast<uint32_t>(i / columns) * (h + gap);
        for (uint32_t y = 0; y < h; ++y)
            std::memcpy(&grid[((y0 + y) * static_cast<size_t>(width) + x0) * 4],
                        &pictures[i].rgba[static_cast<size_t>(y) * w * 4], w * 4);
    }
    std::string error;
    if (!orx::PngFile::Write(argv[1], grid.data(), width, height, true, error)) {
        std::fprintf(stderr, "gen-thumbnail-grid: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
