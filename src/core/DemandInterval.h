#pragma once
// The period of a demand interval read as the user typed it, and the two
// writes the read sends: the period (registers 11200-11209) and the record
// pointer (11300-11302) that makes the meter walk the period's records.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text as a decimal number, every blank counting as '0', within min and
// max inclusive. An empty text or any other character is out of range.
bool IsNumberInRange(std::string_view text, int min, int max);

// Year 2015-2050, month 1-12, day 1-31, hour 0-23 and minute 0-59 of both
// ends, from dates "YYYY-MM-DD" and times "hh:mm".
bool IntervalEditsValid(std::string_view dateFrom, std::string_view timeFrom, std::string_view dateTill,
                        std::string_view timeTill);

// "YYYY-MM-DD hh:mm" with the minutes cut down to the quarter hour.
std::string IntervalPeriodText(std::string_view date, std::string_view time);

// The request template (length, address position 0, frame with CRC
// placeholders) that writes the period from and till into registers
// 11200-11209. Returns the bytes used, or 0 when the buffer is too small.
int BuildIntervalWrite(std::string_view from, std::string_view till, std::span<uint8_t> tpl);

// The template of the record-pointer write: command 3 and the final record
// number of the interval block (its registers 19 and 20, as received).
// Returns the bytes used, or 0 when the buffer is too small.
int BuildRecordPointerWrite(std::span<const uint8_t, 4> finalRecordNumber, std::span<uint8_t> tpl);
