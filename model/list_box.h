// A list box as the form's logic sees it: an ordered list of texts, an
// optional sort order fixed at creation, and at most one selected item.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mervalin {

class Platform;

// What a front end is told so that its native control shows the model.
// Calls arrive after the model has changed.
class ListBoxObserver {
public:
    virtual void itemInserted(int index) = 0;
    virtual void cleared() = 0;
    virtual void selectionChanged(int index) = 0;

protected:
    ~ListBoxObserver() = default;
};

class ListBox {
public:
    enum class Order { AsAdded, Sorted };

    // The selected index is 16-bit, so a list holds at most this many items.
    static constexpr int kMaxItems = INT16_MAX;

    // A sorted list orders its items by platform.compareText(); the platform
    // must outlive the list.
    ListBox(Order order, const Platform& platform);

    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    bool sorted() const { return order_ == Order::Sorted; }
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const;
    const std::vector<std::string>& items() const { return items_; }

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

    // How the user pressed an item, as the front end saw it.
    enum class Input {
        Mouse,     // a click: the button went down on an item and came up
        Keyboard,  // a key that moves the selection: arrows, Home, End, a letter
    };

    // What a front end reports, and all it reports: the user pressed item
    // index of the shown list. For Mouse, index is the item selected when the
    // button came up; for Keyboard, the item the key left selected. The list
    // then decides:
    //   - a click selects the item and raises Click, also on the item already
    //     chosen, so that the check runs again and a newly chosen size shows;
    //   - a key raises Click only when it moved the selection, once per move;
    //     a key that leaves it where it was (Down on the last item) raises
    //     nothing.
    // An index outside 0..count()-1 changes nothing. The front end shows
    // selectedIndex() afterwards, whatever its own control did meanwhile.
    // Returns whether Click was raised.
    bool press(int index, Input input);

    // The Click handler of this list; empty for a list without one.
    void setClickHandler(std::function<void()> handler) { click_ = std::move(handler); }

    // The front end that shows this list, or null. Not owned.
    void setObserver(ListBoxObserver* observer) { observer_ = observer; }

private:
    Order order_;
    const Platform& platform_;
    std::vector<std::string> items_;
    std::int16_t selected_ = -1;
    std::function<void()> click_;
    ListBoxObserver* observer_ = nullptr;
};

}  // namespace mervalin
