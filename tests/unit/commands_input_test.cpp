// Commands and input: the context menu, the key table and what each command does.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "ViewerProbe.h"
#include "ViewerRig.h"

namespace orx::test {
namespace {

// The context menu drawn as text, as the user reads it: one line per entry, sub-menus
// indented, the shortcut after " | ".
void Render(const MenuItem& item, int depth, std::string& out) {
    for (const MenuItem& child : item.children) {
        out += std::string(static_cast<size_t>(depth) * 2, ' ');
        if (child.kind == MenuItem::Separator) {
            out += "-\n";
            continue;
        }
        const size_t tab = child.text.find('\t');
        out += tab == std::string::npos
                   ? child.text
                   : child.text.substr(0, tab) + " | " + child.text.substr(tab + 1);
        out += child.kind == MenuItem::Popup ? " >\n" : "\n";
        if (child.kind == MenuItem::Popup) Render(child, depth + 1, out);
    }
}

TEST(ContextMenu, EntriesAndTheirShortcuts) {
    const MenuItem& menu = CViewerDlg::ContextMenuResource();
    EXPECT_EQ(menu.kind, MenuItem::Popup);
    EXPECT_EQ(menu.text, "Parameter");
    std::string text;
    Render(menu, 0, text);
    EXPECT_EQ(text,
              "-\n"
              "Automatisch &Rotieren | Leertaste\n"
              "-\n"
              "Ursprung verschieben... >\n"
              "  &Rechts | Num 6\n"
              "  &Links | Num 4\n"
              "  &Hoch | Num 8\n"
              "  R&unter | Num 2\n"
              "  &Zentrieren | Num 5\n"
              "&Zoom... >\n"
              "  Zoom + | Ctrl +\n"
              "  Zoom - | Ctrl -\n"
              "Textur wechseln... >\n"
              "  Kirsch | 1\n"
              "  Birke | 2\n"
              "  mahagoni | 3\n"
              "  Nussbaum | 4\n"
              "  Puzzle | 5\n"
              "  Rosenholz | 6\n"
              "  Eiche | 7\n"
              "  Enten | 8\n"
              "  Testmuster | 9\n"
              "  Textur laden | 0\n"
              "2D Optionen >\n"
              "  Teileliste vorblättern | Num 3\n"
              "  Teileliste zuückblättern | Num 1\n"
              "-\n"
              "Modell laden | M\n"
              "Bild speichern unter... | S\n"
              "Als 3D-Modell exportieren... | E\n"
              "Bild drucken | D\n"
              "-\n"
              "Beleuchtung | B\n"
              "Achsenkreuz | K\n"
              "Wände | W\n"
              "Nullfläche | N\n"
              "Hintergrundfarbe | F\n"
              "Darstellung >\n"
              "  Haarlinien | F1\n"
              "  Drahtgittermodell | F2\n"
              "  Vollkörpermodell | F3\n"
              "  Oberflächenstruktur | F4\n"
              "  -\n"
              "  Schatt_Grau\n"
              "  Schatt_Farbig\n"
              "  Farben des Entwurfs | O\n"
              "-\n"
              "Demo Modus | P\n"
              "&Über ORX-View ...\n");
}

// The key that a shortcut text of the menu names; 0 for none.
unsigned KeyOfShortcut(const std::string& shortcut) {
    if (shortcut == "Leertaste") return vk::SPACE;
    if (shortcut == "Ctrl +") return vk::ADD;
    if (shortcut == "Ctrl -") return vk::SUBTRACT;
    if (shortcut.rfind("Num ", 0) == 0) return vk::NUMPAD0 + unsigned(shortcut[4] - '0');
    if (shortcut.size() == 2 && shortcut[0] == 'F') return vk::F1 + unsigned(shortcut[1] - '1');
    if (shortcut.size() == 1) return static_cast<unsigned char>(shortcut[0]);
    return 0;
}

void CollectEntries(const MenuItem& item, std::vector<const MenuItem*>& out) {
    for (const MenuItem& child : item.children) {
        if (child.kind == MenuItem::Command) out.push_back(&child);
        if (child.kind == MenuItem::Popup) CollectEntries(child, out);
    }
}

// Choosing an entry in the context menu does what its shortcut key does: the same
// title, picture, stored settings, dialogs and messages afterwards.
TEST(ContextMenu, EachEntryDoesWhatItsShortcutDoes) {
    std::vector<const MenuItem*> entries;
    CollectEntries(CViewerDlg::ContextMenuResource(), entries);
    int compared = 0;
    for (const MenuItem* entry : entries) {
        const size_t tab = entry->text.find('\t');
        if (tab == std::string::npos) continue;
        const std::string shortcut = entry->text.substr(tab + 1);
        const unsigned keyCode = KeyOfShortcut(shortcut);
        ASSERT_NE(keyCode, 0u) << shortcut;
        SCOPED_TRACE(entry->text);
        struct Seen {
            std::string title, settings;
            Pixels picture;
            size_t opens, saves, colours, messages, printAnswersLeft, abouts;
        };
        auto run = [&](bool byMenu) {
            ViewerRig rig;
            rig.UseBuiltProgram();
            WriteModel(rig.Models() + "liste2d.gl", 3);
            rig.NameInOrxIni(rig.Models() + "liste2d.gl");
            rig.Start();
            // The printer dialog, cancelled: that it came shows in its answer taken.
            rig.platform.printAnswers.push_back(nullptr);
            std::srand(5);  // the demo draws the same options both ways
            if (byMenu) {
                rig.Menu(entry->id);
            } else {
                rig.Key(keyCode);
            }
            rig.Ticks(3);
            return Seen{rig.Title(),
                        ReadText(rig.dir.File("orx-view.ini")),
                        rig.Picture(),
                        rig.platform.openDialogs.size(),
                        rig.platform.saveDialogs.size(),
                        rig.platform.colourDialogs.size(),
                        rig.platform.messages.size(),
                        rig.platform.printAnswers.size(),
                        rig.platform.aboutTexts.size()};
        };
        const Seen menu = run(true), key = run(false);
        EXPECT_EQ(menu.title, key.title);
        EXPECT_EQ(menu.settings, key.settings);
        EXPECT_TRUE(menu.picture == key.picture);
        EXPECT_EQ(menu.opens, key.opens);
        EXPECT_EQ(menu.saves, key.saves);
        EXPECT_EQ(menu.colours, key.colours);
        EXPECT_EQ(menu.messages, key.messages);
        EXPECT_EQ(menu.printAnswersLeft, key.printAnswersLeft);
        EXPECT_EQ(menu.abouts, key.abouts);
        ++compared;
    }
    EXPECT_GT(compared, 30);  // every entry with a shortcut was compared
}

// A printer dialog answer that only notes that printing began.
class NotingPrintJob : public PrintJob {
public:
    explicit NotingPrintJob(int& docs) : m_docs(docs) {}
    int StartDoc(const std::string&) override { return ++m_docs; }
    int StartPage() override { return 1; }
    int EndPage() override { return 1; }
    int EndDoc() override { return 1; }
    int GetDeviceCaps(int) override { return 100; }
    int SetDIBitsToDevice(int, int, int, int, int, int, unsigned, unsigned, const void*,
                          const BITMAPINFO*) override {
        return 0;
    }
    int StretchDIBits(int, int, int, int, int, int, int, int, const void*,
                      const BITMAPINFO*) override {
        return 0;
    }

private:
    int& m_docs;
};

// A viewer showing a parts list of three parts, brought into a known state before
// each input so that the input's effect can be read off as a list of changes.
class InputRig : public ViewerRig {
public:
    InputRig() {
        WriteModel(Prog() + "liste2d.gl", 3);
        NameInOrxIni(Prog() + "liste2d.gl");
    }

