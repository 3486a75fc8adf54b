// Test support: decodes a PNG file with WIC's decoder and converts its frame to 24-bit RGB.
#include "png_read.h"

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

// Returns "" or what is wrong. Every interface is released on return, before the caller leaves COM.
std::string decode(const std::wstring &path, PngImage *image) {
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&factory));
    if (FAILED(hr)) return failed("the imaging component is not available", hr);

    ComPtr<IWICBitmapDecoder> decoder;
    hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                            WICDecodeMetadataCacheOnDemand, &decoder);
    if (FAILED(hr)) return failed("the decoder refuses the file", hr);
    GUID container = {};
    hr = decoder->GetContainerFormat(&container);
    if (FAILED(hr) || !IsEqualGUID(container, GUID_ContainerFormatPng)) return "not a PNG file";

    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr =
            converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppRGB, WICBitmapDitherTypeNone,
                                  nullptr, 0.0, WICBitmapPaletteTypeCustom);
    if (FAILED(hr)) return failed("cannot read the picture", hr);

    // Rows of three-byte pixels are packed, whatever the width: the stride is the row's bytes.
    UINT stride = width * 3;
    std::vector<unsigned char> rgb(size_t(stride) * height);
    hr = converter->CopyPixels(nullptr, stride, static_cast<UINT>(rgb.size()), rgb.data());
    if (FAILED(hr)) return failed("the decoder refuses the pixel data", hr);
    image->width = width;
    image->height = height;
    image->rgb.swap(rgb);
    return "";
}

} // namespace

std::string read_png(const std::wstring &path, PngImage *image) {
    *image = PngImage{};
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string fault = decode(path, image);
    if (SUCCEEDED(com)) CoUninitialize();
    return fault;
}

uint32_t pixel_at(const PngImage &image, uint32_t x, uint32_t y) {
    const unsigned char *p = &image.rgb[(size_t(y) * image.width + x) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}
