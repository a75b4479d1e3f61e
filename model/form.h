// The form Mervalin: every piece of the program's state. The logic reads and
// writes nothing else, and the front ends only show it and report the user's
// actions to it.
#pragma once

#include <array>
#include <string_view>

#include "model/controls.h"
#include "model/list_box.h"

namespace mervalin {

class Platform;

class Mervalin {
public:
    // Elements of the List1 control array.
    static constexpr int kMetalChoice = 0;   // metal names to choose from, sorted
    static constexpr int kWeightChoice = 1;  // relative weights to choose from, sorted
    static constexpr int kNames = 2;         // the metal table's columns, never shown
    static constexpr int kWeights = 3;
    static constexpr int kDescriptions = 4;
    static constexpr int kMeltingPoints = 5;
    static constexpr int kList1Count = 6;

    // Elements of the Text2 control array: the four results.
    static constexpr int kSphereVolume = 0;
    static constexpr int kSphereMass = 1;
    static constexpr int kCubeVolume = 2;
    static constexpr int kCubeMass = 3;
    static constexpr int kText2Count = 4;

    // The four results' names, by Text2 element: the captions of the labels
    // beside their boxes, and what screen readers are told with them.
    static constexpr std::array<std::string_view, kText2Count> kResultNames = {
        "Vсфера=", "Mсфера=", "Vкуб=", "Mкуб="};

    static constexpr int kLabel1Count = 8;

    // Creates the form as it is before Load: the hidden lists hold the metal
    // table, List2 the sizes, the message box the introductory text; nothing
    // is selected and the result boxes are empty. The platform must outlive
    // the form.
    explicit Mervalin(Platform& platform);

    Mervalin(const Mervalin&) = delete;
    Mervalin& operator=(const Mervalin&) = delete;

    // Control arrays, addressed by a 0-based element index as the names in
    // the design are: List1(3) is the weight column. An index outside the
    // array is a programming error.
    ListBox& List1(int index);
    const ListBox& List1(int index) const;
    TextBox& Text1(int index);
    const TextBox& Text1(int index) const;
    TextBox& Text2(int index);
    const TextBox& Text2(int index) const;
    Button& Command1(int index);
    const Button& Command1(int index) const;

    ListBox& List2() { return list2_; }
    const ListBox& List2() const { return list2_; }

    // Whether element index of List1 is a visible choice list.
    static bool isShown(int list1Index) {
        return list1Index == kMetalChoice || list1Index == kWeightChoice;
    }

    // The numeric relative weight of the last correct pairing; 0 at first.
    double AcceptedWeight = 0;

    // What the form asks screen readers to say (logic/quiz.h says when).
    Announcement& announcement() { return announcement_; }
    const Announcement& announcement() const { return announcement_; }

    // The window that shows the form, or null; not owned. Attaching one
    // shows it the whole state of the shown controls at once (items,
    // selections, texts), then every change as it happens.
    void setView(FormView* view);
    FormView* view() const { return view_; }

    Platform& platform() const { return platform_; }

private:
    Platform& platform_;
    std::array<ListBox, kList1Count> list1_;
    ListBox list2_;
    std::array<TextBox, 1> text1_;
    std::array<TextBox, kText2Count> text2_;
    std::array<Button, 1> command1_;
    Announcement announcement_;
    FormView* view_ = nullptr;
};

}  // namespace mervalin
