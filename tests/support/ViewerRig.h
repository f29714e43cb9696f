#pragma once
// A started viewer on the headless platform with its own profile and program
// folders, model files written by the test, and ticks driven by the test.
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "app/ViewerDlg.h"
#include "ui/IniFile.h"

namespace orx::test {

// A unit block: record type 8 with corners (0,0,0) and (1,1,1).
inline const char* const kBlockRecord = "8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0";

// A model file with a header line and `records` unit blocks.
inline void WriteModel(const std::string& path, int records = 1) {
    std::string text = "ORX test model\n";
    for (int i = 0; i < records; ++i) text += std::string(kBlockRecord) + "\n";
    WriteText(path, text);
}

inline void SetModificationTime(const std::string& path, long seconds) {
    struct utimbuf times {};
    times.actime = seconds;
    times.modtime = seconds;
    ::utime(path.c_str(), &times);
}

inline long ModificationTime(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_mtime) : 0;
}

class ViewerRig {
public:
    TempProfile dir;  // first: it sets the profile folder for everything below
    ScriptedPlatform platform{320, 240};
    std::unique_ptr<CViewerDlg> dlg;

    // The program folder, where the demo looks for model files.
    std::string Prog() const { return dir.path + "/prog/"; }
    // A folder outside the program folder for models that follow mode names.
    std::string Models() const { return dir.path + "/models/"; }

    ViewerRig() {
        std::filesystem::create_directories(Prog());
        std::filesystem::create_directories(Models());
    }

    void NameInOrxIni(const std::string& path) {
        WriteText(dir.File("ORX.INI"), "[LIFE]\nACTUAL=" + path + "\n");
    }

    // Writes a model of that many records into Models(), with that modification time
    // unless it is 0, names it in ORX.INI as the design program does, and starts.
    std::string StartFollowing(const std::string& fileName, int records = 1, long seconds = 0) {
        const std::string model = Models() + fileName;
        WriteModel(model, records);
        if (seconds != 0) SetModificationTime(model, seconds);
        NameInOrxIni(model);
        Start();
        return model;
    }

    void Start() {
        platform.executablePath = Prog() + "orx-view";
        dlg = std::make_unique<CViewerDlg>(platform);
        dlg->OnCreate();
        dlg->OnSize(0, 320, 240);
    }

    void Ticks(int n) {
        for (int i = 0; i < n; ++i) dlg->OnTimer(0);
    }

    // Messages shown, without those of the numbered textures, which a temporary
    // program folder does not have.
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : platform.messages)
            if (m.text.rfind("JPEG :", 0) != 0) texts.push_back(m.text);
        return texts;
    }

    int CountMessages(const std::string& text) const {
        const auto texts = Messages();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }

    std::string Setting(const std::string& key) const {
        return ini::ReadString("common", key, "", 254, dir.File("orx-view.ini"));
    }
};

}  // namespace orx::test
