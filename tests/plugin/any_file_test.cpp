// Files of any size and any name: names outside the 8-bit code page through the wide entry points,
// a file shown at once and counted while the viewer is used, a count ended by closing or loading
// another file, a small file let go once read and a big one kept mapped, a mapped file cut short
// while it is viewed, a copy too large for the clipboard, and the text messages' bound; long work
// and the count's end meeting menus and the value view.
#include "cut_file.h"
#include "menu_driver.h"
#include "viewer_fixture.h"

#include <commctrl.h>

#include "hostile_files.h"
#include "plugin/text_view.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

typedef HWND(__stdcall *ListLoadWFn)(HWND, WCHAR *, int);
typedef int(__stdcall *ListLoadNextWFn)(HWND, HWND, WCHAR *, int);

// A table of `rows` rows "<id>\t<name of the id>", ids in file order.
std::string numbered_dump(int rows) {
    std::string file = magic() + section("SQL", "CREATE TABLE public.n (\n    id integer,\n"
                                                "    name text\n);\n");
    std::string data = "COPY public.n (id, name) FROM stdin;\n";
    data.reserve(data.size() + static_cast<size_t>(rows) * 24);
    for (int r = 0; r < rows; ++r)
        data += std::to_string(r) + "\tname of " + std::to_string(r) + "\n";
    return file + section("DATA", data + "\\.\n");
}

// The status the header bar shows, painted now.
std::wstring painted_status(HWND viewer) {
    UpdateWindow(viewer);
    return status_text(viewer);
}

bool holds(const std::wstring &text, const std::wstring &part) {
    return text.find(part) != std::wstring::npos;
}

class AnyFile : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        load_w = reinterpret_cast<ListLoadWFn>(GetProcAddress(module.dll, "ListLoadW"));
        load_next_w =
            reinterpret_cast<ListLoadNextWFn>(GetProcAddress(module.dll, "ListLoadNextW"));
    }
    void TearDown() override {
        ViewerTest::TearDown();
        for (const std::wstring &path : made) DeleteFileW(path.c_str());
    }

    // A file of the temporary folder named `name`, holding `bytes`; deleted when the test ends.
    std::wstring wide_file(const std::wstring &name, const std::string &bytes) {
        WCHAR temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        std::wstring path = std::wstring(temp) + name;
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(f, INVALID_HANDLE_VALUE);
        DWORD wrote = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        CloseHandle(f);
        made.push_back(path);
        return path;
    }

    // ListLoad on a file kept until the test ends, as a big file must be: the viewer reads it
    // where it lies while it counts.
    HWND open_kept(const std::string &bytes) {
        kept.push_back(std::make_unique<TempFile>(bytes));
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(kept.back()->path()), 0);
        return viewer;
    }

    bool counted(int rows) {
        return pump_until([&] { return item_count(grid()) == rows; }, 60000) &&
               !holds(painted_status(viewer), L"counting");
    }

    HWND header() const {
        return reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    }
    // A click on column col's header, which sorts by it (again: turns the sort round).
    void click_header(int col) {
        RECT r = {};
        SendMessageW(header(), HDM_GETITEMRECT, col, reinterpret_cast<LPARAM>(&r));
        click(header(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    // Cuts the last kept file to `size` bytes, as another program would while the viewer reads it.
    bool cut_kept_file(DWORD size) { return cut_file(kept.back()->path(), size); }

    // ListLoad on `bytes` followed by zeros (a hole) to `size` bytes: over the size a file is held
    // to, so the viewer maps it. The first zero ends the text.
    HWND open_kept_mapped(const std::string &bytes, int64_t size) {
        kept.push_back(std::make_unique<TempFile>(bytes));
        if (!extend_sparse(kept.back()->path(), size)) return nullptr;
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(kept.back()->path()), 0);
        return viewer;
    }

    ListLoadWFn load_w = nullptr;
    ListLoadNextWFn load_next_w = nullptr;
    std::vector<std::wstring> made;
    std::vector<std::unique_ptr<TempFile>> kept;
};

} // namespace

