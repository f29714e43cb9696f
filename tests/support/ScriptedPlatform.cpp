#include "ScriptedPlatform.h"

#include <cstdlib>
#include <utility>

namespace orx {

namespace {

// Forwards to a job that the test keeps, so that it can look at it afterwards.
class SharedPrintJob : public PrintJob {
public:
    explicit SharedPrintJob(std::shared_ptr<PrintJob> job) : m_job(std::move(job)) {}
    int StartDoc(const std::string& name) override { return m_job->StartDoc(name); }
    int StartPage() override { return m_job->StartPage(); }
    int EndPage() override { return m_job->EndPage(); }
    int EndDoc() override { return m_job->EndDoc(); }
    int GetDeviceCaps(int index) override { return m_job->GetDeviceCaps(index); }
    int SetDIBitsToDevice(int a, int b, int c, int d, int e, int f, unsigned g, unsigned h,
                          const void* bits, const BITMAPINFO* info) override {
        return m_job->SetDIBitsToDevice(a, b, c, d, e, f, g, h, bits, info);
    }
    int StretchDIBits(int a, int b, int c, int d, int e, int f, int g, int h, const void* bits,
                      const BITMAPINFO* info) override {
        return m_job->StretchDIBits(a, b, c, d, e, f, g, h, bits, info);
    }

private:
    std::shared_ptr<PrintJob> m_job;
};

// The next scripted answer, taken from the queue; with none left, the answer of a
// cancelled dialog (an empty value).
template <class Answer>
Answer NextAnswer(std::deque<Answer>& answers) {
    if (answers.empty()) return Answer{};
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

std::string TestProfileFolder() {
    const char* folder = std::getenv("XDG_CONFIG_HOME");
    return folder && *folder ? folder : "/nonexistent";
}

ScriptedPlatform::ScriptedPlatform(int width, int height)
    : HeadlessPlatform(width, height, TestProfileFolder()),
      profileFolder(TestProfileFolder()),
      windowTarget(width, height) {
    placement.normalPosition = Rect{10, 10, 10 + width, 10 + height};
}

ScriptedPlatform::~ScriptedPlatform() {
    if (GetMessagePlatform() == this) SetMessagePlatform(nullptr);
}

void ScriptedPlatform::Resize(int width, int height) {
    HeadlessPlatform::Resize(width, height);
    windowTarget.Resize(width, height);
    placement.normalPosition.right = placement.normalPosition.left + width;
    placement.normalPosition.bottom = placement.normalPosition.top + height;
}

void ScriptedPlatform::RunModal() {
    if (whileModal) whileModal();
}

void ScriptedPlatform::MessageBox(const std::string& text, MsgIcon icon) {
    messages.push_back({text, icon});
    RunModal();
}

bool ScriptedPlatform::SetupPixelFormat() {
    return !failPixelFormat && HeadlessPlatform::SetupPixelFormat();
}

bool ScriptedPlatform::CreateGLContext() {
    return !failContext && HeadlessPlatform::CreateGLContext();
}

std::optional<std::string> ScriptedPlatform::OpenFileDialog(const FileDialogSpec& spec) {
    openDialogs.push_back(spec);
    RunModal();
    return NextAnswer(openFileAnswers);
}

std::optional<std::string> ScriptedPlatform::SaveFileDialog(const FileDialogSpec& spec) {
    saveDialogs.push_back(spec);
    RunModal();
    std::optional<std::string> answer = NextAnswer(saveFileAnswers);
    // A name typed without extension receives the default one, as the dialog adds it.
    if (answer && !spec.defaultExt.empty()) {
        const size_t slash = answer->rfind('/');
        const std::string name = slash == std::string::npos ? *answer : answer->substr(slash + 1);
        if (name.find('.') == std::string::npos) *answer += "." + spec.defaultExt;
    }
    return answer;
}

std::optional<Rgb> ScriptedPlatform::ChooseColour(Rgb initial) {
    colourDialogs.push_back(initial);
    RunModal();
    return NextAnswer(colourAnswers);
}

std::unique_ptr<PrintJob> ScriptedPlatform::PrintDialog() {
    RunModal();
    std::shared_ptr<PrintJob> job = NextAnswer(printAnswers);
    if (!job) return nullptr;
    return std::make_unique<SharedPrintJob>(std::move(job));
}

void ScriptedPlatform::ShowAboutBox(const std::string& infoText) {
    aboutTexts.push_back(infoText);
    RunModal();
}

int ScriptedPlatform::TrackPopupMenu(const MenuItem&, Point screenPoint) {
    menuPoints.push_back(screenPoint);
    RunModal();
    return NextAnswer(menuAnswers);
}

std::string ScriptedPlatform::ExecutablePath() const {
    return executablePath.empty() ? HeadlessPlatform::ExecutablePath() : executablePath;
}

}  // namespace orx
