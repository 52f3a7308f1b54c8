#include "meter/MBusMeter.h"

#include "meter/MeterScaling.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace meter {

namespace {

constexpr uint8_t CRspUd = 0x08;
constexpr uint8_t CiRspUdLong = 0x72;   // twelve-byte header: identification, maker, version, medium, ...
constexpr uint8_t CiRspUdShort = 0x7A;  // four-byte header: access number, status, signature
constexpr uint8_t CiDataSend = 0x51;
constexpr uint8_t CiSelect = 0x52;
constexpr uint8_t MediumElectricity = 0x02;
constexpr std::array<int, 6> BaudOfCi = {300, 600, 1200, 2400, 4800, 9600};  // CI 0xB8 to 0xBD

std::string Hex(const uint8_t* b, size_t n) {
    std::string s;
    char buf[4];
    for (size_t k = 0; k < n; ++k) {
        std::snprintf(buf, sizeof buf, k ? " %02X" : "%02X", b[k]);
        s += buf;
    }
    return s;
}

bool Starts(const uint8_t* r, size_t size, std::initializer_list<uint8_t> prefix, size_t total) {
    return size >= total && std::memcmp(r, prefix.begin(), prefix.size()) == 0;
}

uint16_t Le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | b[1] << 8); }

}  // namespace

MBusOutcome MBusMeter::Handle(const MBusFrame& frame) {
    return frame.isLong ? HandleLong(frame) : HandleShort(frame);
}

Bytes MBusMeter::Header(uint8_t access) const {
    const uint32_t id = meter_.MBusIdBcd();
    const uint16_t maker = meter_.Options().MBusManufacturer();
    return {static_cast<uint8_t>(id),         static_cast<uint8_t>(id >> 8),
            static_cast<uint8_t>(id >> 16),   static_cast<uint8_t>(id >> 24),
            static_cast<uint8_t>(maker & 0xFF), static_cast<uint8_t>(maker >> 8),
            meter_.Options().mbusVersion,     MediumElectricity,
            access,                           0x00,
            0x00,                             0x00};
}

bool MBusMeter::HeaderMatches(const uint8_t* h) const {
    const uint32_t id = meter_.MBusIdBcd();
    for (int k = 0; k < 8; ++k) {
        const unsigned nibble = (h[k / 2] >> (4 * (k % 2))) & 0xF;
        if (nibble != 0xF && nibble != ((id >> (4 * k)) & 0xF)) return false;
    }
    const uint16_t maker = Le16(h + 4);
    return (maker == 0xFFFF || maker == meter_.Options().MBusManufacturer()) &&
           (h[6] == 0xFF || h[6] == meter_.Options().mbusVersion) && (h[7] == 0xFF || h[7] == MediumElectricity);
}

MBusOutcome MBusMeter::HandleShort(const MBusFrame& f) {
    MBusOutcome out;
    const bool broadcast = f.a == MBusBroadcast;
    const bool mine = f.a == meter_.MBusPrimaryAddress() || (f.a == MBusSelected && link_.selected);
    if (!mine && !broadcast) return out;
    out.addressed = true;
    if ((f.c & 0xCF) == 0x40) {  // SND_NKE: the link starts over; through 0xFD it also ends the selection
        out.what = "SND_NKE";
        Link next = link_;
        next.telegrams.clear();
        next.lastFcb.reset();
        if (f.a == MBusSelected) next.selected = false;
        out.commit = [this, next] { link_ = next; };
        if (!broadcast) out.answer = Bytes{MBusAck};
        return out;
    }
    if ((f.c & 0xCF) != 0x4B || broadcast) {
        out.what = "short frame C " + Hex(&f.c, 1) + ", not served";
        return out;
    }
    // REQ_UD2: a toggled FCB asks for the next telegram, the same FCB for the
    // last one again.
    const bool fcv = f.c & 0x10;
    const bool fcb = f.c & 0x20;
    Link next = link_;
    const bool repeat = fcv && next.lastFcb && *next.lastFcb == fcb && !next.telegrams.empty();
    if (!repeat) {
        if (next.telegrams.empty() || next.position + 1 >= next.telegrams.size()) {
            meter_.Update();
            next.telegrams = SplitIntoTelegrams(MBusRecords(meter_, next.mask));
            next.position = 0;
        } else {
            ++next.position;
        }
        ++next.access;
    }
    if (fcv) next.lastFcb = fcb;
    else next.lastFcb.reset();
    Bytes data = Header(next.access);
    const Bytes& telegram = next.telegrams[next.position];
    data.insert(data.end(), telegram.begin(), telegram.end());
    out.answer = MBusLongFrame(CRspUd, static_cast<uint8_t>(meter_.MBusPrimaryAddress()), CiRspUdLong, data);
    out.what = "REQ_UD2 FCB " + std::to_string(fcb) + ": telegram " + std::to_string(next.position + 1) + " of " +
               std::to_string(next.telegrams.size()) + (repeat ? " again" : "");
    out.commit = [this, next] { link_ = next; };
    return out;
}

