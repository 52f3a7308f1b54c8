// The M-Bus runner against a scripted device on a pseudo-terminal pair: the
// frames of every sequence, the FCB toggle, retries, the port refresh after a
// connect, the change of the select form, the tariff frame and the faults of
// the line.
#include "comm/MBusRunner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "../unit/MBusFrames.h"
#include "JobHostRig.h"
#include "MBusPeer.h"
#include "core/RequestTemplates.h"

namespace {

using namespace std::chrono_literals;
using mbustest::Bytes;
using mbustest::Join;
using mbustest::RspUd;

constexpr int kCom = 9;
constexpr int kBaud9600 = 5;

enum class Fault { None, Silent, BadChecksum, OtherAddress, WrongStart, SecondLField, OneByteShort, AckOnly, OtherId };

// A device at primary address 1 whose answers to REQ_UD2 are the given
// telegrams, stepped on by the FCB toggle. fault(n) spoils the answer to the
// n-th request (0-based).
class ScriptedMeter {
public:
    std::vector<Bytes> Telegrams;
    std::function<Fault(int index, const Bytes& request)> FaultOf = [](int, const Bytes&) { return Fault::None; };

    Bytes Answer(const Bytes& request, int index)
    {
        Bytes answer = {0xE5};
        const bool reqUd2 = request.size() == 5 && (request[1] & 0x4F) == 0x4B;
        if (reqUd2) {
            const int fcb = (request[1] >> 5) & 1;
            if (fcb != lastFcb_ && next_ + 1 < static_cast<int>(Telegrams.size())) ++next_;
            if (next_ < 0) next_ = 0;
            lastFcb_ = fcb;
            answer = Telegrams.at(static_cast<size_t>(next_));
        } else {
            next_ = -1;
            lastFcb_ = -1;
        }
        switch (FaultOf(index, request)) {
        case Fault::None: break;
        case Fault::Silent: return {};
        case Fault::BadChecksum: answer[answer.size() - 2] ^= 0x55; break;
        case Fault::OtherAddress: answer = Readdressed(answer, 7); break;
        case Fault::WrongStart: answer[0] = 0x69; break;
        case Fault::SecondLField: answer[2] = static_cast<uint8_t>(answer[2] - 1); break;
        case Fault::OneByteShort: answer.pop_back(); break;
        case Fault::AckOnly: answer = {0xE5}; break;
        case Fault::OtherId: answer = Reidentified(answer); break;
        }
        return answer;
    }

private:
    static Bytes Readdressed(Bytes frame, uint8_t address)
    {
        if (frame.size() < 8) return frame;
        frame[5] = address;
        uint8_t sum = 0;
        for (size_t k = 4; k + 2 < frame.size(); ++k) sum = static_cast<uint8_t>(sum + frame[k]);
        frame[frame.size() - 2] = sum;
        return frame;
    }
    // Identification 12345679 in place of 12345678.
    static Bytes Reidentified(Bytes frame)
    {
        if (frame.size() < 12) return frame;
        frame[7] = 0x79;
        return Readdressed(frame, frame[5]);
    }
    int next_ = -1;
    int lastFcb_ = -1;
};

const Bytes kVoltageU1 = {0x02, 0xFD, 0xC8, 0x00, 0x01, 0x08, 0x09};  // 231.2 V
const Bytes kCurrentI1 = {0x02, 0xFD, 0xD9, 0x00, 0x01, 0x88, 0x13};  // 5.000 A

class MBusHost : public rig::TestJobHost {
public:
    MBusHost() : rig::TestJobHost(tcMBus)
    {
        MbusBaudIndex = kBaud9600;
        AddressingMode = amPrimary;
    }
    void RefreshCom() override
    {
        ++Refreshes;
        rig::TestJobHost::RefreshCom();
    }
    std::atomic<int> Refreshes{0};
};

class MBusRunnerTest : public testing::Test {
protected:
    void Start(ScriptedMeter& meter)
    {
        ASSERT_TRUE(line_.Ready());
        peer_ = std::make_unique<rig::MBusPeer>(line_.MeterEnd(),
                                                [&meter](const Bytes& r, int n) { return meter.Answer(r, n); });
        ASSERT_TRUE(peer_->Open());
        ASSERT_TRUE(host_.OpenSerial(kCom - 1, kBaud9600));
        host_.MBusJobStep = [this] { RunMBusJobStep(host_, loggerJobs_); };
        host_.StartWorker();
    }
    std::vector<Bytes> Requests() const { return peer_->Requests(); }
    // The C field of every request, or 0x68 for a long frame's start.
    std::vector<int> Kinds() const
    {
        std::vector<int> kinds;
        for (const Bytes& r : Requests()) kinds.push_back(r[0] == 0x10 ? r[1] : r[6]);
        return kinds;
    }

