// The viewer at the display's scale: the bar, its font and the grid's, the text view's font and
// lines, the find bar and the first column grow with the DPI. Wine has one DPI a session, which
// each process reads as it starts: the run at 96 DPI runs this test again in a process of its own
// at 144 and at 192 (the prefix's LogPixels set meanwhile and put back after), and each of those
// measures its viewer against the figures of the first.
#include "viewer_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char kBaseline[] = "TAVRIN_SCALE_BASELINE";

struct Measures {
    int dpi, bar, bar_font, text_font, text_line, find_bar, row, first_column;
};

int font_height(HWND window) {
    LOGFONTW font = {};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
    return std::abs(static_cast<int>(font.lfHeight));
}

RECT placement(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&r), 2);
    return r;
}

struct ChildRun {
    bool ran = false;
    DWORD exit_code = 1;
    std::string output;
};

// Waits for `process` to end, answering this thread's messages meanwhile, for at most `bound_ms`.
bool wait_pumping(HANDLE process, DWORD bound_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        if (spent >= bound_ms) return false;
        DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, bound_ms - spent, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        pump_pending();
    }
}

// This program run on this test alone in a session at `dpi`, with `baseline` in its environment:
// its exit code and what it wrote. The user's LogPixels is put back as it was (or taken away)
// once the run has ended.
ChildRun run_at_dpi(int dpi, const std::string &baseline) {
    const char key[] = "Control Panel\\Desktop", name[] = "LogPixels";
    DWORD had = 0, size = sizeof had, want = static_cast<DWORD>(dpi);
    const bool existed = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &had,
                                      &size) == ERROR_SUCCESS;
    ChildRun run;
    if (RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &want, sizeof want)) return run;
    SetEnvironmentVariableA(kBaseline, baseline.c_str());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    CreatePipe(&read_end, &write_end, &inherit, 1 << 16);
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string command =
        std::string("\"") + program + "\" --gtest_filter=DisplayScale.* --gtest_color=no";
    STARTUPINFOA start = {};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = start.hStdError = write_end;
    PROCESS_INFORMATION child = {};
    run.ran = CreateProcessA(program, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                             &start, &child);
    SetEnvironmentVariableA(kBaseline, nullptr);
    CloseHandle(write_end);
    if (run.ran) {
        run.ran = wait_pumping(child.hProcess, 60000);
        if (!run.ran) TerminateProcess(child.hProcess, 1);
        GetExitCodeProcess(child.hProcess, &run.exit_code);
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(read_end, chunk, sizeof chunk, &got, nullptr) && got > 0)
            run.output.append(chunk, got);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    CloseHandle(read_end);
    if (existed)
        RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_DWORD, &had, sizeof had);
    else
        RegDeleteKeyValueA(HKEY_CURRENT_USER, key, name);
    return run;
}

class DisplayScale : public ViewerTest {
  protected:
    Measures measure() {
        Measures m = {};
        HDC screen = GetDC(nullptr);
        m.dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        EXPECT_NE(open(data_dump("amount, b", "1\tpen\n2\tink\n")), nullptr);
        m.bar = placement(grid()).top;
        m.bar_font = font_height(grid());
        RECT row = {};
        row.left = LVIR_BOUNDS;
        SendMessageW(grid(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        m.row = row.bottom - row.top;
        m.first_column = static_cast<int>(SendMessageW(grid(), LVM_GETCOLUMNWIDTH, 0, 0));
        EXPECT_EQ(load_next(magic() + section("SQL", "select 1;\nselect 2;\n")), 0);
        m.text_font = font_height(edit());
        POINT first = {}, second = {};
        GetCaretPos(&first);
        press_key(edit(), VK_DOWN);
        GetCaretPos(&second);
        m.text_line = second.y - first.y;
        press_key(edit(), 'F', true);
        auto bars = children_of_class(viewer, "TavrinFindBar");
        m.find_bar = bars.size() == 1 ? placement(bars[0]).bottom - placement(bars[0]).top : 0;
        return m;
    }
};

std::string written(const Measures &m) {
    char text[160];
    std::snprintf(text, sizeof text, "%d %d %d %d %d %d %d %d", m.dpi, m.bar, m.bar_font,
                  m.text_font, m.text_line, m.find_bar, m.row, m.first_column);
    return text;
}

bool read(const char *text, Measures *m) {
    return std::sscanf(text, "%d %d %d %d %d %d %d %d", &m->dpi, &m->bar, &m->bar_font,
                       &m->text_font, &m->text_line, &m->find_bar, &m->row, &m->first_column) == 8;
}

} // namespace

TEST_F(DisplayScale, TheBarsTheFontsAndTheGridGrowWithTheDisplaysScale) {
    const Measures m = measure();
    const char *baseline = std::getenv(kBaseline);
    if (!baseline) {
        if (m.dpi != 96) GTEST_SKIP() << "the session runs at " << m.dpi << " DPI, not 96";
        EXPECT_EQ(m.bar, 30);
        EXPECT_EQ(m.bar_font, 15);
        EXPECT_EQ(m.text_font, 15);
        for (int dpi : {144, 192}) {
            const ChildRun run = run_at_dpi(dpi, written(m));
            ASSERT_TRUE(run.ran) << "at " << dpi << " DPI";
            EXPECT_EQ(run.exit_code, 0u) << "at " << dpi << " DPI:\n" << run.output;
            EXPECT_NE(run.output.find("[  PASSED  ] 1 test."), std::string::npos)
                << "at " << dpi << " DPI, the test did not run:\n"
                << run.output;
        }
        return;
    }
    // The run at another scale, against the figures at 96.
    Measures base = {};
    ASSERT_TRUE(read(baseline, &base)) << baseline;
    ASSERT_NE(m.dpi, 96) << "the session was to run at another scale";
    const double scale = m.dpi / 96.0;
    auto grew = [&](int at_96, int here, double within) {
        return std::fabs(here - at_96 * scale) <= within;
    };
    EXPECT_PRED3(grew, base.bar, m.bar, 1.0) << "the bar's height";
    EXPECT_PRED3(grew, base.bar_font, m.bar_font, 1.0) << "the bar's and the grid's font";
    EXPECT_PRED3(grew, base.text_font, m.text_font, 1.0) << "the text views' font";
    EXPECT_PRED3(grew, base.find_bar, m.find_bar, 1.0) << "the find bar's height";
    // Lines and rows come from the font's own metrics, which grow with it but round their own
    // way: within a tenth. The first column is as wide as its widest text, which grows with the
    // font, and the list view's own padding, which under Wine does not: within a fifth.
    EXPECT_PRED3(grew, base.text_line, m.text_line, 0.1 * base.text_line * scale);
    EXPECT_PRED3(grew, base.row, m.row, 0.1 * base.row * scale) << "the grid's rows";
    EXPECT_PRED3(grew, base.first_column, m.first_column, 0.2 * base.first_column * scale)
        << "the first column";
}
