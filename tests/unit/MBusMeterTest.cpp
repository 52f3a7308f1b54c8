// The simulated meters' M-Bus side without a wire: addressing and selection
// on a line of two meters, the telegram sequence under the FCB, the logger
// requests, the setting frames, and that an answer the tool never received
// moves nothing on. Records and telegrams are read back with the tool's own
// M-Bus decoder.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MeterSimHarness.h"
#include "core/MBusDecoder.h"
#include "meter/MBusLine.h"
#include "meter/MBusRecords.h"
#include "meter/MeterScaling.h"

using namespace meter;
using metersim_test::FakeClock;

namespace {

const CivilTime Start{2024, 5, 7, 10, 0, 0};

Bytes Short(uint8_t c, uint8_t a) { return {0x10, c, a, static_cast<uint8_t>(c + a), 0x16}; }

Bytes Long(uint8_t a, uint8_t ci, Bytes data) { return MBusLongFrame(0x73, a, ci, data); }

Bytes Secondary(uint32_t bcd, Bytes rest, uint16_t maker = 0xFFFF) {
    Bytes d{static_cast<uint8_t>(bcd), static_cast<uint8_t>(bcd >> 8), static_cast<uint8_t>(bcd >> 16),
            static_cast<uint8_t>(bcd >> 24), static_cast<uint8_t>(maker), static_cast<uint8_t>(maker >> 8), 0xFF, 0x02};
    d.insert(d.end(), rest.begin(), rest.end());
    return d;
}

Bytes PsSelect(std::initializer_list<uint8_t> mask) {
    Bytes d{0x0D, 0xFD, 0x0B, 0x0C};
    d.insert(d.end(), mask.begin(), mask.end());
    d.resize(16, 0);
    return d;
}

// Two meters on one line: primary 5 with the identification 00012345, and
// primary 7 with 12345678, of the second maker.
struct Line {
    Line() : clock(Start) {
        DeviceOptions a;
        a.mbusPrimary = 5;
        a.serialNumber = "2100012345";
        DeviceOptions b;
        b.mbusPrimary = 7;
        b.mbusId = "12345678";
        b.digitD = 2;
        b.seed = 2;
        meters.push_back(std::make_unique<SimMeter>(a, clock.Source()));
        meters.push_back(std::make_unique<SimMeter>(b, clock.Source()));
        for (auto& m : meters) line.Add(*m);
    }
    // One exchange whose answer reaches the tool.
    MBusLineOutcome Send(const Bytes& frame) {
        MBusLineOutcome o = line.Handle(*ParseMBusFrame(frame.data(), frame.size()));
        o.Commit();
        return o;
    }
    // One exchange whose answer is lost on the way.
    MBusLineOutcome Lose(const Bytes& frame) { return line.Handle(*ParseMBusFrame(frame.data(), frame.size())); }

    FakeClock clock;
    std::vector<std::unique_ptr<SimMeter>> meters;
    MBusLine line;
};

enum class Heard { Nothing, Ack, FromFirst, FromSecond };

Heard What(const MBusLineOutcome& o) {
    if (!o.answer) return Heard::Nothing;
    if (*o.answer == Bytes{0xE5}) return Heard::Ack;
    const Bytes& a = *o.answer;
    EXPECT_TRUE(ParseMBusFrame(a.data(), a.size()).has_value());
    return a[5] == 5 ? Heard::FromFirst : a[5] == 7 ? Heard::FromSecond : Heard::Nothing;
}

// The telegram's user data after the twelve-byte header.
Bytes RecordsOf(const Bytes& answer) { return Bytes(answer.begin() + 19, answer.end() - 2); }

}  // namespace

