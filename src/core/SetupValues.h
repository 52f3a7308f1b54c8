#pragma once
// The values of the setup commands as the user types them: the rule that
// reads a number, the limits of each setting, and the date and time of the
// clock command. Which message a refused value gets is the caller's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace setup {

// What the check of a typed value found.
enum class TValueCheck : uint8_t {
    Ok,
    AddressRange1247,   // Modbus unit address
    AddressRange0250,   // M-Bus primary address
    DemandPeriodRange,  // 1-255 minutes
    VtRange,            // 1-1000
    CtRange,            // 1-10000
    VtTimesCtTooLarge,  // above 100000 on a device with transformer code 1
    DateTimeInvalid,    // not a date and time of the calendar
};

struct TCheckedValue {
    TValueCheck Check = TValueCheck::Ok;
    int Value = 0;
};

// The short number rule: blanks around the text removed; an empty text, one
// longer than limit characters or one that is not all decimal digits gives
// nothing.
std::optional<int> ShortNumber(std::string_view text, size_t limit);

// A ratio as the device-information column shows it: trimmed; empty, the
// no-value mark or longer than limit characters counts as 0.
int ShownRatio(std::string_view caption, size_t limit, std::string_view noValueMark);

TCheckedValue CheckModbusAddress(std::string_view text);
TCheckedValue CheckPrimaryAddress(std::string_view text);
TCheckedValue CheckDemandPeriod(std::string_view text);
// The new ratio and the other one shown now; only transformer code 1 limits
// the product.
TCheckedValue CheckVtRatio(std::string_view vtText, int shownCt, uint8_t transformerCode);
TCheckedValue CheckCtRatio(std::string_view ctText, int shownVt, uint8_t transformerCode);

struct TDeviceDateTime {
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// The clock command's texts: time "HH:MM:SS" and date "DD-MM-YYYY". Nothing
// unless both are digits in those places and name a real moment of the years
// 2000 to 2099.
std::optional<TDeviceDateTime> ParseSetupDateTime(std::string_view time, std::string_view date);
// The date editor's ten characters ("YYYY-MM-DD") as "DD-MM-YYYY", blanks as '0'.
std::string DateFromEditor(std::string_view shown);
// The time editor's eight characters, blanks as '0'.
std::string TimeFromEditor(std::string_view shown);
// "YYYY-MM-DD" and "HH:MM:SS" of a moment, each field with its leading zeros.
std::string EditorDate(const TDeviceDateTime& t);
std::string EditorTime(const TDeviceDateTime& t);
// What the clock command's editors show of a device clock read as
// "YYYY-MM-DD" and "HH:MM:SS": the clock itself when the command could send
// it back, else the placeholders "YYYY-MM-DD" and "HH:MM:SS".
struct TClockTexts {
    std::string Date, Time;
};
TClockTexts ClockEditorTexts(std::string_view date, std::string_view time);

// The freeze or reset date edits ("HH:MM:SS", "YYYY-MM-DD"; a blank counts as
// '0'): a moment that the clock command takes, or one of the repeating forms,
// year 0000 (every year on that day), 0000-00-DD (every month) and 0000-00-00
// (every day), at a time of the day.
bool IsCounterDateText(std::string_view time, std::string_view date);

// The tariff list's text: " Hardware" is 0, " 1" to " 8" their number;
// nothing for any other text.
std::optional<int> TariffOfText(std::string_view text, std::string_view hardwareText);

}  // namespace setup
