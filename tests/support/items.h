// Finding a list's items by their text, so that tests name metals, weights
// and sizes rather than positions that move when the table changes.
#pragma once

#include <string_view>

#include "model/list_box.h"

namespace mervalin {

// The index of the occurrence-th item (from 1) that reads text, or -1.
inline int itemIndex(const ListBox& list, std::string_view text, int occurrence = 1) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.item(i) == text && --occurrence == 0) return i;
    }
    return -1;
}

}  // namespace mervalin
