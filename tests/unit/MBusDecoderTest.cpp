#include "core/MBusDecoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "MBusFrames.h"
#include "core/MessageTable.h"

namespace {

using mbustest::Bytes;
using mbustest::Join;
using mbustest::RspUd;

struct Decoded {
    DecodedValueStore store;
    DeviceAddressing addressing;
    void Run(const Bytes& frame, int language = 0) { DecodeMBusAnswer(frame, language, store, addressing); }
};

std::unique_ptr<Decoded> DecodeRecords(const Bytes& records, const mbustest::Header& h = {})
{
    auto d = std::make_unique<Decoded>();
    d->Run(RspUd(records, h));
    return d;
}

TEST(MBusRecordClassification, EveryPatternGivesItsCodeAndLength)
{
    struct Case {
        Bytes head;
        int code;  // 0: no record
        int length;
    };
    const Case cases[] = {
        {{0x01, 0xFF, 0x23}, rcTariffSource, 4},       {{0x01, 0xFF, 0x14}, rcTariffInfo, 4},
        {{0x01, 0xFF, 0x1A}, rcDemandPeriod, 4},       {{0x02, 0xFF, 0x15}, rcCtRatio, 5},
        {{0x02, 0xFF, 0x16}, rcVtRatio, 5},            {{0x02, 0xFF, 0x20}, rcOperatingTimeSinceReset, 5},
        {{0x02, 0xFD, 0xC0}, rcVoltages, 7},           {{0x02, 0xFD, 0xCF}, rcVoltages, 7},
        {{0x02, 0xFD, 0xD0}, rcCurrents, 7},           {{0x02, 0xFD, 0xDF}, rcCurrents, 7},
        {{0x02, 0xFF, 0x90}, rcThdVoltage, 7},         {{0x02, 0xFF, 0x91}, rcThdCurrent, 7},
        {{0x02, 0xFF, 0x12}, rcFrequency, 5},          {{0x02, 0xFF, 0x93}, rcPowerFactors, 7},
        {{0x04, 0xFF, 0x22}, rcInterfaceVersion, 7},   {{0x04, 0x22, 0x77}, rcOperatingTimes, 6},
        {{0x04, 0xFD, 0x17}, rcStatusFlags, 7},        {{0x06, 0x6D, 0x00}, rcDeviceDateTime, 8},
        {{0x06, 0xFF, 0x1C}, rcFreezeTimeSetting, 9},  {{0x06, 0xFF, 0x19}, rcResetTimeSetting, 9},
        {{0x06, 0xFF, 0x1E}, rcFreezeStamps, 9},       {{0x06, 0xFF, 0x1D}, rcResetStamps, 9},
        {{0x0D, 0xFF, 0x1B}, rcDeviceInfo, 75},        {{0x82, 0x40, 0x00, 0xAC}, rcPowers, 8},
        {{0x82, 0x40, 0x00, 0xFB}, rcPowers, 9},       {{0x84, 0x10, 0x00, 0x00, 0x86}, rcEnergyCounter, 11},
        {{0x84, 0x10, 0x00, 0x00, 0xFB}, rcEnergyCounter, 12},
        // No pattern: end of data, an unknown record number, a VIFE beside the ranges.
        {{0x0F, 0xFF, 0x14}, 0, 0},                    {{0x1F}, 0, 0},
        {{0x01, 0xFF, 0x99}, 0, 0},                    {{0x02, 0xFD, 0xBF}, 0, 0},
        {{0x02, 0xFD, 0xE0}, 0, 0},                    {{0x04, 0xFD, 0x18}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.head));
        Bytes record = c.head;
        record.resize(80, 0x00);
        const auto found = ClassifyMBusRecord(record);
        ASSERT_EQ(found.has_value(), c.code != 0);
        if (!found) continue;
        EXPECT_EQ(found->Code, c.code);
        EXPECT_EQ(found->Length, c.length);
        // One byte short of its length, the record is not there.
        record.resize(static_cast<size_t>(c.length - 1));
        EXPECT_FALSE(ClassifyMBusRecord(record).has_value());
        record.resize(static_cast<size_t>(c.length));
        EXPECT_TRUE(ClassifyMBusRecord(record).has_value());
    }
}

