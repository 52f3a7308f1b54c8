#include "core/ModbusDecoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "core/FrameChecks.h"
#include "core/MessageTable.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Regs(std::initializer_list<uint16_t> values)
{
    Bytes b;
    for (uint16_t v : values) {
        b.push_back(static_cast<uint8_t>(v >> 8));
        b.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    return b;
}

void SetReg(Bytes& data, int r, uint16_t value)
{
    data[2 * r] = static_cast<uint8_t>(value >> 8);
    data[2 * r + 1] = static_cast<uint8_t>(value & 0xFF);
}

void SetReg32(Bytes& data, int r, int32_t value)
{
    SetReg(data, r, static_cast<uint16_t>(static_cast<uint32_t>(value) >> 16));
    SetReg(data, r + 1, static_cast<uint16_t>(value & 0xFFFF));
}

// A read answer as the transceiver leaves it in RxBuffer.
void PutAnswer(FrameBuffers& frames, char transport, const Bytes& data, uint8_t function = 4,
               int byteCount = -1)
{
    const uint8_t count = static_cast<uint8_t>(byteCount < 0 ? data.size() : byteCount);
    Bytes frame;
    if (transport == '4') {
        const int length = 3 + static_cast<int>(data.size());
        frame = {0x00, 0x01, 0x00, 0x00, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length), 0x01,
                 function, count};
        frame.insert(frame.end(), data.begin(), data.end());
    } else {
        frame = {0x01, function, count};
        frame.insert(frame.end(), data.begin(), data.end());
        const TCrc16 crc = ModbusCrc16(frame.data(), static_cast<int>(frame.size()));
        frame.push_back(crc.Low);
        frame.push_back(crc.High);
    }
    std::memcpy(frames.RxBuffer, frame.data(), frame.size());
    frames.RxCount = static_cast<int>(frame.size());
}

// The members a decode may write: the store and the two outside it.
struct Decoded {
    DecodedValueStore store;
    uint8_t manufacturer = 0;
    std::atomic<int> interval{0};
    FrameBuffers frames;

    void Run(TRecordCode code, char transport = '3', int language = 0)
    {
        DecodeModbusAnswer(frames, transport, code, language, store, manufacturer, interval);
    }
    void Decode(TRecordCode code, const Bytes& data, char transport = '3', int language = 0, uint8_t function = 4)
    {
        PutAnswer(frames, transport, data, function);
        Run(code, transport, language);
    }
    bool Same(const Decoded& other) const
    {
        return store == other.store && manufacturer == other.manufacturer && interval == other.interval;
    }
    void CopyFrom(const Decoded& other)
    {
        store = other.store;
        manufacturer = other.manufacturer;
        interval = other.interval.load();
    }
};

Bytes VoltageBlock(uint16_t unit, uint16_t limitFlags = 0, uint16_t freqFlags = 0)
{
    return Regs({4000, 4010, 3990, 0xAAAA, 2300, 2310, 2290, 0xAAAA, 35, 10001, 0xFFFB, 5001, unit, limitFlags,
                 freqFlags});
}

Bytes CurrentBlock(uint16_t unit) { return Regs({1000, 500, 0, 0xAAAA, 25, 120, 10001, 0xFFFF, unit, 0, 0}); }

Bytes DeviceInfoBlock(uint8_t type, uint8_t d, uint8_t m, uint8_t q, uint8_t z)
{
    Bytes b(72, 0);
    b[0] = type;
    b[1] = d;
    b[3] = m;
    b[4] = 3;  // P
    b[5] = q;
    b[6] = 5;
    b[7] = 6;
    b[8] = 7;
    b[9] = z;
    b[11] = 'A';
    b[12] = 0x20;  // below 42: left out
    const uint8_t serial[5] = {0x12, 0x34, 0x56, 0x78, 0x90};
    std::memcpy(&b[13], serial, 5);
    b[25] = 0x7B;  // base firmware 123, low byte first
    b[26] = 0x00;
    const char name[] = "Energy Meter";
    std::memcpy(&b[32], name, sizeof name - 1);
    return b;
}

Bytes DateTimeBytes(int at, uint8_t s, uint8_t mi, uint8_t h, uint8_t d, uint8_t mo, uint16_t year, int size)
{
    Bytes b(static_cast<size_t>(size), 0xEE);
    const uint8_t fields[7] = {s, mi, h, d, mo, static_cast<uint8_t>(year & 0xFF), static_cast<uint8_t>(year >> 8)};
    std::memcpy(&b[static_cast<size_t>(at)], fields, 7);
    return b;
}

}  // namespace

// ---- 71 voltages ----

