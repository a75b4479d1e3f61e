#include "tools/scenario.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <istream>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "model/form.h"
#include "ui/input.h"

namespace mervalin {

namespace {

using Json = nlohmann::ordered_json;

// A fault in one line of a scenario.
struct BadLine {
    std::string message;
};

// The words of a line, split at spaces and tabs. A word that begins with a
// double quote runs to the next one, spaces and all, and keeps its quotes.
std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    constexpr std::string_view kSpace = " \t\r";
    std::size_t pos = line.find_first_not_of(kSpace);
    while (pos != std::string_view::npos) {
        std::size_t end = line.find_first_of(kSpace, pos);
        if (line[pos] == '"') {
            const std::size_t close = line.find('"', pos + 1);
            if (close == std::string_view::npos) throw BadLine{"a text has no closing \""};
            end = close + 1;
        }
        end = std::min(end, line.size());
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

// "TEXT" or "TEXT" K: the K-th item (from 1) of the list that reads TEXT.
int parseItemText(const std::vector<std::string_view>& words, const ListBox& list,
                  std::string_view control) {
    const std::string_view text = words[2].substr(1, words[2].size() - 2);
    long long occurrence = 1;
    if (words.size() > 4) throw BadLine{"unexpected " + quoted(words[4]) + " after the item"};
    if (words.size() == 4) {
        const std::string_view word = words[3];
        const auto [end, error] =
            std::from_chars(word.data(), word.data() + word.size(), occurrence);
        if (end != word.data() + word.size() || error != std::errc() || occurrence < 1) {
            throw BadLine{"occurrence " + quoted(word) + " is not a whole number from 1"};
        }
    }
    long long seen = 0;
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i) == text && ++seen == occurrence) return i;
    }
    throw BadLine{std::string(control) + " has " + std::to_string(seen) + " items that read " +
                  std::string(words[2]) + ", not " + std::to_string(occurrence)};
}

