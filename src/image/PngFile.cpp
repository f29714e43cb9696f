#include "image/PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstring>

#include "platform/ReplacingFile.h"

namespace orx {

bool PngFile::Write(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                    bool alpha, std::string& error) {
    if (width == 0 || height == 0 || width > PNG_USER_WIDTH_MAX || height > PNG_USER_HEIGHT_MAX) {
        error = "no picture to write";
        return false;
    }
    ReplacingFile file;
    errno = 0;
    if (!file.Open(path)) {
        error = "cannot write " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const bool encoded =
        png_image_write_to_stdio(&image, file.Stream(), 0, pixels, 0, nullptr) != 0;
    if (!encoded) {
        error = std::string("PNG encoding failed: ") + image.message;
        png_image_free(&image);
        file.Discard();
        return false;
    }
    errno = 0;
    if (!file.Commit()) {
        error = "cannot write " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
        return false;
    }
    return true;
}

}  // namespace orx
