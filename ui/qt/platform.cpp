#include "ui/qt/platform.h"

namespace mervalin {

QtPlatform::QtPlatform() : locale_(QLocale::system()), collator_(locale_) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

int QtPlatform::compareText(std::string_view a, std::string_view b) const {
    return collator_.compare(toQString(a), toQString(b));
}

std::string QtPlatform::formatTwoDecimals(double value) const {
    return locale_.toString(value, 'f', 2).toStdString();
}

}  // namespace mervalin
