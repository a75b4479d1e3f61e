// Scenarios: scripted user sessions against the form, one command a line,
// for tests that read as a story and for reproducing a report by hand.
//
//   click List1(0) N    the user clicks item N of the metal list
//   click List1(1) N    the user clicks item N of the weight list
//   click List2 N       the user clicks item N of the size list
//   click LIST "TEXT"   the user clicks the first item of LIST reading TEXT;
//                       "TEXT" K the K-th such item, K from 1
//   click LIST nowhere  the user presses the list beside every item
//   click Command1(0)   the user presses the clear button
//   move LIST ITEM      the list's own selection moves to the item (N,
//                       "TEXT" or "TEXT" K), as type-ahead or an assistive
//                       tool moves it; move LIST none: it loses it
//   key CONTROL KEY     the user presses a key on the control (a list, the
//                       button or a text box): Up, Down, PageUp, PageDown,
//                       Home, End, Space or Enter
//   dump                the whole form state as one line of JSON
//   show                what the pupil sees, as one line of JSON: the
//                       chosen metal, weight and size as texts (or null),
//                       the message, the four results and AcceptedWeight
//
// Each goes through the windows' one input entry (ui/input.h). Clicks by
// text keep a scenario true whatever the metal table holds.
// Blank lines and lines starting with "#" are skipped.
#pragma once

#include <iosfwd>
#include <string>

namespace mervalin {

class Mervalin;

inline constexpr int kScenarioBadInput = 2;

// Runs every command of in against the form, which has been loaded, writing
// dumps to out. Stops at the first bad line with one message on err naming
// the line number and the fault, and returns kScenarioBadInput; everything
// before that line stays done and written. Returns 0 at the end of input.
int runScenario(std::istream& in, Mervalin& form, std::ostream& out, std::ostream& err);

// The form's state as one line of JSON: each List1 element's items and
// selection, List2 likewise, the texts of Text1 and Text2, AcceptedWeight,
// and the last announcement to screen readers.
std::string dumpForm(const Mervalin& form);

// What the pupil sees, as one line of JSON: {"metal", "weight", "size"} with
// the chosen items' texts or null, then "Text1", "Text2" and
// "AcceptedWeight" as dumpForm() writes them.
std::string showForm(const Mervalin& form);

}  // namespace mervalin
