// mervalin-replay: runs a scenario against the form, with the user's
// regional settings, and prints what the form holds at each "dump".
#include <fstream>
#include <iostream>
#include <string_view>

#include "logic/quiz.h"
#include "model/form.h"
#include "tools/scenario.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "ui/win32/platform.h"
using RegionalPlatform = mervalin::WindowsPlatform;
#define MERVALIN_REGIONAL_SETTINGS "the user's regional settings"
#else
#include "ui/qt/platform.h"
using RegionalPlatform = mervalin::QtPlatform;
#define MERVALIN_REGIONAL_SETTINGS "the regional settings of LC_ALL,\nLC_NUMERIC or LANG"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: mervalin-replay [SCENARIO]\n"
    "Runs the scenario in the file SCENARIO, or on standard input, against the\n"
    "Mervalin form after its Load, using " MERVALIN_REGIONAL_SETTINGS
    ". One command a line:\n"
    "  click List1(0) N    select item N of the metal list\n"
    "  click List1(1) N    select item N of the weight list\n"
    "  click List2 N       select item N of the size list\n"
    "  click Command1(0)   press the clear button\n"
    "  dump                print the form's state as one line of JSON\n"
    "Blank lines and lines starting with # are skipped.\n"
    "Exit status: 0 at the end of input, 2 on bad input (reported on standard error).\n";

// Overflow reports go to standard error, beside the dumps.
class ReplayPlatform final : public RegionalPlatform {
public:
    void reportOverflow(std::string_view message) override {
        std::cout.flush();
        std::cerr << "overflow reported: " << message << '\n';
    }
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Byte for byte as on Linux: no CR added before LF, so that one
    // scenario's expected output serves both.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
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

    ReplayPlatform platform;
    mervalin::Mervalin form(platform);
    mervalin::attachHandlers(form);
    mervalin::Form_Load(form);
    return mervalin::runScenario(argument.empty() ? std::cin : file, form, std::cout, std::cerr);
}
