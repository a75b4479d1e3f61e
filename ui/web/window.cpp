#include "ui/web/window.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ui/input.h"
#include "ui/layout.h"

// Defined in JavaScript, ui/web/page.js. Controls are named by their
// numbers; texts are UTF-8 with their length in bytes; sizes are CSS pixels;
// colours 0xRRGGBB.
extern "C" {
void mervalin_page_window(int width, int height, const char* caption, std::size_t captionLength,
                          const char* font, std::size_t fontLength, int fontPoints);
// role is layout::Colour, highContrast the layout::SystemColour it takes
// in high contrast.
void mervalin_page_colour(int role, std::uint32_t designed, int highContrast);
// The layout::SystemColour of the chosen item and its text in high contrast.
void mervalin_page_chosen_item(int background, int text);
// kind is layout::Kind; label the number of the label that names the
// control, or -1; flags the properties (bits of Flag below); background and
// text the colours' roles (layout::Colour).
void mervalin_page_control(int control, int kind, int left, int top, int width, int height,
                           int label, int flags, int background, int text, const char* caption,
                           std::size_t captionLength, const char* name, std::size_t nameLength);
// spoken is what screen readers say for the option, when not empty.
void mervalin_page_list_insert(int control, int index, const char* text, std::size_t length,
                               const char* spoken, std::size_t spokenLength);
void mervalin_page_list_clear(int control);
void mervalin_page_list_select(int control, int index);
void mervalin_page_text(int control, const char* text, std::size_t length);
void mervalin_page_focus(int control);
void mervalin_page_announce(const char* text, std::size_t length);
}

namespace mervalin::web {

namespace {

// The bits of mervalin_page_control's flags, as page.js reads them.
enum Flag : int {
    kTakesFocus = 1,
    kReadOnly = 2,
    kMultiLine = 4,
    kVerticalScrollBar = 8,
    kSunken = 16,
    kCentred = 32,
    kHeading = 64,
};

// CSS pixels are 1/96 inch, whatever the screen: the browser scales them.
int toPixels(int twips) { return layout::toPixels(twips, 96); }

std::uint32_t toColour(layout::Rgb rgb) {
    return (std::uint32_t{rgb.red} << 16) | (std::uint32_t{rgb.green} << 8) | rgb.blue;
}

int flagsOf(const layout::Control& control) {
    return (layout::takesFocus(control) ? kTakesFocus : 0) | (control.readOnly ? kReadOnly : 0) |
           (control.multiLine ? kMultiLine : 0) |
           (control.verticalScrollBar ? kVerticalScrollBar : 0) |
           (control.border == layout::Border::Sunken ? kSunken : 0) |
           (control.align == layout::Align::Centre ? kCentred : 0) |
           (control.heading ? kHeading : 0);
}

}  // namespace

Page::Page(Mervalin& form) : form_(form) {
    mervalin_page_window(toPixels(layout::kClientWidth), toPixels(layout::kClientHeight),
                         layout::kCaption.data(), layout::kCaption.size(),
                         layout::kFontFamily.data(), layout::kFontFamily.size(),
                         layout::kFontPoints);
    for (layout::Colour colour : layout::kColours) {
        mervalin_page_colour(static_cast<int>(colour), toColour(layout::designed(colour)),
                             static_cast<int>(layout::highContrast(colour)));
    }
    mervalin_page_chosen_item(static_cast<int>(layout::kChosenItem),
                              static_cast<int>(layout::kChosenItemText));
    // In the design's order: the page's order is the Tab order.
    for (const layout::Control& control : layout::kControls) {
        const layout::Rect& r = control.rect;
        const std::string_view name = layout::accessibleName(control);
        const int label = control.namedBy == layout::kNoLabel
                              ? -1
                              : layout::labelControl(control.namedBy).id.number();
        mervalin_page_control(control.id.number(), static_cast<int>(control.kind), toPixels(r.left),
                              toPixels(r.top), toPixels(r.width), toPixels(r.height), label,
                              flagsOf(control), static_cast<int>(control.background),
                              static_cast<int>(control.text), control.caption.data(),
                              control.caption.size(), name.data(), name.size());
    }
    form.setView(this);
    mervalin_page_focus(layout::firstFocus().id.number());
}

Page::~Page() { form_.setView(nullptr); }

void Page::input(int control, Input input, int item) {
    if (const layout::Control* design = layout::findNumber(control)) {
        userInput(form_, design->id, input, item);
    }
}

void Page::insertItem(ControlId list, int index, std::string_view text, std::string_view spoken) {
    mervalin_page_list_insert(list.number(), index, text.data(), text.size(), spoken.data(),
                              spoken.size());
}

void Page::clearItems(ControlId list) { mervalin_page_list_clear(list.number()); }

void Page::select(ControlId list, int index) { mervalin_page_list_select(list.number(), index); }

void Page::setText(ControlId box, std::string_view text) {
    mervalin_page_text(box.number(), text.data(), text.size());
}

void Page::announce(std::string_view text) { mervalin_page_announce(text.data(), text.size()); }

}  // namespace mervalin::web
