// Reads the client area from the window's device context into a DIB and saves it as a PNG.
#include "host/window_capture.h"

#include <cstdio>
#include <vector>

#include "host/png_write.h"

// The client area as top-down RGB rows; empty when the system gives no picture.
static std::vector<unsigned char> client_pixels(HWND window, int *width, int *height) {
    std::vector<unsigned char> rgb;
    RECT client;
    GetClientRect(window, &client);
    int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0) return rgb;

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
            const unsigned char *bgrx = static_cast<const unsigned char *>(bits);
            rgb.resize(static_cast<size_t>(w) * h * 3);
            for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
                rgb[3 * i] = bgrx[4 * i + 2];
                rgb[3 * i + 1] = bgrx[4 * i + 1];
                rgb[3 * i + 2] = bgrx[4 * i];
            }
            *width = w;
            *height = h;
        }
        SelectObject(memory_dc, old);
    }
    if (dib) DeleteObject(dib);
    if (memory_dc) DeleteDC(memory_dc);
    ReleaseDC(window, window_dc);
    return rgb;
}

bool write_client_png(HWND window, const std::wstring &path, std::string *error) {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb = client_pixels(window, &width, &height);
    if (rgb.empty()) {
        *error = "could not read the window's pixels";
        return false;
    }
    std::vector<unsigned char> png = png_from_rgb(rgb.data(), width, height);
    FILE *file = _wfopen(path.c_str(), L"wb");
    if (!file) {
        *error = "cannot create the file";
        return false;
    }
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    written = fclose(file) == 0 && written;
    if (!written) *error = "cannot write the file";
    return written;
}
