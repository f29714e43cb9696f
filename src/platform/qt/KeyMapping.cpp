#include "platform/qt/KeyMapping.h"

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <string>

#include "platform/VirtualKeys.h"

namespace orx {

namespace {

struct SymCode {
    uint32_t keysym;
    unsigned code;
};

// Keys by keysym. The punctuation keys carry the codes of the US and the German layout
// (where the two meet on one keysym, the German code wins: the program is German).
constexpr SymCode kKeysymCodes[] = {
    {XKB_KEY_BackSpace, vk::BACK},
    {XKB_KEY_Tab, vk::TAB},
    {XKB_KEY_ISO_Left_Tab, vk::TAB},
    {XKB_KEY_Clear, vk::CLEAR},
    {XKB_KEY_Return, vk::RETURN},
    {XKB_KEY_Pause, vk::PAUSE},
    {XKB_KEY_Break, vk::CANCEL},
    {XKB_KEY_Scroll_Lock, vk::SCROLL},
    {XKB_KEY_Sys_Req, vk::SNAPSHOT},
    {XKB_KEY_Print, vk::SNAPSHOT},
    {XKB_KEY_Escape, vk::ESCAPE},
    {XKB_KEY_space, vk::SPACE},
    {XKB_KEY_Home, vk::HOME},
    {XKB_KEY_Left, vk::LEFT},
    {XKB_KEY_Up, vk::UP},
    {XKB_KEY_Right, vk::RIGHT},
    {XKB_KEY_Down, vk::DOWN},
    {XKB_KEY_Prior, vk::PRIOR},
    {XKB_KEY_Next, vk::NEXT},
    {XKB_KEY_End, vk::END},
    {XKB_KEY_Begin, vk::CLEAR},
    {XKB_KEY_Select, vk::SELECT},
    {XKB_KEY_Execute, vk::EXECUTE},
    {XKB_KEY_Insert, vk::INSERT},
    {XKB_KEY_Delete, vk::DELETE_},
    {XKB_KEY_Help, vk::HELP},
    {XKB_KEY_Menu, vk::APPS},
    {XKB_KEY_Num_Lock, vk::NUMLOCK},
    // The keypad; which keysym a keypad key gives follows Num Lock.
    {XKB_KEY_KP_Space, vk::SPACE},
    {XKB_KEY_KP_Tab, vk::TAB},
    {XKB_KEY_KP_Enter, vk::RETURN},
    {XKB_KEY_KP_Home, vk::HOME},
    {XKB_KEY_KP_Left, vk::LEFT},
    {XKB_KEY_KP_Up, vk::UP},
    {XKB_KEY_KP_Right, vk::RIGHT},
    {XKB_KEY_KP_Down, vk::DOWN},
    {XKB_KEY_KP_Prior, vk::PRIOR},
    {XKB_KEY_KP_Next, vk::NEXT},
    {XKB_KEY_KP_End, vk::END},
    {XKB_KEY_KP_Begin, vk::CLEAR},
    {XKB_KEY_KP_Insert, vk::INSERT},
    {XKB_KEY_KP_Delete, vk::DELETE_},
    {XKB_KEY_KP_Multiply, vk::MULTIPLY},
    {XKB_KEY_KP_Add, vk::ADD},
    {XKB_KEY_KP_Separator, vk::DECIMAL},  // the decimal key of a German keypad
    {XKB_KEY_KP_Subtract, vk::SUBTRACT},
    {XKB_KEY_KP_Decimal, vk::DECIMAL},
    {XKB_KEY_KP_Divide, vk::DIVIDE},
    // Modifiers. AltGr (level-3 shift) is Ctrl+Alt on a German keyboard.
    {XKB_KEY_Shift_L, vk::SHIFT},
    {XKB_KEY_Shift_R, vk::SHIFT},
    {XKB_KEY_Control_L, vk::CONTROL},
    {XKB_KEY_Control_R, vk::CONTROL},
    {XKB_KEY_Caps_Lock, vk::CAPITAL},
    {XKB_KEY_Shift_Lock, vk::CAPITAL},
    {XKB_KEY_Meta_L, vk::MENU},
    {XKB_KEY_Meta_R, vk::MENU},
    {XKB_KEY_Alt_L, vk::MENU},
    {XKB_KEY_Alt_R, vk::MENU},
    {XKB_KEY_ISO_Level3_Shift, vk::MENU},
    {XKB_KEY_Super_L, vk::LWIN},
    {XKB_KEY_Super_R, vk::RWIN},
    // Punctuation, US layout.
    {XKB_KEY_semicolon, vk::OEM_1},
    {XKB_KEY_equal, vk::OEM_PLUS},
    {XKB_KEY_comma, vk::OEM_COMMA},
    {XKB_KEY_minus, vk::OEM_MINUS},
    {XKB_KEY_period, vk::OEM_PERIOD},
    {XKB_KEY_slash, vk::OEM_2},
    {XKB_KEY_grave, vk::OEM_3},
    {XKB_KEY_bracketleft, vk::OEM_4},
    {XKB_KEY_backslash, vk::OEM_5},
    {XKB_KEY_bracketright, vk::OEM_6},
    {XKB_KEY_apostrophe, vk::OEM_7},
    {XKB_KEY_less, vk::OEM_102},
    // German layout.
    {XKB_KEY_udiaeresis, vk::OEM_1},
    {XKB_KEY_plus, vk::OEM_PLUS},
    {XKB_KEY_numbersign, vk::OEM_2},
    {XKB_KEY_odiaeresis, vk::OEM_3},
    {XKB_KEY_ssharp, vk::OEM_4},
    {XKB_KEY_dead_circumflex, vk::OEM_5},
    {XKB_KEY_asciicircum, vk::OEM_5},
    {XKB_KEY_dead_acute, vk::OEM_6},
    {XKB_KEY_acute, vk::OEM_6},
    {XKB_KEY_adiaeresis, vk::OEM_7},
    // Media and browser keys.
    {XKB_KEY_XF86Back, vk::BROWSER_BACK},
    {XKB_KEY_XF86Forward, vk::BROWSER_FORWARD},
    {XKB_KEY_XF86Reload, vk::BROWSER_REFRESH},
    {XKB_KEY_XF86Stop, vk::BROWSER_STOP},
    {XKB_KEY_XF86Search, vk::BROWSER_SEARCH},
    {XKB_KEY_XF86Favorites, vk::BROWSER_FAVORITES},
    {XKB_KEY_XF86HomePage, vk::BROWSER_HOME},
    {XKB_KEY_XF86AudioMute, vk::VOLUME_MUTE},
    {XKB_KEY_XF86AudioLowerVolume, vk::VOLUME_DOWN},
    {XKB_KEY_XF86AudioRaiseVolume, vk::VOLUME_UP},
    {XKB_KEY_XF86AudioNext, vk::MEDIA_NEXT_TRACK},
    {XKB_KEY_XF86AudioPrev, vk::MEDIA_PREV_TRACK},
    {XKB_KEY_XF86AudioStop, vk::MEDIA_STOP},
    {XKB_KEY_XF86AudioPlay, vk::MEDIA_PLAY_PAUSE},
    {XKB_KEY_XF86Mail, vk::LAUNCH_MAIL},
    {XKB_KEY_XF86AudioMedia, vk::LAUNCH_MEDIA_SELECT},
    {XKB_KEY_XF86MyComputer, vk::LAUNCH_APP1},
    {XKB_KEY_XF86Calculator, vk::LAUNCH_APP2},
    {XKB_KEY_XF86Sleep, vk::SLEEP},
};

unsigned CodeForKeysym(uint32_t sym) {
    if (sym >= XKB_KEY_a && sym <= XKB_KEY_z) return sym - XKB_KEY_a + 'A';
    if (sym >= XKB_KEY_A && sym <= XKB_KEY_Z) return sym;
    if (sym >= XKB_KEY_0 && sym <= XKB_KEY_9) return sym;
    if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) return vk::NUMPAD0 + (sym - XKB_KEY_KP_0);
    if (sym >= XKB_KEY_F1 && sym <= XKB_KEY_F24) return vk::F1 + (sym - XKB_KEY_F1);
    for (const SymCode& entry : kKeysymCodes)
        if (entry.keysym == sym) return entry.code;
    return 0;
}

bool IsKeypadKeysym(uint32_t sym) { return sym >= XKB_KEY_KP_Space && sym <= XKB_KEY_KP_Equal; }

bool IsKeypadNavigation(uint32_t sym) { return sym >= XKB_KEY_KP_Home && sym <= XKB_KEY_KP_Delete; }

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
        case 20: return vk::OEM_MINUS;
        case 21: return vk::OEM_PLUS;
        case 34: return vk::OEM_4;
        case 35: return vk::OEM_6;
        case 47: return vk::OEM_1;
        case 48: return vk::OEM_7;
        case 49: return vk::OEM_3;
        case 51: return vk::OEM_5;
        case 59: return vk::OEM_COMMA;
        case 60: return vk::OEM_PERIOD;
        case 61: return vk::OEM_2;
        case 94: return vk::OEM_102;
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

// The navigation code of a keypad key pressed with Shift. Windows gives the navigation
// keys then whatever Num Lock says (with it on, Shift turns it off for the moment; with
// it off, Shift leaves the keys as they are). X11 keymaps differ: some give digits with
// Shift and Num Lock off, some a third level with Num Lock on. So the key's own first
// level decides, or the digit it gave where the keymap is unknown. 0: no such key.
unsigned ShiftedKeypadCode(const KeyPress& press) {
    if (IsKeypadNavigation(press.baseKeysym)) return CodeForKeysym(press.baseKeysym);
    const uint32_t sym = press.keysym ? press.keysym : KeysymForQtKey(press.qtKey, true);
    static constexpr unsigned kByDigit[] = {vk::INSERT, vk::END,   vk::DOWN, vk::NEXT, vk::LEFT,
                                            vk::CLEAR,  vk::RIGHT, vk::HOME, vk::UP,   vk::PRIOR};
    if (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) return kByDigit[sym - XKB_KEY_KP_0];
    if (sym == XKB_KEY_KP_Decimal || sym == XKB_KEY_KP_Separator) return vk::DELETE_;
    if (IsKeypadNavigation(sym)) return CodeForKeysym(sym);
    return 0;
}

unsigned CodeOf(const KeyPress& press) {
    // The keypad by what it produced: Num 5 is VK_NUMPAD5 with Num Lock on and VK_CLEAR
    // with it off; with Shift it is VK_CLEAR either way, as on Windows.
    const bool keypad = IsKeypadKeysym(press.keysym) || IsKeypadKeysym(press.baseKeysym) ||
                        (press.modifiers & Qt::KeypadModifier);
    if (keypad && (press.modifiers & Qt::ShiftModifier))
        if (const unsigned code = ShiftedKeypadCode(press)) return code;
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
    if (code == vk::SNAPSHOT) return VirtualKey{VirtualKey::None, code};
    // Alt without Ctrl makes a system key, as does F10; AltGr counts as Ctrl+Alt.
    const bool altGr = IsAltGr(press);
    const bool ctrl = (press.modifiers & Qt::ControlModifier) || code == vk::CONTROL || altGr;
    const bool alt = (press.modifiers & Qt::AltModifier) || (code == vk::MENU && !altGr);
    if (code == vk::F10 || (alt && !ctrl)) return VirtualKey{VirtualKey::SystemKey, code};
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
