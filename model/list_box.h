// A list box as the form's logic sees it: an ordered list of texts, an
// optional sort order fixed at creation, and at most one selected item.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/controls.h"

namespace mervalin {

class Platform;

class ListBox {
public:
    enum class Order { AsAdded, Sorted };
    // What the items are: words, shown and spoken as they are, or numbers
    // written with "." ("19.32"), which screen readers are given in the
    // reading locale's form ("19,32" under Bulgarian settings).
    enum class Items { Words, Numbers };

    // The selected index is 16-bit, so a list holds at most this many items.
    static constexpr int kMaxItems = INT16_MAX;

    // A sorted list orders its items by platform.compareText(); the platform
    // must outlive the list.
    ListBox(ControlId id, Order order, const Platform& platform, Items items = Items::Words);

    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    ControlId id() const { return id_; }
    bool sorted() const { return order_ == Order::Sorted; }
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const;
    const std::vector<std::string>& items() const { return items_; }

    // What screen readers are to say for item index when it differs from its
    // text: a number by the user's regional settings; empty otherwise.
    std::string spokenItem(int index) const;

    // Appends to an unsorted list; inserts a sorted list's text after the
    // items that sort before or equal to it. Returns the new item's index, or
    // -1 when the list is full. A selected item stays selected. Never raises
    // Click.
    int addItem(std::string_view text);

    // Removes every item and the selection. Never raises Click.
    void clear();

    std::int16_t selectedIndex() const { return selected_; }

    // The program's own choice: selects item index, or nothing for -1, then
    // raises Click, every time. Returns false and changes nothing when index
    // is outside -1..count()-1.
    bool setSelectedIndex(int index);

    // The user's input on the shown list, as the window reports it; the list
    // decides what it means:
    //   - Press on an item selects it and raises Click, also on the item
    //     already chosen, so that the check runs again and a newly chosen
    //     size shows; a press on no item (-1) changes nothing;
    //   - Move selects the item and raises Click when it is another than the
    //     chosen one; a move to the chosen item, or to none, changes nothing;
    //   - Activate (Space or Enter) presses the chosen item: it raises Click
    //     again, as a press on it does; nothing when none is chosen;
    //   - the moving keys move the choice by one item (Up, Down), by
    //     pageRows - 1 items, at least one (PageUp, PageDown), or to the
    //     first or last item (Home, End), and raise Click when it moved; in a
    //     list with nothing chosen each of them chooses the first item, End
    //     the last.
    // Any other item index changes nothing. The window then shows
    // selectedIndex(), whatever its own control did meanwhile. Returns
    // whether Click was raised.
    bool input(Input input, int item, int pageRows = 1);

    // The Click handler of this list; empty for a list without one.
    void setClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

    // The window that shows this list, or null. Not owned.
    void setView(FormView* view) { view_ = view; }

private:
    // Where a moving key takes the choice.
    int target(Input key, int pageRows) const;

    ControlId id_;
    Order order_;
    const Platform& platform_;
    Items kind_;
    std::vector<std::string> items_;
    std::int16_t selected_ = -1;
    std::function<void()> click_;
    FormView* view_ = nullptr;
};

}  // namespace mervalin
