#include "meter/ModbusRegisterMap.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "meter/MeterScaling.h"
#include "meter/ModbusRecordLayouts.h"

namespace meter {

namespace {

enum class Needs { Always, DemandLogger, LargeLogger, Webserver };

constexpr int MaxReadCount = 125;
constexpr int MaxWriteCount = 123;

uint16_t Hi(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) >> 16); }
uint16_t Lo(int32_t v) { return static_cast<uint16_t>(static_cast<uint32_t>(v) & 0xFFFF); }

ModbusError ErrorOf(SetResult r) {
    switch (r) {
    case SetResult::Taken:
    case SetResult::Ignored:
        return ModbusError::None;
    case SetResult::OutOfRange:
        return ModbusError::IllegalDataValue;
    case SetResult::NotAvailable:
        break;
    }
    return ModbusError::IllegalDataAddress;
}

}  // namespace

struct ModbusRegisterMap::Block {
    int start;
    int length;
    bool windowed;  // a log window: reads start at its first register and move the log's cursor
    Needs needs;
};

const ModbusRegisterMap::Block* ModbusRegisterMap::FindBlock(bool input, int address) const {
    static const std::vector<Block> inputBlocks = [] {
        std::vector<Block> v = {
            {0, 15, false, Needs::Always},      {100, 11, false, Needs::Always},
            {200, 17, false, Needs::Always},    {300, 14, false, Needs::Always},
            {412, 1, false, Needs::Always},     {500, 11, false, Needs::Always},
            {2920, 17, true, Needs::LargeLogger}, {3000, 36, false, Needs::Always},
            {3100, 16, true, Needs::Always},    {3200, 16, true, Needs::Always},
            {3300, 16, true, Needs::Always},    {3400, 32, true, Needs::DemandLogger},
            {3500, 32, true, Needs::DemandLogger}, {3600, 32, true, Needs::DemandLogger},
            {3700, 2, false, Needs::Always},    {3800, 36, true, Needs::LargeLogger},
            {3900, 15, true, Needs::LargeLogger},
        };
        for (int t = 0; t < 8; ++t) {
            v.push_back({600 + 100 * t, 14, false, Needs::Always});
            v.push_back({1400 + 100 * t, 12, false, Needs::Always});
            v.push_back({2200 + 100 * t, 12, false, Needs::Always});
        }
        return v;
    }();
    static const std::vector<Block> holdingBlocks = {
        {10000, 1, false, Needs::Always},      {10100, 1, false, Needs::Always},
        {10200, 1, false, Needs::Always},      {10300, 1, false, Needs::Always},
        {10400, 1, false, Needs::DemandLogger}, {10500, 1, false, Needs::Always},
        {10600, 4, false, Needs::Always},      {10700, 4, false, Needs::Always},
        {10800, 4, false, Needs::Always},      {11000, 1, false, Needs::Webserver},
        {11200, 10, false, Needs::LargeLogger}, {11300, 3, false, Needs::LargeLogger},
        {11400, 1, false, Needs::LargeLogger},
    };
    const DeviceOptions& d = meter_.Options();
    for (const Block& b : input ? inputBlocks : holdingBlocks) {
        if (address < b.start || address >= b.start + b.length) continue;
        switch (b.needs) {
        case Needs::Always:
            return &b;
        case Needs::DemandLogger:
            return d.HasDemandLogger() ? &b : nullptr;
        case Needs::LargeLogger:
            return d.IsLargeLogger() ? &b : nullptr;
        case Needs::Webserver:
            return d.webserver != WebserverMode::Absent ? &b : nullptr;
        }
    }
    return nullptr;
}

RegisterReply ModbusRegisterMap::ReadInput(int address, int count, Line line) {
    return Read(true, address, count, line);
}

RegisterReply ModbusRegisterMap::ReadHolding(int address, int count) { return Read(false, address, count, Line::Tcp); }

