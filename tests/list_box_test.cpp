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

// Records what a front end would be told.
class RecordingObserver final : public ListBoxObserver {
public:
    void itemInserted(int index) override { events.push_back("insert " + std::to_string(index)); }
    void cleared() override { events.push_back("clear"); }
    void selectionChanged(int index) override {
        events.push_back("select " + std::to_string(index));
    }
    std::vector<std::string> events;
};

class ListBoxTest : public ::testing::Test {
protected:
    ListBoxTest() {
        sorted.setClickHandler([this] { ++clicks; });
        sorted.setObserver(&observer);
    }
    PlainPlatform platform;
    ListBox sorted{ListBox::Order::Sorted, platform};
    RecordingObserver observer;
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
    ListBox list(ListBox::Order::AsAdded, platform);
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
        EXPECT_FALSE(sorted.press(index, ListBox::Input::Mouse)) << index;
        EXPECT_FALSE(sorted.press(index, ListBox::Input::Keyboard)) << index;
    }
    EXPECT_FALSE(sorted.press(-1, ListBox::Input::Mouse)) << "a press always names an item";
    EXPECT_EQ(sorted.selectedIndex(), 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(observer.events.empty());
}

// What the user's presses, as the front ends report them, raise.
struct Press {
    int selectedBefore;
    int index;
    ListBox::Input input;
    bool raisesClick;
    friend std::ostream& operator<<(std::ostream& out, const Press& press) {
        return out << (press.input == ListBox::Input::Mouse ? "click" : "key") << " on "
                   << press.index << " with " << press.selectedBefore << " chosen";
    }
};

class UserPress : public ListBoxTest, public ::testing::WithParamInterface<Press> {};

TEST_P(UserPress, SelectsTheItemAndRaisesClickAsTheListDecides) {
    const Press& press = GetParam();
    for (const char* text : {"a", "b", "c"}) sorted.addItem(text);
    sorted.setSelectedIndex(press.selectedBefore);
    clicks = 0;
    EXPECT_EQ(sorted.press(press.index, press.input), press.raisesClick);
    EXPECT_EQ(clicks, press.raisesClick ? 1 : 0);
    EXPECT_EQ(sorted.selectedIndex(), press.index);
}

INSTANTIATE_TEST_SUITE_P(ListBox, UserPress,
                         ::testing::Values(
                             // A click always checks again, also on the item already chosen.
                             Press{-1, 0, ListBox::Input::Mouse, true},
                             Press{0, 2, ListBox::Input::Mouse, true},
                             Press{2, 2, ListBox::Input::Mouse, true},
                             // A key raises Click once per move; one that moved nothing, none.
                             Press{-1, 0, ListBox::Input::Keyboard, true},
                             Press{0, 1, ListBox::Input::Keyboard, true},
                             Press{2, 2, ListBox::Input::Keyboard, false}));

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
    ListBox list(ListBox::Order::AsAdded, platform);
    for (int i = 0; i < ListBox::kMaxItems; ++i) list.addItem("");
    EXPECT_EQ(list.addItem("one too many"), -1);
    EXPECT_EQ(list.count(), ListBox::kMaxItems);
    EXPECT_TRUE(list.setSelectedIndex(ListBox::kMaxItems - 1));
    EXPECT_EQ(list.selectedIndex(), ListBox::kMaxItems - 1);
}

}  // namespace
}  // namespace mervalin
