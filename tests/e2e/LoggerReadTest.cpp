// The Modbus logger reads on the real worker against meter-sim, over Modbus TCP
// on loopback and Modbus RTU on a socat pair: every record stored equals the
// record the meter holds, also when the meter loses answers, and a read that
// ends early keeps what it read.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "../unit/MeterSimHarness.h"
#include "JobHostRig.h"
#include "MBusPeer.h"
#include "comm/MBusLoggerJobs.h"
#include "comm/MBusRunner.h"
#include "comm/ModbusLoggerJobs.h"
#include "core/FrameChecks.h"
#include "meter/MeterOptions.h"
#include "meter/ModbusRecordLayouts.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/SimMeter.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::SerialLine;
using rig::TestJobHost;
using Codes = std::vector<uint8_t>;

constexpr int kComNumber = 6;
constexpr const char* kClock = "2024-05-07 13:31:00";

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

std::string Hex16(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
    return text;
}

// " n.nnn " with the scale code's decimals.
std::string EnergyText(double wh, const meter::UnitChoice& unit)
{
    static constexpr int kDecimals[] = {3, 2, 1, 0, 2, 1, 0};
    const int32_t raw = meter::Raw32(wh, unit.resolution);
    std::string digits = std::to_string(raw);
    const int d = kDecimals[unit.code];
    if (d > 0) {
        if (static_cast<int>(digits.size()) <= d) digits.insert(0, static_cast<size_t>(d + 1) - digits.size(), '0');
        digits.insert(digits.size() - static_cast<size_t>(d), ".");
    }
    return " " + digits + " ";
}

std::string DateOf(const meter::CivilTime& t)
{
    return " " + std::to_string(t.year) + "-" + Two(t.month) + "-" + Two(t.day);
}

// The meter that meter-sim builds from the same arguments and clock.
struct MeterModel {
    explicit MeterModel(const std::vector<std::string>& args) : clock(*meter::ParseCivil(kClock))
    {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--tcp", "127.0.0.1:0", "--clock", kClock});
        options = meter::ParseMeterSimArgs(all).options.device;
        sim = std::make_unique<meter::SimMeter>(options, clock.Source());
        map = std::make_unique<meter::ModbusRegisterMap>(*sim);
    }
    // Newest first, as the tool stores them.
    template <typename Record>
    static const Record& Nth(const meter::NumberedLog<Record>& log, size_t k)
    {
        return log.Records()[log.Size() - 1 - k];
    }
    void ExpectDemand(const CDemandLogger& got, size_t k) const
    {
        const meter::DemandRecord& r = Nth(sim->DemandLog(), k);
        const meter::CivilTime t = meter::FromSeconds(r.time);
        const meter::UnitChoice unit = map->EnergyUnit();
        EXPECT_EQ(got.Date, DateOf(t)) << "record " << k;
        EXPECT_EQ(got.Tariff, " " + std::to_string(r.tariff)) << "record " << k;
        EXPECT_EQ(got.EpIn, EnergyText(r.epIn, unit)) << "record " << k;
        EXPECT_EQ(got.EpOut, EnergyText(r.epOut, unit)) << "record " << k;
        EXPECT_EQ(got.Status, " " + Hex16(r.status1) + ", " + Hex16(r.status2)) << "record " << k;
        if (options.IsLargeLogger()) {
            EXPECT_EQ(got.Time, " " + Two(t.hour) + ":" + Two(t.minute)) << "record " << k;
            EXPECT_EQ(got.RecordNo, std::to_string(r.number)) << "record " << k;
        } else {
            EXPECT_EQ(got.Time, Two(t.hour) + ":" + Two(t.minute) + ":" + Two(t.second)) << "record " << k;
            EXPECT_EQ(got.Period, std::to_string(r.period)) << "record " << k;
            EXPECT_EQ(got.EqIn, EnergyText(r.eqIn, unit)) << "record " << k;
        }
    }
    void ExpectEvent(const EventRecord& got, size_t k) const
    {
        const meter::EventRecord& e = Nth(sim->EventLog(), k);
        const meter::CivilTime t = meter::FromSeconds(e.time);
        EXPECT_EQ(got.Date, DateOf(t)) << "event " << k;
        EXPECT_EQ(got.Time, Two(t.hour) + ":" + Two(t.minute) + ":" + Two(t.second)) << "event " << k;
        EXPECT_EQ(got.EventCode, " " + Hex16(e.code).substr(2)) << "event " << k;
        std::string params;
        for (const uint8_t p : e.params) params += (params.empty() ? " " : "  ") + Hex16(p).substr(2);
        EXPECT_EQ(got.Parameters, params) << "event " << k;
    }
    void ExpectCertified(const CCertifiedLogger& got, size_t k) const
    {
        const meter::CertifiedEntry& c = Nth(sim->CertifiedLog(), k);
        const auto stamp = [](int64_t s) {
            const meter::CivilTime t = meter::FromSeconds(s);
            return DateOf(t) + "  " + Two(t.hour) + ":" + Two(t.minute) + ":" + Two(t.second);
        };
        EXPECT_EQ(got.EntryId, std::to_string(c.number)) << "entry " << k;
        EXPECT_EQ(got.Event, "0" + std::to_string(c.event)) << "entry " << k;
        EXPECT_EQ(got.OldTime, stamp(c.oldTime)) << "entry " << k;
        EXPECT_EQ(got.NewTime, stamp(c.newTime)) << "entry " << k;
        EXPECT_EQ(got.Checksum, " " + Hex16(meter::CertifiedEntryBytes(&c)[29]).substr(2)) << "entry " << k;
    }

