// Plays key strokes to the viewer as if typed, and pumps the messages they cause.
#pragma once

#include <vector>

#include "host/host_window.h"
#include "host/key_script.h"

// Dispatches messages until the queue is empty, nothing needs painting and nothing more arrives
// for a short quiet spell; gives up after bound_ms. Returns whether the quiet was reached.
bool pump_until_quiet(int bound_ms);

// Each stroke: its modifiers set in the thread's keyboard state, its key-down offered to the
// host's own keys (Alt+Right, Alt+Left) and otherwise sent to the window with the focus, then the
// messages it posts (tab switches, Escape to the host) pumped. Stops early if the window closes.
void play_keys(Host *host, const std::vector<KeyStroke> &keys);
