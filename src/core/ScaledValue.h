#pragma once
// Turning one raw meter value into a value text: blank, number with a fixed
// count of decimals, blank, unit; or " OL" above a limit, or " - - -" for a
// negative value that means "not available".
#include <cstdint>
#include <string>

struct ScaledValueSpec {
    std::string Text;            // the number as decimal text, width code 1 only
    uint8_t DashIfNegative = 0;  // 1: a negative result becomes " - - -"
    int WidthCode = 0;           // 0, 1, 2 or 4, see below
    uint8_t Bytes[4]{};          // raw bytes in the order the width code expects
    int DecimalsCode = 0;        // 0, 1, 2, 3, 100 or 1000
    std::string Unit;            // appended after a blank; may be empty
    uint8_t CheckLimit = 0;      // 1: a raw value above Limit gives " OL"
    int Limit = 0;
};

// Width codes: how the raw value is built from Bytes.
enum : int {
    swBigEndian16 = 0,     // signed 16-bit, Bytes[0] high, Bytes[1] low (Modbus register)
    swText = 1,            // Text as it stands
    swLittleEndian16 = 2,  // signed 16-bit, Bytes[0] low, Bytes[1] high (M-Bus)
    swLittleEndian32 = 4,  // signed 32-bit, Bytes[0] least significant
};

// Decimals codes besides 0 to 3: the THD point (one decimal) and versions
// (point after the first digit of the 16-bit value in the raw scratch).
enum : int { sdThd = 1000, sdVersion = 100 };

inline constexpr const char* TextOverLimit = " OL";
inline constexpr const char* TextNotAvailable = " - - -";

// Formats one value. rawValue is the shared scratch: widths 0 and 2 leave the
// 16-bit value in bytes 0-1 (low byte first), width 4 all four bytes, width 1
// leaves it as it is. Decimals code 100 reads bytes 0-1 of it.
std::string FormatScaledValue(const ScaledValueSpec& spec, uint8_t (&rawValue)[4]);
