// Picture1's diagram as data, which every front end draws with its own
// painter at the screen's scale: a circle filled with diagonal hatching and,
// beneath it, its diameter dimensioned (an extension line down from each
// side, a dimension line with an arrowhead at each end, an italic "d").
// Lines and text drawn at the screen's DPI stay sharp where a scaled bitmap
// blurs or turns blocky, and need no image decoder at start-up.
//
// kDesign holds the drawing in twips, as ui/layout.h holds the window;
// drawingAt() turns it into what a painter draws, in device pixels, and
// svg() writes that as an SVG document (assets/diagram.svg is svg() at
// 96 DPI, for the browser and as the reference drawing). It is drawn in
// Picture1's colours of the control table, kPaper and kInk.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "ui/layout.h"

namespace mervalin::diagram {

// The roles of the paper and of the ink: Picture1's background and text.
inline constexpr layout::Colour kPaper = layout::find({Array::Picture1, 0})->background;
inline constexpr layout::Colour kInk = layout::find({Array::Picture1, 0})->text;

// The drawing in twips, from the top-left corner of the area inside
// Picture1's border. Fractions of a twip put lines on the middle of a pixel
// at 96 DPI.
struct Design {
    double width, height;
    // The circle: its outline, stroked on this radius.
    double centreX, centreY, radius, outlineWidth;
    // Hatching inside the circle: lines rising to the right at 45 degrees,
    // one through the centre, the others this far apart along either axis.
    double hatchSpacing, hatchWidth;
    // The dimension of the diameter: an extension line down from the
    // circle's leftmost and from its rightmost point, between these heights;
    // between them the dimension line, its arrowheads pointing outwards at
    // the extension lines.
    double extensionTop, extensionBottom, dimensionY, lineWidth;
    double arrowLength, arrowWidth;
    // The label, in the window's font, italic, centred under the circle.
    std::string_view label;
    double labelBaseline;
};

inline constexpr Design kDesign = {
    .width = 1395,
    .height = 1665,
    .centreX = 697.5,
    .centreY = 652.5,
    .radius = 600,
    .outlineWidth = 18,
    .hatchSpacing = 120,
    .hatchWidth = 11.25,
    .extensionTop = 705,
    .extensionBottom = 1440,
    .dimensionY = 1372.5,
    .lineWidth = 15,
    .arrowLength = 120,
    .arrowWidth = 69,
    .label = "d",
    .labelBaseline = 1605,
};

// What a painter draws, in device pixels from the top-left corner of the
// drawing, in the ink colour over a ground of the paper colour. The hatching and the straight
// lines lie on whole pixels and are drawn without anti-aliasing, crisp at
// any scale; the outline, the arrowheads and the label are drawn
// anti-aliased over them.
struct Point {
    double x, y;
};
// The pixels (x, y), (x + 1, y - 1), ... up to the right, length of them.
struct Diagonal {
    int x, y, length;
};
struct Box {
    int left, top, width, height;
};
struct Circle {
    Point centre;
    double radius, width;  // the outline's, stroked on the radius
};
struct Text {
    Point baseline;  // the middle of the text's baseline
    double size;     // the font's em height
    std::string_view family, text;
    bool italic;
};
struct Drawing {
    double width, height;
    std::vector<Diagonal> hatching;
    std::array<Box, 3> lines;  // the extension lines, then the dimension line
    Circle outline;
    std::array<std::array<Point, 3>, 2> arrows;  // filled triangles, tip first
    Text label;
};

// The drawing at this many dots per inch (96 is 100 %). Every straight line
// is a whole number of pixels wide, at least one, on whole pixels, and the
// circle has its centre in a pixel's middle and a whole radius, so that the
// extension lines stand on its leftmost and rightmost points and the
// hatching runs through pixel middles. At 96 DPI every coordinate is the
// design's.
inline Drawing drawingAt(double dpi, const Design& design = kDesign) {
    const double scale = dpi / (layout::kTwipsPerPixel * 96.0);
    const auto whole = [scale](double twips) {
        return std::max(1, static_cast<int>(std::lround(twips * scale)));
    };

    Drawing drawing{};
    drawing.width = design.width * scale;
    drawing.height = design.height * scale;

    // The circle's centre is the middle of pixel (cx, cy).
    const auto cx = static_cast<int>(std::floor(design.centreX * scale));
    const auto cy = static_cast<int>(std::floor(design.centreY * scale));
    const int radius = static_cast<int>(std::lround(design.radius * scale));

    // Line k of the hatching holds the pixels whose middles lie on
    // x + y = (centre's x + y) + k * spacing and within the radius, under
    // the outline's ink at its ends. A line wider than a pixel is as many
    // neighbouring diagonals.
    const int hatchWidth = whole(design.hatchWidth);
    const int spacing = std::max(hatchWidth + 1, whole(design.hatchSpacing));
    for (int k = -2 * radius / spacing; k <= 2 * radius / spacing; ++k) {
        for (int band = 0; band < hatchWidth; ++band) {
            // Pixel (cx + u, cy + v) with u + v = sum.
            const int sum = k * spacing + band;
            int first = 0;
            int length = 0;
            for (int u = -radius; u <= radius; ++u) {
                const int v = sum - u;
                if (u * u + v * v > radius * radius) continue;
                if (length++ == 0) first = u;
            }
            if (length > 0) drawing.hatching.push_back({cx + first, cy + sum - first, length});
        }
    }

    // Even widths cannot centre on a pixel's middle: such lines stand half a
    // pixel further out, on either side alike.
    const int lineWidth = whole(design.lineWidth);
    const int top = static_cast<int>(std::lround(design.extensionTop * scale));
    const int bottom = static_cast<int>(std::lround(design.extensionBottom * scale));
    const int left = cx - radius - lineWidth / 2;  // the left line's first column
    const int right = cx + radius - (lineWidth - 1) / 2;
    const int dimensionTop =
        static_cast<int>(std::floor(design.dimensionY * scale - lineWidth / 2.0 + 0.5));
    drawing.lines = {{
        {left, top, lineWidth, bottom - top},
        {right, top, lineWidth, bottom - top},
        {left + lineWidth, dimensionTop, right - left - lineWidth, lineWidth},
    }};

    drawing.outline = {{cx + 0.5, cy + 0.5},
                       static_cast<double>(radius),
                       std::max(1.0, design.outlineWidth * scale)};

    // The arrowheads' tips touch the extension lines, on the dimension
    // line's middle.
    const double middle = dimensionTop + lineWidth / 2.0;
    const Point leftTip = {static_cast<double>(left + lineWidth), middle};
    const Point rightTip = {static_cast<double>(right), middle};
    const double length = design.arrowLength * scale;
    const double half = design.arrowWidth * scale / 2;
    drawing.arrows = {{
        {leftTip, Point{leftTip.x + length, middle - half},
         Point{leftTip.x + length, middle + half}},
        {rightTip, Point{rightTip.x - length, middle - half},
         Point{rightTip.x - length, middle + half}},
    }};

    drawing.label = {{cx + 0.5, std::round(design.labelBaseline * scale)},
                     layout::kFontPoints * dpi / 72.0,
                     layout::kFontFamily,
                     design.label,
                     true};
    return drawing;
}

namespace detail {

// A number as SVG writes it: at most two decimals, no trailing zeros, a
// full stop whatever the locale.
inline std::string svgNumber(double value) {
    const std::int64_t hundredths = std::llround(value * 100);
    const std::int64_t size = hundredths < 0 ? -hundredths : hundredths;
    std::string text;
    if (hundredths < 0) text += '-';
    text += std::to_string(size / 100);
    if (size % 100 != 0) {
        text += '.';
        text += static_cast<char>('0' + size % 100 / 10);
        if (size % 10 != 0) text += static_cast<char>('0' + size % 10);
    }
    return text;
}

inline std::string svgColour(layout::Rgb rgb) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t part : {rgb.red, rgb.green, rgb.blue}) {
        text += kDigits[part >> 4];
        text += kDigits[part & 15];
    }
    return text;
}

