// mervalin-replay: runs a scenario against the form, with the user's
// regional settings, and prints what the form holds at each "dump".
#include <fstream>
#include <iostream>
#include <string_view>

#include "logic/quiz.h"
#include "model/form.h"
#include "tools/scenario.h"
#include "tools/standard_streams.h"
#include "ui/platform.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: mervalin-replay [SCENARIO]\n"
    "Runs the scenario in the file SCENARIO, or on standard input, against the\n"
    "Mervalin form after its Load, with the user's regional settings (on Linux\n"
    "those of LC_ALL, LC_NUMERIC or LANG). One command a line:\n"
    "  click List1(0) N    select item N of the metal list\n"
    "  click List1(1) N    select item N of the weight list\n"
    "  click List2 N       select item N of the size list\n"
    "  click LIST \"TEXT\"   select the first item of LIST that reads TEXT\n"
    "  click LIST \"TEXT\" K select the K-th item that reads TEXT (K from 1)\n"
    "  click LIST nowhere  press LIST beside every item\n"
    "  click Command1(0)   press the clear button\n"
    "  move LIST N|\"TEXT\"  the list's own selection moves there (type-ahead,\n"
    "                      an assistive tool); move LIST none: it loses it\n"
    "  key CONTROL KEY     a key on a list, Command1(0), Text1(0) or Text2(N):\n"
    "                      Up, Down, PageUp, PageDown, Home, End, Space, Enter\n"
    "  dump                print the form's state as one line of JSON\n"
    "  show                print what the pupil sees as one line of JSON\n"
    "Blank lines and lines starting with # are skipped.\n"
    "Exit status: 0 at the end of input, 2 on bad input (reported on standard error).\n";

}  // namespace

int main(int argc, char** argv) {
    // Byte for byte alike on every platform, so that one scenario's expected
    // output serves all.
    mervalin::useBinaryStandardStreams();
    if (argc > 2) {
        std::cerr << kUsage;
        return mervalin::kScenarioBadInput;
    }
    const std::string_view argument = argc == 2 ? argv[1] : "";
    if (argument == "--help" || argument == "-h") {
        std::cout << kUsage;
        return 0;
    }

    std::ifstream file;
    if (!argument.empty()) {
        file.open(std::string(argument), std::ios::binary);
        if (!file) {
            std::cerr << "mervalin-replay: cannot read " << argument << '\n';
            return mervalin::kScenarioBadInput;
        }
    }

    // Overflow reports go to standard error, beside the dumps.
    const auto platform = mervalin::createPlatform([](std::string_view message) {
        std::cout.flush();
        std::cerr << "overflow reported: " << message << '\n';
    });
    const auto form = mervalin::startForm(*platform);
    return mervalin::runScenario(argument.empty() ? std::cin : file, *form, std::cout, std::cerr);
}