MBusOutcome MBusMeter::HandleLong(const MBusFrame& f) {
    MBusOutcome out;
    if ((f.c & 0xCF) != 0x43) return out;  // only SND_UD is served
    if (f.ci == CiSelect) return f.a == MBusSelected ? Selection(f) : out;
    const bool broadcast = f.a == MBusBroadcast;
    const bool viaSecondary = f.a == MBusSelected;
    size_t at = 0;
    if (viaSecondary) {
        // Frames to 0xFD carry the secondary address in front of their data.
        if (f.data.size() < 8 || !HeaderMatches(f.data.data())) return out;
        at = 8;
    } else if (!broadcast && f.a != meter_.MBusPrimaryAddress()) {
        return out;
    }
    if (f.ci >= 0xB8 && f.ci <= 0xBD) {
        out.addressed = true;
        out.newBaud = BaudOfCi[static_cast<size_t>(f.ci - 0xB8)];
        out.what = "baud rate " + std::to_string(*out.newBaud);
        if (!broadcast) out.answer = Bytes{MBusAck};
        return out;
    }
    if (f.ci != CiDataSend) return out;
    return DataRecord(f.data.data() + at, f.data.size() - at, broadcast, viaSecondary);
}

MBusOutcome MBusMeter::Selection(const MBusFrame& f) {
    MBusOutcome out;
    const bool match = f.data.size() >= 8 && HeaderMatches(f.data.data());
    Link next = link_;
    next.selected = match;
    next.telegrams.clear();
    next.lastFcb.reset();
    // A selection that does not name this meter ends its selection, unanswered.
    out.addressed = match;
    out.commit = [this, next] { link_ = next; };
    if (match) {
        out.answer = Bytes{MBusAck};
        out.what = "selected by secondary address";
    }
    return out;
}

