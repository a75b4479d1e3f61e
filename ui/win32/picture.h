// The Picture1 diagram of ui/diagram.h, drawn with GDI at the window's DPI
// into a bitmap that is kept until the size or the DPI changes.
#pragma once

#include <windows.h>

namespace mervalin::win32 {

class Picture {
public:
    Picture() = default;
    ~Picture();

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Fills the rectangle with the paper's colour and draws the diagram in
    // its middle, in the ink's, at this DPI. Draws nothing more when GDI is
    // out of resources.
    void draw(HDC dc, const RECT& area, UINT dpi, COLORREF paper, COLORREF ink);

private:
    void render(SIZE size, UINT dpi, COLORREF paper, COLORREF ink);

    HBITMAP bitmap_ = nullptr;
    SIZE size_{};
    UINT dpi_ = 0;
    COLORREF paper_ = 0;
    COLORREF ink_ = 0;
};

}  // namespace mervalin::win32
