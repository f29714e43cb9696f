// Export of the shown model to a binary glTF file or a web page: the key E and
// its menu entry, and orx-render with a .glb or .html name.
#include <charconv>
#include <filesystem>
#include <new>
#include <sstream>
#include <vector>

#include "app/ViewerDlg.h"
#include "export/GltfWriter.h"
#include "export/PartsListing.h"
#include "export/WebPage.h"
#include "geometry/TriangleSink.h"
#include "platform/ReplacingFile.h"
#include "platform/Text.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {

// A size as the parts list prints it, rounded to a tenth of a millimetre, as a
// number: the same digits whatever the locale.
double AsListed(double millimetres) {
    char text[64];
    const auto printed =
        std::to_chars(text, text + sizeof text, millimetres, std::chars_format::fixed, 1);
    double value = millimetres;
    if (printed.ec == std::errc()) std::from_chars(text, printed.ptr, value);
    return value;
}

}  // namespace

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

GlbResult CViewerDlg::WriteShownParts(const std::string& path, std::ostream* out,
                                      std::string& error) {
    // The records the picture was drawn from: the file is not read again, so a file
    // changed on disk since is exported as it is shown, and the parse cache keeps
    // the read that picking measures against. Each part carries what the parts list
    // says of it.
    const bool whole = m_nPart < 0;
    std::vector<const ParsedRecord*> shown;
    GlbParts parts;
    for (const ParsedRecord& r : m_modelCache.records) {
        if (!ShownInPart(r, m_nPart)) continue;
        GlbPart part;
        part.record = r.line;
        part.kind = PartKindName(r.type);
        part.colour = r.colour;
        PartSize size;
        if (MeasureRecord(m_modelCache, r, whole, size))
            for (int k = 0; k < 3; ++k) part.sizes[k] = AsListed(size.sizes[k]);
        parts.parts.push_back(part);
        shown.push_back(&r);
    }
    TriangleSink sink;
    parts.sink = &sink;
    parts.draw = [&](size_t i) { DrawRecord(*shown[i], m_modelCache.coords.data()); };

    GltfLook look;
    if (m_nShading == kModeTextured && m_texture.HasImage()) {
        look.pixels = m_texture.pixels;
        look.width = m_texture.width;
        look.height = m_texture.height;
        look.rowBytes = m_texture.rowBytes;
    }
    GltfAsset asset;
    asset.description = m_modelCache.header;
    asset.generator = "ORX-View " ORX_VERSION;

    // The emitters place every point relative to the build's centre and extent;
    // a centre of 0 and an extent of 1 leave the model's own millimetres. Modes 1
    // and 2 draw lines, so their faces are taken in the shades of mode 3. In the
    // design colours each part's colour goes into its material instead.
    const int shading = m_nShading;
    if (!look.pixels) m_nShading = kModeSolid;
    look.designColours = !look.pixels && m_nColourScheme == kSchemeDesign;
    GlbResult result = GlbResult::kFailed;
    bool outOfMemory = false;
    DrawThrough(sink, [&] {
        // Running out of memory here must not leave the drawing sink swapped.
        try {
            m_bounds = ModelBounds{};
            ClearMeasuredBounds(m_bounds);
            m_bounds.extent = 1.0;
            result = out ? WriteGlbTo(*out, parts, look, asset, error)
                         : WriteGlb(path, parts, look, asset, error);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    });
    m_nShading = shading;
    if (outOfMemory) throw std::bad_alloc();
    return result;
}

bool CViewerDlg::ExportShown(const std::string& path, std::ostream* out) {
    if (m_strModelPath.empty()) {
        ShowMessage("Es ist kein Modell geladen.");
        return false;
    }
    if (!ShownRecordsHeld()) {
        ShowMessage("Das Modell kann nicht gelesen werden:\n" + m_strModelPath);
        return false;
    }
    std::string error;
    GlbResult result = GlbResult::kFailed;
    // A read whose frame has not come yet keeps its busy pointer.
    const bool busyBefore = m_bBusy;
    ShowBusy();
    try {
        result = WriteShownParts(path, out, error);
    } catch (const std::bad_alloc&) {
        // The replacing file has been discarded on the way: no file is left.
        error = "Für den Export reicht der Arbeitsspeicher nicht.";
    }
    // The message is not shown under the busy pointer.
    if (!busyBefore) EndBusy();
    // As orx-render refuses a picture of it; no file is written.
    if (result == GlbResult::kNoFaces) error = NothingToDrawMessage(m_strModelPath);
    if (result != GlbResult::kWritten) ShowMessage(error);
    return result == GlbResult::kWritten;
}

bool CViewerDlg::ExportShownModel(const std::string& path) { return ExportShown(path, nullptr); }

bool CViewerDlg::ExportShownModelTo(std::ostream& out) { return ExportShown(std::string(), &out); }

bool CViewerDlg::ShownModelGlb(std::string& bytes) {
    std::ostringstream out;
    if (!ExportShownModelTo(out)) return false;
    bytes = std::move(out).str();
    return true;
}

bool CViewerDlg::ExportShownPage(const std::string& path) {
    WebPageContent content;
    if (!ShownModelGlb(content.glb)) return false;
    content.header = m_modelCache.header;
    content.program = "ORX-View " ORX_VERSION;
    // The view as the viewer draws it, in the file's metres.
    WebPageView& view = content.view;
    for (int k = 0; k < 3; ++k) {
        view.angles[k] = m_dAngle[k];
        view.origin[k] = m_dOrigin[k];
    }
    view.centre[0] = m_bounds.centreX * 0.001;
    view.centre[1] = m_bounds.centreY * 0.001;
    view.centre[2] = m_bounds.centreZ * 0.001;
    view.extent = m_bounds.extent * 0.001;
    std::string page, error;
    if (!BuildWebPage(m_strProgramDir + "web/page.html", ThreeJsFolder(), content, page, error)) {
        ShowMessage(error);
        return false;
    }
    ReplacingFile file;
    if (!file.Open(path)) {
        ShowMessage("Die Datei kann nicht geschrieben werden:\n" + path);
        return false;
    }
    if (std::fwrite(page.data(), 1, page.size(), file.Stream()) != page.size() || !file.Commit()) {
        file.Discard();
        ShowMessage("Die Datei konnte nicht vollständig geschrieben werden:\n" + path);
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
    // Without extension: the dialog adds that of the chosen type, which so decides.
    spec.initialName = name;
    spec.filter = "glTF-Binärdatei (*.glb)|*.glb|Webseite (*.html)|*.html||";
    spec.hideReadOnly = true;
    spec.overwritePrompt = true;
    spec.initialFolder = SaveDialogFolder(key::kExportFolder, Platform::UserFolder::Documents);
    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    // The chosen type decides: the dialog gives a name without one the type's extension.
    if (chosen) {
        RememberDialogFolder(*chosen, key::kExportFolder);
        const std::string ext = AsciiLowerCase(*chosen);
        if (ext.ends_with(".html") || ext.ends_with(".htm")) {
            ExportShownPage(*chosen);
        } else {
            ExportShownModel(*chosen);
        }
    }
    m_platform.Invalidate(true);
    m_bTimerActive = 1;
}

}  // namespace orx
