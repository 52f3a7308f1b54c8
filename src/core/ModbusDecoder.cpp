#include "core/ModbusDecoder.h"

#include <algorithm>
#include <string>

#include "core/MessageTable.h"
#include "core/ScaledValue.h"
#include "core/ToolCodes.h"
#include "core/ValueText.h"

namespace {

constexpr int kRxCapacity = static_cast<int>(sizeof(FrameBuffers::RxBuffer));
constexpr int kTcpDataStart = 9;
constexpr int kRtuDataStart = 3;
constexpr int kRtuCrcSize = 2;
constexpr uint8_t kReadHolding = 3;
constexpr uint8_t kReadInput = 4;
constexpr uint8_t kReadHoldingException = 0x83;
constexpr int kMaxIntervalRecords = 168000;
constexpr const char* kTariffByHardware = "HW";

// THD: one decimal, "%", above 10000 is over the limit, negative means none.
constexpr int kThdLimit = 10000;

// The working values of a group, set from its unit register. A unit code
// outside its table gives no unit, no decimals and scale 1.
struct GroupUnit {
    int Decimals = 0;
    const char* Unit = "";
    double Scale = 1;
};

struct PowerUnit {
    int Decimals = 0;
    const char* P = "";
    const char* Q = "";
    const char* S = " ";  // the S unit carries its own leading blank
    double Scale = 1;
};

struct EnergyUnit {
    int Decimals = 0;
    const char* P = "";
    const char* Q = "";
};

GroupUnit VoltageUnit(uint16_t code)
{
    switch (code) {
    case 0xFFFF: return {1, "V", 1};
    case 0: return {0, "V", 1};
    case 1: return {2, "kV", 1000};
    case 2: return {1, "kV", 1000};
    default: return {};
    }
}

GroupUnit CurrentUnit(uint16_t code)
{
    switch (code) {
    case 0xFFFD: return {3, "A", 1};
    case 0xFFFE: return {2, "A", 1};
    case 0xFFFF: return {1, "A", 1};
    case 0: return {0, "A", 1};
    case 1: return {2, "kA", 1000};
    default: return {};
    }
}

PowerUnit PowerUnitOf(uint16_t code)
{
    switch (code) {
    case 0: return {0, "W", "VAr", " VA", 1};
    case 1: return {2, "kW", "kVAr", " kVA", 1000};
    case 2: return {1, "kW", "kVAr", " kVA", 1000};
    case 3: return {0, "kW", "kVAr", " kVA", 1000};
    case 4: return {2, "MW", "MVAr", " MVA", 1000000};
    case 5: return {1, "MW", "MVAr", " MVA", 1000000};
    case 6: return {0, "MW", "MVAr", " MVA", 1000000};
    default: return {};
    }
}

EnergyUnit EnergyUnitOf(uint16_t code)
{
    switch (code) {
    case 0: return {3, "kWh", "kVArh"};
    case 1: return {2, "kWh", "kVArh"};
    case 2: return {1, "kWh", "kVArh"};
    case 3: return {0, "kWh", "kVArh"};
    case 4: return {2, "MWh", "MVArh"};
    case 5: return {1, "MWh", "MVArh"};
    case 6: return {0, "MWh", "MVArh"};
    default: return {};
    }
}

// The data bytes of one answer; every read is within Size, checked up front by
// the caller against the bytes its group needs.
class Registers {
public:
    Registers(const uint8_t* data, int size) : data_(data), size_(size) {}
    bool Has(int bytes) const { return data_ != nullptr && size_ >= bytes; }
    uint8_t Byte(int k) const { return data_[k]; }
    uint16_t Reg(int r) const { return static_cast<uint16_t>((data_[2 * r] << 8) | data_[2 * r + 1]); }
    int16_t SignedReg(int r) const { return static_cast<int16_t>(Reg(r)); }
    // Two registers, high register first.
    int32_t Signed32(int r) const
    {
        return static_cast<int32_t>((static_cast<uint32_t>(Reg(r)) << 16) | Reg(r + 1));
    }
    uint8_t Low(int r) const { return data_[2 * r + 1]; }

private:
    const uint8_t* data_;
    int size_;
};

class Formatter {
public:
    explicit Formatter(const Registers& regs) : regs_(regs) {}

