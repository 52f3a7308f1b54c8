// The Modbus job runner on the real worker thread against meter-sim: over
// Modbus TCP on loopback and over Modbus RTU on a socat pseudo-terminal pair
// that the tool opens as COM5. A cancel during a retry is tried on every job
// family, M-Bus included.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "JobHostRig.h"
#include "comm/MBusLoggerJobs.h"
#include "comm/MBusRunner.h"
#include "comm/ModbusLoggerJobs.h"
#include "comm/Transceiver.h"
#include "core/FrameChecks.h"
#include "core/RequestTemplates.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::Request;
using rig::RequestOf;
using rig::SerialLine;
using rig::TestJobHost;
using Codes = std::vector<uint8_t>;

constexpr Request kClock{3, 10600, 4};
constexpr Request kDemandPeriod{3, 10400, 1};
constexpr Request kWebserver{3, 11000, 1};
constexpr int kComNumber = 5;
constexpr int kMBusBaud9600 = 5;

// A meter and a host talking to it over one transport.
struct Bench {
    std::unique_ptr<SerialLine> line;
    std::unique_ptr<MeterSim> meter;
    std::unique_ptr<TestJobHost> host;
    char transport = tcModbusTcp;

    bool Ready() const { return meter && meter->Ready() && host; }

    std::vector<Request> Requests() const
    {
        std::vector<Request> out;
        for (const auto& f : host->Sent()) out.push_back(RequestOf(f, transport));
        return out;
    }
};

Bench TcpBench(std::vector<std::string> args = {})
{
    Bench b;
    b.transport = tcModbusTcp;
    args.insert(args.begin(), {"--tcp", "127.0.0.1:0"});
    b.meter = std::make_unique<MeterSim>(args);
    if (!b.meter->Ready()) return b;
    b.host = std::make_unique<TestJobHost>(tcModbusTcp);
    if (!b.host->ConnectTcp(b.meter->Port())) b.host.reset();
    if (b.host) b.host->StartWorker(RunModbusLoggerJob);
    return b;
}

// unit: the meter's unit address, which the host addresses too.
Bench RtuBench(std::vector<std::string> args = {}, int unit = 1)
{
    Bench b;
    b.transport = tcModbusRtu;
    b.line = std::make_unique<SerialLine>(kComNumber);
    if (!b.line->Ready()) return b;
    args.insert(args.begin(), {"--rtu", b.line->MeterEnd(), "--unit", std::to_string(unit)});
    b.meter = std::make_unique<MeterSim>(args);
    if (!b.meter->Ready()) return b;
    b.host = std::make_unique<TestJobHost>(tcModbusRtu);
    b.host->DeviceAddress = static_cast<uint8_t>(unit);
    if (!b.host->OpenSerial(kComNumber - 1)) b.host.reset();
    if (b.host) b.host->StartWorker(RunModbusLoggerJob);
    return b;
}

// M-Bus at 9600 Bd, the meter at primary address 1.
Bench MBusBench(std::vector<std::string> args = {})
{
    Bench b;
    b.transport = tcMBus;
    b.line = std::make_unique<SerialLine>(kComNumber);
    if (!b.line->Ready()) return b;
    args.insert(args.begin(), {"--mbus", b.line->MeterEnd(), "--mbus-baud", "9600", "--primary", "1"});
    b.meter = std::make_unique<MeterSim>(args);
    if (!b.meter->Ready()) return b;
    b.host = std::make_unique<TestJobHost>(tcMBus);
    TestJobHost& h = *b.host;
    h.AddressingMode = amPrimary;
    h.MbusBaudIndex = kMBusBaud9600;
    if (!h.OpenSerial(kComNumber - 1, kMBusBaud9600)) {
        b.host.reset();
        return b;
    }
    h.MBusJobStep = [&h] { RunMBusJobStep(h, RunMBusLoggerJob); };
    h.StartWorker();
    return b;
}

Bench BenchFor(char transport, std::vector<std::string> args = {})
{
    if (transport == tcMBus) return MBusBench(std::move(args));
    return transport == tcModbusTcp ? TcpBench(std::move(args)) : RtuBench(std::move(args));
}