TEST_F(AnyFile, NamesOutsideTheCodePageOpenThroughTheWideEntryPoints) {
    ASSERT_NE(load_w, nullptr);
    ASSERT_NE(load_next_w, nullptr);
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "the names must be lost in 8 bits";
    const std::wstring names[] = {L"\u043E\u0442\u0447\u0451\u0442.pg",
                                  L"\u03C0\u03AF\u03BD\u03B1\u03BA\u03B1\u03C2.pg",
                                  L"\u58F2\u4E0A.pg"};
    std::vector<std::wstring> paths;
    for (int i = 0; i < 3; ++i) paths.push_back(wide_file(names[i], numbered_dump(i + 1)));

    // What an 8-bit host would hand over: the name with its letters lost.
    char lossy[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, paths[0].c_str(), -1, lossy, MAX_PATH, nullptr, nullptr);
    EXPECT_EQ(module.ListLoad(lister.hwnd, lossy, 0), nullptr);

    viewer = load_w(lister.hwnd, &paths[0][0], 0);
    ASSERT_NE(viewer, nullptr);
    pump_pending();
    EXPECT_EQ(item_count(grid()), 1);
    EXPECT_EQ(item_text(grid(), 0, 1), "name of 0");
    for (int i = 1; i < 3; ++i) {
        ASSERT_EQ(load_next_w(lister.hwnd, viewer, &paths[i][0], 0), 0) << i;
        pump_pending();
        EXPECT_EQ(item_count(grid()), i + 1);
        EXPECT_EQ(item_text(grid(), i, 1), "name of " + std::to_string(i));
    }
    // A refused wide reload leaves the file on view.
    std::wstring missing = paths[0] + L".gone";
    EXPECT_EQ(load_next_w(lister.hwnd, viewer, &missing[0], 0), 1);
    EXPECT_EQ(item_count(grid()), 3);
}

TEST_F(AnyFile, TheFirstScreenShowsAtOnceAndTheRestIsCountedWhileTheViewerIsUsed) {
    const int rows = 300000; // about 7 MB: more than is read before ListLoad returns
    ASSERT_NE(open_kept(numbered_dump(rows)), nullptr);
    // Nothing the count found is taken up before the window's thread reads its messages.
    const int first = item_count(grid());
    EXPECT_GT(first, 0);
    EXPECT_LT(first, rows);
    EXPECT_TRUE(
        holds(painted_status(viewer), L"counting\u2026 " + std::to_wstring(first) + L" rows"));

    // Used meanwhile: the cursor moves, and a sort by id, descending, holds once all are known.
    press_key(grid(), VK_DOWN);
    HWND header = reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    for (int i = 0; i < 2; ++i)
        click(header, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});

    ASSERT_TRUE(counted(rows));
    EXPECT_TRUE(holds(painted_status(viewer), std::to_wstring(rows) + L" rows"));
    EXPECT_EQ(item_text(grid(), 0, 0), std::to_string(rows - 1));
    EXPECT_EQ(item_text(grid(), rows - 1, 1), "name of 0");
}

TEST_F(AnyFile, ClosingOrLoadingAnotherFileDuringACountEndsItCleanly) {
    const std::string big = numbered_dump(400000), small = numbered_dump(3);
    TempFile next(small);
    DWORD handles_before = 0;
    for (int i = 0; i < 12; ++i) {
        ASSERT_NE(open_kept(big), nullptr) << i;
        if (i % 2) {
            ASSERT_EQ(module.ListLoadNext(lister.hwnd, viewer, const_cast<char *>(next.path()), 0),
                      0);
            // Whatever the old count posted finds no count: the small file stays as it is.
            pump_pending();
            EXPECT_EQ(item_count(grid()), 3);
            EXPECT_FALSE(holds(painted_status(viewer), L"counting"));
        }
        module.ListCloseWindow(viewer);
        viewer = nullptr;
        pump_pending();
        kept.clear();
        // The first round makes what the process keeps (the thread pool, the guard); later rounds
        // must give back every handle they took, their threads' among them.
        if (i == 1) handles_before = handles_held();
    }
    ASSERT_GT(handles_before, 0u) << "the process's handles could not be counted";
    EXPECT_EQ(handles_held(), handles_before);
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
}

