// The user's regional settings on Linux, as Qt reads them from LC_ALL,
// LC_NUMERIC and LANG. The window and the scenario runner share this; each
// says for itself how an overflow reaches the user.
#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>
#include <string_view>

#include "model/platform.h"

namespace mervalin {

// The core's UTF-8 texts as Qt's strings.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class QtPlatform : public Platform {
public:
    QtPlatform();

    int compareText(std::string_view a, std::string_view b) const override;
    std::string formatTwoDecimals(double value) const override;

private:
    QLocale locale_;
    QCollator collator_;
};

}  // namespace mervalin
