#include "tools/scenario.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "model/form.h"

namespace mervalin {

namespace {

using Json = nlohmann::ordered_json;

// A fault in one line of a scenario.
struct BadLine {
    std::string message;
};

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    constexpr std::string_view kSpace = " \t\r";
    std::size_t pos = line.find_first_not_of(kSpace);
    while (pos != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(kSpace, pos), line.size());
        words.push_back(line.substr(pos, end - pos));
        pos = line.find_first_not_of(kSpace, end);
    }
    return words;
}

std::string quoted(std::string_view word) { return "\"" + std::string(word) + "\""; }

// A control as written in a scenario: "List2" or "List1(0)".
struct ControlName {
    std::string_view name;
    std::optional<int> index;
};

ControlName parseControl(std::string_view word) {
    const std::size_t open = word.find('(');
    if (open == std::string_view::npos) return {word, std::nullopt};
    const std::string_view digits = word.substr(open + 1, word.size() - open - 2);
    int index = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (word.back() != ')' || digits.empty() || error != std::errc() ||
        end != digits.data() + digits.size() || index < 0) {
        throw BadLine{"control " + quoted(word) + " is not a name or a name with an element " +
                      "index such as List1(0)"};
    }
    return {word.substr(0, open), index};
}

int parseItemIndex(const std::vector<std::string_view>& words, const ListBox& list,
                   std::string_view control) {
    if (words.size() < 3) throw BadLine{"click " + std::string(control) + " needs an item index"};
    if (words.size() > 3) throw BadLine{"unexpected " + quoted(words[3]) + " after the item index"};
    const std::string_view word = words[2];
    long long index = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), index);
    if (end != word.data() + word.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range)) {
        throw BadLine{"item index " + quoted(word) + " is not a whole number"};
    }
    if (error == std::errc() && index < 0) {
        throw BadLine{"item index " + std::string(word) + " is negative"};
    }
    if (error != std::errc() || index >= list.count()) {
        throw BadLine{"item index " + std::string(word) + " is out of range: " +
                      std::string(control) + " has " + std::to_string(list.count()) +
                      " items, 0.." + std::to_string(list.count() - 1)};
    }
    return static_cast<int>(index);
}

void click(const std::vector<std::string_view>& words, Mervalin& form) {
    if (words.size() < 2) throw BadLine{"click needs a control, such as List1(0)"};
    const std::string_view word = words[1];
    const ControlName control = parseControl(word);

    if (control.name == "List1") {
        if (!control.index) {
            throw BadLine{"List1 is a control array: name an element, List1(0) or List1(1)"};
        }
        if (*control.index >= Mervalin::kList1Count) {
            throw BadLine{"List1 has no element " + std::to_string(*control.index)};
        }
        if (!Mervalin::isShown(*control.index)) {
            throw BadLine{std::string(word) + " is never shown, so the user cannot click it"};
        }
        ListBox& list = form.List1(*control.index);
        list.setSelectedIndex(parseItemIndex(words, list, word));
    } else if (control.name == "List2") {
        if (control.index) throw BadLine{"List2 is a single control, not a control array"};
        form.List2().setSelectedIndex(parseItemIndex(words, form.List2(), word));
    } else if (control.name == "Command1") {
        if (!control.index) throw BadLine{"Command1 is a control array: name Command1(0)"};
        if (*control.index != 0) {
            throw BadLine{"Command1 has no element " + std::to_string(*control.index)};
        }
        if (words.size() > 2)
            throw BadLine{"unexpected " + quoted(words[2]) + " after Command1(0)"};
        form.Command1(0).press();
    } else if (control.name == "Text1" || control.name == "Text2" || control.name == "Label1" ||
               control.name == "Picture1") {
        throw BadLine{std::string(control.name) + " does nothing when clicked"};
    } else {
        throw BadLine{"unknown control " + quoted(control.name)};
    }
}

Json listState(const ListBox& list) {
    return Json{{"items", list.items()}, {"selected", list.selectedIndex()}};
}

}  // namespace

std::string dumpForm(const Mervalin& form) {
    Json lists = Json::array();
    for (int i = 0; i < Mervalin::kList1Count; ++i) lists.push_back(listState(form.List1(i)));
    Json results = Json::array();
    for (int i = 0; i < Mervalin::kText2Count; ++i) results.push_back(form.Text2(i).text());

    // Whole weights are written without a fraction, as 0 rather than 0.0.
    const double weight = form.AcceptedWeight;
    Json acceptedWeight = weight;
    if (std::trunc(weight) == weight && std::fabs(weight) < 0x1p53) {
        acceptedWeight = static_cast<std::int64_t>(weight);
    }

    const Json state = {{"List1", std::move(lists)},
                        {"List2", listState(form.List2())},
                        {"Text1", Json::array({form.Text1(0).text()})},
                        {"Text2", std::move(results)},
                        {"AcceptedWeight", std::move(acceptedWeight)}};
    // Texts that are not valid UTF-8 are written with U+FFFD rather than
    // failing the whole dump.
    return state.dump(-1, ' ', false, Json::error_handler_t::replace);
}

int runScenario(std::istream& in, Mervalin& form, std::ostream& out, std::ostream& err) {
    std::string line;
    for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
        const std::vector<std::string_view> words = splitWords(line);
        if (words.empty() || words.front().front() == '#') continue;
        try {
            if (words.front() == "click") {
                click(words, form);
            } else if (words.front() == "dump") {
                if (words.size() > 1)
                    throw BadLine{"unexpected " + quoted(words[1]) + " after dump"};
                out << dumpForm(form) << '\n';
            } else {
                throw BadLine{"unknown command " + quoted(words.front()) +
                              "; expected click or dump"};
            }
        } catch (const BadLine& bad) {
            out.flush();
            err << "line " << lineNumber << ": " << bad.message << '\n';
            return kScenarioBadInput;
        }
    }
    out.flush();
    return 0;
}

}  // namespace mervalin
