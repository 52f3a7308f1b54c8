// The frames of the counter date settings and the PS-field selection, against
// bytes worked out by hand from the meter's frame layout.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/PsFieldMask.h"
#include "core/CounterDateFrames.h"
#include "core/SetupFrames.h"

namespace {

std::vector<uint8_t> Frame(const setup::TMBusTarget& t, std::span<const uint8_t> record) {
    std::array<uint8_t, 64> tx{};
    const int n = setup::BuildMBusSettingFrame(tx, t, setup::MBusCiDataRecords, record);
    return {tx.begin(), tx.begin() + n};
}

uint8_t Sum(const std::vector<uint8_t>& f, size_t from, size_t to) {
    unsigned s = 0;
    for (size_t i = from; i < to; ++i) s += f[i];
    return static_cast<uint8_t>(s);
}

TEST(CounterDateFrames, EditTextsBecomeWhatIsSent) {
    struct Case {
        const char* time;
        const char* date;
        const char* sentTime;
        const char* sentDate;
    };
    const Case cases[] = {
        {"12:34:56", "2021-03-07", "12:34:56", "2021-03-07"},
        {"1 :2 :  ", "2021-03-07", "10:20:00", "2021-03-07"},
        {"  :  :  ", "    -  -  ", "00:00:00", "0000-00-00"},
        {"", "", "00:00:00", "0000-00-00"},
        {"99:99:99x", "9999-99-99", "99:99:99", "9999-99-99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.time);
        EXPECT_EQ(NormalizeTimeText(c.time), c.sentTime);
        EXPECT_EQ(NormalizeDateText(c.date), c.sentDate);
    }
}

TEST(CounterDateFrames, MBusRecordPacksTheShortYearIntoDayAndMonth) {
    const TCounterDate d = ParseCounterDate("12:34:56", "2021-03-07");
    const auto freeze = CounterDateRecord(TCounterDateKind::Freeze, d);
    EXPECT_EQ(freeze, (std::array<uint8_t, 9>{0x06, 0xFF, 0x1C, 0x38, 0x22, 0x0C, 0xA7, 0x23, 0x00}));
    EXPECT_EQ(CounterDateRecord(TCounterDateKind::Reset, d)[2], 0x19);
    // 99 spreads over both bytes and wraps them modulo 256.
    const auto late = CounterDateRecord(TCounterDateKind::Freeze, ParseCounterDate("00:00:00", "2099-12-31"));
    EXPECT_EQ(late[6], static_cast<uint8_t>(31 + (99 & 7) * 32));
    EXPECT_EQ(late[7], static_cast<uint8_t>(12 + (99 & 0x78) * 2));
}

TEST(CounterDateFrames, ModbusRegistersHoldThePlainValues) {
    const TCounterDate d = ParseCounterDate("12:34:56", "2021-03-07");
    EXPECT_EQ(CounterDateRegisterBytes(d), (std::array<uint8_t, 8>{0x38, 0x22, 0x0C, 0x07, 0x03, 0xE5, 0x07, 0x00}));
    EXPECT_EQ(CounterDateRegister(TCounterDateKind::Freeze), 10800);
    EXPECT_EQ(CounterDateRegister(TCounterDateKind::Reset), 10700);
}

TEST(CounterDateFrames, MBusFramesForPrimaryAndSecondaryAddressing) {
    const auto record = CounterDateRecord(TCounterDateKind::Freeze, ParseCounterDate("12:34:56", "2021-03-07"));
    const auto primary = Frame({false, 7, "", 0, 0}, record);
    ASSERT_EQ(primary.size(), 18u);
    EXPECT_EQ(std::vector<uint8_t>(primary.begin(), primary.begin() + 7),
              (std::vector<uint8_t>{0x68, 0x0C, 0x0C, 0x68, 0x73, 7, 0x51}));
    EXPECT_EQ(primary[16], Sum(primary, 4, 16));
    EXPECT_EQ(primary[17], 0x16);

    const auto secondary = Frame({true, 7, "12345678", 1, 0x21}, record);
    ASSERT_EQ(secondary.size(), 26u);
    EXPECT_EQ(std::vector<uint8_t>(secondary.begin(), secondary.begin() + 15),
              (std::vector<uint8_t>{0x68, 0x14, 0x14, 0x68, 0x73, 0xFD, 0x51, 0x78, 0x56, 0x34, 0x12, 0xCB, 0x52,
                                    0x21, 0x02}));
    EXPECT_EQ(secondary[24], Sum(secondary, 4, 24));
}

TEST(PsFieldMask, FieldsMapToBitsOfTwelveBytes) {
    struct Case {
        std::vector<int> fields;
        TPsFieldBytes bytes;
    };
    std::vector<int> all;
    for (int n = 1; n <= PsFieldCount; ++n) all.push_back(n);
    const Case cases[] = {
        {{}, {}},
        {{1}, {0x01}},
        {{83}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0}},
        {{1, 83}, {0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 16, 35, 36, 78, 79, 80, 81, 82, 83},
         {0xFF, 0x9B, 0, 0, 0x0C, 0, 0, 0, 0, 0xE0, 0x07, 0}},
        {all, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0x00}},
    };
    for (const Case& c : cases) {
        std::array<bool, PsFieldCount> checked{};
        for (int n : c.fields) checked[static_cast<size_t>(n - 1)] = true;
        EXPECT_EQ(PsFieldBytes(checked), c.bytes);
        for (int n = 1; n <= PsFieldCount; ++n) EXPECT_EQ(PsFieldSelected(c.bytes, n), checked[n - 1]) << n;
        EXPECT_EQ(PsFieldMaskByte(checked, 11), 0);
        EXPECT_EQ(PsFieldMaskByte(checked, -1), 0);
    }
    // Bits beyond field 83 name nothing.
    TPsFieldBytes high{};
    high[10] = 0xFF;
    high[11] = 0xFF;
    int selected = 0;
    for (int n = 1; n <= PsFieldCount; ++n) selected += PsFieldSelected(high, n);
    EXPECT_EQ(selected, 3);
    EXPECT_FALSE(PsFieldSelected(high, 84));
}

TEST(PsFieldMask, FileContentAndSendRecord) {
    const std::vector<uint8_t> eleven(11, 0x01);
    EXPECT_FALSE(ParsePsFieldFile(eleven).has_value());
    std::vector<uint8_t> thirteen(13, 0x00);
    thirteen[0] = 0x05;
    thirteen[12] = 0xFF;
    const auto parsed = ParsePsFieldFile(thirteen);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ((*parsed)[0], 0x05);
    EXPECT_EQ(PsFieldRecord(*parsed)[0], 0x0D);
    EXPECT_EQ(PsFieldRecord(*parsed)[3], 0x0C);
    EXPECT_EQ(PsFieldRecord(*parsed)[4], 0x05);

    // 25 bytes with L 0x13 to a primary address, 33 with L 0x1B to a secondary one.
    const auto primary = Frame({false, 3, "", 0, 0}, PsFieldRecord(*parsed));
    ASSERT_EQ(primary.size(), 25u);
    EXPECT_EQ(primary[1], 0x13);
    const auto secondary = Frame({true, 3, "00000001", 2, 0}, PsFieldRecord(*parsed));
    ASSERT_EQ(secondary.size(), 33u);
    EXPECT_EQ(secondary[1], 0x1B);
}

}  // namespace
