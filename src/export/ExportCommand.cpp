// Export of the shown model to a binary glTF file: the key E and its menu entry,
// and orx-render with a .glb name.
#include <cstdio>
#include <filesystem>

#include "app/ViewerDlg.h"
#include "export/GltfWriter.h"
#include "geometry/TriangleSink.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {

// The first line of the model file, without its line end; empty when unreadable.
std::string HeaderLine(const std::string& path) {
    std::string line;
    if (std::FILE* f = OpenRegularFile(path)) {
        int c;
        while ((c = std::fgetc(f)) != EOF && c != '\n' && line.size() < kRecordLineLimit)
            line += static_cast<char>(c);
        std::fclose(f);
    }
    return line;
}

}  // namespace

bool CViewerDlg::OpenModelForExport(const std::string& path, int part) {
    // Opening reads and measures the model; only a frame compiles list 1, and an
    // export draws no frame.
    return OpenModelForRendering(path, part);
}

bool CViewerDlg::GatherShownGeometry(TriangleSink& sink) {
    if (m_strModelPath.empty() || !m_modelCache.Load(m_strModelPath)) return false;
    // The emitters place every point relative to the build's centre and extent;
    // a centre of 0 and an extent of 1 leave the model's own millimetres. Modes 1
    // and 2 draw lines, so their faces are taken in the shades of mode 3.
    const int shading = m_nShading;
    if (m_nShading != kModeTextured || !m_texture.HasImage()) m_nShading = kModeSolid;
    DrawThrough(sink, [&] {
        m_bounds = ModelBounds{};
        ClearMeasuredBounds(m_bounds);
        m_bounds.extent = 1.0;
        const bool whole = m_nPart < 0;
        for (const ParsedRecord& r : m_modelCache.records) {
            if (!(whole ? r.validWhole : r.validSingle) || (!whole && m_nPart != r.line)) continue;
            sink.StartGroup(r.line);
            DrawRecord(r, m_modelCache.coords.data());
        }
    });
    sink.Finish();
    m_nShading = shading;
    return true;
}

bool CViewerDlg::ExportShownModel(const std::string& path) {
    TriangleSink sink;
    if (!GatherShownGeometry(sink)) {
        ShowMessage(m_strModelPath.empty()
                        ? std::string("Es ist kein Modell geladen.")
                        : "Das Modell kann nicht gelesen werden:\n" + m_strModelPath);
        return false;
    }
    GltfLook look;
    if (m_nShading == kModeTextured && m_texture.HasImage()) {
        look.pixels = m_texture.pixels;
        look.width = m_texture.width;
        look.height = m_texture.height;
        look.rowBytes = m_texture.rowBytes;
    }
    GltfAsset asset;
    asset.description = HeaderLine(m_strModelPath);
    asset.generator = "ORX-View " ORX_VERSION;
    std::string error;
    if (!WriteGlb(path, sink, look, asset, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

void CViewerDlg::OnExportModel() {
    if (m_strModelPath.empty()) {
        ShowMessage("Es ist kein Modell geladen.");
        return;
    }
    // No timer work (rotation, demo, follow mode) while the dialog is open.
    m_bTimerActive = 0;
    FileDialogSpec spec;
    spec.defaultExt = "glb";
    std::string name = std::filesystem::path(m_strModelPath).filename().string();
    if (LowerExtension(name).ends_with(".gl")) name.resize(name.size() - 3);
    spec.initialName = name + ".glb";
    spec.filter = "glTF-Binärdatei (*.glb)|*.glb||";
    spec.hideReadOnly = true;
    spec.overwritePrompt = true;
    spec.initialFolder = SaveDialogFolder(key::kExportFolder, Platform::UserFolder::Documents);
    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    if (chosen) RememberDialogFolder(*chosen, key::kExportFolder);
    if (chosen) ExportShownModel(*chosen);
    m_platform.Invalidate(true);
    m_bTimerActive = 1;
}

}  // namespace orx