// Shortens the serial answer wait so that probes without a meter pass quickly.
void QuickSerialTimeouts(TestJobHost& host, uint32_t totalMs)
{
    SerialTimeouts t = host.SerialPort->Timeouts();
    t.ReadTotalTimeoutConstant = totalMs;
    host.SerialPort->SetTimeouts(t);
}

const char* Name(char transport)
{
    return transport == tcModbusTcp ? "TCP" : transport == tcModbusRtu ? "RTU" : "M-Bus";
}

// ---- request lists ----

TEST(ModbusRequestLists, MainCountersReadTheClockAtTheTenthAndTheLastStep)
{
    Bench b = TcpBench();
    ASSERT_TRUE(b.Ready());
    b.host->HasDemandLogger = 1;
    EXPECT_EQ(b.host->RunJob(jcModbusMainCounters), Codes{urMainCountersRead});
    const std::vector<Request> sent = b.Requests();
    ASSERT_EQ(sent.size(), 16u);
    for (size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i] == kClock, i == 9 || i == 15) << "request " << i;
    EXPECT_EQ(sent[0], (Request{4, 300, 14}));
    EXPECT_FALSE(b.host->CounterTotals[0].empty());
    EXPECT_FALSE(b.host->DeviceTimeDateText.empty());
    EXPECT_EQ(b.host->JobCode.load(), 0);
    EXPECT_EQ(b.host->ReadStepBusy.load(), 0);
}

TEST(ModbusRequestLists, DemandPeriodIsReadOnlyFromAMeterWithADemandLogger)
{
    struct Row {
        uint8_t job;
        uint8_t hasLogger;
        size_t requests;
        uint8_t result;
    };
    const Row rows[] = {
        {jcModbusMeasurement, 1, 8, urMeasurementRead},     {jcModbusMeasurement, 0, 7, urMeasurementRead},
        {jcModbusFreezeCounters, 1, 14, urFreezeCountersRead}, {jcModbusFreezeCounters, 0, 13, urFreezeCountersRead},
        {jcModbusResettableCounters, 0, 13, urResettableCountersRead},
        {jcModbusMainCounters, 0, 15, urMainCountersRead},
    };
    Bench withLogger = TcpBench();
    Bench without = TcpBench({"--variant", "0"});
    ASSERT_TRUE(withLogger.Ready());
    ASSERT_TRUE(without.Ready());
    for (const Row& row : rows) {
        Bench& b = row.hasLogger ? withLogger : without;
        b.host->HasDemandLogger = row.hasLogger;
        EXPECT_EQ(b.host->RunJob(row.job), Codes{row.result}) << "job " << int(row.job);
        const std::vector<Request> sent = b.Requests();
        EXPECT_EQ(sent.size(), row.requests) << "job " << int(row.job);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), kDemandPeriod), row.hasLogger) << "job " << int(row.job);
    }
}

TEST(ModbusRequestLists, ShortListsAndTheirResults)
{
    struct Row {
        uint8_t job;
        std::vector<Request> requests;
        uint8_t result;
    };
    const Row rows[] = {
        {jcModbusDeviceTime, {kClock, {4, 412, 1}}, urDeviceTimeRead},
        {jcModbusResettableSetup, {{3, 10700, 4}}, urResettableSetupRead},
        {jcModbusFreezeSetup, {{3, 10800, 4}}, urFreezeSetupRead},
        {jcModbusReadTariffResult, {{4, 412, 1}, {3, 10500, 1}}, urTariffResultRead},
    };
    Bench b = RtuBench();
    ASSERT_TRUE(b.Ready());
    for (const Row& row : rows) {
        EXPECT_EQ(b.host->RunJob(row.job), Codes{row.result}) << "job " << int(row.job);
        EXPECT_EQ(b.Requests(), row.requests) << "job " << int(row.job);
    }
    EXPECT_FALSE(b.host->ActualTariffText.empty());
}

// ---- identification ----

