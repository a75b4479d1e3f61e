// The quiz's built-in reference data: the metal table, the body sizes and
// the introductory text. Everything here is constant and lives for the whole
// program; nothing is read from files.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace mervalin {

// One row of the metal table. All four columns are UTF-8 text.
struct Metal {
    std::string_view name;          // Bulgarian name of the metal
    std::string_view weight;        // relative weight, "." as decimal point
    std::string_view meltingPoint;  // with unit, e.g. "1063°C"; row 4 begins with a space
    std::string_view description;   // one paragraph of Bulgarian prose, no line breaks
};

inline constexpr std::size_t kMetalCount = 15;
inline constexpr std::size_t kSizeCount = 10;

// Rows in ascending order of name, which is also code-point order.
extern const std::array<Metal, kMetalCount> MetalTable;

// Body sizes offered to the user: the sphere diameter d, which is also the
// cube side a.
extern const std::array<std::string_view, kSizeCount> SizeList;

// The message box's text at start-up: CR LF line breaks, ending in CR LF.
extern const std::string_view IntroText;

}  // namespace mervalin
