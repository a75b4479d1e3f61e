// The controls of the form as the logic sees them, the one view interface
// through which a window shows them, and what a window reports of the
// user's input.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace mervalin {

// The control arrays of the form, in the order of their ids.
enum class Array { Label1, List1, List2, Text1, Text2, Command1, Picture1 };

// A control of the form: its array and element index, 0 for the single
// controls List2 and Picture1.
struct ControlId {
    Array array;
    int index = 0;

    // The number every window and test knows the control by: 1000, plus 100
    // times its array's place counted from 1, plus its element index.
    // Label1(3) is 1103, List1(1) 1201, List2 1300, Text2(2) 1502,
    // Command1(0) 1600. Outside tools rely on these numbers.
    constexpr int number() const { return 1000 + 100 * (static_cast<int>(array) + 1) + index; }

    friend constexpr bool operator==(const ControlId&, const ControlId&) = default;
};

// What the user did to a control, as the window saw it, whatever the device:
// the window reports it, raw, and the form decides what it means (see
// ListBox::input and userInput in ui/input.h).
enum class Input {
    // A press on an item (a mouse button going down, a pen, a tap, an
    // assistive tool's press, toggle or select action), or on a control
    // without items; on a list, item -1 is a press that hit no item.
    Press,
    // The control's own selection moved to the item, for a reason the window
    // cannot tell apart: type-ahead, a selection set by an assistive tool or
    // by automation, a drag. Item -1: the control lost its selection.
    Move,
    // Space or Enter on the control.
    Activate,
    // The moving keys of a list, which the form moves the choice by.
    Up,
    Down,
    PageUp,
    PageDown,
    Home,
    End,
};

// What a window implements to show the form: the form calls it after each
// change of a shown control, and for each announcement. Controls are named
// by their ids; a call for a control the window does not show is ignored.
class FormView {
public:
    // spoken: what screen readers are to say for the item, when it differs
    // from text (a number in the reading locale's form); else empty.
    virtual void insertItem(ControlId list, int index, std::string_view text,
                            std::string_view spoken) = 0;
    virtual void clearItems(ControlId list) = 0;
    // index -1: nothing selected.
    virtual void select(ControlId list, int index) = 0;
    virtual void setText(ControlId box, std::string_view text) = 0;
    // What screen readers are to say at once, wherever the focus is, without
    // moving it: every announcement, also one that repeats the last.
    virtual void announce(std::string_view text) = 0;

protected:
    ~FormView() = default;
};

// One text value, possibly several lines with CR LF breaks. Writing replaces
// the whole content and is shown, even when the text is the same.
class TextBox {
public:
    explicit TextBox(ControlId id) : id_(id) {}

    ControlId id() const { return id_; }
    const std::string& text() const { return text_; }
    void setText(std::string_view text) {
        text_.assign(text);
        if (view_) view_->setText(id_, text_);
    }
    void setView(FormView* view) { view_ = view; }

private:
    ControlId id_;
    std::string text_;
    FormView* view_ = nullptr;
};

class Button {
public:
    // The user pressed the button: click, tap, Space, Enter or an assistive
    // tool's press action.
    void press() const {
        if (click_) click_();
    }
    void setClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

private:
    std::function<void()> click_;
};

// What the form asks screen readers to say at once, wherever the focus is,
// without moving it. It is no control of the window: each window delivers
// every announcement through its platform's accessibility interface, so that
// all say the same text at the same moment.
class Announcement {
public:
    // The last text announced; empty before the first.
    const std::string& text() const { return text_; }
    // Announces the text, even when it is the same as the last one.
    void announce(std::string_view text) {
        text_.assign(text);
        if (view_) view_->announce(text_);
    }
    void setView(FormView* view) { view_ = view; }

private:
    std::string text_;
    FormView* view_ = nullptr;
};

}  // namespace mervalin
