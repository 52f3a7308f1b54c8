#include "core/TextHelpers.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

uint8_t HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<uint8_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<uint8_t>(c - 'a' + 10);
    return 0;
}

} // namespace

std::string ByteToHex(uint8_t value)
{
    return std::string{kHexDigits[value >> 4], kHexDigits[value & 0x0F]};
}

uint8_t HexToByte(std::string_view text)
{
    const uint8_t high = text.size() > 0 ? HexDigitValue(text[0]) : 0;
    const uint8_t low = text.size() > 1 ? HexDigitValue(text[1]) : 0;
    return static_cast<uint8_t>(high * 16 + low);
}

std::string RemoveSpaces(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string LocalizeNumber(std::string_view text, int language)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (language == 0 && c == ',') c = '.';
        else if (language == 1 && c == '.') c = ',';
        if ((c >= '0' && c <= '9') || c == ',' || c == '.') out.push_back(c);
    }
    return out;
}
