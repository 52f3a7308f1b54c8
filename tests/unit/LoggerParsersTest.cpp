// The four record parsers on the layouts' own edge cases.
#include <gtest/gtest.h>

#include <vector>

#include "core/LoggerParsers.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 32-register record: tariff 1, scale 0, E(P)in 120, E(P)out 12345,
// status 0040/0001, 2024-05-07 13:30:00, period 15.
Bytes DemandBytes()
{
    Bytes p(64, 0);
    p[2] = 1;
    p[4] = 120;
    p[8] = 0x39;
    p[9] = 0x30;
    p[24] = 0x40;
    p[26] = 0x01;
    const uint8_t stamp[] = {0, 30, 13, 7, 5, 0xE8, 0x07, 15};
    std::copy(std::begin(stamp), std::end(stamp), p.begin() + 28);
    return p;
}

TEST(DemandRecordParser, TextsOfEachField)
{
    struct Case {
        const char* name;
        size_t at;
        uint8_t value;
        TParseResult result;
        const char* date;
        const char* time;
        const char* epOut;
        const char* unit;
        const char* period;
    };
    const Case cases[] = {
        {"as recorded", 0, 0, TParseResult::Reported, " 2024-05-07", "13:30:00", " 12.345 ", " kWh", "15"},
        {"scale 4", 3, 4, TParseResult::Reported, " 2024-05-07", "13:30:00", " 123.45 ", " MWh", "15"},
        {"scale 9", 3, 9, TParseResult::Reported, " 2024-05-07", "13:30:00", " 12345 ", "", "15"},
        {"hour 24", 30, 24, TParseResult::Reported, "", "", "", "", ""},
        {"minute 60", 29, 60, TParseResult::Reported, "", "", "", "", ""},
        {"month 13", 32, 13, TParseResult::Reported, "", "", "", "", ""},
        {"day 32", 31, 32, TParseResult::Reported, "", "", "", "", ""},
        {"month 0 stays", 32, 0, TParseResult::Reported, " 2024-00-07", "13:30:00", " 12.345 ", " kWh", "15"},
        {"year 2100", 34, 0x08, TParseResult::Reported, "", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes p = DemandBytes();
        p[c.at] = c.value;
        CDemandLogger r;
        r.RecordNo = "old";
        EXPECT_EQ(ParseDemandRecord(p, r), c.result);
        EXPECT_EQ(r.Date, c.date);
        EXPECT_EQ(r.Time, c.time);
        EXPECT_EQ(r.EpOut, c.epOut);
        EXPECT_EQ(r.EpUnit, c.unit);
        EXPECT_EQ(r.Period, c.period);
        EXPECT_EQ(r.RecordNo, "");
        if (!r.Date.empty()) {
            EXPECT_EQ(r.Tariff, " 1");
            EXPECT_EQ(r.Status, " 0040, 0001");
        }
    }
}

TEST(DemandRecordParser, EndMarkKeepsPeriodAndShortAnswerWritesNothing)
{
    CDemandLogger r;
    ASSERT_EQ(ParseDemandRecord(DemandBytes(), r), TParseResult::Reported);
    EXPECT_EQ(r.EpIn, " 0.120 ");
    EXPECT_EQ(ParseDemandRecord(Bytes(64, 0xFF), r), TParseResult::Empty);
    EXPECT_EQ(r.Date, "");
    EXPECT_EQ(r.EpIn, "");
    EXPECT_EQ(r.Period, "15");

    ASSERT_EQ(ParseDemandRecord(DemandBytes(), r), TParseResult::Reported);
    const Bytes full = DemandBytes();
    EXPECT_EQ(ParseDemandRecord(std::span(full).first(DemandRecordBytes - 1), r), TParseResult::Short);
    EXPECT_EQ(r.Date, " 2024-05-07");
}

TEST(Variant2DemandRecordParser, RecordAndEmptyRecord)
{
    Bytes d(34, 0);
    const uint8_t number[] = {0x00, 0x01, 0xE2, 0x40};
    std::copy(std::begin(number), std::end(number), d.begin());
    d[4] = 0x07, d[5] = 0xE8, d[7] = 5, d[9] = 7, d[11] = 13, d[13] = 30;
    d[16] = 0x30, d[17] = 0x39;  // E(P)in 12345
    d[23] = 120;                 // E(P)out 120
    d[27] = 1;
    d[28] = 0x80, d[29] = 0x01, d[31] = 0x08;
    d[33] = 2;
    CDemandLogger r;
    r.Period = "15";
    ASSERT_EQ(ParseVariant2DemandRecord(d, r), TParseResult::Reported);
    EXPECT_EQ(r.RecordNo, "123456");
    EXPECT_EQ(r.Date, " 2024-05-07");
    EXPECT_EQ(r.Time, " 13:30");
    EXPECT_EQ(r.EpIn, " 123.45 ");
    EXPECT_EQ(r.EpOut, " 1.20 ");
    EXPECT_EQ(r.EpUnit, " kWh");
    EXPECT_EQ(r.EqIn + r.EqOut + r.EqUnit, "");
    EXPECT_EQ(r.Status, " 8001, 0008");
    EXPECT_EQ(r.Tariff, " 2");
    EXPECT_EQ(r.Period, "15");

    EXPECT_EQ(ParseVariant2DemandRecord(Bytes(34, 0), r), TParseResult::Empty);
    for (const std::string* t : {&r.Tariff, &r.EpIn, &r.EpOut, &r.EqIn, &r.EqOut, &r.Time, &r.Date, &r.RecordNo})
        EXPECT_EQ(*t, " ----");
    EXPECT_EQ(r.EpUnit + r.EqUnit, "");
    EXPECT_EQ(r.Status, " ----, ----");
    EXPECT_EQ(r.Period, "15");
    EXPECT_EQ(ParseVariant2DemandRecord(std::span(d).first(33), r), TParseResult::Short);
}

TEST(EventRecordParser, RecordEndMarkAndShortAnswer)
{
    Bytes p(32, 0);
    p[2] = 0x10;
    for (uint8_t k = 0; k < 7; ++k) p[3 + k] = k + 1;
    const uint8_t stamp[] = {5, 4, 3, 2, 1, 0xE8, 0x07};
    std::copy(std::begin(stamp), std::end(stamp), p.begin() + 14);
    EventRecord r;
    ASSERT_EQ(ParseEventRecord(p, r), TParseResult::Reported);
    EXPECT_EQ(r.Date, " 2024-01-02");
    EXPECT_EQ(r.Time, "03:04:05");
    EXPECT_EQ(r.EventCode, " 10");
    EXPECT_EQ(r.Parameters, " 01  02  03  04  05  06  07");
    EXPECT_EQ(ParseEventRecord(std::span(p).first(20), r), TParseResult::Short);
    EXPECT_EQ(r.EventCode, " 10");
    EXPECT_EQ(ParseEventRecord(Bytes(32, 0xFF), r), TParseResult::Empty);
    EXPECT_EQ(r.Date + r.Time + r.EventCode + r.Parameters, "");
}

TEST(CertifiedRecordParser, EntryAndEmptyEntry)
{
    Bytes d(30, 0);
    const int fields[] = {7, 18, 2024, 5, 7, 13, 30, 0, 2024, 5, 7, 13, 30, 21};
    for (size_t k = 0; k < std::size(fields); ++k) d[2 * k + 1] = static_cast<uint8_t>(fields[k] & 0xFF),
                                                   d[2 * k] = static_cast<uint8_t>(fields[k] >> 8);
    d[29] = 0xAB;
    CCertifiedLogger r;
    ASSERT_EQ(ParseCertifiedRecord(d, r), TParseResult::Reported);
    EXPECT_EQ(r.EntryId, "7");
    EXPECT_EQ(r.Event, "018");
    EXPECT_EQ(r.OldTime, " 2024-05-07  13:30:00");
    EXPECT_EQ(r.NewTime, " 2024-05-07  13:30:21");
    EXPECT_EQ(r.Checksum, " AB");

    d[1] = 0;
    EXPECT_EQ(ParseCertifiedRecord(d, r), TParseResult::Reported);
    EXPECT_EQ(r.EntryId + r.Event + r.OldTime + r.NewTime, " ---- ---- ---- ----");
    EXPECT_EQ(r.Checksum, " AB");
    EXPECT_EQ(ParseCertifiedRecord(std::span(d).first(29), r), TParseResult::Short);
}

// The end of a Modbus log is FF FF in the record's first register alone.
TEST(LogEndMark, FirstRegisterFFFFWhateverFollows)
{
    const struct {
        const char* what;
        Bytes record;
        bool end;
    } cases[] = {
        {"all FF", Bytes(32, 0xFF), true},
        {"FF FF, then a record", {0xFF, 0xFF, 0x01, 0x00, 0x78, 0x00}, true},
        {"FF, then not", {0xFF, 0x00, 0xFF, 0xFF}, false},
        {"not, then FF", {0x00, 0xFF, 0xFF, 0xFF}, false},
        {"all zeros", Bytes(34, 0x00), false},
        {"one byte", {0xFF}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLogEndMark(c.record), c.end) << c.what;
}

TEST(RecordPayloadBase, ByTransportAndAddressing)
{
    EXPECT_EQ(RecordPayloadBase('2', '5'), 11u);
    EXPECT_EQ(RecordPayloadBase('2', '6'), 19u);
    EXPECT_EQ(RecordPayloadBase('3', '5'), 3u);
    EXPECT_EQ(RecordPayloadBase('4', '6'), 9u);
}

}  // namespace