TEST(DecodeModbusAnswer, VoltageBlock)
{
    Decoded d;
    d.Decode(rcVoltages, VoltageBlock(0xFFFF));
    const DecodedValueStore& s = d.store;
    EXPECT_EQ(s.TextU12, " 400.0 V");
    EXPECT_EQ(s.TextU23, " 401.0 V");
    EXPECT_EQ(s.TextU13, " 399.0 V");
    EXPECT_EQ(s.TextU1, " 230.0 V");
    EXPECT_EQ(s.TextU2, " 231.0 V");
    EXPECT_EQ(s.TextU3, " 229.0 V");
    EXPECT_EQ(s.TextThdU1, " 3.5 %");
    EXPECT_EQ(s.TextThdU2, " OL");
    EXPECT_EQ(s.TextThdU3, " - - -");
    EXPECT_EQ(s.TextFreq, " 50.01 Hz");
    EXPECT_FLOAT_EQ(s.PhaseVoltages[0], 230.0f);
    EXPECT_FLOAT_EQ(s.PhaseVoltages[1], 231.0f);
    EXPECT_FLOAT_EQ(s.PhaseVoltages[2], 229.0f);
}

TEST(DecodeModbusAnswer, VoltageUnitCodes)
{
    const struct {
        uint16_t code;
        const char* u1;
        float volts;
    } cases[] = {
        {0xFFFF, " 230.0 V", 230.0f}, {0, " 2300 V", 2300.0f},     {1, " 23.00 kV", 23000.0f},
        {2, " 230.0 kV", 230000.0f},  {7, " 2300 ", 2300.0f},     {0xFFFE, " 2300 ", 2300.0f},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.Decode(rcVoltages, VoltageBlock(c.code));
        EXPECT_EQ(d.store.TextU1, c.u1) << c.code;
        EXPECT_FLOAT_EQ(d.store.PhaseVoltages[0], c.volts) << c.code;
    }
}

TEST(DecodeModbusAnswer, StatusFlags)
{
    const char* ok = " Ok";
    const struct {
        const char* what;
        uint16_t limits, freq;
        const char* u[3];
        const char* i[3];
        const char* f;
        const char* sync;
    } cases[] = {
        {"all clear", 0x0000, 0x0000, {ok, ok, ok}, {ok, ok, ok}, ok, ok},
        {"under-voltage L2", 0x0002, 0, {ok, " < 75%", ok}, {ok, ok, ok}, ok, ok},
        {"low currents", 0x0038, 0, {ok, ok, ok}, {" I LO", " I LO", " I LO"}, ok, ok},
        {"over-voltage L3", 0x0400, 0, {ok, ok, " > 120%"}, {ok, ok, ok}, ok, ok},
        {"high current L1", 0x0800, 0, {ok, ok, ok}, {" I HI", ok, ok}, ok, ok},
        {"high wins over low, L1", 0x0101, 0, {" > 120%", ok, ok}, {ok, ok, ok}, ok, ok},
        {"high current wins, L2", 0x1010, 0, {ok, ok, ok}, {ok, " I HI", ok}, ok, ok},
        {"no sync", 0, 0x0001, {ok, ok, ok}, {ok, ok, ok}, ok, " NO"},
        {"frequency low", 0, 0x0002, {ok, ok, ok}, {ok, ok, ok}, " LO", ok},
        {"frequency high wins", 0, 0x0006, {ok, ok, ok}, {ok, ok, ok}, " HI", ok},
        {"high byte of frequency flags ignored", 0, 0xFF00, {ok, ok, ok}, {ok, ok, ok}, ok, ok},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.store.UStatusL1 = d.store.IStatusL3 = d.store.FreqStatus = "stale";
        d.Decode(rcVoltages, VoltageBlock(0xFFFF, c.limits, c.freq));
        const DecodedValueStore& s = d.store;
        EXPECT_EQ(s.UStatusL1, c.u[0]) << c.what;
        EXPECT_EQ(s.UStatusL2, c.u[1]) << c.what;
        EXPECT_EQ(s.UStatusL3, c.u[2]) << c.what;
        EXPECT_EQ(s.IStatusL1, c.i[0]) << c.what;
        EXPECT_EQ(s.IStatusL2, c.i[1]) << c.what;
        EXPECT_EQ(s.IStatusL3, c.i[2]) << c.what;
        EXPECT_EQ(s.FreqStatus, c.f) << c.what;
        EXPECT_EQ(s.FreqSyncStatus, c.sync) << c.what;
    }
}

TEST(DecodeModbusAnswer, RtuAndTcpGiveTheSameTexts)
{
    const TRecordCode codes[] = {rcVoltages, rcCurrents, rcPowers, rcTotalCounters, rcDeviceInfo, rcDemandInterval};
    Bytes data(72);
    for (size_t k = 0; k < data.size(); ++k)
        data[k] = static_cast<uint8_t>(k * 29 + 7);
    data[3] = 1;  // interval with data
    for (TRecordCode code : codes) {
        Decoded rtu, tcp;
        rtu.Decode(code, data, '3');
        tcp.Decode(code, data, '4');
        // The device type suffix names the transport; everything else matches.
        tcp.store.DeviceTypeText = rtu.store.DeviceTypeText;
        EXPECT_TRUE(rtu.Same(tcp)) << int(code);
        EXPECT_FALSE(rtu.Same(Decoded())) << int(code);
    }
}

