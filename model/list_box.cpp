#include "model/list_box.h"

#include <algorithm>
#include <cassert>

#include "model/platform.h"

namespace mervalin {

ListBox::ListBox(ControlId id, Order order, const Platform& platform, Items items)
    : id_(id), order_(order), platform_(platform), kind_(items) {}

const std::string& ListBox::item(int index) const {
    assert(index >= 0 && index < count());
    return items_[static_cast<std::size_t>(index)];
}

std::string ListBox::spokenItem(int index) const {
    if (kind_ != Items::Numbers) return {};
    std::string spoken = platform_.localiseNumber(item(index));
    if (spoken == item(index)) spoken.clear();
    return spoken;
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
    if (view_) {
        view_->insertItem(id_, index, items_[static_cast<std::size_t>(index)], spokenItem(index));
    }
    return index;
}

void ListBox::clear() {
    items_.clear();
    selected_ = -1;
    if (view_) view_->clearItems(id_);
}

int ListBox::target(Input key, int pageRows) const {
    const int last = count() - 1;
    if (key == Input::End) return last;
    if (selected_ < 0) return 0;
    const int page = std::max(pageRows - 1, 1);
    switch (key) {
        case Input::Up:
            return std::max(selected_ - 1, 0);
        case Input::Down:
            return std::min(selected_ + 1, last);
        case Input::PageUp:
            return std::max(selected_ - page, 0);
        case Input::PageDown:
            return std::min(selected_ + page, last);
        default:
            return 0;  // Home
    }
}

bool ListBox::input(Input input, int item, int pageRows) {
    switch (input) {
        case Input::Press:
            if (item < 0 || item >= count()) return false;
            return setSelectedIndex(item);
        case Input::Move:
            if (item < 0 || item >= count() || item == selected_) return false;
            return setSelectedIndex(item);
        case Input::Activate:
            if (selected_ < 0) return false;
            return setSelectedIndex(selected_);
        case Input::Up:
        case Input::Down:
        case Input::PageUp:
        case Input::PageDown:
        case Input::Home:
        case Input::End: {
            if (count() == 0) return false;
            const int to = target(input, pageRows);
            if (to == selected_) return false;
            return setSelectedIndex(to);
        }
    }
    return false;
}

bool ListBox::setSelectedIndex(int index) {
    if (index < -1 || index >= count()) return false;
    selected_ = static_cast<std::int16_t>(index);
    if (view_) view_->select(id_, index);
    if (click_) click_();
    return true;
}

}  // namespace mervalin