    // A first start (no settings file), then with the mouse and keys: turning
    // stopped by a click, the view centred, texture 2 chosen, wireframe, the second
    // part, and the view moved to x 0.3, y 0.2, z -1.5 and angles of 10, 20 and 31
    // degrees (the first turning step set the z angle to 1).
    void Baseline() {
        Close();
        std::filesystem::remove(dir.File("orx-view.ini"));
        Start();
        Click();
        const std::pair<unsigned, int> keys[] = {
            {'C', 1}, {'2', 1}, {vk::F2, 1},     {'X', 1},       {'R', 3},
            {'H', 2}, {'Q', 5}, {vk::INSERT, 4}, {vk::PRIOR, 8}, {vk::HOME, 12}};
        for (const auto& [key, times] : keys)
            for (int i = 0; i < times; ++i) Key(key);
        platform.openDialogs.clear();
        platform.saveDialogs.clear();
        platform.colourDialogs.clear();
        platform.aboutTexts.clear();
        m_printed = 0;
        platform.printAnswers = {std::make_shared<NotingPrintJob>(m_printed)};
        m_before = Snap();
    }
    // The baseline with the slideshow started by P and one tick into it: the demo runs
    // until an input ends it.
    void BaselineInDemo() {
        Baseline();
        Key('P');
        Ticks(1);
        m_before = Snap();
    }
    // The slideshow's tick count: kDemoStopped once an input ended it.
    int DemoTick() const { return Probe(*dlg).m_nDemoTick; }

