#include "ui/IniFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"
#include "platform/Text.h"

namespace orx::ini {

namespace {

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

// "[name]" gives name; anything else is not a section line.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

// "key=value" gives key and value, trimmed.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// A line longer than this is no section or key line: a read skips it without keeping
// it (so a read costs the same whatever the file holds), a write keeps it as it is.
constexpr size_t kLineLimit = 4096;

bool TooLong(std::string_view line) { return line.size() > kLineLimit; }

// Hands the lines of a regular file to onLine(line), read in blocks: each line
// without its line feed (a carriage return before it stays). With `whole` false a
// line longer than kLineLimit comes cut to kLineLimit + 1 characters. A UTF-8
// byte-order mark at the start is skipped and reported through bom. False when the
// file cannot be opened (missing, not a regular file); nothing blocks. onLine
// returns false to stop.
template <typename OnLine>
bool ScanLines(const std::string& path, bool whole, bool& bom, OnLine onLine) {
    bom = false;
    std::FILE* file = OpenRegularFile(path);
    if (!file) return false;
    const size_t keep = whole ? std::string::npos : kLineLimit + 1;
    std::string line;
    bool first = true, stop = false, open = false;
    char block[16384];
    size_t got = 0;
    while (!stop && (got = std::fread(block, 1, sizeof block, file)) > 0) {
        std::string_view rest(block, got);
        if (first) {
            // fread fills the block unless the file ends, so a mark is never split.
            if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
                bom = true;
                rest.remove_prefix(kByteOrderMark.size());
            }
            first = false;
        }
        while (!rest.empty()) {
            const size_t nl = rest.find('\n');
            const std::string_view piece = rest.substr(0, nl);
            line.append(piece.substr(0, keep - std::min(keep, line.size())));
            open = true;
            if (nl == std::string_view::npos) break;
            open = false;
            if (!onLine(line)) {
                stop = true;
                break;
            }
            line.clear();
            rest.remove_prefix(nl + 1);
        }
    }
    // A last line without a line feed still counts.
    if (!stop && open) onLine(line);
    std::fclose(file);
    return true;
}

// The whole file as lines, for a write that keeps every line.
bool ReadLines(const std::string& path, std::vector<std::string>& lines, bool& bom) {
    return ScanLines(path, true, bom, [&](const std::string& line) {
        lines.push_back(line);
        return true;
    });
}

void MakeFolders(const std::string& folder) {
    std::string partial;
    for (size_t i = 0; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            if (!partial.empty()) ::mkdir(partial.c_str(), 0755);
        }
        if (i < folder.size()) partial += folder[i];
    }
}

}  // namespace

std::string ReadString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, size_t bufferSize,
                       const std::string& fileName) {
    auto cut = [bufferSize](std::string_view v) {
        if (bufferSize == 0) return std::string();
        return std::string(v.substr(0, bufferSize - 1));
    };
    bool inSection = false;
    bool found = false;
    bool bom = false;
    std::string value;
    ScanLines(fileName, false, bom, [&](const std::string& line) {
        std::string_view name, k, v;
        if (TooLong(line)) {
            // neither a section nor a key
        } else if (SectionName(line, name)) {
            inSection = EqualNoCase(name, section);
        } else if (inSection && KeyLine(line, k, v) && EqualNoCase(k, key)) {
            // A value written in quotes is returned without them.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            value = cut(v);
            found = true;
            return false;
        }
        return true;
    });
    return found ? value : cut(defaultValue);
}

namespace {

// Sets the key in the lines of a file: its line replaced in place, or a new line
// after the section's last key, or a new section at the end.
void SetKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
            const std::string& value, const std::string& lineEnd) {
    bool inSection = false;
    bool sectionSeen = false;
    size_t insertAt = 0;  // after the last key line of the section
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name, k, v;
        if (TooLong(lines[i])) {
            continue;  // kept as it is, as a read skips it
        } else if (SectionName(lines[i], name)) {
            if (inSection) break;
            inSection = EqualNoCase(name, section);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
        } else if (inSection && KeyLine(lines[i], k, v)) {
            if (EqualNoCase(k, key)) {
                // The key keeps the spelling it has in the file, the line its ending.
                const bool cr = !lines[i].empty() && lines[i].back() == '\r';
                lines[i] = std::string(k) + "=" + value + (cr ? "\r" : "");
                return;
            }
            insertAt = i + 1;
        }
    }
    if (sectionSeen) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                     key + "=" + value + lineEnd);
    } else {
        lines.push_back("[" + section + "]" + lineEnd);
        lines.push_back(key + "=" + value + lineEnd);
    }
}

}  // namespace

bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName) {
    return WriteStrings(section, {{key, value}}, fileName);
}

bool WriteStrings(const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& keyValues,
                  const std::string& fileName) {
    const std::string& path = fileName;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    // A file without any write permission bit is read-only, for root too.
    if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0)) return false;

    std::vector<std::string> lines;
    bool bom = false;
    if (exists && !ReadLines(path, lines, bom)) return false;
    // Lines added to a file whose lines end in CR LF end the same way.
    const bool crlf = !lines.empty() && !lines.front().empty() && lines.front().back() == '\r';
    const std::string lineEnd = crlf ? "\r" : "";
    if (!exists) {
        size_t slash = path.rfind('/');
        if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
    }
    for (const auto& [key, value] : keyValues) SetKey(lines, section, key, value, lineEnd);

    // The byte-order mark stays where it was.
    std::string text(bom ? kByteOrderMark : std::string_view());
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    // The new file takes the place of the old one only when it is complete.
    ReplacingFile file;
    if (!file.Open(path)) return false;
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file.Stream()) != text.size()) {
        file.Discard();
        return false;
    }
    return file.Commit();
}

}  // namespace orx::ini