TEST_F(AnyFile, AFileCutShortWhileViewedShowsWhatWasReadAndSaysSo) {
    if (!cuts_files()) GTEST_SKIP() << "only Wine lets another program cut a mapped file";
    const int rows = 1500000; // about 40 MB, then a hole to 300 MB: mapped, in views of 16 MiB
    ASSERT_NE(open_kept_mapped(numbered_dump(rows), 300 << 20), nullptr);
    ASSERT_TRUE(counted(rows));
    ASSERT_TRUE(cut_kept_file(1 << 20));

    // The rows past the cut read as nothing; the host lives on, and the status says why.
    press_key(grid(), VK_END, true);
    pump_pending();
    EXPECT_EQ(item_count(grid()), rows);
    EXPECT_EQ(item_text(grid(), rows - 1, 1), "");
    EXPECT_TRUE(holds(painted_status(viewer), L"the file could not be read whole"));
    // What was read before the cut still shows, and the text tabs read what there is.
    EXPECT_EQ(item_text(grid(), 100, 1), "name of 100");
    ASSERT_TRUE(show_tab(4));
    EXPECT_TRUE(holds(text_view().substr(0, 4096), L"name of 100"));
}

TEST_F(AnyFile, AFileCutShortWhileBeingCountedEndsTheCountWhereTheCutIs) {
    if (!cuts_files()) GTEST_SKIP() << "only Wine lets another program cut a mapped file";
    // About 200 MB, counted for a good while after ListLoad returns; then a hole to 300 MB.
    const int rows = 8000000;
    ASSERT_NE(open_kept_mapped(numbered_dump(rows), 300 << 20), nullptr);
    ASSERT_TRUE(cut_kept_file(32 << 20));
    // Whether the count met the cut or ended before it, it ends, and the end of the rows shows
    // the failure.
    ASSERT_TRUE(pump_until([&] { return !holds(painted_status(viewer), L"counting"); }, 60000));
    const int shown = item_count(grid());
    EXPECT_GT(shown, 1000000);
    EXPECT_LE(shown, rows);
    press_key(grid(), VK_END, true);
    pump_pending();
    EXPECT_TRUE(holds(painted_status(viewer), L"the file could not be read whole"));
    EXPECT_EQ(item_text(grid(), 100, 1), "name of 100");
}

TEST_F(AnyFile, ASmallFileOnceCountedIsLetGoAndCanBeOverwrittenAndDeletedWhileItShows) {
    const int rows = 400000; // about 10 MB: more than ListLoad reads, counted by the thread
    const std::string bytes = numbered_dump(rows);
    // A viewer of the file opened and closed first, so that what the process keeps from then on
    // (the count's thread pool) is counted before.
    ASSERT_NE(open_kept(bytes), nullptr);
    ASSERT_TRUE(counted(rows));
    module.ListCloseWindow(viewer);
    viewer = nullptr;
    pump_pending();
    const DWORD handles_before = handles_held();
    ASSERT_GT(handles_before, 0u) << "the process's handles could not be counted";

    ASSERT_NE(open_kept(bytes), nullptr);
    EXPECT_GT(handles_held(), handles_before) << "the file is read on while it is counted";
    ASSERT_TRUE(counted(rows));
    EXPECT_EQ(handles_held(), handles_before) << "the file is let go once read whole";

    // Another program regenerates the dump, sharing it with no one, then deletes it.
    const char *path = kept.back()->path();
    HANDLE writer = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE) << "the file is in use: error " << GetLastError();
    const std::string other = numbered_dump(3);
    DWORD wrote = 0;
    WriteFile(writer, other.data(), static_cast<DWORD>(other.size()), &wrote, nullptr);
    CloseHandle(writer);
    EXPECT_TRUE(DeleteFileA(path));
    EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << "the name is free at once";

    // The viewer shows what it read, as it read it.
    press_key(grid(), VK_END, true);
    pump_pending();
    EXPECT_EQ(item_count(grid()), rows);
    for (int r : {0, 2, rows / 2, rows - 1})
        EXPECT_EQ(item_text(grid(), r, 1), "name of " + std::to_string(r)) << r;
    EXPECT_FALSE(holds(painted_status(viewer), L"could not be read whole"));
}

