#include "logic/numbers.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
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

// The tests run in the C locale, where strtod and printf read and write "."
// and round by the exact value, as readNumber and fixedTwoDecimals must on
// every platform.
double cLibrary(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// Every digit of a double, which has a finite decimal expansion.
std::string exactDecimal(double value) {
    std::string text(2000, '\0');
    const int length = std::snprintf(text.data(), text.size(), "%.1100f", value);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

TEST(ReadNumber, RoundsHalfwayTextsToEvenAndAnythingMoreUp) {
    // 1 + 2^-53 lies halfway between 1 and the next double, 2^53 + 1
    // halfway between 2^53 and 2^53 + 2.
    const std::string cases[] = {
        "1.00000000000000011102230246251565404236316680908203125",
        "1.00000000000000011102230246251565404236316680908203125000000000000000001",
        "1.00000000000000011102230246251565404236316680908203124999999999999999999",
        "9007199254740993",
        "9007199254740995",
        "9007199254740993.0000000000000000000000000000000000000001",
        "0.1",
        "0.30000000000000004",
        "123456789012345678901234567890.123456789",
        "0.000000000000000000000000000000000000000000000000000000000000000000000001",
        "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017"
        "977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273"
        "854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704"
        "342711559699508093042880177904174497792",
        "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017"
        "977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273"
        "854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704"
        "342711559699508093042880177904174497791",
    };
    for (const std::string& text : cases) EXPECT_EQ(readNumber(text), cLibrary(text)) << text;
    EXPECT_EQ(readNumber(cases[0]), 1.0);
    EXPECT_EQ(readNumber(cases[1]), std::nextafter(1.0, 2.0));
    EXPECT_EQ(readNumber(cases[3]), 9007199254740992.0);
    // Halfway between the largest double and 2^1024 rounds to infinity.
    EXPECT_EQ(readNumber(cases[10]), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber(cases[11]), std::numeric_limits<double>::max());
}

TEST(ReadNumber, ReadsEveryDoubleWrittenOutInFullAsItself) {
    std::mt19937_64 random(20261208);
    std::vector<double> values = {std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(), 0.1, 2.675};
    while (values.size() < 300) {
        const std::uint64_t bits = random() & 0x7fffffffffffffffULL;
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value)) values.push_back(value);
    }
    for (double value : values) {
        const std::string text = exactDecimal(value);
        EXPECT_EQ(readNumber(text), value) << text;
    }
}

TEST(ReadNumber, AgreesWithTheCLibraryOnRandomDecimalTexts) {
    std::mt19937 random(8122026);
    for (int i = 0; i < 20'000; ++i) {
        std::string text;
        const auto whole = random() % 25;
        const auto fraction = random() % 30;
        for (unsigned j = 0; j < whole; ++j) text += static_cast<char>('0' + random() % 10);
        if (fraction > 0 || random() % 2 == 0) text += '.';
        for (unsigned j = 0; j < fraction; ++j) text += static_cast<char>('0' + random() % 10);
        if (whole + fraction == 0) continue;
        ASSERT_EQ(readNumber(text), cLibrary(text)) << text;
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

TEST(FixedTwoDecimals, RoundsTiesAwayFromZeroAtAnySize) {
    // (2^50 + 1) / 8: the exact value ends in .125.
    EXPECT_EQ(fixedTwoDecimals(140737488355328.125), "140737488355328.13");
    EXPECT_EQ(fixedTwoDecimals(-140737488355328.375), "-140737488355328.38");
}

TEST(FixedTwoDecimals, AgreesWithPrintfWhereNoTieIsRounded) {
    // printf rounds the exact value too, but exact ties to even.
    std::mt19937_64 random(1264);
    for (int i = 0; i < 20'000; ++i) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        if (i % 2 == 0) value = std::ldexp(std::fmod(value, 1.0), static_cast<int>(random() % 60));
        const std::string cents = exactDecimal(value);
        const std::size_t point = cents.find('.');
        const bool tie = cents.find_last_not_of('0') == point + 3 && cents[point + 3] == '5';
        if (tie) continue;
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.2f", value);
        ASSERT_EQ(fixedTwoDecimals(value), expected) << exactDecimal(value);
    }
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