TEST(MBusDecoder, ValueRecordsWriteTheirTexts)
{
    struct Case {
        const char* name;
        Bytes records;
        std::string DecodedValueStore::*member;
        std::string text;
    };
    const Bytes u1 = {0x02, 0xFD, 0xC8, 0x00, 0x01, 0x08, 0x09};  // 231.2 V
    const Bytes i1 = {0x02, 0xFD, 0xD9, 0x00, 0x01, 0x88, 0x13};  // 5.000 A
    const Case cases[] = {
        {"U1", u1, &DecodedValueStore::TextU1, " 231.2 V"},
        {"U23 in kV", {0x02, 0xFD, 0xCA, 0x00, 0x06, 0x39, 0x30}, &DecodedValueStore::TextU23, " 123.45 kV"},
        {"U13 0 decimals", {0x02, 0xFD, 0xC9, 0x00, 0x07, 0x90, 0x01}, &DecodedValueStore::TextU13, " 400 V"},
        {"I1", i1, &DecodedValueStore::TextI1, " 5.000 A"},
        {"IN in kA", {0x02, 0xFD, 0xDD, 0x00, 0x04, 0x0C, 0x00}, &DecodedValueStore::TextIN, " 0.12 kA"},
        {"THD U2", {0x02, 0xFF, 0x90, 0x00, 0x02, 0x19, 0x00}, &DecodedValueStore::TextThdU2, " 2.5  %"},
        {"THD I3 over limit", {0x02, 0xFF, 0x91, 0x00, 0x03, 0x11, 0x27}, &DecodedValueStore::TextThdI3, " OL"},
        {"THD I1 negative", {0x02, 0xFF, 0x91, 0x00, 0x01, 0xFF, 0xFF}, &DecodedValueStore::TextThdI1, " - - -"},
        {"frequency", {0x02, 0xFF, 0x12, 0x88, 0x13}, &DecodedValueStore::TextFreq, " 50.00 Hz"},
        {"PF total", {0x02, 0xFF, 0x93, 0x00, 0x09, 0x18, 0xFC}, &DecodedValueStore::TextPFTot, " -1.000 "},
        {"P2 in W", {0x82, 0x00, 0x00, 0xAB, 0x00, 0x02, 0xE8, 0x03}, &DecodedValueStore::TextP2, " 1000 W"},
        {"Ptot in MW after FB", {0x82, 0x00, 0x00, 0xFB, 0xAF, 0x00, 0x09, 0x64, 0x00}, &DecodedValueStore::TextPTot,
         " 1.00 MW"},
        {"Q1 reactive", Join({u1, i1, {0x82, 0xC0, 0x00, 0xAC, 0x00, 0x01, 0x39, 0x30}}), &DecodedValueStore::TextQ1,
         " 123.45 kVAr"},
        {"S1 from U1 and I1", Join({u1, i1, {0x82, 0xC0, 0x00, 0xAC, 0x00, 0x01, 0x39, 0x30}}),
         &DecodedValueStore::TextS1, " 1.16 kVA"},
        {"tariff 1 secondary out",
         {0x84, 0x90, 0xC0, 0x40, 0x86, 0x00, 0x00, 0x10, 0x27, 0x00, 0x00}, &DecodedValueStore::EnergyTypeText,
         "Secondary"},
        {"demand period", {0x01, 0xFF, 0x1A, 0x0F}, &DecodedValueStore::DemandPeriodText,
         std::string(" 15") + TxtUnitMinute[0]},
        {"CT ratio unsigned", {0x02, 0xFF, 0x15, 0xFF, 0xFF}, &DecodedValueStore::CtRatioText, "65535"},
        {"VT ratio signed", {0x02, 0xFF, 0x16, 0xFF, 0xFF}, &DecodedValueStore::VtRatioText, "-1"},
        {"time since reset", {0x02, 0xFF, 0x20, 0x34, 0x12}, &DecodedValueStore::OperatingTimeSinceResetText, "4660"},
        {"operating time", {0x04, 0x22, 0x40, 0xE2, 0x01, 0x00}, &DecodedValueStore::TotalOperatingTimeText,
         "123456"},
        {"tariff by hardware", {0x01, 0xFF, 0x23, 0x00}, &DecodedValueStore::TariffHwText, "HW"},
        {"tariff by command", {0x01, 0xFF, 0x23, 0x01}, &DecodedValueStore::TariffHwText, ""},
        {"interface version", {0x04, 0xFF, 0x22, 0x00, 0x01, 0x05, 0x02}, &DecodedValueStore::FirmwareText,
         "Interface HW:1.0,FW:2.05"},
        {"interface version gives the A field", {0x04, 0xFF, 0x22, 0x00, 0x01, 0x05, 0x02},
         &DecodedValueStore::DeviceAddressText, "1"},
        {"date", {0x06, 0x6D, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00}, &DecodedValueStore::DeviceDate, "2016-03-07"},
        {"time", {0x06, 0x6D, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00}, &DecodedValueStore::DeviceTime, "14:45:30"},
        {"date and time", {0x06, 0x6D, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00}, &DecodedValueStore::DeviceTimeDateText,
         "2016-03-07  14:45"},
        {"year 0", {0x06, 0x6D, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00}, &DecodedValueStore::DeviceDate, "0000-01-01"},
        {"year 5", {0x06, 0x6D, 0x00, 0x00, 0x00, 0xA1, 0x01, 0x00}, &DecodedValueStore::DeviceDate, "2005-01-01"},
        {"year 100", {0x06, 0x6D, 0x00, 0x00, 0x00, 0x81, 0xC1, 0x00}, &DecodedValueStore::DeviceDate, "2100-01-01"},
        {"freeze stamp", {0x06, 0xFF, 0x1E, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00}, &DecodedValueStore::DeviceDate,
         "2016-03-07"},
        {"reset setting", {0x06, 0xFF, 0x19, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00}, &DecodedValueStore::FreezeResetTime,
         "14:45:30"},
        {"tariff info", {0x01, 0xFF, 0x14, 0x03}, &DecodedValueStore::ActualTariffText, " 3"},
        {"identification", {0x01, 0xFF, 0x14, 0x03}, &DecodedValueStore::SecondaryAddressIdText, " 12345678"},
        {"manufacturer", {0x01, 0xFF, 0x14, 0x03}, &DecodedValueStore::ManufacturerText, " TVK"},
        {"version", {0x01, 0xFF, 0x14, 0x03}, &DecodedValueStore::VersionText, " 01"},
        {"medium", {0x01, 0xFF, 0x14, 0x03}, &DecodedValueStore::TypeText, " 02"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = DecodeRecords(Join({c.records, {0x0F}}));
        EXPECT_EQ(d->store.*c.member, c.text);
    }
}

TEST(MBusDecoder, RecordsThatStoreNothingLeaveTheStoreAsItWas)
{
    const Bytes cases[] = {
        {0x02, 0xFD, 0xC4, 0x00, 0x01, 0x08, 0x09},        // VIFE in the voltage range without a unit
        {0x02, 0xFD, 0xD5, 0x00, 0x01, 0x08, 0x09},        // the same for currents
        {0x02, 0xFD, 0xC8, 0x00, 0x04, 0x08, 0x09},        // phase code 4 of a voltage
        {0x02, 0xFF, 0x93, 0x00, 0x05, 0x08, 0x09},        // phase code 5 of a power factor
        {0x82, 0x40, 0x00, 0xAA, 0x00, 0x01, 0x08, 0x09},  // power code outside the table
        {0x0F, 0x02, 0xFD, 0xC8, 0x00, 0x01, 0x08, 0x09},  // a value behind the end of data
    };
    for (const Bytes& records : cases) {
        SCOPED_TRACE(testing::PrintToString(records));
        const auto d = DecodeRecords(records);
        EXPECT_EQ(d->store, DecodedValueStore());
    }
}

TEST(MBusDecoder, EnergyRecordsFillTheCounterBlockByTariffAndColumn)
{
    struct Case {
        Bytes record;
        int tariff;  // 0 totals, -1 nothing stored
        int column;
        std::string text;
    };
    const Case cases[] = {
        {{0x84, 0x90, 0xC0, 0x40, 0x86, 0, 0, 0x10, 0x27, 0x00, 0x00}, 1, 0, " 10000 kWh"},
        {{0x84, 0x80, 0x80, 0x00, 0x83, 0, 0, 0x10, 0x27, 0x00, 0x00}, 0, 1, " 10.000 kWh"},
        {{0x84, 0xC0, 0x80, 0x40, 0x84, 0, 0, 0x10, 0x27, 0x00, 0x00}, 0, 2, " 100.00 kVArh"},
        {{0x84, 0xF0, 0x90, 0x00, 0xFB, 0x81, 0, 0, 0x10, 0x27, 0x00, 0x00}, 7, 3, " 10000 MVArh"},
        {{0x84, 0x90, 0x90, 0x00, 0xFB, 0x80, 0, 0, 0x10, 0x27, 0x00, 0x00}, 5, 1, " 1000.0 MWh"},
        {{0x84, 0x80, 0xA0, 0x00, 0x87, 0, 0, 0x10, 0x27, 0x00, 0x00}, 8, 1, " 100.00 MWh"},
        // t = 9 and t = 15 store nothing.
        {{0x84, 0x90, 0xA0, 0x00, 0x86, 0, 0, 0x10, 0x27, 0x00, 0x00}, -1, 0, ""},
        {{0x84, 0xB0, 0xB0, 0x00, 0x86, 0, 0, 0x10, 0x27, 0x00, 0x00}, -1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.record));
        const auto d = DecodeRecords(c.record);
        DecodedValueStore expected;
        expected.EnergyTypeText = d->store.EnergyTypeText;
        if (c.tariff == 0) expected.CounterTotals[c.column] = c.text;
        if (c.tariff > 0) expected.CounterTariffs[c.tariff - 1][c.column] = c.text;
        EXPECT_EQ(d->store, expected);
    }
}

