#include "ui/input.h"

#include "model/form.h"
#include "ui/layout.h"

namespace mervalin {

namespace {

ListBox* listOf(Mervalin& form, ControlId id) {
    if (id.array == Array::List2) return &form.List2();
    if (id.array == Array::List1 && Mervalin::isShown(id.index)) return &form.List1(id.index);
    return nullptr;
}

}  // namespace

void userInput(Mervalin& form, ControlId control, Input input, int item) {
    const layout::Control* shown = layout::find(control);
    if (!shown) return;
    switch (shown->kind) {
        case layout::Kind::List:
            if (ListBox* list = listOf(form, control)) {
                list->input(input, item, shown->pageRows);
                if (FormView* view = form.view()) view->select(control, list->selectedIndex());
            }
            break;
        case layout::Kind::Button:
            if (input == Input::Press || input == Input::Activate) {
                form.Command1(control.index).press();
            }
            break;
        case layout::Kind::Label:
        case layout::Kind::TextBox:
        case layout::Kind::Picture:
            break;
    }
}

}  // namespace mervalin
