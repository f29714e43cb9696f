#include "ui/IniFile.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
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

bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return true;
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
    std::vector<std::string> lines;
    if (!ReadLines(fileName, lines)) return cut(defaultValue);
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string_view name, k, v;
        if (SectionName(line, name)) {
            inSection = EqualNoCase(name, section);
        } else if (inSection && KeyLine(line, k, v) && EqualNoCase(k, key)) {
            // A value written in quotes is returned without them.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return cut(v);
        }
    }
    return cut(defaultValue);
}

namespace {

// Sets the key in the lines of a file: its line replaced in place, or a new line
// after the section's last key, or a new section at the end.
void SetKey(std::vector<std::string>& lines, const std::string& section, const std::string& key,
            const std::string& value) {
    bool inSection = false;
    bool sectionSeen = false;
    size_t insertAt = 0;  // after the last key line of the section
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name, k, v;
        if (SectionName(lines[i], name)) {
            if (inSection) break;
            inSection = EqualNoCase(name, section);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
        } else if (inSection && KeyLine(lines[i], k, v)) {
            if (EqualNoCase(k, key)) {
                // The key keeps the spelling it has in the file.
                lines[i] = std::string(k) + "=" + value;
                return;
            }
            insertAt = i + 1;
        }
    }
    if (sectionSeen) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + value);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
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
    if (exists && !ReadLines(path, lines)) return false;
    if (!exists) {
        size_t slash = path.rfind('/');
        if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
    }
    for (const auto& [key, value] : keyValues) SetKey(lines, section, key, value);

    std::string text;
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
