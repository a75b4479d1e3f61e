#include "ui/web/window.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/layout.h"

// Defined in JavaScript, ui/web/page.js. Texts are UTF-8 with their length
// in bytes; sizes are CSS pixels; colours 0xRRGGBB.
extern "C" {
void mervalin_page_window(int width, int height, const char* caption, std::size_t captionLength,
                          const char* font, std::size_t fontLength, int fontPoints,
                          std::uint32_t windowColour, std::uint32_t labelColour,
                          std::uint32_t buttonColour);
// label is the control number of the label that names this control, or -1.
void mervalin_page_control(int control, int kind, int left, int top, int width, int height,
                           bool takesFocus, int label, const char* text, std::size_t textLength,
                           const char* name, std::size_t nameLength);
void mervalin_page_list_insert(int control, int index, const char* text, std::size_t length);
void mervalin_page_list_clear(int control);
void mervalin_page_list_select(int control, int index);
void mervalin_page_text(int control, const char* text, std::size_t length);
void mervalin_page_focus(int control);
void mervalin_page_announce(const char* text, std::size_t length);
}

namespace mervalin::web {

namespace {

// CSS pixels are 1/96 inch, whatever the screen: the browser scales them.
int toPixels(int twips) { return layout::toPixels(twips, 96); }

std::uint32_t toColour(layout::Rgb rgb) {
    return (std::uint32_t{rgb.red} << 16) | (std::uint32_t{rgb.green} << 8) | rgb.blue;
}

Kind kindOf(const layout::Placement& placement) {
    switch (placement.array) {
        case layout::Array::Label1:
            return Kind::Label;
        case layout::Array::List1:
        case layout::Array::List2:
            return Kind::List;
        case layout::Array::Text1:
            return Kind::MessageBox;
        case layout::Array::Text2:
            return Kind::ResultBox;
        case layout::Array::Command1:
            return Kind::Button;
        case layout::Array::Picture1:
            break;
    }
    return Kind::Picture;
}

// The control number of Label1(index).
int labelControl(int index) {
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Placement& control = layout::kControls[i];
        if (control.array == layout::Array::Label1 && control.index == index) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

// Keeps a <select> showing its model list.
class Page::ListBinding final : public ListBoxObserver {
public:
    ListBinding(int control, ListBox& list) : control_(control), list_(list) {
        for (int i = 0; i < list.count(); ++i) itemInserted(i);
        selectionChanged(list.selectedIndex());
        list.setObserver(this);
    }
    ~ListBinding() { list_.setObserver(nullptr); }

    ListBinding(const ListBinding&) = delete;
    ListBinding& operator=(const ListBinding&) = delete;

    void itemInserted(int index) override {
        const std::string& text = list_.item(index);
        mervalin_page_list_insert(control_, index, text.data(), text.size());
    }
    void cleared() override { mervalin_page_list_clear(control_); }
    void selectionChanged(int index) override { mervalin_page_list_select(control_, index); }

    int control() const { return control_; }

    // Reports the press to the model, then shows the model's choice,
    // whatever the <select> did meanwhile.
    void press(int index, ListBox::Input input) {
        list_.press(index, input);
        selectionChanged(list_.selectedIndex());
    }

private:
    int control_;
    ListBox& list_;
};

// Keeps a text element showing its model text box. The page keeps the
// model's CR LF: browsers show it as one line break.
class Page::TextBinding final : public TextBoxObserver {
public:
    TextBinding(int control, TextBox& box) : control_(control), box_(box) {
        textChanged();
        box.setObserver(this);
    }
    ~TextBinding() { box_.setObserver(nullptr); }

    TextBinding(const TextBinding&) = delete;
    TextBinding& operator=(const TextBinding&) = delete;

    void textChanged() override {
        mervalin_page_text(control_, box_.text().data(), box_.text().size());
    }

private:
    int control_;
    TextBox& box_;
};

Page::Page(Mervalin& form) : form_(form) {
    mervalin_page_window(toPixels(layout::kClientWidth), toPixels(layout::kClientHeight),
                         layout::kCaption.data(), layout::kCaption.size(),
                         layout::kFontFamily.data(), layout::kFontFamily.size(),
                         layout::kFontPoints, toColour(layout::kWindowColour),
                         toColour(layout::kLabelColour), toColour(layout::kButtonColour));

    // In the design's order: the page's order is the Tab order.
    for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
        const layout::Placement& placement = layout::kControls[i];
        const int control = static_cast<int>(i);
        std::string_view text;
        if (placement.array == layout::Array::Label1) text = form.Label1(placement.index).caption;
        if (placement.array == layout::Array::Command1) text = form.Command1(0).caption();
        const std::string_view name = layout::accessibleName(placement, form);
        mervalin_page_control(
            control, static_cast<int>(kindOf(placement)), toPixels(placement.left),
            toPixels(placement.top), toPixels(placement.width), toPixels(placement.height),
            layout::takesFocus(placement.array),
            placement.namedBy == layout::kNoLabel ? -1 : labelControl(placement.namedBy),
            text.data(), text.size(), name.data(), name.size());

        switch (placement.array) {
            case layout::Array::List1:
                lists_.push_back(
                    std::make_unique<ListBinding>(control, form.List1(placement.index)));
                break;
            case layout::Array::List2:
                lists_.push_back(std::make_unique<ListBinding>(control, form.List2()));
                break;
            case layout::Array::Text1:
                texts_.push_back(
                    std::make_unique<TextBinding>(control, form.Text1(placement.index)));
                break;
            case layout::Array::Text2:
                texts_.push_back(
                    std::make_unique<TextBinding>(control, form.Text2(placement.index)));
                break;
            default:
                break;
        }
        if (&placement == &layout::firstFocus()) mervalin_page_focus(control);
    }
    form.announcement().setObserver(this);
}

Page::~Page() { form_.announcement().setObserver(nullptr); }

void Page::pressItem(int control, int index, ListBox::Input input) {
    for (const auto& list : lists_) {
        if (list->control() == control) list->press(index, input);
    }
}

void Page::pressButton(int control) {
    if (control >= 0 && static_cast<std::size_t>(control) < layout::kControls.size() &&
        layout::kControls[static_cast<std::size_t>(control)].array == layout::Array::Command1) {
        form_.Command1(layout::kControls[static_cast<std::size_t>(control)].index).press();
    }
}

// Screen readers speak a polite live region when they are done with what
// they are saying, and leave the focus where it is.
void Page::announced(const std::string& text) { mervalin_page_announce(text.data(), text.size()); }

}  // namespace mervalin::web
