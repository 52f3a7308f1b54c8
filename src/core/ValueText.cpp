#include "core/ValueText.h"

#include <charconv>
#include <cmath>

std::string Pad2(unsigned value) { return value <= 9 ? "0" + std::to_string(value) : std::to_string(value); }

double ParseValueText(const std::string& text)
{
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ')
        ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec != std::errc())
        return 0;
    return value;
}

std::string FixedText(double value, int decimals)
{
    if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals))
        value = 0;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return std::string();
    return std::string(buffer, result.ptr);
}

void AppendLatin1(std::string& text, uint8_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}
