// Key codes as the platform's virtual keys number them, for the portable rules that decide what a
// key does (grid moves, caret moves, the viewer's own keys). Only the Windows side reads keys; the
// rules below it take these numbers.
#pragma once

enum {
    KEY_BACK = 0x08,
    KEY_TAB = 0x09,
    KEY_RETURN = 0x0D,
    KEY_ESCAPE = 0x1B,
    KEY_PRIOR = 0x21,
    KEY_NEXT = 0x22,
    KEY_END = 0x23,
    KEY_HOME = 0x24,
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_INSERT = 0x2D,
    KEY_1 = 0x31,
    KEY_4 = 0x34,
    KEY_A = 0x41,
    KEY_C = 0x43,
    KEY_F = 0x46,
    KEY_G = 0x47,
    KEY_I = 0x49,
    KEY_APPS = 0x5D, // the context-menu key
    KEY_F3 = 0x72,
    KEY_F7 = 0x76,
    KEY_F10 = 0x79,
};

// Modifier keys held with a key, as bits.
enum { KEYMOD_CTRL = 1, KEYMOD_SHIFT = 2, KEYMOD_ALT = 4 };
