// Encodes a frame of captured pixels as PNG with WIC's encoder, straight onto a file stream.
#include "host/png_file.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdio>

using Microsoft::WRL::ComPtr;

namespace {

std::string failed(const char *what, HRESULT hr) {
    char code[32];
    std::snprintf(code, sizeof code, " (error 0x%08lX)", static_cast<unsigned long>(hr));
    return what + std::string(code);
}

// Returns "" or what failed; *created tells whether the file was made. Every interface is released
// on return, before the caller leaves COM.
std::string encode(const std::wstring &path, const unsigned char *bgrx, int width, int height,
                   bool *created) {
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory));
    if (FAILED(hr)) return failed("the imaging component is not available", hr);

    // The DIB's fourth byte is padding, not alpha: read as 32bppBGR it is ignored, and the
    // encoder is asked for 24-bit RGB so that the file carries no alpha channel either. The
    // bitmap takes a copy of the pixels; its pointer is non-const only in the signature.
    UINT stride = static_cast<UINT>(width) * 4;
    ComPtr<IWICBitmap> pixels;
    hr = factory->CreateBitmapFromMemory(
        static_cast<UINT>(width), static_cast<UINT>(height), GUID_WICPixelFormat32bppBGR, stride,
        stride * static_cast<UINT>(height), const_cast<BYTE *>(bgrx), &pixels);
    if (FAILED(hr)) return failed("cannot take the pixels", hr);

    ComPtr<IWICStream> stream;
    hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (FAILED(hr)) return failed("cannot create the file", hr);
    *created = true;

    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.Get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = E_UNEXPECTED;
    // WriteSource converts from the bitmap's format to the frame's.
    if (SUCCEEDED(hr)) hr = frame->WriteSource(pixels.Get(), nullptr);
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    if (FAILED(hr)) return failed("cannot write the file", hr);
    return "";
}

} // namespace

bool write_png_file(const std::wstring &path, const unsigned char *bgrx, int width, int height,
                    std::string *error) {
    if (width <= 0 || height <= 0) {
        *error = "the picture is empty";
        return false;
    }
    // S_FALSE (this thread already had COM) must be balanced too; a thread in the other apartment
    // model can still use the factory, but is not ours to uninitialise.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool created = false;
    *error = encode(path, bgrx, width, height, &created);
    if (SUCCEEDED(com)) CoUninitialize();
    if (error->empty()) return true;
    // A half-written picture would pass for a screenshot of something.
    if (created) DeleteFileW(path.c_str());
    return false;
}
