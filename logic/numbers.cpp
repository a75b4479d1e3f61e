#include "logic/numbers.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <vector>

namespace mervalin {

namespace {

// An unsigned integer of any size, just big enough for exact conversions
// between decimal texts and doubles. std::from_chars and std::to_chars for
// doubles are missing from some standard libraries (WebAssembly's libc++),
// and strtod and printf follow the C locale, which the Qt window changes; so
// the core converts by itself, by the exact values, the same on every
// platform.
class BigInteger {
public:
    explicit BigInteger(std::uint64_t value = 0) {
        while (value != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(value));
            value >>= 32;
        }
    }

    bool isZero() const { return limbs_.empty(); }

    int bitLength() const {
        if (limbs_.empty()) return 0;
        int bits = static_cast<int>(limbs_.size() - 1) * 32;
        for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) ++bits;
        return bits;
    }

    // The value, when it fits in 64 bits.
    std::uint64_t low64() const {
        std::uint64_t value = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) value = (value << 32) | limbs_[i];
        return value;
    }

    // this = this * factor + addend
    void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
        trim();
    }

    // this = this / divisor; returns the remainder.
    std::uint32_t divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const std::uint64_t current = (remainder << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        trim();
        return static_cast<std::uint32_t>(remainder);
    }

    BigInteger shiftedLeft(int bits) const {
        BigInteger result;
        if (limbs_.empty()) return result;
        const auto whole = static_cast<std::size_t>(bits / 32);
        const int part = bits % 32;
        result.limbs_.assign(whole, 0);
        std::uint32_t carry = 0;
        for (std::uint32_t limb : limbs_) {
            result.limbs_.push_back(part == 0 ? limb : (limb << part) | carry);
            carry = part == 0 ? 0 : limb >> (32 - part);
        }
        if (carry != 0) result.limbs_.push_back(carry);
        return result;
    }

    friend int compare(const BigInteger& a, const BigInteger& b) {
        if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
        return 0;
    }

    // this = this - other; other must not be greater.
    void subtract(const BigInteger& other) {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            std::int64_t difference =
                std::int64_t{limbs_[i]} - borrow - (i < other.limbs_.size() ? other.limbs_[i] : 0);
            borrow = difference < 0 ? 1 : 0;
            if (difference < 0) difference += std::int64_t{1} << 32;
            limbs_[i] = static_cast<std::uint32_t>(difference);
        }
        trim();
    }

    // The decimal digits, "0" for zero.
    std::string decimal() const {
        BigInteger rest = *this;
        std::string digits;
        do {
            std::uint32_t chunk = rest.divide(1'000'000'000);
            for (int i = 0; i < 9 && (chunk != 0 || !rest.isZero() || digits.empty()); ++i) {
                digits.insert(digits.begin(), static_cast<char>('0' + chunk % 10));
                chunk /= 10;
            }
        } while (!rest.isZero());
        return digits;
    }

private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    }

    std::vector<std::uint32_t> limbs_;  // least significant first
};

BigInteger powerOfTen(int exponent) {
    BigInteger power(1);
    for (int i = 0; i < exponent; ++i) power.multiplyAdd(10, 0);
    return power;
}

// Enough significant digits to round any decimal to the nearest double: the
// exact halfway point between two doubles has at most 767 of them, so the
// digits after these only tell whether anything nonzero follows.
constexpr std::size_t kSignificantDigits = 800;

