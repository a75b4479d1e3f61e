// UTF-8, the core's encoding, as Qt's strings.
#pragma once

#include <QString>
#include <string_view>

namespace mervalin {

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace mervalin