TEST(ModbusIdentification, EightRequestsOverRtuNineOverTcpTheWebServerLast)
{
    struct Row {
        char transport;
        const char* variant;
        size_t requests;
    };
    for (const Row& row : {Row{tcModbusRtu, "1", 8}, Row{tcModbusTcp, "1", 9}, Row{tcModbusRtu, "0", 7},
                           Row{tcModbusTcp, "0", 8}}) {
        SCOPED_TRACE(std::string(Name(row.transport)) + " variant " + row.variant);
        Bench b = BenchFor(row.transport, {"--variant", row.variant});
        ASSERT_TRUE(b.Ready());
        // Left from a device before: the first answer decides.
        b.host->HasDemandLogger = row.variant[0] == '0' ? 1 : 0;
        EXPECT_EQ(b.host->RunJob(jcModbusIdentify), Codes{urConnected});
        const std::vector<Request> sent = b.Requests();
        ASSERT_EQ(sent.size(), row.requests);
        EXPECT_EQ(sent.front(), (Request{4, 3000, 36}));
        EXPECT_EQ(sent.back() == kWebserver, row.transport == tcModbusTcp);
        EXPECT_EQ(b.host->SerialNumberText, " TQ2100012345");
        EXPECT_TRUE(b.host->ProtocolModes().empty());
    }
}

TEST(ModbusIdentification, TerminateWhileConnectingEndsWithCancelled)
{
    Bench b = TcpBench({"--delay-ms", "40"});
    ASSERT_TRUE(b.Ready());

    // The mark set before the job: the whole list runs, then the cancel stands.
    b.host->ConnectCancelled = 1;
    EXPECT_EQ(b.host->RunJob(jcModbusIdentify), Codes{urCancelled});
    EXPECT_EQ(b.host->ConnectCancelled.load(), 0);
    EXPECT_EQ(b.host->Sent().size(), 9u);

    // Terminate in the middle: the job stops at its next check with 120, not 123.
    b.host->ClearRecords();
    b.host->Results.clear();
    b.host->SetJob(jcModbusIdentify);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Sent().size() >= 2; }));
    b.host->ConnectCancelled = 1;
    b.host->SetJob(0);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Idle(); }));
    EXPECT_EQ(b.host->Results, Codes{urCancelled});
    EXPECT_LT(b.host->Sent().size(), 9u);
    EXPECT_EQ(b.host->ReadStepBusy.load(), 0);
}

// ---- scan ----

TEST(ModbusScan, OverTcpEveryUnitAnswersAndIsReportedOnce)
{
    Bench b = TcpBench();
    ASSERT_TRUE(b.Ready());
    EXPECT_EQ(b.host->RunJob(jcModbusScan, 60s), Codes{urScanFinished});
    std::string all = " ";
    for (int unit = 1; unit <= 247; ++unit) all += std::to_string(unit) + ",";
    EXPECT_EQ(b.host->FoundAddresses, all);
    const auto reports = b.host->ProgressReports();
    ASSERT_EQ(reports.size(), 247u);
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].item, i + 1);
        EXPECT_EQ(reports[i].total, 494u);
        EXPECT_EQ(reports[i].kind, pkAddressScan);
    }
    // Every probe carries unit 01 over TCP.
    for (const auto& f : b.host->Sent()) ASSERT_EQ(f[6], 1);
}

TEST(ModbusScan, OverRtuFindsTheMeterAndReportsEveryProbeTheRepeatedOnesToo)
{
    Bench b = RtuBench({}, 5);
    ASSERT_TRUE(b.Ready());
    QuickSerialTimeouts(*b.host, 15);
    EXPECT_EQ(b.host->RunJob(jcModbusScan, 90s), Codes{urScanFinished});
    EXPECT_EQ(b.host->FoundAddresses, " 5,");
    const auto reports = b.host->ProgressReports();
    // Twice for every unit but the one that answered at once.
    ASSERT_EQ(reports.size(), 493u);
    EXPECT_EQ(reports.back().item, 247u);
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(), [](const rig::Progress& p) { return p.item == 5; }), 1);
    const auto sent = b.host->Sent();
    ASSERT_EQ(sent.size(), 493u);
    EXPECT_EQ(sent[0][0], 1);
    EXPECT_EQ(sent[1][0], 1);
    EXPECT_EQ(sent[2][0], 2);
}

