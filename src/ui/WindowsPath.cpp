// Windows paths of the design program made into paths of this machine.
#include "ui/WindowsPath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/Text.h"
#include "ui/IniFile.h"

namespace orx::winpath {

namespace fs = std::filesystem;

namespace {

constexpr size_t kDriveValueSize = 1020;

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool HasDrive(const std::string& v) { return v.size() >= 2 && IsLetter(v[0]) && v[1] == ':'; }

// A name folded for comparison without regard to case: A to Z, and the letters
// À to Þ of UTF-8 (Ä, Ö, Ü and the other accented capitals of Western names).
std::string FoldCase(const std::string& name) {
    std::string out = name;
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c - 'A' + 'a');
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97)
                out[i + 1] = static_cast<char>(next + 0x20);
            ++i;
        }
    }
    return out;
}

std::string Join(const std::string& base, const std::string& name) {
    if (base.empty() || base.back() == '/') return base + name;
    return base + "/" + name;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

// The entry of `folder` whose name matches `name` without regard to case; the
// first in name order when several do.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) {
    const std::string wanted = FoldCase(name);
    std::vector<std::string> matches;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? std::string("/") : folder, ec);
    if (ec) return std::nullopt;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        std::string entry = it->path().filename().string();
        if (FoldCase(entry) == wanted) matches.push_back(std::move(entry));
    }
    if (matches.empty()) return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

bool IsWindowsPath(const std::string& value) {
    if (value.empty() || value[0] == '/') return false;
    return HasDrive(value) || value.find('\\') != std::string::npos;
}

bool IsValidUtf8(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t len = 0;
        unsigned code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + len > bytes.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            code = (code << 6) | (cc & 0x3F);
        }
        if ((len == 3 && code < 0x800) || (len == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& bytes) {
    // 0x80 to 0x9F; 0 marks the five bytes Windows-1252 leaves unassigned.
    static const unsigned kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        unsigned code = c;
        if (c >= 0x80 && c <= 0x9F) code = kHigh[c - 0x80] ? kHigh[c - 0x80] : 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

std::optional<std::string> DriveFolder(char letter, const DriveSources& sources) {
    if (!IsLetter(letter)) return std::nullopt;
    const char upper = static_cast<char>(letter & ~0x20);
    if (!sources.settingsFile.empty()) {
        // "N:=/mnt/kunden"; "N=/mnt/kunden" is understood too.
        std::string folder = ini::ReadString(kDriveSection, std::string(1, upper) + ":", "",
                                             kDriveValueSize, sources.settingsFile);
        if (folder.empty())
            folder = ini::ReadString(kDriveSection, std::string(1, upper), "", kDriveValueSize,
                                     sources.settingsFile);
        if (!folder.empty()) {
            // Only a full path of this machine can stand for a drive.
            if (folder[0] != '/') return std::nullopt;
            return folder;
        }
    }
    if (sources.winePrefix.empty()) return std::nullopt;
    const std::string devices = Join(sources.winePrefix, "dosdevices");
    const std::string lower(1, AsciiLower(upper));
    for (const std::string& name : {lower + ":", std::string(1, upper) + ":"}) {
        const fs::path link = Join(devices, name);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(link, ec);
        if (ec || !fs::exists(status)) continue;
        if (!fs::is_symlink(status)) return link.string();
        fs::path target = fs::read_symlink(link, ec);
        if (ec) continue;
        if (target.is_relative()) target = fs::path(devices) / target;
        std::string folder = target.lexically_normal().string();
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }
    return std::nullopt;
}

std::string ResolveComponents(const std::string& base, const std::vector<std::string>& components) {
    std::string path = base;
    bool searching = true;
    for (const std::string& name : components) {
        const std::string exact = Join(path, name);
        if (searching && !Exists(exact)) {
            if (const auto found = FindEntry(path, name)) {
                path = Join(path, *found);
                continue;
            }
            searching = false;
        }
        path = exact;
    }
    return path;
}

std::optional<std::string> MapToLocal(const std::string& value, const DriveSources& sources) {
    if (!IsWindowsPath(value)) return value;
    const std::string text = IsValidUtf8(value) ? value : Windows1252ToUtf8(value);
    // A drive letter followed by a separator: "C:\..." or "C:/...". Everything else
    // (UNC, rooted without a drive, relative) has no place on this machine.
    if (!HasDrive(text) || text.size() < 3 || !IsSeparator(text[2])) return std::nullopt;
    const auto base = DriveFolder(text[0], sources);
    if (!base) return std::nullopt;

    std::vector<std::string> components;
    size_t start = 3;
    while (start <= text.size()) {
        size_t end = start;
        while (end < text.size() && !IsSeparator(text[end])) ++end;
        const std::string name = text.substr(start, end - start);
        if (name == "..") {
            // As on Windows, ".." at the root of a drive stays there.
            if (!components.empty()) components.pop_back();
        } else if (!name.empty() && name != ".") {
            components.push_back(name);
        }
        start = end + 1;
    }
    return ResolveComponents(*base, components);
}

std::string FindOrxIni(const std::string& profileFolder, const std::string& winePrefix) {
    std::string own = Join(profileFolder, "ORX.INI");
    if (Exists(own) || winePrefix.empty()) return own;
    const std::string wine = ResolveComponents(winePrefix, {"drive_c", "windows", "ORX.INI"});
    return Exists(wine) ? wine : own;
}

}  // namespace orx::winpath
