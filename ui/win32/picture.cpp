#include "ui/win32/picture.h"

namespace mervalin::win32 {

using Microsoft::WRL::ComPtr;

namespace {

// The resource's bytes stay mapped as long as the module is loaded.
bool resourceBytes(HINSTANCE instance, int resourceId, BYTE*& data, DWORD& size) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (!loaded) return false;
    data = static_cast<BYTE*>(LockResource(loaded));
    size = SizeofResource(instance, resource);
    return data != nullptr && size != 0;
}

}  // namespace

Picture::Picture(HINSTANCE instance, int resourceId) {
    BYTE* data = nullptr;
    DWORD size = 0;
    if (!resourceBytes(instance, resourceId, data, size)) return;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory_)))) {
        return;
    }
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmap> decoded;
    // WIC only reads from the stream, so the read-only resource serves.
    if (FAILED(factory_->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(data, size)) ||
        FAILED(factory_->CreateDecoderFromStream(stream.Get(), nullptr,
                                                 WICDecodeMetadataCacheOnDemand, &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory_->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(factory_->CreateBitmapFromSource(converter.Get(), WICBitmapCacheOnLoad, &decoded))) {
        return;
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoded->GetSize(&width, &height)) || width == 0 || height == 0) return;
    image_ = decoded;
    natural_ = {static_cast<LONG>(width), static_cast<LONG>(height)};
}

Picture::~Picture() {
    if (bitmap_) DeleteObject(bitmap_);
}

void Picture::prepare(SIZE size) {
    if (!image_ || size.cx <= 0 || size.cy <= 0) return;
    if (bitmap_ && size.cx == prepared_.cx && size.cy == prepared_.cy) return;

    ComPtr<IWICBitmapSource> source = image_;
    if (size.cx != natural_.cx || size.cy != natural_.cy) {
        ComPtr<IWICBitmapScaler> scaler;
        if (FAILED(factory_->CreateBitmapScaler(&scaler)) ||
            FAILED(scaler->Initialize(image_.Get(), static_cast<UINT>(size.cx),
                                      static_cast<UINT>(size.cy),
                                      WICBitmapInterpolationModeFant))) {
            return;
        }
        source = scaler;
    }

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down, as WIC hands out the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return;
    // DIB rows are padded to whole 32-bit words.
    const UINT stride = (static_cast<UINT>(size.cx) * 3 + 3) & ~3u;
    if (FAILED(source->CopyPixels(nullptr, stride, stride * static_cast<UINT>(size.cy),
                                  static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return;
    }
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bitmap;
    prepared_ = size;
}

void Picture::draw(HDC dc, POINT at) const {
    if (!bitmap_) return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return;
    HGDIOBJ previous = SelectObject(memory, bitmap_);
    BitBlt(dc, at.x, at.y, prepared_.cx, prepared_.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

}  // namespace mervalin::win32
