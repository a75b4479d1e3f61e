// The user's regional settings on Linux, as Qt reads them from LC_ALL,
// LC_NUMERIC and LANG.
#include "ui/platform.h"

#include <QCollator>
#include <QLocale>
#include <utility>

#include "ui/qt/text.h"

namespace mervalin {

namespace {

class QtPlatform final : public Platform {
public:
    explicit QtPlatform(OverflowReport reportOverflow)
        : reportOverflow_(std::move(reportOverflow)),
          locale_(QLocale::system()),
          collator_(locale_) {
        collator_.setCaseSensitivity(Qt::CaseInsensitive);
    }

    int compareText(std::string_view a, std::string_view b) const override {
        return collator_.compare(toQString(a), toQString(b));
    }

    // The integer part goes through QLocale's own integer formatting, which
    // groups digits as its number formatting does (Bulgarian only from five
    // digits on); the fraction's digits are the locale's digits.
    std::string localiseNumber(std::string_view plain) const override {
        const bool negative = plain.starts_with('-');
        if (negative) plain.remove_prefix(1);
        const std::size_t point = plain.find('.');
        const QString whole = toQString(plain.substr(0, point));
        QString text;
        bool fits = false;
        const qulonglong wholeValue = whole.toULongLong(&fits);
        if (fits) {
            text = locale_.toString(wholeValue);
        } else {
            // Beyond 64 bits a double is a whole number: Qt writes it.
            text = locale_.toString(whole.toDouble(), 'f', 0);
        }
        if (negative) text.prepend(locale_.negativeSign());
        if (point != std::string_view::npos) {
            text += locale_.decimalPoint();
            for (char digit : plain.substr(point + 1)) text += locale_.toString(digit - '0');
        }
        return text.toStdString();
    }

    void reportOverflow(std::string_view message) override { reportOverflow_(message); }

private:
    OverflowReport reportOverflow_;
    QLocale locale_;
    QCollator collator_;
};

}  // namespace

std::unique_ptr<Platform> createPlatform(OverflowReport reportOverflow) {
    return std::make_unique<QtPlatform>(std::move(reportOverflow));
}

}  // namespace mervalin
