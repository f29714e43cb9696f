// orx-render: renders a model file to a BMP, JPEG or PNG picture without a window,
// with the same viewer code as the window, for thumbnails and catalogues; or
// exports it as a binary glTF file or as a web page.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Options.h"
#include "app/ViewerDlg.h"
#include "export/PartsListing.h"
#include "geometry/GeometryTypes.h"
#include "image/PngFile.h"
#include "image/Thumbnail.h"
#include "image/WindowCapture.h"
#include "model/ModelName.h"
#include "platform/MemoryTuning.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

// A private profile folder, so that no settings file of the user is read or written.
class PrivateProfile {
public:
    PrivateProfile() {
        char pattern[] = "/tmp/orx-render-XXXXXX";
        if (const char* made = ::mkdtemp(pattern)) m_path = made;
    }
    ~PrivateProfile() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    std::string Path() const { return m_path.empty() ? "/nonexistent" : m_path; }

private:
    std::string m_path;
};

int Fail(const std::string& text) {
    std::fprintf(stderr, "orx-render: %s\n", text.c_str());
    return 1;
}

int UsageFail(const std::string& text) {
    std::fprintf(stderr, "orx-render: %s; see --help\n", text.c_str());
    return 2;
}

// True when the last build drew at least one point.
bool SomethingDrawn(const orx::ModelBounds& b) {
    return b.maxX != orx::kNoMaximum || b.maxY != orx::kNoMaximum || b.maxZ != orx::kNoMaximum;
}

// Samples per pixel side of a thumbnail: smooth edges, at most 2048 x 2048 drawn.
int ThumbnailSupersampling(int size) { return std::clamp(2048 / size, 1, 4); }

// The parts of the model as CSV on standard output. The file is accepted as the
// viewer opens it: a ".gl" file of kind "2d" (parts list) or "3d" (whole model).
int ListParts(const orx::render::Request& r) {
    if (!orx::HasModelExtension(r.model)) return Fail(std::string("No *.gl -> NO 3D!: ") + r.model);
    const std::string kind = orx::ModelKind(r.model);
    if (kind != "2d" && kind != "3d") return Fail("Unbekanntes Dateiformat: " + r.model);
    orx::ModelFileCache cache;
    if (!cache.Load(r.model)) return Fail("Unable to open file for reading: " + r.model);
    const std::string lines = orx::PartsCsvLines(cache, kind == "3d", r.part);
    if (r.part > 0 && lines.empty())
        return Fail("part " + std::to_string(r.part) + ": no such part in " + r.model);
    std::fputs(orx::kPartsCsvHeader, stdout);
    std::fputs(lines.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : Fail("standard output could not be written");
}

int Render(orx::render::Request r) {
    PrivateProfile profile;
    const int supersample = r.thumbnail > 0 ? ThumbnailSupersampling(r.thumbnail) : 1;
    if (r.thumbnail > 0) {
        // A thumbnail is lit and drawn at a multiple of its size, then reduced.
        r.width = r.height = r.thumbnail * supersample;
        r.view.light = true;
    }
    orx::HeadlessPlatform platform(r.width, r.height, profile.Path());
    orx::SetProgramName("orx-render");
    orx::CViewerDlg dlg(platform);
    orx::SetMessagePlatform(&platform);

    if (!dlg.StartRendering(r.width, r.height)) return Fail("no OpenGL context could be created");
    // Only a regular file is read; a folder, FIFO or device is refused without
    // blocking, as a missing file is.
    if (std::FILE* f = orx::OpenRegularFile(r.model)) {
        std::fclose(f);
    } else {
        return Fail("Unable to open file for reading: " + r.model);
    }
    // Every option is set before the model is opened, so that the open builds the
    // model once in its final form (as the window does after start-up). A texture
    // that cannot be loaded is a failure: no picture without it. The viewer's
    // messages have gone to standard error as they were shown.
    int shown = platform.MessagesShown();
    if (!dlg.ApplyViewOptions(r.view)) {
        return platform.MessagesShown() > shown
                   ? 1
                   : Fail("the texture could not be loaded: " +
                          (r.view.textureFile.empty()
                               ? "texture " + std::to_string(r.view.textureNumber)
                               : r.view.textureFile));
    }
    shown = platform.MessagesShown();
    // A refused name shows its message; a file that cannot be read after all starts
    // the demo, or shows a message on the way. An export needs no OpenGL list.
    const std::string ext = orx::render::PictureExtension(r.output);
    const bool page = ext == ".html" || ext == ".htm";
    const bool exporting = ext == ".glb" || page;
    if (!(exporting ? dlg.OpenModelForExport(r.model, r.part)
                    : dlg.OpenModelForRendering(r.model, r.part)) ||
        platform.MessagesShown() > shown) {
        return platform.MessagesShown() > shown
                   ? 1
                   : Fail("Unable to open file for reading: " + r.model);
    }
    // A part is a line of a parts list: one beyond its end, or a part of a whole
    // model, is asked for in error.
    if (r.part > 0 && dlg.PartsInList() == 0)
        return UsageFail("--part " + std::to_string(r.part) + ": " + r.model +
                         " is a whole model, not a parts list (\"2d\" file)");
    if (r.part > dlg.PartsInList())
        return UsageFail("--part " + std::to_string(r.part) + ": " + r.model + " has only " +
                         std::to_string(dlg.PartsInList()) + " parts");
    if (!SomethingDrawn(dlg.Bounds())) return Fail(orx::CViewerDlg::NothingToDrawMessage(r.model));
    // The viewer shows the message of a failed export.
    if (page) return dlg.ExportShownPage(r.output) ? 0 : 1;
    if (exporting) return dlg.ExportShownModel(r.output) ? 0 : 1;
    if (r.thumbnail > 0) {
        std::vector<uint8_t> rgba;
        if (!orx::RenderThumbnail(dlg, r.thumbnail, supersample, rgba))
            return Fail(orx::CViewerDlg::NothingToDrawMessage(r.model));
        std::string error;
        if (!orx::PngFile::Write(r.output, rgba.data(), r.thumbnail, r.thumbnail, true, error))
            return Fail(error);
        return 0;
    }
    dlg.OnPaint();
    // Saved as the window saves its picture; ".jpeg" is JPEG here too.
    orx::CWindowCapture capture;
    if (!capture.Capture(platform, platform.GetClientRect()))
        return Fail("the picture could not be read back");
    shown = platform.MessagesShown();
    const bool saved = orx::render::PictureExtension(r.output) == ".jpeg"
                           ? capture.WriteJpeg(r.output)
                           : capture.Save(r.output);
    if (!saved || platform.MessagesShown() > shown)
        return platform.MessagesShown() > shown ? 1 : Fail("could not write " + r.output);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    orx::KeepFreedMemoryForReuse();
    orx::render::Request request;
    std::string error;
    const orx::render::Parsed parsed = orx::render::ParseArguments(
        std::vector<std::string>(argv + 1, argv + argc), request, error);
    if (parsed == orx::render::Parsed::Help) {
        std::fputs(orx::render::Usage().c_str(), stdout);
        return 0;
    }
    if (parsed == orx::render::Parsed::UsageError) {
        if (error.empty()) {
            std::fputs(orx::render::Usage().c_str(), stderr);
            return 2;
        }
        return UsageFail(error);
    }
    return request.parts ? ListParts(request) : Render(request);
}
