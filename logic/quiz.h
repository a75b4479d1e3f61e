// The form's event handlers and the procedures they run. Each handler runs
// to completion on the user-interface thread before the next event.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace mervalin {

class Mervalin;
class Platform;

// Shown through Platform::reportOverflow when the cube or sphere results
// cannot be computed for the chosen size.
inline constexpr std::string_view kOverflowMessage =
    "Препълване при пресмятането: избраният размер е твърде голям. "
    "Резултатите не са променени.";

// Starts Mervalin: creates the form on the platform, connects the Click of
// every List1 element and of Command1(0) to the handlers below, and runs the
// form's Load. The one way the program, the tools and the tests make a form
// that behaves; a front end then shows it. The platform must outlive it.
std::unique_ptr<Mervalin> startForm(Platform& platform);

// Load: runs once after the form is created and before it is first shown.
// Fills the choice lists and selects size "5".
void Form_Load(Mervalin& form);

// Click of List1(index): checks the pairing once both a metal and a weight
// are chosen, then announces spokenVerdict() to screen readers; otherwise
// does nothing. Every check is announced, also one that repeats the last.
void List1_Click(Mervalin& form, int index);

// Click of Command1(index): the clear button restores the starting state
// and empties the message box.
void Command1_Click(Mervalin& form, int index);

// The procedures of the form that the handlers run.

// Refills both choice lists from the metal table, unselected, and empties
// the result boxes. The message box, List2 and AcceptedWeight are untouched.
void ResetLists(Mervalin& form);

// Writes the verdict on the chosen metal and weight into the message box;
// on a correct pairing also sets AcceptedWeight and runs ComputeBodies, on a
// wrong one empties the result boxes. Both lists must have a selection.
void CheckPair(Mervalin& form);

// The verdict line of the message box: its text up to the first line break,
// without the description ("Вярно Злато относително тегло 19.32, точка на
// топене 1063°C"). What screen readers are told after each check; the
// description stays in the message box, to be read there.
std::string_view verdictLine(const Mervalin& form);

// What screen readers are told after a check, in words a voice reads right:
// the verdict line with the chosen weight in the reading locale's form
// ("19,32" under Bulgarian settings) and the melting point in words ("1063
// градуса по Целзий"); then the four results by name after a correct
// pairing ("Vсфера 65,45, ..."), or that they were cleared after a wrong
// one. Both lists must have a selection.
std::string spokenVerdict(const Mervalin& form);

// A melting point as it is written in the table, "1063°C" or " -39°C", in
// words: "1063 градуса по Целзий", " -39 градуса по Целзий". Any other text
// stays as it is.
std::string spokenTemperature(std::string_view meltingPoint);

// Writes the volume and mass of a cube of side d and of a ball of diameter d
// (d the chosen size) into the result boxes. On an overflow it reports
// kOverflowMessage and leaves the boxes as they were.
void ComputeBodies(Mervalin& form);

}  // namespace mervalin
