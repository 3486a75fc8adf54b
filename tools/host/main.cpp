// tavrin_host: plays the file manager's viewer window for tavrin.wlx64, interactively or headless.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/host_options.h"
#include "host/host_window.h"
#include "host/key_player.h"
#include "host/text_convert.h"
#include "host/window_capture.h"

enum { DETECT_SIZE = 1024, FIRST_PAINT_BOUND_MS = 10000 };

static std::string detect_string(const ListerModule &module) {
    char detect[DETECT_SIZE] = {};
    module.ListGetDetectString(detect, DETECT_SIZE);
    return detect;
}

static int run_interactive(Host *host, const HostOptions &options) {
    play_keys(host, options.keys);
    MSG msg;
    while (host->window && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (host_take_message(host, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return host->shown_any ? EXIT_SHOWN : EXIT_NOTHING_SHOWN;
}

static int run_headless(Host *host, const HostOptions &options) {
    if (!pump_until_quiet(FIRST_PAINT_BOUND_MS))
        std::fprintf(stderr, "tavrin_host: the window did not settle; capturing it as it is\n");
    play_keys(host, options.keys);
    if (!host->window) {
        std::fprintf(stderr, "tavrin_host: the keys closed the viewer; no screenshot written\n");
        return EXIT_CLOSED_BEFORE_CAPTURE;
    }
    std::string error;
    if (!write_client_png(host->window, wide_from_utf8(options.screenshot), &error)) {
        std::fprintf(stderr, "tavrin_host: %s: %s\n", options.screenshot.c_str(), error.c_str());
        return EXIT_CAPTURE_FAILED;
    }
    std::printf("tavrin_host: wrote %s\n", options.screenshot.c_str());
    DestroyWindow(host->window);
    return host->shown_any ? EXIT_SHOWN : EXIT_NOTHING_SHOWN;
}

// A GUI program has no console of its own: when started from one with its output not
// redirected, its messages go to that console.
static void use_parent_console() {
    if (GetFileType(GetStdHandle(STD_ERROR_HANDLE)) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
}

int wmain(int argc, wchar_t **argv) {
    use_parent_console();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(utf8_from_wide(argv[i]));
    HostOptions options;
    std::string error;
    if (!parse_host_options(args, &options, &error)) {
        std::fprintf(stderr, "tavrin_host: %s\n%s", error.c_str(), HOST_USAGE);
        return EXIT_USAGE;
    }

    Host host;
    if (!load_lister_module(&host.module)) {
        std::fprintf(stderr, "tavrin_host: cannot load tavrin.wlx64 from this program's folder\n");
        return EXIT_USAGE;
    }
    host.detect = detect_string(host.module);
    host.files = options.files;
    bool headless = !options.screenshot.empty();
    if (!host_create_window(&host, options.client_width, options.client_height, headless)) {
        std::fprintf(stderr, "tavrin_host: cannot create a window\n");
        unload_lister_module(&host.module);
        return EXIT_USAGE;
    }
    host_open(&host, 0);
    int status = headless ? run_headless(&host, options) : run_interactive(&host, options);
    if (host.window) DestroyWindow(host.window);
    unload_lister_module(&host.module);
    return status;
}
