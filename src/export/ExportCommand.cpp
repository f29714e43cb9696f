// Export of the shown model to a binary glTF file or a web page: the key E and
// its menu entry, and orx-render with a .glb or .html name.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/ViewerDlg.h"
#include "export/GltfWriter.h"
#include "export/WebPage.h"
#include "geometry/TriangleSink.h"
#include "platform/RegularFile.h"
#include "platform/ReplacingFile.h"
#include "platform/Text.h"

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

bool CViewerDlg::ShownModelGlb(std::string& bytes) {
    // Written to a file of its own in the temporary folder and read back.
    std::string name = (std::filesystem::temp_directory_path() / "orx-page-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        ShowMessage("Im temporären Ordner kann keine Datei angelegt werden.");
        return false;
    }
    ::close(fd);
    bool ok = ExportShownModel(name);
    if (ok) {
        std::ifstream in(name, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ok = !in.bad();
        if (!ok) ShowMessage("Die exportierte Datei kann nicht gelesen werden:\n" + name);
    }
    std::error_code ec;
    std::filesystem::remove(name, ec);
    return ok;
}

bool CViewerDlg::ExportShownPage(const std::string& path) {
    WebPageContent content;
    if (!ShownModelGlb(content.glb)) return false;
    content.header = HeaderLine(m_strModelPath);
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
    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    // The chosen type decides: the dialog gives a name without one the type's extension.
    if (chosen) {
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
