// JPEG decoding and encoding through libjpeg. A fatal codec error jumps back to a recovery
// point set in a small helper that holds no C++ objects; the call's state lives in a job
// structure of the caller, which releases everything on every path.
#include "image/JpegFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

// clang-format off
#include <jpeglib.h>
// clang-format on

#include "platform/Platform.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"

namespace orx {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so that the codec's error pointer is also ours
    jmp_buf recovery;
};

std::string Format(const char* format, const std::string& name) {
    const int n = std::snprintf(nullptr, 0, format, name.c_str());
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, name.c_str());
    return text;
}

enum class DecodeResult { Ok, Failed, OutOfMemory };

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    FILE* file = nullptr;
    uint8_t* output = nullptr;
    uint32_t* width = nullptr;
    uint32_t* height = nullptr;
};

// Runs the decompression; a fatal codec error returns Failed with the job half done.
DecodeResult RunDecode(DecodeJob& job) {
    jpeg_decompress_struct& cinfo = job.cinfo;
    if (setjmp(job.err.recovery)) return DecodeResult::Failed;

    jpeg_create_decompress(&cinfo);
    // The codec's own working memory is capped too (progressive images keep the whole
    // picture's coefficients); beyond it the decode fails like any corrupt file.
    cinfo.mem->max_memory_to_use = long(JpegFile::kMaxPixels * 8);
    jpeg_stdio_src(&cinfo, job.file);
    jpeg_read_header(&cinfo, TRUE);
    if (uint64_t(cinfo.image_width) * cinfo.image_height > JpegFile::kMaxPixels) {
        return DecodeResult::OutOfMemory;
    }
    jpeg_start_decompress(&cinfo);

    const int components = cinfo.out_color_components;
    if (components != 1 && components != 3 && components != 4) return DecodeResult::Failed;

    const uint64_t pixels = uint64_t(cinfo.output_width) * cinfo.output_height;
    if (pixels == 0) return DecodeResult::Failed;
    if (pixels > JpegFile::kMaxPixels) return DecodeResult::OutOfMemory;
    job.output = new (std::nothrow) uint8_t[pixels * 3];
    if (!job.output) return DecodeResult::OutOfMemory;
    *job.width = cinfo.output_width;
    *job.height = cinfo.output_height;

    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                cinfo.output_width * components, 1);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        jpeg_read_scanlines(&cinfo, row, 1);
        const uint32_t r = cinfo.output_scanline - 1;
        if (components == 3) {
            JpegFile::CopyRgbRow(row[0], cinfo.output_width, job.output, r);
        } else if (components == 1) {
            JpegFile::ExpandGreyRow(row[0], cinfo.output_width, job.output, r);
        } else {
            JpegFile::ConvertCmykRow(row[0], cinfo.output_width, job.output, r, inverted);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return DecodeResult::Ok;
}

struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    ReplacingFile* file = nullptr;
    const uint8_t* rows = nullptr;  // colour source or grey buffer
    uint32_t width = 0;
    uint32_t height = 0;
    bool colour = true;
    int quality = 75;
};

enum class EncodeResult { Ok, Failed, CannotOpen };

EncodeResult RunEncode(EncodeJob& job, const char* path) {
    jpeg_compress_struct& cinfo = job.cinfo;
    if (setjmp(job.err.recovery)) return EncodeResult::Failed;

    jpeg_create_compress(&cinfo);
    if (!job.file->Open(path)) return EncodeResult::CannotOpen;
    jpeg_stdio_dest(&cinfo, job.file->Stream());
    cinfo.image_width = job.width;
    cinfo.image_height = job.height;
    cinfo.input_components = job.colour ? 3 : 1;
    cinfo.in_color_space = job.colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);

    const size_t stride = size_t(job.width) * (job.colour ? 3 : 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(job.rows + size_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    return EncodeResult::Ok;
}

}  // namespace

void JpegFile::OnJpegError(jpeg_common_struct* cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->recovery, 1);
}

