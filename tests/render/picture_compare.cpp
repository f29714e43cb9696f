// Compares a rendered picture with its reference picture, and stores reference pictures.
//
//   orx-picture-compare REFERENCE ACTUAL DIFF TOLERANCE MAX_PIXELS
//       A pixel differs when one of its channels is more than TOLERANCE away from the
//       reference. More than MAX_PIXELS differing pixels, or another size, fail (exit 1)
//       and write DIFF: the reference faded to light grey, differing pixels in red.
//   orx-picture-compare --store ACTUAL REFERENCE
//       Writes ACTUAL as a 24-bit BMP (the smaller form kept in the repository).
//
// Reads uncompressed 24- and 32-bit BMP files, bottom-up or top-down. Exit 2 on a file
// that cannot be read or written.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

uint32_t Le(const std::vector<uint8_t>& d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d[at + i];
    return v;
}

bool ReadBmp(const std::string& path, Picture& p, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    const std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
        error = path + " is not a BMP file";
        return false;
    }
    const uint32_t offset = Le(d, 10, 4);
    const int32_t width = int32_t(Le(d, 18, 4));
    const int32_t height = int32_t(Le(d, 22, 4));
    const int bits = int(Le(d, 28, 2));
    const uint32_t compression = Le(d, 30, 4);
    // 32-bit pictures may name their channel masks; those written here are the usual order.
    if ((bits != 24 && bits != 32) || (compression != 0 && !(bits == 32 && compression == 3)) ||
        width <= 0 || height == 0 || width > 16384 || height > 16384 || height < -16384) {
        error = path + ": only uncompressed 24- and 32-bit BMP files are read";
        return false;
    }
    const int rows = height < 0 ? -height : height;
    const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    if (offset > d.size() || d.size() - offset < stride * rows) {
        error = path + " is cut short";
        return false;
    }
    p.width = width;
    p.height = rows;
    p.rgb.resize(size_t(width) * rows * 3);
    for (int y = 0; y < rows; ++y) {
        const size_t row = offset + stride * size_t(height < 0 ? y : rows - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* s = &d[row + size_t(x) * (bits / 8)];
            uint8_t* o = &p.rgb[(size_t(y) * width + x) * 3];
            o[0] = s[2];
            o[1] = s[1];
            o[2] = s[0];
        }
    }
    return true;
}

void Put(std::vector<uint8_t>& d, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) d[at + i] = uint8_t(v >> (8 * i));
}

bool WriteBmp(const std::string& path, const Picture& p) {
    const size_t stride = ((size_t(p.width) * 24 + 31) / 32) * 4;
    std::vector<uint8_t> d(54 + stride * p.height, 0);
    d[0] = 'B';
    d[1] = 'M';
    Put(d, 2, uint32_t(d.size()), 4);
    Put(d, 10, 54, 4);
    Put(d, 14, 40, 4);
    Put(d, 18, uint32_t(p.width), 4);
    Put(d, 22, uint32_t(p.height), 4);
    Put(d, 26, 1, 2);
    Put(d, 28, 24, 2);
    Put(d, 34, uint32_t(stride * p.height), 4);
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = &d[54 + stride * size_t(p.height - 1 - y)];
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* c = p.At(x, y);
            row[x * 3] = c[2];
            row[x * 3 + 1] = c[1];
            row[x * 3 + 2] = c[0];
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(d.data()), std::streamsize(d.size()));
    return bool(out.flush());
}

int Usage() {
    std::fputs(
        "usage: orx-picture-compare REFERENCE ACTUAL DIFF TOLERANCE MAX_PIXELS\n"
        "       orx-picture-compare --store ACTUAL REFERENCE\n",
        stderr);
    return 2;
}

int Store(const std::string& actual, const std::string& reference) {
    Picture p;
    std::string error;
    if (!ReadBmp(actual, p, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (!WriteBmp(reference, p)) {
        std::fprintf(stderr, "cannot write %s\n", reference.c_str());
        return 2;
    }
    return 0;
}

int Compare(const std::string& referencePath, const std::string& actualPath,
            const std::string& diffPath, int tolerance, long maxPixels) {
    Picture reference, actual;
    std::string error;
    if (!ReadBmp(referencePath, reference, error) || !ReadBmp(actualPath, actual, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (reference.width != actual.width || reference.height != actual.height) {
        std::printf("size %dx%d, reference %dx%d\n", actual.width, actual.height, reference.width,
                    reference.height);
        return 1;
    }
    Picture diff = reference;
    long differing = 0;
    int largest = 0, largestX = 0, largestY = 0;
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            const uint8_t* a = reference.At(x, y);
            const uint8_t* b = actual.At(x, y);
            int worst = 0;
            for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int(a[c]) - int(b[c])));
            uint8_t* o = &diff.rgb[(size_t(y) * diff.width + x) * 3];
            if (worst > tolerance) {
                ++differing;
                o[0] = 255, o[1] = 0, o[2] = 0;
            } else {
                const int grey = 170 + (int(a[0]) + a[1] + a[2]) / 9;
                o[0] = o[1] = o[2] = uint8_t(grey);
            }
            if (worst > largest) largest = worst, largestX = x, largestY = y;
        }
    }
    std::printf(
        "%ld pixels differ by more than %d (at most %ld allowed); largest difference %d at "
        "(%d, %d)\n",
        differing, tolerance, maxPixels, largest, largestX, largestY);
    if (differing <= maxPixels) return 0;
    if (WriteBmp(diffPath, diff)) std::printf("difference picture: %s\n", diffPath.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--store") return Store(argv[2], argv[3]);
    if (argc != 6) return Usage();
    char* end = nullptr;
    const long tolerance = std::strtol(argv[4], &end, 10);
    if (*end || tolerance < 0 || tolerance > 255) return Usage();
    const long maxPixels = std::strtol(argv[5], &end, 10);
    if (*end || maxPixels < 0) return Usage();
    return Compare(argv[1], argv[2], argv[3], int(tolerance), maxPixels);
}
