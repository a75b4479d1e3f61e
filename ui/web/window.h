// The form Mervalin as a web page: every control of the design table made
// as a native HTML element by ui/web/page.js, shown through the form's one
// view, and the user's input reported to the one input entry.
#pragma once

#include "model/form.h"

namespace mervalin::web {

class Page final : private FormView {
public:
    // Builds the page's form from the design table, in its order (which is
    // the Tab order), shows the form's state and gives the focus to the
    // control the design names. The form must outlive the page.
    explicit Page(Mervalin& form);
    ~Page();

    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // What page.js reports, raw: input on the control with this number
    // (ControlId::number()).
    void input(int control, Input input, int item);

private:
    void insertItem(ControlId list, int index, std::string_view text,
                    std::string_view spoken) override;
    void clearItems(ControlId list) override;
    void select(ControlId list, int index) override;
    void setText(ControlId box, std::string_view text) override;
    // Screen readers speak a polite live region when they are done with
    // what they are saying, and leave the focus where it is.
    void announce(std::string_view text) override;

    Mervalin& form_;
};

}  // namespace mervalin::web
