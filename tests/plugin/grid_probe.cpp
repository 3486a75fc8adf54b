// Test support: reads the grid through the control's messages and the viewer's notifications.
#include "grid_probe.h"

#include <algorithm>
#include <vector>

int column_count(HWND grid) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string utf8_of(const std::wstring &text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring column_text_w(HWND grid, int column) {
    wchar_t text[1024] = L"";
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT;
    c.pszText = text;
    c.cchTextMax = 1024;
    if (!SendMessageW(grid, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c)))
        return L"<no column>";
    return text;
}

std::string column_text(HWND grid, int column) {
    return utf8_of(column_text_w(grid, column));
}

int column_width(HWND grid, int column) {
    return static_cast<int>(SendMessageA(grid, LVM_GETCOLUMNWIDTH, column, 0));
}

int item_count(HWND grid) {
    return static_cast<int>(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring item_text_w(HWND grid, int row, int column, int room) {
    std::vector<wchar_t> text(static_cast<size_t>(room) + 1, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = room;
    SendMessageW(grid, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text.data();
}

std::string item_text(HWND grid, int row, int column) {
    return utf8_of(item_text_w(grid, row, column));
}

RECT cell_rect(HWND grid, int row, int column) {
    RECT r = {};
    r.top = column;
    r.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    SendMessageA(grid, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return r;
}

POINT cell_center(HWND grid, int row, int column) {
    RECT r = cell_rect(grid, row, column);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// LVN_GETDISPINFOA or W, by the width of Char, into a room of '#'; the result and the room's text
// up to its first NUL (or all of it).
template <typename Info, typename Char>
std::pair<LRESULT, std::basic_string<Char>> dispinfo(HWND viewer, HWND sender, UINT code, int row,
                                                     int column, int room, UINT mask) {
    std::vector<Char> buffer(static_cast<size_t>(std::max(room, 1)), Char('#'));
    Info info = {};
    info.hdr.hwndFrom = sender;
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(sender));
    info.hdr.code = code;
    info.item.mask = mask;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = buffer.data();
    info.item.cchTextMax = room;
    LRESULT result =
        SendMessageW(viewer, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    auto end = std::find(buffer.begin(), buffer.end(), Char(0));
    return {result, std::basic_string<Char>(buffer.begin(), end)};
}

DispInfoAnswer ask_dispinfo(HWND viewer, HWND sender, int row, int column, int room, UINT mask) {
    auto answer =
        dispinfo<NMLVDISPINFOA, char>(viewer, sender, LVN_GETDISPINFOA, row, column, room, mask);
    return DispInfoAnswer{answer.first, answer.second};
}

std::wstring ask_dispinfo_w(HWND viewer, HWND sender, int row, int column, int room) {
    return dispinfo<NMLVDISPINFOW, wchar_t>(viewer, sender, LVN_GETDISPINFOW, row, column, room,
                                            LVIF_TEXT)
        .second;
}

DrawAnswer ask_custom_draw(HWND viewer, HWND sender, DWORD stage, int row, int column,
                           UINT item_state) {
    // Colours no cell ever gets, so that an unanswered request shows.
    const COLORREF untouched = 0x123456;
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = sender;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(sender));
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.nmcd.uItemState = item_state;
    draw.iSubItem = column;
    draw.clrText = untouched;
    draw.clrTextBk = untouched;
    LRESULT result =
        SendMessageA(viewer, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return DrawAnswer{result, draw.clrTextBk, draw.clrText, draw.nmcd.uItemState};
}

std::string drawn_cells(HWND viewer, HWND grid, int rows, int columns) {
    std::string map;
    for (int r = 0; r < rows; ++r) {
        if (r > 0) map += '|';
        for (int c = 0; c < columns; ++c) {
            COLORREF back =
                ask_custom_draw(viewer, grid, CDDS_ITEMPREPAINT | CDDS_SUBITEM, r, c).back;
            if (back == 0xB56126 || back == 0xAAAAAA)
                map += 'C';
            else if (back == 0xF1D9C5 || back == 0xE4E4E4)
                map += 'S';
            else
                map += '.';
        }
    }
    return map;
}
