#include "platform/qt/KeyMapping.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <string>

namespace orx {

namespace {

// Windows virtual-key codes.
namespace wk {
constexpr unsigned CANCEL = 0x03, BACK = 0x08, TAB = 0x09, CLEAR = 0x0C, RETURN = 0x0D,
                   SHIFT = 0x10, CONTROL = 0x11, MENU = 0x12, PAUSE = 0x13, CAPITAL = 0x14,
                   ESCAPE = 0x1B, SPACE = 0x20, PRIOR = 0x21, NEXT = 0x22, END = 0x23, HOME = 0x24,
                   LEFT = 0x25, UP = 0x26, RIGHT = 0x27, DOWN = 0x28, SELECT = 0x29, EXECUTE = 0x2B,
                   SNAPSHOT = 0x2C, INSERT = 0x2D, DELETE_ = 0x2E, HELP = 0x2F, LWIN = 0x5B,
                   RWIN = 0x5C, APPS = 0x5D, SLEEP = 0x5F, NUMPAD0 = 0x60, MULTIPLY = 0x6A,
                   ADD = 0x6B, SUBTRACT = 0x6D, DECIMAL = 0x6E, DIVIDE = 0x6F, F1 = 0x70,
                   F10 = 0x79, NUMLOCK = 0x90, SCROLL = 0x91, BROWSER_BACK = 0xA6,
                   BROWSER_FORWARD = 0xA7, BROWSER_REFRESH = 0xA8, BROWSER_STOP = 0xA9,
                   BROWSER_SEARCH = 0xAA, BROWSER_FAVORITES = 0xAB, BROWSER_HOME = 0xAC,
                   VOLUME_MUTE = 0xAD, VOLUME_DOWN = 0xAE, VOLUME_UP = 0xAF,
                   MEDIA_NEXT_TRACK = 0xB0, MEDIA_PREV_TRACK = 0xB1, MEDIA_STOP = 0xB2,
                   MEDIA_PLAY_PAUSE = 0xB3, LAUNCH_MAIL = 0xB4, LAUNCH_MEDIA_SELECT = 0xB5,
                   LAUNCH_APP1 = 0xB6, LAUNCH_APP2 = 0xB7, OEM_1 = 0xBA, OEM_PLUS = 0xBB,
                   OEM_COMMA = 0xBC, OEM_MINUS = 0xBD, OEM_PERIOD = 0xBE, OEM_2 = 0xBF,
                   OEM_3 = 0xC0, OEM_4 = 0xDB, OEM_5 = 0xDC, OEM_6 = 0xDD, OEM_7 = 0xDE,
                   OEM_102 = 0xE2;
}  // namespace wk

struct SymCode {
    uint32_t keysym;
    unsigned code;
};

// Keys by keysym. The punctuation keys carry the codes of the US and the German layout
// (where the two meet on one keysym, the German code wins: the program is German).
constexpr SymCode kKeysymCodes[] = {
    {XKB_KEY_BackSpace, wk::BACK},
    {XKB_KEY_Tab, wk::TAB},
    {XKB_KEY_ISO_Left_Tab, wk::TAB},
    {XKB_KEY_Clear, wk::CLEAR},
    {XKB_KEY_Return, wk::RETURN},
    {XKB_KEY_Pause, wk::PAUSE},
    {XKB_KEY_Break, wk::CANCEL},
    {XKB_KEY_Scroll_Lock, wk::SCROLL},
    {XKB_KEY_Sys_Req, wk::SNAPSHOT},
    {XKB_KEY_Print, wk::SNAPSHOT},
    {XKB_KEY_Escape, wk::ESCAPE},
    {XKB_KEY_space, wk::SPACE},
    {XKB_KEY_Home, wk::HOME},
    {XKB_KEY_Left, wk::LEFT},
    {XKB_KEY_Up, wk::UP},
    {XKB_KEY_Right, wk::RIGHT},
    {XKB_KEY_Down, wk::DOWN},
    {XKB_KEY_Prior, wk::PRIOR},
    {XKB_KEY_Next, wk::NEXT},
    {XKB_KEY_End, wk::END},
    {XKB_KEY_Begin, wk::CLEAR},
    {XKB_KEY_Select, wk::SELECT},
    {XKB_KEY_Execute, wk::EXECUTE},
    {XKB_KEY_Insert, wk::INSERT},
    {XKB_KEY_Delete, wk::DELETE_},
    {XKB_KEY_Help, wk::HELP},
    {XKB_KEY_Menu, wk::APPS},
    {XKB_KEY_Num_Lock, wk::NUMLOCK},
    // The keypad; which keysym a keypad key gives follows Num Lock.
    {XKB_KEY_KP_Space, wk::SPACE},
    {XKB_KEY_KP_Tab, wk::TAB},
    {XKB_KEY_KP_Enter, wk::RETURN},
    {XKB_KEY_KP_Home, wk::HOME},
    {XKB_KEY_KP_Left, wk::LEFT},
    {XKB_KEY_KP_Up, wk::UP},
    {XKB_KEY_KP_Right, wk::RIGHT},
    {XKB_KEY_KP_Down, wk::DOWN},
    {XKB_KEY_KP_Prior, wk::PRIOR},
    {XKB_KEY_KP_Next, wk::NEXT},
    {XKB_KEY_KP_End, wk::END},
    {XKB_KEY_KP_Begin, wk::CLEAR},
    {XKB_KEY_KP_Insert, wk::INSERT},
    {XKB_KEY_KP_Delete, wk::DELETE_},
    {XKB_KEY_KP_Multiply, wk::MULTIPLY},
    {XKB_KEY_KP_Add, wk::ADD},
    {XKB_KEY_KP_Separator, wk::DECIMAL},  // the decimal key of a German keypad
    {XKB_KEY_KP_Subtract, wk::SUBTRACT},
    {XKB_KEY_KP_Decimal, wk::DECIMAL},
    {XKB_KEY_KP_Divide, wk::DIVIDE},
    // Modifiers. AltGr (level-3 shift) is Ctrl+Alt on a German keyboard.
    {XKB_KEY_Shift_L, wk::SHIFT},
    {XKB_KEY_Shift_R, wk::SHIFT},
    {XKB_KEY_Control_L, wk::CONTROL},
    {XKB_KEY_Control_R, wk::CONTROL},
    {XKB_KEY_Caps_Lock, wk::CAPITAL},
    {XKB_KEY_Shift_Lock, wk::CAPITAL},
    {XKB_KEY_Meta_L, wk::MENU},
    {XKB_KEY_Meta_R, wk::MENU},
    {XKB_KEY_Alt_L, wk::MENU},
    {XKB_KEY_Alt_R, wk::MENU},
    {XKB_KEY_ISO_Level3_Shift, wk::MENU},
    {XKB_KEY_Super_L, wk::LWIN},
    {XKB_KEY_Super_R, wk::RWIN},
    // Punctuation, US layout.
    {XKB_KEY_semicolon, wk::OEM_1},
    {XKB_KEY_equal, wk::OEM_PLUS},
    {XKB_KEY_comma, wk::OEM_COMMA},
    {XKB_KEY_minus, wk::OEM_MINUS},
    {XKB_KEY_period, wk::OEM_PERIOD},
    {XKB_KEY_slash, wk::OEM_2},
    {XKB_KEY_grave, wk::OEM_3},
    {XKB_KEY_bracketleft, wk::OEM_4},
    {XKB_KEY_backslash, wk::OEM_5},
    {XKB_KEY_bracketright, wk::OEM_6},
    {XKB_KEY_apostrophe, wk::OEM_7},
    {XKB_KEY_less, wk::OEM_102},
    // German layout.
    {XKB_KEY_udiaeresis, wk::OEM_1},
    {XKB_KEY_plus, wk::OEM_PLUS},
    {XKB_KEY_numbersign, wk::OEM_2},
    {XKB_KEY_odiaeresis, wk::OEM_3},
    {XKB_KEY_ssharp, wk::OEM_4},
    {XKB_KEY_dead_circumflex, wk::OEM_5},
    {XKB_KEY_asciicircum, wk::OEM_5},
    {XKB_KEY_dead_acute, wk::OEM_6},
    {XKB_KEY_acute, wk::OEM_6},
    {XKB_KEY_adiaeresis, wk::OEM_7},
    // Media and browser keys.
    {XKB_KEY_XF86Back, wk::BROWSER_BACK},
    {XKB_KEY_XF86Forward, wk::BROWSER_FORWARD},
    {XKB_KEY_XF86Reload, wk::BROWSER_REFRESH},
    {XKB_KEY_XF86Stop, wk::BROWSER_STOP},
    {XKB_KEY_XF86Search, wk::BROWSER_SEARCH},
    {XKB_KEY_XF86Favorites, wk::BROWSER_FAVORITES},
    {XKB_KEY_XF86HomePage, wk::BROWSER_HOME},
    {XKB_KEY_XF86AudioMute, wk::VOLUME_MUTE},
    {XKB_KEY_XF86AudioLowerVolume, wk::VOLUME_DOWN},
    {XKB_KEY_XF86AudioRaiseVolume, wk::VOLUME_UP},
    {XKB_KEY_XF86AudioNext, wk::MEDIA_NEXT_TRACK},
    {XKB_KEY_XF86AudioPrev, wk::MEDIA_PREV_TRACK},
    {XKB_KEY_XF86AudioStop, wk::MEDIA_STOP},
    {XKB_KEY_XF86AudioPlay, wk::MEDIA_PLAY_PAUSE},
    {XKB_KEY_XF86Mail, wk::LAUNCH_MAIL},
    {XKB_KEY_XF86AudioMedia, wk::LAUNCH_MEDIA_SELECT},
    {XKB_KEY_XF86MyComputer, wk::LAUNCH_APP1},
    {XKB_KEY_XF86Calculator, wk::LAUNCH_APP2},
    {XKB_KEY_XF86Sleep, wk::SLEEP},
};

unsigned CodeForKeysym(uint32_t sym) {
    if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) return sym - XKB_KEY_a + 'A';
    if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) return sym;
    if (sym >= XKB_KEY_0 && sym <= XKB_KEY_9) return sym;
    if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) return wk::NUMPAD0 + (sym - XKB_KEY_KP_0);
    if (sym >= XKB_KEY_F1 && sym <= XKB_KEY_F24) return wk::F1 + (sym - XKB_KEY_F1);
    for (const SymCode& entry : kKeysymCodes)
        if (entry.keysym == sym) return entry.code;
    return 0;
}

