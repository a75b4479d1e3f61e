// Writes the design table of ui/layout.h as JSON to standard output: the
// file ui/layout.json, which the page's build and the Python tests read
// (assets/generate.sh makes it with this program).
//
//   layout-json
#include <iostream>

#include "tools/layout_json.h"

int main(int argc, char**) {
    if (argc > 1) {
        std::cerr << "Usage: layout-json   (writes ui/layout.json to standard output)\n";
        return 2;
    }
    std::cout << mervalin::layoutJson();
    return std::cout ? 0 : 1;
}