RegisterReply ModbusRegisterMap::Read(bool input, int address, int count, Line line) {
    RegisterReply reply;
    if (count < 1 || count > MaxReadCount) {
        reply.error = ModbusError::IllegalDataValue;
        return reply;
    }
    const Block* b = FindBlock(input, address);
    if (!b || address + count > b->start + b->length || (b->windowed && address != b->start)) {
        reply.error = ModbusError::IllegalDataAddress;
        return reply;
    }
    meter_.Update();
    const std::vector<uint16_t> all = input ? InputBlock(b->start, line) : HoldingBlock(b->start);
    const auto from = static_cast<size_t>(address - b->start);
    reply.registers.assign(all.begin() + static_cast<std::ptrdiff_t>(from),
                           all.begin() + static_cast<std::ptrdiff_t>(from + static_cast<size_t>(count)));
    return reply;
}

UnitChoice ModbusRegisterMap::VoltageUnit() const { return UnitsOf(meter_).voltage; }

UnitChoice ModbusRegisterMap::CurrentUnit() const { return UnitsOf(meter_).current; }

UnitChoice ModbusRegisterMap::PowerUnit() const { return UnitsOf(meter_).power; }

UnitChoice ModbusRegisterMap::EnergyUnit() const { return UnitsOf(meter_).energy; }

std::vector<uint16_t> ModbusRegisterMap::Voltages() const {
    const Measurements m = meter_.Values();
    const DeviceOptions& d = meter_.Options();
    const UnitChoice u = VoltageUnit();
    const int phases = d.Phases();
    std::vector<uint16_t> r(15, 0);
    double sumLL = 0, sumLN = 0;
    for (size_t k = 0; k < 3; ++k) {
        r[k] = Raw16(m.uLL[k], u.resolution);
        r[4 + k] = Raw16(m.uLN[k], u.resolution);
        r[8 + k] = Raw16(m.thdU[k], 0.1);
        sumLL += m.uLL[k];
        sumLN += m.uLN[k];
    }
    r[3] = Raw16(sumLL / 3, u.resolution);
    r[7] = Raw16(sumLN / phases, u.resolution);
    r[11] = Raw16(m.frequency, 0.01);
    r[12] = u.code;
    const LimitFlags f = LimitFlagsOf(meter_, m);
    r[13] = static_cast<uint16_t>(f.high << 8 | f.low);
    r[14] = f.frequency;
    return r;
}

std::vector<uint16_t> ModbusRegisterMap::Currents() const {
    const Measurements m = meter_.Values();
    const UnitChoice u = CurrentUnit();
    std::vector<uint16_t> r(11, 0);
    for (size_t k = 0; k < 3; ++k) {
        r[k] = Raw16(m.i[k], u.resolution);
        r[5 + k] = Raw16(m.thdI[k], 0.1);
    }
    r[3] = Raw16((m.i[0] + m.i[1] + m.i[2]) / meter_.Options().Phases(), u.resolution);
    r[4] = Raw16(m.iN, u.resolution);
    r[8] = u.code;
    return r;
}

std::vector<uint16_t> ModbusRegisterMap::Powers() const {
    const Measurements m = meter_.Values();
    const UnitChoice u = PowerUnit();
    std::vector<uint16_t> r(17, 0);
    double sTotal = 0;
    for (size_t k = 0; k < 3; ++k) {
        const double s = m.uLN[k] * m.i[k];
        r[k] = Raw16(m.p[k], u.resolution);
        r[4 + k] = Raw16(m.q[k], u.resolution);
        r[8 + k] = Raw16(m.pf[k], 0.001);
        r[13 + k] = Raw16(s, u.resolution);
        sTotal += s;
    }
    r[3] = Raw16(m.pTotal, u.resolution);
    r[7] = Raw16(m.qTotal, u.resolution);
    r[11] = Raw16(m.pfTotal, 0.001);
    r[12] = u.code;
    r[16] = Raw16(sTotal, u.resolution);
    return r;
}

std::vector<uint16_t> ModbusRegisterMap::Counters(const EnergySet& e, size_t count) const {
    const UnitChoice u = EnergyUnit();
    std::vector<uint16_t> r(count, 0);
    size_t at = 0;
    for (const double v : {e.pIn, e.pOut, e.qIn, e.qOut}) {
        const int32_t raw = Raw32(v, u.resolution);
        r[at++] = Hi(raw);
        r[at++] = Lo(raw);
    }
    r[10] = u.code;
    r[11] = 1;  // primary values: the transformer ratios are applied
    return r;
}

