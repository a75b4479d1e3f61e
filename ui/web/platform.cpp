// The user's regional settings in a browser, through its Intl objects, and
// under node (the scenario runner) through node's: ui/web/platform.js.
#include "ui/platform.h"

#include <cstddef>
#include <cstdlib>
#include <string>
#include <utility>

// Defined in JavaScript, ui/web/platform.js. Texts are UTF-8 with their
// length in bytes.
extern "C" {
int mervalin_compare_text(const char* a, std::size_t aLength, const char* b, std::size_t bLength);
// The number as the user writes it, in memory from malloc, null-terminated.
char* mervalin_localise_number(const char* plain, std::size_t length);
}

namespace mervalin {

namespace {

class WebPlatform final : public Platform {
public:
    explicit WebPlatform(OverflowReport reportOverflow)
        : reportOverflow_(std::move(reportOverflow)) {}

    // By a case-insensitive Intl.Collator for the user's languages.
    int compareText(std::string_view a, std::string_view b) const override {
        return mervalin_compare_text(a.data(), a.size(), b.data(), b.size());
    }

    // By Intl.NumberFormat for the user's languages: the whole part grouped
    // and the separators, minus sign and digits of the locale. The digits
    // of the plain text are kept as they are: Intl is never asked to round.
    std::string localiseNumber(std::string_view plain) const override {
        char* text = mervalin_localise_number(plain.data(), plain.size());
        std::string result = text ? text : std::string(plain);
        std::free(text);
        return result;
    }

    void reportOverflow(std::string_view message) override { reportOverflow_(message); }

private:
    OverflowReport reportOverflow_;
};

}  // namespace

std::unique_ptr<Platform> createPlatform(OverflowReport reportOverflow) {
    return std::make_unique<WebPlatform>(std::move(reportOverflow));
}

}  // namespace mervalin
