#include "ui/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "ui/IniFile.h"

namespace orx {

namespace {

const char* const kWriteErrors[] = {"Error in Writing Ini File:\n",
                                    "Fehler bei Schreiben der Ini Datei:\n"};

uint16_t ClampLanguage(unsigned language) {
    return language >= 2 ? 1 : static_cast<uint16_t>(language);
}

std::string HexText(uint16_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

int AppProfile::GetProfileInt(const std::string& section, const std::string& key,
                              int defaultValue) const {
    const std::string text = ini::ReadString(section, key, "", 254, m_strFileName);
    if (text.empty()) return defaultValue;
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

bool AppProfile::WriteProfileInts(const std::string& section,
                                  const std::vector<std::pair<std::string, int>>& values) const {
    std::vector<std::pair<std::string, std::string>> texts;
    texts.reserve(values.size());
    for (const auto& [key, value] : values) texts.emplace_back(key, std::to_string(value));
    return ini::WriteStrings(section, texts, m_strFileName);
}

CProfile::CProfile(unsigned language)
    : m_bHasFile(false), m_nLanguage(ClampLanguage(language)), m_bPlacementPending(true) {}

CProfile::CProfile(const std::string& folder, const std::string& fileName, unsigned language,
                   bool showErrors)
    : m_strFileName(fileName),
      m_strPath(folder + "/" + fileName),
      m_bShowErrors(showErrors),
      m_bErrorShown(false),
      m_bHasFile(true),
      m_nLanguage(ClampLanguage(language)) {
    m_strWriteError = std::string(kWriteErrors[m_nLanguage]) + fileName;
}

CProfile::~CProfile() = default;

uint16_t CProfile::ReadInt(const std::string& section, const std::string& key,
                           uint16_t defaultValue) {
    const std::string text = ini::ReadString(section, key, HexText(defaultValue), 254, m_strPath);
    std::snprintf(m_szValue, sizeof m_szValue, "%s", text.c_str());
    return static_cast<uint16_t>(std::strtol(m_szValue, nullptr, 0));
}

bool CProfile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) {
    const std::string text =
        ini::ReadString(section, key, defaultValue ? "1" : "0", 254, m_strPath);
    std::snprintf(m_szValue, sizeof m_szValue, "%s", text.c_str());
    return std::strcmp(m_szValue, "1") == 0;
}

std::string CProfile::ReadString(const std::string& section, const std::string& key) {
    return ini::ReadString(section, key, "", 4096, m_strPath);
}

void CProfile::WriteInt(const std::string& section, const std::string& key, uint16_t value) {
    WriteText(section, key, HexText(value));
}

void CProfile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteText(section, key, value ? "1" : "0");
}

void CProfile::WriteText(const std::string& section, const std::string& key,
                         const std::string& text) {
    if (ini::WriteString(section, key, text, m_strPath)) return;
    if (m_bShowErrors && !m_bErrorShown) {
        ShowMessage(m_strWriteError, MsgIcon::Exclamation);
        m_bErrorShown = true;
    }
}

void CProfile::RestoreWindowPlacement(const AppProfile& app, Platform& window,
                                      const std::string& section, int keepSize) {
    if (!m_bPlacementPending) return;
    m_bPlacementPending = false;
    const WindowPlacement current = window.GetWindowPlacement();
    const int x = app.GetProfileInt(section, "x", 10);
    const int y = app.GetProfileInt(section, "y", 10);
    int right = app.GetProfileInt(section, "dx", 500);
    int bottom = app.GetProfileInt(section, "dy", 400);
    if (keepSize == 1) {
        right = x + current.normalPosition.Width();
        bottom = y + current.normalPosition.Height();
    }
    WindowPlacement placement;
    placement.minPosition.y = app.GetProfileInt(section, "miny", 0);
    placement.minPosition.x = app.GetProfileInt(section, "minx", 0);
    placement.maxPosition.y = app.GetProfileInt(section, "maxy", -1);
    placement.maxPosition.x = app.GetProfileInt(section, "maxx", -1);
    placement.flags = app.GetProfileInt(section, "flag", 1);
    placement.showCmd = app.GetProfileInt(section, "cmd", 1);
    placement.normalPosition = Rect{x, y, right, bottom};
    window.SetWindowPlacement(placement);
}

void CProfile::SaveWindowPlacement(const AppProfile& app, const Platform& window,
                                   const std::string& section) {
    const WindowPlacement p = window.GetWindowPlacement();
    app.WriteProfileInts(section, {{"x", p.normalPosition.left},
                                   {"y", p.normalPosition.top},
                                   {"dx", p.normalPosition.right},
                                   {"dy", p.normalPosition.bottom},
                                   {"miny", p.minPosition.y},
                                   {"minx", p.minPosition.x},
                                   {"maxy", p.maxPosition.y},
                                   {"maxx", p.maxPosition.x},
                                   {"flag", p.flags},
                                   {"cmd", p.showCmd}});
}

}  // namespace orx