TEST(MBusMeter, EachMeterAnswersOnlyItsOwnAddressAndSelection) {
    Line l;
    const uint8_t nke = 0x40, req = 0x7B;
    struct Row {
        const char* step;
        Bytes frame;
        Heard heard;
    };
    const std::vector<Row> rows = {
        {"SND_NKE to the first", Short(nke, 5), Heard::Ack},
        {"SND_NKE to nobody", Short(nke, 9), Heard::Nothing},
        {"REQ_UD2 to the first", Short(req, 5), Heard::FromFirst},
        {"REQ_UD2 to the second", Short(req, 7), Heard::FromSecond},
        {"REQ_UD2 through 0xFD before any selection", Short(req, 0xFD), Heard::Nothing},
        {"select the second, any maker", Long(0xFD, 0x52, Secondary(0x12345678, {})), Heard::Ack},
        {"REQ_UD2 through 0xFD", Short(0x5B, 0xFD), Heard::FromSecond},
        {"SND_NKE through 0xFD deselects", Short(nke, 0xFD), Heard::Ack},
        {"REQ_UD2 through 0xFD after it", Short(req, 0xFD), Heard::Nothing},
        {"select with a wildcard digit", Long(0xFD, 0x52, Secondary(0x1234567F, {})), Heard::Ack},
        {"REQ_UD2 to the selected", Short(req, 0xFD), Heard::FromSecond},
        {"select naming the first maker", Long(0xFD, 0x52, Secondary(0x12345678, {}, 0x52CB)), Heard::Nothing},
        {"REQ_UD2 after a selection of no one", Short(req, 0xFD), Heard::Nothing},
        {"select the first by its own maker", Long(0xFD, 0x52, Secondary(0x00012345, {}, 0x52CB)), Heard::Ack},
        {"REQ_UD2 to the first through 0xFD", Short(req, 0xFD), Heard::FromFirst},
        {"PS-field selection carrying the second's address", Long(0xFD, 0x51, Secondary(0x12345678, PsSelect({0x01}))), Heard::Ack},
        {"PS-field selection in the FF 51 form", Long(7, 0x51, {0x0D, 0xFF, 0x51, 0x0C, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), Heard::Ack},
        {"PS-field selection carrying an unknown address", Long(0xFD, 0x51, Secondary(0x99999999, PsSelect({0x01}))), Heard::Nothing},
        {"REQ_UD1 is not served", Short(0x7A, 5), Heard::Nothing},
        {"a broadcast SND_NKE", Short(nke, 0xFF), Heard::Nothing},
        {"a broadcast setting", Long(0xFF, 0x51, {0x01, 0xFF, 0x1A, 30}), Heard::Nothing},
        {"a record the meter does not know", Long(5, 0x51, {0x01, 0xFF, 0x77, 1}), Heard::Nothing},
    };
    for (const Row& r : rows) EXPECT_EQ(What(l.Send(r.frame)), r.heard) << r.step;
    // The broadcast reached both meters.
    EXPECT_EQ(l.meters[0]->DemandPeriod(), 30);
    EXPECT_EQ(l.meters[1]->DemandPeriod(), 30);
}

TEST(MBusMeter, TelegramsFollowTheFcbAndALostAnswerIsSentAgain) {
    Line l;
    // The main counters fill several telegrams.
    ASSERT_EQ(l.Send(Long(5, 0x51, PsSelect({0x00, 0xF8, 0xFC, 0xFF, 0x0F, 0, 0, 0, 0, 0x06}))).answer, Bytes{0xE5});
    std::vector<Bytes> seen;
    bool fcb = true;
    for (int step = 0; step < 20; ++step) {
        const Bytes req = Short(fcb ? 0x7B : 0x5B, 5);
        if (step == 1) {
            // Lost twice on the way, answered the third time: the same telegram each time.
            const Bytes lost = *l.Lose(req).answer;
            EXPECT_EQ(RecordsOf(*l.Lose(req).answer), RecordsOf(lost));
            EXPECT_EQ(RecordsOf(*l.Send(req).answer), RecordsOf(lost));
            // The tool missed that answer after all and repeats the FCB.
            seen.push_back(*l.Send(req).answer);
            EXPECT_EQ(RecordsOf(seen.back()), RecordsOf(lost));
        } else {
            seen.push_back(*l.Send(req).answer);
        }
        fcb = !fcb;
        if (seen.back()[seen.back().size() - 3] == 0x0F) break;
    }
    ASSERT_GE(seen.size(), 3u);
    for (size_t k = 0; k + 1 < seen.size(); ++k) EXPECT_EQ(seen[k][seen[k].size() - 3], 0x1F) << k;
    // Telegram k + 1 continues where telegram k ended: the energy records of
    // all telegrams together are every selected field once.
    std::vector<int> fields;
    for (const Bytes& t : seen) {
        const Bytes r = RecordsOf(t);
        for (size_t at = 0; at + 1 < r.size();) {
            const size_t len = r[at] == 0x84 ? (r[at + 4] == 0xFB ? 12 : 11) : r[at] == 0x04 ? 6 : r[at] == 0x02 ? 5 : 4;
            if (r[at] == 0x84) fields.push_back(r[at + len - 5]);
            at += len;
        }
    }
    std::vector<int> expected;
    for (int f : {14, 15})
        for (int k = 0; k < 2; ++k) expected.push_back(f);
    for (int f = 19; f <= 34; ++f)
        for (int k = 0; k < 2; ++k) expected.push_back(f);
    EXPECT_EQ(fields, expected);
}

TEST(MBusMeter, LoggerRequestsWalkTheLogAndALostAnswerMovesNothing) {
    Line l;
    const auto demand = [](uint8_t selector) { return Long(5, 0x51, {0x01, 0xFF, 0x18, selector}); };
    // The record number in the first two bytes of the record behind the short header.
    const auto number = [](const MBusLineOutcome& o) { return (*o.answer)[11] | (*o.answer)[12] << 8; };
    const SimMeter& m = *l.meters[0];
    const int newest = static_cast<int>(m.DemandLog().NewestNumber() % 0xFFFF);
    EXPECT_EQ(number(l.Send(demand(0))), newest);
    EXPECT_EQ(number(l.Send(demand(1))), newest - 1);
    EXPECT_EQ(number(l.Lose(demand(1))), newest - 2);
    EXPECT_EQ(number(l.Send(demand(2))), newest - 1);  // after a miss: the last record received, not used
    EXPECT_EQ(number(l.Send(demand(1))), newest - 2);
    // Secondary addressing: the long header, so the record starts at byte 19.
    const MBusLineOutcome sec = l.Send(Long(0xFD, 0x51, Secondary(0x00012345, {0x01, 0xFF, 0x18, 0x00})));
    ASSERT_TRUE(sec.answer);
    EXPECT_EQ((*sec.answer)[19] | (*sec.answer)[20] << 8, newest);
    EXPECT_EQ((*sec.answer)[6], 0x72);
}

TEST(MBusMeter, TheEndOfTheLogIsAllOnes) {
    FakeClock clock(Start);
    DeviceOptions d;
    d.eventRecords = 2;
    SimMeter m(d, clock.Source());
    MBusLine line;
    line.Add(m);
    const auto events = [&](uint8_t selector) {
        const Bytes f = Long(0, 0x51, {0x01, 0xFF, 0x17, selector});
        MBusLineOutcome o = line.Handle(*ParseMBusFrame(f.data(), f.size()));
        o.Commit();
        return *o.answer;
    };
    events(0);
    events(1);
    const Bytes end = events(1);
    EXPECT_EQ(Bytes(end.begin() + 11, end.end() - 2), Bytes(32, 0xFF));
}

TEST(MBusMeter, SettingFramesAreKeptAndRefusedOnesGetNoAnswer) {
    struct Row {
        const char* what;
        Bytes record;
        bool answered;
        std::function<bool(const SimMeter&)> holds;
    };
    const std::vector<Row> rows = {
        {"primary address", {0x01, 0x7A, 0x09}, true, [](const SimMeter& m) { return m.MBusPrimaryAddress() == 9; }},
        {"primary address 251", {0x01, 0x7A, 251}, false, [](const SimMeter& m) { return m.MBusPrimaryAddress() == 9; }},
        {"secondary address", {0x0C, 0x79, 0x00, 0x06, 0x34, 0x12}, true, [](const SimMeter& m) { return m.MBusIdBcd() == 0x12340600; }},
        {"demand period", {0x01, 0xFF, 0x1A, 0x0F}, true, [](const SimMeter& m) { return m.DemandPeriod() == 15; }},
        {"demand period 0", {0x01, 0xFF, 0x1A, 0x00}, false, [](const SimMeter& m) { return m.DemandPeriod() == 15; }},
        {"VT ratio", {0x02, 0xFF, 0x16, 100, 0}, true, [](const SimMeter& m) { return m.VtRatio() == 100; }},
        {"CT ratio", {0x02, 0xFF, 0x15, 0xE8, 0x03}, true, [](const SimMeter& m) { return m.CtRatio() == 1000; }},
        {"CT x VT over 100000", {0x02, 0xFF, 0x15, 0xE9, 0x03}, false, [](const SimMeter& m) { return m.CtRatio() == 1000; }},
        {"tariff", {0x01, 0xFF, 0x23, 0x03}, true, [](const SimMeter& m) { return m.TariffSetting() == 3; }},
        {"date and time", {0x06, 0x6D, 0x02, 0x05, 0x09, 0x07, 0x33, 0x00}, true,
         [](const SimMeter& m) { return m.NowCivil() == CivilTime{2024, 3, 7, 9, 5, 2}; }},
        {"freeze date", {0x06, 0xFF, 0x1C, 0x38, 0x22, 0x0C, 0xA7, 0x23, 0x00}, true,
         [](const SimMeter& m) { return m.FreezeSetting() == DateSetting{0x38, 0x22, 0x0C, 7, 3, 0xE5, 0x07, 0}; }},
        {"reset date", {0x06, 0xFF, 0x19, 0x38, 0x22, 0x0C, 0xA7, 0x23, 0x00}, true,
         [](const SimMeter& m) { return m.ResetSetting() == DateSetting{0x38, 0x22, 0x0C, 7, 3, 0xE5, 0x07, 0}; }},
    };
    Line l;
    SimMeter& m = *l.meters[0];
    for (const Row& r : rows) {
        const uint8_t a = static_cast<uint8_t>(m.MBusPrimaryAddress());
        EXPECT_EQ(What(l.Send(Long(a, 0x51, r.record))), r.answered ? Heard::Ack : Heard::Nothing) << r.what;
        EXPECT_TRUE(r.holds(m)) << r.what;
    }
    // What the meter holds reads back in its records.
    EXPECT_EQ(MBusFieldRecords(m, m.Values(), 70).at(0), (Bytes{0x06, 0xFF, 0x1C, 0x38, 0x22, 0x0C, 0xA7, 0x23, 0x00}));
    EXPECT_EQ(MBusFieldRecords(m, m.Values(), 36).at(0), (Bytes{0x02, 0xFF, 0x16, 100, 0}));
    // A setting whose acknowledge is lost is not kept.
    const MBusLineOutcome lost = l.Lose(Long(9, 0x51, {0x01, 0xFF, 0x1A, 60}));
    EXPECT_EQ(What(lost), Heard::Ack);
    EXPECT_EQ(m.DemandPeriod(), 15);
    // Baud rate frames are answered at the old rate and name the new one.
    const MBusLineOutcome baud = l.Send(Long(9, 0xBD, {}));
    EXPECT_EQ(What(baud), Heard::Ack);
    EXPECT_EQ(baud.newBaud, 9600);
}

TEST(MBusRecords, EveryRecordIsOfAClassTheToolKnowsWithItsLength) {
    // Small and large ratios, so that every unit code comes out.
    for (const auto& [ct, vt] : {std::pair{1, 1}, std::pair{10000, 10}, std::pair{200, 400}}) {
        FakeClock clock(Start);
        DeviceOptions d;
        d.ctRatio = ct;
        d.vtRatio = vt;
        d.digitQ = 2;
        SimMeter m(d, clock.Source());
        const Measurements values = m.Values();
        for (int f = 1; f <= PsFieldCount; ++f) {
            for (const Bytes& r : MBusFieldRecords(m, values, f)) {
                const auto c = ClassifyMBusRecord(r);
                ASSERT_TRUE(c.has_value()) << "field " << f << " CT " << ct;
                EXPECT_EQ(static_cast<size_t>(c->Length), r.size()) << "field " << f << " CT " << ct;
            }
        }
    }
}

// The tool's decoder over the telegrams of one read, as a job reads them:
// SND_NKE, the PS-field selection, then REQ_UD2 with the FCB toggled until
// the last telegram.
struct ToolRead {
    DecodedValueStore store;
    DeviceAddressing addressing;
    int telegrams = 0;
    void Read(Line& l, uint8_t address, const Bytes& mask) {
        ASSERT_EQ(What(l.Send(Short(0x40, address))), Heard::Ack);
        Bytes select{0x0D, 0xFD, 0x0B, 0x0C};
        select.insert(select.end(), mask.begin(), mask.end());
        ASSERT_EQ(What(l.Send(Long(address, 0x51, select))), Heard::Ack);
        for (bool fcb = true;; fcb = !fcb) {
            const Bytes a = *l.Send(Short(fcb ? 0x7B : 0x5B, address)).answer;
            DecodeMBusAnswer(a, 0, store, addressing);
            ++telegrams;
            if (a[a.size() - 3] == 0x0F || telegrams > 20) break;
        }
    }
};

// A value text as the tool shows it: the raw count with `decimals` places.
std::string Shown(int64_t raw, int decimals, const std::string& unit) {
    std::string digits = std::to_string(raw < 0 ? -raw : raw);
    if (decimals > 0) {
        if (digits.size() <= static_cast<size_t>(decimals)) digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<size_t>(decimals), ".");
    }
    return " " + std::string(raw < 0 ? "-" : "") + digits + " " + unit;
}

