#include "logic/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "data/reference.h"
#include "tests/support/plain_platform.h"

namespace mervalin {
namespace {

TEST(ReadNumber, ReadsTheLeadingDecimalNumberWithAPoint) {
    const struct {
        std::string_view text;
        double value;
    } cases[] = {
        {"5", 5},         {"10", 10},     {"19.32", 19.32},
        {"  7.14", 7.14}, {"-3.5", -3.5}, {"+2", 2},
        {"8.9кг", 8.9},   {"2.7.1", 2.7}, {"1,5", 1},
        {"12 3", 12},     {"", 0},        {"   ", 0},
        {"abc", 0},       {"-", 0},       {".", 0},
        {".5", 0.5},      {"5.", 5},      {"\t5", 0},
        {"- 5", 0},       {"1e3", 1},     {"0019.250", 19.25},
    };
    for (const auto& c : cases) EXPECT_EQ(readNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ReadNumber, AgreesWithTheCLibraryForEveryWeightAndSize) {
    EXPECT_EQ(readNumber("19.32"), 19.32);
    for (const Metal& metal : MetalTable) {
        const std::string weight(metal.weight);
        EXPECT_EQ(readNumber(weight), std::strtod(weight.c_str(), nullptr)) << weight;
    }
    for (std::string_view size : SizeList) {
        EXPECT_EQ(readNumber(size), std::strtod(std::string(size).c_str(), nullptr)) << size;
    }
}

TEST(ReadNumber, ANumberTooLargeForADoubleIsInfinite) {
    EXPECT_EQ(readNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("-" + std::string(400, '9')), -std::numeric_limits<double>::infinity());
}

TEST(RoundToInt16, RoundsTiesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(roundToInt16(2.5), 2);
    EXPECT_EQ(roundToInt16(3.5), 4);
    EXPECT_EQ(roundToInt16(-2.5), -2);
    EXPECT_EQ(roundToInt16(2.6), 3);
    EXPECT_EQ(roundToInt16(32767.4), 32767);
    EXPECT_EQ(roundToInt16(-32768.5), -32768);
    EXPECT_EQ(roundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(roundToInt16(-32769), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(MultiplyInt16, ChecksTheProductAgainstTheSixteenBitRange) {
    EXPECT_EQ(multiplyInt16(10, 100), 1000);
    EXPECT_EQ(multiplyInt16(961, 31), 29791);
    EXPECT_EQ(multiplyInt16(1024, 32), std::nullopt);
    EXPECT_EQ(multiplyInt16(-32768, 1), -32768);
    EXPECT_EQ(multiplyInt16(-32768, -1), std::nullopt);
    EXPECT_EQ(multiplyInt16(182, 181), std::nullopt);
    EXPECT_EQ(multiplyInt16(181, 181), 32761);
}

TEST(FixedTwoDecimals, RoundsExactTiesAwayFromZero) {
    EXPECT_EQ(fixedTwoDecimals(2.125), "2.13");
    EXPECT_EQ(fixedTwoDecimals(0.125), "0.13");
    EXPECT_EQ(fixedTwoDecimals(0.375), "0.38");
    EXPECT_EQ(fixedTwoDecimals(-2.125), "-2.13");
    EXPECT_EQ(fixedTwoDecimals(1234567.875), "1234567.88");
}

TEST(FixedTwoDecimals, RoundsEveryOtherValueByItsExactBinaryValue) {
    // 1.005 and 2.675 are stored a little below the written value.
    EXPECT_EQ(fixedTwoDecimals(1.005), "1.00");
    EXPECT_EQ(fixedTwoDecimals(2.675), "2.67");
    EXPECT_EQ(fixedTwoDecimals(0.005), "0.01");
    EXPECT_EQ(fixedTwoDecimals(65.44791666), "65.45");
    EXPECT_EQ(fixedTwoDecimals(0), "0.00");
    EXPECT_EQ(fixedTwoDecimals(0.52358), "0.52");
    EXPECT_EQ(fixedTwoDecimals(1e20), "100000000000000000000.00");
    EXPECT_EQ(fixedTwoDecimals(std::numeric_limits<double>::max()).size(), 309u + 3u);
}

TEST(PlainPlatform, GroupsThousandsWithCommas) {
    const PlainPlatform platform;
    const auto format = [&](double value) {
        return platform.localiseNumber(fixedTwoDecimals(value));
    };
    EXPECT_EQ(format(2415), "2,415.00");
    EXPECT_EQ(format(125), "125.00");
    EXPECT_EQ(format(21600), "21,600.00");
    EXPECT_EQ(format(1234567.891), "1,234,567.89");
    EXPECT_EQ(format(-1264.454), "-1,264.45");
    EXPECT_EQ(format(999.999), "1,000.00");
}

}  // namespace
}  // namespace mervalin