bool IsKeypadKeysym(uint32_t sym) { return sym >= XKB_KEY_KP_Space && sym <= XKB_KEY_KP_Equal; }

// Printing characters other than letters and digits: a shifted one says nothing about
// which key gave it.
bool IsPunctuation(uint32_t sym) {
    if (sym >= 0xA0 && sym <= 0xFF) return true;
    if (sym < 0x21 || sym > 0x7E) return false;
    return !(sym >= '0' && sym <= '9') && !(sym >= 'A' && sym <= 'Z') &&
           !(sym >= 'a' && sym <= 'z');
}

// X key codes are evdev codes + 8. The digit row gives the digits' codes on every layout.
constexpr uint32_t kDigitRowFirst = 10, kDigitRowLast = 19;

// The codes of the main block's keys by their position on a US keyboard: for layouts whose
// keysyms say nothing (other scripts, unknown punctuation).
unsigned CodeForPosition(uint32_t scanCode) {
    static constexpr struct {
        uint32_t first;
        const char* codes;
    } kRows[] = {
        {24, "QWERTYUIOP"},
        {38, "ASDFGHJKL"},
        {52, "ZXCVBNM"},
    };
    for (const auto& row : kRows) {
        const uint32_t length = static_cast<uint32_t>(std::char_traits<char>::length(row.codes));
        if (scanCode >= row.first && scanCode < row.first + length)
            return static_cast<unsigned char>(row.codes[scanCode - row.first]);
    }
    switch (scanCode) {
        case 20: return wk::OEM_MINUS;
        case 21: return wk::OEM_PLUS;
        case 34: return wk::OEM_4;
        case 35: return wk::OEM_6;
        case 47: return wk::OEM_1;
        case 48: return wk::OEM_7;
        case 49: return wk::OEM_3;
        case 51: return wk::OEM_5;
        case 59: return wk::OEM_COMMA;
        case 60: return wk::OEM_PERIOD;
        case 61: return wk::OEM_2;
        case 94: return wk::OEM_102;
        default: return 0;
    }
}

