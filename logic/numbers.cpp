#include "logic/numbers.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <limits>

namespace mervalin {

double readNumber(std::string_view text) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) return 0;

    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const std::size_t begin = pos;
    std::size_t digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) ++digits;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        for (; pos < text.size() && isDigit(text[pos]); ++pos) ++digits;
    }
    if (digits == 0) return 0;

    double magnitude = 0;
    const auto [end, error] = std::from_chars(text.data() + begin, text.data() + pos, magnitude,
                                              std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Too many digits before the point for a double (underflow cannot
        // happen without an exponent).
        magnitude = std::numeric_limits<double>::infinity();
    }
    assert(error != std::errc::invalid_argument && end != nullptr);
    return negative ? -magnitude : magnitude;
}

std::optional<std::int16_t> roundToInt16(double value) {
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= INT16_MIN && rounded <= INT16_MAX)) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::optional<std::int16_t> multiplyInt16(std::int16_t a, std::int16_t b) {
    const std::int32_t product = std::int32_t{a} * std::int32_t{b};
    if (product < INT16_MIN || product > INT16_MAX) return std::nullopt;
    return static_cast<std::int16_t>(product);
}

namespace {

// Whether value lies exactly halfway between two multiples of 0.01, that is,
// whether value * 200 is exactly an odd integer. fma gives the exact error of
// the product, so a product that merely rounds to an integer is not taken.
bool isCentTie(double value, double& doubledCents) {
    doubledCents = value * 200;
    if (!(std::fabs(doubledCents) < 0x1p52)) return false;
    if (std::trunc(doubledCents) != doubledCents) return false;
    if (std::fma(value, 200, -doubledCents) != 0) return false;
    return std::fmod(doubledCents, 2) != 0;
}

}  // namespace

std::string fixedTwoDecimals(double value) {
    assert(std::isfinite(value));
    double doubledCents = 0;
    if (isCentTie(value, doubledCents)) {
        // to_chars rounds exact ties to even; the platforms round them away
        // from zero.
        const auto cents =
            static_cast<std::int64_t>((doubledCents + std::copysign(1.0, value)) / 2);
        const std::int64_t whole = (cents < 0 ? -cents : cents) / 100;
        const std::int64_t fraction = (cents < 0 ? -cents : cents) % 100;
        std::string text = value < 0 ? "-" : "";
        text += std::to_string(whole);
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        text += static_cast<char>('0' + fraction % 10);
        return text;
    }
    // A double's integer part has at most 309 digits.
    std::array<char, 320> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 2);
    assert(result.ec == std::errc());
    return std::string(buffer.data(), result.ptr);
}

}  // namespace mervalin