TEST(ModbusScan, CancelStopsAtTheNextUnit)
{
    Bench b = TcpBench({"--delay-ms", "5"});
    ASSERT_TRUE(b.Ready());
    b.host->SetJob(jcModbusScan);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->ProgressReports().size() >= 10; }));
    b.host->SetJob(0);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Idle(); }));
    EXPECT_EQ(b.host->Results, Codes{urCancelled});
    const size_t probed = b.host->ProgressReports().size();
    EXPECT_LT(probed, 247u);
    // The list holds what was found up to the cancel.
    EXPECT_EQ(std::count(b.host->FoundAddresses.begin(), b.host->FoundAddresses.end(), ','), probed);
}

TEST(ModbusScan, PortThatDidNotOpenEndsAtOnce)
{
    TestJobHost host(tcModbusRtu);
    host.StartWorker();
    host.PortOpenError = 1;
    EXPECT_EQ(host.RunJob(jcModbusScan), Codes{urPortNotAvailable});
    EXPECT_TRUE(host.Sent().empty());
    EXPECT_TRUE(host.ProgressReports().empty());
}

// ---- retries and failures ----

TEST(ModbusRetries, EachRequestIsRetriedOnceAfterAMiss)
{
    struct Row {
        char transport;
        std::vector<std::string> faults;
    };
    const Row rows[] = {
        {tcModbusRtu, {"--no-answer-every", "3"}},
        {tcModbusRtu, {"--bad-crc-every", "2"}},
        // The late answer of the first try arrives while the retry waits.
        {tcModbusTcp, {"--delay-ms", "2300", "--delay-every", "4"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(Name(row.transport)) + " " + row.faults[0]);
        Bench b = BenchFor(row.transport, row.faults);
        ASSERT_TRUE(b.Ready());
        if (row.transport == tcModbusRtu) QuickSerialTimeouts(*b.host, 150);
        b.host->HasDemandLogger = 1;
        EXPECT_EQ(b.host->RunJob(jcModbusMeasurement), Codes{urMeasurementRead});
        const std::vector<Request> sent = b.Requests();
        ASSERT_GT(sent.size(), 8u);
        // A miss repeats the same request once, never twice.
        std::vector<Request> distinct;
        for (size_t i = 0; i < sent.size(); ++i) {
            if (i > 0 && sent[i] == sent[i - 1]) {
                EXPECT_FALSE(i > 1 && sent[i - 1] == sent[i - 2]) << "request " << i;
                continue;
            }
            distinct.push_back(sent[i]);
        }
        EXPECT_EQ(distinct.size(), 8u);
        EXPECT_FALSE(b.host->TextU1.empty());
    }
}

TEST(ModbusFailures, AMeterThatStopsAnsweringEndsTheJob)
{
    struct Row {
        char transport;
        uint8_t job;
        uint8_t result;
        std::vector<int> modes;
    };
    // A failed identification keeps the layout of the transport in use.
    const Row rows[] = {
        {tcModbusRtu, jcModbusMeasurement, urNoAnswer, {}},
        {tcModbusRtu, jcModbusIdentify, urIdentifyFailed, {51}},
        {tcModbusTcp, jcModbusIdentify, urIdentifyFailed, {52}},
        {tcModbusRtu, jcModbusSetDemandPeriod, urNoAnswer, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(Name(row.transport)) + " job " + std::to_string(row.job));
        Bench b = BenchFor(row.transport, {"--no-answer-every", "1"});
        ASSERT_TRUE(b.Ready());
        if (row.transport == tcModbusRtu) QuickSerialTimeouts(*b.host, 100);
        b.host->CustomRequest[0] = 8;
        std::copy(std::begin(TplModbusIn412x1) + 1, std::end(TplModbusIn412x1), b.host->CustomRequest + 1);
        EXPECT_EQ(b.host->RunJob(row.job), Codes{row.result});
        EXPECT_EQ(b.host->Sent().size(), 2u);
        EXPECT_EQ(b.host->ProtocolModes(), row.modes);
        EXPECT_EQ(b.host->Count("StopDisplayRefresh"), 1);
        EXPECT_EQ(b.host->Count("StopBusyIndicator"), 1);
        EXPECT_EQ(b.host->JobCode.load(), 0);
        EXPECT_EQ(b.host->ReadStepBusy.load(), 0);
    }
}

TEST(ModbusFailures, ADroppedConnectionRunsIntoTheAnswerTimeOut)
{
    Bench b = TcpBench({"--drop-after", "3"});
    ASSERT_TRUE(b.Ready());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(b.host->RunJob(jcModbusMeasurement), Codes{urNoAnswer});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(b.host->TcpConnected.load(), 0);
    EXPECT_TRUE(b.host->SocketErrors.empty());
    // Three answered, then the fourth twice into the 2000 ms wait.
    EXPECT_EQ(b.host->Sent().size(), 5u);
    EXPECT_GE(took, 4000ms);
    EXPECT_LT(took, 7000ms);
}

TEST(ModbusPortGuard, ASerialPortThatFailedStopsTheJobUnlessTheSocketIsConnected)
{
    {
        TestJobHost host(tcModbusRtu);
        host.StartWorker();
        host.PortOpenError = 1;
        EXPECT_EQ(host.RunJob(jcModbusMainCounters), Codes{urNoAnswer});
        EXPECT_TRUE(host.Sent().empty());
        EXPECT_EQ(host.Count("StopDisplayRefresh"), 1);
        EXPECT_EQ(host.Count("StopBusyIndicator"), 1);
        EXPECT_EQ(host.ReadStepBusy.load(), 0);
    }
    Bench b = TcpBench();
    ASSERT_TRUE(b.Ready());
    b.host->PortOpenError = 1;
    EXPECT_EQ(b.host->RunJob(jcModbusDeviceTime), Codes{urDeviceTimeRead});
    EXPECT_EQ(b.host->Sent().size(), 2u);
}

// ---- writes, cancel, logger jobs ----

TEST(ModbusWrites, PreparedRequestIsSentAndItsResultPosted)
{
    // Demand period 30 minutes into holding register 10400.
    const uint8_t write[] = {11, 1, 0x01, 0x10, 0x28, 0xA0, 0x00, 0x01, 0x02, 0x00, 0x1E, 0x00, 0x00};
    for (char transport : {tcModbusRtu, tcModbusTcp}) {
        SCOPED_TRACE(Name(transport));
        Bench b = BenchFor(transport);
        ASSERT_TRUE(b.Ready());
        std::copy(std::begin(write), std::end(write), b.host->CustomRequest);
        // On RTU a write answer ends only by the port's total time-out.
        if (transport == tcModbusRtu) QuickSerialTimeouts(*b.host, 200);
        EXPECT_EQ(b.host->RunJob(jcModbusSetDemandPeriod), Codes{urDemandPeriodSet});
        ASSERT_EQ(b.Requests(), (std::vector<Request>{{16, 10400, 1}}));
        b.host->HasDemandLogger = 1;
        EXPECT_EQ(b.host->RunJob(jcModbusMeasurement), Codes{urMeasurementRead});
        EXPECT_NE(b.host->DemandPeriodText.find("30"), std::string::npos) << b.host->DemandPeriodText;
    }
}

TEST(ModbusWrites, TariffWriteArmsTheSetupTimerWhateverTheAnswer)
{
    const uint8_t write[] = {11, 1, 0x01, 0x10, 0x28, 0xA0, 0x00, 0x01, 0x02, 0x00, 0x1E, 0x00, 0x00};
    Bench b = RtuBench({"--no-answer-every", "1"});
    ASSERT_TRUE(b.Ready());
    QuickSerialTimeouts(*b.host, 50);
    std::copy(std::begin(write), std::end(write), b.host->CustomRequest);
    EXPECT_EQ(b.host->RunJob(jcModbusSetTariff), Codes{urNoAnswer});
    EXPECT_EQ(b.host->Count("StartTimerSetup"), 2);
}

TEST(ModbusJobs, SettingTheJobToIdleCancelsAtTheNextRequest)
{
    Bench b = TcpBench({"--delay-ms", "30"});
    ASSERT_TRUE(b.Ready());
    b.host->SetJob(jcModbusMainCounters);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Sent().size() >= 3; }));
    b.host->SetJob(0);
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Idle(); }));
    EXPECT_EQ(b.host->Results, Codes{urJobCancelled});
    EXPECT_LT(b.host->Sent().size(), 16u);
    EXPECT_EQ(b.host->ReadStepBusy.load(), 0);
}