// The keysym a Qt key stands for, for presses that come without keysyms.
uint32_t KeysymForQtKey(int key, bool keypad) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return XKB_KEY_KP_0 + (key - Qt::Key_0);
        switch (key) {
            case Qt::Key_Asterisk: return XKB_KEY_KP_Multiply;
            case Qt::Key_Plus: return XKB_KEY_KP_Add;
            case Qt::Key_Minus: return XKB_KEY_KP_Subtract;
            case Qt::Key_Period: return XKB_KEY_KP_Decimal;
            case Qt::Key_Comma: return XKB_KEY_KP_Separator;
            case Qt::Key_Slash: return XKB_KEY_KP_Divide;
            case Qt::Key_Enter: return XKB_KEY_KP_Enter;
            case Qt::Key_Clear: return XKB_KEY_KP_Begin;
            default: break;
        }
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return XKB_KEY_a + (key - Qt::Key_A);
    if (key >= 0x20 && key <= 0x7E) return static_cast<uint32_t>(key);
    // Latin-1 letters: Qt names them by their capital, the keysym of the key is the small one.
    if (key >= 0xC0 && key <= 0xDE && key != 0xD7) return static_cast<uint32_t>(key) + 0x20;
    if (key >= 0xA0 && key <= 0xFF) return static_cast<uint32_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return XKB_KEY_F1 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Escape: return XKB_KEY_Escape;
        case Qt::Key_Tab: return XKB_KEY_Tab;
        case Qt::Key_Backtab: return XKB_KEY_ISO_Left_Tab;
        case Qt::Key_Backspace: return XKB_KEY_BackSpace;
        case Qt::Key_Return: return XKB_KEY_Return;
        case Qt::Key_Enter: return XKB_KEY_KP_Enter;
        case Qt::Key_Insert: return XKB_KEY_Insert;
        case Qt::Key_Delete: return XKB_KEY_Delete;
        case Qt::Key_Pause: return XKB_KEY_Pause;
        case Qt::Key_Print: return XKB_KEY_Print;
        case Qt::Key_SysReq: return XKB_KEY_Sys_Req;
        case Qt::Key_Clear: return XKB_KEY_Clear;
        case Qt::Key_Home: return XKB_KEY_Home;
        case Qt::Key_End: return XKB_KEY_End;
        case Qt::Key_Left: return XKB_KEY_Left;
        case Qt::Key_Up: return XKB_KEY_Up;
        case Qt::Key_Right: return XKB_KEY_Right;
        case Qt::Key_Down: return XKB_KEY_Down;
        case Qt::Key_PageUp: return XKB_KEY_Prior;
        case Qt::Key_PageDown: return XKB_KEY_Next;
        case Qt::Key_Shift: return XKB_KEY_Shift_L;
        case Qt::Key_Control: return XKB_KEY_Control_L;
        case Qt::Key_Alt: return XKB_KEY_Alt_L;
        case Qt::Key_AltGr: return XKB_KEY_ISO_Level3_Shift;
        case Qt::Key_Meta:
        case Qt::Key_Super_L: return XKB_KEY_Super_L;
        case Qt::Key_Super_R: return XKB_KEY_Super_R;
        case Qt::Key_CapsLock: return XKB_KEY_Caps_Lock;
        case Qt::Key_NumLock: return XKB_KEY_Num_Lock;
        case Qt::Key_ScrollLock: return XKB_KEY_Scroll_Lock;
        case Qt::Key_Menu: return XKB_KEY_Menu;
        case Qt::Key_Help: return XKB_KEY_Help;
        default: return 0;
    }
}