    rig::SerialLine line_{kCom};
    MBusHost host_;
    TMBusLoggerJobStep loggerJobs_;
    // Outlives the peer, whose thread answers from it until the peer is gone.
    ScriptedMeter meter_;
    std::unique_ptr<rig::MBusPeer> peer_;
};

constexpr int kSndNke = 0x40, kFcb1 = 0x7B, kFcb0 = 0x5B;
constexpr int kCiSelect = 0x51, kCiSecondary = 0x52;

TEST_F(MBusRunnerTest, MeasurementInThreeExchangesDecodesTheTelegram)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x0F}}))};
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement), std::vector<uint8_t>{urMeasurementRead});
    EXPECT_EQ(Kinds(), (std::vector<int>{kSndNke, kCiSelect, kFcb1}));
    const Bytes select = Requests().at(1);
    // A fresh connect asks with the manufacturer-specific select record.
    EXPECT_EQ(Bytes(select.begin() + 7, select.begin() + 10), (Bytes{0x0D, 0xFF, 0x51}));
    EXPECT_EQ(select[5], 1);
    EXPECT_EQ(host_.TextU1, " 231.2 V");
    EXPECT_EQ(host_.ReadStepBusy.load(), 0);
}

TEST_F(MBusRunnerTest, TelegramsFollowTheFcbToggleUntilTheFinalOne)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x1F}})), RspUd(Join({kCurrentI1, {0x1F}})),
                       RspUd({0x02, 0xFF, 0x12, 0x88, 0x13, 0x0F})};
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusMainCounters), std::vector<uint8_t>{urMainCountersRead});
    EXPECT_EQ(Kinds(), (std::vector<int>{kSndNke, kCiSelect, kFcb1, kFcb0, kFcb1}));
    EXPECT_EQ(host_.TextU1, " 231.2 V");
    EXPECT_EQ(host_.TextI1, " 5.000 A");
    EXPECT_EQ(host_.TextFreq, " 50.00 Hz");
}

TEST_F(MBusRunnerTest, SecondaryAddressingSelectsByIdentificationAndReadsFromFd)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd({0x01, 0xFF, 0x14, 0x02, 0x0F})};
    Start(meter);
    host_.AddressingMode = amSecondary;
    host_.SecondaryAddress = "12345678";
    EXPECT_EQ(host_.RunJob(jcMBusIdentify), std::vector<uint8_t>{urConnected});
    EXPECT_EQ(Kinds(), (std::vector<int>{kCiSecondary, kSndNke, kCiSelect, kCiSecondary, kFcb1}));
    const std::vector<Bytes> sent = Requests();
    // Identification 12345678 in BCD, least significant first; any manufacturer.
    EXPECT_EQ(Bytes(sent[0].begin() + 7, sent[0].begin() + 13), (Bytes{0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF}));
    for (size_t k : {1u, 4u}) EXPECT_EQ(sent[k][2], 0xFD);
    EXPECT_EQ(host_.SecondaryAddressIdText, " 12345678");
    EXPECT_EQ(host_.ActualTariffText, " 2");
}