TEST_F(AnyFile, AFileOverTheHeldSizeStaysMappedAndInUseWhileItShows) {
    // 100 rows, then a hole to 300 MB, over the 256 MiB a file is held to.
    ASSERT_NE(open_kept_mapped(numbered_dump(100), 300 << 20), nullptr);
    ASSERT_TRUE(counted(100));
    const char *path = kept.back()->path();
    HANDLE writer = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const DWORD error = GetLastError();
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "the viewer let a mapped file go";
    // Windows finds the viewer's handle first, Wine the mapping.
    EXPECT_TRUE(error == ERROR_SHARING_VIOLATION || error == ERROR_USER_MAPPED_FILE) << error;
    EXPECT_EQ(item_text(grid(), 99, 1), "name of 99");

    module.ListCloseWindow(viewer);
    viewer = nullptr;
    pump_pending();
    writer = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE) << "closed, the viewer lets it go";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
}

TEST_F(AnyFile, TheTextMessagesOfAFullSqlTabOfTensOfMegabytesAnswerForItsFirstEightMebibytes) {
    const int rows = 1500000; // about 40 MB of Full SQL text, all of it ASCII
    ASSERT_NE(open_kept(numbered_dump(rows)), nullptr);
    ASSERT_TRUE(counted(rows));
    ASSERT_TRUE(show_tab(4));
    const LRESULT length = SendMessageW(edit(), WM_GETTEXTLENGTH, 0, 0);
    EXPECT_EQ(length, static_cast<LRESULT>(TEXT_MESSAGE_BYTES));
    EXPECT_EQ(GetWindowTextLengthW(edit()), static_cast<int>(length));
    std::wstring got(static_cast<size_t>(length) + 1, L'\0');
    EXPECT_EQ(SendMessageW(edit(), WM_GETTEXT, got.size(), reinterpret_cast<LPARAM>(&got[0])),
              length);
    got.resize(static_cast<size_t>(length));

    // What the messages give is the text's start, as Ctrl+A and Ctrl+C copy it whole (a copy this
    // large is made in a thread of its own).
    set_clipboard_text(L"former");
    press_key(edit(), 'A', true);
    press_key(edit(), 'C', true);
    EXPECT_TRUE(pump_until([] { return clipboard_text() != L"former"; }, 30000));
    const std::wstring whole = clipboard_text();
    EXPECT_GT(whole.size(), got.size() * 2);
    EXPECT_TRUE(whole.compare(0, got.size(), got) == 0);
    EXPECT_TRUE(holds(got.substr(got.size() - 100), L"\tname of "));
}

TEST_F(AnyFile, ACopyOverTheClipboardsLimitIsRefusedWithANoticeAndASmallerOneIsWhole) {
    // 3,500 rows of ten cells of 8,000 bytes: 280 million units as text, over 256 MiB's 268
    // million.
    const std::string cell(8000, 'x');
    std::string data = "COPY public.w (a, b, c, d, e, f, g, h, i, j) FROM stdin;\n";
    std::string row;
    for (int c = 0; c < 10; ++c) row += (c ? "\t" : "") + cell;
    row += "\n";
    data.reserve(data.size() + row.size() * 3500 + 4);
    for (int r = 0; r < 3500; ++r) data += row;
    ASSERT_NE(open_kept(magic() + section("DATA", data + "\\.\n")), nullptr);
    ASSERT_TRUE(counted(3500));

    set_clipboard_text(L"former");
    press_key(grid(), 'A', true);
    press_key(grid(), 'C', true);
    // A copy this large is measured in a thread of its own; the notice comes when it ends.
    EXPECT_TRUE(pump_until([&] { return holds(painted_status(viewer), L"too large to copy"); }));
    EXPECT_EQ(clipboard_text(), L"former");

    // The next command takes the notice away; ten rows go over whole.
    press_key(grid(), VK_HOME, true);
    for (int i = 0; i < 9; ++i) press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_END, false, true);
    press_key(grid(), 'C', true);
    EXPECT_TRUE(pump_until([&] { return clipboard_text() != L"former"; }));
    EXPECT_FALSE(holds(painted_status(viewer), L"too large"));
    std::wstring line;
    for (int c = 0; c < 10; ++c) line += (c ? L"\t" : L"") + std::wstring(8000, L'x');
    std::wstring ten;
    for (int r = 0; r < 10; ++r) ten += line + L"\r\n";
    EXPECT_TRUE(clipboard_text() == ten) << clipboard_text().size() << " units";
}