// A cancel that lands while a silent meter's request is retried (a disconnect,
// the terminate button) ends the job as cancelled, in every job family: no
// "no answer", which would report a failure and disconnect a second time, and
// no request after the one under way. The tariff frame has no retry; the
// cancel lands during its one exchange. With no request (0), the port is gone
// and the cancel lands as the runner finds so, before it ends the job.
TEST(CancelDuringTheRetry, EveryJobFamilyEndsAsCancelledAlone)
{
    struct Row {
        const char* family;
        char transport;
        uint8_t job;
        size_t requests;  // the request under way when the cancel lands
    };
    const Row rows[] = {
        {"request list", tcModbusRtu, jcModbusMeasurement, 2},
        {"request list", tcModbusTcp, jcModbusMeasurement, 2},
        {"logger walk", tcModbusRtu, jcModbusDemandLogger, 2},
        {"logger walk", tcModbusTcp, jcModbusDemandLogger, 2},
        {"logger walk", tcMBus, jcMBusDemandLogger, 2},
        {"read sequence", tcMBus, jcMBusMeasurement, 2},
        {"short read", tcMBus, jcMBusDeviceTime, 2},
        {"tariff frame", tcMBus, jcMBusSetTariff, 1},
        {"port check", tcModbusRtu, jcModbusMeasurement, 0},
        {"port check", tcMBus, jcMBusMeasurement, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.family) + " over " + Name(row.transport));
        Bench b = BenchFor(row.transport, {"--no-answer-every", "1"});
        ASSERT_TRUE(b.Ready());
        if (row.transport != tcModbusTcp) QuickSerialTimeouts(*b.host, 600);
        if (row.job == jcMBusSetTariff) {
            const uint8_t tariff[] = {0x68, 0x07, 0x07, 0x68, 0x73, 0x00, 0x51, 0x01, 0xFF, 0x24, 0x02, 0x00, 0x16};
            b.host->CustomRequest[0] = sizeof tariff;
            b.host->CustomRequest[1] = 6;
            std::copy(std::begin(tariff), std::end(tariff), b.host->CustomRequest + 2);
        }
        if (row.requests == 0) {
            b.host->PortOpenError = 1;
            b.host->OnStopDisplayRefresh = [&b] { b.host->SetJob(0); };
        }
        b.host->SetJob(row.job);
        if (row.requests > 0) {
            ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Sent().size() >= row.requests; }));
            b.host->SetJob(0);
        }
        ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Idle(); }));
        EXPECT_EQ(b.host->Results, Codes{urJobCancelled});
        EXPECT_EQ(b.host->Sent().size(), row.requests);
        // The port check stops the busy indicator before it looks at the job.
        EXPECT_EQ(b.host->Count("StopBusyIndicator"), row.requests == 0 ? 1 : 0);
    }
}

