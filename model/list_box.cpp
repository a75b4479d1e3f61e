#include "model/list_box.h"

#include <algorithm>
#include <cassert>

#include "model/platform.h"

namespace mervalin {

ListBox::ListBox(Order order, const Platform& platform) : order_(order), platform_(platform) {}

const std::string& ListBox::item(int index) const {
    assert(index >= 0 && index < count());
    return items_[static_cast<std::size_t>(index)];
}

int ListBox::addItem(std::string_view text) {
    if (count() >= kMaxItems) return -1;
    auto at = items_.end();
    if (sorted()) {
        at = std::upper_bound(items_.begin(), items_.end(), text,
                              [this](std::string_view a, const std::string& b) {
                                  return platform_.compareText(a, b) < 0;
                              });
    }
    const int index = static_cast<int>(at - items_.begin());
    items_.emplace(at, text);
    if (selected_ >= index) ++selected_;
    if (observer_) observer_->itemInserted(index);
    return index;
}

void ListBox::clear() {
    items_.clear();
    selected_ = -1;
    if (observer_) observer_->cleared();
}

bool ListBox::press(int index, Input input) {
    if (index < 0 || index >= count()) return false;
    if (input == Input::Keyboard && index == selected_) return false;
    return setSelectedIndex(index);
}

bool ListBox::setSelectedIndex(int index) {
    if (index < -1 || index >= count()) return false;
    selected_ = static_cast<std::int16_t>(index);
    if (observer_) observer_->selectionChanged(index);
    if (click_) click_();
    return true;
}

}  // namespace mervalin