TEST_F(MBusRunnerTest, UnderSecondaryAddressingATelegramOfAnotherIdentificationIsAMiss)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd({0x01, 0xFF, 0x14, 0x02, 0x0F})};
    meter.FaultOf = [](int, const Bytes& r) { return r.size() == 5 && r[1] != 0x40 ? Fault::OtherId : Fault::None; };
    Start(meter);
    host_.AddressingMode = amSecondary;
    host_.SecondaryAddress = "1234567F";
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement), std::vector<uint8_t>{urMeasurementRead});
    host_.SecondaryAddress = "12345678";
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement), std::vector<uint8_t>{urNoAnswer});
    EXPECT_EQ(host_.ActualTariffText, " 2");
}

struct MissCase {
    const char* name;
    uint8_t job;
    uint8_t reconnectPending;
    std::set<int> silent;  // requests left unanswered
    std::vector<uint8_t> results;
    int refreshes;
    std::vector<int> kinds;
};

class MBusRunnerMisses : public MBusRunnerTest, public testing::WithParamInterface<MissCase> {};

TEST_P(MBusRunnerMisses, RetryAndGiveUpAsTheSequenceSays)
{
    const MissCase& c = GetParam();
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x1F}})), RspUd({0x02, 0xFF, 0x12, 0x88, 0x13, 0x0F})};
    meter.FaultOf = [&c](int n, const Bytes&) { return c.silent.count(n) ? Fault::Silent : Fault::None; };
    Start(meter);
    host_.ReconnectPending = c.reconnectPending;
    EXPECT_EQ(host_.RunJob(c.job, 60s), c.results);
    EXPECT_EQ(host_.Refreshes.load(), c.refreshes);
    EXPECT_EQ(Kinds(), c.kinds);
    const bool failed = c.results == std::vector<uint8_t>{urNoAnswer} || c.results == std::vector<uint8_t>{urIdentifyFailed};
    EXPECT_EQ(host_.Count("StopBusyIndicator"), failed && c.job != jcMBusDeviceTime ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Misses, MBusRunnerMisses,
    testing::Values(
        // One miss repeats the same request, FCB and all.
        MissCase{"OneMissIsRepeated", jcMBusMeasurement, 0, {2}, {urMeasurementRead}, 0,
                 {kSndNke, kCiSelect, kFcb1, kFcb1, kFcb0}},
        MissCase{"SecondMissEndsTheJob", jcMBusMeasurement, 0, {3, 4}, {urNoAnswer}, 0,
                 {kSndNke, kCiSelect, kFcb1, kFcb0, kFcb0}},
        // Right after a connect: the third miss reopens the port, the fourth ends.
        MissCase{"FreshConnectReopensThePortOnce", jcMBusMeasurement, 1, {0, 1, 2, 3}, {urNoAnswer}, 1,
                 {kSndNke, kSndNke, kSndNke, kSndNke}},
        MissCase{"FreshConnectRecoversAfterTheReopen", jcMBusMeasurement, 1, {0, 1, 2}, {urMeasurementRead}, 1,
                 {kSndNke, kSndNke, kSndNke, kSndNke, kCiSelect, kFcb1, kFcb0}},
        // The short reads retry once per job, not once per request.
        MissCase{"ShortReadRetriesOncePerJob", jcMBusDeviceTime, 0, {0, 3}, {urNoAnswer}, 0,
                 {kSndNke, kSndNke, kCiSelect, kFcb1}},
        MissCase{"ShortReadOneMiss", jcMBusDeviceTime, 0, {2}, {urDeviceTimeRead}, 0,
                 {kSndNke, kCiSelect, kFcb1, kFcb1, kFcb0}}),
    [](const testing::TestParamInfo<MissCase>& p) { return std::string(p.param.name); });

