// The simulated meter's model without any wire: calendar, command line, unit
// scaling, the register map (read through the tool's own answer decoder where
// it has one), loggers, settings and the fault schedule.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "MeterSimHarness.h"
#include "core/ModbusDecoder.h"
#include "meter/FaultSchedule.h"
#include "meter/ModbusRecordLayouts.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/ModbusUnits.h"
#include "meter/SimMeter.h"

using namespace meter;
using metersim_test::FakeClock;

namespace {

const CivilTime Start{2024, 5, 7, 10, 0, 0};

// A meter on a clock of its own, with its register map.
struct Model {
    explicit Model(const DeviceOptions& d, const CivilTime& start = Start)
        : clock(start), meter(d, clock.Source()), map(meter) {}
    std::vector<uint16_t> In(int address, int count) {
        RegisterReply r = map.ReadInput(address, count);
        EXPECT_EQ(r.error, ModbusError::None) << "input " << address;
        return r.registers;
    }
    std::vector<uint16_t> Hold(int address, int count) {
        RegisterReply r = map.ReadHolding(address, count);
        EXPECT_EQ(r.error, ModbusError::None) << "holding " << address;
        return r.registers;
    }
    ModbusError Write(int address, std::vector<uint16_t> values) { return map.Write(address, values); }

    FakeClock clock;
    SimMeter meter;
    ModbusRegisterMap map;
};

DeviceOptions Device(int type = 5, int variant = 1) {
    DeviceOptions d;
    d.typeIndex = type;
    d.variant = variant;
    return d;
}

int32_t Reg32(const std::vector<uint16_t>& r, size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(r[at]) << 16 | r[at + 1]);
}

// Runs registers through the tool's decoder as an RTU answer.
DecodedValueStore Decode(const std::vector<uint16_t>& regs, TRecordCode code, int function = 4,
                         int* intervalCount = nullptr) {
    FrameBuffers frames;
    frames.RxBuffer[0] = 1;
    frames.RxBuffer[1] = static_cast<uint8_t>(function);
    frames.RxBuffer[2] = static_cast<uint8_t>(regs.size() * 2);
    for (size_t k = 0; k < regs.size(); ++k) {
        frames.RxBuffer[3 + 2 * k] = static_cast<uint8_t>(regs[k] >> 8);
        frames.RxBuffer[4 + 2 * k] = static_cast<uint8_t>(regs[k] & 0xFF);
    }
    frames.RxCount = static_cast<int>(5 + regs.size() * 2);
    DecodedValueStore store;
    uint8_t manufacturer = 0;
    std::atomic<int> interval{0};
    DecodeModbusAnswer(frames, '3', code, 0, store, manufacturer, interval);
    if (intervalCount) *intervalCount = interval.load();
    return store;
}

// The number of a value text " 230.1 V".
double Number(const std::string& text) { return std::stod(text); }
std::string Unit(const std::string& text) { return text.substr(text.rfind(' ') + 1); }

}  // namespace

TEST(MeterSimCivilTime, CountsSecondsOfKnownDates) {
    struct Case {
        CivilTime t;
        int64_t seconds;
    };
    const Case cases[] = {
        {{1970, 1, 1, 0, 0, 0}, 0},
        {{2000, 2, 29, 12, 0, 0}, 951825600},
        {{2024, 3, 1, 0, 0, 1}, 1709251201},
        {{2099, 12, 31, 23, 59, 59}, 4102444799},
        {{1969, 12, 31, 23, 59, 59}, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToSeconds(c.t), c.seconds) << FormatCivil(c.t);
        EXPECT_EQ(FromSeconds(c.seconds), c.t) << c.seconds;
    }
}

TEST(MeterSimCivilTime, ValidatesAndParsesDates) {
    EXPECT_TRUE(IsValidCivil({2024, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2023, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2100, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2024, 4, 31, 0, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2024, 13, 1, 0, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2024, 1, 1, 24, 0, 0}));
    EXPECT_FALSE(IsValidCivil({2024, 1, 0, 0, 0, 0}));
    EXPECT_EQ(ParseCivil("2024-05-07 10:00:59"), (CivilTime{2024, 5, 7, 10, 0, 59}));
    EXPECT_EQ(ParseCivil("2024-05-07T10:00:59"), (CivilTime{2024, 5, 7, 10, 0, 59}));
    for (const char* bad : {"2024-05-07", "2024-05-07 10:00", "2024-02-30 00:00:00", "2024-05-07 10:00:59x",
                            "2024/05/07 10:00:59"})
        EXPECT_FALSE(ParseCivil(bad)) << bad;
}

