// Whether a key is held, as the keyboard state of the message being handled says.
#pragma once

#include <windows.h>

inline bool key_held(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}
