// The measured values and counters of the M-Bus answer: status flags,
// voltages, currents, THD, frequency, power factors, powers, energy counters
// and the date-and-time records.
#include <string>

#include "core/MBusRecords.h"
#include "core/MessageTable.h"
#include "core/ScaledValue.h"
#include "core/ValueText.h"

namespace {

struct TUnit {
    const char* Unit;
    int Decimals;
    double Factor;
};

struct TPowerUnit {
    const char* Active;
    const char* Reactive;
    const char* Apparent;  // carries its own leading blank
    int Decimals;
    double Divisor;
};

struct TEnergyUnit {
    const char* Active;
    const char* Reactive;
    int Decimals;
};

// Unit codes outside these tables give no unit: such a record stores nothing.
const TUnit* VoltageUnit(uint8_t vife)
{
    static constexpr TUnit kUnits[] = {{"V", 1, 1}, {"V", 0, 1}, {"kV", 2, 1000}, {"kV", 1, 1000}};
    return vife >= 0xC8 && vife <= 0xCB ? &kUnits[vife - 0xC8] : nullptr;
}

const TUnit* CurrentUnit(uint8_t vife)
{
    static constexpr TUnit kUnits[] = {{"A", 3, 1}, {"A", 2, 1}, {"A", 1, 1}, {"A", 0, 1}, {"kA", 2, 1000}};
    return vife >= 0xD9 && vife <= 0xDD ? &kUnits[vife - 0xD9] : nullptr;
}

const TPowerUnit* PowerUnit(uint8_t code)
{
    static constexpr TPowerUnit kKilo[] = {{"kW", "kVAr", " kVA", 2, 1000},
                                           {"kW", "kVAr", " kVA", 1, 1000},
                                           {"kW", "kVAr", " kVA", 0, 1000}};
    static constexpr TPowerUnit kWatt = {"W", "VAr", " VA", 0, 1};
    static constexpr TPowerUnit kMega[] = {{"MW", "MVAr", " MVA", 2, 1000000},
                                           {"MW", "MVAr", " MVA", 1, 1000000},
                                           {"MW", "MVAr", " MVA", 0, 1000000}};
    switch (code) {
    case 0xAB: return &kWatt;
    case 0xAC: return &kKilo[0];
    case 0xAD: return &kKilo[1];
    case 0xAE: return &kKilo[2];
    case 0xAF: return &kMega[0];
    case 0xA8: return &kMega[1];
    case 0xA9: return &kMega[2];
    default: return nullptr;
    }
}

// code is the VIF, or 0x100 + the VIFE behind an FB extension.
const TEnergyUnit* EnergyUnit(int code)
{
    static constexpr TEnergyUnit kUnits[] = {{"kWh", "kVArh", 3}, {"kWh", "kVArh", 2}, {"kWh", "kVArh", 1},
                                             {"kWh", "kVArh", 0}, {"MWh", "MVArh", 2}, {"MWh", "MVArh", 1},
                                             {"MWh", "MVArh", 0}};
    if (code >= 0x83 && code <= 0x87) return &kUnits[code - 0x83];
    if (code == 0x180) return &kUnits[5];
    if (code == 0x181) return &kUnits[6];
    return nullptr;
}

std::string Format(ScaledValueSpec spec)
{
    // Our own scratch: the worker never shares one with the UI thread's writes.
    uint8_t raw[4]{};
    return FormatScaledValue(spec, raw);
}

std::string Le16(const TMBusRecordBytes& r, int at, int decimals, const char* unit)
{
    ScaledValueSpec spec;
    spec.WidthCode = swLittleEndian16;
    spec.Bytes[0] = r[at];
    spec.Bytes[1] = r[at + 1];
    spec.DecimalsCode = decimals;
    spec.Unit = unit;
    return Format(spec);
}

std::string* PhaseMember(int phase, std::initializer_list<std::pair<int, std::string*>> members)
{
    for (const auto& [code, member] : members)
        if (code == phase) return member;
    return nullptr;
}

// A value of phases 1 to 3 also as a number in volts or amperes.
void StorePhaseValue(const TMBusRecordBytes& r, const TUnit& u, std::string* text, float* phases)
{
    *text = Le16(r, 5, u.Decimals, u.Unit);
    const int phase = r[4];
    if (phase >= 1 && phase <= 3)
        phases[phase - 1] = static_cast<float>(ParseValueText(Le16(r, 5, u.Decimals, "")) * u.Factor);
}

}  // namespace

