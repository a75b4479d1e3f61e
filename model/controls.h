// The simple controls of the form: text boxes, buttons and labels, and what
// the form announces to screen readers.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace mervalin {

class TextBoxObserver {
public:
    virtual void textChanged() = 0;

protected:
    ~TextBoxObserver() = default;
};

// One text value, possibly several lines with CR LF breaks. Writing replaces
// the whole content and tells the observer, even when the text is the same.
class TextBox {
public:
    const std::string& text() const { return text_; }
    void setText(std::string_view text) {
        text_.assign(text);
        if (observer_) observer_->textChanged();
    }
    void setObserver(TextBoxObserver* observer) { observer_ = observer; }

private:
    std::string text_;
    TextBoxObserver* observer_ = nullptr;
};

class Button {
public:
    explicit Button(std::string caption) : caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }

    // Called by the front end when the user presses the button.
    void press() const {
        if (click_) click_();
    }
    void setClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

private:
    std::string caption_;
    std::function<void()> click_;
};

struct Label {
    std::string caption;
};

class AnnouncementObserver {
public:
    virtual void announced(const std::string& text) = 0;

protected:
    ~AnnouncementObserver() = default;
};

// What the form asks screen readers to say at once, wherever the focus is,
// without moving it. It is no control of the window: each front end delivers
// every announcement through its platform's accessibility interface (the
// Qt window, the Win32 window and the browser's live region alike), so that
// all say the same text at the same moment.
class Announcement {
public:
    // The last text announced; empty before the first.
    const std::string& text() const { return text_; }
    // Announces the text, even when it is the same as the last one.
    void announce(std::string_view text) {
        text_.assign(text);
        if (observer_) observer_->announced(text_);
    }
    void setObserver(AnnouncementObserver* observer) { observer_ = observer; }

private:
    std::string text_;
    AnnouncementObserver* observer_ = nullptr;
};

}  // namespace mervalin