TEST_F(MBusRunnerTest, AcknowledgeInsteadOfDataMovesOnToTheNextTelegram)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x0F}}))};
    meter.FaultOf = [](int n, const Bytes&) { return n == 2 ? Fault::AckOnly : Fault::None; };
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement), std::vector<uint8_t>{urMeasurementRead});
    EXPECT_EQ(Kinds(), (std::vector<int>{kSndNke, kCiSelect, kFcb1, kFcb0}));
    EXPECT_EQ(host_.TextU1, " 231.2 V");
}

TEST_F(MBusRunnerTest, IdentificationFallsBackToTheStoredSelectForm)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd({0x01, 0xFF, 0x14, 0x01, 0x0F})};
    // This device ignores the manufacturer-specific form of the select record.
    meter.FaultOf = [](int, const Bytes& r) {
        return r.size() > 9 && r[0] == 0x68 && r[8] == 0xFF ? Fault::Silent : Fault::None;
    };
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusIdentify, 60s), std::vector<uint8_t>{urConnected});
    EXPECT_EQ(Kinds(), (std::vector<int>{kSndNke, kCiSelect, kCiSelect, kCiSelect, kFcb1}));
    EXPECT_EQ(Requests().at(3)[8], 0xFD);
    EXPECT_EQ(host_.SelectFrameKind.load(), 1);
    EXPECT_TRUE(host_.ProtocolModes().empty());
}

TEST_F(MBusRunnerTest, FailedIdentificationReappliesTheMBusLayout)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd({0x0F})};
    meter.FaultOf = [](int, const Bytes&) { return Fault::Silent; };
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusIdentify, 60s), std::vector<uint8_t>{urIdentifyFailed});
    EXPECT_EQ(host_.ProtocolModes(), std::vector<int>{50});
    EXPECT_EQ(host_.Count("StopDisplayRefresh"), 1);
}

// Answers that must never count: each fault twice on the data request ends the
// job with "no answer" and leaves the values as they were.
class MBusRunnerSpoilt : public MBusRunnerTest, public testing::WithParamInterface<Fault> {};

TEST_P(MBusRunnerSpoilt, DataAnswerIsNeverTakenForTheDevicesAnswer)
{
    const Fault fault = GetParam();
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x0F}}))};
    meter.FaultOf = [fault](int, const Bytes& r) { return r.size() == 5 && r[1] != 0x40 ? fault : Fault::None; };
    Start(meter);
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement, 60s), std::vector<uint8_t>{urNoAnswer});
    EXPECT_EQ(host_.TextU1, "");
    EXPECT_EQ(Kinds(), (std::vector<int>{kSndNke, kCiSelect, kFcb1, kFcb1}));
}

INSTANTIATE_TEST_SUITE_P(Faults, MBusRunnerSpoilt,
                         testing::Values(Fault::BadChecksum, Fault::OtherAddress, Fault::WrongStart,
                                         Fault::SecondLField, Fault::OneByteShort));

TEST_F(MBusRunnerTest, TariffFrameIsSentOnceAndArmsTheResultRead)
{
    ScriptedMeter& meter = meter_;
    Start(meter);
    const Bytes tariff = {0x68, 0x07, 0x07, 0x68, 0x73, 0x00, 0x51, 0x01, 0xFF, 0x24, 0x02, 0x00, 0x16};
    host_.CustomRequest[0] = static_cast<uint8_t>(tariff.size());
    host_.CustomRequest[1] = 6;
    std::memcpy(host_.CustomRequest + 2, tariff.data(), tariff.size());
    EXPECT_EQ(host_.RunJob(jcMBusSetTariff), std::vector<uint8_t>{urTariffSent});
    EXPECT_EQ(host_.Count("StartTimerSetup"), 1);
    ASSERT_EQ(Requests().size(), 1u);
    EXPECT_EQ(Requests()[0][5], 1);

    meter.FaultOf = [](int, const Bytes&) { return Fault::Silent; };
    // Unanswered, the tariff is reported as such, with the device kept.
    EXPECT_EQ(host_.RunJob(jcMBusSetTariff), std::vector<uint8_t>{urTariffNotAnswered});
    EXPECT_EQ(Requests().size(), 2u);
    EXPECT_EQ(host_.Count("StartTimerSetup"), 1);
}