// Appends the pieces in turn.
inline void append(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) out += piece;
}

}  // namespace detail

// The drawing as an SVG document whose user unit is the drawing's pixel,
// in the design's colours of kPaper and kInk. The paper is the rectangle of
// class "paper"; everything else is drawn in the current colour of the
// group of class "ink", so that a page can give both other colours. The
// hatching is drawn as lines through the pixels' middles, a little
// narrower than a pixel and with crisp edges, which fills those pixels.
inline std::string svg(const Drawing& drawing) {
    using detail::append;
    using detail::svgNumber;
    using std::to_string;
    const std::string width = svgNumber(drawing.width);
    const std::string height = svgNumber(drawing.height);
    std::string out;
    append(out, {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
                 "<!-- Picture1's diagram, written by assets/generate.sh from ui/diagram.h. -->\n",
                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", width, "\" height=\"",
                 height, "\" viewBox=\"0 0 ", width, " ", height, "\">\n"});
    append(out, {"  <rect class=\"paper\" width=\"", width, "\" height=\"", height, "\" fill=\"",
                 detail::svgColour(layout::designed(kPaper)), "\"/>\n"});
    append(out,
           {"  <g class=\"ink\" color=\"", detail::svgColour(layout::designed(kInk)), "\">\n"});
    out += "    <g stroke=\"currentColor\" stroke-width=\"0.75\" shape-rendering=\"crispEdges\">\n";
    for (const Diagonal& line : drawing.hatching) {
        // From the lower left corner of the first pixel to the upper right
        // corner of the last.
        append(out, {"      <line x1=\"", to_string(line.x), "\" y1=\"", to_string(line.y + 1),
                     "\" x2=\"", to_string(line.x + line.length), "\" y2=\"",
                     to_string(line.y + 1 - line.length), "\"/>\n"});
    }
    out += "    </g>\n";
    const Circle& circle = drawing.outline;
    append(out, {"    <circle cx=\"", svgNumber(circle.centre.x), "\" cy=\"",
                 svgNumber(circle.centre.y), "\" r=\"", svgNumber(circle.radius),
                 "\" fill=\"none\" stroke=\"currentColor\" stroke-width=\"",
                 svgNumber(circle.width), "\"/>\n"});
    out += "    <g fill=\"currentColor\">\n";
    for (const Box& box : drawing.lines) {
        append(out, {"      <rect x=\"", to_string(box.left), "\" y=\"", to_string(box.top),
                     "\" width=\"", to_string(box.width), "\" height=\"", to_string(box.height),
                     "\"/>\n"});
    }
    for (const auto& arrow : drawing.arrows) {
        append(out, {"      <path d=\"M", svgNumber(arrow[0].x), ",", svgNumber(arrow[0].y), " L",
                     svgNumber(arrow[1].x), ",", svgNumber(arrow[1].y), " L", svgNumber(arrow[2].x),
                     ",", svgNumber(arrow[2].y), " Z\"/>\n"});
    }
    const Text& label = drawing.label;
    append(out,
           {"      <text x=\"", svgNumber(label.baseline.x), "\" y=\"", svgNumber(label.baseline.y),
            "\" font-family=\"'", label.family, "', serif\" font-size=\"", svgNumber(label.size),
            "\"", label.italic ? " font-style=\"italic\"" : "", " text-anchor=\"middle\">",
            label.text, "</text>\n"});
    out += "    </g>\n  </g>\n</svg>\n";
    return out;
}

}  // namespace mervalin::diagram
