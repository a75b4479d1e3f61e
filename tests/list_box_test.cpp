#include "model/list_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "data/reference.h"
#include "tests/support/plain_platform.h"

namespace mervalin {
namespace {

constexpr ControlId kList{Array::List1, 0};

// Records what a window would be told.
class RecordingView final : public FormView {
public:
    void insertItem(ControlId list, int index, std::string_view, std::string_view) override {
        record(list, "insert " + std::to_string(index));
    }
    void clearItems(ControlId list) override { record(list, "clear"); }
    void select(ControlId list, int index) override {
        record(list, "select " + std::to_string(index));
    }
    void setText(ControlId, std::string_view) override {}
    void announce(std::string_view) override {}
    std::vector<std::string> events;

private:
    void record(ControlId list, std::string event) {
        EXPECT_EQ(list, kList);
        events.push_back(std::move(event));
    }
};

class ListBoxTest : public ::testing::Test {
protected:
    ListBoxTest() {
        sorted.setClickHandler([this] { ++clicks; });
        sorted.setView(&observer);
    }
    PlainPlatform platform;
    ListBox sorted{kList, ListBox::Order::Sorted, platform};
    RecordingView observer;
    int clicks = 0;
};

TEST_F(ListBoxTest, SortedListInsertsTheWeightsInTextOrder) {
    std::vector<std::string> expected;
    for (const Metal& metal : MetalTable) {
        sorted.addItem(metal.weight);
        expected.emplace_back(metal.weight);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted.items(), expected);
    EXPECT_EQ(clicks, 0) << "adding items raised Click";
}

TEST_F(ListBoxTest, UnsortedListKeepsTheOrderOfAdding) {
    ListBox list(kList, ListBox::Order::AsAdded, platform);
    for (const char* text : {"b", "a", "c"}) list.addItem(text);
    EXPECT_EQ(list.items(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(list.addItem("a"), 3);
}

TEST_F(ListBoxTest, AddReportsWhereTheItemWentAndKeepsTheSelectedItem) {
    sorted.addItem("b");
    sorted.addItem("d");
    sorted.setSelectedIndex(1);
    EXPECT_EQ(sorted.addItem("a"), 0);
    EXPECT_EQ(sorted.addItem("c"), 2);
    EXPECT_EQ(sorted.addItem("e"), 4);
    EXPECT_EQ(sorted.selectedIndex(), 3);
    EXPECT_EQ(sorted.item(sorted.selectedIndex()), "d");
    // An equal text goes after its twins.
    EXPECT_EQ(sorted.addItem("b"), 2);
}

TEST_F(ListBoxTest, ClearEmptiesTheListAndTheSelectionWithoutAClick) {
    sorted.addItem("x");
    sorted.setSelectedIndex(0);
    clicks = 0;
    sorted.clear();
    EXPECT_EQ(sorted.count(), 0);
    EXPECT_EQ(sorted.selectedIndex(), -1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ListBoxTest, SettingTheSelectedIndexRaisesClickEveryTime) {
    sorted.addItem("x");
    sorted.addItem("y");
    EXPECT_TRUE(sorted.setSelectedIndex(1));
    EXPECT_TRUE(sorted.setSelectedIndex(1));
    EXPECT_TRUE(sorted.setSelectedIndex(-1));
    EXPECT_EQ(clicks, 3);
    EXPECT_EQ(sorted.selectedIndex(), -1);
}

TEST_F(ListBoxTest, AnIndexOutsideTheListChangesNothing) {
    sorted.addItem("x");
    sorted.setSelectedIndex(0);
    clicks = 0;
    observer.events.clear();
    for (int index : {-2, 1, 40000, -40000}) {
        EXPECT_FALSE(sorted.setSelectedIndex(index)) << index;
        EXPECT_FALSE(sorted.input(Input::Press, index)) << index;
        EXPECT_FALSE(sorted.input(Input::Move, index)) << index;
    }
    EXPECT_FALSE(sorted.input(Input::Press, -1)) << "a press beside every item";
    EXPECT_FALSE(sorted.input(Input::Move, -1)) << "a lost selection";
    EXPECT_EQ(sorted.selectedIndex(), 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(observer.events.empty());
}

// What the user's input, as the windows report it, does to a list of five
// items "a".."e" that shows three rows at a time.
struct UserInput {
    int selectedBefore;
    Input input;
    int item;
    int selectedAfter;
    bool raisesClick;
    friend std::ostream& operator<<(std::ostream& out, const UserInput& u) {
        return out << "input " << static_cast<int>(u.input) << " on " << u.item << " with "
                   << u.selectedBefore << " chosen";
    }
};

class UserInputs : public ListBoxTest, public ::testing::WithParamInterface<UserInput> {};

TEST_P(UserInputs, MoveTheChoiceAndRaiseClickAsTheListDecides) {
    const UserInput& u = GetParam();
    for (const char* text : {"a", "b", "c", "d", "e"}) sorted.addItem(text);
    sorted.setSelectedIndex(u.selectedBefore);
    clicks = 0;
    EXPECT_EQ(sorted.input(u.input, u.item, 3), u.raisesClick);
    EXPECT_EQ(clicks, u.raisesClick ? 1 : 0);
    EXPECT_EQ(sorted.selectedIndex(), u.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    ListBox, UserInputs,
    ::testing::Values(
        // A press always checks again, also on the item already chosen.
        UserInput{-1, Input::Press, 0, 0, true}, UserInput{0, Input::Press, 2, 2, true},
        UserInput{2, Input::Press, 2, 2, true}, UserInput{2, Input::Press, -1, 2, false},
        // A move checks once per move, and never takes the choice away.
        UserInput{0, Input::Move, 1, 1, true}, UserInput{1, Input::Move, 1, 1, false},
        UserInput{1, Input::Move, -1, 1, false},
        // Space and Enter press the chosen item; with none, nothing.
        UserInput{3, Input::Activate, -1, 3, true}, UserInput{-1, Input::Activate, -1, -1, false},
        // The moving keys: the first of them in a list with no choice chooses
        // the first item (End the last); then they move by one, by a page of
        // two (three rows, one kept in view), or to an end.
        UserInput{-1, Input::Down, -1, 0, true}, UserInput{-1, Input::Up, -1, 0, true},
        UserInput{-1, Input::PageDown, -1, 0, true}, UserInput{-1, Input::End, -1, 4, true},
        UserInput{0, Input::Down, -1, 1, true}, UserInput{0, Input::Up, -1, 0, false},
        UserInput{4, Input::Down, -1, 4, false}, UserInput{0, Input::PageDown, -1, 2, true},
        UserInput{3, Input::PageDown, -1, 4, true}, UserInput{1, Input::PageUp, -1, 0, true},
        UserInput{2, Input::Home, -1, 0, true}, UserInput{4, Input::End, -1, 4, false}));

TEST_F(ListBoxTest, TheObserverHearsOfEveryChangeBeforeTheClick) {
    std::vector<std::string> seenAtClick;
    sorted.setClickHandler([&] { seenAtClick = observer.events; });
    sorted.addItem("b");
    sorted.addItem("a");
    sorted.setSelectedIndex(1);
    EXPECT_EQ(seenAtClick, (std::vector<std::string>{"insert 0", "insert 0", "select 1"}));
    sorted.clear();
    EXPECT_EQ(observer.events.back(), "clear");
}

TEST_F(ListBoxTest, TheListHoldsNoMoreItemsThanA16BitIndexCanSelect) {
    ListBox list(kList, ListBox::Order::AsAdded, platform);
    for (int i = 0; i < ListBox::kMaxItems; ++i) list.addItem("");
    EXPECT_EQ(list.addItem("one too many"), -1);
    EXPECT_EQ(list.count(), ListBox::kMaxItems);
    EXPECT_TRUE(list.setSelectedIndex(ListBox::kMaxItems - 1));
    EXPECT_EQ(list.selectedIndex(), ListBox::kMaxItems - 1);
}

}  // namespace
}  // namespace mervalin