int parseItemIndex(const std::vector<std::string_view>& words, const ListBox& list,
                   std::string_view control, std::string_view command) {
    if (words.size() < 3) {
        throw BadLine{std::string(command) + " " + std::string(control) + " needs an item index"};
    }
    if (words[2].starts_with('"')) return parseItemText(words, list, control);
    if (words.size() > 3) throw BadLine{"unexpected " + quoted(words[3]) + " after the item index"};
    const std::string_view word = words[2];
    // A press beside every item, or a list that lost its selection.
    if ((command == "click" && word == "nowhere") || (command == "move" && word == "none")) {
        return -1;
    }
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

// The control a command names, checked against the form: a shown list, the
// clear button, or (for keys) a text box.
ControlId parseTarget(const std::vector<std::string_view>& words, std::string_view command) {
    if (words.size() < 2) {
        throw BadLine{std::string(command) + " needs a control, such as List1(0)"};
    }
    const std::string_view word = words[1];
    const ControlName control = parseControl(word);
    const auto element = [&](std::string_view name, int count) {
        if (!control.index) {
            throw BadLine{std::string(name) + " is a control array: name an element, such as " +
                          std::string(name) + "(0)"};
        }
        if (*control.index >= count) {
            throw BadLine{std::string(name) + " has no element " + std::to_string(*control.index)};
        }
        return *control.index;
    };
    if (control.name == "List1") {
        if (!control.index) {
            throw BadLine{"List1 is a control array: name an element, List1(0) or List1(1)"};
        }
        const int index = element("List1", Mervalin::kList1Count);
        if (!Mervalin::isShown(index)) {
            throw BadLine{std::string(word) + " is never shown, so the user cannot " +
                          (command == "click" ? "click" : "reach") + " it"};
        }
        return {Array::List1, index};
    }
    if (control.name == "List2") {
        if (control.index) throw BadLine{"List2 is a single control, not a control array"};
        return {Array::List2, 0};
    }
    if (command != "move" && control.name == "Command1") {
        if (!control.index) throw BadLine{"Command1 is a control array: name Command1(0)"};
        return {Array::Command1, element("Command1", 1)};
    }
    if (command == "key" && (control.name == "Text1" || control.name == "Text2")) {
        const bool message = control.name == "Text1";
        return {message ? Array::Text1 : Array::Text2,
                element(control.name, message ? 1 : Mervalin::kText2Count)};
    }
    if (control.name == "Text1" || control.name == "Text2" || control.name == "Label1" ||
        control.name == "Picture1" || control.name == "Command1") {
        const std::string_view does = command == "click"  ? " does nothing when clicked"
                                      : command == "move" ? " has no items to move to"
                                                          : " never takes the focus";
        throw BadLine{std::string(control.name) + std::string(does)};
    }
    throw BadLine{"unknown control " + quoted(control.name)};
}

ListBox& listOf(Mervalin& form, ControlId id) {
    return id.array == Array::List2 ? form.List2() : form.List1(id.index);
}

// click CONTROL [ITEM] and move LIST ITEM.
void pressOrMove(const std::vector<std::string_view>& words, Mervalin& form) {
    const std::string_view command = words.front();
    const ControlId control = parseTarget(words, command);
    if (control.array == Array::Command1) {
        if (words.size() > 2) {
            throw BadLine{"unexpected " + quoted(words[2]) + " after Command1(0)"};
        }
        userInput(form, control, Input::Press);
        return;
    }
    const int item = parseItemIndex(words, listOf(form, control), words[1], command);
    userInput(form, control, command == "click" ? Input::Press : Input::Move, item);
}

struct KeyName {
    std::string_view name;
    Input input;
};
constexpr KeyName kKeys[] = {{"Up", Input::Up},          {"Down", Input::Down},
                             {"PageUp", Input::PageUp},  {"PageDown", Input::PageDown},
                             {"Home", Input::Home},      {"End", Input::End},
                             {"Space", Input::Activate}, {"Enter", Input::Activate}};

// key CONTROL KEY.
void key(const std::vector<std::string_view>& words, Mervalin& form) {
    const ControlId control = parseTarget(words, "key");
    if (words.size() < 3)
        throw BadLine{"key " + std::string(words[1]) + " needs a key, such as Down"};
    if (words.size() > 3) throw BadLine{"unexpected " + quoted(words[3]) + " after the key"};
    for (const KeyName& key : kKeys) {
        if (key.name == words[2]) {
            userInput(form, control, key.input);
            return;
        }
    }
    throw BadLine{"unknown key " + quoted(words[2]) +
                  "; expected Up, Down, PageUp, PageDown, Home, End, Space or Enter"};
}

Json listState(const ListBox& list) {
    return Json{{"items", list.items()}, {"selected", list.selectedIndex()}};
}

// The chosen item's text, or null.
Json chosen(const ListBox& list) {
    const int index = list.selectedIndex();
    return index < 0 ? Json(nullptr) : Json(list.item(index));
}

Json resultTexts(const Mervalin& form) {
    Json results = Json::array();
    for (int i = 0; i < Mervalin::kText2Count; ++i) results.push_back(form.Text2(i).text());
    return results;
}

// Whole weights are written without a fraction, as 0 rather than 0.0.
Json weightNumber(double weight) {
    if (std::trunc(weight) == weight && std::fabs(weight) < 0x1p53) {
        return static_cast<std::int64_t>(weight);
    }
    return weight;
}

// Texts that are not valid UTF-8 are written with U+FFFD rather than
// failing the whole line.
std::string oneLine(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string dumpForm(const Mervalin& form) {
    Json lists = Json::array();
    for (int i = 0; i < Mervalin::kList1Count; ++i) lists.push_back(listState(form.List1(i)));
    return oneLine({{"List1", std::move(lists)},
                    {"List2", listState(form.List2())},
                    {"Text1", Json::array({form.Text1(0).text()})},
                    {"Text2", resultTexts(form)},
                    {"AcceptedWeight", weightNumber(form.AcceptedWeight)},
                    {"Announced", form.announcement().text()}});
}

std::string showForm(const Mervalin& form) {
    return oneLine({{"metal", chosen(form.List1(Mervalin::kMetalChoice))},
                    {"weight", chosen(form.List1(Mervalin::kWeightChoice))},
                    {"size", chosen(form.List2())},
                    {"Text1", Json::array({form.Text1(0).text()})},
                    {"Text2", resultTexts(form)},
                    {"AcceptedWeight", weightNumber(form.AcceptedWeight)}});
}

int runScenario(std::istream& in, Mervalin& form, std::ostream& out, std::ostream& err) {
    std::string line;
    for (long lineNumber = 1; std::getline(in, line); ++lineNumber) {
        try {
            const std::string_view text = line;
            const std::size_t start = text.find_first_not_of(" \t\r");
            if (start == std::string_view::npos || text[start] == '#') continue;
            const std::vector<std::string_view> words = splitWords(text);
            if (words.front() == "click" || words.front() == "move") {
                pressOrMove(words, form);
            } else if (words.front() == "key") {
                key(words, form);
            } else if (words.front() == "dump" || words.front() == "show") {
                if (words.size() > 1) {
                    throw BadLine{"unexpected " + quoted(words[1]) + " after " +
                                  std::string(words.front())};
                }
                // Flushed at once, for a test that answers line by line.
                out << (words.front() == "dump" ? dumpForm(form) : showForm(form)) << std::endl;
            } else {
                throw BadLine{"unknown command " + quoted(words.front()) +
                              "; expected click, move, key, dump or show"};
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
