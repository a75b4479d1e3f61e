// The user's regional settings on Windows. The window and the Windows build
// of the scenario runner share this; each says for itself how an overflow
// reaches the user.
#pragma once

#include "model/platform.h"

namespace mervalin {

class WindowsPlatform : public Platform {
public:
    // By the user's locale (CompareStringEx), ignoring case.
    int compareText(std::string_view a, std::string_view b) const override;

    // By the user's number settings, overrides from Control Panel included:
    // decimal symbol, digit grouping and its symbol, leading zero and the
    // negative format. They are read afresh for every number, so a change
    // made while the program runs applies to the next result.
    std::string formatTwoDecimals(double value) const override;
};

}  // namespace mervalin
