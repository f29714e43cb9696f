#pragma once
// The one viewer harness of the tests: a viewer on the scripted headless platform with
// its own profile folder and program folder, model files written by the test, the
// design program's ORX.INI, input as a user gives it (keys, the context menu, dialog
// answers, timer ticks), and what the user then sees (title, messages, picture,
// settings file). Geometry can be recorded with a sink instead of being drawn.
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"
#include "geometry/GlSink.h"
#include "image/JpegFile.h"
#include "ui/IniFile.h"

namespace orx::test {

// A unit block: record type 8 with corners (0,0,0) and (1,1,1).
inline const char* const kBlockRecord = "8 0 8 0 0 1 1 0 1 1 1 1 0 1 1 0 0 0 1 0 0 1 1 0 0 1 0";

// The build's program folder: the numbered textures and the sample models.
inline const std::string kBuiltProgram = ORX_PROGRAM_DIR "/";
inline const std::string kSampleModels = ORX_PROGRAM_DIR "/modelle/";

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

// RGB, top row first, as the platform reads the picture back.
using Pixels = std::vector<uint8_t>;

// Tag of a second viewer on the profile folder of another, as when the program runs
// twice for the same user.
struct SameProfileAs {
    const class ViewerRig& other;
};

class ViewerRig {
public:
    TempProfile dir;  // first: it sets the profile folder for everything below
    ScriptedPlatform platform;
    std::unique_ptr<CViewerDlg> dlg;

    explicit ViewerRig(int width = 320, int height = 240)
        : platform(width, height), m_width(width), m_height(height) {
        std::filesystem::create_directories(Prog());
        std::filesystem::create_directories(Models());
    }
    // A second viewer with the same size, program folder and profile folder as `same.other`.
    explicit ViewerRig(SameProfileAs same)
        : dir(TempProfile::SharedWith(same.other.dir)),
          platform(same.other.m_width, same.other.m_height),
          m_width(same.other.m_width),
          m_height(same.other.m_height),
          m_program(same.other.m_program) {}

    // The program folder, where the demo looks for model files and the viewer for
    // its numbered textures: a folder of the test's own unless UseBuiltProgram().
    std::string Prog() const { return m_program.empty() ? dir.path + "/prog/" : m_program; }
    // A folder outside the program folder for models that follow mode names.
    std::string Models() const { return dir.path + "/models/"; }
    // Starts from the build's program folder, with its textures and sample models.
    void UseBuiltProgram() { m_program = kBuiltProgram; }

    // The numbered texture `n` of the program folder.
    std::string NumberedTexture(int n) const {
        return Prog() + "texturen/textur" + std::to_string(n) + ".jpg";
    }
    // Writes numbered texture `n` into the program folder: 8 x 8 pixels of one colour,
    // 0xRRGGBB. False when it could not be written.
    bool WriteNumberedTexture(int n, uint32_t colour) const {
        std::vector<uint8_t> rgb(8 * 8 * 3);
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(colour >> (16 - 8 * (i % 3)));
        std::filesystem::create_directories(Prog() + "texturen");
        return JpegFile::EncodeFromRgb(NumberedTexture(n), rgb.data(), 8, 8, true, 100);
    }

    // ORX.INI in the profile folder, naming `path` as the design program does.
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

    // The viewer constructed (its settings read), its window not yet created.
    CViewerDlg& Construct() {
        platform.executablePath = Prog() + "orx-view";
        dlg = std::make_unique<CViewerDlg>(platform);
        if (m_sink != nullptr) Probe(*dlg).m_pSink = m_sink;
        m_started = false;
        return *dlg;
    }

    // Started as the program starts it: window creation, placement, first size. A
    // viewer started before is replaced by a new one.
    void Start() {
        if (!dlg || m_started) Construct();
        m_started = true;
        dlg->OnCreate();
        dlg->OnInitDialog();
        dlg->OnSize(0, m_width, m_height);
    }

    // Closes the viewer as the user does (its placement is stored) and starts it again
    // on the same folders: the next session.
    void Restart() {
        Close();
        platform.MakeCurrent();
        Start();
    }
    void Close() {
        if (dlg) dlg->OnDestroy();
        dlg.reset();
    }

    // Geometry the viewer emits goes to `sink` instead of OpenGL, from now on.
    void RecordTo(GlSink& sink) {
        m_sink = &sink;
        if (dlg) Probe(*dlg).m_pSink = m_sink;
    }

    // --- input as a user gives it ---
    void Key(unsigned key) { dlg->OnKeyDown(key, 1, 0); }
    void Menu(int command) {
        platform.menuAnswers.push_back(command);
        dlg->OnContextMenu(Point{-1, -1});
    }
    // A click of the left button: it stops the turning and the demo.
    void Click(Point at = Point{1, 1}) {
        dlg->OnLButtonDown(0, at);
        dlg->OnLButtonUp(0, at);
    }
    // M, and the model chosen in the open dialog.
    void Open(const std::string& path) {
        platform.openFileAnswers.push_back(path);
        Key('M');
    }
    // 0, and the texture file chosen in the open dialog.
    void LoadTexture(const std::string& path) {
        platform.openFileAnswers.push_back(path);
        Key('0');
    }
    // C, then a three-quarter view with the rotation keys: 20 degrees about x, -30 about y.
    void ThreeQuarterView() {
        Key('C');
        for (int i = 0; i < 8; ++i) Key(vk::INSERT);
        for (int i = 0; i < 12; ++i) Key(vk::NEXT);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) dlg->OnTimer(0);
    }

    // --- what the user sees ---
    const std::string& Title() const { return platform.title; }
    // The picture of the next frame.
    Pixels Picture() {
        dlg->OnPaint();
        return platform.ReadPixelsRgb();
    }
    // Messages shown, without those of the numbered textures, which a program folder
    // of the test's own does not have.
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
    // A stored display option of the settings file, "" when it is not there.
    std::string Setting(const std::string& key) const {
        return ini::ReadString("common", key, "", 254, dir.File("orx-view.ini"));
    }

private:
    int m_width;
    int m_height;
    std::string m_program;
    GlSink* m_sink = nullptr;
    bool m_started = false;
};

}  // namespace orx::test
