#include "model/form.h"

#include <cassert>

#include "data/reference.h"

namespace mervalin {

namespace {

template <typename Array>
auto& element(Array& array, int index) {
    assert(index >= 0 && static_cast<std::size_t>(index) < array.size());
    return array[static_cast<std::size_t>(index)];
}

ListBox list1(int index, ListBox::Order order, const Platform& platform,
              ListBox::Items items = ListBox::Items::Words) {
    return ListBox({Array::List1, index}, order, platform, items);
}

}  // namespace

Mervalin::Mervalin(Platform& platform)
    : platform_(platform),
      list1_{{list1(0, ListBox::Order::Sorted, platform),
              list1(1, ListBox::Order::Sorted, platform, ListBox::Items::Numbers),
              list1(2, ListBox::Order::AsAdded, platform),
              list1(3, ListBox::Order::AsAdded, platform),
              list1(4, ListBox::Order::AsAdded, platform),
              list1(5, ListBox::Order::AsAdded, platform)}},
      list2_({Array::List2, 0}, ListBox::Order::AsAdded, platform, ListBox::Items::Numbers),
      text1_{TextBox({Array::Text1, 0})},
      text2_{TextBox({Array::Text2, 0}), TextBox({Array::Text2, 1}), TextBox({Array::Text2, 2}),
             TextBox({Array::Text2, 3})} {
    for (const Metal& metal : MetalTable) {
        List1(kNames).addItem(metal.name);
        List1(kWeights).addItem(metal.weight);
        List1(kDescriptions).addItem(metal.description);
        List1(kMeltingPoints).addItem(metal.meltingPoint);
    }
    for (std::string_view size : SizeList) list2_.addItem(size);
    Text1(0).setText(IntroText);
}

void Mervalin::setView(FormView* view) {
    view_ = view;
    for (ListBox* list : {&List1(kMetalChoice), &List1(kWeightChoice), &list2_}) {
        list->setView(view);
        if (!view) continue;
        view->clearItems(list->id());
        for (int i = 0; i < list->count(); ++i) {
            view->insertItem(list->id(), i, list->item(i), list->spokenItem(i));
        }
        view->select(list->id(), list->selectedIndex());
    }
    for (TextBox& box : text1_) box.setView(view);
    for (TextBox& box : text2_) box.setView(view);
    if (view) {
        for (const TextBox& box : text1_) view->setText(box.id(), box.text());
        for (const TextBox& box : text2_) view->setText(box.id(), box.text());
    }
    announcement_.setView(view);
}

ListBox& Mervalin::List1(int index) { return element(list1_, index); }
const ListBox& Mervalin::List1(int index) const { return element(list1_, index); }
TextBox& Mervalin::Text1(int index) { return element(text1_, index); }
const TextBox& Mervalin::Text1(int index) const { return element(text1_, index); }
TextBox& Mervalin::Text2(int index) { return element(text2_, index); }
const TextBox& Mervalin::Text2(int index) const { return element(text2_, index); }
Button& Mervalin::Command1(int index) { return element(command1_, index); }
const Button& Mervalin::Command1(int index) const { return element(command1_, index); }

}  // namespace mervalin
