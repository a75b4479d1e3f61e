#include "data/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace mervalin {
namespace {

// Number of Unicode code points in a UTF-8 text: every byte that does not
// continue a sequence starts one.
std::size_t codePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

TEST(MetalTable, HoldsTheFifteenMetalsWithTheirWeightsAndMeltingPoints) {
    struct Row {
        std::string_view name, weight, meltingPoint;
    };
    const Row expected[] = {
        {"Алуминий", "2.7", "660°C"}, {"Волфрам", "19.25", "3410°C"}, {"Галий", "5.9", "30°C"},
        {"Желязо", "7.9", "1539°C"},  {"Живак", "13.5", " -39°C"},    {"Злато", "19.32", "1063°C"},
        {"Калай", "7.3", "232°C"},    {"Манган", "7.21", "1246°C"},   {"Мед", "8.9", "1083°C"},
        {"Никел", "8.9", "1455°C"},   {"Олово", "11.3", "327°C"},     {"Платина", "21.6", "1780°C"},
        {"Сребро", "10.5", "960°C"},  {"Титан", "4.5", "1668°C"},     {"Цинк", "7.14", "419°C"},
    };
    ASSERT_EQ(MetalTable.size(), std::size(expected));
    for (std::size_t k = 0; k < MetalTable.size(); ++k) {
        SCOPED_TRACE("row " + std::to_string(k));
        EXPECT_EQ(MetalTable[k].name, expected[k].name);
        EXPECT_EQ(MetalTable[k].weight, expected[k].weight);
        EXPECT_EQ(MetalTable[k].meltingPoint, expected[k].meltingPoint);
    }
}

TEST(MetalTable, MeltingPointsUseTheDegreeSignAndMercuryKeepsItsLeadingSpace) {
    EXPECT_EQ(MetalTable[4].meltingPoint, " -39°C");
    for (const Metal& metal : MetalTable) {
        EXPECT_TRUE(metal.meltingPoint.ends_with("\u00B0C")) << metal.name;
    }
}

TEST(MetalTable, CopperAndNickelShareTheirWeightText) {
    EXPECT_EQ(MetalTable[8].weight, MetalTable[9].weight);
    EXPECT_NE(MetalTable[1].weight, MetalTable[5].weight);
}

TEST(MetalTable, NamesAreAlreadyInCodePointOrder) {
    EXPECT_TRUE(std::is_sorted(MetalTable.begin(), MetalTable.end(),
                               [](const Metal& a, const Metal& b) { return a.name < b.name; }));
}

TEST(MetalTable, DescriptionsHaveTheirDesignedLengthsAndAreSingleParagraphs) {
    const std::size_t lengths[] = {223, 758, 116, 209, 433, 612, 227, 257,
                                   409, 176, 558, 490, 714, 621, 270};
    for (std::size_t k = 0; k < MetalTable.size(); ++k) {
        const std::string_view description = MetalTable[k].description;
        EXPECT_EQ(codePoints(description), lengths[k]) << MetalTable[k].name;
        EXPECT_EQ(description.find_first_of("\r\n\t"), std::string_view::npos)
            << MetalTable[k].name;
        EXPECT_EQ(description.find("  "), std::string_view::npos) << MetalTable[k].name;
        EXPECT_NE(description.front(), ' ') << MetalTable[k].name;
        EXPECT_NE(description.back(), ' ') << MetalTable[k].name;
    }
}

TEST(SizeList, OffersOneToTenInOrder) {
    const std::string_view expected[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
    EXPECT_TRUE(
        std::equal(SizeList.begin(), SizeList.end(), std::begin(expected), std::end(expected)));
}

TEST(IntroText, HasItsDesignedLengthAndCrLfLineBreaks) {
    EXPECT_EQ(codePoints(IntroText), 1271u);
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

TEST(IntroText, EndsWithTheNamesOfTheFifteenMetalsInTableOrder) {
    std::string names;
    for (const Metal& metal : MetalTable) {
        if (!names.empty()) names += ", ";
        names += metal.name;
    }
    EXPECT_TRUE(IntroText.ends_with(names + "\r\n")) << IntroText.substr(IntroText.size() - 200);
}

}  // namespace
}  // namespace mervalin