TEST(MeterSimOptions, TakesEveryOptionIntoTheOptions) {
    const ParseOutcome p = ParseMeterSimArgs(
        {"--tcp", "127.0.0.1:15020", "--rtu=/tmp/x", "--baud", "9600", "--framing", "8N2", "--unit", "7",
         "--type", "2", "--options", "2301000", "--variant", "2", "--serial", "0123456789", "--serial-prefix", "AB",
         "--product", "Test Meter", "--base-fw", "205", "--webserver", "enabled", "--ct", "100", "--vt", "20",
         "--demand-period", "30", "--tariff", "4", "--demand-records", "50", "--event-records", "7",
         "--certified-entries", "3", "--clock", "2024-05-07 10:00:00", "--seed", "9", "--no-answer-every", "4",
         "--bad-crc-every", "5", "--delay-ms", "250", "--delay-every", "3", "--drop-after", "6", "--verbose"});
    ASSERT_EQ(p.error, "");
    const MeterSimOptions& o = p.options;
    EXPECT_EQ(o.serve.tcpHost, "127.0.0.1");
    EXPECT_EQ(o.serve.tcpPort, 15020);
    EXPECT_EQ(o.serve.rtuDevice, "/tmp/x");
    EXPECT_EQ(o.serve.baud, 9600);
    EXPECT_EQ(o.serve.parity, 'N');
    EXPECT_EQ(o.serve.stopBits, 2);
    EXPECT_TRUE(o.serve.verbose);
    EXPECT_EQ(o.device.unitAddress, 7);
    EXPECT_EQ(o.device.typeIndex, 2);
    EXPECT_EQ(o.device.digitD, 2);
    EXPECT_EQ(o.device.digitM, 3);
    EXPECT_EQ(o.device.digitQ, 1);
    EXPECT_EQ(o.device.variant, 2);
    EXPECT_EQ(o.device.serialNumber, "0123456789");
    EXPECT_EQ(o.device.serialPrefix, "AB");
    EXPECT_EQ(o.device.productName, "Test Meter");
    EXPECT_EQ(o.device.baseFirmware, 205);
    EXPECT_EQ(o.device.webserver, WebserverMode::Enabled);
    EXPECT_EQ(o.device.ctRatio, 100);
    EXPECT_EQ(o.device.vtRatio, 20);
    EXPECT_EQ(o.device.demandPeriod, 30);
    EXPECT_EQ(o.device.tariff, 4);
    EXPECT_EQ(o.device.demandRecords, 50);
    EXPECT_EQ(o.device.eventRecords, 7);
    EXPECT_EQ(o.device.certifiedEntries, 3);
    EXPECT_EQ(o.device.clockStart, Start);
    EXPECT_EQ(o.device.seed, 9u);
    EXPECT_EQ(o.device.baudCode, 5);
    EXPECT_EQ(o.faults.noAnswerEvery, 4);
    EXPECT_EQ(o.faults.badCrcEvery, 5);
    EXPECT_EQ(o.faults.delayMs, 250);
    EXPECT_EQ(o.faults.delayEvery, 3);
    EXPECT_EQ(o.faults.dropAfter, 6);
}

