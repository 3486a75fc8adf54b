// tavrin_host.exe run as a user runs it, headless: what it shows, what it refuses, Escape, and
// stepping between files. Runs the program that sits beside this test, with the module beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "grid/cells.h"
#include "host/host_options.h"
#include "png_read.h"

namespace {

enum { WIDTH = 640, HEIGHT = 400, BAR_LINE_Y = 29, RUN_BOUND_MS = 120000, POLL_MS = 20 };
const uint32_t kBarLineGrey = 0x808080; // the stock grey brush

const std::string kItems = std::string("KMZTAB01") + "\x01[SQL]\nCREATE TABLE items (id int);\n" +
                           "\x01[INFO]\nthree items\n" +
                           "\x01[DATA]\nCOPY public.items (id, name) FROM stdin;\n" +
                           "1\tpen\n2\tink\n3\tpad\n\\.\n";

std::wstring directory_of_this_program() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

// 0xRRGGBB of a COLORREF (0x00BBGGRR).
uint32_t rgb_of(uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

size_t count_pixels(const PngImage &image, uint32_t rgb) {
    size_t n = 0;
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) n += pixel_at(image, x, y) == rgb;
    return n;
}

// The one-pixel grey line the viewer draws along the bottom of its header bar, full width.
bool bar_line_drawn(const PngImage &image) {
    for (uint32_t x = 0; x < image.width; ++x)
        if (pixel_at(image, x, BAR_LINE_Y) != kBarLineGrey) return false;
    return true;
}

class HostProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"tavrin_host_test_" + std::to_wstring(GetCurrentProcessId()) +
               L"\\";
        CreateDirectoryW(dir_.c_str(), nullptr);
        shot_ = dir_ + L"shot.png";
    }
    void TearDown() override {
        if (interactive_) {
            if (WaitForSingleObject(interactive_, 0) == WAIT_TIMEOUT)
                TerminateProcess(interactive_, 99);
            CloseHandle(interactive_);
        }
        for (const std::wstring &file : made_) DeleteFileW(file.c_str());
        for (size_t i = made_dirs_.size(); i-- > 0;) RemoveDirectoryW(made_dirs_[i].c_str());
        DeleteFileW(shot_.c_str());
        RemoveDirectoryW(dir_.c_str());
    }

    std::wstring file(const std::wstring &name, const std::string &bytes) {
        std::wstring path = dir_ + name;
        FILE *f = _wfopen(path.c_str(), L"wb");
        if (f) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        made_.push_back(path);
        return path;
    }

    // Runs the host headless on `files` with extra arguments; returns its exit status, or -1 when
    // it does not finish within the bound.
    int run(const std::vector<std::wstring> &files, const std::wstring &extra = L"") {
        DeleteFileW(shot_.c_str());
        std::wstring command = L"\"" + directory_of_this_program() + L"tavrin_host.exe\" --size " +
                               std::to_wstring(WIDTH) + L"x" + std::to_wstring(HEIGHT) +
                               L" --screenshot \"" + shot_ + L"\" " + extra;
        for (const std::wstring &f : files) command += L" \"" + f + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return -1;
        DWORD status = static_cast<DWORD>(-1);
        if (WaitForSingleObject(process.hProcess, RUN_BOUND_MS) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &status);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(status);
    }

    // Starts the host with a window of its own, as a user would, and waits until it waits for
    // input. The caller ends it; the returned handle is closed by the fixture.
    HANDLE start_interactive(const std::vector<std::wstring> &files) {
        std::wstring command = L"\"" + directory_of_this_program() + L"tavrin_host.exe\"";
        for (const std::wstring &f : files) command += L" \"" + f + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return nullptr;
        CloseHandle(process.hThread);
        interactive_ = process.hProcess;
        WaitForInputIdle(process.hProcess, RUN_BOUND_MS);
        return process.hProcess;
    }

    bool shot_exists() const {
        return GetFileAttributesW(shot_.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // The screenshot, read back through the system's PNG decoder, which refuses a broken file.
    PngImage shot() {
        PngImage image;
        EXPECT_EQ(read_png(shot_, &image), "");
        return image;
    }

    std::wstring dir_, shot_;
    std::vector<std::wstring> made_, made_dirs_;
    HANDLE interactive_ = nullptr;
};

struct FoundWindow {
    DWORD process_id;
    HWND window;
};

BOOL CALLBACK find_host_window(HWND window, LPARAM found_ptr) {
    auto *found = reinterpret_cast<FoundWindow *>(found_ptr);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64];
    GetClassNameW(window, name, 64);
    if (owner != found->process_id || lstrcmpW(name, L"TavrinHostWindow") != 0) return TRUE;
    found->window = window;
    return FALSE;
}