TEST(ModbusJobs, LoggerJobsGoToTheirOwnRunner)
{
    for (uint8_t job : {jcModbusEventsLogger, jcModbusDemandLogger, jcModbusDemandInterval, jcModbusCertifiedLogger}) {
        TestJobHost without(tcModbusTcp);
        without.StartWorker();
        EXPECT_TRUE(without.RunJob(job).empty()) << "job " << int(job);
        EXPECT_EQ(without.JobCode.load(), 0);

        TestJobHost with(tcModbusTcp);
        std::atomic<int> ran{0};
        with.StartWorker([&](IJobHost& host, uint8_t j) {
            ran = j;
            EXPECT_TRUE(host.PortGate().HeldByThisThread());
            host.Jobs().SetJob(0);
            host.Jobs().SetUiRequest(urEventsLoggerRead);
        });
        EXPECT_EQ(with.RunJob(job), Codes{urEventsLoggerRead});
        EXPECT_EQ(ran.load(), job);
    }
}

// A code that the transport's runner does not carry ends at once as a failure
// the user sees, so a later job (a connect's identification) is never parked
// behind it for good; no frame goes out.
TEST(JobsWithoutARunner, EndAtOnceWithAFailure)
{
    struct Row {
        char transport;
        uint8_t job;
        uint8_t result;
    };
    const Row rows[] = {
        {tcModbusTcp, jcMBusIdentify, urIdentifyFailed}, {tcModbusTcp, jcMBusMeasurement, urNoAnswer},
        {tcModbusRtu, 40, urNoAnswer},                   {tcModbusTcp, 46, urNoAnswer},
        {tcMBus, jcModbusIdentify, urIdentifyFailed},    {tcMBus, jcModbusMeasurement, urNoAnswer},
        {tcMBus, 14, urNoAnswer},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("transport " + std::string(1, row.transport) + ", job " + std::to_string(row.job));
        TestJobHost host(row.transport);
        host.MBusJobStep = [&host] { RunMBusJobStep(host); };
        host.StartWorker();
        EXPECT_EQ(host.RunJob(row.job, 2s), Codes{row.result});
        EXPECT_TRUE(host.Idle());
        EXPECT_TRUE(host.Sent().empty());
        EXPECT_EQ(host.PendingJob.load(), 0);
        EXPECT_EQ(host.Count("StopDisplayRefresh"), 1);
    }
}

