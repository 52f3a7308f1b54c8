#include "core/ScaledValue.h"

#include <cstdlib>

namespace {

// Places the point for decimals codes 1 to 3 on digits without sign.
std::string PlacePoint(const std::string& digits, int decimals)
{
    const size_t n = digits.size();
    if (n == 0 || decimals <= 0)
        return digits;
    const size_t d = static_cast<size_t>(decimals);
    if (n <= d)
        return "0." + std::string(d - n, '0') + digits;
    return digits.substr(0, n - d) + "." + digits.substr(n - d);
}

// Version form: 5 -> 0.5, 123 -> 1.23. A negative value keeps its sign in front.
std::string VersionNumber(int16_t value)
{
    const int magnitude = std::abs(static_cast<int>(value));
    const std::string digits = std::to_string(magnitude);
    std::string text = magnitude < 100 ? "0." + digits : digits.substr(0, 1) + "." + digits.substr(1);
    return value < 0 ? "-" + text : text;
}

}  // namespace

std::string FormatScaledValue(const ScaledValueSpec& spec, uint8_t (&rawValue)[4])
{
    std::string number;
    bool hasRaw = true;
    int64_t raw = 0;
    switch (spec.WidthCode) {
    case swBigEndian16:
        rawValue[0] = spec.Bytes[1];
        rawValue[1] = spec.Bytes[0];
        raw = static_cast<int16_t>(rawValue[0] | (rawValue[1] << 8));
        break;
    case swLittleEndian16:
        rawValue[0] = spec.Bytes[0];
        rawValue[1] = spec.Bytes[1];
        raw = static_cast<int16_t>(rawValue[0] | (rawValue[1] << 8));
        break;
    case swLittleEndian32:
        for (int i = 0; i < 4; ++i)
            rawValue[i] = spec.Bytes[i];
        raw = static_cast<int32_t>(static_cast<uint32_t>(rawValue[0]) | (static_cast<uint32_t>(rawValue[1]) << 8) |
                                   (static_cast<uint32_t>(rawValue[2]) << 16) |
                                   (static_cast<uint32_t>(rawValue[3]) << 24));
        break;
    case swText:
        hasRaw = false;
        number = spec.Text;
        break;
    default:
        // No caller uses another width; it yields an empty number.
        hasRaw = false;
        break;
    }
    if (hasRaw)
        number = std::to_string(raw);
    const bool overLimit = spec.CheckLimit && hasRaw && raw > spec.Limit;

    const bool negative = !number.empty() && number[0] == '-';
    if (negative)
        number.erase(0, 1);

    switch (spec.DecimalsCode) {
    case 1:
    case sdThd:
        number = PlacePoint(number, 1);
        break;
    case 2:
        number = PlacePoint(number, 2);
        break;
    case 3:
        number = PlacePoint(number, 3);
        break;
    case sdVersion:
        number = VersionNumber(static_cast<int16_t>(rawValue[0] | (rawValue[1] << 8)));
        break;
    default:
        break;
    }
    // The version form carries its own sign.
    if (negative && spec.DecimalsCode != sdVersion)
        number.insert(0, 1, '-');

    std::string result = " " + number + " " + spec.Unit;
    if (overLimit)
        result = TextOverLimit;
    if (spec.DashIfNegative && (result[0] == '-' || (result.size() > 1 && result[1] == '-')))
        result = TextNotAvailable;
    return result;
}
