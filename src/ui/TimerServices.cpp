// The 10-millisecond timer: follow mode, auto-rotation and the demo slideshow.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "app/ViewerDlg.h"
#include "platform/Text.h"
#include "ui/IniFile.h"
#include "ui/SettingsKeys.h"
#include "ui/WindowsPath.h"

namespace orx {

namespace {

constexpr int kLiveInterval = 100;   // ticks between two follow checks
constexpr int kDemoInterval = 1000;  // a demo step when the counter passes this
constexpr int kDemoFirstTick = 998;  // the first step comes on the third tick
constexpr size_t kLiveBufferSize = 1020;
const char* const kSettingsFileName = "orx-view.ini";  // holds the drive table

// Wildcard match with '*' and '?', letters compared without regard to case.
bool MatchesPattern(const char* name, const char* pattern) {
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && AsciiLower(*pattern) == AsciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

}  // namespace

void CViewerDlg::OnTimer(unsigned) {
    if (m_bTimerActive == 0) return;
    // A tick that arrives inside a message box or dialog opened by a step does nothing.
    if (++m_nTimerBusy == 1) {
        if (m_bLiveFollow) LiveFollowCheck();
        if (m_bAutoRotate) RotateStep();
        if (m_nDemoTick >= 0) DemoStep();
    }
    --m_nTimerBusy;
}

void CViewerDlg::LiveFollowCheck() {
    if (++m_nLiveTick < kLiveInterval) return;
    const std::string winePrefix = m_platform.WinePrefix();
    m_strLiveIni = winpath::FindOrxIni(m_strProfileDir, winePrefix);
    const std::string value =
        ini::ReadString(key::kLiveSection, key::kLiveModel, "", kLiveBufferSize, m_strLiveIni);
    // A Windows path (a design program on Windows or under Wine) becomes a path of
    // this machine; one that has no place here counts as a missing file.
    std::optional<std::string> mapped;
    if (!value.empty())
        mapped = winpath::MapToLocal(value, {ProfileFile(kSettingsFileName), winePrefix});
    const std::string path = mapped.value_or(std::string());
    m_strLiveFile = path;
    struct stat st {};
    bool missing = !mapped;
    if (!value.empty() && mapped && ::stat(path.c_str(), &st) != 0) {
        // Only a file that is not there is waited for. One that is there but cannot be
        // reached (a folder that may not be searched, a loop of links) goes to the open
        // like any other, which tells what became of it; it counts with time 0.
        missing = errno == ENOENT || errno == ENOTDIR;
        st = {};
    }
    if (!value.empty() && missing) {
        // The named file is missing: a design program that saves by deleting and
        // writing the file anew is between the two. Nothing is loaded now; the file
        // counts as new when it is back, whatever its time.
        m_nLiveStamp = 0;
        m_liveIdentity = {};
        m_strLiveTried.clear();
    } else if (!value.empty()) {
        // Another file, or the same one written again: any change of its identity,
        // even one whose modification time was put back or did not move on a volume
        // with coarse times.
        const FileIdentity identity = FileIdentity::Of(st);
        const bool changed = path != m_strModelPath || identity != m_liveIdentity;
        // A file that was refused keeps differing from the current model; it is offered
        // again only when its name or its identity changes, so its message comes once.
        const bool triedAlready = path == m_strLiveTried && identity == m_liveTriedIdentity;
        if (changed && !triedAlready) {
            m_nLiveStamp = static_cast<int>(st.st_mtime);
            m_liveIdentity = identity;
            m_strLiveTried = path;
            m_liveTriedIdentity = identity;
            // A slideshow that started by itself gives way to the first model that can
            // be read; one that cannot leaves the show running.
            if (m_bDemoFollows && m_nDemoTick >= 0 && ModelReadable(path))
                EndDemoForFollowedModel();
            OpenModelFile(path);
        }
    }
    m_nLiveTick = 0;
}

void CViewerDlg::RequestFollowCheck() {
    // The next tick's increment reaches the interval.
    m_nLiveTick = std::max(m_nLiveTick, kLiveInterval - 1);
}

std::vector<std::string> CViewerDlg::FollowedFiles() const {
    std::vector<std::string> files;
    if (!m_bLiveFollow) return files;
    if (!m_strLiveIni.empty()) files.push_back(m_strLiveIni);
    if (!m_strLiveFile.empty()) files.push_back(m_strLiveFile);
    return files;
}

void CViewerDlg::StartDemo() {
    CentreView();
    // Every start appends to the files of earlier starts.
    if (!FindFiles(m_strProgramDir, "*.gl", m_demoFiles, 0)) return;
    m_nDemoTick = kDemoFirstTick;
    m_nDemoIndex = 0;
    m_bLiveFollow = false;
    m_bDemoFollows = false;
    for (int i = 0; i < 4; ++i) ZoomOut();
    // Turning belongs to the show; the stored setting stays as it is.
    m_bAutoRotate = true;
}

void CViewerDlg::EndDemoForFollowedModel() {
    m_nDemoTick = kDemoOff;
    m_bDemoFollows = false;
    // The options the show drew were never stored: the stored ones come back, the
    // user's texture with them.
    ReadStoredDisplayOptions();
    SelectTexture(m_pProfile->ReadInt(m_strSection, key::kTexture, 1), false);
    // The show zoomed out; the model comes at the distance of a start.
    CentreView();
}

void CViewerDlg::DemoStep() {
    if (++m_nDemoTick <= kDemoInterval) return;
    m_nDemoTick = 0;
    // A running demo always has files; should the list be empty, the demo ends.
    if (m_demoFiles.empty()) {
        m_nDemoTick = kDemoOff;
        return;
    }
    if (++m_nDemoIndex >= static_cast<int>(m_demoFiles.size())) m_nDemoIndex = 0;
    const std::string path = m_demoFiles[static_cast<size_t>(m_nDemoIndex)];

    // Display options drawn for this model; none goes to the settings.
    m_bShowAxes = RandomUpTo(3) == 1;
    m_bShowRoomEdges = RandomUpTo(3) == 1;
    m_bShowZeroPlane = RandomUpTo(3) == 1;
    m_nLightMode = RandomUpTo(1);
    m_nColourScheme = RandomUpTo(2);
    const int m = RandomUpTo(11) + 1;
    if (m <= 3) {
        m_nShading = m;
    } else {
        m_nShading = kModeTextured;
        SelectTexture(m - 3, false);
    }
    OpenModelFile(path);
}

int CViewerDlg::RandomFromValue(int r, int n) {
    // Slightly below 1/32767 in single precision, so r = 32767 still gives n.
    const float q = 1.0f / 32767.0f;
    return static_cast<int>(static_cast<double>(r) * static_cast<double>(q) * (n + 1));
}

// The C library's generator here delivers up to 31 bits; its low 15 bits give the
// values 0..32767 that the factor above is made for (and nothing changes where
// RAND_MAX is 32767).
int CViewerDlg::RandomUpTo(int n) { return RandomFromValue(std::rand() & 0x7FFF, n); }

bool CViewerDlg::FindFiles(const std::string& folder, const std::string& pattern,
                           std::vector<std::string>& list, int level) {
    namespace fs = std::filesystem;
    struct Entry {
        std::string name;
        fs::file_type type;
    };
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return false;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        // The entry's own type: a symbolic link counts as a link, never as its target.
        const fs::file_type type = it->symlink_status(ec).type();
        if (ec) {
            ec.clear();
            continue;
        }
        entries.push_back({it->path().filename().string(), type});
    }
    // Name order, so that the slideshow runs the same way every time.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });

    // Sub-folders first, depth-first. Hidden folders are skipped, and links as they
    // could lead back up the tree.
    for (const Entry& e : entries) {
        if (e.type == fs::file_type::directory && e.name[0] != '.')
            FindFiles(folder + e.name + "/", pattern, list, level + 1);
    }
    for (const Entry& e : entries) {
        if (e.type == fs::file_type::regular && e.name[0] != '.' &&
            MatchesPattern(e.name.c_str(), pattern.c_str()))
            list.push_back(folder + e.name);
    }

    if (level > 0) return true;
    if (list.empty()) {
        ShowMessage("Nothing found!");
        return false;
    }
    return true;
}

}  // namespace orx