// An exception of the port (here: none is open) ends the job; ReadStepBusy,
// which holds the display refresh back, does not stay set behind it.
TEST(ReadStepBusy, ClearedWhenTheExchangeThrows)
{
    struct Row {
        char transport;
        uint8_t job;
    };
    for (const Row& row : {Row{tcModbusRtu, jcModbusMeasurement}, Row{tcModbusRtu, jcModbusIdentify},
                           Row{tcMBus, jcMBusMeasurement}, Row{tcMBus, jcMBusIdentify}}) {
        SCOPED_TRACE("job " + std::to_string(row.job));
        TestJobHost host(row.transport);
        host.AddressingMode = amPrimary;
        host.MBusJobStep = [&host] { RunMBusJobStep(host); };
        std::atomic<int> faults{0};
        host.WorkerFaultHook = [&faults](std::exception_ptr) { ++faults; };
        host.StartWorker();
        host.RunJob(row.job, 5s);
        EXPECT_TRUE(host.Idle());
        EXPECT_EQ(faults.load(), 1);
        EXPECT_EQ(host.ReadStepBusy.load(), 0);
    }
}

// ---- the port between the worker and the UI thread ----

TEST(ModbusPortGate, ADirectExchangeWaitsForTheRunningJob)
{
    Bench b = RtuBench({"--delay-ms", "15"});
    ASSERT_TRUE(b.Ready());
    b.host->HasDemandLogger = 1;
    b.host->SetJob(jcModbusMainCounters);
    ASSERT_TRUE(rig::PumpUntil([&] { return !b.host->Sent().empty(); }));
    // From the UI thread, as a setup command does: waits until the job is done.
    const TExchangeResult direct = SendRequestTemplate(*b.host, TplModbusIn412x1, 1);
    EXPECT_EQ(direct, erValidAnswer);
    const std::vector<Request> sent = b.Requests();
    ASSERT_GE(sent.size(), 17u);
    EXPECT_EQ(sent.back(), (Request{4, 412, 1}));
    ASSERT_TRUE(rig::PumpUntil([&] { return b.host->Idle(); }));
    EXPECT_EQ(b.host->Results, Codes{urMainCountersRead});
    EXPECT_EQ(b.host->Sent().size(), 17u);
}

}  // namespace
