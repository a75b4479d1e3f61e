// The main window's design, shared by every front end: where each visible
// control stands, the order of creation and of Tab, which label names which
// control, and the window's colours, font and caption. Positions are in
// twips from the top-left corner of the client area; 15 twips are one pixel
// at 96 dots per inch.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/form.h"

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

// For Placement::namedBy: a control that no label names.
inline constexpr int kNoLabel = -1;

struct Placement {
    Array array;
    int index;  // element index; 0 for the single controls List2 and Picture1
    int left, top, width, height;
    int tabIndex;  // the design's tab index
    // The element of Label1 whose caption names this control for screen
    // readers (and is its buddy), or kNoLabel.
    int namedBy;
    // What a screen reader calls a control that no label names and that has
    // no caption of its own; empty otherwise.
    std::string_view name;
};

// Labels and the picture never take the focus; every other control does.
constexpr bool takesFocus(Array array) {
    return array != Array::Label1 && array != Array::Picture1;
}

// Every visible control, in the order the front ends create them. This order
// is also the Tab order of those that take the focus (Windows moves the focus
// in creation order), and each label comes right before the control it
// names (Windows screen readers name a list or an edit box by the label
// created just before it). The checks below hold the table to both rules.
inline constexpr std::array<Placement, 18> kControls = {{
    {Array::Text1, 0, 120, 3120, 6615, 2535, 0, kNoLabel, "Съобщение"},
    {Array::Label1, 0, 1320, 0, 4095, 375, 2, kNoLabel, ""},
    {Array::Label1, 1, 120, 600, 1575, 375, 4, kNoLabel, ""},
    {Array::List1, 0, 120, 960, 1575, 2055, 3, 1, ""},
    {Array::Label1, 2, 5640, 600, 1095, 375, 6, kNoLabel, ""},
    {Array::List1, 1, 5640, 960, 1095, 2055, 5, 2, ""},
    {Array::Command1, 0, 3840, 2520, 1215, 375, 9, kNoLabel, ""},
    {Array::Label1, 3, 1920, 2400, 615, 375, 13, kNoLabel, ""},
    {Array::List2, 0, 2520, 2400, 735, 630, 12, 3, ""},
    {Array::Label1, 4, 3360, 600, 975, 405, 14, kNoLabel, ""},
    {Array::Text2, 0, 4320, 600, 1215, 405, 18, 4, ""},
    {Array::Label1, 5, 3360, 1005, 975, 405, 15, kNoLabel, ""},
    {Array::Text2, 1, 4320, 1005, 1215, 405, 19, 5, ""},
    {Array::Label1, 6, 3360, 1410, 975, 405, 16, kNoLabel, ""},
    {Array::Text2, 2, 4320, 1410, 1215, 405, 20, 6, ""},
    {Array::Label1, 7, 3360, 1815, 975, 405, 17, kNoLabel, ""},
    {Array::Text2, 3, 4320, 1815, 1215, 405, 21, 7, ""},
    {Array::Picture1, 0, 1800, 600, 1455, 1725, 22, kNoLabel, "Схема: кълбо с диаметър d"},
}};

// Whether the table keeps its two rules: the controls that take the focus
// come in ascending tab index, and a named control comes right after its
// label.
constexpr bool creationOrderHolds() {
    int lastTabIndex = -1;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Placement& control = kControls[i];
        if (takesFocus(control.array)) {
            if (control.tabIndex <= lastTabIndex) return false;
            lastTabIndex = control.tabIndex;
        }
        if (control.namedBy != kNoLabel) {
            if (i == 0) return false;
            const Placement& label = kControls[i - 1];
            if (label.array != Array::Label1 || label.index != control.namedBy) return false;
        }
    }
    return true;
}
static_assert(creationOrderHolds(), "kControls: tab order or label order broken");

// The control that has the focus when the window opens: the first that
// takes it, the message box.
constexpr const Placement& firstFocus() {
    for (const Placement& control : kControls) {
        if (takesFocus(control.array)) return control;
    }
    return kControls.front();
}
static_assert(firstFocus().array == Array::Text1 && firstFocus().tabIndex == 0);

// What a screen reader calls the control: the caption of the label that
// names it, or its own name. Empty for the labels and the button, which are
// read by their own captions.
inline std::string_view accessibleName(const Placement& control, const Mervalin& form) {
    if (control.namedBy != kNoLabel) return form.Label1(control.namedBy).caption;
    return control.name;
}

// Twips to pixels at the given dots per inch, rounded to nearest.
constexpr int toPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace mervalin::layout
