// What each front end's platform library offers: the user's regional settings
// on that platform, behind the core's Platform interface. Every front end
// defines createPlatform() once (ui/qt/platform.cpp, ui/win32/platform.cpp);
// CMake links the one of the platform being built as mervalin::platform, so
// that the tools and tests that use it pick no platform themselves.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "model/platform.h"

namespace mervalin {

// How the caller tells the user of an overflow: the window shows a message
// box, the scenario runner writes to standard error.
using OverflowReport = std::function<void(std::string_view message)>;

// The regional settings of the user running this program: the locale's text
// order for the sorted lists, and its number format.
std::unique_ptr<Platform> createPlatform(OverflowReport reportOverflow);

}  // namespace mervalin
