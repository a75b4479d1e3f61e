#include "ui/platform.h"

#include <windows.h>

#include <climits>
#include <string>
#include <utility>

#include "ui/win32/text.h"

namespace mervalin {

namespace {

int length(const std::wstring& text) {
    return text.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                           : static_cast<int>(text.size());
}

std::wstring userLocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, ARRAYSIZE(buffer)) == 0) {
        return fallback;
    }
    return buffer;
}

UINT userLocaleNumber(LCTYPE type, UINT fallback) {
    DWORD value = 0;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<wchar_t*>(&value), sizeof value / sizeof(wchar_t)) == 0) {
        return fallback;
    }
    return value;
}

// LOCALE_SGROUPING lists group sizes from the decimal point leftwards, "3;0"
// for thousands; a final 0 repeats the last size, and without it the digits
// left of the listed groups stay together. NUMBERFMT wants the sizes as the
// digits of one number with the opposite convention: 3 repeats, 30 does not.
// "3;2;0" (India) is 32.
UINT groupingFromLocale(const std::wstring& text) {
    std::wstring digits;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') digits += c;
    }
    if (digits.empty() || digits == L"0") return 0;
    if (digits.size() > 1 && digits.back() == L'0') {
        digits.pop_back();
    } else {
        digits += L'0';
    }
    UINT grouping = 0;
    for (wchar_t c : digits) {
        if (grouping > (UINT_MAX - 9) / 10) break;
        grouping = grouping * 10 + static_cast<UINT>(c - L'0');
    }
    return grouping;
}

class WindowsPlatform final : public Platform {
public:
    explicit WindowsPlatform(OverflowReport reportOverflow)
        : reportOverflow_(std::move(reportOverflow)) {}

    // By the user's locale (CompareStringEx), ignoring case.
    int compareText(std::string_view a, std::string_view b) const override;

    // By the user's number settings, overrides from Control Panel included:
    // decimal symbol, digit grouping and its symbol, leading zero and the
    // negative format. They are read afresh for every number, so a change
    // made while the program runs applies to the next result.
    std::string localiseNumber(std::string_view plain) const override;

    void reportOverflow(std::string_view message) override { reportOverflow_(message); }

private:
    OverflowReport reportOverflow_;
};

int WindowsPlatform::compareText(std::string_view a, std::string_view b) const {
    const std::wstring wideA = win32::toWide(a);
    const std::wstring wideB = win32::toWide(b);
    const int result =
        CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, wideA.c_str(), length(wideA),
                        wideB.c_str(), length(wideB), nullptr, nullptr, 0);
    // CSTR_LESS_THAN, CSTR_EQUAL and CSTR_GREATER are 1, 2 and 3; 0 only
    // for arguments Windows rejects, which then sort by code unit.
    if (result == 0) return wideA.compare(wideB);
    return result - CSTR_EQUAL;
}

std::string WindowsPlatform::localiseNumber(std::string_view plainText) const {
    const std::wstring plain = win32::toWide(plainText);

    std::wstring decimal = userLocaleText(LOCALE_SDECIMAL, L".");
    std::wstring thousand = userLocaleText(LOCALE_STHOUSAND, L",");
    NUMBERFMTW format{};
    // As many fraction digits as the number has.
    const std::size_t point = plainText.find('.');
    format.NumDigits =
        point == std::string_view::npos ? 0 : static_cast<UINT>(plainText.size() - point - 1);
    format.LeadingZero = userLocaleNumber(LOCALE_ILZERO, 1);
    format.Grouping = groupingFromLocale(userLocaleText(LOCALE_SGROUPING, L"3;0"));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = userLocaleNumber(LOCALE_INEGNUMBER, 1);

    const int size =
        GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, plain.c_str(), &format, nullptr, 0);
    if (size <= 0) return std::string(plainText);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    const int written =
        GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, plain.c_str(), &format, text.data(), size);
    if (written <= 0) return std::string(plainText);
    text.resize(static_cast<std::size_t>(written - 1));  // without the terminating null
    return win32::toUtf8(text);
}

}  // namespace

std::unique_ptr<Platform> createPlatform(OverflowReport reportOverflow) {
    return std::make_unique<WindowsPlatform>(std::move(reportOverflow));
}

}  // namespace mervalin
