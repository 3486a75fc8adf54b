// Reads the host program's command line.
#include "host/host_options.h"

#include <cstdlib>

const char *const HOST_USAGE =
    "usage: tavrin_host [--size WxH] [--screenshot OUT.png] [--keys \"KEYS\"] FILE.pg...\n"
    "  Opens each FILE in turn in tavrin.wlx64 (Alt+Right, Alt+Left: next, previous file).\n"
    "  --size WxH         client area in pixels (default 960x560)\n"
    "  --screenshot OUT   headless: wait until the viewer has painted, play KEYS, write a PNG\n"
    "                     of the window's client area to OUT and exit\n"
    "  --keys \"KEYS\"      keys played to the viewer, e.g. \"Down Shift+Right ctrl+c 4\"\n"
    "Exit status: 0 a file was shown, 1 every file was refused, 2 bad usage or no module,\n"
    "  3 the keys closed the viewer before the screenshot, 4 the screenshot failed.\n";

static bool parse_dimension(const std::string &text, int *value) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    *value = std::atoi(text.c_str());
    return *value >= 1 && *value <= 10000;
}

bool parse_size(const std::string &text, int *width, int *height) {
    size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!parse_dimension(text.substr(0, x), &w) || !parse_dimension(text.substr(x + 1), &h))
        return false;
    *width = w;
    *height = h;
    return true;
}

bool parse_host_options(const std::vector<std::string> &args, HostOptions *options,
                        std::string *error) {
    *options = HostOptions{};
    bool files_only = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (files_only || arg.empty() || arg[0] != '-' || arg == "-") {
            options->files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            files_only = true;
            continue;
        }
        if (arg != "--screenshot" && arg != "--keys" && arg != "--size") {
            *error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = arg + " needs a value";
            return false;
        }
        const std::string &value = args[++i];
        if (arg == "--screenshot") {
            if (value.empty()) {
                *error = "--screenshot needs a file name";
                return false;
            }
            options->screenshot = value;
        } else if (arg == "--keys") {
            if (!parse_key_script(value, &options->keys, error)) return false;
        } else if (!parse_size(value, &options->client_width, &options->client_height)) {
            *error = "--size takes WxH, e.g. 960x560, not \"" + value + "\"";
            return false;
        }
    }
    if (options->files.empty()) {
        *error = "no file to view";
        return false;
    }
    return true;
}
