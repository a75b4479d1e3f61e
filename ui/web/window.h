// The form Mervalin as a web page: every control of the design table made
// as a native HTML element by ui/web/page.js, kept showing the model, and
// the user's presses reported to the model.
#pragma once

#include <memory>
#include <vector>

#include "model/form.h"
#include "model/list_box.h"

namespace mervalin::web {

// What page.js makes for a control; the numbers are page.js's too.
enum class Kind {
    Label = 0,       // <label>, for the control it names
    List = 1,        // <select size>, one choice
    ResultBox = 2,   // read-only <input>
    MessageBox = 3,  // read-only <textarea> with a vertical scroll bar
    Button = 4,      // <button>
    Picture = 5,     // the diagram, an image for screen readers
};

class Page final : public AnnouncementObserver {
public:
    // Builds the page's form from the design table, in its order (which is
    // the Tab order), shows the form's state and gives the focus to the
    // control the design names. The form must outlive the page.
    explicit Page(Mervalin& form);
    ~Page();

    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // The user pressed item index of the list with the given control number
    // (its place in layout::kControls): page.js reports it, raw.
    void pressItem(int control, int index, ListBox::Input input);

    // The user pressed the button with the given control number.
    void pressButton(int control);

private:
    class ListBinding;
    class TextBinding;

    // What the form announces after each check goes to the live region.
    void announced(const std::string& text) override;

    Mervalin& form_;
    std::vector<std::unique_ptr<ListBinding>> lists_;
    std::vector<std::unique_ptr<TextBinding>> texts_;
};

}  // namespace mervalin::web