void DecodeStatusFlags(const TMBusRecordBytes& r, DecodedValueStore& s)
{
    std::string* voltage[3] = {&s.UStatusL1, &s.UStatusL2, &s.UStatusL3};
    std::string* current[3] = {&s.IStatusL1, &s.IStatusL2, &s.IStatusL3};
    for (int k = 0; k < 3; ++k)
        *voltage[k] = *current[k] = StatusOk;
    s.FreqStatus = s.FreqSyncStatus = StatusOk;
    // Later rows win: over-voltage over under-voltage, HI over LO.
    for (int k = 0; k < 3; ++k) {
        if (r[3] & (1 << k)) *voltage[k] = StatusUnder75;
        if (r[3] & (8 << k)) *current[k] = StatusCurrentLow;
    }
    for (int k = 0; k < 3; ++k) {
        if (r[4] & (1 << k)) *voltage[k] = StatusOver120;
        if (r[4] & (8 << k)) *current[k] = StatusCurrentHigh;
    }
    if (r[5] & 1) s.FreqSyncStatus = StatusNoSync;
    if (r[5] & 2) s.FreqStatus = StatusFreqLow;
    if (r[5] & 4) s.FreqStatus = StatusFreqHigh;
}

void DecodeVoltage(const TMBusRecordBytes& r, DecodedValueStore& s)
{
    const TUnit* u = VoltageUnit(r[2]);
    std::string* member = PhaseMember(
        r[4], {{1, &s.TextU1}, {2, &s.TextU2}, {3, &s.TextU3}, {5, &s.TextU12}, {6, &s.TextU23}, {7, &s.TextU13}});
    if (u && member) StorePhaseValue(r, *u, member, s.PhaseVoltages);
}

void DecodeCurrent(const TMBusRecordBytes& r, DecodedValueStore& s)
{
    const TUnit* u = CurrentUnit(r[2]);
    std::string* member = PhaseMember(r[4], {{1, &s.TextI1}, {2, &s.TextI2}, {3, &s.TextI3}, {4, &s.TextIN}});
    if (u && member) StorePhaseValue(r, *u, member, s.PhaseCurrents);
}

void DecodeThd(const TMBusRecordBytes& r, bool current, DecodedValueStore& s)
{
    std::string* member = current ? PhaseMember(r[4], {{1, &s.TextThdI1}, {2, &s.TextThdI2}, {3, &s.TextThdI3}})
                                  : PhaseMember(r[4], {{1, &s.TextThdU1}, {2, &s.TextThdU2}, {3, &s.TextThdU3}});
    if (!member) return;
    constexpr int kThdLimit = 10000;
    ScaledValueSpec spec;
    spec.WidthCode = swLittleEndian16;
    spec.Bytes[0] = r[5];
    spec.Bytes[1] = r[6];
    spec.DecimalsCode = sdThd;
    spec.Unit = " %";
    spec.DashIfNegative = 1;
    spec.CheckLimit = 1;
    spec.Limit = kThdLimit;
    *member = Format(spec);
}

void DecodeFrequency(const TMBusRecordBytes& r, DecodedValueStore& s) { s.TextFreq = Le16(r, 3, 2, "Hz"); }

void DecodePowerFactor(const TMBusRecordBytes& r, DecodedValueStore& s)
{
    std::string* member =
        PhaseMember(r[4], {{1, &s.TextPF1}, {2, &s.TextPF2}, {3, &s.TextPF3}, {9, &s.TextPFTot}});
    if (member) *member = Le16(r, 5, 3, "");
}