    std::string Reg16(int r, int decimals, const char* unit) const
    {
        ScaledValueSpec spec;
        spec.WidthCode = swBigEndian16;
        spec.Bytes[0] = static_cast<uint8_t>(regs_.Reg(r) >> 8);
        spec.Bytes[1] = static_cast<uint8_t>(regs_.Reg(r) & 0xFF);
        spec.DecimalsCode = decimals;
        spec.Unit = unit;
        return Format(spec);
    }

    std::string Thd(int r) const
    {
        ScaledValueSpec spec;
        spec.DashIfNegative = 1;
        spec.WidthCode = swBigEndian16;
        spec.Bytes[0] = static_cast<uint8_t>(regs_.Reg(r) >> 8);
        spec.Bytes[1] = static_cast<uint8_t>(regs_.Reg(r) & 0xFF);
        spec.DecimalsCode = sdThd;
        spec.Unit = "%";
        spec.CheckLimit = 1;
        spec.Limit = kThdLimit;
        return Format(spec);
    }

    std::string Reg32(int r, int decimals, const char* unit) const
    {
        const uint32_t value = static_cast<uint32_t>(regs_.Signed32(r));
        ScaledValueSpec spec;
        spec.WidthCode = swLittleEndian32;
        for (int i = 0; i < 4; ++i)
            spec.Bytes[i] = static_cast<uint8_t>(value >> (8 * i));
        spec.DecimalsCode = decimals;
        spec.Unit = unit;
        return Format(spec);
    }

    // The base firmware version: bytes 25 (low) and 26 (high) in the version form.
    std::string Version(int lowByte) const
    {
        ScaledValueSpec spec;
        spec.WidthCode = swBigEndian16;
        spec.Bytes[0] = regs_.Byte(lowByte + 1);
        spec.Bytes[1] = regs_.Byte(lowByte);
        spec.DecimalsCode = sdVersion;
        return Format(spec);
    }

    static std::string Text(const std::string& number, int decimals, const char* unit)
    {
        ScaledValueSpec spec;
        spec.WidthCode = swText;
        spec.Text = number;
        spec.DecimalsCode = decimals;
        spec.Unit = unit;
        return Format(spec);
    }

private:
    static std::string Format(const ScaledValueSpec& spec)
    {
        // The decoder's own scratch: the worker must not share one with the UI
        // thread's setting writes.
        uint8_t raw[4]{};
        return FormatScaledValue(spec, raw);
    }

