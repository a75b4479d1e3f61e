// The few services the form needs from the platform it runs on. Each front
// end (and each tool) hands the form one implementation; the core never asks
// the operating system or a toolkit for anything itself.
#pragma once

#include <string>
#include <string_view>

namespace mervalin {

class Platform {
public:
    virtual ~Platform() = default;

    // Orders two UTF-8 texts by the user's locale, ignoring case: negative
    // when a sorts before b, zero when they are equal, positive otherwise.
    // Sorted list boxes insert by it.
    virtual int compareText(std::string_view a, std::string_view b) const = 0;

    // A number as the core writes it, already rounded: an optional "-",
    // digits, and "." with as many digits as it has ("-2415.00", "19.32",
    // "10"), rewritten by the user's regional settings: decimal separator,
    // digit grouping, leading zero and the minus sign, its fraction digits
    // kept. UTF-8. The rounding is the core's; this only localises.
    virtual std::string localiseNumber(std::string_view plain) const = 0;

    // Tells the user that a computation overflowed; the message is Bulgarian
    // UTF-8 text. Called on the user-interface thread; may block until the
    // user has read it.
    virtual void reportOverflow(std::string_view message) = 0;
};

}  // namespace mervalin
