// Reading model files: the header line, then one record line per solid part.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/ViewerDlg.h"
#include "geometry/DesignColour.h"
#include "model/ModelCache.h"
#include "model/Numbers.h"
#include "platform/RegularFile.h"

namespace orx {

namespace {

constexpr size_t kReadBlock = size_t(1) << 20;  // bytes read at a time

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

// Reads count points; keeps the first n of them as x[n], y[n], z[n] at coords[at].
bool ReadOutline(FieldReader& fields, long count, int n, std::vector<double>& coords, size_t at) {
    std::string_view field;
    for (long i = 0; i < count; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            if (!fields.Next(field)) return false;
            bool finite = true;
            const double value = ParseDouble(field, finite);
            // One infinite point would make the bounds and every vertex non-finite.
            if (!finite) return false;
            if (i < n) coords[at + static_cast<size_t>(axis) * n + static_cast<size_t>(i)] = value;
        }
    }
    return true;
}

}  // namespace

bool ParseRecord(std::string_view line, ParsedRecord& record, std::vector<double>& coords) {
    record.validSingle = record.validWhole = false;
    if (line.size() > kRecordLineLimit) return false;
    FieldReader fields(line);
    std::string_view field;
    if (!fields.Next(field)) return false;
    record.type = ParseLong(field);
    if (!fields.Next(field)) return false;
    record.colour = ReadColourField(field);
    if (!fields.Next(field)) return false;
    record.count = ParseLong(field);
    const RecordType* kind = FindRecordType(record.type);
    const int n = kind ? kind->points : 0;
    // Types that draw nothing, and counts outside the outline buffer or short of the
    // points the type draws, are outside the format: such a record is not drawn.
    if (n == 0 || record.count < n || record.count > kMaxOutlinePoints) return false;

    const size_t start = coords.size();
    coords.resize(start + 3 * static_cast<size_t>(n));
    if (!ReadOutline(fields, record.count, n, coords, start)) {
        coords.resize(start);
        return false;
    }
    record.first = record.second = static_cast<uint32_t>(start);
    record.validSingle = true;
    record.validWhole = !kind->placedOutline;
    if (kind->placedOutline) {
        const size_t second = coords.size();
        coords.resize(second + 3 * static_cast<size_t>(n));
        if (ReadOutline(fields, record.count, n, coords, second)) {
            record.second = static_cast<uint32_t>(second);
            record.validWhole = true;
        } else {
            coords.resize(second);
        }
    }
    return true;
}

void ModelFileCache::Clear() {
    ++m_generation;
    m_valid = false;
    lineCount = 0;
    header.clear();
    records.clear();
    coords.clear();
}

