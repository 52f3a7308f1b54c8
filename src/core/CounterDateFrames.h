#pragma once
// The freeze and reset date settings: what the date and time edits send, as
// the M-Bus record and as the four Modbus holding registers.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Date and time as the counter date setting sends them. The edits are checked
// before (setup::IsCounterDateText); these functions only carry the values.
struct TCounterDate {
    uint8_t Seconds = 0;
    uint8_t Minutes = 0;
    uint8_t Hours = 0;
    uint8_t Day = 0;
    uint8_t Month = 0;
    uint8_t ShortYear = 0;
    uint16_t Year = 0;
};

// The edit texts with every character that is not a digit taken as '0':
// "HH:MM:SS" from the time's positions 1-8, "YYYY-MM-DD" from the date's 1-10.
std::string NormalizeTimeText(std::string_view time);
std::string NormalizeDateText(std::string_view date);
// The values of two normalized texts.
TCounterDate ParseCounterDate(std::string_view normalizedTime, std::string_view normalizedDate);

// Which counter date a frame sets.
enum class TCounterDateKind { Freeze, Reset };

// The six-byte date/time record (06 FF VIFE s m h packed-day packed-month 00).
std::array<uint8_t, 9> CounterDateRecord(TCounterDateKind kind, const TCounterDate& d);
// The first of the four holding registers: 10800 freeze, 10700 reset.
uint16_t CounterDateRegister(TCounterDateKind kind);
// Their eight bytes, high byte first: s m, h day, month year-low, year-high 0.
std::array<uint8_t, 8> CounterDateRegisterBytes(const TCounterDate& d);
