#include "data/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace mervalin {
namespace {

// Number of Unicode code points in a UTF-8 text: every byte that does not
// continue a sequence starts one.
std::size_t codePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

const Metal& metalNamed(std::string_view name) {
    const auto row = std::find_if(MetalTable.begin(), MetalTable.end(),
                                  [name](const Metal& metal) { return metal.name == name; });
    EXPECT_NE(row, MetalTable.end()) << name;
    return *row;
}

// The one test that holds the table written out: a change to the table
// changes this test, the data and the introductory text, and nothing else.
TEST(MetalTable, IsTheDesignedTable) {
    struct Row {
        std::string_view name, weight, meltingPoint;
        std::size_t descriptionLength;  // in code points
    };
    const Row expected[] = {
        {"Алуминий", "2.7", "660°C", 223}, {"Волфрам", "19.25", "3410°C", 758},
        {"Галий", "5.9", "30°C", 116},     {"Желязо", "7.9", "1539°C", 209},
        {"Живак", "13.5", " -39°C", 433},  {"Злато", "19.32", "1063°C", 612},
        {"Калай", "7.3", "232°C", 227},    {"Манган", "7.21", "1246°C", 257},
        {"Мед", "8.9", "1083°C", 409},     {"Никел", "8.9", "1455°C", 176},
        {"Олово", "11.3", "327°C", 558},   {"Платина", "21.6", "1780°C", 490},
        {"Сребро", "10.5", "960°C", 714},  {"Титан", "4.5", "1668°C", 621},
        {"Цинк", "7.14", "419°C", 270},
    };
    ASSERT_EQ(MetalTable.size(), std::size(expected));
    for (std::size_t k = 0; k < MetalTable.size(); ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        EXPECT_EQ(MetalTable[k].name, expected[k].name);
        EXPECT_EQ(MetalTable[k].weight, expected[k].weight);
        EXPECT_EQ(MetalTable[k].meltingPoint, expected[k].meltingPoint);
        EXPECT_EQ(codePoints(MetalTable[k].description), expected[k].descriptionLength);
    }
    // The weights as the sorted list shows them: as texts, "10.5" first.
    std::vector<std::string_view> weights;
    for (const Metal& metal : MetalTable) weights.push_back(metal.weight);
    std::sort(weights.begin(), weights.end());
    EXPECT_EQ(weights, (std::vector<std::string_view>{"10.5", "11.3", "13.5", "19.25", "19.32",
                                                      "2.7", "21.6", "4.5", "5.9", "7.14", "7.21",
                                                      "7.3", "7.9", "8.9", "8.9"}));
    EXPECT_EQ(codePoints(IntroText), 1271u);
}

TEST(MetalTable, MeltingPointsUseTheDegreeSignAndMercuryKeepsItsLeadingSpace) {
    EXPECT_EQ(metalNamed("Живак").meltingPoint, " -39°C");
    for (const Metal& metal : MetalTable) {
        EXPECT_TRUE(metal.meltingPoint.ends_with("\u00B0C")) << metal.name;
    }
}

TEST(MetalTable, CopperAndNickelShareTheirWeightText) {
    EXPECT_EQ(metalNamed("Мед").weight, metalNamed("Никел").weight);
    EXPECT_NE(metalNamed("Волфрам").weight, metalNamed("Злато").weight);
}

TEST(MetalTable, NamesAreAlreadyInCodePointOrder) {
    EXPECT_TRUE(std::is_sorted(MetalTable.begin(), MetalTable.end(),
                               [](const Metal& a, const Metal& b) { return a.name < b.name; }));
}

TEST(MetalTable, DescriptionsAreSingleParagraphs) {
    for (const Metal& metal : MetalTable) {
        const std::string_view description = metal.description;
        EXPECT_FALSE(description.empty()) << metal.name;
        EXPECT_EQ(description.find_first_of("\r\n\t"), std::string_view::npos) << metal.name;
        EXPECT_EQ(description.find("  "), std::string_view::npos) << metal.name;
        EXPECT_NE(description.front(), ' ') << metal.name;
        EXPECT_NE(description.back(), ' ') << metal.name;
    }
}

TEST(SizeList, OffersOneToTenInOrder) {
    const std::string_view expected[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    EXPECT_TRUE(
        std::equal(SizeList.begin(), SizeList.end(), std::begin(expected), std::end(expected)));
}

TEST(IntroText, HasCrLfLineBreaks) {
    ASSERT_TRUE(IntroText.ends_with("\r\n"));
    for (std::size_t i = 0; i < IntroText.size(); ++i) {
        if (IntroText[i] == '\n') {
            EXPECT_TRUE(i > 0 && IntroText[i - 1] == '\r') << "at byte " << i;
        }
        if (IntroText[i] == '\r') {
            EXPECT_EQ(IntroText[i + 1], '\n') << "at byte " << i;
        }
    }
    EXPECT_EQ(IntroText.find(" \r\n"), std::string_view::npos) << "a line ends in a space";
}

TEST(IntroText, EndsWithTheNamesOfTheMetalsInTableOrder) {
    std::string names;
    for (const Metal& metal : MetalTable) {
        if (!names.empty()) names += ", ";
        names += metal.name;
    }
    EXPECT_TRUE(IntroText.ends_with(names + "\r\n")) << IntroText.substr(IntroText.size() - 200);
}

}  // namespace
}  // namespace mervalin
