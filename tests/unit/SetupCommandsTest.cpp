// The setup commands' values and frames: every limit of the typed values, the
// clock texts, the M-Bus setting frames and the Modbus writes byte for byte,
// and the exception answer that is the meter's refusal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CounterDateFrames.h"
#include "core/FrameChecks.h"
#include "core/SetupFrames.h"
#include "core/SetupValues.h"

using namespace setup;

namespace {

using Bytes = std::vector<uint8_t>;

struct CheckCase {
    const char* name;
    TCheckedValue (*check)(std::string_view);
    const char* text;
    TValueCheck expected;
    int value;
};

TCheckedValue Vt(std::string_view t) { return CheckVtRatio(t, 1001, 1); }
TCheckedValue VtAnyCode(std::string_view t) { return CheckVtRatio(t, 1001, 2); }
TCheckedValue Ct(std::string_view t) { return CheckCtRatio(t, 10, 1); }

TEST(SetupValuesTest, TypedValuesAreCheckedAgainstTheirLimits)
{
    const CheckCase cases[] = {
        {"unit 1", CheckModbusAddress, "1", TValueCheck::Ok, 1},
        {"unit 247 trimmed", CheckModbusAddress, " 247 ", TValueCheck::Ok, 247},
        {"unit 0", CheckModbusAddress, "0", TValueCheck::AddressRange1247, 0},
        {"unit 248", CheckModbusAddress, "248", TValueCheck::AddressRange1247, 0},
        {"unit empty", CheckModbusAddress, "  ", TValueCheck::AddressRange1247, 0},
        {"primary 0", CheckPrimaryAddress, "0", TValueCheck::Ok, 0},
        {"primary 250", CheckPrimaryAddress, "250", TValueCheck::Ok, 250},
        {"primary 251", CheckPrimaryAddress, "251", TValueCheck::AddressRange0250, 0},
        {"primary four characters", CheckPrimaryAddress, "1000", TValueCheck::AddressRange0250, 0},
        {"primary 0010 too long", CheckPrimaryAddress, "0010", TValueCheck::AddressRange0250, 0},
        {"primary with a point", CheckPrimaryAddress, "1.5", TValueCheck::AddressRange0250, 0},
        {"primary empty", CheckPrimaryAddress, "", TValueCheck::AddressRange0250, 0},
        {"period 1", CheckDemandPeriod, "1", TValueCheck::Ok, 1},
        {"period 255", CheckDemandPeriod, "255", TValueCheck::Ok, 255},
        {"period 0", CheckDemandPeriod, "0", TValueCheck::DemandPeriodRange, 0},
        {"period 256", CheckDemandPeriod, "256", TValueCheck::DemandPeriodRange, 0},
        {"vt 0", Vt, "0", TValueCheck::VtRange, 0},
        {"vt 1001", Vt, "1001", TValueCheck::VtRange, 0},
        {"vt letters count as 0", Vt, "1.0", TValueCheck::VtRange, 0},
        {"vt 99 x ct 1001 fits", Vt, "99", TValueCheck::Ok, 99},
        {"vt 100 x ct 1001 too large", Vt, "100", TValueCheck::VtTimesCtTooLarge, 0},
        {"vt 100 x ct 1001, code 2", VtAnyCode, "100", TValueCheck::Ok, 100},
        {"vt 1000, code 2", VtAnyCode, "1000", TValueCheck::Ok, 1000},
        {"ct 10000 x vt 10 fits", Ct, "10000", TValueCheck::Ok, 10000},
        {"ct 10001", Ct, "10001", TValueCheck::CtRange, 0},
        {"ct six characters", Ct, "000100", TValueCheck::CtRange, 0},
        {"ct empty", Ct, "", TValueCheck::CtRange, 0},
    };
    for (const CheckCase& c : cases) {
        const TCheckedValue r = c.check(c.text);
        EXPECT_EQ(r.Check, c.expected) << c.name;
        if (c.expected == TValueCheck::Ok) {
            EXPECT_EQ(r.Value, c.value) << c.name;
        }
    }
}

TEST(SetupValuesTest, ShownRatiosAndTariffTexts)
{
    EXPECT_EQ(ShownRatio(" 1001", 5, "- -"), 1001);
    EXPECT_EQ(ShownRatio(" - -", 5, "- -"), 0);
    EXPECT_EQ(ShownRatio("", 5, "- -"), 0);
    EXPECT_EQ(ShownRatio(" 123456", 5, "- -"), 0);
    EXPECT_EQ(TariffOfText(" Hardware", " Hardware"), 0);
    EXPECT_EQ(TariffOfText(" 8", " Hardware"), 8);
    EXPECT_EQ(TariffOfText(" 9", " Hardware"), std::nullopt);
    EXPECT_EQ(TariffOfText("", " Hardware"), std::nullopt);
}

TEST(SetupValuesTest, ClockTextsAreReadAndCheckedAsACalendarMoment)
{
    EXPECT_EQ(DateFromEditor("2024-03-07"), "07-03-2024");
    EXPECT_EQ(DateFromEditor("20  -  -  "), "00-00-2000");
    EXPECT_EQ(TimeFromEditor("9 :5 :  "), "90:50:00");
    const auto t = ParseSetupDateTime("09:05:02", "07-03-2024");
    ASSERT_TRUE(t);
    EXPECT_EQ(EditorDate(*t), "2024-03-07");
    EXPECT_EQ(EditorTime(*t), "09:05:02");
    EXPECT_TRUE(ParseSetupDateTime("23:59:59", "29-02-2024"));
    for (auto [time, date] : {std::pair{"00:00:00", "00-00-2000"}, {"24:00:00", "01-01-2024"},
                              {"12:60:00", "01-01-2024"}, {"12:00:00", "29-02-2023"}, {"12:00:00", "31-04-2024"},
                              {"12:00:00", "01-13-2024"}, {"1a:00:00", "01-01-2024"}, {"12:00:00", "01-01-2100"},
                              {"HH:MM:SS", "DD-MM-YYYY"}, {"12:00:00", "31-12-1999"}})
        EXPECT_FALSE(ParseSetupDateTime(time, date)) << time << " " << date;

    // A device clock goes into the editors only as a moment they can send back.
    struct ClockCase {
        const char *date, *time, *shownDate, *shownTime;
    };
    for (const ClockCase& c : {ClockCase{"2021-01-19", "12:34:56", "2021-01-19", "12:34:56"},
                               ClockCase{"2099-12-31", "23:59:59", "2099-12-31", "23:59:59"},
                               ClockCase{"1999-12-31", "23:59:59", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"2100-01-01", "00:00:00", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"0-12-31", "23:59:59", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"0000-01-01", "00:00:00", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"2024-13-45", "12:00:00", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"2024-01-01", "99:99:99", "YYYY-MM-DD", "HH:MM:SS"},
                               ClockCase{"2024-01-01", "100:00:00", "YYYY-MM-DD", "HH:MM:SS"}}) {
        const TClockTexts shown = ClockEditorTexts(c.date, c.time);
        EXPECT_EQ(shown.Date, c.shownDate) << c.date << " " << c.time;
        EXPECT_EQ(shown.Time, c.shownTime) << c.date << " " << c.time;
    }
}

TEST(SetupValuesTest, CounterDatesAreMomentsOrTheirRepeatingForms)
{
    struct Case {
        const char *time, *date;
        bool valid;
    };
    const Case cases[] = {
        {"12:34:56", "2021-03-07", true},
        {"23:59:59", "2024-02-29", true},
        {"00:00:00", "0000-02-29", true},   // every year, in the leap years
        {"06:00:00", "0000-00-31", true},   // every month
        {"06:00:00", "0000-00-00", true},   // every day
        {"23:59:59", "0000-12-31", true},   // every 31 December
        {"00:00:00", "0000-01-31", true},
        {"  :  :  ", "    -  -  ", true},   // left empty: every day at midnight
        {"1 :2 :  ", "2021-03-07", true},   // blanks go out as 0
        {"", "", true},
        {"99:99:99", "2027-01-01", false},
        {"24:00:00", "2027-01-01", false},
        {"12:00:00", "2027-13-45", false},
        {"12:00:00", "2023-02-29", false},
        {"12:00:00", "1999-12-31", false},
        {"12:00:00", "2100-01-01", false},
        {"12:00:00", "0000-13-01", false},
        {"12:00:00", "0000-04-31", false},
        {"12:00:00", "0000-00-32", false},
        {"12:00:00", "2027-00-01", false},
        {"12:00:00", "2027-01-00", false},
        {"12:00:00", "0000-01-00", false},
        {"12:60:00", "2027-01-01", false},  // a minute or a second of 60, in a moment and in every repeating form
        {"12:00:60", "2027-01-01", false},
        {"12:60:00", "0000-12-31", false},
        {"12:00:60", "0000-12-31", false},
        {"12:60:00", "0000-00-31", false},
        {"12:00:60", "0000-00-31", false},
        {"12:60:00", "0000-00-00", false},
        {"12:00:60", "0000-00-00", false},
        {"HH:MM:SS", "YYYY-MM-DD", false},  // the placeholders of a setting out of range
        {"12:00:00", "YYYY-MM-DD", false},
        {"12:00:0x", "2027-01-01", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsCounterDateText(c.time, c.date), c.valid) << c.time << " " << c.date;
}

struct FrameCase {
    const char* name;
    TMBusTarget target;
    uint8_t ci;
    Bytes record;
    Bytes expectedWithoutChecksum;  // up to the checksum
};

TEST(SetupFramesTest, MBusSettingFramesCarryTheirRecordBehindTheAddressing)
{
    const TMBusTarget primary5{false, 5, {}, 0, 0};
    const TMBusTarget broadcast{false, MBusBroadcastAddress, {}, 0, 0};
    const TMBusTarget secondary{true, 0, "12345678", 1, 0x21};
    const TDeviceDateTime pcTime{2024, 3, 7, 9, 5, 2};
    const FrameCase cases[] = {
        {"demand period 15", primary5, 0x51, MBusDemandPeriodRecord(15),
         {0x68, 0x07, 0x07, 0x68, 0x73, 0x05, 0x51, 0x01, 0xFF, 0x1A, 0x0F}},
        {"baud 2400 to all", broadcast, MBusBaudCi(3), {}, {0x68, 0x03, 0x03, 0x68, 0x73, 0xFF, 0xBB}},
        {"date and time from the PC", primary5, 0x51, MBusDateTimeRecord(pcTime),
         {0x68, 0x0B, 0x0B, 0x68, 0x73, 0x05, 0x51, 0x06, 0x6D, 0x02, 0x05, 0x09, 0x07, 0x33, 0x00}},
        {"secondary number 12340600", primary5, 0x51, MBusSecondaryAddressRecord("12340600"),
         {0x68, 0x09, 0x09, 0x68, 0x73, 0x05, 0x51, 0x0C, 0x79, 0x00, 0x06, 0x34, 0x12}},
        {"vt 300 by secondary address", secondary, 0x51, MBusVtRecord(300),
         {0x68, 0x10, 0x10, 0x68, 0x73, 0xFD, 0x51, 0x78, 0x56, 0x34, 0x12, 0xCB, 0x52, 0x21, 0x02, 0x02, 0xFF, 0x16,
          0x2C, 0x01}},
        {"primary address 250", primary5, 0x51, MBusPrimaryAddressRecord(250),
         {0x68, 0x06, 0x06, 0x68, 0x73, 0x05, 0x51, 0x01, 0x7A, 0xFA}},
    };
    for (const FrameCase& c : cases) {
        uint8_t tx[64]{};
        const int length = BuildMBusSettingFrame(tx, c.target, c.ci, c.record);
        ASSERT_EQ(length, static_cast<int>(c.expectedWithoutChecksum.size()) + 2) << c.name;
        EXPECT_EQ(Bytes(tx, tx + length - 2), c.expectedWithoutChecksum) << c.name;
        uint8_t sum = 0;
        for (int i = 4; i < length - 2; ++i) sum = static_cast<uint8_t>(sum + tx[i]);
        EXPECT_EQ(tx[length - 2], sum) << c.name;
        EXPECT_EQ(tx[length - 1], 0x16) << c.name;
    }
}

TEST(SetupFramesTest, MBusTariffTemplateLeavesAddressAndChecksumToTheCompletion)
{
    uint8_t custom[210]{};
    ASSERT_EQ(PrepareMBusTemplate(custom, {false, 9, {}, 0, 0}, MBusTariffRecord(3)), 13);
    EXPECT_EQ(Bytes(custom, custom + 15),
              (Bytes{13, 6, 0x68, 0x07, 0x07, 0x68, 0x73, 0x00, 0x51, 0x01, 0xFF, 0x23, 0x03, 0x00, 0x16}));
    ASSERT_EQ(PrepareMBusTemplate(custom, {true, 0, "00000001", 1, 7}, MBusTariffRecord(0)), 21);
    EXPECT_EQ(custom[1], 8);
    EXPECT_EQ(custom[2 + 5], 0xFD);
}

TEST(SetupFramesTest, ModbusWritesDirectAndPrepared)
{
    uint8_t tx[32]{};
    const auto code6 = ModbusWord(6);
    ASSERT_EQ(BuildModbusWriteFrame(tx, ModbusBroadcastUnit, regBaudRate, code6), 11);
    EXPECT_EQ(Bytes(tx, tx + 9), (Bytes{0x00, 0x10, 0x28, 0x3C, 0x00, 0x01, 0x02, 0x00, 0x06}));
    const TCrc16 crc = ModbusCrc16(tx, 9);
    EXPECT_EQ(tx[9], crc.Low);
    EXPECT_EQ(tx[10], crc.High);

    const auto when = ModbusDateTimeData({2024, 3, 7, 9, 5, 2});
    EXPECT_EQ(Bytes(when.begin(), when.end()), (Bytes{0x02, 0x05, 0x09, 0x07, 0x03, 0xE8, 0x07, 0x00}));
    ASSERT_EQ(BuildModbusWriteFrame(tx, 0, regDateTime, when), 17);
    EXPECT_EQ(Bytes(tx, tx + 7), (Bytes{0x00, 0x10, 0x29, 0x68, 0x00, 0x04, 0x08}));

    uint8_t custom[210]{};
    const auto ct = ModbusWord(1500);
    ASSERT_EQ(PrepareModbusWrite(custom, regCtRatio, ct), 11);
    EXPECT_EQ(Bytes(custom, custom + 13),
              (Bytes{11, 0, 0x01, 0x10, 0x27, 0x10, 0x00, 0x01, 0x02, 0x05, 0xDC, 0x00, 0x00}));
}

TEST(SetupFramesTest, EachSettingIsWrittenToItsOwnRegister)
{
    // Start addresses from the meter's register table, not from the tool.
    struct Case {
        const char* setting;
        uint16_t reg;
        uint16_t expected;
    };
    const Case cases[] = {
        {"ct ratio", regCtRatio, 10000},
        {"vt ratio", regVtRatio, 10100},
        {"unit address", regUnitAddress, 10200},
        {"baud rate", regBaudRate, 10300},
        {"demand period", regDemandPeriod, 10400},
        {"tariff", regTariff, 10500},
        {"date and time", regDateTime, 10600},
        {"reset date", CounterDateRegister(TCounterDateKind::Reset), 10700},
        {"freeze date", CounterDateRegister(TCounterDateKind::Freeze), 10800},
        {"web server", regWebserver, 11000},
    };
    const Bytes data(8, 0);
    for (const Case& c : cases) {
        const Bytes start{static_cast<uint8_t>(c.expected >> 8), static_cast<uint8_t>(c.expected & 0xFF)};
        uint8_t custom[210]{};
        ASSERT_GT(PrepareModbusWrite(custom, c.reg, data), 0) << c.setting;
        EXPECT_EQ(Bytes(custom + 4, custom + 6), start) << c.setting << " as a job";
        uint8_t tx[32]{};
        ASSERT_GT(BuildModbusWriteFrame(tx, 7, c.reg, data), 0) << c.setting;
        EXPECT_EQ(Bytes(tx + 2, tx + 4), start) << c.setting << " sent directly";
    }
}

TEST(SetupFramesTest, OnlyTheExceptionToTheWriteIsARefusal)
{
    uint8_t rtu[5] = {0x07, 0x90, 0x03, 0, 0};
    const TCrc16 crc = ModbusCrc16(rtu, 3);
    rtu[3] = crc.Low;
    rtu[4] = crc.High;
    EXPECT_TRUE(IsModbusExceptionAnswer('3', rtu, 5, 0x10));
    EXPECT_FALSE(IsModbusExceptionAnswer('3', rtu, 5, 0x03));
    rtu[4] ^= 1;
    EXPECT_FALSE(IsModbusExceptionAnswer('3', rtu, 5, 0x10));

    const uint8_t tcpRefusal[9] = {0, 5, 0, 0, 0, 3, 1, 0x90, 0x03};
    const uint8_t tcpEcho[12] = {0, 5, 0, 0, 0, 6, 1, 0x10, 0x27, 0x10, 0x00, 0x01};
    EXPECT_TRUE(IsModbusExceptionAnswer('4', tcpRefusal, 9, 0x10));
    EXPECT_FALSE(IsModbusExceptionAnswer('4', tcpEcho, 12, 0x10));
    EXPECT_FALSE(IsModbusExceptionAnswer('4', tcpRefusal, 8, 0x10));
    EXPECT_FALSE(IsModbusExceptionAnswer('2', tcpRefusal, 9, 0x10));
}

}  // namespace
