// Reading model files: the header line, then one record line per solid part.
#include <cstdio>
#include <string_view>

#include "app/ViewerDlg.h"
#include "model/Numbers.h"

namespace orx {

namespace {

constexpr int kMaxPoints = 33;
constexpr size_t kLineBuffer = 3000;  // a record line holds at most 2999 characters

// The parser's store for one record line: two outlines of up to 33 points.
struct OutlineBuffer {
    double x1[kMaxPoints], y1[kMaxPoints], z1[kMaxPoints];
    double x2[kMaxPoints], y2[kMaxPoints], z2[kMaxPoints];
};

// Splits a line into fields at runs of " ,\t\n", as strtok does.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view& field) {
        while (m_pos < m_text.size() && IsSeparator(m_text[m_pos])) ++m_pos;
        if (m_pos >= m_text.size()) return false;
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSeparator(m_text[m_pos])) ++m_pos;
        field = m_text.substr(start, m_pos - start);
        return true;
    }

private:
    static bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\n'; }
    std::string_view m_text;
    size_t m_pos = 0;
};

// Points that the emitter of a record type draws from each outline; 0 for types
// that are not drawn.
int PointsDrawn(long type) {
    switch (type) {
        case 6: return 6;
        case 8: return 8;
        case 10: return 10;
        case 12: return 12;
        default: return 0;
    }
}

bool ReadOutline(FieldReader& fields, long count, double* x, double* y, double* z) {
    std::string_view field;
    for (long i = 0; i < count; ++i) {
        double* targets[3] = {x + i, y + i, z + i};
        for (double* target : targets) {
            if (!fields.Next(field)) return false;
            bool finite = true;
            *target = ParseDouble(field, finite);
            // One infinite point would make the bounds and every vertex non-finite.
            if (!finite) return false;
        }
    }
    return true;
}

}  // namespace

bool CViewerDlg::ReadModelFile(const std::string& path, int part) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string text;
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, n);
    std::fclose(file);

    std::string_view all(text);
    // The header line is discarded.
    size_t pos = all.find('\n');
    pos = pos == std::string_view::npos ? all.size() : pos + 1;
    int i = 0;
    while (pos < all.size()) {
        size_t end = all.find('\n', pos);
        const size_t next = end == std::string_view::npos ? all.size() : end + 1;
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(pos, end - pos);
        // CR LF ends a line like LF; a carriage return elsewhere stays in the line.
        if (end < all.size() && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        ++i;
        if (part < 0 || part == i) ParseModelLine(std::string(line));
        pos = next;
    }
    m_nPartCount = i;
    return true;
}

bool CViewerDlg::ParseModelLine(const std::string& line) {
    if (line.size() >= kLineBuffer) return false;
    FieldReader fields(line);
    std::string_view field;
    if (!fields.Next(field)) return false;
    const long type = ParseLong(field);
    if (!fields.Next(field)) return false;
    const long colour = ParseLong(field);
    if (!fields.Next(field)) return false;
    const long count = ParseLong(field);
    // A count outside the outline buffer, or short of the points the type draws,
    // is outside the format: such a record is not drawn.
    if (count < 0 || count > kMaxPoints || count < PointsDrawn(type)) return false;

    OutlineBuffer outlines;
    if (!ReadOutline(fields, count, outlines.x1, outlines.y1, outlines.z1)) return false;
    const bool second = type >= 10 && m_nPart < 0;
    if (second && !ReadOutline(fields, count, outlines.x2, outlines.y2, outlines.z2)) return false;

    const double* px = second ? outlines.x2 : outlines.x1;
    const double* py = second ? outlines.y2 : outlines.y1;
    const double* pz = second ? outlines.z2 : outlines.z1;
    switch (type) {
        case 6:
            DrawTriangularPrism(&colour, &count, outlines.x1, outlines.y1, outlines.z1);
            return true;
        case 8:
            DrawBox(&colour, &count, outlines.x1, outlines.y1, outlines.z1);
            return true;
        case 10:
            DrawPentagonalPrism(&colour, &count, px, py, pz, outlines.x1, outlines.y1, outlines.z1);
            return true;
        case 12:
            DrawHexagonalPrism(&colour, &count, px, py, pz, outlines.x1, outlines.y1, outlines.z1);
            return true;
        default:
            return false;
    }
}

}  // namespace orx
