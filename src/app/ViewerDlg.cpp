// The viewer window's state, start-up and shut-down.
#include "app/ViewerDlg.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/RegularFile.h"
#include "ui/About.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {
const char* const kSettingsFile = "orx-view.ini";
const char* const kPlacementSection = key::kPlacementSection;
constexpr int kIconResource = 128;
}  // namespace

CViewerDlg::CViewerDlg(Platform& platform) : m_platform(platform), m_pSink(&m_glSink) {
    if (!GetMessagePlatform()) SetMessagePlatform(&platform);
    m_hIcon = kIconResource;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_strModelPath.clear();
    m_strSection = key::kSection;
    m_strProfileDir = platform.ProfileFolder();
    m_pProfile = new CProfile(m_strProfileDir, kSettingsFile, 1, true);

    ReadStoredDisplayOptions();
    const Rgb face = platform.ButtonFaceColour();
    m_nBackR = m_pProfile->ReadInt(m_strSection, key::kBackRed, static_cast<uint16_t>(face.r));
    m_nBackG = m_pProfile->ReadInt(m_strSection, key::kBackGreen, static_cast<uint16_t>(face.g));
    m_nBackB = m_pProfile->ReadInt(m_strSection, key::kBackBlue, static_cast<uint16_t>(face.b));

    m_bTimerActive = 1;
    m_bLiveFollow = true;
    m_nDemoTick = kDemoOff;
    m_nDemoIndex = -1;
    m_nTimerBusy = 0;
}

CViewerDlg::~CViewerDlg() {
    delete m_pProfile;
    m_pProfile = nullptr;
    if (GetMessagePlatform() == &m_platform) SetMessagePlatform(nullptr);
}

std::string CViewerDlg::ProgramDirFrom(const std::string& executablePath) {
    // The folder of the program file, ending in '/', without build-configuration
    // folders "Debug" and "Release" (a program in /x/Release/ takes /x/).
    const size_t slash = executablePath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "./" : executablePath.substr(0, slash + 1);
    std::string result;
    size_t pos = 0;
    while (pos < folder.size()) {
        size_t next = folder.find('/', pos);
        if (next == std::string::npos) next = folder.size();
        const std::string component = folder.substr(pos, next - pos);
        if (component != "Debug" && component != "Release") {
            result += component;
            if (next < folder.size()) result += '/';
        }
        pos = next + 1;
    }
    if (result.empty() || result.back() != '/') result += '/';
    return result;
}

std::string CViewerDlg::StartModelProblem(const std::string& path) {
    const int fd = OpenRegularFileDescriptor(path);
    if (fd >= 0) {
        ::close(fd);
        return std::string();
    }
    const int error = errno;
    struct stat st {};
    const std::string quoted = "„" + path + "“";
    if (::stat(path.c_str(), &st) != 0) {
        if (error == ENOENT || error == ENOTDIR)
            return "Die Modelldatei " + quoted + " gibt es nicht.";
        return "Die Modelldatei " + quoted + " kann nicht gelesen werden.";
    }
    if (S_ISDIR(st.st_mode)) return quoted + " ist ein Ordner, keine Modelldatei.";
    if (!S_ISREG(st.st_mode)) return quoted + " ist keine gewöhnliche Datei.";
    return "Die Modelldatei " + quoted + " kann nicht gelesen werden (keine Leseberechtigung).";
}

int CViewerDlg::OnCreate() {
    if (!SetupPixelFormat()) return 0;
    if (!CreateGLContext()) return 0;
    m_rgbaLine = RGBA{0, 0, 0, 0};
    m_strProgramDir = ProgramDirFrom(m_platform.ExecutablePath());
    // A model named on the command line takes the place of the design program's: follow
    // mode ends before its first check, and the stored texture is applied to the model
    // below, so no demo starts. One that cannot be read is named in a message, and the
    // viewer goes on as if none had been named.
    if (!m_strStartModel.empty()) {
        const std::string why = StartModelProblem(m_strStartModel);
        if (!why.empty()) {
            ShowMessage(why);
        } else {
            m_bLiveFollow = false;
            OpenModelFile(m_strStartModel);
            if (m_strModelPath != m_strStartModel) m_bLiveFollow = true;
        }
    }
    // The first follow check runs now, before the first tick.
    m_nLiveTick = 100;
    OnTimer(0);
    SelectTexture(m_pProfile->ReadInt(m_strSection, key::kTexture, 1), true);
    m_platform.StartTimer(0, 10);
    return 0;
}

bool CViewerDlg::OnInitDialog() {
    m_platform.AddAboutEntry("&About Kestrel...");
    CProfile placement(0);
    placement.RestoreWindowPlacement(AppProfile(ProfileFile(ProgramName() + ".ini")), m_platform,
                                     kPlacementSection, 1);
    return true;
}

