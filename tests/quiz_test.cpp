#include "logic/quiz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "data/reference.h"
#include "model/form.h"
#include "tests/support/items.h"
#include "tests/support/plain_platform.h"

namespace mervalin {
namespace {

// The choice lists as Load fills them: the names in table order, which is
// their sorted order, and the weights sorted as texts.
std::vector<std::string> namesInOrder() {
    std::vector<std::string> names;
    for (const Metal& metal : MetalTable) names.emplace_back(metal.name);
    return names;
}
std::vector<std::string> weightsInOrder() {
    std::vector<std::string> weights;
    for (const Metal& metal : MetalTable) weights.emplace_back(metal.weight);
    std::sort(weights.begin(), weights.end());
    return weights;
}

const Metal& metalNamed(std::string_view name) {
    const auto row = std::find_if(MetalTable.begin(), MetalTable.end(),
                                  [name](const Metal& metal) { return metal.name == name; });
    EXPECT_NE(row, MetalTable.end()) << name;
    return *row;
}

class QuizTest : public ::testing::Test {
protected:
    ListBox& metals() { return form.List1(Mervalin::kMetalChoice); }
    ListBox& weights() { return form.List1(Mervalin::kWeightChoice); }
    const std::string& message() const { return form.Text1(0).text(); }

    std::vector<std::string> results() const {
        std::vector<std::string> texts;
        for (int i = 0; i < Mervalin::kText2Count; ++i) texts.push_back(form.Text2(i).text());
        return texts;
    }

    // The user clicks the named metal, then the given weight text (its
    // first entry, or the given one of several).
    void choose(std::string_view name, std::string_view weight) {
        click(metals(), name);
        click(weights(), weight);
    }
    void chooseSize(std::string_view size) { click(form.List2(), size); }
    static void click(ListBox& list, std::string_view text, int occurrence = 1) {
        const int index = itemIndex(list, text, occurrence);
        EXPECT_GE(index, 0) << text;
        list.input(Input::Press, index);
    }

    PlainPlatform platform;
    std::unique_ptr<Mervalin> started = startForm(platform);
    Mervalin& form = *started;
};

using Results = std::vector<std::string>;
const Results kEmpty = {"", "", "", ""};

TEST_F(QuizTest, LoadFillsBothChoiceListsUnselectedAndSelectsSizeFive) {
    EXPECT_EQ(metals().items(), namesInOrder());
    EXPECT_EQ(weights().items(), weightsInOrder());
    EXPECT_EQ(metals().selectedIndex(), -1);
    EXPECT_EQ(weights().selectedIndex(), -1);
    EXPECT_EQ(form.List2().selectedIndex(), 4);
    EXPECT_EQ(form.List2().item(4), "5");
    EXPECT_EQ(message(), IntroText);
    EXPECT_EQ(results(), kEmpty);
    EXPECT_EQ(form.AcceptedWeight, 0);
}

TEST_F(QuizTest, TheHiddenListsHoldTheMetalTableInRowOrder) {
    for (int k = 0; k < static_cast<int>(kMetalCount); ++k) {
        const Metal& metal = MetalTable[static_cast<std::size_t>(k)];
        EXPECT_EQ(form.List1(Mervalin::kNames).item(k), metal.name);
        EXPECT_EQ(form.List1(Mervalin::kWeights).item(k), metal.weight);
        EXPECT_EQ(form.List1(Mervalin::kDescriptions).item(k), metal.description);
        EXPECT_EQ(form.List1(Mervalin::kMeltingPoints).item(k), metal.meltingPoint);
    }
}

TEST_F(QuizTest, ChoosingOnlyOneSideWritesNothing) {
    click(metals(), "Злато");
    EXPECT_EQ(message(), IntroText);
    metals().setSelectedIndex(-1);
    click(weights(), "19.32");
    EXPECT_EQ(message(), IntroText);
    EXPECT_EQ(results(), kEmpty);
}

TEST_F(QuizTest, ACorrectPairingGivesTheVerdictMeltingPointDescriptionAndResults) {
    choose("Злато", "19.32");
    EXPECT_EQ(message(),
              std::string("Вярно Злато относително тегло 19.32, точка на топене 1063°C\r\n") +
                  std::string(metalNamed("Злато").description));
    EXPECT_EQ(form.AcceptedWeight, 19.32);
    EXPECT_EQ(results(), (Results{"65.45", "1,264.45", "125.00", "2,415.00"}));
}

TEST_F(QuizTest, MercuryShowsTwoSpacesBeforeItsMinus) {
    choose("Живак", "13.5");
    EXPECT_TRUE(
        message().starts_with("Вярно Живак относително тегло 13.5, точка на топене  -39°C\r\n"));
}

TEST_F(QuizTest, AWrongPairingSaysSoAndEmptiesTheResults) {
    choose("Злато", "19.32");
    click(weights(), "19.25");
    EXPECT_EQ(message(), "Грешно Злато не е с относително тегло 19.25\r\n");
    EXPECT_EQ(results(), kEmpty);
    EXPECT_EQ(form.AcceptedWeight, 19.32) << "a wrong pairing keeps the last accepted weight";
}

TEST_F(QuizTest, EitherEightPointNineIsRightForCopperAndForNickel) {
    for (const char* name : {"Мед", "Никел"}) {
        click(metals(), name);
        click(weights(), "8.9", 1);
        const std::string first = message();
        click(weights(), "8.9", 2);
        EXPECT_EQ(message(), first) << name;
        EXPECT_TRUE(first.starts_with("Вярно ")) << name;
    }
    EXPECT_NE(message().find("1455°C"), std::string::npos);
}

TEST_F(QuizTest, ClickingTheSameChoicesAgainGivesTheSameMessage) {
    choose("Титан", "4.5");
    const std::string first = message();
    const Results firstResults = results();
    choose("Титан", "4.5");
    EXPECT_EQ(message(), first);
    EXPECT_EQ(results(), firstResults);
}

TEST_F(QuizTest, ANewSizeShowsAtTheNextClickEvenOnTheChosenMetal) {
    choose("Злато", "19.32");
    chooseSize("10");
    EXPECT_EQ(results(), (Results{"65.45", "1,264.45", "125.00", "2,415.00"}));
    // A move that leaves the choice where it was checks nothing.
    metals().input(Input::Move, metals().selectedIndex());
    EXPECT_EQ(results(), (Results{"65.45", "1,264.45", "125.00", "2,415.00"}));
    click(metals(), "Злато");
    EXPECT_EQ(results(), (Results{"523.58", "10,115.63", "1,000.00", "19,320.00"}));
    // Space (or Enter) on the chosen item checks again, as the click does.
    chooseSize("1");
    weights().input(Input::Activate, -1);
    EXPECT_EQ(results(), (Results{"0.52", "10.12", "1.00", "19.32"}));
}

// What screen readers are told: the verdict line after every check, and only
// then, each in turn, the same text again for the same check.
class Announcements : public QuizTest, private FormView {
protected:
    Announcements() { form.setView(this); }
    ~Announcements() override { form.setView(nullptr); }