TEST(MeterSimOptions, RefusesBadCommandLines) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const Case cases[] = {
        {{}, "nothing to serve"},
        {{"--tcp", "127.0.0.1"}, "--tcp must be HOST:PORT"},
        {{"--tcp", "127.0.0.1:65536"}, "port must be"},
        {{"--tcp"}, "--tcp needs a value"},
        {{"--tcp", "h:1", "--unit", "248"}, "--unit must be a number from 1 to 247"},
        {{"--tcp", "h:1", "--unit", "1x"}, "--unit must be"},
        {{"--tcp", "h:1", "--baud", "1000"}, "--baud must be one of"},
        {{"--tcp", "h:1", "--framing", "8X1"}, "--framing"},
        {{"--tcp", "h:1", "--options", "12010"}, "--options must be seven digits"},
        {{"--tcp", "h:1", "--serial", "12345"}, "--serial must be ten"},
        {{"--tcp", "h:1", "--secondary", "1234567F"}, "--secondary must be eight digits 0-9 or A-E"},
        {{"--tcp", "h:1", "--webserver", "on"}, "--webserver must be"},
        {{"--tcp", "h:1", "--clock", "2024-02-30 00:00:00"}, "--clock must be"},
        {{"--tcp", "h:1", "--ct", "1000", "--vt", "101"}, "at most 100000"},
        {{"--tcp", "h:1", "--verbose=1"}, "--verbose takes no value"},
        {{"--tcp", "h:1", "--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const Case& c : cases) {
        const ParseOutcome p = ParseMeterSimArgs(c.args);
        EXPECT_NE(p.error.find(c.error), std::string::npos) << "got: " << p.error;
    }
    // The product limit holds only for transformer input 1.
    EXPECT_EQ(ParseMeterSimArgs({"--tcp", "h:1", "--options", "1202000", "--ct", "1000", "--vt", "101"}).error, "");
    EXPECT_TRUE(ParseMeterSimArgs({"--tcp", "h:1", "-h"}).showHelp);
    EXPECT_EQ(ParseMeterSimArgs({"--tcp", "h:1", "--secondary", "12AB4CDE"}).options.device.MBusIdBcd(), 0x12AB4CDEu);
}

TEST(MeterSimOptions, HelpNamesEveryOption) {
    const std::string help = MeterSimHelpText();
    const std::vector<std::string> names = MeterSimOptionNames();
    EXPECT_GE(names.size(), 30u);
    for (const std::string& name : names) EXPECT_NE(help.find(name), std::string::npos) << name;
}

TEST(MeterSimUnits, PickTheFinestCodeThatHoldsTheRange) {
    struct Case {
        UnitChoice (*choose)(double);
        double max;
        uint16_t code;
    };
    const Case cases[] = {
        {ChooseVoltageUnit, 520, 0xFFFF},   {ChooseVoltageUnit, 3276.7, 0xFFFF}, {ChooseVoltageUnit, 3277, 0},
        {ChooseVoltageUnit, 52000, 1},      {ChooseVoltageUnit, 520000, 2},      {ChooseCurrentUnit, 20, 0xFFFD},
        {ChooseCurrentUnit, 200, 0xFFFE},   {ChooseCurrentUnit, 2000, 0xFFFF},   {ChooseCurrentUnit, 20000, 0},
        {ChooseCurrentUnit, 100000, 1},     {ChoosePowerUnit, 13800, 0},         {ChoosePowerUnit, 40000, 1},
        {ChoosePowerUnit, 2e7, 3},          {ChoosePowerUnit, 3e10, 6},          {ChooseEnergyUnit, 1e9, 0},
        {ChooseEnergyUnit, 3e9, 1},         {ChooseEnergyUnit, 1e15, 6},
    };
    for (const Case& c : cases) EXPECT_EQ(c.choose(c.max).code, c.code) << c.max;
}

TEST(MeterSimUnits, RawValuesRoundAndHoldTheSignedRange) {
    EXPECT_EQ(Raw16(230.04, 0.1), 2300);
    EXPECT_EQ(Raw16(230.05, 0.1), 2301);
    EXPECT_EQ(Raw16(-1.0, 0.01), 0xFF9C);
    EXPECT_EQ(Raw16(1e9, 1), 0x7FFF);
    EXPECT_EQ(Raw16(-1e9, 1), 0x8000);
    EXPECT_EQ(Raw32(123456.7, 1), 123457);
    EXPECT_EQ(Raw32(1e12, 1), 2147483647);
    EXPECT_EQ(Raw32(-1e12, 1), -2147483647 - 1);
}

TEST(MeterSimRegisters, DeviceInformationDecodesToTheDevicesTexts) {
    Model a(Device(5, 1));
    const DecodedValueStore s = Decode(a.In(3000, 36), rcDeviceInfo);
    EXPECT_EQ(s.DeviceTypeText, " DX420");
    EXPECT_EQ(s.DeviceOptionsText, " D1M2P0Q1U0V0W0Z1");
    EXPECT_EQ(s.SerialNumberText, " TQ2100012345");
    EXPECT_EQ(s.BaseFirmwareText, ", Base FW: 1.23 ");
    EXPECT_EQ(s.ProductNameText.rfind("DX420 Energy Meter", 0), 0u);
    EXPECT_EQ(s.ConnectionCode, ccThreePhase4Wire);
    EXPECT_EQ(s.HasTransformerRatios, 1);
    EXPECT_EQ(s.TransformerRatiosSettable, 1);
    EXPECT_EQ(s.HasDemandLogger, 1);
    EXPECT_EQ(s.HasReactiveEnergy, 1);
    EXPECT_EQ(Decode(a.In(3700, 2), rcInterfaceVersion).FirmwareText, "Interface HW:1.0,FW:2.05");

    DeviceOptions d = Device(2, 2);
    d.digitD = 2;
    d.digitM = 1;
    d.serialPrefix = "  ";
    d.serialNumber = "0000000042";
    Model b(d);
    const DecodedValueStore t = Decode(b.In(3000, 36), rcDeviceInfo);
    EXPECT_EQ(t.DeviceTypeText, " QSL810 MODBUS");
    EXPECT_EQ(t.ProductNameText.rfind("QSL810 Energy Meter", 0), 0u);
    EXPECT_EQ(t.DeviceOptionsText, " D2M1P0U0V0W0Z2");
    EXPECT_EQ(t.SerialNumberText, " 0000000042");
    EXPECT_EQ(t.ConnectionCode, ccThreePhase4Wire);
    EXPECT_EQ(t.HasTransformerRatios, 0);
    EXPECT_EQ(t.DeviceVariant, 2);
    EXPECT_EQ(t.HasReactiveEnergy, 0);
}

TEST(MeterSimRegisters, MeasuredValuesArePlausibleForEachConnection) {
    struct Case {
        int type;
        TConnectionCode connection;
    };
    for (const Case c : {Case{0, ccSinglePhase}, Case{4, ccThreePhase3Wire}, Case{5, ccThreePhase4Wire}}) {
        SCOPED_TRACE(c.type);
        Model m(Device(c.type));
        const DecodedValueStore u = Decode(m.In(0, 15), rcVoltages);
        EXPECT_NEAR(Number(u.TextU1), 232, 8);
        EXPECT_EQ(Unit(u.TextU1), "V");
        EXPECT_NEAR(Number(u.TextFreq), 50, 0.1);
        EXPECT_EQ(Unit(u.TextFreq), "Hz");
        EXPECT_NEAR(Number(u.TextThdU1), 2.2, 0.6);
        EXPECT_EQ(u.UStatusL1, " Ok");
        EXPECT_EQ(u.IStatusL1, " Ok");
        EXPECT_EQ(u.FreqStatus, " Ok");
        const DecodedValueStore i = Decode(m.In(100, 11), rcCurrents);
        EXPECT_GT(Number(i.TextI1), 0.5);
        EXPECT_EQ(Unit(i.TextI1), "A");
        EXPECT_NEAR(Number(i.TextThdI1), 8, 3.1);
        const DecodedValueStore p = Decode(m.In(200, 17), rcPowers);
        const double pf = Number(p.TextPFTot);
        EXPECT_GT(pf, 0.9);
        EXPECT_LE(pf, 1.0);
        EXPECT_NEAR(Number(p.TextP1), Number(u.TextU1) * Number(i.TextI1) * Number(p.TextPF1), 12);
        if (c.connection == ccSinglePhase) {
            EXPECT_EQ(Number(u.TextU2), 0);
            EXPECT_EQ(Number(u.TextU12), 0);
            EXPECT_EQ(Number(p.TextPTot), Number(p.TextP1));
        } else {
            EXPECT_NEAR(Number(u.TextU12) / Number(u.TextU1), std::sqrt(3.0), 0.05);
            EXPECT_NEAR(Number(p.TextPTot), Number(p.TextP1) + Number(p.TextP2) + Number(p.TextP3), 2);
            EXPECT_GT(Number(i.TextI3), 0.5);
            if (c.connection == ccThreePhase4Wire) EXPECT_GT(Number(i.TextIN), 0);
            else EXPECT_EQ(Number(i.TextIN), 0);
        }
    }
}

TEST(MeterSimRegisters, TransformerRatiosScaleValuesAndUnits) {
    DeviceOptions d = Device(5);
    d.digitQ = 2;  // x/1 A input, no product limit
    d.ctRatio = 1500;
    d.vtRatio = 100;
    Model m(d);
    const DecodedValueStore u = Decode(m.In(0, 15), rcVoltages);
    EXPECT_EQ(Unit(u.TextU1), "kV");
    EXPECT_NEAR(Number(u.TextU1), 23.2, 0.8);
    const DecodedValueStore i = Decode(m.In(100, 11), rcCurrents);
    EXPECT_EQ(Unit(i.TextI1), "A");
    EXPECT_GT(Number(i.TextI1), 300);
    const DecodedValueStore p = Decode(m.In(200, 17), rcPowers);
    EXPECT_EQ(Unit(p.TextP1), "MW");
    EXPECT_NEAR(Number(p.TextP1), Number(u.TextU1) * Number(i.TextI1) / 1000 * Number(p.TextPF1), 0.6);
    EXPECT_EQ(Decode(m.Hold(10000, 1), rcCtRatio, 3).CtRatioText, "1500");
    EXPECT_EQ(Decode(m.Hold(10100, 1), rcVtRatio, 3).VtRatioText, "100");
}

TEST(MeterSimRegisters, TotalCountersAreTheSumOfTheTariffs) {
    Model m(Device());
    const std::vector<uint16_t> total = m.In(300, 14);
    for (size_t field = 0; field < 4; ++field) {
        int64_t sum = 0;
        for (int t = 0; t < 8; ++t) sum += Reg32(m.In(600 + 100 * t, 14), 2 * field);
        EXPECT_NEAR(static_cast<double>(Reg32(total, 2 * field)), static_cast<double>(sum), 8) << field;
    }
    const DecodedValueStore s = Decode(total, rcTotalCounters);
    EXPECT_EQ(Unit(s.CounterTotals[1]), "kWh");
    EXPECT_EQ(Unit(s.CounterTotals[3]), "kVArh");
    EXPECT_EQ(s.EnergyTypeText, "Primary");
    EXPECT_GT(Number(s.CounterTotals[1]), 1000);
    EXPECT_LT(Number(s.CounterTotals[0]), Number(s.CounterTotals[1]));
}

TEST(MeterSimRegisters, CountersGrowOnTheActiveTariffOnly) {
    DeviceOptions d = Device();
    d.tariff = 0;  // hardware input: tariff 1 by day, 2 by night
    Model m(d);
    const int32_t t1 = Reg32(m.In(600, 14), 0), t2 = Reg32(m.In(700, 14), 0);
    const double watts = m.meter.Values().pTotal;
    m.clock.Advance(3600);
    const int32_t t1Later = Reg32(m.In(600, 14), 0);
    EXPECT_NEAR(t1Later - t1, watts, 0.25 * watts);  // Wh at one count per Wh
    EXPECT_EQ(Reg32(m.In(700, 14), 0), t2);
    EXPECT_EQ(m.In(412, 1)[0], 1);
    m.clock.Advance(12 * 3600);  // 23:00
    EXPECT_EQ(m.In(412, 1)[0], 2);
    const int32_t t2Night = Reg32(m.In(700, 14), 0);
    m.clock.Advance(3600);
    EXPECT_GT(Reg32(m.In(700, 14), 0), t2Night);
    // The operating time counts along.
    EXPECT_EQ(Reg32(m.In(500, 11), 0) - Reg32(Model(d).In(500, 11), 0), 14);
}

TEST(MeterSimRegisters, TariffWritesAndTheLockedHardwareInput) {
    Model m(Device());
    EXPECT_EQ(Decode(m.Hold(10500, 1), rcTariffInfo, 3).TariffHwText, "");
    EXPECT_EQ(m.Write(10500, {5}), ModbusError::None);
    EXPECT_EQ(m.Hold(10500, 1)[0], 5);
    EXPECT_EQ(Decode(m.In(412, 1), rcActualTariff).ActualTariffText, " 5");
    EXPECT_EQ(m.Write(10500, {9}), ModbusError::IllegalDataValue);

    DeviceOptions locked = Device();
    locked.tariffLocked = true;
    locked.tariff = 0;
    Model l(locked);
    EXPECT_EQ(l.Write(10500, {3}), ModbusError::None);
    EXPECT_EQ(Decode(l.Hold(10500, 1), rcTariffInfo, 3).TariffHwText, "HW");

    // The large logger's meters take a new tariff with the next period.
    Model v2(Device(5, 2));
    v2.clock.Advance(60);
    EXPECT_EQ(v2.Write(10500, {4}), ModbusError::None);
    EXPECT_EQ(v2.Hold(10500, 1)[0], 4);
    EXPECT_EQ(v2.In(412, 1)[0], 1);
    v2.clock.Advance(15 * 60);
    EXPECT_EQ(v2.In(412, 1)[0], 4);
}

TEST(MeterSimRegisters, DemandLoggerWalksFromTheNewestRecord) {
    DeviceOptions d = Device();
    d.demandRecords = 4;
    Model m(d);
    const auto number = [](const std::vector<uint16_t>& r) { return r[0] >> 8 | (r[0] & 0xFF) << 8; };
    const std::vector<uint16_t> newest = m.In(3400, 32);
    EXPECT_EQ(number(newest), 4);
    const Bytes b = FromRegisters(newest);
    // Tariff, scale code, E(P)in least significant byte first, the time and the period.
    EXPECT_EQ(b[2], 1);
    EXPECT_EQ(b[3], 0);
    const int32_t epIn = b[4] | b[5] << 8 | b[6] << 16 | b[7] << 24;
    EXPECT_EQ(epIn, Reg32(m.In(300, 14), 0));
    EXPECT_EQ((std::vector<int>{b[28], b[29], b[30], b[31], b[32], b[33] | b[34] << 8, b[35]}),
              (std::vector<int>{0, 0, 10, 7, 5, 2024, 15}));
    struct Step {
        int address;
        int number;
    };
    // The request after a miss (3600) takes back the step just before it.
    for (const Step s : {Step{3500, 3}, Step{3500, 2}, Step{3600, 3}, Step{3500, 2}, Step{3500, 1}}) {
        const Bytes r = FromRegisters(m.In(s.address, 32));
        EXPECT_EQ(r[0] | r[1] << 8, s.number) << s.address;
        EXPECT_EQ(r[29], s.number * 15 % 60);  // 15 minutes apart, the newest at 10:00
    }
    for (int k = 0; k < 2; ++k) EXPECT_EQ(m.In(3500, 32), std::vector<uint16_t>(32, 0xFFFF));
    EXPECT_EQ(m.In(3400, 17)[0] >> 8, 4);  // a new walk starts at the newest again
}

TEST(MeterSimRegisters, DemandRecordsAppearAtPeriodEnds) {
    DeviceOptions d = Device();
    d.demandRecords = 5;
    Model m(d);
    m.clock.Advance(31 * 60);
    const int32_t total = Reg32(m.In(300, 14), 0);
    const Bytes newest = FromRegisters(m.In(3400, 32));
    EXPECT_EQ(newest[0], 7);
    EXPECT_EQ(newest[29], 30);  // 10:30
    const int32_t epIn = newest[4] | newest[5] << 8 | newest[6] << 16 | newest[7] << 24;
    EXPECT_LE(epIn, total);
    EXPECT_GT(epIn, total - 100);  // one minute of load at most since 10:30
    // A shorter period records more often.
    EXPECT_EQ(m.Write(10400, {5}), ModbusError::None);
    m.clock.Advance(10 * 60);
    EXPECT_EQ(FromRegisters(m.In(3400, 32))[0], 9);
}

TEST(MeterSimRegisters, LargeLoggerRecordsEndWithZeros) {
    DeviceOptions d = Device(5, 2);
    d.demandRecords = 3;
    Model m(d);
    const std::vector<uint16_t> r = m.In(3400, 17);
    EXPECT_EQ(Reg32(r, 0), 3);
    EXPECT_EQ((std::vector<uint16_t>{r[2], r[3], r[4], r[5], r[6]}), (std::vector<uint16_t>{2024, 5, 7, 10, 0}));
    EXPECT_EQ(Reg32(r, 7), Reg32(m.In(300, 14), 0));
    EXPECT_EQ(r[16] & 0xFF, 1);  // tariff
    EXPECT_EQ(Reg32(m.In(3500, 17), 0), 2);
    EXPECT_EQ(Reg32(m.In(3500, 17), 0), 1);
    EXPECT_EQ(m.In(3500, 17), std::vector<uint16_t>(17, 0));
    EXPECT_EQ(m.In(3500, 32), std::vector<uint16_t>(32, 0));
}

// Past the oldest record each log answers the end its line's readers test.
TEST(MeterSimRegisters, PastTheOldestRecordEachLineGetsItsEndMark) {
    struct Row {
        int variant;
        int first, older;  // the newest record, the next older one
        int count;
        Line line;
        uint16_t end;
    };
    const Row rows[] = {
        {1, 3400, 3500, 32, Line::Tcp, 0xFFFF}, {1, 3400, 3500, 32, Line::Rtu, 0xFFFF},
        {1, 3100, 3200, 16, Line::Tcp, 0xFFFF}, {1, 3100, 3200, 16, Line::Rtu, 0xFFFF},
        {2, 3400, 3500, 17, Line::Tcp, 0},      {2, 3400, 3500, 17, Line::Rtu, 0xFFFF},
        {2, 11400, 3900, 15, Line::Tcp, 0},     {2, 11400, 3900, 15, Line::Rtu, 0xFFFF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "variant " << row.variant << " register " << row.older
                                        << (row.line == Line::Rtu ? " RTU" : " TCP"));
        DeviceOptions d = Device(5, row.variant);
        d.demandRecords = d.eventRecords = d.certifiedEntries = 1;
        Model m(d);
        // The certified log steps by a write and is read at one place.
        const bool certified = row.first == 11400;
        const auto older = [&] {
            if (certified) m.Write(11400, {2});
            return m.map.ReadInput(row.older, row.count, row.line).registers;
        };
        const ModbusError first =
            certified ? m.Write(11400, {1}) : m.map.ReadInput(row.first, row.count, row.line).error;
        EXPECT_EQ(first, ModbusError::None);
        EXPECT_EQ(older(), std::vector<uint16_t>(static_cast<size_t>(row.count), row.end));
        EXPECT_EQ(older(), std::vector<uint16_t>(static_cast<size_t>(row.count), row.end));
    }
}

TEST(MeterSimRegisters, EventsLogWalksAndLogsSettingChanges) {
    DeviceOptions d = Device();
    d.eventRecords = 2;
    Model m(d);
    EXPECT_EQ(FromRegisters(m.In(3100, 16))[0], 2);
    EXPECT_EQ(FromRegisters(m.In(3200, 16))[0], 1);
    EXPECT_EQ(m.In(3200, 16), std::vector<uint16_t>(16, 0xFFFF));
    EXPECT_EQ(m.Write(10000, {400}), ModbusError::None);
    const Bytes e = FromRegisters(m.In(3100, 16));
    EXPECT_EQ(e[0], 3);
    EXPECT_EQ(e[2], evCtRatio);
    EXPECT_EQ((std::vector<int>{e[3], e[4], e[5], e[6]}), (std::vector<int>{1, 0, 400 & 0xFF, 400 >> 8}));
    EXPECT_EQ((std::vector<int>{e[14], e[15], e[16], e[17], e[18], e[19] | e[20] << 8}),
              (std::vector<int>{0, 0, 10, 7, 5, 2024}));
    EXPECT_EQ(FromRegisters(m.In(3300, 16)), e);  // the request after a miss repeats
}

TEST(MeterSimRegisters, CertifiedLogWalksFromItsNewestEntry) {
    DeviceOptions d = Device(5, 2);
    d.certifiedEntries = 3;
    Model m(d);
    EXPECT_EQ(m.Write(11400, {1}), ModbusError::None);
    std::vector<uint16_t> r = m.In(3900, 15);
    EXPECT_EQ(r[0], 3);  // the newest entry's id is the number of entries
    EXPECT_TRUE(r[1] == ceClockSet || r[1] == ceClockSync);
    EXPECT_EQ(r[2], 2024);
    const Bytes b = FromRegisters(r);
    unsigned sum = 0;
    for (size_t k = 0; k < 28; ++k) sum += b[k];
    EXPECT_EQ(b[29], sum & 0xFF);
    for (const int id : {2, 1, 0, 0}) {
        EXPECT_EQ(m.Write(11400, {2}), ModbusError::None);
        r = m.In(3900, 15);
        EXPECT_EQ(r[0], id);
    }
    EXPECT_EQ(m.In(3900, 15), std::vector<uint16_t>(15, 0));
    EXPECT_EQ(m.Write(11400, {3}), ModbusError::IllegalDataValue);
}

TEST(MeterSimRegisters, ClockWritesAreLoggedAndCertified) {
    Model m(Device(5, 2));
    const int64_t entries = m.meter.CertifiedLog().NewestNumber();
    EXPECT_EQ(m.Write(10600, {0x0506, 0x0708, 0x09E9, 0x0700}), ModbusError::None);  // 2025-09-08 07:06:05
    const DecodedValueStore s = Decode(m.Hold(10600, 4), rcDeviceDateTime, 3);
    EXPECT_EQ(s.DeviceDate, "2025-09-08");
    EXPECT_EQ(s.DeviceTime, "07:06:05");
    const Bytes e = FromRegisters(m.In(3100, 16));
    EXPECT_EQ(e[2], evClockSet);
    EXPECT_EQ((std::vector<int>{e[3], e[4], e[5], e[6], e[7], e[8]}), (std::vector<int>{0, 0, 10, 7, 5, 24}));
    ASSERT_EQ(m.Write(11400, {1}), ModbusError::None);
    const std::vector<uint16_t> c = m.In(3900, 15);
    EXPECT_EQ(c[0], entries + 1);
    EXPECT_EQ(c[1], ceClockSet);
    EXPECT_EQ((std::vector<uint16_t>(c.begin() + 2, c.begin() + 14)),
              (std::vector<uint16_t>{2024, 5, 7, 10, 0, 0, 2025, 9, 8, 7, 6, 5}));
    EXPECT_EQ(m.Write(10600, {0x0000, 0x0020, 0x02E9, 0x0700}), ModbusError::IllegalDataValue);  // 32nd of February
}

TEST(MeterSimRegisters, IntervalSummaryAndRecordPointer) {
    DeviceOptions d = Device(5, 2);
    d.demandRecords = 100;
    Model m(d);
    // 09:00 to 09:59 holds the records of 09:00, 09:15, 09:30 and 09:45.
    ASSERT_EQ(m.Write(11200, {2024, 5, 7, 9, 0, 2024, 5, 7, 9, 59}), ModbusError::None);
    const std::vector<uint16_t> block = m.In(3800, 36);
    EXPECT_EQ(block[1] & 0xFF, 1);
    const int32_t first = Reg32(block, 2), last = Reg32(block, 19);
    EXPECT_EQ(last - first + 1, 4);
    EXPECT_EQ(last, 99);  // 10:00 is the newest, record 100
    int count = 0;
    const DecodedValueStore s = Decode(block, rcDemandInterval, 4, &count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(s.IntervalDateFrom, "2024-05-07");
    EXPECT_EQ(s.IntervalTimeFrom, "09:00");
    EXPECT_EQ(s.IntervalTimeTill, "09:45");
    EXPECT_EQ(s.EPinIntervalText.rfind("E(P)in: ", 0), 0u);
    EXPECT_GT(Number(s.EPinIntervalText.substr(8)), 0);

    ASSERT_EQ(m.Write(11300, {3, block[19], block[20]}), ModbusError::None);
    EXPECT_EQ(Reg32(m.In(2920, 17), 0), last);
    EXPECT_EQ(Reg32(m.In(3500, 17), 0), last - 1);
    EXPECT_EQ(m.Hold(11300, 3), (std::vector<uint16_t>{3, block[19], block[20]}));
    EXPECT_EQ(m.Write(11300, {2, 0, 1}), ModbusError::IllegalDataValue);

    // A period before the log, and the zeros of a refused period, hold nothing.
    for (const std::vector<uint16_t>& period : {std::vector<uint16_t>{2015, 1, 1, 0, 0, 2015, 1, 2, 0, 0},
                                                std::vector<uint16_t>(10, 0)}) {
        ASSERT_EQ(m.Write(11200, period), ModbusError::None);
        EXPECT_EQ(m.In(3800, 36), std::vector<uint16_t>(36, 0));
        EXPECT_EQ(Decode(m.In(3800, 36), rcDemandInterval, 4, &count).EPinIntervalText, "E(P)in: no data");
        EXPECT_EQ(count, 0);
    }
}

TEST(MeterSimRegisters, SettingsAreKeptWhenWritten) {
    struct Case {
        int address;
        std::vector<uint16_t> values;
    };
    const Case cases[] = {
        {10000, {1500}},
        {10100, {60}},
        {10400, {30}},
        {10500, {0}},
        {10700, {0x3822, 0x0C07, 0x03E5, 0x0700}},
        {10800, {0x0000, 0x0000, 0x0000, 0x0000}},
        {11000, {0}},
        {11000, {1}},
        {10600, {0x0203, 0x0405, 0x06E8, 0x0700}},
    };
    DeviceOptions d = Device();
    d.webserver = WebserverMode::Enabled;
    Model m(d);
    for (const Case& c : cases) {
        EXPECT_EQ(m.Write(c.address, c.values), ModbusError::None) << c.address;
        EXPECT_EQ(m.Hold(c.address, static_cast<int>(c.values.size())), c.values) << c.address;
    }
    EXPECT_EQ(Decode(m.Hold(10700, 4), rcResetTimeSetting, 3).FreezeResetDate, "2021-03-07");
    EXPECT_EQ(Decode(m.Hold(10400, 1), rcDemandPeriod, 3).DemandPeriodText, " 30 [Minute]");
    EXPECT_EQ(m.meter.CtRatio(), 1500);
}

TEST(MeterSimRegisters, RefusesWhatTheDeviceCannotTake) {
    struct Case {
        const char* what;
        int address;
        std::vector<uint16_t> values;
        ModbusError error;
    };
    const Case writes[] = {
        {"CT above 10000", 10000, {10001}, ModbusError::IllegalDataValue},
        {"CT 0", 10000, {0}, ModbusError::IllegalDataValue},
        {"VT x CT above 100000", 10100, {101}, ModbusError::IllegalDataValue},
        {"unit address 248", 10200, {248}, ModbusError::IllegalDataValue},
        {"baud code 10", 10300, {10}, ModbusError::IllegalDataValue},
        {"demand period 0", 10400, {0}, ModbusError::IllegalDataValue},
        {"half the clock", 10600, {0x0102, 0x0304}, ModbusError::IllegalDataAddress},
        {"clock from its second register", 10601, {1, 2, 3}, ModbusError::IllegalDataAddress},
        {"web server absent", 11000, {1}, ModbusError::IllegalDataAddress},
        {"interval without the large logger", 11200, std::vector<uint16_t>(10, 0), ModbusError::IllegalDataAddress},
        {"a register that does not exist", 10050, {1}, ModbusError::IllegalDataAddress},
        {"too many registers", 10000, std::vector<uint16_t>(124, 1), ModbusError::IllegalDataValue},
    };
    DeviceOptions d = Device();
    d.ctRatio = 1000;
    Model m(d);
    for (const Case& c : writes) EXPECT_EQ(m.Write(c.address, c.values), c.error) << c.what;
    EXPECT_EQ(m.meter.CtRatio(), 1000);

    struct Read {
        const char* what;
        bool input;
        int address;
        int count;
        ModbusError error;
    };
    const Read reads[] = {
        {"past the voltage block", true, 10, 6, ModbusError::IllegalDataAddress},
        {"a gap", true, 50, 1, ModbusError::IllegalDataAddress},
        {"a log window not at its start", true, 3401, 4, ModbusError::IllegalDataAddress},
        {"126 registers", true, 3000, 126, ModbusError::IllegalDataValue},
        {"no registers", true, 3000, 0, ModbusError::IllegalDataValue},
        {"holding space for an input block", false, 3000, 1, ModbusError::IllegalDataAddress},
        {"the web server of a meter without", false, 11000, 1, ModbusError::IllegalDataAddress},
        {"certified log of an ordinary logger", true, 3900, 15, ModbusError::IllegalDataAddress},
    };
    for (const Read& r : reads)
        EXPECT_EQ((r.input ? m.map.ReadInput(r.address, r.count) : m.map.ReadHolding(r.address, r.count)).error,
                  r.error)
            << r.what;
    EXPECT_EQ(m.map.ReadInput(5, 10).registers.size(), 10u);  // inside a block any part is fine

    // Ratios of a direct-connected meter cannot be set; a meter without a
    // demand logger has no period and no demand records.
    DeviceOptions direct = Device(2, 0);
    Model dm(direct);
    EXPECT_EQ(dm.Write(10000, {5}), ModbusError::IllegalDataAddress);
    EXPECT_EQ(dm.Hold(10000, 1)[0], 1);
    EXPECT_EQ(dm.map.ReadHolding(10400, 1).error, ModbusError::IllegalDataAddress);
    EXPECT_EQ(dm.map.ReadInput(3400, 32).error, ModbusError::IllegalDataAddress);
    EXPECT_EQ(dm.map.ReadInput(3100, 16).error, ModbusError::None);
}

TEST(MeterSimRegisters, FreezeAndResetHappenAtTheirSetDates) {
    Model m(Device());
    ASSERT_EQ(m.Write(10800, {0x000A, 0x0A07, 0x05E8, 0x0700}), ModbusError::None);  // 10:10:00
    ASSERT_EQ(m.Write(10700, {0x0014, 0x0A07, 0x05E8, 0x0700}), ModbusError::None);  // 10:20:00
    const int32_t before = Reg32(m.In(600, 14), 0);
    m.clock.Advance(30 * 60);
    const int32_t now = Reg32(m.In(600, 14), 0);
    const int32_t frozen = Reg32(m.In(1400, 12), 0);
    EXPECT_GT(frozen, before);
    EXPECT_LT(frozen, now);
    const int32_t resettable = Reg32(m.In(2200, 12), 0);
    EXPECT_NEAR(resettable, (now - before) / 3.0, (now - before) / 6.0);  // the last ten of thirty minutes
    const std::vector<uint16_t> times = m.In(500, 11);
    EXPECT_EQ(times[2], 0);  // hours since the reset
    EXPECT_EQ(Decode(times, rcFreezeStamps).DeviceTime, "10:10:00");
    EXPECT_EQ(Decode(times, rcResetStamps).DeviceTime, "10:20:00");
    EXPECT_EQ(Decode(times, rcResetStamps).DeviceDate, "2024-05-07");
    EXPECT_EQ(FromRegisters(m.In(3100, 16))[2], evReset);
}

TEST(MeterSimRegisters, LineChangesAreHandedOverOnce) {
    Model m(Device());
    EXPECT_TRUE(m.map.TakeLineChange().Empty());
    ASSERT_EQ(m.Write(10200, {9}), ModbusError::None);
    ASSERT_EQ(m.Write(10300, {3}), ModbusError::None);
    const LineChange c = m.map.TakeLineChange();
    EXPECT_EQ(c.unitAddress, 9);
    EXPECT_EQ(c.baudCode, 3);
    EXPECT_TRUE(m.map.TakeLineChange().Empty());
    EXPECT_EQ(m.Hold(10200, 1)[0], 9);
    EXPECT_EQ(m.Hold(10300, 1)[0], 3);
}

TEST(MeterSimFaults, ScheduleCountsRequestsAndAnswers) {
    FaultOptions f;
    f.noAnswerEvery = 3;
    f.badCrcEvery = 2;
    f.delayMs = 70;
    f.delayEvery = 3;
    f.dropAfter = 4;
    FaultSchedule s(f);
    std::vector<bool> dropped;
    for (int k = 0; k < 7; ++k) dropped.push_back(s.DropRequest());
    EXPECT_EQ(dropped, (std::vector<bool>{false, false, true, false, false, true, false}));
    std::vector<int> delays;
    std::vector<bool> bad;
    for (int k = 0; k < 6; ++k) {
        const auto a = s.ForAnswer(k != 2);  // the third answer goes over TCP
        delays.push_back(a.delayMs);
        bad.push_back(a.badCrc);
    }
    EXPECT_EQ(delays, (std::vector<int>{0, 0, 70, 0, 0, 70}));
    EXPECT_EQ(bad, (std::vector<bool>{false, true, false, false, true, false}));
    EXPECT_FALSE(s.CloseConnection(3));
    EXPECT_TRUE(s.CloseConnection(4));
    EXPECT_FALSE(FaultSchedule(FaultOptions{}).CloseConnection(1000));
}
