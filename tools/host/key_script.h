// Key scripts for the headless mode: "Down Down Shift+Right ctrl+c" as a list of key strokes.
#pragma once

#include <string>
#include <vector>

// One key press: a Windows virtual-key code and the modifiers held while it goes down.
struct KeyStroke {
    int key;
    bool ctrl, shift, alt;
};

// Reads a script of strokes separated by blanks. A stroke is any number of the modifiers
// "Shift+", "Ctrl+" and "Alt+" followed by a key name: a digit, a letter, or one of Up Down Left
// Right Home End PageUp PageDown Escape Insert Tab; all names ignore case. On a name it does not
// know it returns false, leaves *strokes empty and says which stroke in *error.
bool parse_key_script(const std::string &script, std::vector<KeyStroke> *strokes,
                      std::string *error);