TEST(MBusDecoder, StatusFlagsLaterRowsWin)
{
    const auto d = DecodeRecords({0x04, 0xFD, 0x17, 0x05, 0x00, 0x06, 0x00});
    EXPECT_EQ(d->store.UStatusL1, StatusUnder75);
    EXPECT_EQ(d->store.UStatusL2, StatusOk);
    EXPECT_EQ(d->store.UStatusL3, StatusUnder75);
    EXPECT_EQ(d->store.FreqStatus, StatusFreqHigh);
    EXPECT_EQ(d->store.FreqSyncStatus, StatusOk);
    for (const std::string* s : {&d->store.IStatusL1, &d->store.IStatusL2, &d->store.IStatusL3})
        EXPECT_EQ(*s, StatusOk);
    const auto both = DecodeRecords({0x04, 0xFD, 0x17, 0x09, 0x09, 0x00, 0x00});
    EXPECT_EQ(both->store.UStatusL1, StatusOver120);
    EXPECT_EQ(both->store.IStatusL1, StatusCurrentHigh);
}

TEST(MBusDecoder, ApparentTotalOfThreePhasesComesWithPhaseThree)
{
    Bytes records;
    for (uint8_t phase = 1; phase <= 3; ++phase) {
        records = Join({records, {0x02, 0xFD, 0xC9, 0x00, phase, 0xE6, 0x00},  // 230 V
                        {0x02, 0xFD, 0xDC, 0x00, phase, static_cast<uint8_t>(10 * phase), 0x00}});
    }
    for (uint8_t phase = 1; phase <= 3; ++phase)
        records = Join({records, {0x82, 0xC0, 0x00, 0xAB, 0x00, phase, 0x01, 0x00}});
    Decoded d;
    d.store.ConnectionCode = ccThreePhase4Wire;
    d.Run(RspUd(records));
    EXPECT_EQ(d.store.TextS1, " 2300 VA");
    EXPECT_EQ(d.store.TextS2, " 4600 VA");
    EXPECT_EQ(d.store.TextS3, " 6900 VA");
    EXPECT_EQ(d.store.TextSTot, " 13800 VA");

    Decoded single;
    single.store.ConnectionCode = ccSinglePhase;
    single.Run(RspUd(records));
    EXPECT_EQ(single.store.TextSTot, " 2300 VA");
    EXPECT_EQ(single.store.TextS2, "");
}

