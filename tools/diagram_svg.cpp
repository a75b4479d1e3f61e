// Writes Picture1's diagram as SVG to standard output, as drawn at 96 DPI
// or at the DPI given: at 96, the reference drawing assets/diagram.svg,
// which assets/generate.sh makes with this program; at others, what the
// tests hold the windows' drawing at that DPI to.
//
//   diagram-svg [DPI]
#include <cstdlib>
#include <iostream>

#include "ui/diagram.h"

int main(int argc, char** argv) {
    const int dpi = argc > 1 ? std::atoi(argv[1]) : 96;
    if (argc > 2 || dpi < 24 || dpi > 960) {
        std::cerr << "Usage: diagram-svg [DPI]   (DPI from 24 to 960; 96 unless given)\n";
        return 2;
    }
    std::cout << mervalin::diagram::svg(mervalin::diagram::drawingAt(dpi));
    return std::cout ? 0 : 1;
}
