#pragma once
// The records of a model file, parsed once and kept for as long as the file on
// disk stays the same (same file, size, and modification and status-change times to
// the nanosecond). The status-change time moves with every write and no program can
// set it back, so content rewritten at the same size with the old modification time
// put back, or saved twice within one step of a coarse clock, is still read anew.
// A build reads the file twice and an open builds three times; all of them are
// served from one parse.
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

constexpr int kMaxOutlinePoints = 33;
constexpr size_t kRecordLineLimit = 2999;  // characters of a record line

// What the format says of each record type that is drawn.
struct RecordType {
    long type;
    int points;          // points drawn from each outline
    int capCorners;      // corners of each cap of a prism; 0 for a block
    bool placedOutline;  // in a whole model a second outline places the corners
    const char* kind;    // the kind's German name
};
inline constexpr RecordType kRecordTypes[] = {
    {6, 6, 3, false, "Dreieckprisma"},
    {8, 8, 0, false, "Quader"},
    {10, 10, 5, true, "Fünfeckprisma"},
    {12, 12, 6, true, "Sechseckprisma"},
};

// The entry of a record type; nullptr for a type that draws nothing.
inline const RecordType* FindRecordType(long type) {
    for (const RecordType& t : kRecordTypes)
        if (t.type == type) return &t;
    return nullptr;
}

// Points that a record type draws from each outline; 0 for types not drawn.
inline int PointsDrawn(long type) {
    const RecordType* t = FindRecordType(type);
    return t ? t->points : 0;
}

// One record line as the parser understood it.
struct ParsedRecord {
    int line = 0;  // record line number, from 1
    long type = 0;
    long colour = 0;  // the colour field's value; kUnreadableColour when it is no number
    long count = 0;
    // Drawable with one outline (a single part shown), and with two (whole model;
    // only types 10 and 12 read a second outline).
    bool validSingle = false;
    bool validWhole = false;
    // Offsets into the coordinate store of the first and the second outline, each
    // held as x[N], y[N], z[N] for the N points that the type draws.
    uint32_t first = 0;
    uint32_t second = 0;
};

// Whether a record is drawn while `part` is shown: negative, the whole model; k >= 1,
// record line k alone; 0, nothing.
inline bool ShownInPart(const ParsedRecord& r, int part) {
    return part < 0 ? r.validWhole : r.line == part && r.validSingle;
}

// The outlines a record is drawn and measured from, each x[points], y[points],
// z[points]: the placed outline holds the corners as drawn, the reference outline the
// part's flat coordinates that steer a cap's texture.
struct RecordOutlines {
    const double* placed = nullptr;
    const double* reference = nullptr;
    int points = 0;
};

// The one choice of outline: while the whole model is shown (`whole`) a type with a
// second outline is placed by it, else its one outline serves as both. False when the
// record is not drawn that way (a second outline that is incomplete).
inline bool ShownOutlines(const ParsedRecord& r, const double* coords, bool whole,
                          RecordOutlines& out) {
    if (whole ? !r.validWhole : !r.validSingle) return false;
    out.points = PointsDrawn(r.type);
    out.reference = coords + r.first;
    out.placed = coords + (whole ? r.second : r.first);
    return true;
}

// What tells two states of a file on disk apart: the file itself (device and inode),
// its size, and its modification and status-change times to the nanosecond. Equal
// identities mean the same content as far as the system can tell.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};

    static FileIdentity Of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    }
    bool operator==(const FileIdentity& o) const {
        return device == o.device && inode == o.inode && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

// Parses one record line into a record and its coordinates (appended to coords).
// Returns false when the line can be drawn in neither way.
bool ParseRecord(std::string_view line, ParsedRecord& record, std::vector<double>& coords);

class ModelFileCache {
public:
    // Makes the cache hold the records of the file at path, reading it only when it
    // changed. False when the file cannot be opened now (missing, unreadable, not a
    // regular file); the cache is then empty.
    bool Load(const std::string& path);
    void Clear();

    // The identity of the file whose records are held: false when nothing is kept
    // for `path` (never read, unreadable, or not read to its end).
    bool Holds(const std::string& path) const { return m_valid && path == m_path; }
    // Counts the times the records were emptied for a new read: records with the same
    // generation came from one read of the file.
    uint64_t Generation() const { return m_generation; }

    int lineCount = 0;                  // record lines of the file, parsed or not
    std::string header;                 // the header line, at most a record line's length
    std::vector<ParsedRecord> records;  // the lines that parsed, in file order
    std::vector<double> coords;

private:
    bool m_valid = false;
    std::string m_path;
    FileIdentity m_identity;
    uint64_t m_generation = 0;
};

}  // namespace orx