TEST(MBusMeter, TheToolsDecoderReadsWhatTheMeterHolds) {
    Line l;
    const SimMeter& m = *l.meters[1];  // the second maker's meter at primary address 7
    ToolRead id;
    id.Read(l, 7, {0x01, 0x98, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x10, 0x18, 0x00, 0x00});
    EXPECT_EQ(id.telegrams, 1);
    EXPECT_EQ(id.addressing.SecondaryAddress, "12345678");
    EXPECT_EQ(id.store.ManufacturerText, " NLD");
    EXPECT_EQ(id.addressing.ManufacturerIndex, 2);
    EXPECT_EQ(id.store.DeviceAddressText, "7");
    EXPECT_EQ(id.store.SerialNumberText, " TQ" + m.Options().serialNumber);
    EXPECT_EQ(id.store.CtRatioText, "1");
    EXPECT_EQ(id.store.ActualTariffText, " " + std::to_string(m.ActiveTariff()));
    EXPECT_EQ(id.store.FirmwareText, "Interface HW:1.0,FW:2.05");

    ToolRead values;
    values.Read(l, 7, {0xFF, 0x9B, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x07, 0x00});
    const Measurements v = m.Values();
    const MeterUnits u = UnitsOf(m);
    ASSERT_EQ(u.voltage.resolution, 0.1);
    EXPECT_EQ(values.store.TextU1, Shown(Raw16(v.uLN[0], 0.1), 1, "V"));
    EXPECT_EQ(values.store.TextU23, Shown(Raw16(v.uLL[1], 0.1), 1, "V"));
    EXPECT_EQ(values.store.TextFreq, Shown(Raw16(v.frequency, 0.01), 2, "Hz"));
    EXPECT_EQ(values.store.TextPF2, Shown(Raw16(v.pf[1], 0.001), 3, ""));
    EXPECT_EQ(values.store.DeviceTimeDateText, "2024-05-07  10:00");

    ToolRead counters;
    counters.Read(l, 7, {0x00, 0xF8, 0xFC, 0xFF, 0x0F, 0x00, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00});
    EXPECT_GT(counters.telegrams, 1);
    const int decimals[] = {3, 2, 1, 0, 2, 1, 0};
    const int code = static_cast<int>(std::lround(std::log10(u.energy.resolution)));
    const std::string unit = code >= 4 ? "MWh" : "kWh";
    for (size_t t = 0; t < 8; ++t) {
        EXPECT_EQ(counters.store.CounterTariffs[t][1], Shown(Raw32(m.MainCounters()[t].pIn, u.energy.resolution), decimals[code], unit)) << t;
        EXPECT_EQ(counters.store.CounterTariffs[t][0], Shown(Raw32(m.MainCounters()[t].pOut, u.energy.resolution), decimals[code], unit)) << t;
    }
    EXPECT_EQ(counters.store.CounterTotals[1], Shown(Raw32(m.MainTotal().pIn, u.energy.resolution), decimals[code], unit));
    EXPECT_EQ(counters.store.TotalOperatingTimeText, std::to_string(static_cast<int>(m.OperatingHours())));
}

