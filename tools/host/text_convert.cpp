// UTF-8, UTF-16 and ANSI code page conversions for command-line texts and paths.
#include "host/text_convert.h"

#include <windows.h>

std::wstring wide_from_utf8(const std::string &text) {
    if (text.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string utf8_from_wide(const std::wstring &text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

// The ANSI form of a text; *lossy tells whether some character had no spelling in the code page.
static std::string ansi_from_wide(const std::wstring &text, bool *lossy) {
    *lossy = false;
    if (text.empty()) return std::string();
    // The code page UTF-8 spells everything, and refuses to be asked whether it could.
    BOOL used_default = FALSE;
    BOOL *ask = GetACP() == CP_UTF8 ? nullptr : &used_default;
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, ask);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        ask);
    *lossy = used_default != FALSE;
    return out;
}

std::string ansi_path(const std::wstring &path) {
    bool lossy = false;
    std::string ansi = ansi_from_wide(path, &lossy);
    if (!lossy) return ansi;
    wchar_t short_path[MAX_PATH];
    DWORD n = GetShortPathNameW(path.c_str(), short_path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ansi;
    return ansi_from_wide(std::wstring(short_path, n), &lossy);
}
