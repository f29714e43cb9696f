#pragma once
// Key presses as the viewer's key handling expects them: the Windows virtual-key code
// of the physical key, whatever the keyboard layout and the modifiers, and whether the
// key goes the system-key way (F10, Alt combinations) instead of to the key-down handler.
#include <QtCore/qnamespace.h>

#include <cstdint>
#include <memory>

class QKeyEvent;
struct xkb_context;
struct xkb_keymap;

namespace orx {

// What the window system tells about one key press.
struct KeyPress {
    int qtKey = 0;                      // QKeyEvent::key()
    Qt::KeyboardModifiers modifiers{};  // held before the press
    uint32_t scanCode = 0;              // X key code (evdev code + 8); 0 when unknown
    uint32_t keysym = 0;                // keysym the press produced; 0 when unknown
    uint32_t baseKeysym = 0;            // first-level keysym of the key in the layout in use
};

struct VirtualKey {
    enum Route {
        None,       // no key-down message at all
        KeyDown,    // to the key-down handler
        SystemKey,  // a system key: the window's default handling only
    };
    Route route = None;
    unsigned code = 0;  // Windows virtual-key code
    bool operator==(const VirtualKey&) const = default;
};

// Code of a key with no virtual-key code of its own; it still arrives as a key-down.
constexpr unsigned kUnknownKey = 0xFF;

VirtualKey MapKey(const KeyPress& press);

// The keymap of a keyboard, for the first-level keysym of a key.
class KeyboardLayout {
public:
    // A keymap compiled from layout names, e.g. ("de", "") or ("us", "intl").
    static std::unique_ptr<KeyboardLayout> FromNames(const char* layout, const char* variant);
    // The keymap of the X display's core keyboard; null without one.
    static std::unique_ptr<KeyboardLayout> FromX11(void* xcbConnection);
    ~KeyboardLayout();
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    // The keysym of the key's first level in the layout (group) of the press: the given
    // group when its levels hold the produced keysym, else the first group that does.
    // 0 when the key is unknown, or when no group holds the produced keysym.
    uint32_t BaseKeysym(uint32_t scanCode, uint32_t group, uint32_t producedKeysym) const;

private:
    KeyboardLayout(xkb_context* context, xkb_keymap* keymap);
    bool GroupHolds(uint32_t scanCode, uint32_t group, uint32_t keysym) const;
    uint32_t FirstLevel(uint32_t scanCode, uint32_t group) const;

    xkb_context* m_context;
    xkb_keymap* m_keymap;
};

// The press as the event describes it, with the first-level keysym taken from the
// display's keymap (read once, and again when the layouts have changed).
KeyPress DescribeKeyPress(const QKeyEvent& event);

}  // namespace orx
