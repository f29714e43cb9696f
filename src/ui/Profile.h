#pragma once
// Typed reads and writes of ini values with a one-time message for failed writes,
// and the window placement.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orx {

class Platform;

// The application's own profile (the ini file named after the executable), where
// the window placement is kept as decimal integers.
class AppProfile {
public:
    explicit AppProfile(std::string fileName) : m_strFileName(std::move(fileName)) {}
    int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) const;
    // Several keys in their order, with one write of the file.
    bool WriteProfileInts(const std::string& section,
                          const std::vector<std::pair<std::string, int>>& values) const;
    const std::string& FileName() const { return m_strFileName; }

private:
    std::string m_strFileName;
};

class CProfile {
public:
    explicit CProfile(unsigned language);
    // The settings file `fileName` in `folder`.
    CProfile(const std::string& folder, const std::string& fileName, unsigned language,
             bool showErrors);
    virtual ~CProfile();

    uint16_t ReadInt(const std::string& section, const std::string& key, uint16_t defaultValue);
    void WriteInt(const std::string& section, const std::string& key, uint16_t value);
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // A text value as it stands (a folder, say); empty when there is none.
    std::string ReadString(const std::string& section, const std::string& key);
    void WriteString(const std::string& section, const std::string& key, const std::string& text) {
        WriteText(section, key, text);
    }

    void RestoreWindowPlacement(const AppProfile& app, Platform& window, const std::string& section,
                                int keepSize);
    void SaveWindowPlacement(const AppProfile& app, const Platform& window,
                             const std::string& section);

    std::string m_strFileName;
    std::string m_strPath;  // the folder and the file name
    std::string m_strWriteError;
    bool m_bShowErrors = false;
    bool m_bErrorShown = false;
    bool m_bHasFile = false;
    uint16_t m_nLanguage = 0;
    char m_szValue[256] = {};
    bool m_bPlacementPending = false;

private:
    void WriteText(const std::string& section, const std::string& key, const std::string& text);
};

}  // namespace orx