unsigned CodeOf(const KeyPress& press) {
    // The keypad by what it produced: Num 5 is VK_NUMPAD5 with Num Lock on and VK_CLEAR
    // with it off, Shift turns Num Lock round for the moment, as on Windows.
    const bool keypad = IsKeypadKeysym(press.keysym) || IsKeypadKeysym(press.baseKeysym) ||
                        (press.modifiers & Qt::KeypadModifier);
    if (keypad) {
        const uint32_t sym = press.keysym ? press.keysym : KeysymForQtKey(press.qtKey, true);
        if (const unsigned code = CodeForKeysym(sym)) return code;
    }
    if (press.scanCode >= kDigitRowFirst && press.scanCode <= kDigitRowLast)
        return press.scanCode == kDigitRowLast ? '0' : '1' + (press.scanCode - kDigitRowFirst);
    if (press.baseKeysym != 0) {
        if (const unsigned code = CodeForKeysym(press.baseKeysym)) return code;
        return CodeForPosition(press.scanCode);
    }
    // Without the keymap: the produced keysym names letters and the keys that print
    // nothing whatever the modifiers; a punctuation character is no guide to its key.
    const uint32_t sym = press.keysym ? press.keysym : KeysymForQtKey(press.qtKey, false);
    if (!IsPunctuation(sym))
        if (const unsigned code = CodeForKeysym(sym)) return code;
    if (const unsigned code = CodeForPosition(press.scanCode)) return code;
    return CodeForKeysym(sym);
}

bool IsAltGr(const KeyPress& press) {
    return press.keysym == XKB_KEY_ISO_Level3_Shift ||
           press.baseKeysym == XKB_KEY_ISO_Level3_Shift || press.qtKey == Qt::Key_AltGr;
}

}  // namespace