    // What changed since the baseline, as "name=value" words in a fixed order.
    std::string Changes() {
        const Snapshot after = Snap();
        std::string out;
        for (const auto& [name, value] : after.values) {
            const auto old = m_before.values.find(name);
            if (old == m_before.values.end() || old->second != value)
                out += (out.empty() ? "" : " ") + name + "=" + value;
        }
        return out;
    }

private:
    struct Snapshot {
        std::map<std::string, std::string> values;
    };

    static std::string Num(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }

    Snapshot Snap() {
        const CViewerDlg& d = *dlg;
        Snapshot s;
        auto& v = s.values;
        v["x"] = Num(Probe(d).m_dOrigin[0]);
        v["y"] = Num(Probe(d).m_dOrigin[1]);
        v["z"] = Num(Probe(d).m_dOrigin[2]);
        v["ax"] = Num(Probe(d).m_dAngle[0]);
        v["ay"] = Num(Probe(d).m_dAngle[1]);
        v["az"] = Num(Probe(d).m_dAngle[2]);
        v["rotate"] = Num(Probe(d).m_bAutoRotate);
        v["mode"] = Num(Probe(d).m_nShading);
        v["light"] = Num(Probe(d).m_nLightMode);
        v["scheme"] = Num(Probe(d).m_nColourScheme);
        v["axes"] = Num(Probe(d).m_bShowAxes);
        v["walls"] = Num(Probe(d).m_bShowRoomEdges);
        v["zero"] = Num(Probe(d).m_bShowZeroPlane);
        v["follow"] = Num(Probe(d).m_bLiveFollow);
        v["part"] = Num(Probe(d).m_nPart);
        v["demo"] = Num(static_cast<double>(Probe(d).m_demoFiles.size()));
        // Which open dialog came up: models or textures, told apart by their filter.
        v["opened"] =
            platform.openDialogs.empty() ? "0" : platform.openDialogs.back().filter.substr(0, 4);
        // The numbered texture file last read, without its folder.
        const std::string& texture = Probe(d).m_texture.fileName;
        v["texture"] = texture.substr(texture.rfind('/') + 1);
        v["saved"] = Num(static_cast<double>(platform.saveDialogs.size()));
        v["colour"] = Num(static_cast<double>(platform.colourDialogs.size()));
        v["about"] = Num(static_cast<double>(platform.aboutTexts.size()));
        v["printed"] = Num(m_printed);
        for (const char* key : {"RotateTimeOn", "shading", "LightMode", "Schattierungen",
                                "Achsenkreuz", "Raumkanten", "Nullkanten", "TexturNr"})
            v[std::string("ini.") + key] = Setting(key);
        return s;
    }

