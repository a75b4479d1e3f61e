#include "logic/quiz.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "logic/numbers.h"
#include "model/form.h"
#include "model/platform.h"

namespace mervalin {

namespace {

// The quiz's value of pi, kept as the school tables give it.
constexpr double kPi = 3.1415;

// The pieces of the verdicts.
constexpr std::string_view kRight = "Вярно ";
constexpr std::string_view kWrong = "Грешно ";
constexpr std::string_view kWeightIs = " относително тегло ";
constexpr std::string_view kWeightIsNot = " не е с относително тегло ";
constexpr std::string_view kMeltingPoint = ", точка на топене ";

// The row of the metal table with this name: the last that has it, as the
// check's scan finds it; row 0 when there is none.
int metalRow(const Mervalin& form, std::string_view name) {
    const ListBox& names = form.List1(Mervalin::kNames);
    int k = 0;
    const int n = names.count();
    for (int i = 0; i < n; ++i) {
        if (names.item(i) == name) k = i;
    }
    return k;
}

void clearResults(Mervalin& form) {
    for (int i = 0; i < Mervalin::kText2Count; ++i) form.Text2(i).setText("");
}

void attachHandlers(Mervalin& form) {
    for (int i = 0; i < Mervalin::kList1Count; ++i) {
        form.List1(i).setClickHandler([&form, i] { List1_Click(form, i); });
    }
    form.Command1(0).setClickHandler([&form] { Command1_Click(form, 0); });
}

}  // namespace

std::unique_ptr<Mervalin> startForm(Platform& platform) {
    auto form = std::make_unique<Mervalin>(platform);
    attachHandlers(*form);
    Form_Load(*form);
    return form;
}

void Form_Load(Mervalin& form) {
    ResetLists(form);
    form.List2().setSelectedIndex(4);
}

void List1_Click(Mervalin& form, int /*index*/) {
    const int a = form.List1(Mervalin::kMetalChoice).selectedIndex();
    const int b = form.List1(Mervalin::kWeightChoice).selectedIndex();
    if (a > -1 && b > -1) {
        CheckPair(form);
        form.announcement().announce(spokenVerdict(form));
    }
}

void Command1_Click(Mervalin& form, int index) {
    if (index != 0) return;
    ResetLists(form);
    form.Text1(0).setText("");
}

void ResetLists(Mervalin& form) {
    ListBox& metals = form.List1(Mervalin::kMetalChoice);
    ListBox& weights = form.List1(Mervalin::kWeightChoice);
    metals.clear();
    weights.clear();
    clearResults(form);
    const ListBox& names = form.List1(Mervalin::kNames);
    const ListBox& weightColumn = form.List1(Mervalin::kWeights);
    const int n = names.count();
    for (int i = 0; i < n; ++i) {
        metals.addItem(names.item(i));
        weights.addItem(weightColumn.item(i));
    }
}

void CheckPair(Mervalin& form) {
    const ListBox& metals = form.List1(Mervalin::kMetalChoice);
    const ListBox& weights = form.List1(Mervalin::kWeightChoice);
    const std::string& name = metals.item(metals.selectedIndex());
    const std::string& weight = weights.item(weights.selectedIndex());

    // The last row with the chosen name wins; row 0 when there is none.
    const int k = metalRow(form, name);

    TextBox& message = form.Text1(0);
    if (form.List1(Mervalin::kWeights).item(k) == weight) {
        message.setText(kRight);
        form.AcceptedWeight = readNumber(weight);
        message.setText(message.text() + name + std::string(kWeightIs) + weight +
                        std::string(kMeltingPoint) + form.List1(Mervalin::kMeltingPoints).item(k) +
                        "\r\n");
        message.setText(message.text() + form.List1(Mervalin::kDescriptions).item(k));
        ComputeBodies(form);
    } else {
        message.setText(kWrong);
        message.setText(message.text() + name + std::string(kWeightIsNot) + weight + "\r\n");
        clearResults(form);
    }
}

std::string_view verdictLine(const Mervalin& form) {
    const std::string_view message = form.Text1(0).text();
    return message.substr(0, message.find("\r\n"));
}

std::string spokenTemperature(std::string_view meltingPoint) {
    constexpr std::string_view kCelsius = "°C";
    if (!meltingPoint.ends_with(kCelsius)) return std::string(meltingPoint);
    meltingPoint.remove_suffix(kCelsius.size());
    return std::string(meltingPoint) + " градуса по Целзий";
}

std::string spokenVerdict(const Mervalin& form) {
    const ListBox& metals = form.List1(Mervalin::kMetalChoice);
    const ListBox& weights = form.List1(Mervalin::kWeightChoice);
    const int chosen = weights.selectedIndex();
    const std::string& name = metals.item(metals.selectedIndex());
    const std::string& weight = weights.item(chosen);
    std::string spokenWeight = weights.spokenItem(chosen);
    if (spokenWeight.empty()) spokenWeight = weight;

    const int k = metalRow(form, name);
    if (form.List1(Mervalin::kWeights).item(k) != weight) {
        return std::string(kWrong) + name + std::string(kWeightIsNot) + spokenWeight +
               ". Резултатите са изчистени.";
    }
    std::string spoken = std::string(kRight) + name + std::string(kWeightIs) + spokenWeight +
                         std::string(kMeltingPoint) +
                         spokenTemperature(form.List1(Mervalin::kMeltingPoints).item(k)) + ".";
    for (int i = 0; i < Mervalin::kText2Count; ++i) {
        // The label's name without its "=", which a voice would say.
        std::string_view label = Mervalin::kResultNames[static_cast<std::size_t>(i)];
        if (label.ends_with('=')) label.remove_suffix(1);
        spoken += i == 0 ? " " : ", ";
        spoken += std::string(label) + " " + form.Text2(i).text();
    }
    return spoken + ".";
}

void ComputeBodies(Mervalin& form) {
    const ListBox& sizes = form.List2();
    const int s = sizes.selectedIndex();
    // A size list without a selection reads as size 0.
    const std::string_view t = s >= 0 ? std::string_view(sizes.item(s)) : std::string_view();

    Platform& platform = form.platform();
    const std::optional<std::int16_t> d = roundToInt16(readNumber(t));
    std::optional<std::int16_t> area;
    std::optional<std::int16_t> cube;
    if (d) area = multiplyInt16(*d, *d);
    if (area) cube = multiplyInt16(*area, *d);
    if (!cube) {
        platform.reportOverflow(kOverflowMessage);
        return;
    }

    const double v = *cube;
    const double sphere = (v * kPi) / 6;
    const double weight = form.AcceptedWeight;
    // Every result is computed before any box is written, so an overflow
    // leaves all four as they were.
    const std::array<double, Mervalin::kText2Count> results = {sphere, sphere * weight, v,
                                                               weight * v};
    for (double result : results) {
        if (!std::isfinite(result)) {
            platform.reportOverflow(kOverflowMessage);
            return;
        }
    }
    for (int box : {Mervalin::kCubeVolume, Mervalin::kCubeMass, Mervalin::kSphereVolume,
                    Mervalin::kSphereMass}) {
        const double result = results[static_cast<std::size_t>(box)];
        form.Text2(box).setText(platform.localiseNumber(fixedTwoDecimals(result)));
    }
}

}  // namespace mervalin
