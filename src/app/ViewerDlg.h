#pragma once
// The viewer window: owner of all run-time state and of every operation of the
// viewer. Toolkit-free; the window system is reached through Platform.
#include <array>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/PartPick.h"
#include "geometry/GeometryTypes.h"
#include "geometry/GlSink.h"
#include "image/Texture.h"
#include "model/ModelCache.h"
#include "model/ModelList.h"
#include "platform/Platform.h"
#include "platform/VirtualKeys.h"
#include "ui/Profile.h"

namespace orx {

// The stored "shading" numbers of the display modes.
enum DisplayMode : int {
    kModeHairline = 1,
    kModeWireframe = 2,
    kModeSolid = 3,
    kModeTextured = 4,
};

// The stored "Schattierungen" numbers of the colour sets of the solid mode. Any other
// value draws the grey set.
enum ColourScheme : int {
    kSchemeGrey = 0,
    kSchemeColoured = 1,
    kSchemeDesign = 2,  // each part in the colour of its record, shaded as the grey set
};

// m_nDemoTick while no slideshow runs (any negative value means that), and the
// value a key press or a click leaves when it stops the slideshow.
constexpr int kDemoOff = -1;
constexpr int kDemoStopped = -2;
// m_nPart while a whole model ("3d") is shown; a parts list counts from 1.
constexpr int kWholeModel = -2;
// The wheel's turn by one notch, as the window system reports it.
constexpr int kWheelNotch = 120;
// The Ctrl key in the flags of a mouse message: with the left button it picks a part.
constexpr unsigned kMouseControl = 0x0008;

// Display options applied at once and without writing settings: what the
// command-line renderer sets from its arguments.
struct ViewOptions {
    DisplayMode mode = kModeTextured;
    bool light = false;
    bool coloured = false;
    bool designColours = false;  // each part in its own colour (mode 3)
    bool axes = false;
    bool walls = false;
    bool zeroPlane = false;
    int textureNumber = 1;      // the numbered texture, when no file is named
    std::string textureFile;    // a texture file instead of the numbered texture
    bool textureNamed = false;  // load (and check) the texture in any display mode
    Rgb background{240, 240, 240};
    double angles[3] = {0.0, 0.0, 0.0};
    double origin[3] = {0.0, 0.0, -2.0};
};

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
    ID_EXPORT_MODEL = 32809,
    ID_SCHEME_DESIGN = 32810,
};
constexpr unsigned IDM_ABOUTBOX = 16;

class ViewerProbe;
enum class GlbResult;

class CViewerDlg {
public:
    explicit CViewerDlg(Platform& platform);
    virtual ~CViewerDlg();
    CViewerDlg(const CViewerDlg&) = delete;
    CViewerDlg& operator=(const CViewerDlg&) = delete;

