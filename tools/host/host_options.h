// The host program's command line: the files to view and the headless mode's options.
#pragma once

#include <string>
#include <vector>

#include "host/key_script.h"

enum { DEFAULT_CLIENT_WIDTH = 960, DEFAULT_CLIENT_HEIGHT = 560 };

// The program's exit status.
enum HostExit {
    EXIT_SHOWN = 0,                 // the module showed at least one of the files
    EXIT_NOTHING_SHOWN = 1,         // every file was refused
    EXIT_USAGE = 2,                 // a bad command line, or no module beside the program
    EXIT_CLOSED_BEFORE_CAPTURE = 3, // headless: the keys closed the window (Escape)
    EXIT_CAPTURE_FAILED = 4,        // headless: the picture could not be taken or written
};

struct HostOptions {
    std::vector<std::string> files; // in command-line order; Alt+Right and Alt+Left step through
    std::string screenshot;         // PNG to write, headless; empty for an interactive window
    std::vector<KeyStroke> keys;    // played to the viewer once the first file is shown
    int client_width = DEFAULT_CLIENT_WIDTH;
    int client_height = DEFAULT_CLIENT_HEIGHT;
};

extern const char *const HOST_USAGE;

// Reads the arguments after the program name: files, "--screenshot OUT.png", "--keys SCRIPT" and
// "--size WxH" (the client area), in any order; after "--" every argument is a file. Returns false
// with a message in *error for an unknown option, a missing or malformed value, or no file.
bool parse_host_options(const std::vector<std::string> &args, HostOptions *options,
                        std::string *error);

// Reads "WxH" with both sides from 1 to 10000.
bool parse_size(const std::string &text, int *width, int *height);