TEST(MBusRecords, TelegramsHoldWholeRecordsAndMarkTheLast) {
    const std::vector<Bytes> records(30, Bytes(11, 0x84));
    const std::vector<Bytes> t = SplitIntoTelegrams(records, 100);
    ASSERT_EQ(t.size(), 4u);
    for (size_t k = 0; k < t.size(); ++k) {
        EXPECT_EQ(t[k].back(), k + 1 < t.size() ? 0x1F : 0x0F);
        EXPECT_EQ((t[k].size() - 1) % 11, 0u);
        EXPECT_LE(t[k].size() - 1, 100u);
    }
    EXPECT_EQ(SplitIntoTelegrams({}, 100), std::vector<Bytes>{Bytes{0x0F}});
}

TEST(MeterSimOptions, EachMeterTakesItsKeysAndCountsUpItsAddresses) {
    const ParseOutcome p = ParseMeterSimArgs({"--mbus", "/dev/null", "--rtu", "/dev/null2", "--type", "2", "--unit",
                                              "10", "--meter", "primary=3,secondary=12345678", "--meter",
                                              "type=5,tariff-locked", "--meter", "unit=1"});
    ASSERT_TRUE(p.error.empty()) << p.error;
    const std::vector<DeviceOptions>& m = p.options.meters;
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].mbusPrimary, 3);
    EXPECT_EQ(m[0].MBusIdBcd(), 0x12345678u);
    EXPECT_EQ(m[0].unitAddress, 10);
    EXPECT_EQ(m[0].typeIndex, 2);
    // Not given: one up from the options outside by the meter's place.
    EXPECT_EQ(m[1].mbusPrimary, 1);
    EXPECT_EQ(m[1].unitAddress, 11);
    EXPECT_EQ(m[1].serialNumber, "2100012346");
    EXPECT_EQ(m[1].MBusIdBcd(), 0x00012346u);
    EXPECT_EQ(m[1].typeIndex, 5);
    EXPECT_TRUE(m[1].tariffLocked);
    EXPECT_EQ(m[1].tariff, 0);
    EXPECT_NE(m[1].seed, m[0].seed);
    EXPECT_EQ(m[2].unitAddress, 1);
    EXPECT_EQ(m[2].mbusPrimary, 2);
}
