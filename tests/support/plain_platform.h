// A platform without regional settings, for the tests and benchmarks of the
// core: texts sort in code-point order and numbers are written as under
// English (United States) settings, "2,415.00". Overflow reports are
// collected, not shown.
#pragma once

#include <string>
#include <vector>

#include "model/platform.h"

namespace mervalin {

class PlainPlatform final : public Platform {
public:
    int compareText(std::string_view a, std::string_view b) const override;
    std::string localiseNumber(std::string_view plain) const override;
    void reportOverflow(std::string_view message) override;

    std::vector<std::string> overflowReports;
};

}  // namespace mervalin