// ---- 73 currents ----

TEST(DecodeModbusAnswer, CurrentBlockAndUnits)
{
    const struct {
        uint16_t code;
        const char* i1;
        float amperes;
    } cases[] = {
        {0xFFFD, " 1.000 A", 1.0f}, {0xFFFE, " 10.00 A", 10.0f}, {0xFFFF, " 100.0 A", 100.0f},
        {0, " 1000 A", 1000.0f},    {1, " 10.00 kA", 10000.0f},  {9, " 1000 ", 1000.0f},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.Decode(rcCurrents, CurrentBlock(c.code));
        EXPECT_EQ(d.store.TextI1, c.i1) << c.code;
        EXPECT_FLOAT_EQ(d.store.PhaseCurrents[0], c.amperes) << c.code;
    }
    Decoded d;
    d.Decode(rcCurrents, CurrentBlock(0xFFFE));
    EXPECT_EQ(d.store.TextI2, " 5.00 A");
    EXPECT_EQ(d.store.TextI3, " 0.00 A");
    EXPECT_EQ(d.store.TextIN, " 0.25 A");
    EXPECT_FLOAT_EQ(d.store.PhaseCurrents[1], 5.0f);
    EXPECT_EQ(d.store.TextThdI1, " 12.0 %");
    EXPECT_EQ(d.store.TextThdI2, " OL");
    EXPECT_EQ(d.store.TextThdI3, " - - -");
}

// ---- 76 powers ----

TEST(DecodeModbusAnswer, PowerUnitCodes)
{
    const struct {
        uint16_t code;
        const char *p1, *q1, *s1;
    } cases[] = {
        {0, " 12345 W", " -100 VAr", " 2300 VA"},         {1, " 123.45 kW", " -1.00 kVAr", " 2.30 kVA"},
        {2, " 1234.5 kW", " -10.0 kVAr", " 2.3 kVA"},     {3, " 12345 kW", " -100 kVAr", " 2 kVA"},
        {4, " 123.45 MW", " -1.00 MVAr", " 0.00 MVA"},    {5, " 1234.5 MW", " -10.0 MVAr", " 0.0 MVA"},
        {6, " 12345 MW", " -100 MVAr", " 0 MVA"},         {7, " 12345 ", " -100 ", " 2300 "},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.store.ConnectionCode = ccThreePhase4Wire;
        d.store.PhaseVoltages[0] = 230.0f;
        d.store.PhaseCurrents[0] = 10.0f;
        d.Decode(rcPowers, Regs({12345, 0, 0, 12345, 0xFF9C, 0, 0, 0xFF9C, 950, 1000, 0xFC18, 5, c.code, 0, 0, 0, 0}));
        EXPECT_EQ(d.store.TextP1, c.p1) << c.code;
        EXPECT_EQ(d.store.TextPTot, c.p1) << c.code;
        EXPECT_EQ(d.store.TextQ1, c.q1) << c.code;
        EXPECT_EQ(d.store.TextQTot, c.q1) << c.code;
        EXPECT_EQ(d.store.TextS1, c.s1) << c.code;
        EXPECT_EQ(d.store.TextPF1, " 0.950 ") << c.code;
        EXPECT_EQ(d.store.TextPF2, " 1.000 ") << c.code;
        EXPECT_EQ(d.store.TextPF3, " -1.000 ") << c.code;
        EXPECT_EQ(d.store.TextPFTot, " 0.005 ") << c.code;
    }
}

