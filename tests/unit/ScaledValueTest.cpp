#include "core/ScaledValue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ScaledValueSpec Spec(int width, std::initializer_list<uint8_t> bytes, int decimals, const char* unit)
{
    ScaledValueSpec spec;
    spec.WidthCode = width;
    int i = 0;
    for (uint8_t b : bytes)
        spec.Bytes[i++] = b;
    spec.DecimalsCode = decimals;
    spec.Unit = unit;
    return spec;
}

ScaledValueSpec TextSpec(const char* text, int decimals, const char* unit)
{
    ScaledValueSpec spec = Spec(swText, {}, decimals, unit);
    spec.Text = text;
    return spec;
}

std::string Format(const ScaledValueSpec& spec)
{
    uint8_t raw[4]{};
    return FormatScaledValue(spec, raw);
}

}  // namespace

TEST(FormatScaledValue, DecimalsCodesPlaceThePoint)
{
    // Width 1 feeds the digits unchanged, so the table covers the point rules.
    const struct {
        const char* digits;
        int decimals;
        const char* expected;
    } cases[] = {
        {"7", 0, " 7 u"},       {"1234", 0, " 1234 u"},
        {"7", 1, " 0.7 u"},     {"12", 1, " 1.2 u"},        {"123", 1, " 12.3 u"},    {"12345", 1, " 1234.5 u"},
        {"7", 2, " 0.07 u"},    {"12", 2, " 0.12 u"},       {"123", 2, " 1.23 u"},    {"12345", 2, " 123.45 u"},
        {"7", 3, " 0.007 u"},   {"12", 3, " 0.012 u"},      {"123", 3, " 0.123 u"},   {"1234", 3, " 1.234 u"},
        {"1234567", 3, " 1234.567 u"},
        {"7", 1000, " 0.7 u"},  {"12", 1000, " 1.2 u"},     {"10000", 1000, " 1000.0 u"},
        {"0", 2, " 0.00 u"},    {"0", 0, " 0 u"},
        {"-5", 3, " -0.005 u"}, {"-12345", 2, " -123.45 u"}, {"-7", 1, " -0.7 u"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(TextSpec(c.digits, c.decimals, "u")), c.expected) << c.digits << " / " << c.decimals;
}

TEST(FormatScaledValue, WidthCodesBuildTheRawValue)
{
    const struct {
        const char* what;
        ScaledValueSpec spec;
        const char* expected;
        uint8_t raw0, raw1;
    } cases[] = {
        {"register order", Spec(swBigEndian16, {0x08, 0xFC}, 1, "V"), " 230.0 V", 0xFC, 0x08},
        {"register order, negative", Spec(swBigEndian16, {0xFF, 0x9C}, 2, "A"), " -1.00 A", 0x9C, 0xFF},
        {"M-Bus order", Spec(swLittleEndian16, {0xFC, 0x08}, 1, "V"), " 230.0 V", 0xFC, 0x08},
        {"M-Bus order, most negative", Spec(swLittleEndian16, {0x00, 0x80}, 0, "W"), " -32768 W", 0x00, 0x80},
        {"32-bit", Spec(swLittleEndian32, {0x39, 0x30, 0x00, 0x00}, 3, "kWh"), " 12.345 kWh", 0x39, 0x30},
        {"32-bit, negative", Spec(swLittleEndian32, {0xFF, 0xFF, 0xFF, 0xFF}, 3, "kWh"), " -0.001 kWh", 0xFF, 0xFF},
        {"32-bit, most negative", Spec(swLittleEndian32, {0, 0, 0, 0x80}, 0, ""), " -2147483648 ", 0x00, 0x00},
    };
    for (const auto& c : cases) {
        uint8_t raw[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(FormatScaledValue(c.spec, raw), c.expected) << c.what;
        EXPECT_EQ(raw[0], c.raw0) << c.what;
        EXPECT_EQ(raw[1], c.raw1) << c.what;
    }
}

TEST(FormatScaledValue, ScratchKeepsWhatTheWidthDoesNotTouch)
{
    uint8_t raw[4] = {1, 2, 3, 4};
    FormatScaledValue(Spec(swBigEndian16, {0x12, 0x34}, 0, ""), raw);
    EXPECT_EQ(raw[2], 3);
    EXPECT_EQ(raw[3], 4);
    FormatScaledValue(TextSpec("99", 0, ""), raw);
    EXPECT_EQ(raw[0], 0x34);
    EXPECT_EQ(raw[1], 0x12);
    FormatScaledValue(Spec(swLittleEndian32, {9, 8, 7, 6}, 0, ""), raw);
    EXPECT_EQ(raw[3], 6);
}

TEST(FormatScaledValue, EmptyUnitLeavesTheTrailingBlank)
{
    EXPECT_EQ(Format(Spec(swBigEndian16, {0x00, 0x05}, 3, "")), " 0.005 ");
    EXPECT_EQ(Format(Spec(swBigEndian16, {0x03, 0xB6}, 3, "")), " 0.950 ");
}

TEST(FormatScaledValue, LimitUsesTheSignedRawValue)
{
    const struct {
        uint8_t high, low;
        int limit;
        const char* expected;
    } cases[] = {
        {0x27, 0x11, 10000, " OL"},          // 10001
        {0x27, 0x10, 10000, " 1000.0 %"},    // equal is not over
        {0x80, 0x00, 10000, " -3276.8 %"},   // negative, never over a positive limit
        {0xFF, 0xFF, -2, " OL"},             // -1 > -2
    };
    for (const auto& c : cases) {
        ScaledValueSpec spec = Spec(swBigEndian16, {c.high, c.low}, sdThd, "%");
        spec.CheckLimit = 1;
        spec.Limit = c.limit;
        EXPECT_EQ(Format(spec), c.expected);
    }
    // Without CheckLimit the limit is ignored; a text value is never checked.
    ScaledValueSpec unchecked = Spec(swBigEndian16, {0x27, 0x11}, sdThd, "%");
    unchecked.Limit = 1;
    EXPECT_EQ(Format(unchecked), " 1000.1 %");
    ScaledValueSpec text = TextSpec("99999", 0, "");
    text.CheckLimit = 1;
    EXPECT_EQ(Format(text), " 99999 ");
}

TEST(FormatScaledValue, DashForNegativeValues)
{
    ScaledValueSpec negative = Spec(swBigEndian16, {0xFF, 0x9C}, 2, "A");
    negative.DashIfNegative = 1;
    EXPECT_EQ(Format(negative), " - - -");

    ScaledValueSpec zero = Spec(swBigEndian16, {0x00, 0x00}, 2, "A");
    zero.DashIfNegative = 1;
    EXPECT_EQ(Format(zero), " 0.00 A");

    // A value text whose number starts with '-' in the first place counts too.
    ScaledValueSpec text = TextSpec("-1", 0, "");
    text.DashIfNegative = 1;
    EXPECT_EQ(Format(text), " - - -");

    // Over the limit wins: the result is exactly " OL".
    ScaledValueSpec both = Spec(swBigEndian16, {0x27, 0x11}, sdThd, "%");
    both.DashIfNegative = both.CheckLimit = 1;
    both.Limit = 10000;
    EXPECT_EQ(Format(both), " OL");
}

TEST(FormatScaledValue, VersionFormComesFromTheRawScratch)
{
    const struct {
        uint8_t high, low;
        const char* expected;
    } cases[] = {
        {0x00, 0x05, " 0.5 "},   {0x00, 0x63, " 0.99 "},  {0x00, 0x64, " 1.00 "},
        {0x00, 0x7B, " 1.23 "},  {0x04, 0xD2, " 1.234 "}, {0x00, 0x00, " 0.0 "},
        {0xFF, 0xFB, " -0.5 "},  {0xFF, 0x85, " -1.23 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Format(Spec(swBigEndian16, {c.high, c.low}, sdVersion, "")), c.expected);

    // Width 1 leaves the scratch alone, so the version shows what is already there.
    uint8_t raw[4] = {0x7B, 0x00, 0, 0};
    EXPECT_EQ(FormatScaledValue(TextSpec("5", sdVersion, ""), raw), " 1.23 ");
}

TEST(FormatScaledValue, UnusedCodes)
{
    // An unknown decimals code leaves the digits; an unknown width gives no number.
    EXPECT_EQ(Format(Spec(swBigEndian16, {0x00, 0x7B}, 7, "x")), " 123 x");
    EXPECT_EQ(Format(Spec(3, {0x00, 0x7B}, 1, "x")), "  x");
}
