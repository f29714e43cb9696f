#pragma once
// The records of a model file, parsed once and kept for as long as the file on
// disk stays the same (same file, size, and modification and status-change times to
// the nanosecond). The status-change time moves with every write and no program can
// set it back, so content rewritten at the same size with the old modification time
// put back, or saved twice within one step of a coarse clock, is still read anew.
// A build reads the file twice and an open builds three times; all of them are
// served from one parse.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

constexpr int kMaxOutlinePoints = 33;
constexpr size_t kRecordLineLimit = 2999;  // characters of a record line

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

// Points that a record type draws from each outline; 0 for types not drawn.
int PointsDrawn(long type);

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
    std::vector<ParsedRecord> records;  // the lines that parsed, in file order
    std::vector<double> coords;

private:
    bool m_valid = false;
    std::string m_path;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    off_t m_size = 0;
    timespec m_mtime{};
    timespec m_ctime{};
    uint64_t m_generation = 0;
};

}  // namespace orx