    // --- window messages ---
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
    // Escape, which PreTranslateMessage takes: a part's size shown is cleared and the
    // window stays (false); with none shown the window closes (true).
    bool OnCancel();
    void OnSize(unsigned nType, int cx, int cy);
    void OnPaint();
    void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags);
    void OnContextMenu(Point point);
    bool OnCommand(int id);
    void OnLButtonDown(unsigned flags, Point point);
    void OnMouseMove(unsigned flags, Point point);
    void OnLButtonUp(unsigned flags, Point point);
    // The wheel turned by zDelta (kWheelNotch a notch, positive away from the user).
    void OnMouseWheel(unsigned flags, int zDelta, Point point);
    void OnTimer(unsigned nIDEvent);
    // A followed file has changed (the front end noticed it, and waited until the
    // writing was over): the next timer tick runs the follow check instead of
    // waiting for its turn.
    void RequestFollowCheck();
    // The files follow mode reads, as the last check found them: the design
    // program's "ORX.INI" and the model it names, as a path of this machine (when it
    // names one that can be mapped). Empty while follow mode is off.
    std::vector<std::string> FollowedFiles() const;

    // --- commands ---
    void OnOpenModel();
    // Opens a model the user named outside the open dialog (a dropped file): as
    // confirming the dialog does, it ends follow mode for the run.
    void OpenChosenModel(const std::string& path);
    void SetDisplayMode(int mode);
    void SetColourScheme(int scheme);
    // The design colours, in the solid mode (switched to when another mode is shown).
    void ShowDesignColours();
    void ToggleLighting();
    void ToggleAxes();
    void ToggleRoomEdges();
    void ToggleZeroPlane();
    void ChooseBackgroundColour();
    void ShiftLeft();
    void ShiftRight();
    void ShiftUp();
    void ShiftDown();
    void ZoomIn();
    void ZoomOut();
    void CentreView();
    void RotateBy(int axis, double degrees);
    void StartAutoRotate();
    void ShowAbout();
    void SelectTexture(int number, bool apply);
    void OnLoadTexture();
    void OnSavePicture();
    void OnPrintPicture();
    // Asks for a .glb file and exports what is shown into it.
    void OnExportModel();
    // Writes the shown model (the whole model or the current part) as binary glTF:
    // textured in the textured mode, otherwise in the current shades. False when
    // nothing was written; the message has then been shown.
    bool ExportShownModel(const std::string& path);
    // The same file into `out` (a page that embeds it); on failure `out` may hold
    // the start of a file.
    bool ExportShownModelTo(std::ostream& out);
    // Writes the shown model as one self-contained web page (.html) that opens in
    // the viewer's present view; false when nothing was written (message shown).
    bool ExportShownPage(const std::string& path);
    static const MenuItem& ContextMenuResource();
    // The context menu as it opens now: the resource with the marks of the options set.
    MenuItem ContextMenu() const;

    // --- the command-line renderer ---
    // Creates the OpenGL context and prepares a viewer without follow mode; false
    // when no context could be had.
    bool StartRendering(int width, int height);
    // Sets every display option at once; false when the texture file named could
    // not be read (its message has been shown).
    bool ApplyViewOptions(const ViewOptions& options);
    // Opens the model as the open dialog does and shows part `part` of a parts list
    // (clamped to its count; 0 keeps the first). True when the model was read;
    // otherwise its message has been shown.
    bool OpenModelForRendering(const std::string& path, int part);
    // The parts of the parts list on screen; 0 for a whole model.
    int PartsInList() const { return m_nPart > 0 ? m_nPartCount : 0; }
    // OpenModelForRendering for an export alone: the model is read and measured; no
    // frame is drawn, so no list is compiled.
    bool OpenModelForExport(const std::string& path, int part);
    // True when the next frame compiles list 1 (a build asked for a list that the
    // one in place is not).
    bool ModelListWaiting() const;
    // The model's bounds as the last build left them.
    const ModelBounds& Bounds() const { return m_bounds; }
    // Draws the frame with these angles and origin (which stay set) and the current
    // projection, without showing it.
    void DrawFrom(const double* angles, const double* origin);

    // What the window shows about the picked part and the measured distance, one
    // line each; empty when nothing is picked. Never part of the OpenGL picture.
    const std::string& PickText() const { return m_pick.text; }

    // --- helpers without state ---
    static std::string ProgramDirFrom(const std::string& executablePath);
    static int RandomUpTo(int n);
    static int RandomFromValue(int r, int n);  // RandomUpTo for the generator value r
    static bool FindFiles(const std::string& folder, const std::string& pattern,
                          std::vector<std::string>& list, int level);
    // Why a model named on the command line cannot be opened, as a German message
    // naming it; empty when it can be read.
    static std::string StartModelProblem(const std::string& path);
    // The refusal of a model of which nothing is drawn, for a picture or an export.
    static std::string NothingToDrawMessage(const std::string& path);

