#include "core/DemandInterval.h"

#include <algorithm>

namespace {

constexpr uint8_t kUnit = 0x01;
constexpr uint8_t kWriteRegisters = 0x10;
constexpr uint16_t kIntervalRegister = 11200;
constexpr uint16_t kRecordPointerRegister = 11300;
constexpr uint16_t kSeekCommand = 3;
constexpr size_t kPeriodFields = 5;
constexpr size_t kCrcPlaceholders = 2;

// 1-based character positions of the fields of "YYYY-MM-DD hh:mm".
struct Field {
    size_t first, length;
};
constexpr Field kPeriodLayout[kPeriodFields] = {{1, 4}, {6, 2}, {9, 2}, {12, 2}, {15, 2}};

// Blanks, and characters the text lacks, count as '0'.
int FieldValue(std::string_view text, Field f)
{
    int value = 0;
    for (size_t i = f.first - 1; i < f.first - 1 + f.length; ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        value = value * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    }
    return value;
}

std::string_view Part(std::string_view text, size_t first, size_t length)
{
    return first - 1 < text.size() ? text.substr(first - 1, length) : std::string_view();
}

bool EndValid(std::string_view date, std::string_view time)
{
    return IsNumberInRange(Part(date, 1, 4), 2015, 2050) && IsNumberInRange(Part(date, 6, 2), 1, 12) &&
           IsNumberInRange(Part(date, 9, 2), 1, 31) && IsNumberInRange(Part(time, 1, 2), 0, 23) &&
           IsNumberInRange(Part(time, 4, 2), 0, 59);
}

// Writes a Modbus write-multiple-registers template; the data are `words`
// 16-bit values, high byte first.
int WriteTemplate(uint16_t start, std::span<const uint16_t> words, std::span<uint8_t> tpl)
{
    const size_t frame = 7 + 2 * words.size() + kCrcPlaceholders;
    if (tpl.size() < frame + 2) return 0;
    std::fill(tpl.begin(), tpl.begin() + static_cast<std::ptrdiff_t>(frame + 2), uint8_t{0});
    size_t i = 0;
    tpl[i++] = static_cast<uint8_t>(frame);
    tpl[i++] = 0;  // the unit id stays 1
    tpl[i++] = kUnit;
    tpl[i++] = kWriteRegisters;
    tpl[i++] = static_cast<uint8_t>(start >> 8);
    tpl[i++] = static_cast<uint8_t>(start & 0xFF);
    tpl[i++] = 0;
    tpl[i++] = static_cast<uint8_t>(words.size());
    tpl[i++] = static_cast<uint8_t>(2 * words.size());
    for (uint16_t w : words) {
        tpl[i++] = static_cast<uint8_t>(w >> 8);
        tpl[i++] = static_cast<uint8_t>(w & 0xFF);
    }
    return static_cast<int>(frame + 2);
}

} // namespace

bool IsNumberInRange(std::string_view text, int min, int max)
{
    if (text.empty() || text.size() > 9) return false;
    int value = 0;
    for (char c : text) {
        if (c == ' ') c = '0';
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= min && value <= max;
}

bool IntervalEditsValid(std::string_view dateFrom, std::string_view timeFrom, std::string_view dateTill,
                        std::string_view timeTill)
{
    return EndValid(dateFrom, timeFrom) && EndValid(dateTill, timeTill);
}

std::string IntervalPeriodText(std::string_view date, std::string_view time)
{
    std::string period(date.substr(0, std::min<size_t>(10, date.size())));
    period.resize(10, ' ');
    period += ' ';
    period += time.substr(0, std::min<size_t>(5, time.size()));
    period.resize(16, ' ');
    const int minute = FieldValue(period, kPeriodLayout[4]);
    const int quarter = minute >= 60 ? 45 : minute / 15 * 15;
    period[14] = static_cast<char>('0' + quarter / 10);
    period[15] = static_cast<char>('0' + quarter % 10);
    return period;
}

int BuildIntervalWrite(std::string_view from, std::string_view till, std::span<uint8_t> tpl)
{
    uint16_t words[2 * kPeriodFields];
    for (size_t f = 0; f < kPeriodFields; ++f) {
        words[f] = static_cast<uint16_t>(FieldValue(from, kPeriodLayout[f]));
        words[kPeriodFields + f] = static_cast<uint16_t>(FieldValue(till, kPeriodLayout[f]));
    }
    return WriteTemplate(kIntervalRegister, words, tpl);
}

int BuildRecordPointerWrite(std::span<const uint8_t, 4> finalRecordNumber, std::span<uint8_t> tpl)
{
    const uint16_t words[3] = {kSeekCommand, static_cast<uint16_t>(finalRecordNumber[0] << 8 | finalRecordNumber[1]),
                               static_cast<uint16_t>(finalRecordNumber[2] << 8 | finalRecordNumber[3])};
    return WriteTemplate(kRecordPointerRegister, words, tpl);
}
