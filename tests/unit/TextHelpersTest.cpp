#include "core/TextHelpers.h"

#include <gtest/gtest.h>

#include <string>

TEST(ByteToHex, TwoUpperCaseDigits)
{
    const struct { uint8_t value; const char* text; } cases[] = {
        {0, "00"}, {10, "0A"}, {0x42, "42"}, {0xA5, "A5"}, {0xF0, "F0"}, {255, "FF"},
    };
    for (const auto& c : cases) EXPECT_EQ(ByteToHex(c.value), c.text) << int(c.value);
}

TEST(HexToByte, RoundTripsEveryByte)
{
    for (int v = 0; v <= 255; ++v)
        EXPECT_EQ(HexToByte(ByteToHex(static_cast<uint8_t>(v))), v) << v;
}

TEST(HexToByte, ReadsTheFirstTwoCharacters)
{
    const struct { const char* text; uint8_t value; } cases[] = {
        {"42", 0x42},       // decimal digits become their BCD byte
        {"99", 0x99},
        {"0F", 0x0F},
        {"FF123", 0xFF},    // only the first two count
        {"ab", 0xAB},       // lower case reads like upper case
        {"aF", 0xAF},
        {"G1", 0x01},       // not a digit: 0
        {"1 ", 0x10},
        {"-5", 0x05},
    };
    for (const auto& c : cases) EXPECT_EQ(HexToByte(c.text), c.value) << c.text;
}

TEST(HexToByte, ShortTextReadsNothingBeyondItsEnd)
{
    // A view into a longer buffer: the characters after the view must not count.
    const std::string buffer = "7FFF";
    EXPECT_EQ(HexToByte(std::string_view(buffer.data(), 1)), 0x70);
    EXPECT_EQ(HexToByte(std::string_view(buffer.data(), 0)), 0x00);
    EXPECT_EQ(HexToByte(""), 0x00);
}

TEST(RemoveSpaces, DropsOnlyBlanks)
{
    const struct { const char* in; const char* out; } cases[] = {
        {" 1 2  3 ", "123"},
        {"", ""},
        {"   ", ""},
        {"a\tb c", "a\tbc"},        // tabs are not blanks
        {"12.5 kWh", "12.5kWh"},
        {"x", "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(RemoveSpaces(c.in), c.out) << c.in;
}

TEST(LocalizeNumber, SeparatorOfTheLanguageAndDigitsOnly)
{
    const struct { const char* in; int language; const char* out; } cases[] = {
        {"1,5 kWh", 0, "1.5"},
        {"12.75", 1, "12,75"},
        {"-3.2", 0, "3.2"},            // the sign goes like any other non-digit
        {"-3.2", 1, "3,2"},
        {"1.234,5", 0, "1.234.5"},     // every separator is turned, not just the last
        {"1.234,5", 1, "1,234,5"},
        {" 0.000 kvarh", 1, "0,000"},
        {"", 0, ""},
        {"kWh", 1, ""},
        {"1,5.2", 2, "1,5.2"},         // unknown language: separators stay
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalizeNumber(c.in, c.language), c.out) << c.in << " / " << c.language;
}
