// Commands and input dispatch: context menu, key table, command routing.
#include "app/ViewerDlg.h"
#include "platform/VirtualKeys.h"

namespace orx {

namespace {

MenuItem Separator() { return MenuItem{MenuItem::Separator, "", 0, {}}; }

MenuItem Entry(const std::string& text, int id) {
    return MenuItem{MenuItem::Command, text, id, {}};
}

MenuItem SubMenu(const std::string& text, std::vector<MenuItem> children) {
    return MenuItem{MenuItem::Popup, text, 0, std::move(children)};
}

// Keys bound to a command of the context menu; a key runs the same operation as its
// entry. The arrow keys normally end in PreTranslateMessage and arrive here only
// when a front end passes them on.
struct KeyBinding {
    unsigned key;
    int id;
};

constexpr KeyBinding kKeyTable[] = {
    {vk::SPACE, ID_AUTOROTATE},
    {'R', ID_SHIFT_RIGHT},
    {vk::NUMPAD6, ID_SHIFT_RIGHT},
    {vk::RIGHT, ID_SHIFT_RIGHT},
    {'L', ID_SHIFT_LEFT},
    {vk::NUMPAD4, ID_SHIFT_LEFT},
    {vk::LEFT, ID_SHIFT_LEFT},
    {'H', ID_SHIFT_UP},
    {vk::NUMPAD8, ID_SHIFT_UP},
    {vk::UP, ID_SHIFT_UP},
    {'U', ID_SHIFT_DOWN},
    {vk::NUMPAD2, ID_SHIFT_DOWN},
    {vk::DOWN, ID_SHIFT_DOWN},
    {'C', ID_CENTRE},
    {vk::NUMPAD5, ID_CENTRE},
    {'Q', ID_ZOOM_IN},
    {vk::ADD, ID_ZOOM_IN},
    // The + and - of the main keyboard as well: a laptop has no keypad.
    {vk::OEM_PLUS, ID_ZOOM_IN},
    {'A', ID_ZOOM_OUT},
    {vk::SUBTRACT, ID_ZOOM_OUT},
    {vk::OEM_MINUS, ID_ZOOM_OUT},
    {'1', ID_TEX_KIRSCH},
    {'2', ID_TEX_BIRKE},
    {'3', ID_TEX_MAHAGONI},
    {'4', ID_TEX_NUSSBAUM},
    {'5', ID_TEX_PUZZLE},
    {'6', ID_TEX_ROSENHOLZ},
    {'7', ID_TEX_EICHE},
    {'8', ID_TEX_ENTEN},
    {'9', ID_TEX_TESTMUSTER},
    {'0', ID_LOAD_TEXTURE},
    {'X', ID_PART_NEXT},
    {vk::NUMPAD3, ID_PART_NEXT},
    {'Y', ID_PART_PREV},
    {vk::NUMPAD1, ID_PART_PREV},
    {'M', ID_OPEN_MODEL},
    {'S', ID_SAVE_PICTURE},
    {'E', ID_EXPORT_MODEL},
    {'D', ID_PRINT},
    {'B', ID_LIGHTING},
    {'K', ID_AXES},
    {'W', ID_WALLS},
    {'N', ID_ZERO_PLANE},
    {'F', ID_BACKGROUND},
    {vk::F1, ID_MODE_HAIRLINE},
    {vk::F2, ID_MODE_WIRE},
    {vk::F3, ID_MODE_SOLID},
    {vk::F4, ID_MODE_TEXTURE},
    {'O', ID_SCHEME_DESIGN},
    {'P', ID_DEMO},
};

// Keys without a menu entry: they turn the model by 2.5 degrees about an axis.
struct RotationKey {
    unsigned key;
    int axis;
    double degrees;
};

constexpr RotationKey kRotationKeys[] = {
    {vk::PRIOR, 1, 2.5}, {vk::NEXT, 1, -2.5},  {vk::HOME, 2, 2.5},
    {vk::END, 2, -2.5},  {vk::INSERT, 0, 2.5}, {vk::DELETE_, 0, -2.5},
};

}  // namespace

const MenuItem& CViewerDlg::ContextMenuResource() {
    static const MenuItem menu = SubMenu(
        "Parameter",
        {
            Separator(),
            Entry("Automatisch &Rotieren\tLeertaste", ID_AUTOROTATE),
            Separator(),
            SubMenu("Ursprung verschieben...",
                    {Entry("&Rechts\tNum 6", ID_SHIFT_RIGHT), Entry("&Links\tNum 4", ID_SHIFT_LEFT),
                     Entry("&Hoch\tNum 8", ID_SHIFT_UP), Entry("R&unter\tNum 2", ID_SHIFT_DOWN),
                     Entry("&Zentrieren\tNum 5", ID_CENTRE)}),
            SubMenu("&Zoom...",
                    {Entry("Zoom +\tCtrl +", ID_ZOOM_IN), Entry("Zoom -\tCtrl -", ID_ZOOM_OUT)}),
            SubMenu("Textur wechseln...",
                    {Entry("Kirsch\t1", ID_TEX_KIRSCH), Entry("Birke\t2", ID_TEX_BIRKE),
                     Entry("mahagoni\t3", ID_TEX_MAHAGONI), Entry("Nussbaum\t4", ID_TEX_NUSSBAUM),
                     Entry("Puzzle\t5", ID_TEX_PUZZLE), Entry("Rosenholz\t6", ID_TEX_ROSENHOLZ),
                     Entry("Eiche\t7", ID_TEX_EICHE), Entry("Enten\t8", ID_TEX_ENTEN),
                     Entry("Testmuster\t9", ID_TEX_TESTMUSTER),
                     Entry("Textur laden\t0", ID_LOAD_TEXTURE)}),
            SubMenu("2D Optionen", {Entry("Teileliste vorblättern\tNum 3", ID_PART_NEXT),
                                    Entry("Teileliste zuückblättern\tNum 1", ID_PART_PREV)}),
            Separator(),
            Entry("Modell laden\tM", ID_OPEN_MODEL),
            Entry("Bild speichern unter...\tS", ID_SAVE_PICTURE),
            Entry("Als 3D-Modell exportieren...\tE", ID_EXPORT_MODEL),
            Entry("Bild drucken\tD", ID_PRINT),
            Separator(),
            Entry("Beleuchtung\tB", ID_LIGHTING),
            Entry("Achsenkreuz\tK", ID_AXES),
            Entry("Wände\tW", ID_WALLS),
            Entry("Nullfläche\tN", ID_ZERO_PLANE),
            Entry("Hintergrundfarbe\tF", ID_BACKGROUND),
            SubMenu("Darstellung",
                    {Entry("Haarlinien\tF1", ID_MODE_HAIRLINE),
                     Entry("Drahtgittermodell\tF2", ID_MODE_WIRE),
                     Entry("Vollkörpermodell\tF3", ID_MODE_SOLID),
                     Entry("Oberflächenstruktur\tF4", ID_MODE_TEXTURE), Separator(),
                     Entry("Schatt_Grau", ID_SCHEME_GREY), Entry("Schatt_Farbig", ID_SCHEME_COLOUR),
                     Entry("Farben des Entwurfs\tO", ID_SCHEME_DESIGN)}),
            Separator(),
            Entry("Demo Modus\tP", ID_DEMO),
            Entry("&Über ORX-View ...", ID_ABOUT),
        });
    return menu;
}

MenuItem CViewerDlg::ContextMenu() const {
    MenuItem menu = ContextMenuResource();
    auto mark = [](MenuItem& item, MenuItem::Mark kind, bool on) {
        item.mark = kind;
        item.checked = on;
    };
    // Every entry that stands for a state is marked, whether it is on or not, so that
    // the front end shows it as an option.
    const auto markEntries = [&](auto& self, MenuItem& popup) -> void {
        for (MenuItem& item : popup.children) {
            if (item.kind == MenuItem::Popup) self(self, item);
            if (item.kind != MenuItem::Command) continue;
            const int id = item.id;
            if (id == ID_AUTOROTATE) mark(item, MenuItem::CheckMark, m_bAutoRotate);
            if (id == ID_LIGHTING) mark(item, MenuItem::CheckMark, m_nLightMode != 0);
            if (id == ID_AXES) mark(item, MenuItem::CheckMark, m_bShowAxes);
            if (id == ID_WALLS) mark(item, MenuItem::CheckMark, m_bShowRoomEdges);
            if (id == ID_ZERO_PLANE) mark(item, MenuItem::CheckMark, m_bShowZeroPlane);
            if (id == ID_MODE_HAIRLINE) mark(item, MenuItem::RadioMark, m_nShading == 1);
            if (id == ID_MODE_WIRE) mark(item, MenuItem::RadioMark, m_nShading == 2);
            if (id == ID_MODE_SOLID) mark(item, MenuItem::RadioMark, m_nShading == 3);
            if (id == ID_MODE_TEXTURE) mark(item, MenuItem::RadioMark, m_nShading == 4);
            // Any value but those of the coloured and the design colours draws grey.
            const bool coloured = m_nColourScheme == kSchemeColoured;
            const bool design = m_nColourScheme == kSchemeDesign;
            if (id == ID_SCHEME_GREY) mark(item, MenuItem::RadioMark, !coloured && !design);
            if (id == ID_SCHEME_COLOUR) mark(item, MenuItem::RadioMark, coloured);
            if (id == ID_SCHEME_DESIGN) mark(item, MenuItem::RadioMark, design);
            if (id >= ID_TEX_KIRSCH && id <= ID_TEX_NUSSBAUM)
                mark(item, MenuItem::RadioMark, m_nTextureNumber == id - ID_TEX_KIRSCH + 1);
            if (id >= ID_TEX_PUZZLE && id <= ID_TEX_TESTMUSTER)
                mark(item, MenuItem::RadioMark, m_nTextureNumber == id - ID_TEX_PUZZLE + 5);
        }
    };
    markEntries(markEntries, menu);
    return menu;
}

// Modifiers, repeat count and flags are not looked at: Ctrl or Shift with a listed
// key runs the same command, and an auto-repeated key runs it once per message.
void CViewerDlg::OnKeyDown(unsigned nChar, unsigned, unsigned) {
    // Any key ends a running demo, also one without a command.
    m_nDemoTick = kDemoStopped;
    for (const KeyBinding& binding : kKeyTable) {
        if (binding.key == nChar) {
            OnCommand(binding.id);
            return;
        }
    }
    for (const RotationKey& rotation : kRotationKeys) {
        if (rotation.key == nChar) {
            RotateBy(rotation.axis, rotation.degrees);
            return;
        }
    }
}

void CViewerDlg::OnContextMenu(Point point) {
    // From the keyboard: just inside the client area's top-left corner.
    if (point == Point{-1, -1}) {
        point = m_platform.ClientToScreen(Point{0, 0});
        point.x += 5;
        point.y += 5;
    }
    const int id = m_platform.TrackPopupMenu(ContextMenu(), point);
    if (id != 0) OnCommand(id);
}

bool CViewerDlg::OnCommand(int id) {
    switch (id) {
        case ID_AUTOROTATE: StartAutoRotate(); break;
        case ID_SHIFT_RIGHT: ShiftRight(); break;
        case ID_SHIFT_LEFT: ShiftLeft(); break;
        case ID_SHIFT_UP: ShiftUp(); break;
        case ID_SHIFT_DOWN: ShiftDown(); break;
        case ID_CENTRE: CentreView(); break;
        case ID_ZOOM_IN: ZoomIn(); break;
        case ID_ZOOM_OUT: ZoomOut(); break;
        case ID_TEX_KIRSCH: SelectTexture(1, true); break;
        case ID_TEX_BIRKE: SelectTexture(2, true); break;
        case ID_TEX_MAHAGONI: SelectTexture(3, true); break;
        case ID_TEX_NUSSBAUM: SelectTexture(4, true); break;
        case ID_TEX_PUZZLE: SelectTexture(5, true); break;
        case ID_TEX_ROSENHOLZ: SelectTexture(6, true); break;
        case ID_TEX_EICHE: SelectTexture(7, true); break;
        case ID_TEX_ENTEN: SelectTexture(8, true); break;
        case ID_TEX_TESTMUSTER: SelectTexture(9, true); break;
        case ID_LOAD_TEXTURE: OnLoadTexture(); break;
        case ID_PART_NEXT: UpdateTitle(1); break;
        case ID_PART_PREV: UpdateTitle(-1); break;
        case ID_OPEN_MODEL: OnOpenModel(); break;
        case ID_SAVE_PICTURE: OnSavePicture(); break;
        case ID_EXPORT_MODEL: OnExportModel(); break;
        case ID_PRINT: OnPrintPicture(); break;
        // The menu entry toggles the lighting like its key.
        case ID_LIGHTING: ToggleLighting(); break;
        case ID_AXES: ToggleAxes(); break;
        case ID_WALLS: ToggleRoomEdges(); break;
        case ID_ZERO_PLANE: ToggleZeroPlane(); break;
        case ID_BACKGROUND: ChooseBackgroundColour(); break;
        case ID_MODE_HAIRLINE: SetDisplayMode(kModeHairline); break;
        case ID_MODE_WIRE: SetDisplayMode(kModeWireframe); break;
        case ID_MODE_SOLID: SetDisplayMode(kModeSolid); break;
        case ID_MODE_TEXTURE: SetDisplayMode(kModeTextured); break;
        case ID_SCHEME_GREY: SetColourScheme(kSchemeGrey); break;
        case ID_SCHEME_COLOUR: SetColourScheme(kSchemeColoured); break;
        case ID_SCHEME_DESIGN: ShowDesignColours(); break;
        case ID_DEMO: StartDemo(); break;
        case ID_ABOUT: ShowAbout(); break;
        default: return false;
    }
    return true;
}

}  // namespace orx