bool ModelFileCache::Load(const std::string& path) {
    // The file is opened first and its identity, size and time taken from the open
    // descriptor: a file that cannot be opened now is never served from the cache.
    struct stat opened {};
    std::FILE* file = OpenRegularFile(path, &opened);
    if (!file) {
        Clear();
        return false;
    }
    if (m_valid && path == m_path && FileIdentity::Of(opened) == m_identity) {
        std::fclose(file);
        return true;
    }

    Clear();
    // The file is read in blocks of a fixed size and parsed line by line. A line that
    // outgrows the record limit is dropped as it is read, so memory stays the same
    // however long a line is.
    std::vector<char> buffer(kReadBlock);
    size_t filled = 0;
    bool inHeader = true, skipping = false, atEnd = false, readError = false;
    int i = 0;
    ParsedRecord record;
    auto endOfLine = [&](std::string_view line, bool lineFeed) {
        if (inHeader) {  // the header line is kept as text only
            inHeader = false;
            if (!skipping) {
                if (lineFeed && !line.empty() && line.back() == '\r') line.remove_suffix(1);
                header.assign(line.substr(0, kRecordLineLimit));
            }
            return;
        }
        ++i;
        if (skipping) return;  // too long for a record
        // CR LF ends a line like LF; a carriage return elsewhere stays in the line.
        if (lineFeed && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        record.line = i;
        if (ParseRecord(line, record, coords)) records.push_back(record);
    };
    while (!atEnd) {
        const size_t got = std::fread(buffer.data() + filled, 1, buffer.size() - filled, file);
        filled += got;
        if (got == 0) {
            atEnd = true;
            readError = std::ferror(file) != 0;
        }
        const std::string_view block(buffer.data(), filled);
        size_t pos = 0;
        while (pos < block.size()) {
            const size_t end = block.find('\n', pos);
            if (end == std::string_view::npos) break;
            endOfLine(block.substr(pos, end - pos), true);
            skipping = false;
            pos = end + 1;
        }
        // What is left is the start of a line whose end is still to come. Past the
        // limit (and a carriage return) it can no longer be a record: it is dropped,
        // and so is the rest of it up to its line feed.
        if (filled - pos > kRecordLineLimit + 1) {
            if (inHeader && !skipping) header.assign(block.substr(pos, kRecordLineLimit));
            skipping = true;
            pos = filled;
        }
        if (atEnd && (pos < filled || skipping)) {
            endOfLine(block.substr(pos), false);  // a last line without a line feed
            pos = filled;
        }
        std::memmove(buffer.data(), buffer.data() + pos, filled - pos);
        filled -= pos;
    }
    std::fclose(file);

    lineCount = i;
    // A file that could not be read to its end is not kept: the next build reads again.
    if (!readError) {
        m_valid = true;
        m_path = path;
        m_identity = FileIdentity::Of(opened);
    }
    return true;
}

void CViewerDlg::DrawRecord(const ParsedRecord& r, const double* coords) {
    RecordOutlines o;
    if (!ShownOutlines(r, coords, m_nPart < 0, o)) return;
    const int n = o.points;
    const double* a = o.reference;
    const double* p = o.placed;
    switch (r.type) {
        case 6: DrawTriangularPrism(&r.colour, &r.count, a, a + n, a + 2 * n); break;
        case 8: DrawBox(&r.colour, &r.count, a, a + n, a + 2 * n); break;
        case 10:
            DrawPentagonalPrism(&r.colour, &r.count, p, p + n, p + 2 * n, a, a + n, a + 2 * n);
            break;
        case 12:
            DrawHexagonalPrism(&r.colour, &r.count, p, p + n, p + 2 * n, a, a + n, a + 2 * n);
            break;
        default: break;
    }
}

void CViewerDlg::DrawThrough(GlSink& sink, const std::function<void()>& draw) {
    // The drawing sink and the bounds come back however `draw` ends, also when it
    // throws (out of memory while gathering an export).
    struct Restore {
        CViewerDlg& dlg;
        GlSink* const sink;
        const ModelBounds bounds;
        ~Restore() {
            dlg.m_pSink = sink;
            dlg.m_bounds = bounds;
        }
    } restore{*this, m_pSink, m_bounds};
    m_pSink = &sink;
    draw();
}

void CViewerDlg::DrawRecords(int part) {
    if (part == 0) return;
    const ModelFileCache& cache = m_modelCache;
    for (const ParsedRecord& r : cache.records) {
        if (ShownInPart(r, part)) DrawRecord(r, cache.coords.data());
    }
}

bool CViewerDlg::ReadModelFile(const std::string& path, int part) {
    if (!m_modelCache.Load(path)) return false;
    DrawRecords(part);
    m_nPartCount = m_modelCache.lineCount;
    return true;
}

bool CViewerDlg::ParseModelLine(const std::string& line) {
    std::vector<double> coords;
    coords.reserve(6 * kMaxOutlinePoints);
    ParsedRecord record;
    if (!ParseRecord(line, record, coords)) return false;
    RecordOutlines shown;
    if (!ShownOutlines(record, coords.data(), m_nPart < 0, shown)) return false;
    DrawRecord(record, coords.data());
    return true;
}

}  // namespace orx
