// The main window's design, the one table every window and every test reads:
// each visible control's id, kind and properties, where it stands, its
// caption or its name for screen readers, which label names it, its colours,
// and the order of creation and of Tab; then the window's caption, font and
// size. Positions are in twips from the top-left corner of the client area;
// 15 twips are one pixel at 96 dots per inch. tools/layout_json.cpp writes
// the table as ui/layout.json for the page's build and the Python tests.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/controls.h"
#include "model/form.h"

namespace mervalin::layout {

inline constexpr int kTwipsPerPixel = 15;  // at 96 DPI
inline constexpr int kClientWidth = 6915;
inline constexpr int kClientHeight = 5805;

inline constexpr std::string_view kCaption = "www.mervalin.example   Тарнесо";
// The font of the window and of every control in it.
inline constexpr std::string_view kFontFamily = "Times New Roman";
inline constexpr int kFontPoints = 12;

struct Rgb {
    std::uint8_t red, green, blue;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The colours a control is drawn in, by role. Each role has the design's
// colour; the roles Field and Text are the system's own colours of a text
// field and its text, which the design leaves as they are. Paper and Ink
// are the diagram's.
enum class Colour { Window, Label, Button, ButtonText, Field, Text, Paper, Ink };
inline constexpr std::array<Colour, 8> kColours = {
    Colour::Window, Colour::Label, Colour::Button, Colour::ButtonText,
    Colour::Field,  Colour::Text,  Colour::Paper,  Colour::Ink};

constexpr Rgb designed(Colour colour) {
    switch (colour) {
        case Colour::Window:
            return {192, 192, 255};
        case Colour::Label:
            return {255, 192, 128};
        case Colour::Button:
            return {255, 128, 128};
        case Colour::Field:
        case Colour::Paper:
            return {255, 255, 255};
        case Colour::ButtonText:
        case Colour::Text:
        case Colour::Ink:
            break;
    }
    return {0, 0, 0};
}

constexpr std::string_view nameOf(Colour colour) {
    constexpr std::array<std::string_view, 8> kNames = {"Window", "Label", "Button", "ButtonText",
                                                        "Field",  "Text",  "Paper",  "Ink"};
    return kNames[static_cast<std::size_t>(colour)];
}

// The system's colours, which a window takes when the system asks for high
// contrast. Windows calls them COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE,
// COLOR_BTNTEXT, COLOR_HIGHLIGHT and COLOR_HIGHLIGHTTEXT; CSS Canvas,
// CanvasText, ButtonFace, ButtonText, Highlight and HighlightText.
enum class SystemColour { Window, WindowText, ButtonFace, ButtonText, Highlight, HighlightText };
inline constexpr std::array<SystemColour, 6> kSystemColours = {
    SystemColour::Window,     SystemColour::WindowText, SystemColour::ButtonFace,
    SystemColour::ButtonText, SystemColour::Highlight,  SystemColour::HighlightText};

constexpr std::string_view nameOf(SystemColour colour) {
    constexpr std::array<std::string_view, 6> kNames = {
        "Window", "WindowText", "ButtonFace", "ButtonText", "Highlight", "HighlightText"};
    return kNames[static_cast<std::size_t>(colour)];
}

// The system colour a role takes in high contrast: the window, its labels,
// the text fields and the diagram's paper the window colour, their text the
// text colour, the button the button face and its text.
constexpr SystemColour highContrast(Colour colour) {
    switch (colour) {
        case Colour::Window:
        case Colour::Label:
        case Colour::Field:
        case Colour::Paper:
            return SystemColour::Window;
        case Colour::Button:
            return SystemColour::ButtonFace;
        case Colour::ButtonText:
            return SystemColour::ButtonText;
        case Colour::Text:
        case Colour::Ink:
            break;
    }
    return SystemColour::WindowText;
}

// A list's chosen item, in high contrast: the system's selection colours.
inline constexpr SystemColour kChosenItem = SystemColour::Highlight;
inline constexpr SystemColour kChosenItemText = SystemColour::HighlightText;

// The system's colours where the desktop asks for high contrast but gives
// the window no colours of its own: GNOME's switch, which the Linux window
// reads because Qt 6.4 knows of no high-contrast palette. They are Windows'
// High Contrast White scheme: black on white, the selection white on
// purple (15.1:1). GNOME's own high-contrast theme selects in white on
// #1b6acb, 5.3:1, short of the 7:1 every text is to have.
constexpr Rgb plainHighContrast(SystemColour colour) {
    switch (colour) {
        case SystemColour::Window:
        case SystemColour::ButtonFace:
        case SystemColour::HighlightText:
            return {255, 255, 255};
        case SystemColour::Highlight:
            return {55, 0, 110};
        case SystemColour::WindowText:
        case SystemColour::ButtonText:
            break;
    }
    return {0, 0, 0};
}

// What a control is made as in each window.
enum class Kind {
    Label,    // a static caption
    List,     // a list box with one choice, the items in the model's order
    TextBox,  // a text field the user can select and copy from
    Button,   // a push button
    Picture,  // the diagram, an image for screen readers
};

constexpr std::string_view nameOf(Kind kind) {
    constexpr std::array<std::string_view, 5> kNames = {"label", "list", "text", "button",
                                                        "picture"};
    return kNames[static_cast<std::size_t>(kind)];
}

enum class Align { Left, Centre };
enum class Border { None, Sunken };

// For Control::namedBy: a control that no label names.
inline constexpr int kNoLabel = -1;

struct Rect {
    int left, top, width, height;
};

struct Control {
    ControlId id;
    Kind kind;
    Rect rect;
    int tabIndex;  // the design's tab index
    // The element of Label1 whose caption names this control for screen
    // readers (and is its buddy), or kNoLabel.
    int namedBy = kNoLabel;
    // What a label or the button shows.
    std::string_view caption = {};
    // Labels: the title of the whole window, which a page makes its one
    // heading (an h1) and screen readers list as such; it looks as the
    // other labels do.
    bool heading = false;
    // What a screen reader calls a control that no label names and that
    // shows no caption; empty otherwise.
    std::string_view name = {};
    bool readOnly = false;           // text boxes: the user cannot change the text
    bool multiLine = false;          // text boxes: several lines, kept as they are
    bool verticalScrollBar = false;  // always there, also when all fits
    Border border = Border::None;
    Align align = Align::Left;
    Colour background = Colour::Field;
    Colour text = Colour::Text;
    // Lists: the whole rows in view, by which PageUp and PageDown move.
    int pageRows = 0;
};

// Each kind with its properties, as the design draws it.
constexpr Control label(int index, Rect rect, int tabIndex, std::string_view caption) {
    return {.id = {Array::Label1, index},
            .kind = Kind::Label,
            .rect = rect,
            .tabIndex = tabIndex,
            .caption = caption,
            .align = Align::Centre,
            .background = Colour::Label};
}
// The label as the window's title.
constexpr Control heading(Control label) {
    label.heading = true;
    return label;
}
constexpr Control list(ControlId id, Rect rect, int tabIndex, int namedBy, int pageRows) {
    return {.id = id,
            .kind = Kind::List,
            .rect = rect,
            .tabIndex = tabIndex,
            .namedBy = namedBy,
            .verticalScrollBar = true,
            .border = Border::Sunken,
            .pageRows = pageRows};
}
constexpr Control resultBox(int index, Rect rect, int tabIndex, int namedBy) {
    return {.id = {Array::Text2, index},
            .kind = Kind::TextBox,
            .rect = rect,
            .tabIndex = tabIndex,
            .namedBy = namedBy,
            .readOnly = true,
            .border = Border::Sunken};
}
constexpr Control messageBox(Rect rect, int tabIndex, std::string_view name) {
    return {.id = {Array::Text1, 0},
            .kind = Kind::TextBox,
            .rect = rect,
            .tabIndex = tabIndex,
            .name = name,
            .readOnly = true,
            .multiLine = true,
            .verticalScrollBar = true,
            .border = Border::Sunken};
}
constexpr Control button(Rect rect, int tabIndex, std::string_view caption) {
    return {.id = {Array::Command1, 0},
            .kind = Kind::Button,
            .rect = rect,
            .tabIndex = tabIndex,
            .caption = caption,
            .align = Align::Centre,
            .background = Colour::Button,
            .text = Colour::ButtonText};
}
constexpr Control picture(Rect rect, int tabIndex, std::string_view name) {
    return {.id = {Array::Picture1, 0},
            .kind = Kind::Picture,
            .rect = rect,
            .tabIndex = tabIndex,
            .name = name,
            .border = Border::Sunken,
            .background = Colour::Paper,
            .text = Colour::Ink};
}

// Labels and the picture never take the focus; every other control does.
constexpr bool takesFocus(const Control& control) {
    return control.kind != Kind::Label && control.kind != Kind::Picture;
}

// Every visible control, in the order the windows create them. This order is
// also the Tab order of those that take the focus (Windows moves the focus
// in creation order), and each label comes right before the control it
// names (Windows screen readers name a list or an edit box by the label
// created just before it). The checks below hold the table to both rules.
inline constexpr std::array<Control, 18> kControls = {{
    messageBox({120, 3120, 6615, 2535}, 0, "Съобщение"),
    heading(label(0, {1320, 0, 4095, 375}, 2, "Мервалин")),
    label(1, {120, 600, 1575, 375}, 4, "Метал"),
    list({Array::List1, 0}, {120, 960, 1575, 2055}, 3, 1, 7),
    label(2, {5640, 600, 1095, 375}, 6, "Тегло"),
    list({Array::List1, 1}, {5640, 960, 1095, 2055}, 5, 2, 7),
    button({3840, 2520, 1215, 375}, 9, "Чисти"),
    label(3, {1920, 2400, 615, 375}, 13, "d/a"),
    list({Array::List2, 0}, {2520, 2400, 735, 630}, 12, 3, 2),
    label(4, {3360, 600, 975, 405}, 14, Mervalin::kResultNames[0]),
    resultBox(0, {4320, 600, 1215, 405}, 18, 4),
    label(5, {3360, 1005, 975, 405}, 15, Mervalin::kResultNames[1]),
    resultBox(1, {4320, 1005, 1215, 405}, 19, 5),
    label(6, {3360, 1410, 975, 405}, 16, Mervalin::kResultNames[2]),
    resultBox(2, {4320, 1410, 1215, 405}, 20, 6),
    label(7, {3360, 1815, 975, 405}, 17, Mervalin::kResultNames[3]),
    resultBox(3, {4320, 1815, 1215, 405}, 21, 7),
    picture({1800, 600, 1455, 1725}, 22, "Схема: кълбо с диаметър d"),
}};

// The control with the given id, or null when the table has none.
constexpr const Control* find(ControlId id) {
    for (const Control& control : kControls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

// The control whose ControlId::number() this is, or null.
constexpr const Control* findNumber(int number) {
    for (const Control& control : kControls) {
        if (control.id.number() == number) return &control;
    }
    return nullptr;
}

// The label Label1(index).
constexpr const Control& labelControl(int index) { return *find({Array::Label1, index}); }

// Whether the table keeps its rules: the controls that take the focus come
// in ascending tab index, a named control comes right after its label, and
// every label names at most one control.
constexpr bool creationOrderHolds() {
    int lastTabIndex = -1;
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& control = kControls[i];
        if (takesFocus(control)) {
            if (control.tabIndex <= lastTabIndex) return false;
            lastTabIndex = control.tabIndex;
        }
        if (control.namedBy != kNoLabel) {
            if (i == 0) return false;
            const Control& label = kControls[i - 1];
            if (label.kind != Kind::Label || label.id.index != control.namedBy) return false;
        }
    }
    return true;
}
static_assert(creationOrderHolds(), "kControls: tab order or label order broken");

// Whether the window has one title: one heading, and it is a label.
constexpr bool headingHolds() {
    int headings = 0;
    for (const Control& control : kControls) {
        if (control.heading && control.kind != Kind::Label) return false;
        headings += control.heading ? 1 : 0;
    }
    return headings == 1;
}
static_assert(headingHolds(), "kControls: the window needs one title label");

// The control that has the focus when the window opens: the first that
// takes it, the message box.
constexpr const Control& firstFocus() {
    for (const Control& control : kControls) {
        if (takesFocus(control)) return control;
    }
    return kControls.front();
}
static_assert(firstFocus().id == ControlId{Array::Text1, 0} && firstFocus().tabIndex == 0);

// What a screen reader calls the control: the caption of the label that
// names it, its own caption, or its name.
constexpr std::string_view accessibleName(const Control& control) {
    if (control.namedBy != kNoLabel) return labelControl(control.namedBy).caption;
    if (!control.caption.empty()) return control.caption;
    return control.name;
}

// Twips to pixels at the given dots per inch, rounded to nearest.
constexpr int toPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

}  // namespace mervalin::layout
