// Key presses to Windows virtual-key codes, by physical key. A keymap compiled from
// layout names plays the X server: it gives the keysym a key produces with the
// modifiers held and the key's first-level keysym, as the window would get them.
#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "platform/qt/KeyMapping.h"

namespace orx {
namespace {

enum Held { Shift = 1, Ctrl = 2, Alt = 4, NumLock = 8, AltGr = 16, CapsLock = 32 };

class Keyboard {
public:
    explicit Keyboard(const char* layout, const char* variant = "")
        : m_layout(KeyboardLayout::FromNames(layout, variant)) {
        m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names{nullptr, "pc105", layout, variant, nullptr};
        m_keymap = xkb_keymap_new_from_names(m_context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        m_state = m_keymap ? xkb_state_new(m_keymap) : nullptr;
    }
    ~Keyboard() {
        xkb_state_unref(m_state);
        xkb_keymap_unref(m_keymap);
        xkb_context_unref(m_context);
    }
    bool Ready() const { return m_state && m_layout; }

    // The press of X key code `key` with the modifiers `held`.
    KeyPress Press(uint32_t key, int held = 0) {
        auto mask = [this](const char* name) {
            return xkb_mod_mask_t{1} << xkb_keymap_mod_get_index(m_keymap, name);
        };
        xkb_mod_mask_t depressed = 0, locked = 0;
        if (held & Shift) depressed |= mask(XKB_MOD_NAME_SHIFT);
        if (held & Ctrl) depressed |= mask(XKB_MOD_NAME_CTRL);
        if (held & Alt) depressed |= mask(XKB_MOD_NAME_ALT);
        if (held & AltGr) depressed |= mask("Mod5");
        if (held & NumLock) locked |= mask(XKB_MOD_NAME_NUM);
        if (held & CapsLock) locked |= mask(XKB_MOD_NAME_CAPS);
        xkb_state_update_mask(m_state, depressed, 0, locked, 0, 0, 0);
        KeyPress press;
        press.scanCode = key;
        press.keysym = xkb_state_key_get_one_sym(m_state, key);
        press.baseKeysym = m_layout->BaseKeysym(key, 0, press.keysym);
        // The modifiers as Qt reports them: AltGr is none of Shift, Ctrl and Alt.
        if (held & Shift) press.modifiers |= Qt::ShiftModifier;
        if (held & Ctrl) press.modifiers |= Qt::ControlModifier;
        if (held & Alt) press.modifiers |= Qt::AltModifier;
        if (press.keysym >= XKB_KEY_KP_Space && press.keysym <= XKB_KEY_KP_Equal)
            press.modifiers |= Qt::KeypadModifier;
        return press;
    }

private:
    std::unique_ptr<KeyboardLayout> m_layout;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
};

VirtualKey Down(unsigned code) { return VirtualKey{VirtualKey::KeyDown, code}; }
VirtualKey System(unsigned code) { return VirtualKey{VirtualKey::SystemKey, code}; }

std::string Show(const VirtualKey& key) {
    static const char* routes[] = {"none", "key-down", "system"};
    char text[40];
    std::snprintf(text, sizeof text, "%s 0x%02X", routes[key.route], key.code);
    return text;
}

struct Row {
    uint32_t key;  // X key code
    int held;
    VirtualKey expected;
    const char* what;
};

void CheckRows(Keyboard& keyboard, std::initializer_list<Row> rows) {
    ASSERT_TRUE(keyboard.Ready()) << "keymap could not be compiled";
    for (const Row& row : rows)
        EXPECT_EQ(Show(MapKey(keyboard.Press(row.key, row.held))), Show(row.expected)) << row.what;
}

// X key codes of a pc105 keyboard.
namespace key {
constexpr uint32_t Esc = 9, Digit1 = 10, Digit0 = 19, Minus = 20, Equal = 21, BackSpace = 22,
                   Tab = 23, Q = 24, W = 25, E = 26, R = 27, T = 28, Y = 29, U = 30, P = 33,
                   BracketL = 34, BracketR = 35, Return = 36, CtrlL = 37, A = 38, S = 39, D = 40,
                   F = 41, H = 43, K = 45, L = 46, Semicolon = 47, Apostrophe = 48, Grave = 49,
                   ShiftL = 50, Backslash = 51, Z = 52, X = 53, C = 54, B = 56, N = 57, M = 58,
                   Comma = 59, Period = 60, Slash = 61, ShiftR = 62, KPMultiply = 63, AltL = 64,
                   Space = 65, Caps = 66, F1 = 67, F4 = 70, F10 = 76, NumLockKey = 77,
                   ScrollLock = 78, KP7 = 79, KP8 = 80, KP9 = 81, KPSubtract = 82, KP4 = 83,
                   KP5 = 84, KP6 = 85, KPAdd = 86, KP1 = 87, KP2 = 88, KP3 = 89, KP0 = 90,
                   KPDecimal = 91, Less = 94, F11 = 95, F12 = 96, KPEnter = 104, CtrlR = 105,
                   KPDivide = 106, Print = 107, AltR = 108, Home = 110, Up = 111, PageUp = 112,
                   Left = 113, Right = 114, End = 115, Down = 116, PageDown = 117, Insert = 118,
                   Delete = 119, Pause = 127, SuperL = 133, MenuKey = 135;
}

TEST(KeyMapping, EveryKeyOfTheKeyTable) {
    Keyboard us("us");
    CheckRows(us, {
                      {key::Space, 0, Down(0x20), "Space"},
                      {key::R, 0, Down(0x52), "R"},
                      {key::L, 0, Down(0x4C), "L"},
                      {key::H, 0, Down(0x48), "H"},
                      {key::U, 0, Down(0x55), "U"},
                      {key::C, 0, Down(0x43), "C"},
                      {key::Q, 0, Down(0x51), "Q"},
                      {key::A, 0, Down(0x41), "A"},
                      {key::X, 0, Down(0x58), "X"},
                      {key::Y, 0, Down(0x59), "Y"},
                      {key::M, 0, Down(0x4D), "M"},
                      {key::S, 0, Down(0x53), "S"},
                      {key::D, 0, Down(0x44), "D"},
                      {key::B, 0, Down(0x42), "B"},
                      {key::K, 0, Down(0x4B), "K"},
                      {key::W, 0, Down(0x57), "W"},
                      {key::N, 0, Down(0x4E), "N"},
                      {key::F, 0, Down(0x46), "F"},
                      {key::P, 0, Down(0x50), "P"},
                      {key::Digit1, 0, Down('1'), "1"},
                      {key::Digit1 + 4, 0, Down('5'), "5"},
                      {key::Digit1 + 8, 0, Down('9'), "9"},
                      {key::Digit0, 0, Down('0'), "0"},
                      {key::KP1, NumLock, Down(0x61), "Num 1"},
                      {key::KP2, NumLock, Down(0x62), "Num 2"},
                      {key::KP3, NumLock, Down(0x63), "Num 3"},
                      {key::KP4, NumLock, Down(0x64), "Num 4"},
                      {key::KP5, NumLock, Down(0x65), "Num 5"},
                      {key::KP6, NumLock, Down(0x66), "Num 6"},
                      {key::KP8, NumLock, Down(0x68), "Num 8"},
                      {key::KPAdd, 0, Down(0x6B), "Num +"},
                      {key::KPSubtract, 0, Down(0x6D), "Num -"},
                      {key::KPAdd, Ctrl, Down(0x6B), "Ctrl + Num +"},
                      {key::KPSubtract, Ctrl, Down(0x6D), "Ctrl + Num -"},
                      {key::F1, 0, Down(0x70), "F1"},
                      {key::F1 + 1, 0, Down(0x71), "F2"},
                      {key::F1 + 2, 0, Down(0x72), "F3"},
                      {key::F4, 0, Down(0x73), "F4"},
                      {key::Left, 0, Down(0x25), "Left"},
                      {key::Up, 0, Down(0x26), "Up"},
                      {key::Right, 0, Down(0x27), "Right"},
                      {key::Down, 0, Down(0x28), "Down"},
                      {key::PageUp, 0, Down(0x21), "Page Up"},
                      {key::PageDown, 0, Down(0x22), "Page Down"},
                      {key::Home, 0, Down(0x24), "Home"},
                      {key::End, 0, Down(0x23), "End"},
                      {key::Insert, 0, Down(0x2D), "Insert"},
                      {key::Delete, 0, Down(0x2E), "Delete"},
                      {key::Return, 0, Down(0x0D), "Enter"},
                      {key::KPEnter, 0, Down(0x0D), "keypad Enter"},
                      {key::Esc, 0, Down(0x1B), "Escape"},
                  });
}

TEST(KeyMapping, ShiftAndCtrlKeepTheCodeOfTheKey) {
    Keyboard us("us");
    CheckRows(us, {
                      {key::Digit1, Shift, Down('1'), "Shift+1 (!)"},
                      {key::Digit0, Shift, Down('0'), "Shift+0 ())"},
                      {key::Digit1 + 2, Ctrl, Down('3'), "Ctrl+3"},
                      {key::R, Shift, Down(0x52), "Shift+R"},
                      {key::R, Ctrl | Shift, Down(0x52), "Ctrl+Shift+R"},
                      {key::R, CapsLock, Down(0x52), "R with Caps Lock"},
                      {key::Space, Shift, Down(0x20), "Shift+Space"},
                      {key::F1, Shift, Down(0x70), "Shift+F1"},
                      {key::Tab, Shift, Down(0x09), "Shift+Tab"},
                  });
}

TEST(KeyMapping, GermanLayoutByPhysicalKey) {
    Keyboard de("de");
    CheckRows(de, {
                      // Every shifted digit is another character: ! " § $ % & / ( ) =
                      {key::Digit1, Shift, Down('1'), "Shift+1"},
                      {key::Digit1 + 1, Shift, Down('2'), "Shift+2"},
                      {key::Digit1 + 2, Shift, Down('3'), "Shift+3"},
                      {key::Digit1 + 3, Shift, Down('4'), "Shift+4"},
                      {key::Digit1 + 4, Shift, Down('5'), "Shift+5"},
                      {key::Digit1 + 5, Shift, Down('6'), "Shift+6"},
                      {key::Digit1 + 6, Shift, Down('7'), "Shift+7"},
                      {key::Digit1 + 7, Shift, Down('8'), "Shift+8"},
                      {key::Digit1 + 8, Shift, Down('9'), "Shift+9"},
                      {key::Digit0, Shift, Down('0'), "Shift+0"},
                      // AltGr is Ctrl+Alt: its combinations are ordinary key-downs.
                      {key::Digit1 + 6, AltGr, Down('7'), "AltGr+7 ({)"},
                      {key::Q, AltGr, Down(0x51), "AltGr+Q (@)"},
                      {key::AltR, 0, Down(0x12), "AltGr itself"},
                      // Letters by what the key says: Y and Z change places.
                      {key::Y, 0, Down(0x5A), "Z key"},
                      {key::Z, 0, Down(0x59), "Y key"},
                      {key::Z, Shift, Down(0x59), "Shift+Y"},
                      {key::C, 0, Down(0x43), "C"},
                      // Punctuation as the German layout's OEM codes.
                      {key::Minus, 0, Down(0xDB), "ß"},
                      {key::Equal, 0, Down(0xDD), "´"},
                      {key::BracketL, 0, Down(0xBA), "ü"},
                      {key::BracketR, 0, Down(0xBB), "+"},
                      {key::BracketR, Shift, Down(0xBB), "* (Shift +)"},
                      {key::Semicolon, 0, Down(0xC0), "ö"},
                      {key::Apostrophe, 0, Down(0xDE), "ä"},
                      {key::Grave, 0, Down(0xDC), "^"},
                      {key::Backslash, 0, Down(0xBF), "#"},
                      {key::Comma, 0, Down(0xBC), ","},
                      {key::Comma, Shift, Down(0xBC), "; (Shift ,)"},
                      {key::Period, 0, Down(0xBE), "."},
                      {key::Slash, 0, Down(0xBD), "-"},
                      // The + and - of the main keyboard with Ctrl zoom as without.
                      {key::BracketR, Ctrl, Down(0xBB), "Ctrl +"},
                      {key::Slash, Ctrl, Down(0xBD), "Ctrl -"},
                      {key::Less, 0, Down(0xE2), "<"},
                      // The keypad decimal key gives a comma here.
                      {key::KPDecimal, NumLock, Down(0x6E), "Num ,"},
                      {key::KPAdd, 0, Down(0x6B), "Num +"},
                  });
}

TEST(KeyMapping, KeypadFollowsNumLock) {
    Keyboard us("us");
    CheckRows(us, {
                      {key::KP0, NumLock, Down(0x60), "Num 0"},
                      {key::KP7, NumLock, Down(0x67), "Num 7"},
                      {key::KP9, NumLock, Down(0x69), "Num 9"},
                      {key::KPDecimal, NumLock, Down(0x6E), "Num ."},
                      {key::KPMultiply, 0, Down(0x6A), "Num *"},
                      {key::KPDivide, 0, Down(0x6F), "Num /"},
                      // Num Lock off: the navigation keys; Num 5 is VK_CLEAR.
                      {key::KP5, 0, Down(0x0C), "Num 5, Num Lock off"},
                      {key::KP1, 0, Down(0x23), "Num 1, Num Lock off"},
                      {key::KP2, 0, Down(0x28), "Num 2, Num Lock off"},
                      {key::KP3, 0, Down(0x22), "Num 3, Num Lock off"},
                      {key::KP4, 0, Down(0x25), "Num 4, Num Lock off"},
                      {key::KP6, 0, Down(0x27), "Num 6, Num Lock off"},
                      {key::KP7, 0, Down(0x24), "Num 7, Num Lock off"},
                      {key::KP8, 0, Down(0x26), "Num 8, Num Lock off"},
                      {key::KP9, 0, Down(0x21), "Num 9, Num Lock off"},
                      {key::KP0, 0, Down(0x2D), "Num 0, Num Lock off"},
                      {key::KPDecimal, 0, Down(0x2E), "Num ., Num Lock off"},
                      // Shift turns Num Lock off for the moment; with it off, Shift
                      // leaves the navigation keys (X11 would give digits).
                      {key::KP1, NumLock | Shift, Down(0x23), "Shift+Num 1"},
                      {key::KP5, NumLock | Shift, Down(0x0C), "Shift+Num 5"},
                      {key::KP3, Shift, Down(0x22), "Shift+Num 3, Num Lock off"},
                      {key::KP5, Shift, Down(0x0C), "Shift+Num 5, Num Lock off"},
                  });
    // Keymaps whose keypad gives digits with Shift and Num Lock off (here Bepo), or a
    // third level with both: the navigation keys all the same.
    Keyboard bepo("fr", "bepo");
    CheckRows(bepo, {
                        {key::KP3, Shift, Down(0x22), "Shift+Num 3, Num Lock off"},
                        {key::KP5, Shift, Down(0x0C), "Shift+Num 5, Num Lock off"},
                        {key::KP0, Shift, Down(0x2D), "Shift+Num 0, Num Lock off"},
                        {key::KPDecimal, Shift, Down(0x2E), "Shift+Num ., Num Lock off"},
                        {key::KP3, 0, Down(0x22), "Num 3, Num Lock off"},
                        {key::KP3, NumLock, Down(0x63), "Num 3"},
                        {key::KP9, NumLock | Shift, Down(0x21), "Shift+Num 9"},
                    });
}

TEST(KeyMapping, ModifiersAndOtherKeysArriveToo) {
    Keyboard us("us");
    CheckRows(us, {
                      {key::ShiftL, 0, Down(0x10), "left Shift"},
                      {key::ShiftR, 0, Down(0x10), "right Shift"},
                      {key::CtrlL, 0, Down(0x11), "left Ctrl"},
                      {key::CtrlR, 0, Down(0x11), "right Ctrl"},
                      {key::Caps, 0, Down(0x14), "Caps Lock"},
                      {key::NumLockKey, 0, Down(0x90), "Num Lock"},
                      {key::ScrollLock, 0, Down(0x91), "Scroll Lock"},
                      {key::SuperL, 0, Down(0x5B), "Windows key"},
                      {key::MenuKey, 0, Down(0x5D), "menu key"},
                      {key::Pause, 0, Down(0x13), "Pause"},
                      {key::Tab, 0, Down(0x09), "Tab"},
                      {key::BackSpace, 0, Down(0x08), "Backspace"},
                      {key::F11, 0, Down(0x7A), "F11"},
                      {key::F12, 0, Down(0x7B), "F12"},
                      {key::CtrlL, Shift, Down(0x11), "Ctrl while Shift"},
                      {key::AltL, Ctrl, Down(0x12), "Alt while Ctrl"},
                      {key::R, Ctrl | Alt, Down(0x52), "Ctrl+Alt+R"},
                      // US punctuation.
                      {key::Minus, 0, Down(0xBD), "-"},
                      {key::Equal, 0, Down(0xBB), "="},
                      {key::BracketL, 0, Down(0xDB), "["},
                      {key::BracketR, 0, Down(0xDD), "]"},
                      {key::Semicolon, 0, Down(0xBA), ";"},
                      {key::Apostrophe, 0, Down(0xDE), "'"},
                      {key::Grave, 0, Down(0xC0), "`"},
                      {key::Backslash, 0, Down(0xDC), "\\"},
                      {key::Comma, 0, Down(0xBC), ","},
                      {key::Period, 0, Down(0xBE), "."},
                      {key::Period, Shift, Down(0xBE), "> (Shift .)"},
                      {key::Slash, 0, Down(0xBF), "/"},
                      // Print Screen gives no key-down on Windows.
                      {key::Print, 0, VirtualKey{VirtualKey::None, 0x2C}, "Print Screen"},
                  });
}

TEST(KeyMapping, F10AndAltCombinationsAreSystemKeys) {
    Keyboard us("us");
    CheckRows(us, {
                      {key::F10, 0, System(0x79), "F10"},
                      {key::F10, Shift, System(0x79), "Shift+F10"},
                      {key::AltL, 0, System(0x12), "Alt"},
                      {key::AltR, 0, System(0x12), "right Alt on a US keyboard"},
                      {key::F4, Alt, System(0x73), "Alt+F4"},
                      {key::Space, Alt, System(0x20), "Alt+Space"},
                      {key::R, Alt, System(0x52), "Alt+R"},
                      {key::Digit1, Alt | Shift, System('1'), "Alt+Shift+1"},
                      {key::ShiftL, Alt, System(0x10), "Shift while Alt"},
                  });
}

TEST(KeyMapping, WithoutKeymapTheQtKeyAndTheScanCodeServe) {
    auto qt = [](int qtKey, Qt::KeyboardModifiers modifiers, uint32_t scanCode = 0) {
        KeyPress press;
        press.qtKey = qtKey;
        press.modifiers = modifiers;
        press.scanCode = scanCode;
        return Show(MapKey(press));
    };
    EXPECT_EQ(qt(Qt::Key_R, {}), Show(Down(0x52)));
    EXPECT_EQ(qt(Qt::Key_5, Qt::KeypadModifier), Show(Down(0x65)));
    EXPECT_EQ(qt(Qt::Key_Clear, Qt::KeypadModifier), Show(Down(0x0C)));
    EXPECT_EQ(qt(Qt::Key_3, Qt::KeypadModifier | Qt::ShiftModifier), Show(Down(0x22)));
    EXPECT_EQ(qt(Qt::Key_Plus, Qt::KeypadModifier | Qt::ControlModifier), Show(Down(0x6B)));
    EXPECT_EQ(qt(Qt::Key_Shift, Qt::ShiftModifier), Show(Down(0x10)));
    EXPECT_EQ(qt(Qt::Key_Backtab, Qt::ShiftModifier), Show(Down(0x09)));
    EXPECT_EQ(qt(Qt::Key_F10, {}), Show(System(0x79)));
    EXPECT_EQ(qt(Qt::Key_AltGr, {}), Show(Down(0x12)));
    EXPECT_EQ(qt(Qt::Key_Alt, {}), Show(System(0x12)));
    // Shift+1 on a German keyboard without keysyms: the digit row's scan code decides.
    EXPECT_EQ(qt(Qt::Key_Exclam, Qt::ShiftModifier, key::Digit1), Show(Down('1')));
    EXPECT_EQ(qt(Qt::Key_ParenRight, Qt::ShiftModifier, key::Digit0), Show(Down('0')));
    // A key no table knows still arrives; a press that names no key does not.
    EXPECT_EQ(qt(Qt::Key_Launch5, {}, 200), Show(Down(kUnknownKey)));
    EXPECT_EQ(qt(Qt::Key_unknown, {}), Show(VirtualKey{}));
}

TEST(KeyboardLayout, FirstLevelOfTheGroupThatProducedTheKeysym) {
    auto layouts = KeyboardLayout::FromNames("us,de", "");
    ASSERT_TRUE(layouts);
    // The key right of T: y in the US group, z in the German one.
    EXPECT_EQ(layouts->BaseKeysym(key::Y, 0, XKB_KEY_y), uint32_t{XKB_KEY_y});
    EXPECT_EQ(layouts->BaseKeysym(key::Y, 1, XKB_KEY_Z), uint32_t{XKB_KEY_z});
    // A group that cannot have produced the keysym gives way to one that can.
    EXPECT_EQ(layouts->BaseKeysym(key::Y, 0, XKB_KEY_z), uint32_t{XKB_KEY_z});
    EXPECT_EQ(layouts->BaseKeysym(key::Digit1 + 2, 0, XKB_KEY_section), uint32_t{XKB_KEY_3});
    // A group beyond the key's groups counts as the first.
    EXPECT_EQ(layouts->BaseKeysym(key::Y, 7, 0), uint32_t{XKB_KEY_y});
    // No group of the key holds the keysym (the layouts changed), or no such key.
    EXPECT_EQ(layouts->BaseKeysym(key::Y, 0, XKB_KEY_q), 0u);
    EXPECT_EQ(layouts->BaseKeysym(3, 0, 0), 0u);
    EXPECT_EQ(layouts->BaseKeysym(100000, 0, 0), 0u);
}

}  // namespace
}  // namespace orx