    Snapshot m_before;
    int m_printed = 0;
};

// What each input does to the baseline state: the keys that share an effect (the
// menu entry of each does the same: ContextMenu.EachEntryDoesWhatItsShortcutDoes), or
// a menu entry without a key.
struct Effect {
    std::vector<unsigned> keys;
    int menuOnly;
    const char* change;
};
const Effect kEffects[] = {
    {{vk::SPACE}, 0, "ini.RotateTimeOn=1 rotate=1"},
    {{'R', vk::NUMPAD6, vk::RIGHT}, 0, "x=0.4"},
    {{'L', vk::NUMPAD4, vk::LEFT}, 0, "x=0.2"},
    {{'H', vk::NUMPAD8, vk::UP}, 0, "y=0.3"},
    {{'U', vk::NUMPAD2, vk::DOWN}, 0, "y=0.1"},
    {{'C', vk::NUMPAD5}, 0, "ax=0 ay=0 x=0 y=0 z=-2"},
    {{'Q', vk::ADD, vk::OEM_PLUS}, 0, "z=-1.4"},
    {{'A', vk::SUBTRACT, vk::OEM_MINUS}, 0, "z=-1.6"},
    {{'1'}, 0, "ini.TexturNr=0x1 ini.shading=0x4 mode=4 texture=textur1.jpg"},
    {{'2'}, 0, "ini.shading=0x4 mode=4"},  // 2 was chosen already
    {{'3'}, 0, "ini.TexturNr=0x3 ini.shading=0x4 mode=4 texture=textur3.jpg"},
    {{'4'}, 0, "ini.TexturNr=0x4 ini.shading=0x4 mode=4 texture=textur4.jpg"},
    {{'5'}, 0, "ini.TexturNr=0x5 ini.shading=0x4 mode=4 texture=textur5.jpg"},
    {{'6'}, 0, "ini.TexturNr=0x6 ini.shading=0x4 mode=4 texture=textur6.jpg"},
    {{'7'}, 0, "ini.TexturNr=0x7 ini.shading=0x4 mode=4 texture=textur7.jpg"},
    {{'8'}, 0, "ini.TexturNr=0x8 ini.shading=0x4 mode=4 texture=textur8.jpg"},
    {{'9'}, 0, "ini.TexturNr=0x9 ini.shading=0x4 mode=4 texture=textur9.jpg"},
    {{'0'}, 0, "opened=Jpeg"},
    {{'X', vk::NUMPAD3}, 0, "part=3"},
    {{'Y', vk::NUMPAD1}, 0, "part=1"},
    {{'M'}, 0, "opened=ORX-"},
    {{'S'}, 0, "saved=1"},
    {{'E'}, 0, "saved=1"},
    {{'D'}, 0, "printed=1"},
    {{'B'}, 0, "ini.LightMode=0x1 light=1"},
    {{'K'}, 0, "axes=1 ini.Achsenkreuz=1"},
    {{'W'}, 0, "ini.Raumkanten=1 walls=1"},
    {{'N'}, 0, "ini.Nullkanten=1 zero=1"},
    {{'F'}, 0, "colour=1"},
    {{vk::F1}, 0, "ini.shading=0x1 mode=1"},
    {{vk::F2}, 0, ""},  // the baseline mode already
    {{vk::F3}, 0, "ini.shading=0x3 mode=3"},
    {{vk::F4}, 0, "ini.shading=0x4 mode=4"},
    {{'O'}, 0, "ini.Schattierungen=0x2 ini.shading=0x3 mode=3 scheme=2"},  // shown in mode 3
    {{'P'}, 0, "ax=0 ay=0 demo=1 follow=0 rotate=1 x=0 y=0 z=-2.4"},
    {{}, ID_SCHEME_GREY, "ini.Schattierungen=0x0"},  // grey already, now stored
    {{}, ID_SCHEME_COLOUR, "ini.Schattierungen=0x1 scheme=1"},
    {{}, ID_ABOUT, "about=1"},
};

TEST(Commands, EveryKeyAndMenuEntryHasItsEffectAndKeysEndTheDemo) {
    InputRig rig;
    for (const Effect& effect : kEffects) {
        if (effect.menuOnly != 0) {
            SCOPED_TRACE(effect.menuOnly);
            rig.Baseline();
            rig.Menu(effect.menuOnly);
            EXPECT_EQ(rig.Changes(), effect.change);
        }
        for (unsigned key : effect.keys) {
            SCOPED_TRACE(key);
            // Repeat count and flags do not matter: a held key runs its command once per
            // message.
            rig.Baseline();
            rig.dlg->OnKeyDown(key, 3, 0x4000);
            EXPECT_EQ(rig.Changes(), effect.change);
            rig.BaselineInDemo();
            rig.Key(key);
            EXPECT_EQ(rig.DemoTick(), key == 'P' ? 998 : kDemoStopped);  // P starts it anew
        }
    }
    // Commands that are not the viewer's are left to the window.
    EXPECT_FALSE(rig.dlg->OnCommand(32780));
    EXPECT_FALSE(rig.dlg->OnCommand(IDM_ABOUTBOX));
}

TEST(Commands, RotationKeysTurnByTwoAndAHalfDegrees) {
    const std::pair<unsigned, const char*> keys[] = {
        {vk::PRIOR, "ay=22.5"}, {vk::NEXT, "ay=17.5"},   {vk::HOME, "az=33.5"},
        {vk::END, "az=28.5"},   {vk::INSERT, "ax=12.5"}, {vk::DELETE_, "ax=7.5"},
    };
    InputRig rig;
    for (const auto& [key, change] : keys) {
        SCOPED_TRACE(key);
        rig.Baseline();
        rig.Key(key);
        EXPECT_EQ(rig.Changes(), change);
        rig.BaselineInDemo();
        rig.Key(key);
        EXPECT_EQ(rig.DemoTick(), kDemoStopped);
    }
}

TEST(Commands, KeysWithoutACommandOnlyEndTheDemo) {
    InputRig rig;
    for (unsigned key : {vk::NUMPAD7, vk::NUMPAD9, vk::NUMPAD0, unsigned('Z'), unsigned('G'),
                         0x74u /* F5 */, 0x1Fu, 0x2Fu, 0xBCu /* comma */, vk::F10, vk::APPS}) {
        SCOPED_TRACE(key);
        rig.Baseline();
        rig.Key(key);
        EXPECT_EQ(rig.Changes(), "");
        rig.BaselineInDemo();
        rig.Key(key);
        EXPECT_EQ(rig.Changes(), "");
        EXPECT_EQ(rig.DemoTick(), kDemoStopped);
    }
    EXPECT_TRUE(rig.platform.menuPoints.empty());
}

TEST(Commands, ArrowKeysShiftLikeTheMenuEntries) {
    const std::pair<unsigned, const char*> arrows[] = {
        {vk::LEFT, "x=0.2"}, {vk::RIGHT, "x=0.4"}, {vk::UP, "y=0.3"}, {vk::DOWN, "y=0.1"}};
    InputRig rig;
    for (const auto& [key, change] : arrows) {
        SCOPED_TRACE(key);
        rig.Baseline();
        EXPECT_TRUE(rig.dlg->PreTranslateMessage(key));
        EXPECT_EQ(rig.Changes(), change);
        // The window takes the arrows before the key handler: the demo goes on.
        rig.BaselineInDemo();
        const int tick = rig.DemoTick();
        EXPECT_TRUE(rig.dlg->PreTranslateMessage(key));
        EXPECT_EQ(rig.DemoTick(), tick);
    }
}

TEST(Commands, ContextMenuPlacement) {
    InputRig rig;
    rig.platform.screenOrigin = Point{140, 90};
    rig.Baseline();

    // A right click: the menu's corner at the pointer; closing it runs nothing.
    rig.dlg->OnContextMenu(Point{400, 250});
    ASSERT_EQ(rig.platform.menuPoints.size(), 1u);
    EXPECT_EQ(rig.platform.menuPoints[0], (Point{400, 250}));
    EXPECT_EQ(rig.Changes(), "");

    // From the keyboard (Shift+F10, the menu key): just inside the client area.
    rig.platform.menuAnswers = {ID_AXES};
    rig.dlg->OnContextMenu(Point{-1, -1});
    ASSERT_EQ(rig.platform.menuPoints.size(), 2u);
    EXPECT_EQ(rig.platform.menuPoints[1], (Point{145, 95}));
    EXPECT_EQ(rig.Changes(), "axes=1 ini.Achsenkreuz=1");
    // Opening the menu, even choosing an entry, does not end a demo.
    rig.BaselineInDemo();
    const int tick = rig.DemoTick();
    rig.Menu(ID_AXES);
    EXPECT_EQ(rig.DemoTick(), tick);
}

}  // namespace
}  // namespace orx::test
