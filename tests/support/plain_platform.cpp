#include "logic/plain_platform.h"

#include <algorithm>

#include "logic/numbers.h"

namespace mervalin {

namespace {

// Writes a fixedTwoDecimals() text with "," between groups of three digits.
std::string groupThousands(std::string_view plain) {
    const std::size_t sign = !plain.empty() && plain.front() == '-' ? 1 : 0;
    const std::size_t point = std::min(plain.find('.'), plain.size());
    std::string text(plain.substr(0, sign));
    for (std::size_t i = sign; i < point; ++i) {
        if (i > sign && (point - i) % 3 == 0) text += ',';
        text += plain[i];
    }
    text += plain.substr(point);
    return text;
}

}  // namespace

int PlainPlatform::compareText(std::string_view a, std::string_view b) const {
    // UTF-8 byte order is code-point order.
    return a.compare(b);
}

std::string PlainPlatform::formatTwoDecimals(double value) const {
    return groupThousands(fixedTwoDecimals(value));
}

void PlainPlatform::reportOverflow(std::string_view message) {
    overflowReports.emplace_back(message);
}

}  // namespace mervalin