TEST(DecodeModbusAnswer, ApparentPowerFromTheLastVoltagesAndCurrents)
{
    const Bytes powers = Regs({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // watts, no decimals
    Decoded d;
    d.store.ConnectionCode = ccThreePhase4Wire;
    d.Decode(rcVoltages, VoltageBlock(0xFFFF));  // 230.0, 231.0, 229.0 V
    d.Decode(rcCurrents, CurrentBlock(0xFFFE));  // 10.00, 5.00, 0.00 A
    d.Decode(rcPowers, powers);
    EXPECT_EQ(d.store.TextS1, " 2300 VA");
    EXPECT_EQ(d.store.TextS2, " 1155 VA");
    EXPECT_EQ(d.store.TextS3, " 0 VA");
    EXPECT_EQ(d.store.TextSTot, " 3455 VA");

    // The total adds the unrounded values: 3 x 0.4 VA shows 1, not 0.
    Decoded small;
    small.store.ConnectionCode = ccThreePhase3Wire;
    for (int k = 0; k < 3; ++k) {
        small.store.PhaseVoltages[k] = 0.8f;
        small.store.PhaseCurrents[k] = 0.5f;
    }
    small.Decode(rcPowers, powers);
    EXPECT_EQ(small.store.TextS1, " 0 VA");
    EXPECT_EQ(small.store.TextSTot, " 1 VA");
}

TEST(DecodeModbusAnswer, SinglePhaseCopiesS1IntoTheTotal)
{
    Decoded d;
    d.store.ConnectionCode = ccSinglePhase;
    d.store.TextS2 = "old S2";
    d.store.TextS3 = "old S3";
    d.store.PhaseVoltages[0] = 230.0f;
    d.store.PhaseCurrents[0] = 10.0f;
    d.store.PhaseVoltages[1] = d.store.PhaseCurrents[1] = 99.0f;
    d.Decode(rcPowers, Regs({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(d.store.TextS1, " 2.30 kVA");
    EXPECT_EQ(d.store.TextSTot, " 2.30 kVA");
    EXPECT_EQ(d.store.TextS2, "old S2");
    EXPECT_EQ(d.store.TextS3, "old S3");
}

// ---- counters ----

TEST(DecodeModbusAnswer, CounterRowsAndColumns)
{
    Bytes data(28, 0);
    SetReg32(data, 0, 12345);    // E(P)in
    SetReg32(data, 2, 67890);    // E(P)out
    SetReg32(data, 4, -1);       // E(Q)in
    SetReg32(data, 6, 1000000);  // E(Q)out
    SetReg(data, 10, 0);
    SetReg(data, 11, 1);
    for (int code = rcTotalCounters; code <= rcTariff8Counters; ++code) {
        if (code > rcTotalCounters && code < rcTariff1Counters)
            continue;
        Decoded d;
        d.Decode(static_cast<TRecordCode>(code), data);
        const std::string* row = code == rcTotalCounters ? d.store.CounterTotals : d.store.CounterTariffs[code - 101];
        EXPECT_EQ(row[0], " 67.890 kWh") << code;
        EXPECT_EQ(row[1], " 12.345 kWh") << code;
        EXPECT_EQ(row[2], " 1000.000 kVArh") << code;
        EXPECT_EQ(row[3], " -0.001 kVArh") << code;
        // Only its own row is written.
        int written = 0;
        for (const auto& tariff : d.store.CounterTariffs)
            written += !tariff[0].empty();
        written += !d.store.CounterTotals[0].empty();
        EXPECT_EQ(written, 1) << code;
    }
}

TEST(DecodeModbusAnswer, EnergyUnitCodes)
{
    const struct {
        uint16_t code;
        const char *p, *q;
    } cases[] = {
        {0, " 1234.567 kWh", " 0.001 kVArh"}, {1, " 12345.67 kWh", " 0.01 kVArh"},
        {2, " 123456.7 kWh", " 0.1 kVArh"},   {3, " 1234567 kWh", " 1 kVArh"},
        {4, " 12345.67 MWh", " 0.01 MVArh"},  {5, " 123456.7 MWh", " 0.1 MVArh"},
        {6, " 1234567 MWh", " 1 MVArh"},      {7, " 1234567 ", " 1 "},
    };
    for (const auto& c : cases) {
        Bytes data(24, 0);
        SetReg32(data, 0, 1234567);
        SetReg32(data, 4, 1);
        SetReg(data, 10, c.code);
        SetReg(data, 11, 5);
        Decoded d;
        d.Decode(rcTariff3Counters, data);
        EXPECT_EQ(d.store.CounterTariffs[2][1], c.p) << c.code;
        EXPECT_EQ(d.store.CounterTariffs[2][3], c.q) << c.code;
    }
}

TEST(DecodeModbusAnswer, EnergyTypeByLanguage)
{
    const struct {
        uint16_t type;
        int language;
        const char* expected;
    } cases[] = {
        {0, 0, TxtAddressSecondary[0]}, {0, 1, TxtAddressSecondary[1]}, {1, 0, TxtAddressPrimary[0]},
        {1, 1, TxtAddressPrimary[1]},   {2, 0, "kept"},                 {0xFFFF, 1, "kept"},
    };
    for (const auto& c : cases) {
        Bytes data(24, 0);
        SetReg(data, 11, c.type);
        Decoded d;
        d.store.EnergyTypeText = "kept";
        d.Decode(rcTotalCounters, data, '3', c.language);
        EXPECT_EQ(d.store.EnergyTypeText, c.expected) << c.type << "/" << c.language;
    }
}

// ---- single registers ----

TEST(DecodeModbusAnswer, SingleRegisterSettings)
{
    Decoded d;
    d.Decode(rcCtRatio, Regs({0xFFFF}), '3', 0, 3);
    EXPECT_EQ(d.store.CtRatioText, "65535");
    d.Decode(rcVtRatio, Regs({0xFFFF}), '3', 0, 3);
    EXPECT_EQ(d.store.VtRatioText, "-1");
    d.Decode(rcDemandPeriod, Regs({15}), '3', 0, 3);
    EXPECT_EQ(d.store.DemandPeriodText, std::string(" 15") + TxtUnitMinute[0]);
    d.Decode(rcDemandPeriod, Regs({60}), '4', 1, 3);
    EXPECT_EQ(d.store.DemandPeriodText, std::string(" 60") + TxtUnitMinute[1]);
    d.Decode(rcActualTariff, Regs({0x0103}));
    EXPECT_EQ(d.store.ActualTariffText, " 3");
    d.Decode(rcTariffInfo, Regs({0x0100}), '3', 0, 3);
    EXPECT_EQ(d.store.TariffHwText, "HW");
    d.Decode(rcTariffInfo, Regs({0x0001}), '3', 0, 3);
    EXPECT_EQ(d.store.TariffHwText, "");
}

TEST(DecodeModbusAnswer, OperatingTimesAndInterfaceVersion)
{
    Decoded d;
    d.Decode(rcOperatingTimes, Regs({0x0001, 0x86A0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(d.store.TotalOperatingTimeText, "100000");
    EXPECT_EQ(d.store.OperatingTimeSinceResetText, "65535");
    d.Decode(rcOperatingTimes, Regs({0xFFFF, 0xFFFF, 0}));
    EXPECT_EQ(d.store.TotalOperatingTimeText, "-1");

    const struct {
        Bytes bytes;
        const char* expected;
    } versions[] = {
        {{1, 0, 2, 5}, "Interface HW:1.0,FW:2.05"},
        {{3, 1, 10, 12}, "Interface HW:3.1,FW:10.12"},
        {{0, 9, 255, 9}, "Interface HW:0.9,FW:255.09"},
    };
    for (const auto& v : versions) {
        d.Decode(rcInterfaceVersion, v.bytes);
        EXPECT_EQ(d.store.FirmwareText, v.expected);
    }
}

// ---- 85 device information ----

TEST(DecodeModbusAnswer, DeviceInformation)
{
    const std::string noValue = std::string(" ") + TxtNoValue[0];
    const struct {
        const char* what;
        uint8_t type, d, m, q, z;
        char transport;
        const char* typeText;
        const char* options;
        uint8_t manufacturer;
        int connection;
        uint8_t ratios, settable, transformerCode, demand, reactive;
    } cases[] = {
        {"brand 1, RTU", 1, 1, 2, 4, 1, '3', " DX315", " D1M2P3Q4U5V6W7Z1", 1, 201, 1, 1, 4, 1, 1},
        {"brand 1, no suffix on TCP", 4, 0, 1, 1, 2, '4', " DX415", " D0M1P3Q1U5V6W7Z2", 1, 201, 1, 1, 1, 1, 0},
        {"brand 2 over TCP", 2, 2, 2, 4, 0, '4', " QSL810 TCP/IP", " D2M2P3U5V6W7Z0", 2, 202, 0, 0, 99, 0, 1},
        {"brand 2 over RTU", 5, 3, 0, 0, 1, '3', " QSL820 MODBUS", " D3M0P3Q0U5V6W7Z1", 2, 202, 1, 0, 0, 1, 0},
        {"Q 9: ratios shown, not settable", 1, 1, 1, 9, 0, '3', " DX315", " D1M1P3Q9U5V6W7Z0", 1, 201, 1, 0, 9, 0, 0},
        {"single phase", 0, 0, 1, 4, 0, '3', " DX310", " D0M1P3U5V6W7Z0", 1, 200, 0, 0, 99, 0, 0},
        {"single phase, type 3", 3, 1, 1, 4, 0, '3', " DX410", " D1M1P3Q4U5V6W7Z0", 1, 200, 1, 1, 4, 0, 0},
        {"unknown type", 7, 1, 1, 4, 0, '3', noValue.c_str(), " D1M1P3Q4U5V6W7Z0", 1, 202, 1, 1, 4, 0, 0},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.store.TransformerCode = 99;
        d.Decode(rcDeviceInfo, DeviceInfoBlock(c.type, c.d, c.m, c.q, c.z), c.transport);
        const DecodedValueStore& s = d.store;
        EXPECT_EQ(s.DeviceTypeText, c.typeText) << c.what;
        EXPECT_EQ(s.DeviceOptionsText, c.options) << c.what;
        EXPECT_EQ(d.manufacturer, c.manufacturer) << c.what;
        EXPECT_EQ(s.ConnectionCode, c.connection) << c.what;
        EXPECT_EQ(s.HasTransformerRatios, c.ratios) << c.what;
        EXPECT_EQ(s.TransformerRatiosSettable, c.settable) << c.what;
        EXPECT_EQ(s.TransformerCode, c.transformerCode) << c.what;
        EXPECT_EQ(s.HasDemandLogger, c.demand) << c.what;
        EXPECT_EQ(s.DeviceVariant, c.z) << c.what;
        EXPECT_EQ(s.HasReactiveEnergy, c.reactive) << c.what;
        EXPECT_EQ(s.SerialNumberText, " A1234567890") << c.what;
        EXPECT_EQ(s.BaseFirmwareText, ", Base FW: 1.23 ") << c.what;
        EXPECT_EQ(s.ProductNameText, "Energy Meter") << c.what;
    }
}

TEST(DecodeModbusAnswer, DeviceInformationTextFields)
{
    Bytes block = DeviceInfoBlock(1, 1, 1, 1, 1);
    block[11] = 42;    // '*' is the first code taken
    block[12] = 0xE9;  // Latin-1 e acute
    block[13] = 0xA0;  // a nibble above 9 is written as '0' + nibble
    for (int k = 32; k < 64; ++k)
        block[k] = static_cast<uint8_t>('a' + (k % 26));
    Decoded d;
    d.Decode(rcDeviceInfo, block);
    EXPECT_EQ(d.store.SerialNumberText, " *\xC3\xA9:034567890");
    EXPECT_EQ(d.store.ProductNameText.size(), 32u);
    EXPECT_EQ(d.store.ProductNameText.substr(0, 3), "ghi");
}

// ---- dates and times ----

TEST(DecodeModbusAnswer, DeviceClock)
{
    Decoded d;
    d.Decode(rcDeviceDateTime, DateTimeBytes(0, 5, 7, 9, 3, 12, 2024, 8), '3', 0, 3);
    EXPECT_EQ(d.store.DeviceTime, "09:07:05");
    EXPECT_EQ(d.store.DeviceDate, "2024-12-03");
    EXPECT_EQ(d.store.DeviceTimeDateText, "2024-12-03  09:07");
    d.Decode(rcDeviceDateTime, DateTimeBytes(0, 59, 10, 23, 31, 10, 0, 8), '3', 0, 3);
    EXPECT_EQ(d.store.DeviceTime, "23:10:59");
    EXPECT_EQ(d.store.DeviceDate, "0-10-31");
}

TEST(DecodeModbusAnswer, FreezeAndResetStamps)
{
    Decoded d;
    d.store.FreezeResetDate = "setting";
    d.store.FreezeResetTime = "setting";
    d.Decode(rcFreezeStamps, DateTimeBytes(6, 0, 30, 12, 1, 2, 2023, 22));
    EXPECT_EQ(d.store.DeviceTime, "12:30:00");
    EXPECT_EQ(d.store.DeviceDate, "2023-02-01");
    d.Decode(rcFreezeStamps, DateTimeBytes(6, 0, 30, 12, 1, 2, 0, 22));
    EXPECT_EQ(d.store.DeviceDate, "0-02-01");

    d.Decode(rcResetStamps, DateTimeBytes(14, 1, 2, 3, 4, 5, 2049, 22));
    EXPECT_EQ(d.store.DeviceTime, "03:02:01");
    EXPECT_EQ(d.store.DeviceDate, "2049-05-04");
    EXPECT_EQ(d.store.FreezeResetDate, "setting");

    // A reset stamp outside 2000..2050 also puts the placeholders into the
    // setting texts; the stamp itself is shown, a year 0 as 0000.
    d.Decode(rcResetStamps, DateTimeBytes(14, 1, 2, 3, 4, 5, 0, 22));
    EXPECT_EQ(d.store.DeviceDate, "0000-05-04");
    EXPECT_EQ(d.store.FreezeResetDate, "YYYY-MM-DD");
    EXPECT_EQ(d.store.FreezeResetTime, "HH:MM:SS");
}

TEST(DecodeModbusAnswer, FreezeAndResetSettings)
{
    const struct {
        uint16_t year;
        const char *date, *time;
    } cases[] = {
        {2024, "2024-06-15", "08:05:00"}, {2000, "2000-06-15", "08:05:00"}, {2050, "2050-06-15", "08:05:00"},
        {0, "0000-06-15", "08:05:00"},    {2051, "YYYY-MM-DD", "HH:MM:SS"}, {1999, "YYYY-MM-DD", "HH:MM:SS"},
        {1, "YYYY-MM-DD", "HH:MM:SS"},    {0xFFFF, "YYYY-MM-DD", "HH:MM:SS"},
    };
    for (TRecordCode code : {rcFreezeTimeSetting, rcResetTimeSetting}) {
        for (const auto& c : cases) {
            Decoded d;
            d.Decode(code, DateTimeBytes(0, 0, 5, 8, 15, 6, c.year, 8), '3', 0, 3);
            EXPECT_EQ(d.store.FreezeResetDate, c.date) << int(code) << " " << c.year;
            EXPECT_EQ(d.store.FreezeResetTime, c.time) << int(code) << " " << c.year;
            EXPECT_TRUE(d.store.DeviceDate.empty());
        }
    }
}

// ---- 99 web server ----

TEST(DecodeModbusAnswer, WebserverFlagsFollowTheFunctionByte)
{
    const struct {
        const char* what;
        uint8_t function;
        Bytes data;
        uint8_t present, enabled;
    } cases[] = {
        {"exception: no web server", 0x83, {0x02}, 0, 7},
        {"switched off", 3, {0x00, 0x00}, 1, 0},
        {"switched on", 3, {0x00, 0x01}, 1, 1},
        {"other value keeps the state", 3, {0x00, 0x05}, 1, 7},
        {"other function", 4, {0x00, 0x01}, 7, 7},
        {"register missing", 3, {}, 7, 7},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.store.WebserverPresent = d.store.WebserverEnabled = 7;
        d.Decode(rcWebserverFlags, c.data, '4', 0, c.function);
        EXPECT_EQ(d.store.WebserverPresent, c.present) << c.what;
        EXPECT_EQ(d.store.WebserverEnabled, c.enabled) << c.what;
    }
}

// ---- 100 demand interval ----

namespace {

Bytes IntervalBlock(int32_t firstNo, int32_t lastNo, uint16_t dataFlag = 1)
{
    Bytes data(72, 0);
    auto record = [&](int base, int32_t number, std::initializer_list<uint16_t> stamp, int32_t epIn, int32_t epOut) {
        SetReg(data, base + 1, dataFlag);
        SetReg32(data, base + 2, number);
        int r = base + 4;
        for (uint16_t v : stamp)
            SetReg(data, r++, v);
        SetReg32(data, base + 9, epIn);
        SetReg32(data, base + 12, epOut);
    };
    record(0, firstNo, {2024, 1, 5, 8, 0}, 100000, 5000);
    record(17, lastNo, {2024, 12, 16, 19, 45}, 112345, 5250);
    SetReg(data, 15, 0);        // kWh, three decimals
    SetReg(data, 17 + 15, 4);   // the last record's unit is not read
    return data;
}

}  // namespace

TEST(DecodeModbusAnswer, DemandIntervalWithData)
{
    Decoded d;
    d.Decode(rcDemandInterval, IntervalBlock(1000, 1095));
    EXPECT_EQ(d.store.EPinIntervalText, "E(P)in:  12.345 kWh");
    EXPECT_EQ(d.store.EPoutIntervalText, "E(P)out:  0.250 kWh");
    EXPECT_EQ(d.store.IntervalDateFrom, "2024-01-05");
    EXPECT_EQ(d.store.IntervalTimeFrom, "08:00");
    EXPECT_EQ(d.store.IntervalDateTill, "2024-12-16");
    EXPECT_EQ(d.store.IntervalTimeTill, "19:45");
    EXPECT_EQ(d.interval, 96);
}

TEST(DecodeModbusAnswer, DemandIntervalRecordCountIsBounded)
{
    const struct {
        int32_t first, last;
        int count;
    } cases[] = {
        {5, 5, 1},           {0, 167999, 168000},      {0, 200000, 168000},
        {10, 5, 0},          {INT_MIN, INT_MAX, 168000}, {INT_MAX, INT_MIN, 0},
    };
    for (const auto& c : cases) {
        Decoded d;
        d.Decode(rcDemandInterval, IntervalBlock(c.first, c.last));
        EXPECT_EQ(d.interval, c.count) << c.first << ".." << c.last;
    }
}

TEST(DecodeModbusAnswer, DemandIntervalWithoutData)
{
    for (int language : {0, 1}) {
        Decoded d;
        d.Decode(rcDemandInterval, IntervalBlock(1000, 1095));
        d.Decode(rcDemandInterval, IntervalBlock(1, 2000, 0x0100), '4', language);
        EXPECT_EQ(d.store.EPoutIntervalText, TxtEPoutNoData[language]);
        EXPECT_EQ(d.store.EPinIntervalText, TxtEPinNoData[language]);
        EXPECT_EQ(d.store.IntervalDateFrom, "");
        EXPECT_EQ(d.store.IntervalDateTill, "2024-12-16");
        EXPECT_EQ(d.store.IntervalTimeFrom, "08:00");
        EXPECT_EQ(d.interval, 0);
    }
}

// ---- what an answer does not carry is not read ----

namespace {

// Each group with the registers its request reads and the bytes it needs.
const struct GroupCase {
    TRecordCode code;
    int registers;
    int needed;
} kGroups[] = {
    {rcVoltages, 15, 30},        {rcCurrents, 11, 18},         {rcPowers, 17, 26},
    {rcTariffInfo, 1, 2},        {rcTotalCounters, 14, 24},    {rcCtRatio, 1, 2},
    {rcVtRatio, 1, 2},           {rcDemandPeriod, 1, 2},       {rcDeviceInfo, 36, 64},
    {rcDeviceDateTime, 4, 7},    {rcFreezeStamps, 11, 13},     {rcResetStamps, 11, 21},
    {rcFreezeTimeSetting, 4, 7}, {rcResetTimeSetting, 4, 7},   {rcOperatingTimes, 11, 6},
    {rcInterfaceVersion, 2, 4},  {rcActualTariff, 1, 2},       {rcDemandInterval, 36, 68},
    {rcTariff1Counters, 14, 24}, {rcTariff2Counters, 12, 24},  {rcTariff3Counters, 12, 24},
    {rcTariff4Counters, 12, 24}, {rcTariff5Counters, 12, 24},  {rcTariff6Counters, 12, 24},
    {rcTariff7Counters, 12, 24}, {rcTariff8Counters, 12, 24},
};

Bytes Pattern(int size)
{
    Bytes b(static_cast<size_t>(size));
    for (int k = 0; k < size; ++k)
        b[static_cast<size_t>(k)] = static_cast<uint8_t>(k * 7 + 3);
    return b;
}

// A store that an earlier answer filled, so that any write shows.
void Prepare(Decoded& d, const GroupCase& g, char transport)
{
    d.store.ConnectionCode = ccThreePhase4Wire;
    d.Decode(g.code, Pattern(2 * g.registers), transport);
}

}  // namespace

TEST(DecodeModbusAnswer, ShortAnswersLeaveEveryMemberUnchanged)
{
    for (const auto& g : kGroups) {
        for (char transport : {'3', '4'}) {
            SCOPED_TRACE(std::to_string(g.code) + " over " + transport);
            Decoded before;
            Prepare(before, g, transport);

            // The whole answer, all zeros, does change the store.
            Decoded full;
            full.CopyFrom(before);
            full.Decode(g.code, Bytes(static_cast<size_t>(2 * g.registers), 0), transport);
            EXPECT_FALSE(full.Same(before));

            // The answer holds fewer bytes than the group reads.
            for (int size = 0; size < g.needed; ++size) {
                Decoded d;
                d.CopyFrom(before);
                d.Decode(g.code, Bytes(static_cast<size_t>(size), 0), transport);
                EXPECT_TRUE(d.Same(before)) << "data bytes " << size;
            }

            // The byte count announces the whole block, but fewer bytes came.
            Decoded half;
            half.CopyFrom(before);
            PutAnswer(half.frames, transport, Bytes(static_cast<size_t>(2 * g.registers), 0));
            half.frames.RxCount -= (2 * g.registers - g.needed) + 1;
            half.Run(g.code, transport);
            EXPECT_TRUE(half.Same(before)) << "cut frame";

            // A byte count beyond the bytes received is cut to them.
            Decoded overstated;
            overstated.CopyFrom(before);
            PutAnswer(overstated.frames, transport, Bytes(static_cast<size_t>(g.needed - 1), 0), 4, 250);
            overstated.Run(g.code, transport);
            EXPECT_TRUE(overstated.Same(before)) << "byte count beyond the frame";
        }
    }
}

TEST(DecodeModbusAnswer, ExceptionAndWriteAnswersLeaveEveryMemberUnchanged)
{
    for (const auto& g : kGroups) {
        SCOPED_TRACE(std::to_string(g.code));
        Decoded before;
        Prepare(before, g, '4');
        const Bytes zeros(static_cast<size_t>(2 * g.registers), 0);

        Decoded exception;
        exception.CopyFrom(before);
        exception.Decode(g.code, {0x02}, '4', 0, 0x84);
        EXPECT_TRUE(exception.Same(before)) << "exception answer";

        // Even an exception frame followed by enough bytes is not decoded.
        Decoded padded;
        padded.CopyFrom(before);
        padded.Decode(g.code, zeros, '4', 0, 0x83);
        EXPECT_TRUE(padded.Same(before)) << "padded exception answer";

        Decoded write;
        write.CopyFrom(before);
        write.Decode(g.code, zeros, '3', 0, 16);
        EXPECT_TRUE(write.Same(before)) << "write answer";
    }
}

TEST(DecodeModbusAnswer, TooShortForAFunctionByte)
{
    for (const auto& g : kGroups) {
        Decoded before;
        Prepare(before, g, '4');
        for (char transport : {'3', '4'}) {
            for (int count = 0; count < 10; ++count) {
                Decoded d;
                d.CopyFrom(before);
                std::memset(d.frames.RxBuffer, 0, 16);
                d.frames.RxCount = count;
                d.Run(g.code, transport);
                EXPECT_TRUE(d.Same(before)) << int(g.code) << " " << transport << " " << count;
            }
        }
    }
    // The web-server flags need the function byte itself.
    Decoded d;
    d.store.WebserverPresent = 1;
    d.frames.RxBuffer[7] = 0x83;
    d.frames.RxCount = 7;
    d.Run(rcWebserverFlags, '4');
    EXPECT_EQ(d.store.WebserverPresent, 1);
    d.frames.RxCount = 8;
    d.Run(rcWebserverFlags, '4');
    EXPECT_EQ(d.store.WebserverPresent, 0);
}

TEST(DecodeModbusAnswer, CodesWithoutALayoutDoNothing)
{
    Bytes data = Pattern(72);
    for (int code : {0, 69, 70, 72, 74, 75, 77, 79, 83, 92, 94, 95, 97, 98, 109, 200, 255}) {
        Decoded d;
        d.Decode(static_cast<TRecordCode>(code), data);
        EXPECT_TRUE(d.Same(Decoded())) << code;
    }
}

TEST(DecodeModbusAnswer, RxCountOutsideTheBufferIsBounded)
{
    Decoded d;
    PutAnswer(d.frames, '3', Pattern(30));
    d.frames.RxCount = 5000;
    d.Run(rcVoltages);  // must not read past RxBuffer
    d.frames.RxCount = -3;
    Decoded before;
    before.CopyFrom(d);
    d.Run(rcVoltages);
    EXPECT_TRUE(d.Same(before));
}
