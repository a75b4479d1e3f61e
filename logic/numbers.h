// Reading numbers from the form's texts and rounding results, the same way
// on every platform. Only the final localised writing of a number is left to
// the platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mervalin {

// The leading number of a text: leading spaces are skipped, then the longest
// run of an optional sign, digits, and optionally "." and more digits is read.
// "." is the decimal separator whatever the user's settings. A text without a
// leading number reads as 0; one too large for a double reads as an infinity.
double readNumber(std::string_view text);

// Rounds to the nearest integer, exact ties to the even one, or nothing when
// the result is outside -32768..32767 (or the value is not a number).
std::optional<std::int16_t> roundToInt16(double value);

// a * b, or nothing when the product is outside -32768..32767.
std::optional<std::int16_t> multiplyInt16(std::int16_t a, std::int16_t b);

// The value rounded to two decimals and written plainly: optional "-",
// digits without grouping, ".", two digits. Exact ties round away from zero,
// as the school rounds and Windows' and Qt's number formatters do: 2.125
// gives "2.13" (printf would give "2.12"). This is the only rounding of the
// results; Platform::localiseNumber() then writes the text the user's way.
// The value must be finite.
std::string fixedTwoDecimals(double value);

}  // namespace mervalin