    metersim_test::FakeClock clock;
    meter::DeviceOptions options;
    std::unique_ptr<meter::SimMeter> sim;
    std::unique_ptr<meter::ModbusRegisterMap> map;
};

struct MeterLink {
    std::unique_ptr<SerialLine> line;
    std::unique_ptr<MeterSim> meter;
    std::unique_ptr<TestJobHost> host;
    bool Ready() const { return meter && meter->Ready() && host; }
};

MeterLink Start(char transport, std::vector<std::string> args, uint8_t variant)
{
    MeterLink s;
    args.insert(args.end(), {"--clock", kClock});
    if (transport == tcModbusTcp) {
        args.insert(args.begin(), {"--tcp", "127.0.0.1:0"});
        s.meter = std::make_unique<MeterSim>(args);
        if (!s.meter->Ready()) return s;
        s.host = std::make_unique<TestJobHost>(tcModbusTcp);
        if (!s.host->ConnectTcp(s.meter->Port())) s.host.reset();
    } else {
        s.line = std::make_unique<SerialLine>(kComNumber);
        if (!s.line->Ready()) return s;
        args.insert(args.begin(), {"--rtu", s.line->MeterEnd()});
        s.meter = std::make_unique<MeterSim>(args);
        if (!s.meter->Ready()) return s;
        s.host = std::make_unique<TestJobHost>(tcModbusRtu);
        if (!s.host->OpenSerial(kComNumber - 1)) {
            s.host.reset();
            return s;
        }
        SerialTimeouts t = s.host->SerialPort->Timeouts();
        t.ReadTotalTimeoutConstant = 300;
        s.host->SerialPort->SetTimeouts(t);
    }
    if (!s.host) return s;
    s.host->DeviceVariant = variant;
    s.host->HasDemandLogger = variant != 0;
    s.host->StartWorker(RunModbusLoggerJob);
    return s;
}

const char* Name(char transport) { return transport == tcModbusTcp ? "TCP" : "RTU"; }

constexpr int kMBusBaud9600 = 5;

// The tool's end of the line, at primary address 1; null if the port did not open.
std::unique_ptr<TestJobHost> MBusHost()
{
    auto host = std::make_unique<TestJobHost>(tcMBus);
    TestJobHost& h = *host;
    h.AddressingMode = amPrimary;
    h.MbusBaudIndex = kMBusBaud9600;
    if (!h.OpenSerial(kComNumber - 1, kMBusBaud9600)) return nullptr;
    h.HasDemandLogger = 1;
    h.MBusJobStep = [&h] { RunMBusJobStep(h, RunMBusLoggerJob); };
    h.StartWorker();
    return host;
}

MeterLink StartMBus(std::vector<std::string> args)
{
    MeterLink s;
    s.line = std::make_unique<SerialLine>(kComNumber);
    if (!s.line->Ready()) return s;
    args.insert(args.begin(), {"--mbus", s.line->MeterEnd(), "--mbus-baud", "9600", "--primary", "1"});
    args.insert(args.end(), {"--clock", kClock});
    s.meter = std::make_unique<MeterSim>(args);
    if (!s.meter->Ready()) return s;
    s.host = MBusHost();
    return s;
}