// The double nearest to the decimal number digits / 10^fractionDigits, exact
// ties to even, as strtod gives it. digits holds only '0'..'9'.
double decimalToDouble(std::string_view digits, std::size_t fractionDigits) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos) return 0;
    digits.remove_prefix(first);
    // The exponent of the leading digit: 10^(magnitude - 1) <= value.
    const long long magnitude =
        static_cast<long long>(digits.size()) - static_cast<long long>(fractionDigits);
    if (magnitude > 310) return HUGE_VAL;  // beyond the largest double
    if (magnitude < -330) return 0;        // below half the smallest one

    // Small numbers the way every IEEE platform rounds a single division:
    // both operands are exact, so the quotient is correctly rounded.
    constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (digits.size() <= 15 && fractionDigits <= 22) {
        std::uint64_t whole = 0;
        for (char digit : digits) whole = whole * 10 + static_cast<std::uint64_t>(digit - '0');
        return static_cast<double>(whole) / kExactPowers[fractionDigits];
    }

    // value = numerator * 10^exponent, within the bounds above.
    BigInteger numerator;
    const std::size_t kept = std::min(digits.size(), kSignificantDigits);
    for (std::size_t i = 0; i < kept; ++i) {
        numerator.multiplyAdd(10, static_cast<std::uint32_t>(digits[i] - '0'));
    }
    long long exponent = magnitude - static_cast<long long>(kept);
    if (digits.substr(kept).find_first_not_of('0') != std::string_view::npos) {
        // A last 1 stands for everything dropped: it keeps the value off any
        // halfway point it was not on.
        numerator.multiplyAdd(10, 1);
        --exponent;
    }
    BigInteger denominator(1);
    if (exponent >= 0) {
        for (long long i = 0; i < exponent; ++i) numerator.multiplyAdd(10, 0);
    } else {
        denominator = powerOfTen(static_cast<int>(-exponent));
    }

    // quotient = numerator * 2^shift / denominator, with 53 significant bits
    // (fewer for a subnormal result, whose exponent is fixed at -1074).
    int shift = 53 - (numerator.bitLength() - denominator.bitLength());
    BigInteger quotientBits;
    BigInteger remainder;
    BigInteger divisor;
    std::uint64_t quotient = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (shift > 1074) shift = 1074;
        remainder = shift > 0 ? numerator.shiftedLeft(shift) : numerator;
        divisor = shift < 0 ? denominator.shiftedLeft(-shift) : denominator;
        // The quotient is below 2^54 by the choice of shift.
        quotient = 0;
        for (int bit = 54; bit >= 0; --bit) {
            const BigInteger part = divisor.shiftedLeft(bit);
            if (compare(remainder, part) >= 0) {
                remainder.subtract(part);
                quotient |= std::uint64_t{1} << bit;
            }
        }
        if (quotient < (std::uint64_t{1} << 53)) break;
        --shift;
    }
    const int half = compare(remainder.shiftedLeft(1), divisor);
    if (half > 0 || (half == 0 && (quotient & 1) != 0)) ++quotient;
    // Exact unless it overflows, which gives the infinity strtod gives.
    return std::ldexp(static_cast<double>(quotient), -shift);
}

}  // namespace

double readNumber(std::string_view text) {
    std::size_t pos = text.find_first_not_of(' ');
    if (pos == std::string_view::npos) return 0;

    bool negative = false;
    if (text[pos] == '+' || text[pos] == '-') {
        negative = text[pos] == '-';
        ++pos;
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string digits;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) digits += text[pos];
    std::size_t fractionDigits = 0;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos, ++fractionDigits) {
            digits += text[pos];
        }
    }
    if (digits.empty()) return 0;
    const double magnitude = decimalToDouble(digits, fractionDigits);
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

std::string fixedTwoDecimals(double value) {
    assert(std::isfinite(value));
    // value = significand * 2^exponent exactly, with a 53-bit significand.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;

    // The value in hundredths, rounded to nearest, exact ties away from zero.
    // 100 * significand < 2^60.
    BigInteger cents(significand * 100);
    if (exponent >= 0) {
        cents = cents.shiftedLeft(exponent);
    } else {
        const std::uint64_t scaled = significand * 100;
        const int dropped = -exponent;
        std::uint64_t whole = 0;
        bool roundUp = false;
        if (dropped < 64) {
            whole = scaled >> dropped;
            const std::uint64_t rest = scaled & ((std::uint64_t{1} << dropped) - 1);
            roundUp = rest >= (std::uint64_t{1} << (dropped - 1));
        }
        cents = BigInteger(whole + (roundUp ? 1 : 0));
    }

    std::string digits = cents.decimal();
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, 1, '.');
    if (std::signbit(value)) digits.insert(0, 1, '-');
    return digits;
}

}  // namespace mervalin