uint8_t* JpegFile::DecodeToRgb(const std::string& name, uint32_t& width, uint32_t& height,
                               const std::string& shownName) {
    width = 0;
    height = 0;
    // Only a regular file opens; a folder, FIFO or device cannot be opened.
    FILE* file = OpenRegularFile(name);
    if (!file) {
        ShowMessage(Format("JPEG :\nCan't open %s\n", shownName.empty() ? name : shownName));
        return nullptr;
    }

    DecodeJob job{};
    job.cinfo.err = jpeg_std_error(&job.err.pub);
    job.err.pub.error_exit = &JpegFile::OnJpegError;
    job.file = file;
    job.width = &width;
    job.height = &height;

    const DecodeResult result = RunDecode(job);
    jpeg_destroy_decompress(&job.cinfo);
    std::fclose(file);
    uint8_t* output = job.output;

    if (result == DecodeResult::Ok) return output;
    delete[] output;
    if (result == DecodeResult::OutOfMemory) {
        width = 0;
        height = 0;
        ShowMessage("JpegFile :\nOut of memory", MsgIcon::Stop);
    }
    return nullptr;
}

bool JpegFile::EncodeFromRgb(const std::string& name, const uint8_t* buffer, uint32_t width,
                             uint32_t height, bool colour, int quality) {
    if (!buffer || width == 0 || height == 0) return false;
    // The format's own limit; the codec would refuse such a size anyway.
    if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) return false;

    std::unique_ptr<uint8_t[]> greyBuffer;
    if (!colour) {
        greyBuffer.reset(new (std::nothrow) uint8_t[size_t(width) * height]);
        if (!greyBuffer) {
            ShowMessage("Memory error");
            return false;
        }
        const size_t count = size_t(width) * height;
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = buffer + i * 3;
            greyBuffer[i] = static_cast<uint8_t>(0.587 * p[1] + 0.299 * p[0] + 0.114 * p[2]);
        }
    }

    ReplacingFile file;
    EncodeJob job{};
    job.cinfo.err = jpeg_std_error(&job.err.pub);
    job.err.pub.error_exit = &JpegFile::OnJpegError;
    job.file = &file;
    job.rows = colour ? buffer : greyBuffer.get();
    job.width = width;
    job.height = height;
    job.colour = colour;
    job.quality = quality;

    const EncodeResult result = RunEncode(job, name.c_str());
    jpeg_destroy_compress(&job.cinfo);

    if (result == EncodeResult::CannotOpen) {
        ShowMessage(Format("JpegFile :\nCan't open %s\n", name));
        return false;
    }
    if (result != EncodeResult::Ok) {
        file.Discard();
        return false;
    }
    return file.Commit();
}

bool JpegFile::SwapRgbOrder(uint8_t* buffer, uint32_t width, uint32_t height) {
    if (!buffer) return false;
    const size_t count = size_t(width) * height;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* p = buffer + i * 3;
        const uint8_t t = p[0];
        p[0] = p[2];
        p[2] = t;
    }
    return true;
}

void JpegFile::CopyRgbRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex) {
    std::memcpy(out + size_t(rowIndex) * width * 3, row, size_t(width) * 3);
}

void JpegFile::ExpandGreyRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex) {
    uint8_t* p = out + size_t(rowIndex) * width * 3;
    for (uint32_t x = 0; x < width; ++x, p += 3) p[0] = p[1] = p[2] = row[x];
}

void JpegFile::ConvertCmykRow(const uint8_t* row, uint32_t width, uint8_t* out, uint32_t rowIndex,
                              bool inverted) {
    uint8_t* p = out + size_t(rowIndex) * width * 3;
    for (uint32_t x = 0; x < width; ++x, p += 3, row += 4) {
        // With Adobe's inverted values each byte is already the remaining light.
        const unsigned c = inverted ? row[0] : 255u - row[0];
        const unsigned m = inverted ? row[1] : 255u - row[1];
        const unsigned y = inverted ? row[2] : 255u - row[2];
        const unsigned k = inverted ? row[3] : 255u - row[3];
        p[0] = static_cast<uint8_t>((c * k + 127) / 255);
        p[1] = static_cast<uint8_t>((m * k + 127) / 255);
        p[2] = static_cast<uint8_t>((y * k + 127) / 255);
    }
}

}  // namespace orx