TEST_F(AnyFile, EscapeStopsALongSortWithoutReachingTheHostAndTheSortRunsWholeWithoutIt) {
    const int rows = 1500000; // about 40 MB: sorted in a thread of its own
    ASSERT_NE(open_kept(numbered_dump(rows)), nullptr);
    ASSERT_TRUE(counted(rows));
    HWND header = reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
    RECT r = {};
    SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    auto arrow = [&] {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
        return (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
    };

    // A click on the names' header, and Escape typed ahead of the sort it starts.
    lister.keys_received.clear();
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    PostMessageW(grid(), WM_KEYDOWN, VK_ESCAPE, 0);
    // The sort stops; the grid showed the rows as they were meanwhile, and still does.
    EXPECT_TRUE(pump_until([&] { return !holds(painted_status(viewer), L"sorting"); }));
    pump_pending();
    EXPECT_EQ(item_text(grid(), 2, 1), "name of 2");
    EXPECT_FALSE(arrow());
    EXPECT_TRUE(lister.keys_received.empty());

    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(pump_until([&] { return arrow(); }, 30000));
    EXPECT_EQ(item_text(grid(), 1, 1), "name of 1");
    EXPECT_EQ(item_text(grid(), 2, 1), "name of 10");
    EXPECT_TRUE(arrow());
}

TEST_F(AnyFile, ALongSummaryThatEndsAfterAnotherTabWasChosenLeavesThatTabShowing) {
    // About 100 MB, of names all distinct: summarised in a thread of its own, for a second or so.
    const int rows = 4000000;
    ASSERT_NE(open_kept(numbered_dump(rows)), nullptr);
    ASSERT_TRUE(counted(rows));
    press_key(grid(), VK_RIGHT);
    press_key(grid(), 'I', true);
    ASSERT_TRUE(holds(painted_status(viewer), L"summarising")) << "the summary runs as long work";
    press_key(grid(), '2');
    EXPECT_TRUE(pump_until([&] { return !holds(painted_status(viewer), L"summarising"); }, 30000));
    pump_pending();
    HWND text = FindWindowExW(viewer, nullptr, L"TavrinText", nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(IsWindowVisible(text));
    HWND value = FindWindowExW(viewer, nullptr, L"TavrinValue", nullptr);
    EXPECT_TRUE(!value || !IsWindowVisible(value)) << "the summary does not cover the SQL tab";
    EXPECT_EQ(window_text_utf8(text).substr(0, 12), "CREATE TABLE");

    // Back on the grid, Ctrl+I shows it.
    press_key(GetFocus(), '1');
    press_key(grid(), 'I', true);
    EXPECT_TRUE(pump_until(
        [&] {
            HWND v = FindWindowExW(viewer, nullptr, L"TavrinValue", nullptr);
            return v && IsWindowVisible(v);
        },
        30000));
}

namespace {

// A window of the host's thread that closes the viewer when another thread asks it to, as a host
// does when a message sent from elsewhere (a close, a shutdown) reaches it while the viewer works.
struct Closer {
    HWND hwnd = nullptr;
    Module *module = nullptr;
    HWND viewer = nullptr;
    bool closed_while_working = false;
    int copy_answer = -1;
};

LRESULT CALLBACK closer_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto *closer = reinterpret_cast<Closer *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message != WM_APP || !closer) return DefWindowProcW(hwnd, message, wparam, lparam);
    closer->closed_while_working = holds(status_text(closer->viewer), L"Escape cancels");
    closer->copy_answer = closer->module->ListSendCommand(closer->viewer, 1 /* copy */, 0);
    closer->module->ListCloseWindow(closer->viewer);
    return 0;
}

} // namespace