    const Registers& regs_;
};

// ---- the groups ----

void DecodeVoltages(const Registers& regs, DecodedValueStore& s)
{
    const Formatter f(regs);
    const GroupUnit u = VoltageUnit(regs.Reg(12));
    s.TextU12 = f.Reg16(0, u.Decimals, u.Unit);
    s.TextU23 = f.Reg16(1, u.Decimals, u.Unit);
    s.TextU13 = f.Reg16(2, u.Decimals, u.Unit);
    std::string* phase[3] = {&s.TextU1, &s.TextU2, &s.TextU3};
    for (int k = 0; k < 3; ++k) {
        *phase[k] = f.Reg16(4 + k, u.Decimals, u.Unit);
        s.PhaseVoltages[k] = static_cast<float>(ParseValueText(f.Reg16(4 + k, u.Decimals, "")) * u.Scale);
    }
    s.TextThdU1 = f.Thd(8);
    s.TextThdU2 = f.Thd(9);
    s.TextThdU3 = f.Thd(10);
    s.TextFreq = f.Reg16(11, 2, "Hz");

    std::string* voltage[3] = {&s.UStatusL1, &s.UStatusL2, &s.UStatusL3};
    std::string* current[3] = {&s.IStatusL1, &s.IStatusL2, &s.IStatusL3};
    for (int k = 0; k < 3; ++k)
        *voltage[k] = *current[k] = StatusOk;
    s.FreqStatus = s.FreqSyncStatus = StatusOk;
    const uint8_t low = regs.Low(13);
    const uint8_t high = static_cast<uint8_t>(regs.Reg(13) >> 8);
    // The high flags come second so that they win for the same phase.
    for (int k = 0; k < 3; ++k) {
        if (low & (1 << k)) *voltage[k] = StatusUnder75;
        if (low & (8 << k)) *current[k] = StatusCurrentLow;
    }
    for (int k = 0; k < 3; ++k) {
        if (high & (1 << k)) *voltage[k] = StatusOver120;
        if (high & (8 << k)) *current[k] = StatusCurrentHigh;
    }
    const uint8_t freq = regs.Low(14);
    if (freq & 1) s.FreqSyncStatus = StatusNoSync;
    if (freq & 2) s.FreqStatus = StatusFreqLow;
    if (freq & 4) s.FreqStatus = StatusFreqHigh;
}

void DecodeCurrents(const Registers& regs, DecodedValueStore& s)
{
    const Formatter f(regs);
    const GroupUnit u = CurrentUnit(regs.Reg(8));
    std::string* phase[3] = {&s.TextI1, &s.TextI2, &s.TextI3};
    for (int k = 0; k < 3; ++k) {
        *phase[k] = f.Reg16(k, u.Decimals, u.Unit);
        s.PhaseCurrents[k] = static_cast<float>(ParseValueText(f.Reg16(k, u.Decimals, "")) * u.Scale);
    }
    s.TextIN = f.Reg16(4, u.Decimals, u.Unit);
    s.TextThdI1 = f.Thd(5);
    s.TextThdI2 = f.Thd(6);
    s.TextThdI3 = f.Thd(7);
}

void DecodePowers(const Registers& regs, DecodedValueStore& s)
{
    const Formatter f(regs);
    const PowerUnit u = PowerUnitOf(regs.Reg(12));
    std::string* p[4] = {&s.TextP1, &s.TextP2, &s.TextP3, &s.TextPTot};
    std::string* q[4] = {&s.TextQ1, &s.TextQ2, &s.TextQ3, &s.TextQTot};
    std::string* pf[4] = {&s.TextPF1, &s.TextPF2, &s.TextPF3, &s.TextPFTot};
    for (int k = 0; k < 4; ++k) {
        *p[k] = f.Reg16(k, u.Decimals, u.P);
        *q[k] = f.Reg16(4 + k, u.Decimals, u.Q);
        *pf[k] = f.Reg16(8 + k, 3, "");
    }

    // Apparent power from the last voltages and currents read.
    auto apparent = [&](int k) {
        return static_cast<double>(s.PhaseVoltages[k]) * static_cast<double>(s.PhaseCurrents[k]) / u.Scale;
    };
    auto text = [&](double value) { return " " + FixedText(value, u.Decimals) + u.S; };
    const double s1 = apparent(0);
    s.TextS1 = text(s1);
    if (s.ConnectionCode == ccSinglePhase) {
        s.TextSTot = s.TextS1;
        return;
    }
    const double s2 = apparent(1);
    const double s3 = apparent(2);
    s.TextS2 = text(s2);
    s.TextS3 = text(s3);
    s.TextSTot = text(s1 + s2 + s3);
}

void DecodeCounterRow(const Registers& regs, int language, std::string (&row)[4], DecodedValueStore& s)
{
    const Formatter f(regs);
    const EnergyUnit u = EnergyUnitOf(regs.Reg(10));
    row[1] = f.Reg32(0, u.Decimals, u.P);
    row[0] = f.Reg32(2, u.Decimals, u.P);
    row[3] = f.Reg32(4, u.Decimals, u.Q);
    row[2] = f.Reg32(6, u.Decimals, u.Q);
    const uint16_t type = regs.Reg(11);
    if (type == 0)
        s.EnergyTypeText = TxtAddressSecondary[LanguageIndex(language)];
    else if (type == 1)
        s.EnergyTypeText = TxtAddressPrimary[LanguageIndex(language)];
}

void DecodeDeviceInfo(const Registers& regs, char transportCode, int language, DecodedValueStore& s,
                      uint8_t& manufacturerIndex)
{
    const uint8_t type = regs.Byte(0);
    const uint8_t d = regs.Byte(1), m = regs.Byte(3), p = regs.Byte(4), q = regs.Byte(5);
    const uint8_t u = regs.Byte(6), v = regs.Byte(7), w = regs.Byte(8), z = regs.Byte(9);
    const bool knownType = type < 6;

    // A type outside the name tables is shown as "no value" and measured as
    // three-phase four-wire, which shows every phase.
    auto typeName = [&](const DeviceTypeNames& names) -> std::string {
        return knownType ? names[type] : TxtNoValue[LanguageIndex(language)];
    };
    if (d >= 2) {
        manufacturerIndex = 2;
        s.DeviceTypeText = " " + typeName(TxtDeviceTypesBrand2);
        if (transportCode == tcModbusRtu)
            s.DeviceTypeText += " MODBUS";
        else if (transportCode == tcModbusTcp)
            s.DeviceTypeText += " TCP/IP";
    } else {
        manufacturerIndex = 1;
        s.DeviceTypeText = " " + typeName(TxtDeviceTypesBrand1);
    }

    static constexpr int kConnection[6] = {ccSinglePhase,  ccThreePhase3Wire, ccThreePhase4Wire,
                                           ccSinglePhase,  ccThreePhase3Wire, ccThreePhase4Wire};
    s.ConnectionCode = knownType ? kConnection[type] : ccThreePhase4Wire;

    auto digit = [](const char* letter, uint8_t value) { return letter + std::to_string(value); };
    const std::string head = " " + digit("D", d) + digit("M", m) + digit("P", p);
    const std::string tail = digit("U", u) + digit("V", v) + digit("W", w) + digit("Z", z);
    if (type != 0 && type != 2) {
        s.HasTransformerRatios = 1;
        s.DeviceOptionsText = head + digit("Q", q) + tail;
        s.TransformerRatiosSettable = (q == 0 || q == 9) ? 0 : 1;
        s.TransformerCode = q;
    } else {
        s.HasTransformerRatios = 0;
        s.DeviceOptionsText = head + tail;
        s.TransformerRatiosSettable = 0;
    }
    s.HasDemandLogger = z != 0 ? 1 : 0;
    s.DeviceVariant = z;
    s.HasReactiveEnergy = m >= 2 ? 1 : 0;

    std::string serial = " ";
    for (int k = 11; k <= 12; ++k)
        if (regs.Byte(k) >= 42)
            AppendLatin1(serial, regs.Byte(k));
    for (int k = 13; k <= 17; ++k) {
        AppendLatin1(serial, static_cast<uint8_t>('0' + (regs.Byte(k) >> 4)));
        AppendLatin1(serial, static_cast<uint8_t>('0' + (regs.Byte(k) & 0x0F)));
    }
    s.SerialNumberText = serial;

    s.BaseFirmwareText = ", Base FW:" + Formatter(regs).Version(25);

    // The field is padded with NUL bytes; the name ends at the first one.
    std::string name;
    for (int k = 32; k <= 63 && regs.Byte(k) != 0; ++k)
        AppendLatin1(name, regs.Byte(k));
    s.ProductNameText = name;
}

struct DateTimeFields {
    unsigned Seconds, Minutes, Hours, Day, Month, Year;
};

DateTimeFields ReadDateTime(const Registers& regs, int at)
{
    return {regs.Byte(at), regs.Byte(at + 1), regs.Byte(at + 2), regs.Byte(at + 3), regs.Byte(at + 4),
            static_cast<unsigned>(regs.Byte(at + 5) | (regs.Byte(at + 6) << 8))};
}

std::string TimeText(const DateTimeFields& t) { return Pad2(t.Hours) + ":" + Pad2(t.Minutes) + ":" + Pad2(t.Seconds); }

std::string DateText(const DateTimeFields& t, bool zeroYearAsFourDigits)
{
    const std::string year = (t.Year == 0 && zeroYearAsFourDigits) ? "0000" : std::to_string(t.Year);
    return year + "-" + Pad2(t.Month) + "-" + Pad2(t.Day);
}

void DecodeTimeSetting(const Registers& regs, DecodedValueStore& s)
{
    const DateTimeFields t = ReadDateTime(regs, 0);
    if ((t.Year >= 1 && t.Year <= 1999) || t.Year > 2050) {
        s.FreezeResetTime = PlaceholderTime;
        s.FreezeResetDate = PlaceholderDate;
    } else {
        s.FreezeResetTime = TimeText(t);
        s.FreezeResetDate = DateText(t, true);
    }
}

void DecodeResetStamp(const Registers& regs, DecodedValueStore& s)
{
    const DateTimeFields t = ReadDateTime(regs, 14);
    s.DeviceTime = TimeText(t);
    s.DeviceDate = DateText(t, true);
    // Kept as the meter program has always done it: the reset setting's texts
    // show the placeholders too. The counter job reads that setting right after,
    // so what the user sees comes from the setting itself.
    if (t.Year < 2000 || t.Year > 2050) {
        s.FreezeResetTime = PlaceholderTime;
        s.FreezeResetDate = PlaceholderDate;
    }
}

void DecodeInterfaceVersion(const Registers& regs, DecodedValueStore& s)
{
    std::string text = "Interface HW:";
    AppendLatin1(text, static_cast<uint8_t>('0' + regs.Byte(0)));
    text += ".";
    AppendLatin1(text, static_cast<uint8_t>('0' + regs.Byte(1)));
    text += ",FW:" + std::to_string(regs.Byte(2)) + "." + Pad2(regs.Byte(3));
    s.FirmwareText = text;
}

void DecodeDemandInterval(const Registers& regs, int language, DecodedValueStore& s, std::atomic<int>& recordCount)
{
    constexpr int kLast = 17;  // registers per record
    const int lang = LanguageIndex(language);
    if (regs.Low(1) == 0) {
        s.EPoutIntervalText = TxtEPoutNoData[lang];
        s.EPinIntervalText = TxtEPinNoData[lang];
        s.IntervalDateFrom.clear();
        recordCount = 0;
        return;
    }
    const EnergyUnit u = EnergyUnitOf(regs.Reg(15));
    const int64_t epInDelta = int64_t{regs.Signed32(kLast + 9)} - regs.Signed32(9);
    const int64_t epOutDelta = int64_t{regs.Signed32(kLast + 12)} - regs.Signed32(12);
    s.EPoutIntervalText = "E(P)out: " + Formatter::Text(std::to_string(epOutDelta), u.Decimals, u.P);
    s.EPinIntervalText = "E(P)in: " + Formatter::Text(std::to_string(epInDelta), u.Decimals, u.P);

    auto date = [&](int base) {
        return std::to_string(regs.Reg(base + 4)) + "-" + Pad2(regs.Reg(base + 5)) + "-" + Pad2(regs.Reg(base + 6));
    };
    auto time = [&](int base) { return Pad2(regs.Reg(base + 7)) + ":" + Pad2(regs.Reg(base + 8)); };
    s.IntervalDateFrom = date(0);
    s.IntervalTimeFrom = time(0);
    s.IntervalDateTill = date(kLast);
    s.IntervalTimeTill = time(kLast);

    // Record numbers come from the meter: a count that is negative or beyond the
    // demand store is cut to what the logger read can hold.
    const int64_t count = int64_t{regs.Signed32(kLast + 2)} - regs.Signed32(2) + 1;
    recordCount = static_cast<int>(std::clamp<int64_t>(count, 0, kMaxIntervalRecords));
}

void DecodeWebserverFlags(const TModbusAnswerData& answer, DecodedValueStore& s)
{
    if (answer.Function == kReadHoldingException) {
        s.WebserverPresent = 0;
        return;
    }
    const Registers regs(answer.Data, answer.Size);
    if (answer.Function != kReadHolding || !regs.Has(2))
        return;
    s.WebserverPresent = 1;
    if (regs.Low(0) == 0)
        s.WebserverEnabled = 0;
    else if (regs.Low(0) == 1)
        s.WebserverEnabled = 1;
}

// The data bytes each group reads: one past the last byte it looks at.
int BytesNeeded(TRecordCode code)
{
    switch (code) {
    case rcVoltages: return 15 * 2;
    case rcCurrents: return 9 * 2;
    case rcPowers: return 13 * 2;
    case rcTariffInfo:
    case rcCtRatio:
    case rcVtRatio:
    case rcDemandPeriod:
    case rcActualTariff: return 2;
    case rcTotalCounters:
    case rcTariff1Counters:
    case rcTariff2Counters:
    case rcTariff3Counters:
    case rcTariff4Counters:
    case rcTariff5Counters:
    case rcTariff6Counters:
    case rcTariff7Counters:
    case rcTariff8Counters: return 12 * 2;
    case rcDeviceInfo: return 64;
    case rcDeviceDateTime:
    case rcFreezeTimeSetting:
    case rcResetTimeSetting: return 7;
    case rcFreezeStamps: return 13;
    case rcResetStamps: return 21;
    case rcOperatingTimes: return 3 * 2;
    case rcInterfaceVersion: return 4;
    case rcDemandInterval: return 2 * 17 * 2;
    default: return -1;  // no layout
    }
}

}  // namespace