private:
    friend class ViewerProbe;  // the tests' view of the state

    // --- frame drawing (src/app) ---
    bool SetupPixelFormat();
    bool CreateGLContext();
    // Viewport and the 45-degree projection for a client area of cx x cy pixels.
    void SetProjection(int cx, int cy);
    void DrawScene();

    // --- picking parts (src/app) ---
    // A Ctrl+click at a client point: picks the part there, measures from the part
    // picked before, or clears the pick on the background.
    void PickAt(Point point);
    // The record (index into the parse cache) whose face is nearest along the view
    // ray through the point, and the point hit in list coordinates.
    bool CastPickRay(Point point, size_t& record, Vec3& hit);
    void BuildPickBoxes();
    void ClearPick();
    // After every build: a pick on other records than those of the new list goes.
    void NotePickSource(bool drawn, const std::string& path);
    // The picked part's edges and points, over the model.
    void DrawPickMarker() const;
    // Draws the frame without the marker for a picture to save or print; false when
    // the frame on screen has no marker anyway.
    bool DrawPlainFrame();

    // --- model file and build (src/model) ---
    bool ReadModelFile(const std::string& path, int part);
    bool ParseModelLine(const std::string& line);
    // Reads and measures the model (bounds, part count) and asks the next frame for
    // list 1; an unreadable file starts the slideshow.
    void LoadModel(const std::string& path);
    // LoadModel, left out when the last read of the file still holds.
    void RebuildModel(const std::string& path);
    void OpenModelFile(const std::string& path);
    void UpdateTitle(int step);

    // --- list 1 compiled by the frame that needs it (src/model) ---
    // What a compile now would draw from: the model as last read, and the options.
    ModelListInputs CurrentListInputs() const;
    // True when the last read of `path` for the part shown still holds (the file
    // did not change); it then leaves what a build would leave besides the list
    // (bounds, part count, scale). False when the model must be read and measured.
    bool KeepModelRead(const std::string& path);
    // Compiles list 1 when a build asked for it and the list in place was compiled
    // from other inputs (or is gone); ends the busy pointer of a read.
    void PrepareModelList();
    void CompileModelList();
    // Sends the records of the parse cache for `part` (negative: all) to the emitters.
    void DrawRecords(int part);
    // The busy pointer while the window reads or compiles a model.
    void ShowBusy();
    void EndBusy();

    // --- emitters (src/geometry) ---
    void DrawTriangularPrism(const long* colour, const long* count, const double* x,
                             const double* y, const double* z);
    void DrawBox(const long* colour, const long* count, const double* x, const double* y,
                 const double* z);
    void DrawPentagonalPrism(const long* colour, const long* count, const double* px,
                             const double* py, const double* pz, const double* rx, const double* ry,
                             const double* rz);
    void DrawHexagonalPrism(const long* colour, const long* count, const double* px,
                            const double* py, const double* pz, const double* rx, const double* ry,
                            const double* rz);
    // Sends one parsed record to the emitter of its type.
    void DrawRecord(const ParsedRecord& record, const double* coords);
    // Runs `draw` with the emitters sending to `sink` (picking, the marker, export).
    // The drawing sink and the bounds, which the emitters widen as they go, are as
    // they were afterwards.
    void DrawThrough(GlSink& sink, const std::function<void()>& draw);
    // What each vertex carries in the current display mode.
    VertexStyle CurrentVertexStyle() const;
    // The export into the file at `path`, or into `out` when that is given: checks,
    // busy pointer and message.
    bool ExportShown(const std::string& path, std::ostream* out);
    // Writes the shown records as the build sends them, one part a record, in the
    // model's own millimetres; the build's state is left as it was. Throws
    // std::bad_alloc when memory runs out.
    GlbResult WriteShownParts(const std::string& path, std::ostream* out, std::string& error);
    // True while the parse cache holds the records of the read on screen.
    bool ShownRecordsHeld() const;
    // The bytes of the .glb file ExportShownModel writes; false when it failed (its
    // message has been shown).
    bool ShownModelGlb(std::string& bytes);
    // What each vertex of a record with this colour value carries: in the solid mode
    // with the design colours its corners take the part's own shades, kept in `own`;
    // otherwise CurrentVertexStyle. A missing colour counts as unreadable.
    VertexStyle RecordVertexStyle(const long* colour, std::array<RGBA, 6>& own) const;
    // Where emitted geometry goes: OpenGL, or a test's recorder.
    GlSink& Sink() { return m_pSink ? *m_pSink : m_glSink; }

    // --- display modes and reference geometry (src/ui) ---
    void SetupGLState(int lightMode);
    void DrawReferenceGeometry();

    // --- view and timer services (src/ui) ---
    void RotateStep();
    void LiveFollowCheck();
    void DemoStep();
    void StartDemo();
    // Ends a slideshow that started by itself and puts back what it changed (stored
    // display options, view, auto-rotation), as if the viewer had just started.
    void EndDemoForFollowedModel();
    // The display options of the settings file: lighting, shades, mode, reference
    // geometry, auto-rotation.
    void ReadStoredDisplayOptions();
    // True when OpenModelFile would accept the name and the file can be read now.
    bool ModelReadable(const std::string& path);

    // The folder the open and texture dialogs start in: the model's on screen, else the
    // one last chosen from, else the program's sample models. RememberDialogFolder
    // stores the folder of a file chosen there (under `key`, by default theirs).
    std::string DialogFolder();
    void RememberDialogFolder(const std::string& chosen, const char* key = nullptr);
    // The folder a save dialog starts in: the one last chosen in it (stored under
    // `key`), else the model's folder when the user may write there, else the user's
    // folder of that kind.
    std::string SaveDialogFolder(const char* key, Platform::UserFolder fallback);

    // Reads a texture file into m_texture (red and blue swapped for OpenGL); messages
    // name the file as shownName when one is given.
    bool LoadTexture(const std::string& path, const std::string& shownName = {});
    static std::string NumberedTexturePath(const std::string& programDir, int number);

    // Shade colour k (0..5).
    const RGBA& Shade(int k) const;
    // A file of the profile folder.
    std::string ProfileFile(const std::string& name) const;

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
    int m_nDemoTick = kDemoOff;
    int m_nDemoIndex = -1;
    std::vector<std::string> m_demoFiles;
    ModelBounds m_bounds{1.0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    double m_dOrigin[3] = {0.0, 0.0, -2.0};
    int m_nPart = kWholeModel;
    int m_nPartCount = 2;
    bool m_bMeasuring = false;
    int m_nShading = kModeTextured;
    void* m_hRC = nullptr;
    int m_nPixelFormat = 0;
    CTexture m_texture;
    float m_fScale[3] = {1.0f, 1.0f, 1.0f};
    double m_dAngle[3] = {0.0, 0.0, 0.0};
    Point m_ptLast{};
    int m_bDragging = 0;
    int m_hIcon = 0;
    // Follow mode: the file loaded last, and the last path and file handed to
    // OpenModelFile, by the identity the parse cache uses (file, size, both times in
    // ns), so that a rewrite with the old time put back is seen. A refused file is
    // offered again only when its name or identity changes.
    FileIdentity m_liveIdentity;
    std::string m_strLiveTried;
    FileIdentity m_liveTriedIdentity;
    // The "ORX.INI" the last follow check read, and the model path it named there.
    std::string m_strLiveIni;
    std::string m_strLiveFile;

    // The folder of the settings file and of the design program's "ORX.INI",
    // handed over by the platform.
    std::string m_strProfileDir;
    // A model named on the command line, opened by OnCreate.
    std::string m_strStartModel;
    // The running slideshow started by itself because no model could be read: follow
    // mode keeps watching, and the first model it finds ends the show.
    bool m_bDemoFollows = false;
    // The numbered texture on the model; 0 while a texture file is loaded.
    int m_nTextureNumber = 0;
    // The part of a wheel notch turned but not yet zoomed.
    int m_nWheelRest = 0;
    OpenGlSink m_glSink;
    ModelFileCache m_modelCache;
    // The model the last build read, and the inputs of the compile that made list 1.
    ModelRead m_modelRead;
    ModelListRecord m_listBuilt;
    // Builds read the model only when it changed and leave the compiling to the next
    // frame; tests clear it to compare with the lists that compiling at every build
    // makes.
    bool m_bReuseModelList = true;
    // The picked part, the list it was picked in, and the boxes of that list's records.
    PartPick m_pick;
    PickSource m_pickSource;
    PickSource m_pickBoxesFor;
    std::vector<PickBox> m_pickBoxes;
    // The client size of the projection in place.
    int m_nViewWidth = 0;
    int m_nViewHeight = 0;
    // Set while a frame for a saved or printed picture is drawn: no marker in it.
    bool m_bPlainFrame = false;
    // The busy pointer is shown.
    bool m_bBusy = false;
};

}  // namespace orx