void DecodePower(const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    const int x = r[3] == 0xFB ? 1 : 0;
    const TPowerUnit* u = PowerUnit(r[3 + x]);
    if (!u) return;
    const int phase = r[5 + x];
    const bool reactive = (r[1] & 0x40) != 0;
    std::string* member = reactive
        ? PhaseMember(phase, {{1, &s.TextQ1}, {2, &s.TextQ2}, {3, &s.TextQ3}, {9, &s.TextQTot}})
        : PhaseMember(phase, {{1, &s.TextP1}, {2, &s.TextP2}, {3, &s.TextP3}, {9, &s.TextPTot}});
    if (!member) return;
    *member = Le16(r, 6 + x, u->Decimals, reactive ? u->Reactive : u->Active);
    if (!reactive || phase < 1 || phase > 3) return;

    // Apparent power from the latest voltage and current of the phase.
    const auto apparent = [&](int k) {
        return static_cast<double>(s.PhaseVoltages[k]) * static_cast<double>(s.PhaseCurrents[k]) / u->Divisor;
    };
    const auto text = [&](double value) { return " " + FixedText(value, u->Decimals) + u->Apparent; };
    const bool singlePhase = s.ConnectionCode == ccSinglePhase;
    if (phase == 1) {
        pass.S1 = apparent(0);
        s.TextS1 = text(pass.S1);
        if (singlePhase) s.TextSTot = s.TextS1;
    } else if (!singlePhase && phase == 2) {
        pass.S2 = apparent(1);
        s.TextS2 = text(pass.S2);
    } else if (!singlePhase && phase == 3) {
        const double s3 = apparent(2);
        s.TextS3 = text(s3);
        s.TextSTot = text(pass.S1 + pass.S2 + s3);
    }
}

void DecodeEnergyCounter(const TMBusRecordBytes& r, TMBusDecodePass& pass)
{
    DecodedValueStore& s = pass.Store;
    const int lang = LanguageIndex(pass.Language);
    s.EnergyTypeText = (r[2] & 0x40) ? TxtAddressSecondary[lang] : TxtAddressPrimary[lang];

    const bool extended = r[4] == 0xFB;
    const TEnergyUnit* u = EnergyUnit(extended ? 0x100 + r[5] : r[4]);
    const int tariff = ((r[2] & 0x30) >> 2) + ((r[1] & 0x30) >> 4);
    if (!u || tariff > 8) return;
    const bool reactive = (r[1] & 0x40) != 0;
    const bool out = (r[3] & 0x40) != 0;
    const int column = (reactive ? 2 : 0) + (out ? 0 : 1);

    ScaledValueSpec spec;
    spec.WidthCode = swLittleEndian32;
    const int at = extended ? 8 : 7;
    for (int k = 0; k < 4; ++k)
        spec.Bytes[k] = r[at + k];
    spec.DecimalsCode = u->Decimals;
    spec.Unit = reactive ? u->Reactive : u->Active;
    std::string& member = tariff == 0 ? s.CounterTotals[column] : s.CounterTariffs[tariff - 1][column];
    member = Format(spec);
}

void DecodeDateTime(const TMBusRecordBytes& r, uint8_t code, DecodedValueStore& s)
{
    const int x = code == rcDeviceDateTime ? 0 : 1;
    const std::string second = Pad2(r[2 + x] & 0x3Fu);
    const std::string minute = Pad2(r[3 + x] & 0x3Fu);
    const std::string hour = Pad2(r[4 + x] & 0x1Fu);
    const std::string day = Pad2(r[5 + x] & 0x1Fu);
    const std::string month = Pad2(r[6 + x] & 0x0Fu);
    std::string year = Pad2((r[5 + x] >> 5) + ((r[6 + x] >> 1) & 0x78u));
    if (year == "00")
        year = "0000";
    else
        year.insert(0, year.size() == 2 ? "20" : "2");

    const std::string date = year + "-" + month + "-" + day;
    const std::string time = hour + ":" + minute + ":" + second;
    if (code == rcFreezeTimeSetting || code == rcResetTimeSetting) {
        s.FreezeResetDate = date;
        s.FreezeResetTime = time;
        return;
    }
    s.DeviceDate = date;
    s.DeviceTime = time;
    if (code == rcDeviceDateTime) s.DeviceTimeDateText = date + "  " + hour + ":" + minute;
}
