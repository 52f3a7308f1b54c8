#include "core/SetupValues.h"

#include <cstdio>

#include "core/DecodedValues.h"

namespace setup {

namespace {

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits at [at, at + count) of s as a number; nothing when one is not a digit.
std::optional<int> DigitsAt(std::string_view s, size_t at, size_t count)
{
    if (at + count > s.size()) return std::nullopt;
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (!IsDigit(s[i])) return std::nullopt;
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

// The first width characters of s, missing ones and blanks as '0'.
std::string BlanksAsZeros(std::string_view s, size_t width)
{
    std::string out(s.substr(0, width));
    out.resize(width, ' ');
    for (char& c : out)
        if (c == ' ') c = '0';
    return out;
}

TCheckedValue InRange(std::optional<int> value, int low, int high, TValueCheck refused)
{
    if (!value || *value < low || *value > high) return {refused, 0};
    return {TValueCheck::Ok, *value};
}

constexpr int64_t kMaxRatioProduct = 100000;

TCheckedValue Ratio(std::string_view text, size_t limit, int high, TValueCheck refused, int other,
                    uint8_t transformerCode)
{
    // A text that is no number counts as 0, which the range refuses.
    const int value = ShortNumber(text, limit).value_or(0);
    if (value < 1 || value > high) return {refused, 0};
    if (transformerCode == 1 && static_cast<int64_t>(value) * other > kMaxRatioProduct)
        return {TValueCheck::VtTimesCtTooLarge, 0};
    return {TValueCheck::Ok, value};
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// value with leading zeros to width digits.
std::string Digits(int value, int width)
{
    char out[16];
    std::snprintf(out, sizeof out, "%0*d", width, value);
    return out;
}

}  // namespace

std::optional<int> ShortNumber(std::string_view text, size_t limit)
{
    const std::string_view t = Trimmed(text);
    if (t.empty() || t.size() > limit) return std::nullopt;
    return DigitsAt(t, 0, t.size());
}

int ShownRatio(std::string_view caption, size_t limit, std::string_view noValueMark)
{
    const std::string_view t = Trimmed(caption);
    if (t.empty() || t == Trimmed(noValueMark) || t.size() > limit) return 0;
    return DigitsAt(t, 0, t.size()).value_or(0);
}

TCheckedValue CheckModbusAddress(std::string_view text)
{
    return InRange(ShortNumber(text, 3), 1, 247, TValueCheck::AddressRange1247);
}

TCheckedValue CheckPrimaryAddress(std::string_view text)
{
    return InRange(ShortNumber(text, 3), 0, 250, TValueCheck::AddressRange0250);
}

TCheckedValue CheckDemandPeriod(std::string_view text)
{
    return InRange(ShortNumber(text, 3), 1, 255, TValueCheck::DemandPeriodRange);
}

TCheckedValue CheckVtRatio(std::string_view vtText, int shownCt, uint8_t transformerCode)
{
    return Ratio(vtText, 4, 1000, TValueCheck::VtRange, shownCt, transformerCode);
}

TCheckedValue CheckCtRatio(std::string_view ctText, int shownVt, uint8_t transformerCode)
{
    return Ratio(ctText, 5, 10000, TValueCheck::CtRange, shownVt, transformerCode);
}

std::optional<TDeviceDateTime> ParseSetupDateTime(std::string_view time, std::string_view date)
{
    if (time.size() != 8 || time[2] != ':' || time[5] != ':') return std::nullopt;
    if (date.size() != 10 || date[2] != '-' || date[5] != '-') return std::nullopt;
    const auto h = DigitsAt(time, 0, 2), mi = DigitsAt(time, 3, 2), s = DigitsAt(time, 6, 2);
    const auto d = DigitsAt(date, 0, 2), mo = DigitsAt(date, 3, 2), y = DigitsAt(date, 6, 4);
    if (!h || !mi || !s || !d || !mo || !y) return std::nullopt;
    if (*h > 23 || *mi > 59 || *s > 59) return std::nullopt;
    if (*y < 2000 || *y > 2099 || *mo < 1 || *mo > 12 || *d < 1 || *d > DaysInMonth(*y, *mo)) return std::nullopt;
    return TDeviceDateTime{*y, *mo, *d, *h, *mi, *s};
}

std::string DateFromEditor(std::string_view shown)
{
    const std::string r = BlanksAsZeros(shown, 10);
    return r.substr(8, 2) + "-" + r.substr(5, 2) + "-" + r.substr(0, 4);
}

std::string TimeFromEditor(std::string_view shown) { return BlanksAsZeros(shown, 8); }

std::string EditorDate(const TDeviceDateTime& t)
{
    return Digits(t.Year, 4) + "-" + Digits(t.Month, 2) + "-" + Digits(t.Day, 2);
}

std::string EditorTime(const TDeviceDateTime& t)
{
    return Digits(t.Hour, 2) + ":" + Digits(t.Minute, 2) + ":" + Digits(t.Second, 2);
}

TClockTexts ClockEditorTexts(std::string_view date, std::string_view time)
{
    // A year the editor cannot take back, or no calendar moment, would go back
    // to the meter garbled if sent: the placeholders are refused instead.
    if (date.size() == 10 && date[4] == '-' && date[7] == '-') {
        const std::string dayFirst =
            std::string(date.substr(8, 2)) + "-" + std::string(date.substr(5, 2)) + "-" + std::string(date.substr(0, 4));
        if (const auto t = ParseSetupDateTime(time, dayFirst)) return {EditorDate(*t), EditorTime(*t)};
    }
    return {PlaceholderDate, PlaceholderTime};
}

bool IsCounterDateText(std::string_view time, std::string_view date)
{
    // Blanks are the places left empty, which go out as 0; any other character
    // that is no digit (a placeholder letter) is no date.
    const std::string t = TimeFromEditor(time), dayFirst = DateFromEditor(date);
    const auto h = DigitsAt(t, 0, 2), mi = DigitsAt(t, 3, 2), s = DigitsAt(t, 6, 2);
    const auto d = DigitsAt(dayFirst, 0, 2), mo = DigitsAt(dayFirst, 3, 2), y = DigitsAt(dayFirst, 6, 4);
    if (!h || !mi || !s || !y || !mo || !d) return false;
    if (*h > 23 || *mi > 59 || *s > 59) return false;
    if (*y == 0 && *mo == 0) return *d <= 31;
    // Year 0000 takes the 29th of February: it acts in the leap years.
    if (*y == 0) return *mo <= 12 && *d >= 1 && *d <= DaysInMonth(2000, *mo);
    return ParseSetupDateTime(t, dayFirst).has_value();
}

std::optional<int> TariffOfText(std::string_view text, std::string_view hardwareText)
{
    if (text == hardwareText) return 0;
    const auto tariff = ShortNumber(text, 1);
    if (!tariff || *tariff < 1 || *tariff > 8) return std::nullopt;
    return tariff;
}

}  // namespace setup
