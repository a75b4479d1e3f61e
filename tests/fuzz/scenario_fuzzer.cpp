// libFuzzer target for the scenario runner's input: any bytes at all are a
// scenario that mervalin-replay may be handed. Each input runs against a
// freshly created and loaded form, as the runner does, and afterwards the
// form must still be one the user could have reached.
//
// A broken rule traps, so that libFuzzer records the input as a finding just
// as it does a crash or a sanitizer report.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "data/reference.h"
#include "logic/quiz.h"
#include "model/form.h"
#include "tests/support/plain_platform.h"
#include "tools/scenario.h"

namespace {

// Takes the dumps and throws them away: building them is the work under
// test, keeping them would only cost memory.
class DiscardBuffer final : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void require(bool rule) {
    if (!rule) __builtin_trap();
}

// A list the user chooses from: its items never change in number, and its
// selection is nothing or one of them.
void requireChoiceList(const mervalin::ListBox& list, std::size_t items) {
    require(list.count() == static_cast<int>(items));
    require(list.selectedIndex() >= -1 && list.selectedIndex() < list.count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mervalin::PlainPlatform platform;
    const auto started = mervalin::startForm(platform);
    mervalin::Mervalin& form = *started;

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    DiscardBuffer discard;
    std::ostream out(&discard);
    std::ostringstream err;
    const int status = mervalin::runScenario(in, form, out, err);

    // The runner either reaches the end of its input or stops at a bad line
    // with exactly one message naming it; it never stops silently.
    const std::string message = err.str();
    if (status == 0) {
        require(message.empty());
    } else {
        require(status == mervalin::kScenarioBadInput);
        require(message.starts_with("line ") && message.ends_with('\n'));
        require(message.find('\n') == message.size() - 1);
    }

    requireChoiceList(form.List1(mervalin::Mervalin::kMetalChoice), mervalin::kMetalCount);
    requireChoiceList(form.List1(mervalin::Mervalin::kWeightChoice), mervalin::kMetalCount);
    requireChoiceList(form.List2(), mervalin::kSizeCount);
    // The table's hidden columns are the program's own and never edited.
    for (int column = mervalin::Mervalin::kNames; column < mervalin::Mervalin::kList1Count;
         ++column) {
        require(form.List1(column).count() == static_cast<int>(mervalin::kMetalCount));
    }
    // Sizes 1 to 10 always fit; an overflow report here would be a wrong one.
    require(platform.overflowReports.empty());
    return 0;
}
