// The period of a demand interval read: its checks, the cut to the quarter
// hour, and the two write requests it becomes.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/DemandInterval.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(DemandInterval, EditChecks)
{
    struct Case {
        const char *dateFrom, *timeFrom, *dateTill, *timeTill;
        bool valid;
    } cases[] = {
        {"2021-05-03", "10:52", "2021-05-04", "00:07", true},
        {"2015-01-01", "00:00", "2050-12-31", "23:59", true},
        {"2014-12-31", "10:00", "2021-05-04", "00:07", false},  // year before 2015
        {"2021-05-03", "24:00", "2021-05-04", "00:07", false},  // hour 24
        {"2021-05-03", "10:60", "2021-05-04", "00:07", false},  // minute 60
        {"2021-13-03", "10:00", "2021-05-04", "00:07", false},
        {"2021-05-03", "10:00", "2021-05-32", "00:07", false},  // the till end is checked too
        {"2021-05-03", "10:00", "2051-05-04", "00:07", false},
        {"2021-05-  ", "10:00", "2021-05-04", "00:07", false},  // blanks count as 0: day 0
        {"2021-05- 3", " 9: 5", "2021-05-04", "0 :07", true},
        {"", "", "", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntervalEditsValid(c.dateFrom, c.timeFrom, c.dateTill, c.timeTill), c.valid)
            << c.dateFrom << " " << c.timeFrom << " " << c.dateTill << " " << c.timeTill;
    EXPECT_FALSE(IsNumberInRange("1a", 0, 99));
    EXPECT_TRUE(IsNumberInRange("  ", 0, 0));
}

TEST(DemandInterval, MinutesAreCutToTheQuarterHour)
{
    struct Case {
        const char *time, *period;
    } cases[] = {
        {"10:52", "2021-05-03 10:45"}, {"10:59", "2021-05-03 10:45"}, {"10:15", "2021-05-03 10:15"},
        {"10:14", "2021-05-03 10:00"}, {"10:30", "2021-05-03 10:30"}, {"10:44", "2021-05-03 10:30"},
        {"00:00", "2021-05-03 00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(IntervalPeriodText("2021-05-03", c.time), c.period) << c.time;
}

TEST(DemandInterval, WriteRequests)
{
    std::array<uint8_t, 210> tpl{};
    const int n = BuildIntervalWrite("2021-05-03 10:45", "2021-05-04 00:00", tpl);
    // Length 29, no address to put in, unit 1, write of ten registers from 11200.
    const Bytes expected = {29,   0,    0x01, 0x10, 0x2B, 0xC0, 0x00, 0x0A, 0x14, 0x07, 0xE5, 0x00, 0x05, 0x00, 0x03,
                            0x00, 0x0A, 0x00, 0x2D, 0x07, 0xE5, 0x00, 0x05, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,
                            0x00};
    ASSERT_EQ(n, 31);
    EXPECT_EQ(Bytes(tpl.begin(), tpl.begin() + n), expected);

    const uint8_t finalRecord[4] = {0x00, 0x01, 0xE2, 0x40};
    const int m = BuildRecordPointerWrite(finalRecord, tpl);
    const Bytes pointer = {15,   0,    0x01, 0x10, 0x2C, 0x24, 0x00, 0x03, 0x06,
                           0x00, 0x03, 0x00, 0x01, 0xE2, 0x40, 0x00, 0x00};
    ASSERT_EQ(m, 17);
    EXPECT_EQ(Bytes(tpl.begin(), tpl.begin() + m), pointer);

    std::array<uint8_t, 20> small{};
    EXPECT_EQ(BuildIntervalWrite("2021-05-03 10:45", "2021-05-04 00:00", small), 0);
}

} // namespace
