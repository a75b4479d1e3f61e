// The main window's design, shared by every front end: where each visible
// control stands, its tab place and its accessible name, and the window's
// colours, font and caption. Positions are in twips from the top-left corner
// of the client area; 15 twips are one pixel at 96 dots per inch.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mervalin::layout {

inline constexpr int kTwipsPerPixel = 15;  // at 96 DPI
inline constexpr int kClientWidth = 6915;
inline constexpr int kClientHeight = 5805;

inline constexpr std::string_view kCaption = "www.mervalin.example   Тарнесо";
inline constexpr std::string_view kFontFamily = "Times New Roman";
inline constexpr int kFontPoints = 12;

struct Rgb {
    std::uint8_t red, green, blue;
};
inline constexpr Rgb kWindowColour{192, 192, 255};
inline constexpr Rgb kLabelColour{255, 192, 128};
inline constexpr Rgb kButtonColour{255, 128, 128};

// The control arrays of the form that have visible elements.
enum class Array { Label1, List1, List2, Text1, Text2, Command1, Picture1 };

struct Placement {
    Array array;
    int index;  // element index; 0 for the single controls List2 and Picture1
    int left, top, width, height;
    int tabIndex;
    // What a screen reader calls the control: a list or result box is named
    // by the caption of the label beside it. Empty for labels and the button,
    // which are read by their own caption.
    std::string_view accessibleName;
};

// Every visible control, each label just before the control it names, so
// that platforms which name a control by the label created before it do so.
inline constexpr std::array<Placement, 18> kControls = {{
    {Array::Label1, 0, 1320, 0, 4095, 375, 2, ""},
    {Array::Label1, 1, 120, 600, 1575, 375, 4, ""},
    {Array::List1, 0, 120, 960, 1575, 2055, 3, "Метал"},
    {Array::Picture1, 0, 1800, 600, 1455, 1725, 22, "Схема: кълбо с диаметър d"},
    {Array::Label1, 3, 1920, 2400, 615, 375, 13, ""},
    {Array::List2, 0, 2520, 2400, 735, 630, 12, "d/a"},
    {Array::Label1, 4, 3360, 600, 975, 405, 14, ""},
    {Array::Text2, 0, 4320, 600, 1215, 405, 18, "Vсфера="},
    {Array::Label1, 5, 3360, 1005, 975, 405, 15, ""},
    {Array::Text2, 1, 4320, 1005, 1215, 405, 19, "Mсфера="},
    {Array::Label1, 6, 3360, 1410, 975, 405, 16, ""},
    {Array::Text2, 2, 4320, 1410, 1215, 405, 20, "Vкуб="},
    {Array::Label1, 7, 3360, 1815, 975, 405, 17, ""},
    {Array::Text2, 3, 4320, 1815, 1215, 405, 21, "Mкуб="},
    {Array::Command1, 0, 3840, 2520, 1215, 375, 9, ""},
    {Array::Label1, 2, 5640, 600, 1095, 375, 6, ""},
    {Array::List1, 1, 5640, 960, 1095, 2055, 5, "Тегло"},
    {Array::Text1, 0, 120, 3120, 6615, 2535, 0, "Съобщение"},
}};

// Twips to pixels at the given dots per inch, rounded to nearest.
constexpr int toPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace mervalin::layout