void CViewerDlg::OnDestroy() {
    CProfile placement(0);
    placement.SaveWindowPlacement(AppProfile(ProfileFile(ProgramName() + ".ini")), m_platform,
                                  kPlacementSection);
    if (m_hRC) {
        m_platform.DeleteGLContext();
        m_hRC = nullptr;
    }
}

void CViewerDlg::OnSysCommand(unsigned nID) {
    // The About entry of the window menu leaves the timer running.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) CAboutDlg().DoModal(m_platform);
}

bool CViewerDlg::PreTranslateMessage(unsigned keyCode) {
    switch (keyCode) {
        case vk::LEFT: ShiftLeft(); return true;
        case vk::UP: ShiftUp(); return true;
        case vk::RIGHT: ShiftRight(); return true;
        case vk::DOWN: ShiftDown(); return true;
        // The dialog manager takes Enter and Escape: they close the window.
        case vk::RETURN:
        case vk::ESCAPE: return true;
        default: return false;
    }
}

bool CViewerDlg::OnCancel() {
    if (!m_pick.active) return true;
    ClearPick();
    return false;
}

void CViewerDlg::ReadStoredDisplayOptions() {
    m_bShowAxes = m_pProfile->ReadBool(m_strSection, key::kAxes, false);
    m_bShowRoomEdges = m_pProfile->ReadBool(m_strSection, key::kRoomEdges, false);
    m_bShowZeroPlane = m_pProfile->ReadBool(m_strSection, key::kZeroPlane, false);
    m_bAutoRotate = m_pProfile->ReadBool(m_strSection, key::kAutoRotate, true);
    m_nShading = m_pProfile->ReadInt(m_strSection, key::kShading, kModeTextured);
    m_nLightMode = m_pProfile->ReadInt(m_strSection, key::kLightMode, 0);
    m_nColourScheme = m_pProfile->ReadInt(m_strSection, key::kColourScheme, 0);
}

bool CViewerDlg::StartRendering(int width, int height) {
    if (!SetupPixelFormat() || !CreateGLContext()) return false;
    m_rgbaLine = RGBA{0, 0, 0, 0};
    m_strProgramDir = ProgramDirFrom(m_platform.ExecutablePath());
    m_bLiveFollow = false;
    SetProjection(width, height);
    return true;
}

bool CViewerDlg::ApplyViewOptions(const ViewOptions& options) {
    m_nLightMode = options.light ? 1 : 0;
    m_nColourScheme = options.designColours ? kSchemeDesign
                      : options.coloured    ? kSchemeColoured
                                            : kSchemeGrey;
    m_bShowAxes = options.axes;
    m_bShowRoomEdges = options.walls;
    m_bShowZeroPlane = options.zeroPlane;
    m_nBackR = options.background.r;
    m_nBackG = options.background.g;
    m_nBackB = options.background.b;
    m_nShading = options.mode;
    for (int i = 0; i < 3; ++i) {
        m_dAngle[i] = options.angles[i];
        m_dOrigin[i] = options.origin[i];
    }
    if (options.mode != kModeTextured && !options.textureNamed) return true;
    const int number =
        options.textureNumber >= 1 && options.textureNumber <= 9 ? options.textureNumber : 1;
    const bool read =
        LoadTexture(options.textureFile.empty() ? NumberedTexturePath(m_strProgramDir, number)
                                                : options.textureFile);
    return read && m_texture.HasImage();
}

bool CViewerDlg::OpenModelForRendering(const std::string& path, int part) {
    OpenModelFile(path);
    // A refused name leaves the path as it was; an unreadable file starts the demo.
    if (m_strModelPath != path || m_nDemoTick >= 0) return false;
    if (part > 0 && m_nPart > 0) {
        m_nPart = std::min(part, m_nPartCount);
        UpdateTitle(0);
    }
    return true;
}

void CViewerDlg::DrawFrom(const double* angles, const double* origin) {
    for (int i = 0; i < 3; ++i) {
        m_dAngle[i] = angles[i];
        m_dOrigin[i] = origin[i];
    }
    DrawScene();
}

std::string CViewerDlg::ProfileFile(const std::string& name) const {
    return m_strProfileDir + "/" + name;
}

void CViewerDlg::OpenChosenModel(const std::string& path) {
    m_bLiveFollow = false;
    OpenModelFile(path);
}

const RGBA& CViewerDlg::Shade(int k) const {
    switch (k) {
        case 0: return m_rgbaShade0;
        case 1: return m_rgbaShade1;
        case 2: return m_rgbaShade2;
        case 3: return m_rgbaShade3;
        case 4: return m_rgbaShade4;
        default: return m_rgbaShade5;
    }
}

}  // namespace orx
