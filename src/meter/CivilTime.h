#pragma once
// Calendar arithmetic for the simulated meter's clock. The meter keeps local
// civil time without a time zone, so everything here counts seconds from
// 1970-01-01 00:00:00 of that civil calendar (no leap seconds, proleptic
// Gregorian).
#include <cstdint>
#include <optional>
#include <string>

namespace meter {

struct CivilTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const CivilTime&) const = default;
};

int64_t DaysFromCivil(int year, int month, int day);
int DaysInMonth(int year, int month);
int64_t ToSeconds(const CivilTime& t);
CivilTime FromSeconds(int64_t seconds);
// Month, day, hour, minute and second within their ranges for that year.
bool IsValidCivil(const CivilTime& t);
// "YYYY-MM-DD HH:MM:SS" or with a 'T' between date and time.
std::optional<CivilTime> ParseCivil(const std::string& text);
std::string FormatCivil(const CivilTime& t);

}  // namespace meter
