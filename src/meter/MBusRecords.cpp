#include "meter/MBusRecords.h"

#include <algorithm>
#include <cmath>

#include "meter/MeterScaling.h"

namespace meter {

namespace {

enum Storage : uint8_t { stMain = 0, stResettable = 1, stFreeze = 2 };

void Append16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Append32(Bytes& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
}

// Index of a resolution in the decade table starting at `first`.
int Decade(double resolution, double first) {
    return static_cast<int>(std::lround(std::log10(resolution / first)));
}

// 02 FD <unit> FF <phase> value: a voltage or current of one phase.
Bytes PhaseValue(uint8_t vif, uint8_t vife, uint8_t phase, uint16_t raw) {
    Bytes b{0x02, vif, vife, 0xFF, phase};
    Append16(b, raw);
    return b;
}

// 82 <DIFE> 00 <power code> FF <phase> value; the DIFE's bit 6 marks reactive power.
Bytes PowerRecord(bool reactive, const Bytes& code, uint8_t phase, uint16_t raw) {
    Bytes b{0x82, static_cast<uint8_t>(reactive ? 0xC0 : 0x80), 0x00};
    b.insert(b.end(), code.begin(), code.end());
    b.push_back(0xFF);
    b.push_back(phase);
    Append16(b, raw);
    return b;
}

// 84 with three DIFEs: storage and the tariff's low bits with reactive in bit
// 6, the tariff's high bits (bit 6 clear: primary values), direction in bit 6.
Bytes EnergyRecord(Storage storage, int tariff, bool reactive, bool out, const Bytes& code, uint8_t field,
                   int32_t raw) {
    Bytes b{0x84,
            static_cast<uint8_t>(0x80 | (reactive ? 0x40 : 0) | ((tariff & 3) << 4) | storage),
            static_cast<uint8_t>(0x80 | ((tariff >> 2) & 3) << 4),
            static_cast<uint8_t>(out ? 0x40 : 0x00)};
    b.insert(b.end(), code.begin(), code.end());
    b.push_back(0xFF);
    b.push_back(field);
    Append32(b, static_cast<uint32_t>(raw));
    return b;
}

// The in and out records of one energy kind of one counter set.
std::vector<Bytes> EnergyPair(Storage storage, int tariff, bool reactive, const EnergySet& e, const UnitChoice& unit,
                              int field) {
    const Bytes code = MBusEnergyCode(unit.resolution);
    const auto f = static_cast<uint8_t>(field);
    const double in = reactive ? e.qIn : e.pIn;
    const double out = reactive ? e.qOut : e.pOut;
    return {EnergyRecord(storage, tariff, reactive, false, code, f, Raw32(in, unit.resolution)),
            EnergyRecord(storage, tariff, reactive, true, code, f, Raw32(out, unit.resolution))};
}

Bytes ManufacturerRecord(uint8_t vife, std::initializer_list<uint8_t> data) {
    const uint8_t dif = data.size() == 1 ? 0x01 : data.size() == 2 ? 0x02 : data.size() == 4 ? 0x04 : 0x06;
    Bytes b{dif, 0xFF, vife};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Word(uint8_t vife, uint16_t v) { return ManufacturerRecord(vife, {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)}); }

Bytes DateRecord(uint8_t vife, const Bytes& six) {
    Bytes b{0x06, 0xFF, vife};
    b.insert(b.end(), six.begin(), six.end());
    return b;
}

Bytes StampBytes(const std::optional<CivilTime>& t) {
    return t ? MBusDateTime(t->year, t->month, t->day, t->hour, t->minute, t->second) : Bytes(6, 0);
}

}  // namespace

PsFieldMask AllPsFields() {
    PsFieldMask m{};
    for (int f = 1; f <= PsFieldCount; ++f) m[static_cast<size_t>((f - 1) / 8)] |= static_cast<uint8_t>(1u << ((f - 1) % 8));
    return m;
}

bool PsFieldSelected(const PsFieldMask& mask, int field) {
    if (field < 1 || field > PsFieldCount) return false;
    return (mask[static_cast<size_t>((field - 1) / 8)] >> ((field - 1) % 8)) & 1;
}

uint8_t MBusVoltageCode(double resolution) { return static_cast<uint8_t>(0xC8 + std::clamp(Decade(resolution, 0.1), 0, 3)); }

uint8_t MBusCurrentCode(double resolution) { return static_cast<uint8_t>(0xD9 + std::clamp(Decade(resolution, 0.001), 0, 4)); }

Bytes MBusPowerCode(double resolution) {
    const int d = std::clamp(Decade(resolution, 1), 0, 6);
    if (d <= 4) return {static_cast<uint8_t>(0xAB + d)};
    return {0xFB, static_cast<uint8_t>(0xA8 + d - 5)};
}

Bytes MBusEnergyCode(double resolution) {
    const int d = std::clamp(Decade(resolution, 1), 0, 6);
    if (d <= 4) return {static_cast<uint8_t>(0x83 + d)};
    return {0xFB, static_cast<uint8_t>(0x80 + d - 5)};
}

Bytes MBusDateTime(int year, int month, int day, int hour, int minute, int second) {
    const int yy = ((year % 100) + 100) % 100;
    return {static_cast<uint8_t>(second), static_cast<uint8_t>(minute), static_cast<uint8_t>(hour),
            static_cast<uint8_t>(day + ((yy & 7) << 5)), static_cast<uint8_t>(month + ((yy & 0x78) << 1)), 0};
}

Bytes MBusDateSetting(const DateSetting& s) {
    return MBusDateTime(s[5] | s[6] << 8, s[4], s[3], s[2], s[1], s[0]);
}

DateSetting DateSettingFromMBus(const uint8_t* six) {
    const int year = 2000 + ((six[3] >> 5) | ((six[4] >> 1) & 0x78));
    return {six[0], six[1], six[2], static_cast<uint8_t>(six[3] & 0x1F), static_cast<uint8_t>(six[4] & 0x0F),
            static_cast<uint8_t>(year & 0xFF), static_cast<uint8_t>(year >> 8), 0};
}

std::vector<Bytes> MBusFieldRecords(const SimMeter& meter, const Measurements& m, int field) {
    const MeterUnits u = UnitsOf(meter);
    const DeviceOptions& d = meter.Options();
    std::vector<Bytes> out;
    const auto phases = [&](auto&& each) {
        for (uint8_t ph = 1; ph <= 3; ++ph) out.push_back(each(ph, static_cast<size_t>(ph - 1)));
    };
    if ((field >= 19 && field <= 34) || (field >= 37 && field <= 68)) {
        // Tariff counters, per tariff an active field and a reactive field:
        // main counters from 19, resettable from 37, freeze from 53.
        const int set = field < 37 ? 0 : field < 53 ? 1 : 2;
        const int k = field - (set == 0 ? 19 : set == 1 ? 37 : 53);
        const int tariff = k / 2 + 1;
        const bool reactive = k % 2 == 1;
        const auto t = static_cast<size_t>(tariff - 1);
        const EnergySet e = set == 0 ? meter.MainCounters()[t]
                            : set == 1 ? meter.ResettableCounters()[t]
                                       : meter.FreezeCounters()[t];
        const Storage st = set == 0 ? stMain : set == 1 ? stResettable : stFreeze;
        return EnergyPair(st, tariff, reactive, e, u.energy, field);
    }
    switch (field) {
    case 1: {
        const LimitFlags f = LimitFlagsOf(meter, m);
        out.push_back({0x04, 0xFD, 0x17, f.low, f.high, f.frequency, 0x00});
        break;
    }
    case 2: {
        phases([&](uint8_t ph, size_t k) {
            return PhaseValue(0xFD, MBusVoltageCode(u.voltage.resolution), ph, Raw16(m.uLN[k], u.voltage.resolution));
        });
        break;
    }
    case 3: {
        phases([&](uint8_t ph, size_t k) {
            return PhaseValue(0xFD, MBusVoltageCode(u.voltage.resolution), static_cast<uint8_t>(ph + 4),
                              Raw16(m.uLL[k], u.voltage.resolution));
        });
        break;
    }
    case 4:
    case 6: {
        phases([&](uint8_t ph, size_t k) {
            return PhaseValue(0xFF, field == 4 ? 0x90 : 0x91, ph, Raw16(field == 4 ? m.thdU[k] : m.thdI[k], 0.1));
        });
        break;
    }
    case 5: {
        const uint8_t code = MBusCurrentCode(u.current.resolution);
        phases([&](uint8_t ph, size_t k) { return PhaseValue(0xFD, code, ph, Raw16(m.i[k], u.current.resolution)); });
        out.push_back(PhaseValue(0xFD, code, 4, Raw16(m.iN, u.current.resolution)));
        break;
    }
    case 7:
        out.push_back(Word(0x12, Raw16(m.frequency, 0.01)));
        break;
    case 8:
    case 9: {
        const bool reactive = field == 9;
        out.push_back(PowerRecord(reactive, MBusPowerCode(u.power.resolution), 9,
                                  Raw16(reactive ? m.qTotal : m.pTotal, u.power.resolution)));
        break;
    }
    case 10: {
        phases([&](uint8_t ph, size_t k) { return PhaseValue(0xFF, 0x93, ph, Raw16(m.pf[k], 0.001)); });
        out.push_back(PhaseValue(0xFF, 0x93, 9, Raw16(m.pfTotal, 0.001)));
        break;
    }
    case 12:
        if (d.HasDemandLogger()) out.push_back(ManufacturerRecord(0x1A, {static_cast<uint8_t>(meter.DemandPeriod())}));
        break;
    case 13: {
        const CivilTime t = meter.NowCivil();
        Bytes b{0x06, 0x6D};
        const Bytes six = MBusDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
        b.insert(b.end(), six.begin(), six.end());
        out.push_back(b);
        break;
    }
    case 14:
    case 15:
        return EnergyPair(stMain, 0, field == 15, meter.MainTotal(), u.energy, field);
    case 16:
        out.push_back(ManufacturerRecord(0x14, {static_cast<uint8_t>(meter.ActiveTariff())}));
        break;
    case 17:
    case 18: {
        const int tariff = meter.ActiveTariff();
        return EnergyPair(stMain, tariff, field == 18, meter.MainCounters()[static_cast<size_t>(tariff - 1)], u.energy,
                          field);
    }
    case 35:
        out.push_back(Word(0x15, static_cast<uint16_t>(meter.CtRatio())));
        break;
    case 36:
        out.push_back(Word(0x16, static_cast<uint16_t>(meter.VtRatio())));
        break;
    case 69: {
        const Bytes info = DeviceInfoBlock(d);
        Bytes b{0x0D, 0xFF, 0x1B, 71};
        b.insert(b.end(), info.begin(), info.begin() + 71);
        out.push_back(b);
        break;
    }
    case 70:
        out.push_back(DateRecord(0x1C, MBusDateSetting(meter.FreezeSetting())));
        break;
    case 71:
        out.push_back(DateRecord(0x19, MBusDateSetting(meter.ResetSetting())));
        break;
    case 72:
        out.push_back(DateRecord(0x1E, StampBytes(meter.FreezeStamp())));
        break;
    case 73:
        out.push_back(DateRecord(0x1D, StampBytes(meter.ResetStamp())));
        break;
    case 74: {
        Bytes b{0x04, 0x22};
        Append32(b, static_cast<uint32_t>(meter.OperatingHours()));
        out.push_back(b);
        break;
    }
    case 75:
        out.push_back(Word(0x20, static_cast<uint16_t>(std::min(65535.0, meter.HoursSinceReset()))));
        break;
    case 76:
        out.push_back(ManufacturerRecord(0x22, {d.interfaceHw[1], d.interfaceHw[0], d.interfaceFw[1], d.interfaceFw[0]}));
        break;
    case 77:
        out.push_back(ManufacturerRecord(0x23, {static_cast<uint8_t>(meter.TariffSetting())}));
        break;
    case 78:
    case 79:
    case 80:
    case 81:
    case 82:
    case 83: {
        const bool reactive = field >= 81;
        const auto k = static_cast<size_t>((field - 78) % 3);
        out.push_back(PowerRecord(reactive, MBusPowerCode(u.power.resolution), static_cast<uint8_t>(k + 1),
                                  Raw16(reactive ? m.q[k] : m.p[k], u.power.resolution)));
        break;
    }
    default:
        // 11: the meter keeps primary values only.
        break;
    }
    return out;
}

std::vector<Bytes> MBusRecords(const SimMeter& meter, const PsFieldMask& mask) {
    const Measurements m = meter.Values();
    std::vector<Bytes> out;
    for (int f = 1; f <= PsFieldCount; ++f) {
        if (!PsFieldSelected(mask, f)) continue;
        for (Bytes& r : MBusFieldRecords(meter, m, f)) out.push_back(std::move(r));
    }
    return out;
}

std::vector<Bytes> SplitIntoTelegrams(const std::vector<Bytes>& records, size_t maxRecordBytes) {
    std::vector<Bytes> telegrams(1);
    for (const Bytes& r : records) {
        if (!telegrams.back().empty() && telegrams.back().size() + r.size() > maxRecordBytes) telegrams.emplace_back();
        telegrams.back().insert(telegrams.back().end(), r.begin(), r.end());
    }
    for (size_t k = 0; k < telegrams.size(); ++k) telegrams[k].push_back(k + 1 < telegrams.size() ? 0x1F : 0x0F);
    return telegrams;
}

}  // namespace meter
