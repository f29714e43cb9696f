#pragma once
// The viewer window: owner of all run-time state and of every operation of the
// viewer. Toolkit-free; the window system is reached through Platform.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "geometry/GlSink.h"
#include "image/Texture.h"
#include "model/ModelCache.h"
#include "platform/Platform.h"
#include "ui/Profile.h"

namespace orx {

struct ModelBounds {
    double maxX, maxY, maxZ;
    double minX, minY, minZ;
    double extent;
    double centreX, centreY, centreZ;
};

using RGBA = std::array<unsigned char, 4>;

// Command identifiers of the context menu and the window's own menu.
enum CommandId : int {
    ID_ABOUT = 32771,
    ID_AUTOROTATE = 32772,
    ID_ZOOM_IN = 32773,
    ID_ZOOM_OUT = 32774,
    ID_LOAD_TEXTURE = 32775,
    ID_SHIFT_LEFT = 32776,
    ID_SHIFT_RIGHT = 32777,
    ID_PRINT = 32778,
    ID_SAVE_PICTURE = 32779,
    ID_TEX_KIRSCH = 32781,
    ID_TEX_BIRKE = 32782,
    ID_TEX_MAHAGONI = 32783,
    ID_TEX_NUSSBAUM = 32784,
    ID_SHIFT_UP = 32785,
    ID_SHIFT_DOWN = 32786,
    ID_CENTRE = 32787,
    ID_LIGHTING = 32788,
    ID_OPEN_MODEL = 32789,
    ID_PART_NEXT = 32790,
    ID_PART_PREV = 32791,
    ID_MODE_WIRE = 32793,
    ID_MODE_SOLID = 32794,
    ID_MODE_TEXTURE = 32795,
    ID_MODE_HAIRLINE = 32796,
    ID_AXES = 32797,
    ID_WALLS = 32798,
    ID_SCHEME_GREY = 32799,
    ID_SCHEME_COLOUR = 32800,
    ID_BACKGROUND = 32801,
    ID_TEX_PUZZLE = 32802,
    ID_TEX_ROSENHOLZ = 32803,
    ID_TEX_EICHE = 32804,
    ID_TEX_ENTEN = 32805,
    ID_TEX_TESTMUSTER = 32806,
    ID_ZERO_PLANE = 32807,
    ID_DEMO = 32808,
};
constexpr unsigned IDM_ABOUTBOX = 16;

class CViewerDlg {
public:
    explicit CViewerDlg(Platform& platform);
    virtual ~CViewerDlg();
    CViewerDlg(const CViewerDlg&) = delete;
    CViewerDlg& operator=(const CViewerDlg&) = delete;

    // --- window life (src/app) ---
    // A model named on the command line. OnCreate opens it where the first follow check
    // would load the design program's model, as confirming the open dialog does: follow
    // mode off, then OpenModelFile. Call before OnCreate.
    void SetStartModel(const std::string& path) { m_strStartModel = path; }
    int OnCreate();
    bool OnInitDialog();
    void OnDestroy();
    void OnSysCommand(unsigned nID);
    int OnQueryDragIcon() const { return m_hIcon; }
    // Arrow keys before dispatch; returns true when the message was consumed.
    bool PreTranslateMessage(unsigned keyCode);
    static std::string ProgramDirFrom(const std::string& executablePath);

    // --- frame drawing (src/app) ---
    bool SetupPixelFormat();
    bool CreateGLContext();
    void OnSize(unsigned nType, int cx, int cy);
    // Viewport and the 45-degree projection for a client area of cx x cy pixels.
    void SetProjection(int cx, int cy);
    void DrawScene();
    void OnPaint();

    // --- model file and build (src/model) ---
    bool ReadModelFile(const std::string& path, int part);
    bool ParseModelLine(const std::string& line);
    void LoadModel(const std::string& path);
    void RebuildModel(const std::string& path);
    void OpenModelFile(const std::string& path);
    void UpdateTitle(int step);
    void OnOpenModel();

    // --- emitters (src/geometry) ---
    void DrawTriangularPrism(const long* colour, const long* count, const double* x,
                             const double* y, const double* z);
    void DrawBox(const long* colour, const long* count, const double* x, const double* y,
                 const double* z);
    void DrawPentagonalPrism(const long* colour, const long* count, const double* px,
                             const double* py, const double* pz, const double* rx,
                             const double* ry, const double* rz);
    void DrawHexagonalPrism(const long* colour, const long* count, const double* px,
                            const double* py, const double* pz, const double* rx,
                            const double* ry, const double* rz);

    // --- commands and input (src/ui) ---
    void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags);
    void OnContextMenu(Point point);
    bool OnCommand(int id);
    static const MenuItem& ContextMenuResource();

