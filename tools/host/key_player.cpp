// Synthesised key-downs for the headless mode: keyboard state for the modifiers, then the key.
#include "host/key_player.h"

enum { QUIET_MS = 100, KEY_BOUND_MS = 5000 };

bool pump_until_quiet(int bound_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(bound_ms)) return false;
        // Returns at once when something arrives, so the spell only passes while all is still.
        DWORD wait = static_cast<DWORD>(bound_ms) - elapsed;
        if (wait > QUIET_MS) wait = QUIET_MS;
        bool still =
            HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0 &&
            MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_TIMEOUT;
        if (still && wait == QUIET_MS) return true;
    }
}

static void set_modifiers(bool ctrl, bool shift, bool alt) {
    BYTE state[256];
    GetKeyboardState(state);
    const BYTE down = 0x80;
    state[VK_CONTROL] = state[VK_LCONTROL] = ctrl ? down : 0;
    state[VK_SHIFT] = state[VK_LSHIFT] = shift ? down : 0;
    state[VK_MENU] = state[VK_LMENU] = alt ? down : 0;
    SetKeyboardState(state);
}

static void play_key(Host *host, const KeyStroke &stroke) {
    HWND target = GetFocus();
    if (!target) target = host->window;
    set_modifiers(stroke.ctrl, stroke.shift, stroke.alt);
    MSG msg = {};
    msg.hwnd = target;
    // With Alt held the system reports a key as a system key, with Alt in its context bit.
    msg.message = stroke.alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = static_cast<WPARAM>(stroke.key);
    UINT scan = MapVirtualKeyW(static_cast<UINT>(stroke.key), MAPVK_VK_TO_VSC);
    msg.lParam = 1 | (static_cast<LPARAM>(scan) << 16) | (stroke.alt ? (1 << 29) : 0);
    if (!host_take_message(host, &msg)) SendMessageW(target, msg.message, msg.wParam, msg.lParam);
    set_modifiers(false, false, false);
}

void play_keys(Host *host, const std::vector<KeyStroke> &keys) {
    for (const KeyStroke &stroke : keys) {
        if (!host->window) return;
        play_key(host, stroke);
        pump_until_quiet(KEY_BOUND_MS);
    }
}