VirtualKey MapKey(const KeyPress& press) {
    unsigned code = CodeOf(press);
    if (code == 0) {
        // A press that names no key at all (no code, no keysym, no Qt key) is no key press.
        if (press.scanCode == 0 && press.keysym == 0 &&
            (press.qtKey == 0 || press.qtKey == Qt::Key_unknown))
            return VirtualKey{};
        code = kUnknownKey;
    }
    // Windows sends no key-down for Print Screen; the system takes that key.
    if (code == wk::SNAPSHOT) return VirtualKey{VirtualKey::None, code};
    // Alt without Ctrl makes a system key, as does F10; AltGr counts as Ctrl+Alt.
    const bool altGr = IsAltGr(press);
    const bool ctrl = (press.modifiers & Qt::ControlModifier) || code == wk::CONTROL || altGr;
    const bool alt = (press.modifiers & Qt::AltModifier) || (code == wk::MENU && !altGr);
    if (code == wk::F10 || (alt && !ctrl)) return VirtualKey{VirtualKey::SystemKey, code};
    return VirtualKey{VirtualKey::KeyDown, code};
}

// --- keymaps ---

KeyboardLayout::KeyboardLayout(xkb_context* context, xkb_keymap* keymap)
    : m_context(context), m_keymap(keymap) {}

KeyboardLayout::~KeyboardLayout() {
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

std::unique_ptr<KeyboardLayout> KeyboardLayout::FromNames(const char* layout, const char* variant) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context) return nullptr;
    const xkb_rule_names names{nullptr, "pc105", layout, variant, nullptr};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        xkb_context_unref(context);
        return nullptr;
    }
    return std::unique_ptr<KeyboardLayout>(new KeyboardLayout(context, keymap));
}

std::unique_ptr<KeyboardLayout> KeyboardLayout::FromX11(void* xcbConnection) {
    auto* connection = static_cast<xcb_connection_t*>(xcbConnection);
    if (!connection) return nullptr;
    if (!xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return nullptr;
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0) return nullptr;
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!context) return nullptr;
    xkb_keymap* keymap =
        xkb_x11_keymap_new_from_device(context, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!keymap) {
        xkb_context_unref(context);
        return nullptr;
    }
    return std::unique_ptr<KeyboardLayout>(new KeyboardLayout(context, keymap));
}

bool KeyboardLayout::GroupHolds(uint32_t scanCode, uint32_t group, uint32_t keysym) const {
    const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(m_keymap, scanCode, group);
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        const xkb_keysym_t* syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(m_keymap, scanCode, group, level, &syms);
        for (int i = 0; i < count; ++i)
            if (syms[i] == keysym) return true;
    }
    return false;
}

uint32_t KeyboardLayout::FirstLevel(uint32_t scanCode, uint32_t group) const {
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(m_keymap, scanCode, group, 0, &syms);
    return count > 0 ? syms[0] : 0;
}

uint32_t KeyboardLayout::BaseKeysym(uint32_t scanCode, uint32_t group,
                                    uint32_t producedKeysym) const {
    if (!xkb_keycode_is_legal_ext(scanCode) || !xkb_keymap_key_get_name(m_keymap, scanCode))
        return 0;
    const xkb_layout_index_t groups = xkb_keymap_num_layouts_for_key(m_keymap, scanCode);
    if (groups == 0) return 0;
    if (group >= groups) group = 0;
    if (producedKeysym == 0 || GroupHolds(scanCode, group, producedKeysym))
        return FirstLevel(scanCode, group);
    for (xkb_layout_index_t other = 0; other < groups; ++other)
        if (GroupHolds(scanCode, other, producedKeysym)) return FirstLevel(scanCode, other);
    return 0;
}

// --- the display's keyboard ---

namespace {

std::unique_ptr<KeyboardLayout> LoadDisplayLayout() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? KeyboardLayout::FromX11(x11->connection()) : nullptr;
}

}  // namespace

KeyPress DescribeKeyPress(const QKeyEvent& event) {
    KeyPress press;
    press.qtKey = event.key();
    press.modifiers = event.modifiers();
    press.scanCode = event.nativeScanCode();
    press.keysym = event.nativeVirtualKey();
    static std::unique_ptr<KeyboardLayout> layout = LoadDisplayLayout();
    if (!layout || press.scanCode == 0) return press;
    // The X event's state carries the layout group in bits 13 and 14.
    const uint32_t group = (event.nativeModifiers() >> 13) & 3;
    press.baseKeysym = layout->BaseKeysym(press.scanCode, group, press.keysym);
    if (press.baseKeysym == 0 && press.keysym != 0) {
        // No layout of the key gives what it produced: the layouts were changed.
        if (auto fresh = LoadDisplayLayout()) layout = std::move(fresh);
        press.baseKeysym = layout->BaseKeysym(press.scanCode, group, press.keysym);
    }
    return press;
}

}  // namespace orx
