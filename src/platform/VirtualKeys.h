#pragma once
// Windows virtual-key codes: the codes the key table of the viewer is written in and
// the codes the front ends deliver, whatever the toolkit.

namespace orx::vk {

constexpr unsigned CANCEL = 0x03, BACK = 0x08, TAB = 0x09, CLEAR = 0x0C, RETURN = 0x0D,
                   SHIFT = 0x10, CONTROL = 0x11, MENU = 0x12, PAUSE = 0x13, CAPITAL = 0x14,
                   ESCAPE = 0x1B;
constexpr unsigned SPACE = 0x20, PRIOR = 0x21, NEXT = 0x22, END = 0x23, HOME = 0x24, LEFT = 0x25,
                   UP = 0x26, RIGHT = 0x27, DOWN = 0x28, SELECT = 0x29, EXECUTE = 0x2B,
                   SNAPSHOT = 0x2C, INSERT = 0x2D, DELETE_ = 0x2E, HELP = 0x2F;
constexpr unsigned LWIN = 0x5B, RWIN = 0x5C, APPS = 0x5D, SLEEP = 0x5F;
constexpr unsigned NUMPAD0 = 0x60, NUMPAD1 = 0x61, NUMPAD2 = 0x62, NUMPAD3 = 0x63, NUMPAD4 = 0x64,
                   NUMPAD5 = 0x65, NUMPAD6 = 0x66, NUMPAD7 = 0x67, NUMPAD8 = 0x68, NUMPAD9 = 0x69,
                   MULTIPLY = 0x6A, ADD = 0x6B, SUBTRACT = 0x6D, DECIMAL = 0x6E, DIVIDE = 0x6F;
// F1 to F24 follow one another from F1.
constexpr unsigned F1 = 0x70, F2 = 0x71, F3 = 0x72, F4 = 0x73, F10 = 0x79;
constexpr unsigned NUMLOCK = 0x90, SCROLL = 0x91;
constexpr unsigned BROWSER_BACK = 0xA6, BROWSER_FORWARD = 0xA7, BROWSER_REFRESH = 0xA8,
                   BROWSER_STOP = 0xA9, BROWSER_SEARCH = 0xAA, BROWSER_FAVORITES = 0xAB,
                   BROWSER_HOME = 0xAC, VOLUME_MUTE = 0xAD, VOLUME_DOWN = 0xAE, VOLUME_UP = 0xAF,
                   MEDIA_NEXT_TRACK = 0xB0, MEDIA_PREV_TRACK = 0xB1, MEDIA_STOP = 0xB2,
                   MEDIA_PLAY_PAUSE = 0xB3, LAUNCH_MAIL = 0xB4, LAUNCH_MEDIA_SELECT = 0xB5,
                   LAUNCH_APP1 = 0xB6, LAUNCH_APP2 = 0xB7;
// Punctuation keys, by the characters of the US layout.
constexpr unsigned OEM_1 = 0xBA;       // ;
constexpr unsigned OEM_PLUS = 0xBB;    // =
constexpr unsigned OEM_COMMA = 0xBC;   // ,
constexpr unsigned OEM_MINUS = 0xBD;   // -
constexpr unsigned OEM_PERIOD = 0xBE;  // .
constexpr unsigned OEM_2 = 0xBF;       // /
constexpr unsigned OEM_3 = 0xC0;       // `
constexpr unsigned OEM_4 = 0xDB;       // [
constexpr unsigned OEM_5 = 0xDC;       // backslash
constexpr unsigned OEM_6 = 0xDD;       // ]
constexpr unsigned OEM_7 = 0xDE;       // '
constexpr unsigned OEM_102 = 0xE2;     // the extra key beside the left Shift

}  // namespace orx::vk
