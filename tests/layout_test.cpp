// The design table as every window and test reads it.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "model/form.h"
#include "tools/layout_json.h"

namespace mervalin {
namespace {

// ui/layout.json is what layout-json writes from the table, so that the page
// and the Python tests never read a stale copy.
TEST(Layout, TheCommittedJsonIsTheTable) {
    std::ifstream file(MERVALIN_SOURCE_DIR "/ui/layout.json", std::ios::binary);
    ASSERT_TRUE(file) << "cannot read ui/layout.json";
    const std::string committed{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(committed, layoutJson())
        << "ui/layout.json is stale: build/linux/tools/layout-json > ui/layout.json";
}

TEST(Layout, EveryControlOnceAndEveryNamedControlByItsLabel) {
    std::set<int> ids;
    for (const layout::Control& control : layout::kControls) {
        EXPECT_TRUE(ids.insert(control.id.number()).second) << control.id.number();
        EXPECT_FALSE(layout::accessibleName(control).empty()) << control.id.number();
        if (control.namedBy != layout::kNoLabel) {
            EXPECT_EQ(layout::accessibleName(control),
                      layout::labelControl(control.namedBy).caption);
        }
    }
    EXPECT_EQ(ids.size(), 8U + 2 + 1 + 1 + Mervalin::kText2Count + 1 + 1);
    EXPECT_EQ(layout::find({Array::List1, 2}), nullptr) << "the table's columns are never shown";
}

}  // namespace
}  // namespace mervalin