    // --- display modes and reference geometry (src/ui) ---
    void SetupGLState(int lightMode);
    void SetDisplayMode(int mode);
    void SetColourScheme(int scheme);
    void ToggleLighting();
    void ToggleAxes();
    void ToggleRoomEdges();
    void ToggleZeroPlane();
    void ChooseBackgroundColour();
    void DrawReferenceGeometry();

    // --- view (src/ui) ---
    void ShiftLeft();
    void ShiftRight();
    void ShiftUp();
    void ShiftDown();
    void ZoomIn();
    void ZoomOut();
    void CentreView();
    void RotateBy(int axis, double degrees);
    void StartAutoRotate();
    void RotateStep();
    void OnLButtonDown(unsigned flags, Point point);
    void OnMouseMove(unsigned flags, Point point);
    void OnLButtonUp(unsigned flags, Point point);

    // --- timer services (src/ui) ---
    void OnTimer(unsigned nIDEvent);
    void LiveFollowCheck();
    void DemoStep();
    void StartDemo();
    static int RandomUpTo(int n);
    static int RandomFromValue(int r, int n);  // RandomUpTo for the generator value r
    static bool FindFiles(const std::string& folder, const std::string& pattern,
                          std::vector<std::string>& list, int level);

    // --- about box (src/ui) ---
    void ShowAbout();

    // --- textures and pictures (src/image) ---
    void SelectTexture(int number, bool apply);
    void OnLoadTexture();
    void OnSavePicture();
    void OnPrintPicture();

    // The window system this viewer runs on, and where emitted geometry goes.
    Platform& m_platform;
    GlSink* m_pSink;

    // --- run-time state, in declaration order ---
    int m_nLiveTick = 0;
    CProfile* m_pProfile = nullptr;
    std::string m_strSection;
    std::string m_strModelPath;
    int m_nLiveStamp = 0;
    bool m_bAutoRotate = true;
    int m_bTimerActive = 1;
    int m_nTimerBusy = 0;
    bool m_bLiveFollow = true;
    int m_nLightMode = 0;
    bool m_bShowAxes = false;
    bool m_bShowRoomEdges = false;
    bool m_bShowZeroPlane = false;
    int m_nColourScheme = 0;
    int m_nBackR = 0, m_nBackG = 0, m_nBackB = 0;
    float m_fTexRepeat = 1.0f;
    std::string m_strProgramDir;
    RGBA m_rgbaShade0{}, m_rgbaShade1{}, m_rgbaShade2{}, m_rgbaShade3{}, m_rgbaShade4{},
        m_rgbaShade5{};
    RGBA m_rgbaLine{};
    int m_nDemoTick = -1;
    int m_nDemoIndex = -1;
    std::vector<std::string> m_demoFiles;
    ModelBounds m_bounds{1.0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    double m_dOrigin[3] = {0.0, 0.0, -2.0};
    int m_nPart = -2;
    int m_nPartCount = 2;
    bool m_bMeasuring = false;
    int m_nShading = 4;
    void* m_hRC = nullptr;
    int m_nPixelFormat = 0;
    CTexture m_texture;
    float m_fScale[3] = {1.0f, 1.0f, 1.0f};
    double m_dAngle[3] = {0.0, 0.0, 0.0};
    Point m_ptLast{};
    int m_bDragging = 0;
    int m_hIcon = 0;
    // Follow mode: the last path and stamp handed to OpenModelFile. A refused file is
    // offered again only when its name or modification time changes.
    std::string m_strLiveTried;
    int m_nLiveTriedStamp = 0;

    // Shade colour k (0..5).
    const RGBA& Shade(int k) const;

private:
    std::string m_strStartModel;

    // Sends one parsed record to the emitter of its type.
    void DrawRecord(const ParsedRecord& record, const double* coords);

    OpenGlSink m_glSink;
    ModelFileCache m_modelCache;
};

// Windows virtual-key codes as the front ends deliver them.
namespace vk {
constexpr unsigned SPACE = 0x20, PRIOR = 0x21, NEXT = 0x22, END = 0x23, HOME = 0x24,
                   LEFT = 0x25, UP = 0x26, RIGHT = 0x27, DOWN = 0x28, INSERT = 0x2D,
                   DELETE_ = 0x2E, NUMPAD0 = 0x60, NUMPAD1 = 0x61, NUMPAD2 = 0x62,
                   NUMPAD3 = 0x63, NUMPAD4 = 0x64, NUMPAD5 = 0x65, NUMPAD6 = 0x66,
                   NUMPAD7 = 0x67, NUMPAD8 = 0x68, NUMPAD9 = 0x69, ADD = 0x6B, SUBTRACT = 0x6D,
                   F1 = 0x70, F2 = 0x71, F3 = 0x72, F4 = 0x73, RETURN = 0x0D, ESCAPE = 0x1B,
                   APPS = 0x5D, F10 = 0x79;
}  // namespace vk

}  // namespace orx