// The top-level window of the given host process, or null when the process ends first or none
// comes within the bound. Under Wine, WaitForInputIdle has returned before the window existed, so
// the windows are looked through again until it is there.
HWND host_window_of(HANDLE process) {
    FoundWindow found = {GetProcessId(process), nullptr};
    for (DWORD start = GetTickCount(); GetTickCount() - start < RUN_BOUND_MS;) {
        EnumWindows(find_host_window, reinterpret_cast<LPARAM>(&found));
        if (found.window) return found.window;
        if (WaitForSingleObject(process, POLL_MS) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

std::wstring title_of(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

// Waits for the host's thread to work through what is queued for it: each sent message is answered
// only once the thread reads its queue again. Returns once `done` holds, or false after the bound.
template <typename Done> bool host_reaches(HWND host, Done done) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < RUN_BOUND_MS;) {
        if (done()) return true;
        DWORD_PTR ignored;
        if (!SendMessageTimeoutW(host, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored)) return done();
    }
    return done();
}

} // namespace

TEST_F(HostProgram, TheWindowKeepsTheViewerFillingItAndClosesOnTheEscapeTheViewerHandsOn) {
    HANDLE process = start_interactive({file(L"items.pg", kItems)});
    ASSERT_NE(process, nullptr);
    HWND host = host_window_of(process);
    ASSERT_NE(host, nullptr);
    HWND viewer = nullptr;
    ASSERT_TRUE(host_reaches(host, [&] {
        return (viewer = FindWindowExW(host, nullptr, L"TavrinLister", nullptr)) != nullptr;
    }));
    EXPECT_EQ(title_of(host), L"tavrin \u2014 items.pg");

    // Resizing another process's window completes its WM_SIZE before returning.
    SetWindowPos(host, nullptr, 0, 0, 700, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client, placed;
    GetClientRect(host, &client);
    GetWindowRect(viewer, &placed);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT *>(&placed), 2);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right, client.right);
    EXPECT_EQ(placed.bottom, client.bottom);
    EXPECT_GT(client.right, WIDTH);

    HWND grid = FindWindowExW(viewer, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(grid, nullptr);
    PostMessageW(grid, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(WaitForSingleObject(process, RUN_BOUND_MS), WAIT_OBJECT_0);
    DWORD status = 99;
    GetExitCodeProcess(process, &status);
    EXPECT_EQ(status, static_cast<DWORD>(EXIT_SHOWN));
}

TEST_F(HostProgram, AltRightInTheMessageLoopOpensTheNextFileInTheSameViewer) {
    HANDLE process = start_interactive({file(L"items.pg", kItems), file(L"more.pg", kItems)});
    ASSERT_NE(process, nullptr);
    HWND host = host_window_of(process);
    ASSERT_NE(host, nullptr);
    HWND viewer = nullptr;
    ASSERT_TRUE(host_reaches(host, [&] {
        return (viewer = FindWindowExW(host, nullptr, L"TavrinLister", nullptr)) != nullptr;
    }));
    HWND grid = FindWindowExW(viewer, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(grid, nullptr);
    PostMessageW(grid, WM_SYSKEYDOWN, VK_RIGHT, 1 | (1 << 29));
    EXPECT_TRUE(host_reaches(host, [&] { return title_of(host) == L"tavrin \u2014 more.pg"; }));
    // The same viewer shows the next file.
    EXPECT_EQ(FindWindowExW(host, nullptr, L"TavrinLister", nullptr), viewer);
    PostMessageW(host, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process, RUN_BOUND_MS), WAIT_OBJECT_0);
}

TEST_F(HostProgram, ShowsADumpWithItsBarAndTheCursorInAPictureOfTheAskedSize) {
    ASSERT_EQ(run({file(L"items.pg", kItems)}), EXIT_SHOWN);
    PngImage image = shot();
    EXPECT_EQ(image.width, static_cast<uint32_t>(WIDTH));
    EXPECT_EQ(image.height, static_cast<uint32_t>(HEIGHT));
    ASSERT_EQ(image.rgb.size(), size_t(WIDTH) * HEIGHT * 3);
    EXPECT_TRUE(bar_line_drawn(image));
    // The cursor cell in its focused colour: the grid has the keyboard focus.
    EXPECT_GT(count_pixels(image, rgb_of(COLOR_CURSOR_FOCUSED)), 100u);
}

TEST_F(HostProgram, ShiftWithAnArrowKeyExtendsTheSelection) {
    std::wstring items = file(L"items.pg", kItems);
    ASSERT_EQ(run({items}), EXIT_SHOWN);
    EXPECT_EQ(count_pixels(shot(), rgb_of(COLOR_SELECTED_FOCUSED)), 0u);
    ASSERT_EQ(run({items}, L"--keys \"Down Shift+Down\""), EXIT_SHOWN);
    PngImage image = shot();
    EXPECT_GT(count_pixels(image, rgb_of(COLOR_SELECTED_FOCUSED)), 100u);
    EXPECT_GT(count_pixels(image, rgb_of(COLOR_CURSOR_FOCUSED)), 100u);
}

TEST_F(HostProgram, ADigitKeySwitchesToATextTab) {
    ASSERT_EQ(run({file(L"items.pg", kItems)}, L"--keys 4"), EXIT_SHOWN);
    PngImage image = shot();
    EXPECT_TRUE(bar_line_drawn(image));
    EXPECT_EQ(count_pixels(image, rgb_of(COLOR_CURSOR_FOCUSED)), 0u);
}

TEST_F(HostProgram, EscapeHandedToTheHostClosesItBeforeAnyPicture) {
    EXPECT_EQ(run({file(L"items.pg", kItems)}, L"--keys Escape"), EXIT_CLOSED_BEFORE_CAPTURE);
    EXPECT_FALSE(shot_exists());
}

TEST_F(HostProgram, AFileWithoutTheMagicIsRefusedWithAMessageInsteadOfTheViewer) {
    ASSERT_EQ(run({file(L"bad.pg", "NOTADUMP and more text")}), EXIT_NOTHING_SHOWN);
    PngImage image = shot();
    EXPECT_EQ(image.width, static_cast<uint32_t>(WIDTH));
    EXPECT_FALSE(bar_line_drawn(image));
}

TEST_F(HostProgram, AFileOfAnotherExtensionIsNotOfferedToTheModule) {
    // A good dump under a name the detect string does not take.
    EXPECT_EQ(run({file(L"items.txt", kItems)}), EXIT_NOTHING_SHOWN);
    EXPECT_EQ(run({dir_ + L"missing.pg"}), EXIT_NOTHING_SHOWN);
}

TEST_F(HostProgram, AltRightAndAltLeftStepThroughTheFilesOfTheCommandLine) {
    std::wstring bad = file(L"bad.pg", "NOTADUMP and more text");
    std::wstring good = file(L"items.pg", kItems);
    ASSERT_EQ(run({bad, good}, L"--keys Alt+Right"), EXIT_SHOWN);
    EXPECT_TRUE(bar_line_drawn(shot()));
    // Stepping onto a refused file takes the viewer away; stepping back brings it again.
    ASSERT_EQ(run({good, bad}, L"--keys Alt+Right"), EXIT_SHOWN);
    EXPECT_FALSE(bar_line_drawn(shot()));
    ASSERT_EQ(run({good, bad}, L"--keys \"Alt+Right Alt+Left\""), EXIT_SHOWN);
    EXPECT_TRUE(bar_line_drawn(shot()));
}

TEST_F(HostProgram, ANameOutsideTheCodePageInAPathPastTheOldLimitOpensThroughTheWideEntryPoints) {
    // Past 260 characters a path has no 8-bit form, and 25 folders deep even its short form (which
    // Wine always makes) is longer than that: only ListLoadW opens it.
    std::wstring deep = dir_;
    for (int i = 0; i < 25; ++i) {
        deep += L"\u043F\u0430\u043F\u043A\u0430_" + std::wstring(12, L'a' + i) + L"\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
        made_dirs_.push_back(L"\\\\?\\" + deep);
    }
    std::wstring path =
        L"\\\\?\\" + deep + L"\u58F2\u4E0A_\u03C0\u03AF\u03BD\u03B1\u03BA\u03B1\u03C2.pg";
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    WriteFile(f, kItems.data(), static_cast<DWORD>(kItems.size()), &wrote, nullptr);
    CloseHandle(f);
    made_.push_back(path);
    ASSERT_GT(path.size() - 4, static_cast<size_t>(MAX_PATH));
    ASSERT_EQ(run({path.substr(4)}), EXIT_SHOWN);
    EXPECT_TRUE(bar_line_drawn(shot()));
}

TEST_F(HostProgram, ABadCommandLineIsAUsageError) {
    EXPECT_EQ(run({file(L"items.pg", kItems)}, L"--keys Sideways"), EXIT_USAGE);
    EXPECT_FALSE(shot_exists());
}