TEST_F(MBusRunnerTest, PortThatDidNotOpenEndsEveryJobAtOnce)
{
    ScriptedMeter& meter = meter_;
    Start(meter);
    host_.PortOpenError = 1;
    EXPECT_EQ(host_.RunJob(jcMBusScan), std::vector<uint8_t>{urPortNotAvailable});
    EXPECT_EQ(host_.RunJob(jcMBusMeasurement), std::vector<uint8_t>{urNoAnswer});
    bool loggerRan = false;
    loggerJobs_ = [&loggerRan](IJobHost&, uint8_t) { loggerRan = true; };
    EXPECT_EQ(host_.RunJob(jcMBusDemandLogger), std::vector<uint8_t>{urNoAnswer});
    EXPECT_FALSE(loggerRan);
    EXPECT_TRUE(Requests().empty());
}

TEST_F(MBusRunnerTest, LoggerJobsGoToTheLoggerRunnerWithThePortHeld)
{
    ScriptedMeter& meter = meter_;
    Start(meter);
    std::vector<uint8_t> jobs;
    loggerJobs_ = [&jobs](IJobHost& host, uint8_t job) {
        EXPECT_TRUE(host.PortGate().HeldByThisThread());
        jobs.push_back(job);
        host.Jobs().SetJob(jcIdle);
        host.Jobs().SetUiRequest(job == jcMBusEventsLogger ? urEventsLoggerRead : urDemandLoggerRead);
    };
    EXPECT_EQ(host_.RunJob(jcMBusEventsLogger), std::vector<uint8_t>{urEventsLoggerRead});
    EXPECT_EQ(host_.RunJob(jcMBusDemandLogger), std::vector<uint8_t>{urDemandLoggerRead});
    EXPECT_EQ(jobs, (std::vector<uint8_t>{jcMBusEventsLogger, jcMBusDemandLogger}));
}

TEST_F(MBusRunnerTest, ScanListsTheAnsweringAddressesAndStopsOnCancel)
{
    ScriptedMeter& meter = meter_;
    meter.FaultOf = [](int, const Bytes& r) { return r[2] == 0 || r[2] == 2 ? Fault::None : Fault::Silent; };
    Start(meter);
    host_.Results.clear();
    host_.SetJob(jcMBusScan);
    // Cancelled while probing address 3.
    rig::PumpUntil([this] { return Requests().size() >= 5; }, 20s);
    host_.SetJob(jcIdle);
    rig::PumpUntil([this] { return host_.Idle(); }, 20s);
    EXPECT_EQ(host_.Results, std::vector<uint8_t>{urCancelled});
    EXPECT_EQ(host_.FoundAddresses, " 0,2,");
    const std::vector<rig::Progress> progress = host_.ProgressReports();
    ASSERT_GE(progress.size(), 5u);
    const uint32_t probed[] = {0, 1, 1, 2, 3};
    for (size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(progress[k].item, probed[k]);
        EXPECT_EQ(progress[k].total, 500u);
        EXPECT_EQ(progress[k].kind, pkAddressScan);
    }
}

TEST_F(MBusRunnerTest, CancelBetweenStepsPostsJobCancelled)
{
    ScriptedMeter& meter = meter_;
    meter.Telegrams = {RspUd(Join({kVoltageU1, {0x1F}}))};  // never final
    Start(meter);
    host_.Results.clear();
    host_.SetJob(jcMBusMeasurement);
    rig::PumpUntil([this] { return Requests().size() >= 4; }, 20s);
    host_.SetJob(jcIdle);
    rig::PumpUntil([this] { return host_.Idle(); }, 20s);
    EXPECT_EQ(host_.Results, std::vector<uint8_t>{urJobCancelled});
    EXPECT_EQ(host_.ReadStepBusy.load(), 0);
}

}  // namespace
