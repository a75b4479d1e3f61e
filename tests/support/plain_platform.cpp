#include "tests/support/plain_platform.h"

#include <algorithm>

namespace mervalin {

int PlainPlatform::compareText(std::string_view a, std::string_view b) const {
    // UTF-8 byte order is code-point order.
    return a.compare(b);
}

// "," between groups of three digits.
std::string PlainPlatform::localiseNumber(std::string_view plain) const {
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

void PlainPlatform::reportOverflow(std::string_view message) {
    overflowReports.emplace_back(message);
}

}  // namespace mervalin