// Over M-Bus, with answers spoilt or lost on the way: every record once.
TEST(MBusLoggerRead, EveryRecordEqualsTheMetersAlsoAfterSpoiltAnswers)
{
    struct Row {
        uint8_t job;
        std::vector<std::string> fault;
    };
    const Row rows[] = {
        {jcMBusDemandLogger, {}},
        {jcMBusEventsLogger, {}},
        {jcMBusDemandLogger, {"--bad-checksum-every", "4"}},
        {jcMBusDemandLogger, {"--no-answer-every", "5"}},
        {jcMBusEventsLogger, {"--short-frame-every", "3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "job " << int(row.job) << " " << (row.fault.empty() ? "" : row.fault[0]));
        std::vector<std::string> args = {"--variant", "1", "--demand-records", "8", "--event-records", "8"};
        args.insert(args.end(), row.fault.begin(), row.fault.end());
        MeterLink s = StartMBus(args);
        ASSERT_TRUE(s.Ready());
        const MeterModel model(args);
        TestJobHost& h = *s.host;
        h.DemandCount = h.EventsCount = 10;
        const bool demand = row.job == jcMBusDemandLogger;
        EXPECT_EQ(h.RunJob(row.job, 60s), Codes{demand ? urDemandLoggerRead : urEventsLoggerRead});
        EXPECT_EQ(demand ? h.DemandItemCount.load() : h.EventItemCount.load(), 8);
        for (size_t k = 0; k < 8; ++k) {
            if (demand) model.ExpectDemand(h.DemandRecords[k], k);
            else model.ExpectEvent(h.EventRecords[k], k);
        }
    }
}

// A meter whose end-of-log answer (answer bytes 19 to 21 all FF) otherwise
// looks like a record: the read holds the records before it, not the end mark.
TEST(MBusLoggerRead, TheEndMarkIsNoRecord)
{
    constexpr int kHeld = 3;
    SerialLine line(kComNumber);
    ASSERT_TRUE(line.Ready());
    int place = 0;  // the peer's thread only
    rig::MBusPeer peer(line.MeterEnd(), [&place](const Codes& request, int) -> Codes {
        if (request.size() != 13 || request[6] != 0x51) return {0xE5};
        const uint8_t selector = request[10];  // 00 newest, 01 older, 02 after a miss
        place = selector == 0 ? 0 : selector == 1 ? place + 1 : place;
        // 68 L L 68, C, A, CI 7A and its four header bytes, then the record from byte 11.
        Codes f = {0x68, 0, 0, 0x68, 0x08, 0x01, 0x7A, 0x01, 0x00, 0x00, 0x00};
        Codes record(36, 0x00);
        record[2] = 1;                                                  // tariff
        record[14] = record[28] = 30;                                   // seconds
        record[15] = record[29] = 15;                                   // minutes
        record[16] = record[30] = 10;                                   // hours
        record[17] = record[31] = 7;                                    // day
        record[18] = record[32] = 5;                                    // month
        record[19] = record[33] = 2024 & 0xFF;                          // year
        record[20] = record[34] = 2024 >> 8;
        if (place >= kHeld) record[8] = record[9] = record[10] = 0xFF;  // answer bytes 19 to 21
        f.insert(f.end(), record.begin(), record.end());
        f[1] = f[2] = static_cast<uint8_t>(f.size() - 4);
        f.push_back(MBusChecksum(f.data(), static_cast<int>(f.size())));
        f.push_back(0x16);
        return f;
    });
    ASSERT_TRUE(peer.Open());
    const std::unique_ptr<TestJobHost> h = MBusHost();
    ASSERT_TRUE(h);
    h->DemandCount = h->EventsCount = 10;
    EXPECT_EQ(h->RunJob(jcMBusDemandLogger, 30s), Codes{urDemandLoggerRead});
    EXPECT_EQ(h->DemandItemCount, kHeld);
    EXPECT_EQ(h->RunJob(jcMBusEventsLogger, 30s), Codes{urEventsLoggerRead});
    EXPECT_EQ(h->EventItemCount, kHeld);
}

TEST(ModbusLoggerRead, EveryRecordEqualsTheMetersOnEveryTransportAndVariant)
{
    struct Row {
        uint8_t variant;
        uint8_t job;
        int wanted;
        int held;  // records in the meter's log
        uint8_t result;
        // Requests sent: the records and the end marks read, not one more
        // (also where the next request goes out ahead of the worker).
        int requests;
    };
    const Row rows[] = {
        {1, jcModbusDemandLogger, 30, 24, urDemandLoggerRead, 25},  // the log ends first
        {1, jcModbusDemandLogger, 10, 24, urDemandLoggerRead, 10},
        {1, jcModbusEventsLogger, 20, 13, urEventsLoggerRead, 14},
        {0, jcModbusEventsLogger, 5, 13, urEventsLoggerRead, 5},
        {2, jcModbusDemandLogger, 30, 24, urDemandLoggerRead, 26},  // two empty records end it
        {2, jcModbusDemandLogger, 10, 24, urDemandLoggerRead, 10},
        {2, jcModbusCertifiedLogger, 10, 7, urCertifiedLoggerRead, 16},
        {2, jcModbusCertifiedLogger, 4, 7, urCertifiedLoggerRead, 10},
        {2, jcModbusEventsLogger, 0, 13, urNone, 0},
    };
    for (const char transport : {tcModbusTcp, tcModbusRtu}) {
        for (const uint8_t variant : {0, 1, 2}) {
            const std::vector<std::string> args = {"--variant",        std::to_string(variant), "--demand-records", "24",
                                                   "--event-records", "13", "--certified-entries", "7"};
            MeterLink s = Start(transport, args, variant);
            ASSERT_TRUE(s.Ready()) << Name(transport);
            const MeterModel model(args);
            for (const Row& row : rows) {
                if (row.variant != variant) continue;
                SCOPED_TRACE(testing::Message() << Name(transport) << " variant " << int(variant) << " job "
                                                << int(row.job) << " wanted " << row.wanted);
                TestJobHost& h = *s.host;
                h.DemandCount = h.EventsCount = h.CertifiedCount = row.wanted;
                const Codes got = h.RunJob(row.job);
                EXPECT_EQ(got, row.result == urNone ? Codes{} : Codes{row.result});
                EXPECT_EQ(h.Sent().size(), static_cast<size_t>(row.requests));
                const int read = std::min(row.wanted, row.held);
                if (row.job == jcModbusDemandLogger) {
                    EXPECT_EQ(variant == 2 ? h.RecordCount.load() : h.DemandItemCount.load(), read);
                    for (int k = 0; k < read; ++k) model.ExpectDemand(h.DemandRecords[static_cast<size_t>(k)], static_cast<size_t>(k));
                } else if (row.job == jcModbusEventsLogger && row.wanted > 0) {
                    EXPECT_EQ(h.EventItemCount.load(), read);
                    for (int k = 0; k < read; ++k) model.ExpectEvent(h.EventRecords[static_cast<size_t>(k)], static_cast<size_t>(k));
                } else if (row.job == jcModbusCertifiedLogger) {
                    EXPECT_EQ(h.RecordCount.load(), read);
                    for (int k = 0; k < read; ++k)
                        model.ExpectCertified(h.CertifiedRecords[static_cast<size_t>(k)], static_cast<size_t>(k));
                }
            }
        }
    }
}

// Lost answers of every kind: each record is stored exactly once, in place.
TEST(ModbusLoggerRead, LostAnswersCostNoRecord)
{
    struct Row {
        char transport;
        uint8_t variant;
        uint8_t job;
        std::vector<std::string> fault;
    };
    const Row rows[] = {
        {tcModbusRtu, 1, jcModbusDemandLogger, {"--drop-answer-every", "5"}},
        {tcModbusRtu, 1, jcModbusDemandLogger, {"--no-answer-every", "5"}},
        {tcModbusRtu, 1, jcModbusDemandLogger, {"--bad-crc-every", "4"}},
        {tcModbusRtu, 1, jcModbusDemandLogger, {"--drop-answers", "1"}},  // the very first request
        {tcModbusRtu, 1, jcModbusEventsLogger, {"--drop-answers", "1,4,9"}},
        {tcModbusTcp, 2, jcModbusDemandLogger, {"--drop-answers", "1,5,10"}},
        {tcModbusRtu, 2, jcModbusDemandLogger, {"--drop-answer-every", "5"}},
        // Certified: a lost step answer (the meter moved on), a lost read answer,
        // and a step the meter never saw.
        {tcModbusRtu, 2, jcModbusCertifiedLogger, {"--drop-answers", "1,5,8"}},
        {tcModbusRtu, 2, jcModbusCertifiedLogger, {"--no-answer-every", "5"}},
        {tcModbusTcp, 2, jcModbusCertifiedLogger, {"--drop-answers", "3,6"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << Name(row.transport) << " variant " << int(row.variant) << " job "
                                        << int(row.job) << " " << row.fault[0] << " " << row.fault[1]);
        std::vector<std::string> args = {"--variant", std::to_string(row.variant), "--demand-records", "9",
                                         "--event-records", "9", "--certified-entries", "7"};
        args.insert(args.end(), row.fault.begin(), row.fault.end());
        MeterLink s = Start(row.transport, args, row.variant);
        ASSERT_TRUE(s.Ready());
        const MeterModel model(args);
        TestJobHost& h = *s.host;
        h.DemandCount = h.EventsCount = h.CertifiedCount = 12;
        const uint8_t done = row.job == jcModbusDemandLogger   ? urDemandLoggerRead
                             : row.job == jcModbusEventsLogger ? urEventsLoggerRead
                                                               : urCertifiedLoggerRead;
        EXPECT_EQ(h.RunJob(row.job, 60s), Codes{done});
        for (size_t k = 0; k < 7; ++k) {
            if (row.job == jcModbusDemandLogger) model.ExpectDemand(h.DemandRecords[k], k);
            if (row.job == jcModbusEventsLogger) model.ExpectEvent(h.EventRecords[k], k);
            if (row.job == jcModbusCertifiedLogger) model.ExpectCertified(h.CertifiedRecords[k], k);
        }
        const int count = row.job == jcModbusEventsLogger ? h.EventItemCount.load()
                          : row.job == jcModbusDemandLogger && row.variant != 2 ? h.DemandItemCount.load()
                                                                                : h.RecordCount.load();
        EXPECT_EQ(count, row.job == jcModbusCertifiedLogger ? 7 : 9);
    }
}

// A meter that falls silent, and a user who cancels: the read ends with its
// code and keeps what it read, counted.
TEST(ModbusLoggerRead, ReadEndingEarlyKeepsItsRecords)
{
    for (const uint8_t variant : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "variant " << int(variant));
        const std::vector<std::string> args = {"--variant", std::to_string(variant), "--demand-records", "40",
                                               "--silent-after", "6"};
        MeterLink s = Start(tcModbusRtu, args, variant);
        ASSERT_TRUE(s.Ready());
        const MeterModel model(args);
        TestJobHost& h = *s.host;
        h.DemandCount = 30;
        EXPECT_EQ(h.RunJob(jcModbusDemandLogger), Codes{urNoAnswer});
        EXPECT_EQ(variant == 2 ? h.RecordCount.load() : h.DemandItemCount.load(), 6);
        for (size_t k = 0; k < 6; ++k) model.ExpectDemand(h.DemandRecords[k], k);
    }

    // Long enough to be under way when the progress shown (every 40 ms) leads
    // to the cancel.
    constexpr int kWanted = 4000;
    const std::vector<std::string> args = {"--variant", "1", "--demand-records", std::to_string(kWanted + 10)};
    MeterLink s = Start(tcModbusTcp, args, 1);
    ASSERT_TRUE(s.Ready());
    const MeterModel model(args);
    TestJobHost& h = *s.host;
    h.DemandCount = kWanted;
    // The terminate button: the job code cleared while records come in.
    h.UpdateProgressHook = [&h](uint32_t item, uint32_t, uint8_t) {
        if (item == 4) h.SetJob(jcIdle);
    };
    EXPECT_EQ(h.RunJob(jcModbusDemandLogger), Codes{urJobCancelled});
    // The report reaches the window a little after the record was stored.
    const int read = h.DemandItemCount.load();
    EXPECT_GE(read, 5);
    EXPECT_LT(read, kWanted);
    for (size_t k = 0; k < static_cast<size_t>(read); ++k) model.ExpectDemand(h.DemandRecords[k], k);
}

}  // namespace