MBusOutcome MBusMeter::DataRecord(const uint8_t* r, size_t size, bool broadcast, bool viaSecondary) {
    SimMeter& m = meter_;
    if (Starts(r, size, {0x0D, 0xFD, 0x0B, 0x0C}, 16) || Starts(r, size, {0x0D, 0xFF, 0x51, 0x0C}, 16)) {
        Link next = link_;
        std::memcpy(next.mask.data(), r + 4, next.mask.size());
        next.telegrams.clear();
        next.lastFcb.reset();
        MBusOutcome out;
        out.addressed = true;
        out.what = "PS-field selection " + Hex(r + 4, 12);
        out.commit = [this, next] { link_ = next; };
        if (!broadcast) out.answer = Bytes{MBusAck};
        return out;
    }
    if ((Starts(r, size, {0x01, 0xFF, 0x18}, 4) || Starts(r, size, {0x01, 0xFF, 0x17}, 4))) {
        if (broadcast) return {true, {}, {}, {}, "logger request to all, not served"};
        return LoggerRecord(r[2], r[3], viaSecondary);
    }
    if (Starts(r, size, {0x01, 0x7A}, 3)) {
        const int a = r[2];
        return Setting(m.CheckMBusPrimaryAddress(a), [&m, a] { m.SetMBusPrimaryAddress(a); }, broadcast,
                       "primary address " + std::to_string(a));
    }
    if (Starts(r, size, {0x0C, 0x79}, 6)) {
        const uint32_t id = static_cast<uint32_t>(r[2] | r[3] << 8 | r[4] << 16) | static_cast<uint32_t>(r[5]) << 24;
        return Setting(m.CheckMBusId(id), [&m, id] { m.SetMBusId(id); }, broadcast, "secondary address " + Hex(r + 2, 4));
    }
    if (Starts(r, size, {0x01, 0xFF, 0x1A}, 4)) {
        const int p = r[3];
        return Setting(m.CheckDemandPeriod(p), [&m, p] { m.SetDemandPeriod(p); }, broadcast,
                       "demand period " + std::to_string(p));
    }
    if (Starts(r, size, {0x02, 0xFF, 0x16}, 5)) {
        const int vt = Le16(r + 3);
        return Setting(m.CheckVtRatio(vt), [&m, vt] { m.SetVtRatio(vt); }, broadcast, "VT " + std::to_string(vt));
    }
    if (Starts(r, size, {0x02, 0xFF, 0x15}, 5)) {
        const int ct = Le16(r + 3);
        return Setting(m.CheckCtRatio(ct), [&m, ct] { m.SetCtRatio(ct); }, broadcast, "CT " + std::to_string(ct));
    }
    if (Starts(r, size, {0x01, 0xFF, 0x23}, 4)) {
        const int t = r[3];
        return Setting(m.CheckTariff(t), [&m, t] { m.SetTariff(t); }, broadcast, "tariff " + std::to_string(t));
    }
    if (Starts(r, size, {0x06, 0x6D}, 8)) {
        const DateSetting d = DateSettingFromMBus(r + 2);
        const CivilTime t{d[5] | d[6] << 8, d[4], d[3], d[2], d[1], d[0]};
        return Setting(m.CheckClock(t), [&m, t] { m.SetClock(t); }, broadcast, "clock " + FormatCivil(t));
    }
    if (Starts(r, size, {0x06, 0xFF, 0x1C}, 9) || Starts(r, size, {0x06, 0xFF, 0x19}, 9)) {
        const DateSetting d = DateSettingFromMBus(r + 3);
        const bool freeze = r[2] == 0x1C;
        return Setting(SetResult::Taken,
                       [&m, d, freeze] { freeze ? m.SetFreezeSetting(d) : m.SetResetSetting(d); }, broadcast,
                       std::string(freeze ? "freeze" : "reset") + " date " + Hex(r + 3, 6));
    }
    return {true, {}, {}, {}, "data record " + Hex(r, std::min<size_t>(size, 8)) + ", not understood"};
}

MBusOutcome MBusMeter::Setting(SetResult check, std::function<void()> apply, bool broadcast, std::string what) {
    MBusOutcome out;
    out.addressed = true;
    if (check != SetResult::Taken && check != SetResult::Ignored) {
        // Refused values get no acknowledge, so the tool never reports them as set.
        out.what = what + ", refused";
        return out;
    }
    out.what = what + (check == SetResult::Ignored ? ", answered but not taken" : "");
    if (check == SetResult::Taken) out.commit = std::move(apply);
    if (!broadcast) out.answer = Bytes{MBusAck};
    return out;
}

MBusOutcome MBusMeter::LoggerRecord(uint8_t logger, uint8_t selector, bool viaSecondary) {
    MBusOutcome out;
    out.addressed = true;
    const bool demand = logger == 0x18;
    out.what = std::string(demand ? "demand" : "events") + " record, selector " + std::to_string(selector);
    if (selector > 2 || (demand && !meter_.Options().HasDemandLogger())) {
        out.what += ", not served";
        return out;
    }
    meter_.Update();
    // The walk of the log moves on a copy of its place, kept once the answer went out.
    LogCursor cursor = demand ? meter_.DemandCursor() : meter_.EventCursor();
    Bytes payload;
    const auto step = [&](const auto& log) {
        return selector == 0 ? cursor.Newest(log) : selector == 1 ? cursor.Older(log) : cursor.AfterMiss(log);
    };
    if (demand) {
        payload = DemandRecordLittleEndian(step(meter_.DemandLog()), UnitsOf(meter_).energy);
    } else {
        payload = EventRecordBytes(step(meter_.EventLog()));
    }
    Link next = link_;
    ++next.access;
    Bytes data = viaSecondary ? Header(next.access) : Bytes{next.access, 0x00, 0x00, 0x00};
    data.insert(data.end(), payload.begin(), payload.end());
    out.answer = MBusLongFrame(CRspUd, static_cast<uint8_t>(meter_.MBusPrimaryAddress()),
                               viaSecondary ? CiRspUdLong : CiRspUdShort, data);
    out.commit = [this, next, cursor, demand] {
        link_ = next;
        (demand ? meter_.DemandCursor() : meter_.EventCursor()) = cursor;
    };
    return out;
}

}  // namespace meter
