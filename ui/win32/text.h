// UTF-8, the core's encoding, to and from UTF-16, the encoding of every
// wide-character Windows API.
#pragma once

#include <string>
#include <string_view>

namespace mervalin::win32 {

// Malformed input is not an error: each bad sequence becomes U+FFFD.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace mervalin::win32
