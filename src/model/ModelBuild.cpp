// Model build into display list 1, file acceptance and the window title.
#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/ViewerDlg.h"
#include "model/ModelName.h"
#include "model/Title.h"
#include "ui/SettingsKeys.h"

namespace orx {

void CViewerDlg::LoadModel(const std::string& path) {
    ShowBusy();
    ClearMeasuredBounds(m_bounds);
    m_bMeasuring = true;
    m_modelRead = ModelRead{};
    m_modelRead.requested = true;

    // The measuring pass: the emitters only widen the bounds. The records stay in
    // the parse cache for the pass that draws them into the list.
    bool drawn = false;
    if (ReadModelFile(path, m_nPart)) {
        ModelBounds& b = m_bounds;
        // The divisor is the largest maximum coordinate.
        b.extent = b.maxX;
        if (b.extent < b.maxY) b.extent = b.maxY;
        if (b.maxZ > b.extent) b.extent = b.maxZ;
        // A model lying wholly at zero or negative coordinates would be divided by
        // zero or mirrored through the origin: it is scaled by its largest side.
        const bool pointSeen = b.maxX != kNoMaximum || b.maxY != kNoMaximum || b.maxZ != kNoMaximum;
        if (pointSeen && !(b.extent > 0.0)) {
            b.extent = std::max({b.maxX - b.minX, b.maxY - b.minY, b.maxZ - b.minZ});
            if (!(b.extent > 0.0)) b.extent = 1.0;
        }
        m_bMeasuring = false;
        b.centreX = b.minX + (b.maxX - b.minX) * 0.5;
        b.centreY = b.minY + (b.maxY - b.minY) * 0.5;
        b.centreZ = b.minZ + (b.maxZ - b.minZ) * 0.5;
        m_fScale[0] = m_fScale[1] = m_fScale[2] = 1.0f;
        drawn = true;
        m_modelRead.read = true;
        m_modelRead.path = path;
        m_modelRead.fileGeneration = m_modelCache.Generation();
        m_modelRead.part = m_nPart;
        m_modelRead.bounds = m_bounds;
    }
    // A file that cannot be read starts the slideshow. While the slideshow already
    // runs it goes on with its next file instead: starting it again would append
    // every file once more at each unreadable file, and the list would grow without
    // end while the files after the unreadable one were never shown.
    if (!drawn) {
        // The slideshow may have a message to show: not under the busy pointer.
        EndBusy();
        if (m_nDemoTick < 0) {
            // A slideshow that starts because the model follow mode named (or none yet)
            // could not be read leaves follow mode watching: on Linux the viewer is
            // usually started before the design program saves its first model.
            const bool following = m_bLiveFollow;
            StartDemo();
            if (m_nDemoTick >= 0 && following) {
                m_bLiveFollow = true;
                m_bDemoFollows = true;
            }
        }
    }
    NotePickSource(drawn, path);
    // Building on every occasion (a test's comparison) compiles at once.
    if (!m_bReuseModelList) CompileModelList();
}

void CViewerDlg::RebuildModel(const std::string& path) {
    if (KeepModelRead(path)) return;
    LoadModel(path);
}

bool CViewerDlg::ModelReadable(const std::string& path) {
    const std::string kind = ModelKind(path);
    return HasModelExtension(path) && (kind == "2d" || kind == "3d") && m_modelCache.Load(path);
}

void CViewerDlg::OpenModelFile(const std::string& path) {
    if (!HasModelExtension(path)) {
        ShowMessage("No *.gl -> NO 3D!");
        return;
    }
    const std::string kind = ModelKind(path);
    if (kind == "2d") {
        m_nPart = 1;
    } else if (kind == "3d") {
        m_nPart = kWholeModel;
    } else {
        ShowMessage("Unbekanntes Dateiformat");
        return;
    }
    RebuildModel(path);
    m_strModelPath = path;
    UpdateTitle(0);
    SetupGLState(m_nLightMode);
}

void CViewerDlg::UpdateTitle(int step) {
    std::string title = std::string("ORX-View ") + kWebAddress;
    if (m_nPart > 0) {
        if (step == -1 && m_nPart > 1) --m_nPart;
        if (step == 1 && m_nPart < m_nPartCount) ++m_nPart;
        char text[64];
        std::snprintf(text, sizeof text, " Objekt %d von %d", m_nPart, m_nPartCount);
        title += text;
    }
    if (m_nDemoTick >= 0) {
        char text[64];
        std::snprintf(text, sizeof text, " DEMO (%d/%d)", m_nDemoIndex,
                      static_cast<int>(m_demoFiles.size()));
        title += text;
    }
    m_platform.SetWindowText(title);
    RebuildModel(m_strModelPath);
    m_platform.Invalidate(false);
}

namespace {
const char* const kDialogFolderKey = key::kDialogFolder;
const char* const kSampleModels = "modelle/";

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A folder the user may write into. A folder without any write permission bit counts
// as closed also for root, as a read-only settings file does.
bool IsWritableFolder(const std::string& path) {
    struct stat st {};
    return IsFolder(path) && ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 &&
           ::access(path.c_str(), W_OK) == 0;
}
}  // namespace

std::string CViewerDlg::DialogFolder() {
    std::string modelFolder = FolderOf(m_strModelPath);
    if (IsFolder(modelFolder)) return modelFolder;
    std::string last = m_pProfile->ReadString(m_strSection, kDialogFolderKey);
    if (IsFolder(last)) return last;
    if (IsFolder(m_strProgramDir + kSampleModels)) return m_strProgramDir + kSampleModels;
    return m_strProgramDir;
}

void CViewerDlg::RememberDialogFolder(const std::string& chosen, const char* key) {
    if (key == nullptr) key = kDialogFolderKey;
    const std::string folder = FolderOf(chosen);
    if (!folder.empty() && folder != m_pProfile->ReadString(m_strSection, key))
        m_pProfile->WriteString(m_strSection, key, folder);
}

std::string CViewerDlg::SaveDialogFolder(const char* key, Platform::UserFolder fallback) {
    std::string last = m_pProfile->ReadString(m_strSection, key);
    if (IsFolder(last)) return last;
    // The shipped samples lie in the program folder, which a user of the installed
    // program cannot write to.
    std::string modelFolder = FolderOf(m_strModelPath);
    if (IsWritableFolder(modelFolder)) return modelFolder;
    return m_platform.UserFolderPath(fallback);
}

void CViewerDlg::OnOpenModel() {
    FileDialogSpec spec;
    spec.defaultExt = "*.gl";
    spec.initialName = "*.gl";
    spec.hideReadOnly = true;
    spec.filter = "ORX-openGL Datei (*.gl)|*.gl||";
    spec.initialFolder = DialogFolder();
    const std::optional<std::string> chosen = m_platform.OpenFileDialog(spec);
    if (!chosen) return;
    RememberDialogFolder(*chosen);
    OpenChosenModel(*chosen);
}

}  // namespace orx
