// Export of the shown model to a binary glTF file: the key E and its menu entry,
// and orx-render with a .glb name.
#include <filesystem>
#include <new>

#include "app/ViewerDlg.h"
#include "export/GltfWriter.h"
#include "geometry/TriangleSink.h"
#include "platform/Text.h"

namespace orx {

bool CViewerDlg::OpenModelForExport(const std::string& path, int part) {
    // Opening reads and measures the model; only a frame compiles list 1, and an
    // export draws no frame.
    return OpenModelForRendering(path, part);
}

bool CViewerDlg::ShownRecordsHeld() const {
    return m_modelRead.read && m_modelRead.part == m_nPart &&
           m_modelCache.Holds(m_modelRead.path) &&
           m_modelCache.Generation() == m_modelRead.fileGeneration;
}

std::string CViewerDlg::NothingToDrawMessage(const std::string& path) {
    return "the model has nothing to draw: " + path;
}

bool CViewerDlg::ExportShown(const std::string& path, std::ostream* out) {
    if (m_strModelPath.empty()) {
        ShowMessage("Es ist kein Modell geladen.");
        return false;
    }
    // The records the picture was drawn from: the file is not read again, so a file
    // changed on disk since is exported as it is shown, and the parse cache keeps
    // the read that picking measures against.
    if (!ShownRecordsHeld() || out) {
        ShowMessage("Das Modell kann nicht gelesen werden:\n" + m_strModelPath);
        return false;
    }
    std::string error;
    bool written = false;
    // A read whose frame has not come yet keeps its busy pointer.
    const bool busyBefore = m_bBusy;
    ShowBusy();
    // The emitters place every point relative to the build's centre and extent;
    // a centre of 0 and an extent of 1 leave the model's own millimetres. Modes 1
    // and 2 draw lines, so their faces are taken in the shades of mode 3.
    const int shading = m_nShading;
    if (m_nShading != kModeTextured || !m_texture.HasImage()) m_nShading = kModeSolid;
    TriangleSink sink;
    DrawThrough(sink, [&] {
        // Running out of memory here must not leave the drawing sink swapped.
        try {
            m_bounds = ModelBounds{};
            ClearMeasuredBounds(m_bounds);
            m_bounds.extent = 1.0;
            const bool whole = m_nPart < 0;
            for (const ParsedRecord& r : m_modelCache.records) {
                if (!(whole ? r.validWhole : r.validSingle) || (!whole && m_nPart != r.line))
                    continue;
                sink.StartGroup(r.line);
                DrawRecord(r, m_modelCache.coords.data());
            }
            sink.Finish();
            if (sink.Vertices().empty()) {
                // As orx-render refuses a picture of it; no file is written.
                error = NothingToDrawMessage(m_strModelPath);
                return;
            }
            GltfLook look;
            if (m_nShading == kModeTextured) {
                look.pixels = m_texture.pixels;
                look.width = m_texture.width;
                look.height = m_texture.height;
                look.rowBytes = m_texture.rowBytes;
            }
            GltfAsset asset;
            asset.description = m_modelCache.header;
            asset.generator = "ORX-View " ORX_VERSION;
            written = WriteGlb(path, sink, look, asset, error);
        } catch (const std::bad_alloc&) {
            // The replacing file has been discarded on the way: no file is left.
            error = "Für den Export reicht der Arbeitsspeicher nicht.";
            written = false;
        }
    });
    m_nShading = shading;
    // The message is not shown under the busy pointer.
    if (!busyBefore) EndBusy();
    if (!written) ShowMessage(error);
    return written;
}

bool CViewerDlg::ExportShownModel(const std::string& path) { return ExportShown(path, nullptr); }

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
    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    if (chosen) ExportShownModel(*chosen);
    m_platform.Invalidate(true);
    m_bTimerActive = 1;
}

}  // namespace orx