TModbusAnswerData ModbusAnswerData(const uint8_t* rx, int count, char transportCode)
{
    TModbusAnswerData answer;
    if (rx == nullptr)
        return answer;
    count = std::clamp(count, 0, kRxCapacity);
    if (transportCode == tcModbusTcp) {
        if (count < kTcpDataStart - 1)
            return answer;
        answer.Function = rx[kTcpDataStart - 2];
        if (count < kTcpDataStart)
            return answer;
        // The header's length counts unit id, function, byte count and data.
        const int headerData = ((rx[4] << 8) | rx[5]) - 3;
        answer.Data = rx + kTcpDataStart;
        answer.Size = std::max(0, std::min({int{rx[kTcpDataStart - 1]}, count - kTcpDataStart, headerData}));
    } else {
        if (count < kRtuDataStart - 1)
            return answer;
        answer.Function = rx[kRtuDataStart - 2];
        if (count < kRtuDataStart)
            return answer;
        answer.Data = rx + kRtuDataStart;
        answer.Size = std::max(0, std::min(int{rx[kRtuDataStart - 1]}, count - kRtuDataStart - kRtuCrcSize));
    }
    return answer;
}

void DecodeModbusAnswer(const FrameBuffers& frames, char transportCode, TRecordCode code, int language,
                        DecodedValueStore& store, uint8_t& manufacturerIndex,
                        std::atomic<int>& intervalRecordCount)
{
    const TModbusAnswerData answer = ModbusAnswerData(frames.RxBuffer, frames.RxCount, transportCode);
    if (code == rcWebserverFlags) {
        DecodeWebserverFlags(answer, store);
        return;
    }
    const int needed = BytesNeeded(code);
    const Registers regs(answer.Data, answer.Size);
    if (needed < 0 || (answer.Function != kReadHolding && answer.Function != kReadInput) || !regs.Has(needed))
        return;

    switch (code) {
    case rcVoltages:
        DecodeVoltages(regs, store);
        break;
    case rcCurrents:
        DecodeCurrents(regs, store);
        break;
    case rcPowers:
        DecodePowers(regs, store);
        break;
    case rcTariffInfo:
        store.TariffHwText = regs.Low(0) == 0 ? kTariffByHardware : "";
        break;
    case rcTotalCounters:
        DecodeCounterRow(regs, language, store.CounterTotals, store);
        break;
    case rcTariff1Counters:
    case rcTariff2Counters:
    case rcTariff3Counters:
    case rcTariff4Counters:
    case rcTariff5Counters:
    case rcTariff6Counters:
    case rcTariff7Counters:
    case rcTariff8Counters:
        DecodeCounterRow(regs, language, store.CounterTariffs[code - rcTariff1Counters], store);
        break;
    case rcCtRatio:
        store.CtRatioText = std::to_string(regs.Reg(0));
        break;
    case rcVtRatio:
        store.VtRatioText = std::to_string(regs.SignedReg(0));
        break;
    case rcDemandPeriod:
        store.DemandPeriodText = " " + std::to_string(regs.Reg(0)) + TxtUnitMinute[LanguageIndex(language)];
        break;
    case rcDeviceInfo:
        DecodeDeviceInfo(regs, transportCode, language, store, manufacturerIndex);
        break;
    case rcDeviceDateTime: {
        const DateTimeFields t = ReadDateTime(regs, 0);
        store.DeviceTime = TimeText(t);
        store.DeviceDate = DateText(t, false);
        store.DeviceTimeDateText = store.DeviceDate + "  " + Pad2(t.Hours) + ":" + Pad2(t.Minutes);
        break;
    }
    case rcFreezeStamps: {
        const DateTimeFields t = ReadDateTime(regs, 6);
        store.DeviceTime = TimeText(t);
        store.DeviceDate = DateText(t, false);
        break;
    }
    case rcResetStamps:
        DecodeResetStamp(regs, store);
        break;
    case rcFreezeTimeSetting:
    case rcResetTimeSetting:
        DecodeTimeSetting(regs, store);
        break;
    case rcOperatingTimes:
        store.TotalOperatingTimeText = std::to_string(regs.Signed32(0));
        store.OperatingTimeSinceResetText = std::to_string(regs.Reg(2));
        break;
    case rcInterfaceVersion:
        DecodeInterfaceVersion(regs, store);
        break;
    case rcActualTariff:
        store.ActualTariffText = " " + std::to_string(regs.Low(0));
        break;
    case rcDemandInterval:
        DecodeDemandInterval(regs, language, store, intervalRecordCount);
        break;
    default:
        break;
    }
}
