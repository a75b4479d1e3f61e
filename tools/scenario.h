// Scenarios: scripted user sessions against the form, one command a line,
// for tests that read as a story and for reproducing a report by hand.
//
//   click List1(0) N    the user selects item N of the metal list
//   click List1(1) N    the user selects item N of the weight list
//   click List2 N       the user selects item N of the size list
//   click Command1(0)   the user presses the clear button
//   dump                the whole form state as one line of JSON
//
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
// selection, List2 likewise, the texts of Text1 and Text2, AcceptedWeight.
std::string dumpForm(const Mervalin& form);

}  // namespace mervalin
