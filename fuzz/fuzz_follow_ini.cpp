// ORX.INI as the design program leaves it, read by follow mode's check: the section
// and key found in any case, the value mapped to a path of this machine and offered
// to the open. One viewer serves every input; it keeps following throughout.
#include <filesystem>
#include <memory>
#include <string>

#include "FuzzSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"
#include "ui/IniFile.h"
#include "ui/WindowsPath.h"

namespace {

orx::CViewerDlg& Viewer() {
    static orx::CViewerDlg* viewer = [] {
        orx::ScriptedPlatform& platform = orx::fuzz::Platform();
        const std::string root = std::string(std::getenv("XDG_CONFIG_HOME"));
        namespace fs = std::filesystem;
        // An empty program folder: no demo can start.
        fs::create_directories(root + "/prog");
        platform.executablePath = root + "/prog/orx-view";
        // A drive N: with a model in it, named in any case.
        fs::create_directories(root + "/kunden/Modelle");
        std::FILE* f = std::fopen((root + "/kunden/Modelle/Schrank3d.gl").c_str(), "wb");
        if (!f) std::abort();
        std::fputs("header\n8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0\n", f);
        std::fclose(f);
        orx::ini::WriteString(orx::winpath::kDriveSection, "N:", root + "/kunden",
                              root + "/orx-view.ini");
        auto* dlg = new orx::CViewerDlg(platform);
        dlg->OnCreate();
        dlg->OnSize(0, 64, 64);
        return dlg;
    }();
    return *viewer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orx::CViewerDlg& dlg = Viewer();
    orx::fuzz::Platform();  // clears the messages of the last input
    const std::string orxIni = std::string(std::getenv("XDG_CONFIG_HOME")) + "/ORX.INI";
    std::FILE* f = std::fopen(orxIni.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    // A refused or failed name leaves follow mode on here; keep it on for the next input.
    orx::Probe(dlg).m_bLiveFollow = true;
    dlg.RequestFollowCheck();
    dlg.OnTimer(0);
    if (orx::Probe(dlg).m_nLiveTick != 0) __builtin_trap();  // the check ran
    return 0;
}
