#pragma once
// Frames of the settings that the UI thread sends itself: the M-Bus SND_UD
// that carries one setting record (freeze or reset date, PS-field mask), and
// the Modbus write of a freeze or reset date prepared as CustomRequest.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Whom an M-Bus SND_UD goes to.
struct TMBusSendTarget {
    char AddressingMode = 0;  // '5' primary, '6' secondary
    uint8_t Address = 0;      // primary address
    std::string_view SecondaryAddress;  // eight digits, secondary only
    uint8_t ManufacturerIndex = 0;      // 0 wildcard, 1 and 2 the brands
    uint8_t MbusVersion = 0;
};

// 68 L L 68 73 A 51 [ident(4) manufacturer(2) version medium] record CS 16.
// Returns the frame length, or 0 for an unknown addressing mode or a frame that
// does not fit tx.
int BuildMBusSndUd(const TMBusSendTarget& target, std::span<const uint8_t> record, std::span<uint8_t> tx);

// Date and time as the counter date setting sends them. No range is checked:
// whatever two digits the edits hold go out.
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
// CustomRequest for the write of four holding registers at 10800 (freeze) or
// 10700 (reset): 17, 0, then the frame with two CRC places.
void BuildCounterDateRequest(TCounterDateKind kind, const TCounterDate& d, std::span<uint8_t> customRequest);