TEST_F(AnyFile, AViewerClosedWhileItsWorkRunsRefusesTheHostsCopyStopsTheWorkAndLetsItsFileGo) {
    const std::string big = numbered_dump(1500000); // about 40 MB: sorted in a thread of its own
    ASSERT_NE(open_kept(big), nullptr);
    ASSERT_TRUE(counted(1500000));
    // A click on the names' header of the viewer open now.
    auto click_names = [&] {
        HWND header = reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
        RECT r = {};
        SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(header, WM_LBUTTONUP, 0, at);
    };
    // A sort run whole and a viewer closed after it, so that what the process keeps from then on
    // (the guard, the threads' pools) is counted before.
    click_names();
    ASSERT_TRUE(pump_until([&] { return item_text(grid(), 2, 1) == "name of 10"; }, 30000));
    module.ListCloseWindow(viewer);
    viewer = nullptr;
    pump_pending();
    const DWORD handles_before = handles_held();
    ASSERT_GT(handles_before, 0u) << "the process's handles could not be counted";

    WNDCLASSW wc = {};
    wc.lpfnWndProc = closer_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TestCloser";
    RegisterClassW(&wc);
    Closer closer;
    closer.hwnd = CreateWindowExW(0, L"TestCloser", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(closer.hwnd, nullptr);
    SetWindowLongPtrW(closer.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&closer));
    closer.module = &module;
    closer.viewer = module.ListLoad(lister.hwnd, const_cast<char *>(kept.back()->path()), 0);
    ASSERT_NE(closer.viewer, nullptr);
    viewer = closer.viewer;
    ASSERT_TRUE(counted(1500000));

    // Another thread waits until the sort shows it runs, then has the host's window close it.
    std::atomic<bool> sent{false};
    std::thread other([&] {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(1)) {
            if (holds(status_text(closer.viewer), L"Escape cancels")) break;
        }
        DWORD_PTR result = 0;
        sent = SendMessageTimeoutW(closer.hwnd, WM_APP, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
    });
    click_names();
    const bool gone = pump_until([&] { return !IsWindow(closer.viewer); }, 30000);
    other.join();
    viewer = nullptr;
    ASSERT_TRUE(gone);
    EXPECT_TRUE(sent);
    EXPECT_TRUE(closer.closed_while_working) << "the sort ended before the viewer was closed";
    EXPECT_EQ(closer.copy_answer, 1) << "the host's copy was not refused while the sort ran";
    pump_pending();

    // The close stopped the sort and let the record, its thread and its file go at once.
    EXPECT_EQ(handles_held(), handles_before);
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
    DestroyWindow(closer.hwnd);
}

namespace {

// The count's notices to one viewer, held back while `on` so that the test decides when the
// window takes the count's progress up: a hook on the messages this thread reads turns each into
// a null message and keeps it, to be posted again. The count posts again only once a notice has
// been taken up, but for its last: the second notice held says the count is done.
struct CountHold {
    HWND viewer = nullptr;
    bool on = false;
    std::vector<MSG> held;
    HHOOK hook = nullptr;
};
CountHold g_hold;

LRESULT CALLBACK hold_count_notices(int code, WPARAM removed, LPARAM lparam) {
    MSG *m = reinterpret_cast<MSG *>(lparam);
    if (code == HC_ACTION && removed == PM_REMOVE && g_hold.on && m->hwnd == g_hold.viewer &&
        m->message == WM_USER + 14) {
        g_hold.held.push_back(*m);
        m->message = WM_NULL;
    }
    return CallNextHookEx(g_hold.hook, code, removed, lparam);
}

void hold_count(HWND viewer) {
    g_hold.viewer = viewer;
    g_hold.held.clear();
    g_hold.on = true;
    g_hold.hook =
        SetWindowsHookExW(WH_GETMESSAGE, hold_count_notices, nullptr, GetCurrentThreadId());
}

// Waits until the count is done (its last notice held), then lets the notices go: posted again,
// for the window to take up at its next message.
bool release_count_when_done() {
    const bool done = pump_until([] { return g_hold.held.size() >= 2; }, 60000);
    g_hold.on = false;
    UnhookWindowsHookEx(g_hold.hook);
    g_hold.hook = nullptr;
    for (const MSG &m : g_hold.held) PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
    return done;
}

} // namespace

