// The design table of ui/layout.h as JSON, for what is not C++: the page's
// build (ui/web/make_page.py) and the Python tests read ui/layout.json,
// which layout-json writes with this.
#pragma once

#include <string>

namespace mervalin {

// The window (caption, font, client size in twips and in pixels at 96 DPI),
// the colours by role, the system colour each role takes in high contrast,
// the chosen item's, the system colours of a desktop that gives none, every
// control in creation order with its id, name ("List1(0)"), kind, place,
// properties, caption, whether it is the title and accessible name, and the
// Tab order by name. Ends with a line break.
std::string layoutJson();

}  // namespace mervalin
