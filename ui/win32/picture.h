// The Picture1 diagram: an image resource decoded through WIC once, then
// rendered into a GDI bitmap of whatever size the window's DPI asks for.
#pragma once

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

namespace mervalin::win32 {

class Picture {
public:
    // Decodes the resource (any format WIC reads). COM must be initialised
    // on this thread. An unreadable resource gives an empty picture, which
    // has size 0 × 0 and draws nothing: the window is still usable.
    Picture(HINSTANCE instance, int resourceId);
    ~Picture();

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The image's own size in pixels.
    SIZE naturalSize() const { return natural_; }

    // Renders the image at this size for draw(), scaled when it differs
    // from the natural size.
    void prepare(SIZE size);

    // Draws the prepared bitmap with its top-left corner at the point.
    void draw(HDC dc, POINT at) const;

private:
    Microsoft::WRL::ComPtr<IWICImagingFactory> factory_;
    Microsoft::WRL::ComPtr<IWICBitmapSource> image_;  // decoded, 24-bit BGR
    SIZE natural_{};
    HBITMAP bitmap_ = nullptr;
    SIZE prepared_{};
};

}  // namespace mervalin::win32
