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

}  // namespace

Mervalin::Mervalin(Platform& platform)
    : platform_(platform),
      list1_{
          {ListBox(ListBox::Order::Sorted, platform), ListBox(ListBox::Order::Sorted, platform),
           ListBox(ListBox::Order::AsAdded, platform), ListBox(ListBox::Order::AsAdded, platform),
           ListBox(ListBox::Order::AsAdded, platform), ListBox(ListBox::Order::AsAdded, platform)}},
      list2_(ListBox::Order::AsAdded, platform),
      command1_{Button("Чисти")},
      label1_{{{"Мервалин"},
               {"Метал"},
               {"Тегло"},
               {"d/a"},
               {"Vсфера="},
               {"Mсфера="},
               {"Vкуб="},
               {"Mкуб="}}} {
    for (const Metal& metal : MetalTable) {
        List1(kNames).addItem(metal.name);
        List1(kWeights).addItem(metal.weight);
        List1(kDescriptions).addItem(metal.description);
        List1(kMeltingPoints).addItem(metal.meltingPoint);
    }
    for (std::string_view size : SizeList) list2_.addItem(size);
    Text1(0).setText(IntroText);
}

ListBox& Mervalin::List1(int index) { return element(list1_, index); }
const ListBox& Mervalin::List1(int index) const { return element(list1_, index); }
TextBox& Mervalin::Text1(int index) { return element(text1_, index); }
const TextBox& Mervalin::Text1(int index) const { return element(text1_, index); }
TextBox& Mervalin::Text2(int index) { return element(text2_, index); }
const TextBox& Mervalin::Text2(int index) const { return element(text2_, index); }
Button& Mervalin::Command1(int index) { return element(command1_, index); }
const Button& Mervalin::Command1(int index) const { return element(command1_, index); }
const Label& Mervalin::Label1(int index) const { return element(label1_, index); }

}  // namespace mervalin
