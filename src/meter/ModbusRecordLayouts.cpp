#include "meter/ModbusRecordLayouts.h"

#include <algorithm>
#include <string>

#include "core/MessageTable.h"

namespace meter {

namespace {

void PutLE(Bytes& b, size_t at, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) b[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
}

void PutBE(Bytes& b, size_t at, uint32_t v, int n) {
    for (int k = 0; k < n; ++k) b[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * (n - 1 - k)));
}

uint32_t Energy(double wh, const UnitChoice& unit) { return static_cast<uint32_t>(Raw32(wh, unit.resolution)); }

// Second, minute, hour, day and month a byte each, then the year in two bytes
// low first: the time stamp of the little-endian demand and event records.
void PutTimeLE(Bytes& b, size_t at, const CivilTime& t) {
    size_t k = at;
    for (const int v : {t.second, t.minute, t.hour, t.day, t.month}) b[k++] = static_cast<uint8_t>(v);
    PutLE(b, k, static_cast<uint32_t>(t.year), 2);
}

// Low 16 bits of a record number that can never read as the end mark 0xFFFF.
uint16_t ShortNumber(int64_t number) { return static_cast<uint16_t>(number % 0xFFFF); }

}  // namespace

Bytes DemandRecordLittleEndian(const DemandRecord* r, const UnitChoice& energy) {
    Bytes b(64, 0);
    if (!r) return Bytes(64, 0xFF);
    PutLE(b, 0, ShortNumber(r->number), 2);
    b[2] = r->tariff;
    b[3] = static_cast<uint8_t>(energy.code);
    PutLE(b, 4, Energy(r->epIn, energy), 4);
    PutLE(b, 8, Energy(r->epOut, energy), 4);
    PutLE(b, 12, Energy(r->eqIn, energy), 4);
    PutLE(b, 16, Energy(r->eqOut, energy), 4);
    PutLE(b, 24, r->status1, 2);
    PutLE(b, 26, r->status2, 2);
    PutTimeLE(b, 28, FromSeconds(r->time));
    b[35] = r->period;
    return b;
}

Bytes DemandRecordBigEndian(const DemandRecord* r, const UnitChoice& energy) {
    Bytes b(34, 0);
    if (!r) return b;
    const CivilTime t = FromSeconds(r->time);
    PutBE(b, 0, static_cast<uint32_t>(r->number), 4);
    PutBE(b, 4, static_cast<uint32_t>(t.year), 2);
    PutBE(b, 6, static_cast<uint32_t>(t.month), 2);
    PutBE(b, 8, static_cast<uint32_t>(t.day), 2);
    PutBE(b, 10, static_cast<uint32_t>(t.hour), 2);
    PutBE(b, 12, static_cast<uint32_t>(t.minute), 2);
    PutBE(b, 14, Energy(r->epIn, energy), 4);
    PutBE(b, 20, Energy(r->epOut, energy), 4);
    b[27] = static_cast<uint8_t>(energy.code);
    PutBE(b, 28, r->status1, 2);
    PutBE(b, 30, r->status2, 2);
    b[33] = r->tariff;
    return b;
}

Bytes EventRecordBytes(const EventRecord* e) {
    if (!e) return Bytes(32, 0xFF);
    Bytes b(32, 0);
    PutLE(b, 0, ShortNumber(e->number), 2);
    b[2] = e->code;
    std::copy(e->params.begin(), e->params.end(), b.begin() + 3);
    PutTimeLE(b, 14, FromSeconds(e->time));
    return b;
}

Bytes CertifiedEntryBytes(const CertifiedEntry* c) {
    Bytes b(30, 0);
    if (!c) return b;
    PutBE(b, 0, static_cast<uint32_t>(c->number & 0x7FFF), 2);
    PutBE(b, 2, c->event, 2);
    size_t at = 4;
    for (const int64_t when : {c->oldTime, c->newTime}) {
        const CivilTime t = FromSeconds(when);
        for (const int v : {t.year, t.month, t.day, t.hour, t.minute, t.second}) {
            PutBE(b, at, static_cast<uint32_t>(v), 2);
            at += 2;
        }
    }
    unsigned sum = 0;
    for (size_t k = 0; k < 28; ++k) sum += b[k];
    b[29] = static_cast<uint8_t>(sum);
    return b;
}

Bytes IntervalBlock(const IntervalSummary& summary, const UnitChoice& energy) {
    Bytes b(72, 0);
    if (!summary.hasData) return b;
    size_t at = 0;
    for (const DemandRecord* r : {&summary.first, &summary.last}) {
        b[at + 3] = 1;
        const Bytes rec = DemandRecordBigEndian(r, energy);
        std::copy(rec.begin(), rec.begin() + 30, b.begin() + static_cast<std::ptrdiff_t>(at + 4));
        at += 34;
    }
    return b;
}

Bytes DeviceInfoBlock(const DeviceOptions& d) {
    Bytes b(72, 0);
    b[0] = static_cast<uint8_t>(d.typeIndex);
    b[1] = static_cast<uint8_t>(d.digitD);
    b[3] = static_cast<uint8_t>(d.digitM);
    b[4] = static_cast<uint8_t>(d.digitP);
    b[5] = static_cast<uint8_t>(d.digitQ);
    b[6] = static_cast<uint8_t>(d.digitU);
    b[7] = static_cast<uint8_t>(d.digitV);
    b[8] = static_cast<uint8_t>(d.digitW);
    b[9] = static_cast<uint8_t>(d.variant);
    for (size_t k = 0; k < 2 && k < d.serialPrefix.size(); ++k) b[11 + k] = static_cast<uint8_t>(d.serialPrefix[k]);
    for (size_t k = 0; k < 10 && k < d.serialNumber.size(); ++k) {
        const auto digit = static_cast<uint8_t>(d.serialNumber[k] - '0');
        b[13 + k / 2] |= k % 2 == 0 ? static_cast<uint8_t>(digit << 4) : digit;
    }
    b[25] = static_cast<uint8_t>(d.baseFirmware & 0xFF);
    b[26] = static_cast<uint8_t>(d.baseFirmware >> 8);
    std::string name = d.productName;
    if (name.empty()) {
        const auto type = static_cast<size_t>(d.typeIndex);
        std::string model = d.digitD >= 2 ? TxtDeviceTypesBrand2[type] : TxtDeviceTypesBrand1[type];
        if (model.front() == '-') model = "QSL";
        name = model + " Energy Meter";
    }
    std::copy_n(name.begin(), std::min<size_t>(32, name.size()), b.begin() + 32);
    return b;
}

Bytes DateTimeBytes(const CivilTime& t) {
    const DateSetting s = DateSettingOf(t);
    return Bytes(s.begin(), s.end());
}

std::vector<uint16_t> ToRegisters(const Bytes& bytes, size_t count) {
    std::vector<uint16_t> regs(count, 0);
    for (size_t r = 0; r < count; ++r) {
        const uint8_t hi = 2 * r < bytes.size() ? bytes[2 * r] : 0;
        const uint8_t lo = 2 * r + 1 < bytes.size() ? bytes[2 * r + 1] : 0;
        regs[r] = static_cast<uint16_t>(hi << 8 | lo);
    }
    return regs;
}

Bytes FromRegisters(const std::vector<uint16_t>& registers) {
    Bytes b;
    b.reserve(registers.size() * 2);
    for (const uint16_t r : registers) {
        b.push_back(static_cast<uint8_t>(r >> 8));
        b.push_back(static_cast<uint8_t>(r & 0xFF));
    }
    return b;
}

}  // namespace meter
