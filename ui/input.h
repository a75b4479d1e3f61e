// The one entry through which every window reports the user's input: the
// control, the item (or none) and the kind of input, whatever caused it
// (mouse, pen, touch, keys, type-ahead, an assistive tool, automation). The
// form decides what it means.
#pragma once

#include "model/controls.h"

namespace mervalin {

class Mervalin;

// Reports input on a control of the design table:
//   - a list decides by ListBox::input (its PageUp and PageDown move by the
//     rows the table gives it); afterwards the form's view is told the
//     list's choice again, so that whatever the native control did
//     meanwhile (a press on no item, a lost selection, a move it refused),
//     it shows the form's choice;
//   - the button is pressed by Press and by Activate (click, tap, Space,
//     Enter, an assistive tool's action);
//   - anything else means nothing.
// item is the list's item, or -1 for none.
void userInput(Mervalin& form, ControlId control, Input input, int item = -1);

}  // namespace mervalin
