#include "ui/win32/picture.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "ui/diagram.h"
#include "ui/win32/text.h"

namespace mervalin::win32 {

namespace {

// A 32-bit top-down DIB section selected into a memory DC, whose pixels
// are at hand as blue, green, red, unused.
class Canvas {
public:
    Canvas(HDC reference, SIZE size) : size_(size) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.cx;
        info.bmiHeader.biHeight = -size.cy;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc_ = CreateCompatibleDC(reference);
        if (!bitmap_ || !dc_) return;
        pixels_ = static_cast<std::uint8_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        if (previous_) SelectObject(dc_, previous_);
        if (dc_) DeleteDC(dc_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ready() const { return pixels_ != nullptr; }
    HDC dc() const { return dc_; }
    SIZE size() const { return size_; }
    // Blue, green, red: the pixel's bytes, after GdiFlush().
    std::uint8_t* pixel(int x, int y) const {
        return pixels_ + 4 * (static_cast<std::ptrdiff_t>(y) * size_.cx + x);
    }
    // The bitmap, which the caller now owns.
    HBITMAP release() {
        SelectObject(dc_, previous_);
        previous_ = nullptr;
        return std::exchange(bitmap_, nullptr);
    }

private:
    SIZE size_;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint8_t* pixels_ = nullptr;
};

// GDI draws no anti-aliased shape of its own (only text, and then as the
// user's font smoothing says). The curved and slanting parts are drawn
// with plain GDI on a canvas this many times larger in each direction, and
// each pixel takes the share of ink among its samples: anti-aliasing the
// same on every Windows and under Wine, at no start-up cost of GDI+ or
// Direct2D (a DLL each, and COM for Direct2D) and well under a millisecond.
constexpr int kSamples = 4;

// A point of the drawing on the large canvas, whose GDI samples its pixels
// at their top-left corners: half a sample back, so that they sit in the
// middle of the pixel they stand for.
int sample(double at) { return static_cast<int>(std::lround(at * kSamples - 0.5)); }

// The outline, the arrowheads and the label, in black on white, on the
// large canvas.
void drawSmoothParts(const diagram::Drawing& drawing, POINT offset, const Canvas& canvas) {
    HDC dc = canvas.dc();
    const RECT all = {0, 0, canvas.size().cx, canvas.size().cy};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const HGDIOBJ previousPen = SelectObject(dc, GetStockObject(NULL_PEN));
    const HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    const auto at = [offset](diagram::Point point) {
        return POINT{sample(point.x + offset.x), sample(point.y + offset.y)};
    };

    // The ring between the outline's outer and inner edge.
    const diagram::Circle& circle = drawing.outline;
    const POINT centre = at(circle.centre);
    BeginPath(dc);
    for (double edge : {circle.radius + circle.width / 2, circle.radius - circle.width / 2}) {
        const int radius = static_cast<int>(std::lround(edge * kSamples));
        Ellipse(dc, centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius);
    }
    EndPath(dc);
    SetPolyFillMode(dc, ALTERNATE);
    FillPath(dc);

    for (const auto& arrow : drawing.arrows) {
        const POINT corners[] = {at(arrow[0]), at(arrow[1]), at(arrow[2])};
        Polygon(dc, corners, 3);
    }

    const diagram::Text& label = drawing.label;
    const std::wstring family = toWide(label.family);
    const std::wstring text = toWide(label.text);
    HFONT font = CreateFontW(-static_cast<int>(std::lround(label.size * kSamples)), 0, 0, 0,
                             FW_NORMAL, label.italic, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_ROMAN, family.c_str());
    if (font) {
        const HGDIOBJ previousFont = SelectObject(dc, font);
        SetTextAlign(dc, TA_BASELINE | TA_CENTER | TA_NOUPDATECP);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        const POINT origin = at(label.baseline);
        TextOutW(dc, origin.x, origin.y, text.c_str(), static_cast<int>(text.size()));
        SelectObject(dc, previousFont);
        DeleteObject(font);
    }
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
}

}  // namespace

Picture::~Picture() {
    if (bitmap_) DeleteObject(bitmap_);
}

void Picture::draw(HDC dc, const RECT& area, UINT dpi, COLORREF paper, COLORREF ink) {
    const SIZE size = {area.right - area.left, area.bottom - area.top};
    if (size.cx <= 0 || size.cy <= 0) return;
    if (!bitmap_ || size.cx != size_.cx || size.cy != size_.cy || dpi != dpi_ || paper != paper_ ||
        ink != ink_) {
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = nullptr;
        render(size, dpi, paper, ink);
    }
    HDC memory = bitmap_ ? CreateCompatibleDC(dc) : nullptr;
    if (!memory) {
        HBRUSH ground = CreateSolidBrush(paper);
        FillRect(dc, &area, ground);
        DeleteObject(ground);
        return;
    }
    const HGDIOBJ previous = SelectObject(memory, bitmap_);
    BitBlt(dc, area.left, area.top, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void Picture::render(SIZE size, UINT dpi, COLORREF paperColour, COLORREF inkColour) {
    const diagram::Drawing drawing = diagram::drawingAt(dpi);
    // In the middle, on whole pixels, so that the crisp parts stay crisp.
    const POINT offset = {static_cast<LONG>(std::floor((size.cx - drawing.width) / 2)),
                          static_cast<LONG>(std::floor((size.cy - drawing.height) / 2))};

    Canvas canvas(nullptr, size);
    if (!canvas.ready()) return;
    HDC dc = canvas.dc();
    const RECT all = {0, 0, size.cx, size.cy};
    HBRUSH paper = CreateSolidBrush(paperColour);
    HBRUSH ink = CreateSolidBrush(inkColour);
    HPEN pen = CreatePen(PS_SOLID, 1, inkColour);
    FillRect(dc, &all, paper);

    // The crisp parts, pixel for pixel. A one-pixel line at exactly 45
    // degrees is a staircase of single pixels, its last point left out.
    const HGDIOBJ previousPen = SelectObject(dc, pen);
    for (const diagram::Diagonal& line : drawing.hatching) {
        MoveToEx(dc, offset.x + line.x, offset.y + line.y, nullptr);
        LineTo(dc, offset.x + line.x + line.length, offset.y + line.y - line.length);
    }
    SelectObject(dc, previousPen);
    for (const diagram::Box& box : drawing.lines) {
        const RECT rect = {offset.x + box.left, offset.y + box.top, offset.x + box.left + box.width,
                           offset.y + box.top + box.height};
        FillRect(dc, &rect, ink);
    }

    // The smooth parts, laid over them in ink by their share of each pixel.
    Canvas large(nullptr, {size.cx * kSamples, size.cy * kSamples});
    if (large.ready()) {
        drawSmoothParts(drawing, offset, large);
        GdiFlush();
        const std::uint8_t colour[] = {GetBValue(inkColour), GetGValue(inkColour),
                                       GetRValue(inkColour)};
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                int white = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        white += large.pixel(x * kSamples + sx, y * kSamples + sy)[1];
                    }
                }
                const int full = 255 * kSamples * kSamples;
                const int cover = full - white;
                if (cover == 0) continue;
                std::uint8_t* out = canvas.pixel(x, y);
                for (int c = 0; c < 3; ++c) {
                    out[c] = static_cast<std::uint8_t>(
                        (out[c] * white + colour[c] * cover + full / 2) / full);
                }
            }
        }
    }
    DeleteObject(pen);
    DeleteObject(ink);
    DeleteObject(paper);
    GdiFlush();
    bitmap_ = canvas.release();
    size_ = size;
    dpi_ = dpi;
    paper_ = paperColour;
    ink_ = inkColour;
}

}  // namespace mervalin::win32
