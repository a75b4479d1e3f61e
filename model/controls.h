// The simple controls of the form: text boxes, buttons and labels.
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

}  // namespace mervalin