std::vector<uint16_t> ModbusRegisterMap::OperatingTimes() const {
    Bytes b(22, 0);
    const auto hours = static_cast<uint32_t>(meter_.OperatingHours());
    const auto sinceReset = static_cast<uint32_t>(std::min(65535.0, meter_.HoursSinceReset()));
    for (int k = 0; k < 4; ++k) b[static_cast<size_t>(k)] = static_cast<uint8_t>(hours >> (24 - 8 * k));
    b[4] = static_cast<uint8_t>(sinceReset >> 8);
    b[5] = static_cast<uint8_t>(sinceReset & 0xFF);
    if (const auto f = meter_.FreezeStamp()) {
        const Bytes s = DateTimeBytes(*f);
        std::copy_n(s.begin(), 7, b.begin() + 6);
    }
    if (const auto r = meter_.ResetStamp()) {
        const Bytes s = DateTimeBytes(*r);
        std::copy_n(s.begin(), 7, b.begin() + 14);
    }
    return ToRegisters(b, 11);
}

std::vector<uint16_t> ModbusRegisterMap::InputBlock(int start, Line line) {
    const bool large = meter_.Options().IsLargeLogger();
    if (start >= 600 && start < 1400) return Counters(meter_.MainCounters()[static_cast<size_t>(start / 100 - 6)], 14);
    if (start >= 1400 && start < 2200)
        return Counters(meter_.FreezeCounters()[static_cast<size_t>(start / 100 - 14)], 12);
    if (start >= 2200 && start < 3000 && start % 100 == 0)
        return Counters(meter_.ResettableCounters()[static_cast<size_t>(start / 100 - 22)], 12);
    // A log record, or past the oldest the end mark of this line.
    const auto record = [line](const auto* r, size_t registers, auto layout) {
        if (!r && line == Line::Rtu) return std::vector<uint16_t>(registers, 0xFFFF);
        return ToRegisters(layout(r), registers);
    };
    const auto demand = [&](const DemandRecord* r) {
        return record(r, 32, [&](const DemandRecord* d) {
            return large ? DemandRecordBigEndian(d, EnergyUnit()) : DemandRecordLittleEndian(d, EnergyUnit());
        });
    };
    const auto events = [&](const EventRecord* e) { return record(e, 16, EventRecordBytes); };
    switch (start) {
    case 0:
        return Voltages();
    case 100:
        return Currents();
    case 200:
        return Powers();
    case 300:
        return Counters(meter_.MainTotal(), 14);
    case 412:
        return {static_cast<uint16_t>(meter_.ActiveTariff())};
    case 500:
        return OperatingTimes();
    case 2920:
        return record(meter_.DemandCursor().Seek(meter_.DemandLog(), int64_t{recordPointer_[1]} << 16 | recordPointer_[2]),
                      17, [&](const DemandRecord* d) { return DemandRecordBigEndian(d, EnergyUnit()); });
    case 3000:
        return ToRegisters(DeviceInfoBlock(meter_.Options()), 36);
    case 3100:
        return events(meter_.EventCursor().Newest(meter_.EventLog()));
    case 3200:
        return events(meter_.EventCursor().Older(meter_.EventLog()));
    case 3300:
        return events(meter_.EventCursor().AfterMiss(meter_.EventLog()));
    case 3400:
        return demand(meter_.DemandCursor().Newest(meter_.DemandLog()));
    case 3500:
        return demand(meter_.DemandCursor().Older(meter_.DemandLog()));
    case 3600:
        return demand(meter_.DemandCursor().AfterMiss(meter_.DemandLog()));
    case 3700: {
        const DeviceOptions& d = meter_.Options();
        return ToRegisters({d.interfaceHw[0], d.interfaceHw[1], d.interfaceFw[0], d.interfaceFw[1]}, 2);
    }
    case 3800: {
        const CivilTime from{interval_[0], interval_[1], interval_[2], interval_[3], interval_[4], 0};
        const CivilTime till{interval_[5], interval_[6], interval_[7], interval_[8], interval_[9], 0};
        return ToRegisters(IntervalBlock(meter_.Interval(from, till), EnergyUnit()), 36);
    }
    case 3900:
        return record(meter_.CertifiedCursor().Current(meter_.CertifiedLog()), 15, CertifiedEntryBytes);
    default:
        break;
    }
    return std::vector<uint16_t>(125, 0);
}