// A sort made while counting, three rows selected, and the count's end coming while the context
// menu is open: the menu's Copy copies the three rows shown when it opened, and the order made
// again over every row afterwards keeps them selected.
TEST_F(AnyFile, TheCountsEndWaitsForTheMenuAndTheSelectionStaysOnItsRecords) {
    ASSERT_NE(open_kept(numbered_dump(4000000)), nullptr);
    hold_count(viewer);
    auto arrow_down = [&] {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header(), HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return (item.fmt & HDF_SORTDOWN) != 0;
    };
    click_header(0);
    click_header(0);
    ASSERT_TRUE(pump_until([&] { return arrow_down(); }));
    const std::string top = item_text(grid(), 0, 0);
    press_key(grid(), VK_HOME, true); // the cursor stayed on its record, now at the bottom
    press_key(grid(), VK_DOWN, false, true);
    press_key(grid(), VK_DOWN, false, true);

    // The count's end reaches the window while its menu is open.
    ASSERT_TRUE(release_count_when_done());
    MenuDriver menu;
    menu.pick = {0}; // Copy
    arm_menu_driver(&menu);
    SendMessageW(grid(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(grid()), -1);
    disarm_menu_driver();
    ASSERT_TRUE(menu.opened);
    const int id = std::stoi(top);
    auto rows_from = [](int first) {
        std::wstring text;
        for (int k = 0; k < 3; ++k) text += std::to_wstring(first - k) + L"\r\n";
        return text;
    };
    EXPECT_EQ(clipboard_text(), rows_from(id)) << "the rows selected when the menu opened";

    // The count's end, taken up once the menu has closed, makes the sort again over every row.
    ASSERT_TRUE(counted(4000000));
    ASSERT_TRUE(pump_until([&] { return !holds(painted_status(viewer), L"sorting"); }, 60000));
    EXPECT_EQ(item_text(grid(), 0, 0), "3999999");
    set_clipboard_text(L"former");
    press_key(grid(), 'C', true);
    EXPECT_EQ(clipboard_text(), rows_from(id)) << "the same three records, still selected";
}

// The value view open on a row of an order made while counting: once the order is made again over
// every row, Alt+Down steps to the record after it in the new order.
TEST_F(AnyFile, TheValueViewFollowsItsRecordWhenTheOrderIsMadeAgain) {
    ASSERT_NE(open_kept(numbered_dump(4000000)), nullptr);
    hold_count(viewer);
    click_header(0);
    click_header(0);
    ASSERT_TRUE(pump_until([&] { return item_text(grid(), 0, 0) != "0"; }));
    const int id = std::stoi(item_text(grid(), 0, 0));
    press_key(grid(), VK_HOME, true); // the cursor stayed on its record, now at the bottom
    press_key(grid(), VK_RETURN);
    HWND value = children_of_class(viewer, "TavrinValue").front();
    HWND text = children_of_class(value, "TavrinText").front();
    ASSERT_EQ(window_text(text), std::to_wstring(id));

    ASSERT_TRUE(release_count_when_done());
    ASSERT_TRUE(counted(4000000));
    ASSERT_TRUE(pump_until([&] { return !holds(painted_status(viewer), L"sorting"); }, 60000));
    EXPECT_EQ(window_text(text), std::to_wstring(id)) << "the same record's value";
    SendMessageW(text, WM_SYSKEYDOWN, VK_DOWN, 1 | 1 << 29);
    pump_pending();
    EXPECT_EQ(window_text(text), std::to_wstring(id - 1)) << "the next record in the new order";
}
