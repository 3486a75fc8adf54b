// Turns a key script into virtual-key strokes; the codes are Windows' own, written out so that
// the parser builds and is tested without the platform's headers.
#include "host/key_script.h"

#include <cctype>
#include <sstream>

namespace {

struct NamedKey {
    const char *name;
    int key;
};

const NamedKey kNamedKeys[] = {
    {"up", 0x26},     {"down", 0x28},   {"left", 0x25},   {"right", 0x27},
    {"home", 0x24},   {"end", 0x23},    {"pageup", 0x21}, {"pagedown", 0x22},
    {"escape", 0x1B}, {"insert", 0x2D}, {"tab", 0x09},
};

std::string lower(const std::string &text) {
    std::string out = text;
    for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The virtual key of a key name, or 0.
int key_of(const std::string &name) {
    if (name.size() == 1) {
        unsigned char c = static_cast<unsigned char>(name[0]);
        if (std::isdigit(c)) return c;
        if (std::isalpha(c)) return std::toupper(c);
        return 0;
    }
    for (const NamedKey &named : kNamedKeys)
        if (name == named.name) return named.key;
    return 0;
}

// Reads one stroke such as "ctrl+shift+end".
bool parse_stroke(const std::string &word, KeyStroke *stroke) {
    *stroke = KeyStroke{0, false, false, false};
    std::string rest = lower(word);
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos) break;
        std::string modifier = rest.substr(0, plus);
        if (modifier == "ctrl")
            stroke->ctrl = true;
        else if (modifier == "shift")
            stroke->shift = true;
        else if (modifier == "alt")
            stroke->alt = true;
        else
            return false;
        rest = rest.substr(plus + 1);
    }
    stroke->key = key_of(rest);
    return stroke->key != 0;
}

} // namespace

bool parse_key_script(const std::string &script, std::vector<KeyStroke> *strokes,
                      std::string *error) {
    strokes->clear();
    std::istringstream words(script);
    std::string word;
    while (words >> word) {
        KeyStroke stroke;
        if (!parse_stroke(word, &stroke)) {
            strokes->clear();
            *error = "unknown key \"" + word + "\" in the key script";
            return false;
        }
        strokes->push_back(stroke);
    }
    return true;
}
