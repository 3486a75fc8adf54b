// Reads the client area from the window's device context into a DIB and saves it as a PNG.
#include "host/window_capture.h"

#include <cstring>
#include <vector>

#include "host/png_file.h"

// The client area as top-down rows of 32-bit BGRX pixels; empty when the system gives no picture.
static std::vector<unsigned char> client_pixels(HWND window, int *width, int *height) {
    std::vector<unsigned char> bgrx;
    RECT client;
    GetClientRect(window, &client);
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return bgrx;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // negative: rows run top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC window_dc = GetDC(window);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    HBITMAP dib = CreateDIBSection(window_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory_dc && dib && bits) {
        HGDIOBJ old = SelectObject(memory_dc, dib);
        // Read from the screen as drawn rather than asked to draw itself again (PrintWindow): the
        // viewer paints its bar only in WM_PAINT and would leave it blank in a WM_PRINT copy.
        if (BitBlt(memory_dc, 0, 0, w, h, window_dc, 0, 0, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            bgrx.resize(static_cast<size_t>(w) * h * 4);
            std::memcpy(bgrx.data(), bits, bgrx.size());
            *width = w;
            *height = h;
        }
        SelectObject(memory_dc, old);
    }
    if (dib) DeleteObject(dib);
    if (memory_dc) DeleteDC(memory_dc);
    ReleaseDC(window, window_dc);
    return bgrx;
}

bool write_client_png(HWND window, const std::wstring &path, std::string *error) {
    int width = 0, height = 0;
    std::vector<unsigned char> bgrx = client_pixels(window, &width, &height);
    if (bgrx.empty()) {
        *error = "could not read the window's pixels";
        return false;
    }
    return write_png_file(path, bgrx.data(), width, height, error);
}
