// The user's regional settings on Linux, as Qt reads them from LC_ALL,
// LC_NUMERIC and LANG.
#include "ui/platform.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
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
        negativeSign_ = locale_.negativeSign().toStdString();
        decimalPoint_ = locale_.decimalPoint().toStdString();
        for (int digit = 0; digit < 10; ++digit) {
            digits_[static_cast<std::size_t>(digit)] = locale_.toString(digit).toStdString();
        }
    }

    int compareText(std::string_view a, std::string_view b) const override {
        return collator_.compare(toQString(a), toQString(b));
    }

    // The integer part goes through QLocale's own integer formatting, which
    // groups digits as its number formatting does (Bulgarian only from five
    // digits on); the sign, the point and the fraction's digits are the
    // locale's, looked up once: each lookup of the system locale asks the
    // system again, and a click writes four numbers.
    std::string localiseNumber(std::string_view plain) const override {
        const bool negative = plain.starts_with('-');
        if (negative) plain.remove_prefix(1);
        const std::size_t point = std::min(plain.find('.'), plain.size());
        std::uint64_t whole = 0;
        const auto [end, error] = std::from_chars(plain.data(), plain.data() + point, whole);
        std::string text = negative ? negativeSign_ : std::string();
        if (error == std::errc() && end == plain.data() + point) {
            text += locale_.toString(static_cast<qulonglong>(whole)).toStdString();
        } else {
            // Beyond 64 bits a double is a whole number: Qt writes it.
            text += locale_.toString(toQString(plain.substr(0, point)).toDouble(), 'f', 0)
                        .toStdString();
        }
        if (point < plain.size()) {
            text += decimalPoint_;
            for (char digit : plain.substr(point + 1)) {
                text += digits_[static_cast<std::size_t>(digit - '0') % digits_.size()];
            }
        }
        return text;
    }

    void reportOverflow(std::string_view message) override { reportOverflow_(message); }

private:
    OverflowReport reportOverflow_;
    QLocale locale_;
    QCollator collator_;
    std::string negativeSign_;
    std::string decimalPoint_;
    std::array<std::string, 10> digits_;
};

}  // namespace

std::unique_ptr<Platform> createPlatform(OverflowReport reportOverflow) {
    return std::make_unique<QtPlatform>(std::move(reportOverflow));
}

}  // namespace mervalin