std::vector<uint16_t> ModbusRegisterMap::HoldingBlock(int start) const {
    switch (start) {
    case 10000:
        return {static_cast<uint16_t>(meter_.CtRatio())};
    case 10100:
        return {static_cast<uint16_t>(meter_.VtRatio())};
    case 10200:
        return {static_cast<uint16_t>(meter_.UnitAddress())};
    case 10300:
        return {static_cast<uint16_t>(meter_.BaudCode())};
    case 10400:
        return {static_cast<uint16_t>(meter_.DemandPeriod())};
    case 10500:
        return {static_cast<uint16_t>(meter_.TariffSetting())};
    case 10600:
        return ToRegisters(DateTimeBytes(meter_.NowCivil()), 4);
    case 10700:
        return ToRegisters(Bytes(meter_.ResetSetting().begin(), meter_.ResetSetting().end()), 4);
    case 10800:
        return ToRegisters(Bytes(meter_.FreezeSetting().begin(), meter_.FreezeSetting().end()), 4);
    case 11000:
        return {static_cast<uint16_t>(meter_.WebserverEnabled() ? 1 : 0)};
    case 11200:
        return {interval_.begin(), interval_.end()};
    case 11300:
        return {recordPointer_.begin(), recordPointer_.end()};
    case 11400:
        return {certifiedCommand_};
    default:
        break;
    }
    return std::vector<uint16_t>(125, 0);
}

ModbusError ModbusRegisterMap::Write(int address, std::span<const uint16_t> values) {
    const auto count = static_cast<int>(values.size());
    if (count < 1 || count > MaxWriteCount) return ModbusError::IllegalDataValue;
    const Block* b = FindBlock(false, address);
    if (!b || b->start != address || b->length != count) return ModbusError::IllegalDataAddress;
    const uint16_t v = values[0];
    DateSetting date{};
    for (size_t k = 0; k < 8 && k / 2 < values.size(); ++k)
        date[k] = static_cast<uint8_t>(k % 2 == 0 ? values[k / 2] >> 8 : values[k / 2] & 0xFF);
    switch (address) {
    case 10000:
        return ErrorOf(meter_.SetCtRatio(v));
    case 10100:
        return ErrorOf(meter_.SetVtRatio(v));
    case 10200: {
        const SetResult r = meter_.SetUnitAddress(v);
        if (r == SetResult::Taken) pending_.unitAddress = v;
        return ErrorOf(r);
    }
    case 10300: {
        const SetResult r = meter_.SetBaudCode(v);
        if (r == SetResult::Taken) pending_.baudCode = v;
        return ErrorOf(r);
    }
    case 10400:
        return ErrorOf(meter_.SetDemandPeriod(v));
    case 10500:
        return ErrorOf(meter_.SetTariff(v));
    case 10600: {
        const CivilTime t{date[5] | date[6] << 8, date[4], date[3], date[2], date[1], date[0]};
        return ErrorOf(meter_.SetClock(t));
    }
    case 10700:
        return ErrorOf(meter_.SetResetSetting(date));
    case 10800:
        return ErrorOf(meter_.SetFreezeSetting(date));
    case 11000:
        return v > 1 ? ModbusError::IllegalDataValue : ErrorOf(meter_.SetWebserver(v == 1));
    case 11200:
        std::copy(values.begin(), values.end(), interval_.begin());
        return ModbusError::None;
    case 11300:
        // Command 3 places the demand cursor on a record number for 2920.
        if (v != 3) return ModbusError::IllegalDataValue;
        std::copy(values.begin(), values.end(), recordPointer_.begin());
        meter_.Update();
        meter_.DemandCursor().Seek(meter_.DemandLog(), int64_t{values[1]} << 16 | values[2]);
        return ModbusError::None;
    case 11400:
        // 1 starts at the newest certified entry, 2 steps to the next older one.
        if (v != 1 && v != 2) return ModbusError::IllegalDataValue;
        certifiedCommand_ = v;
        if (v == 1) meter_.CertifiedCursor().Newest(meter_.CertifiedLog());
        else meter_.CertifiedCursor().Older(meter_.CertifiedLog());
        return ModbusError::None;
    default:
        break;
    }
    return ModbusError::IllegalDataAddress;
}

LineChange ModbusRegisterMap::TakeLineChange() {
    LineChange out = pending_;
    pending_ = {};
    return out;
}

}  // namespace meter