Bytes DeviceRecord(uint8_t type, uint8_t d, uint8_t q, uint8_t z)
{
    Bytes r(75, 0x00);
    r[0] = 0x0D, r[1] = 0xFF, r[2] = 0x1B, r[3] = 71;
    r[4] = type, r[5] = d, r[7] = 2, r[8] = 1, r[9] = q, r[10] = 3, r[11] = 4, r[12] = 5, r[13] = z;
    r[15] = 0x20, r[16] = 'K';
    const uint8_t serial[5] = {0x01, 0x23, 0x45, 0x67, 0x89};
    std::copy(serial, serial + 5, r.begin() + 17);
    r[29] = 0x7B, r[30] = 0x00;  // 123: base firmware 1.23
    const std::string name = "Meter 3x230/400V";
    std::copy(name.begin(), name.end(), r.begin() + 36);
    return r;
}

TEST(MBusDecoder, DeviceRecordSetsTheDeviceFeatures)
{
    struct Case {
        uint8_t type, d, q, z;
        std::string typeText, options;
        int connection, ratios, settable, logger, manufacturer;
    };
    const std::string b1 = TxtDeviceTypesBrand1[1], b2 = TxtDeviceTypesBrand2[2];
    const Case cases[] = {
        {1, 1, 9, 2, " " + b1, " D1M2P1Q9U3V4W5Z2", ccThreePhase3Wire, 1, 0, 0, 1},
        {1, 1, 5, 1, " " + b1, " D1M2P1Q5U3V4W5Z1", ccThreePhase3Wire, 1, 1, 1, 1},
        {2, 2, 5, 1, " " + b2 + " M-BUS", " D2M2P1U3V4W5Z1", ccThreePhase4Wire, 0, 0, 1, 2},
        {7, 1, 5, 0, std::string(" ") + TxtNoValue[0], " D1M2P1Q5U3V4W5Z0", ccThreePhase4Wire, 1, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const auto dec = DecodeRecords(DeviceRecord(c.type, c.d, c.q, c.z));
        EXPECT_EQ(dec->store.DeviceTypeText, c.typeText);
        EXPECT_EQ(dec->store.DeviceOptionsText, c.options);
        EXPECT_EQ(dec->store.ConnectionCode, c.connection);
        EXPECT_EQ(dec->store.HasTransformerRatios, c.ratios);
        EXPECT_EQ(dec->store.TransformerRatiosSettable, c.settable);
        EXPECT_EQ(dec->store.HasDemandLogger, c.logger);
        EXPECT_EQ(uint8_t(dec->store.DeviceVariant), c.z);
        EXPECT_EQ(dec->addressing.ManufacturerIndex, c.manufacturer);
        EXPECT_EQ(dec->store.SerialNumberText, " K0123456789");
        EXPECT_EQ(dec->store.BaseFirmwareText, ", Base FW: 1.23 ");
        EXPECT_EQ(dec->store.ProductNameText, "Meter 3x230/400V");
    }
}

TEST(MBusDecoder, IdentificationFromTheHeaderWhenTheTariffRecordCame)
{
    mbustest::Header h;
    h.ManufacturerLow = 0x84, h.ManufacturerHigh = 0x39, h.Version = 0x1A;
    auto d = DecodeRecords({0x01, 0xFF, 0x14, 0x02}, h);
    EXPECT_EQ(d->store.ManufacturerText, " NLD");
    EXPECT_EQ(d->store.VersionText, " 1A");
    EXPECT_EQ(d->addressing.MbusVersion, 0x1A);
    EXPECT_EQ(d->addressing.SecondaryAddress, "12345678");
    // Without it the identity stays as it was.
    const auto none = DecodeRecords({0x01, 0xFF, 0x23, 0x00}, h);
    EXPECT_EQ(none->store.ManufacturerText, "");
    EXPECT_EQ(none->addressing.SecondaryAddress, "");
}

TEST(MBusDecoder, ManufacturerCodeLetters)
{
    EXPECT_EQ(DecodeManufacturerCode(0x52, 0xCB), "TVK");
    EXPECT_EQ(DecodeManufacturerCode(0x39, 0x84), "NLD");
    EXPECT_EQ(DecodeManufacturerCode(0x04, 0x21), "AAA");
}

// Cut anywhere, a telegram decodes exactly the records that end before its
// checksum position, and the bytes at and behind that position are never read.
TEST(MBusDecoder, TheWalkStopsAtTheChecksumWhereverTheFrameIsCut)
{
    const std::vector<Bytes> records = {
        {0x02, 0xFD, 0xC8, 0x00, 0x01, 0x08, 0x09},
        {0x04, 0xFD, 0x17, 0x05, 0x00, 0x06, 0x00},
        DeviceRecord(1, 1, 5, 1),
        {0x84, 0x90, 0xC0, 0x40, 0x86, 0x00, 0x00, 0x10, 0x27, 0x00, 0x00},
        {0x06, 0x6D, 0x1E, 0x2D, 0x0E, 0x07, 0x23, 0x00},
        {0x0F},
    };
    Bytes all;
    for (const Bytes& r : records) all = Join({all, r});
    const Bytes frame = RspUd(all);
    for (size_t n = 0; n <= frame.size(); ++n) {
        SCOPED_TRACE(n);
        Bytes complete;
        size_t end = mbustest::kFirstRecord;
        for (const Bytes& r : records) {
            if (end + r.size() + 2 > n) break;
            complete = Join({complete, r});
            end += r.size();
        }
        Decoded expected;
        if (n >= mbustest::kFirstRecord + 2) expected.Run(RspUd(complete));
        for (const uint8_t tail : {0x00, 0x02, 0x84, 0xFF}) {
            Bytes cut(frame.begin(), frame.begin() + static_cast<long>(n));
            for (size_t k = n >= 2 ? n - 2 : 0; k < n; ++k) cut[k] = tail;
            Decoded got;
            got.Run(cut);
            EXPECT_EQ(got.store, expected.store);
        }
    }
}

TEST(MBusDecoder, ASingleAcknowledgeOrAShortFrameDecodesNothing)
{
    for (const Bytes& rx : {Bytes{0xE5}, Bytes{0x10, 0x08, 0x01, 0x09, 0x16}, Bytes{}}) {
        Decoded d;
        d.Run(rx);
        EXPECT_EQ(d.store, DecodedValueStore());
    }
}

}  // namespace