    std::vector<std::string> heard;

private:
    void insertItem(ControlId, int, std::string_view, std::string_view) override {}
    void clearItems(ControlId) override {}
    void select(ControlId, int) override {}
    void setText(ControlId, std::string_view) override {}
    void announce(std::string_view text) override {
        EXPECT_EQ(text, form.announcement().text());
        heard.emplace_back(text);
    }
};

// What a check announces, built from the form as the pupil sees it.
std::string rightAnnouncement(const Mervalin& form, const Metal& metal) {
    std::string spoken = "Вярно " + std::string(metal.name) + " относително тегло " +
                         std::string(metal.weight) + ", точка на топене " +
                         spokenTemperature(metal.meltingPoint) + ".";
    const char* names[] = {" Vсфера ", ", Mсфера ", ", Vкуб ", ", Mкуб "};
    for (int i = 0; i < Mervalin::kText2Count; ++i) spoken += names[i] + form.Text2(i).text();
    return spoken + ".";
}

TEST_F(Announcements, EveryCheckIsAnnouncedInWordsAndNothingElseIs) {
    const Metal& gold = metalNamed("Злато");
    const std::string wrong =
        "Грешно Злато не е с относително тегло 19.25. Резултатите са изчистени.";

    click(metals(), "Злато");
    chooseSize("7");
    EXPECT_EQ(heard, std::vector<std::string>{}) << "no check, nothing to announce";

    click(weights(), gold.weight);
    const std::string right = rightAnnouncement(form, gold);
    click(weights(), "19.25");
    click(weights(), "19.25");
    // A move that leaves the choice where it was checks nothing.
    weights().input(Input::Move, weights().selectedIndex());
    EXPECT_EQ(heard, (std::vector<std::string>{right, wrong, wrong}));
    EXPECT_EQ(right.find(std::string(gold.description).substr(0, 20)), std::string::npos)
        << "the description stays in the message box";

    form.Command1(0).press();
    EXPECT_EQ(heard.size(), 3U) << "the clear button announces nothing";
    EXPECT_EQ(form.announcement().text(), wrong) << "the last announcement is kept";
}

TEST_F(Announcements, EveryMetalIsAnnouncedWithItsMeltingPointInWords) {
    for (const Metal& metal : MetalTable) {
        choose(metal.name, metal.weight);
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.back(), rightAnnouncement(form, metal));
    }
    EXPECT_EQ(spokenTemperature(" -39°C"), " -39 градуса по Целзий");
    EXPECT_EQ(spokenTemperature("1063°C"), "1063 градуса по Целзий");
    EXPECT_EQ(heard.size(), 2 * kMetalCount - 1)
        << "from the second metal on, its click checks it against the last weight";
}

// The worked values: size, metal, weight and the four boxes.
struct WorkedValue {
    const char* size;
    const char* metal;
    const char* weight;
    Results results;  // sphere volume, sphere mass, cube volume, cube mass
    friend std::ostream& operator<<(std::ostream& out, const WorkedValue& value) {
        return out << value.metal << " at size " << value.size;
    }
};

class WorkedValues : public QuizTest, public ::testing::WithParamInterface<WorkedValue> {};

TEST_P(WorkedValues, MatchTheSchoolTable) {
    const WorkedValue& value = GetParam();
    chooseSize(value.size);
    choose(value.metal, value.weight);
    EXPECT_EQ(results(), value.results);
}

INSTANTIATE_TEST_SUITE_P(
    Quiz, WorkedValues,
    ::testing::Values(
        WorkedValue{"5", "Злато", "19.32", {"65.45", "1,264.45", "125.00", "2,415.00"}},
        WorkedValue{"1", "Алуминий", "2.7", {"0.52", "1.41", "1.00", "2.70"}},
        WorkedValue{"10", "Платина", "21.6", {"523.58", "11,309.40", "1,000.00", "21,600.00"}},
        WorkedValue{"3", "Цинк", "7.14", {"14.14", "100.94", "27.00", "192.78"}},
        // Exact ties in the real data: the balls of titanium and
        // silver at size 10 weigh 2356.125 and 5497.625.
        WorkedValue{"10", "Титан", "4.5", {"523.58", "2,356.13", "1,000.00", "4,500.00"}},
        WorkedValue{"10", "Сребро", "10.5", {"523.58", "5,497.63", "1,000.00", "10,500.00"}}));

TEST_F(QuizTest, TheClearButtonRestoresTheStartExceptTheMessageAndTheSize) {
    chooseSize("7");
    choose("Злато", "19.32");
    form.Command1(0).press();
    EXPECT_EQ(message(), "");
    EXPECT_EQ(results(), kEmpty);
    EXPECT_EQ(metals().items(), namesInOrder());
    EXPECT_EQ(weights().items(), weightsInOrder());
    EXPECT_EQ(metals().selectedIndex(), -1);
    EXPECT_EQ(weights().selectedIndex(), -1);
    EXPECT_EQ(form.List2().item(form.List2().selectedIndex()), "7");

    form.Command1(0).press();
    EXPECT_EQ(metals().count(), static_cast<int>(kMetalCount))
        << "pressing twice refilled the lists twice";
    EXPECT_EQ(message(), "");

    // The next check needs a fresh choice in both lists.
    click(metals(), "Злато");
    EXPECT_EQ(message(), "");
}

TEST_F(QuizTest, OnlyTheFirstClearButtonDoesAnything) {
    choose("Злато", "19.32");
    const std::string before = message();
    Command1_Click(form, 1);
    EXPECT_EQ(message(), before);
    EXPECT_EQ(metals().selectedIndex(), itemIndex(metals(), "Злато"));
}

TEST_F(QuizTest, ANameMissingFromTheTableIsLookedUpAsRowZero) {
    metals().addItem("Unobtainium");
    choose("Unobtainium", "2.7");
    EXPECT_TRUE(
        message().starts_with("Вярно Unobtainium относително тегло 2.7, точка на топене 660°C"));
}

TEST_F(QuizTest, WithoutAChosenSizeTheResultsAreZero) {
    form.List2().setSelectedIndex(-1);
    choose("Злато", "19.32");
    EXPECT_EQ(results(), (Results{"0.00", "0.00", "0.00", "0.00"}));
}

TEST_F(QuizTest, TheLargestCubeThatFitsSixteenBitsIsComputed) {
    form.List2().addItem("31");
    chooseSize("31");
    choose("Алуминий", "2.7");
    EXPECT_EQ(results(), (Results{"15,598.07", "42,114.79", "29,791.00", "80,435.70"}));
    EXPECT_TRUE(platform.overflowReports.empty());
}

TEST_F(QuizTest, AnOverflowIsReportedAndLeavesTheResultsAsTheyWere) {
    for (const char* size : {"32", "40", "182", "40000", "-33"}) form.List2().addItem(size);
    choose("Злато", "19.32");
    const Results before = results();
    const std::string verdict = message();
    for (const char* size : {"32", "40", "182", "40000", "-33"}) {
        chooseSize(size);
        click(weights(), "19.32");
        EXPECT_EQ(results(), before) << size;
        EXPECT_EQ(message(), verdict) << size;
    }
    ASSERT_EQ(platform.overflowReports.size(), 5u);
    EXPECT_EQ(platform.overflowReports.front(), kOverflowMessage);
}

TEST_F(QuizTest, AWeightTooLargeForTheMassIsReportedAsAnOverflow) {
    const std::string huge = "9" + std::string(307, '0');  // 9e307: its cube mass overflows
    form.List1(Mervalin::kNames).addItem("Тежък");
    form.List1(Mervalin::kWeights).addItem(huge);
    form.List1(Mervalin::kDescriptions).addItem("");
    form.List1(Mervalin::kMeltingPoints).addItem("");
    metals().addItem("Тежък");
    weights().addItem(huge);
    choose("Тежък", huge);
    EXPECT_EQ(results(), kEmpty);
    EXPECT_EQ(platform.overflowReports.size(), 1u);
}

}  // namespace
}  // namespace mervalin
