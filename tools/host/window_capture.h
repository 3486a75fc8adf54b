// Screenshots of the host window's client area as PNG files.
#pragma once

#include <windows.h>

#include <string>

// Copies the client area's pixels, children included, as they are on screen, and writes them to
// `path` as a PNG. Returns false with the reason in *error.
bool write_client_png(HWND window, const std::wstring &path, std::string *error);
