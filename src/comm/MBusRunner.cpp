#include "comm/MBusRunner.h"

#include <span>
#include <string>

#include "core/WindowState.h"
#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/Transceiver.h"
#include "core/AnswerChecks.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/MBusDecoder.h"
#include "core/RequestTemplates.h"

namespace {

constexpr int kLastPrimaryAddress = 250;
// Every address may be probed twice.
constexpr uint32_t kScanProbes = 500;
constexpr int kReadSteps = 100;
constexpr int kShortReadSteps = 20;
// From this miss on, while a connect is fresh, the port is reopened.
constexpr int kMissesBeforePortRefresh = 3;

struct TReadSequence {
    std::span<const uint8_t> Select;           // PS-field select, primary addressing
    std::span<const uint8_t> SecondarySelect;  // its secondary twin
    uint8_t SuccessCode = urNone;
    bool Short = false;  // jobs 9-11: one retry per job, no reconnect or frame-kind change
};

TReadSequence SequenceOf(uint8_t job)
{
    switch (job) {
    case jcMBusMainCounters:
        return {TplMbusPsSelectMainCounters, TplMbusSecPsSelectMainCounters, urMainCountersRead};
    case jcMBusFreezeCounters:
        return {TplMbusPsSelectFreezeCounters, TplMbusSecPsSelectFreezeCounters, urFreezeCountersRead};
    case jcMBusResettableCounters:
        return {TplMbusPsSelectResettableCounters, TplMbusSecPsSelectResettableCounters, urResettableCountersRead};
    case jcMBusMeasurement:
        return {TplMbusPsSelectMeasurement, TplMbusSecPsSelectMeasurement, urMeasurementRead};
    case jcMBusIdentify:
        return {TplMbusPsSelectDeviceInfo, TplMbusSecPsSelectDeviceInfo, urConnected};
    case jcMBusReadTariffResult:
        return {TplMbusPsSelectDeviceInfo, TplMbusSecPsSelectDeviceInfo, urTariffResultRead};
    case jcMBusDeviceTime:
        return {TplMbusPsSelectDateTime, TplMbusSecPsSelectDateTime, urDeviceTimeRead, true};
    case jcMBusResettableSetup:
        return {TplMbusPsSelectResetSetup, TplMbusSecPsSelectResetSetup, urResettableSetupRead, true};
    case jcMBusFreezeSetup:
        return {TplMbusPsSelectFreezeSetup, TplMbusSecPsSelectFreezeSetup, urFreezeSetupRead, true};
    default:
        return {};
    }
}

// One frame of a read sequence. Primary: SND_NKE, select, then REQ_UD2 with
// FCB 1, 0, 1, ... Secondary: selection by identification number, SND_NKE to
// FD, select, selection again, then the REQ_UD2 pair addressed to FD.
struct TStepRequest {
    std::span<const uint8_t> Template;
    bool RequestsData;
};

TStepRequest RequestOf(const TReadSequence& seq, bool secondary, int step)
{
    if (!secondary) {
        if (step == 0) return {TplMbusSndNke, false};
        if (step == 1) return {seq.Select, false};
        return {step % 2 == 0 ? std::span<const uint8_t>(TplMbusReqUd2Fcb1) : TplMbusReqUd2Fcb0, true};
    }
    switch (step) {
    case 0:
    case 3: return {TplMbusSecSelect, false};
    case 1: return {TplMbusSecSndNke, false};
    case 2: return {seq.SecondarySelect, false};
    default:
        return {step % 2 == 0 ? std::span<const uint8_t>(TplMbusSecReqUd2Fcb1) : TplMbusSecReqUd2Fcb0, true};
    }
}

bool PortGuardPassed(IJobHost& host)
{
    if (host.Link().PortOpenError.load() == 0) return true;
    host.StopDisplayRefresh();
    host.StopBusyIndicator();
    // A disconnect may have cancelled the job between its start and this check.
    if (EndCancelledJobAfterMiss(host)) return false;
    host.Jobs().SetJob(jcIdle);
    host.Jobs().SetUiRequest(urNoAnswer);
    return false;
}

// One exchange of a read sequence; a data answer is decoded only when it is
// valid and comes from the device asked (its A field, or its identification
// number under secondary addressing).
TExchangeResult Exchange(IJobHost& host, const TStepRequest& request)
{
    DeviceAddressing& addressing = host.Addressing();
    const uint8_t address = addressing.DeviceAddress.load();
    TExchangeResult result = SendRequestTemplate(host, request.Template, address);
    if (!request.RequestsData || result != erValidAnswer) return result;
    FrameBuffers& frames = host.Frames();
    const bool fromDevice = addressing.AddressingMode.load() == amSecondary
                                ? IsMBusAnswerFromId(frames.RxBuffer, frames.RxCount, addressing.SecondaryAddress)
                                : IsMBusAnswerFrom(frames.RxBuffer, frames.RxCount, address);
    if (!fromDevice) return erNoValidAnswer;
    DecodeMBusAnswer(frames, host.Window().Language.load(), host.Values(), addressing);
    return result;
}

bool IsFinal(IJobHost& host)
{
    const FrameBuffers& frames = host.Frames();
    return IsFinalMBusTelegram(frames.RxBuffer, frames.RxCount);
}

void RunScan(IJobHost& host)
{
    JobControl& jobs = host.Jobs();
    if (host.Link().PortOpenError.load() != 0) {
        jobs.SetJob(jcIdle);
        jobs.SetUiRequest(urPortNotAvailable);
        return;
    }
    std::string& found = host.FoundAddressesText();
    found.clear();
    for (int address = 0; address <= kLastPrimaryAddress; ++address) {
        bool answered = false;
        // A cancel between the two probes of a silent address ends the scan
        // without the second probe's wait.
        for (int probe = 0; probe < 2 && !answered && (probe == 0 || jobs.GetJob() != jcIdle); ++probe) {
            host.ReportProgress(static_cast<uint32_t>(address), kScanProbes, pkAddressScan);
            answered = SendMBusScanRequest(host, TplMbusSndNke, static_cast<uint8_t>(address)) == erValidAnswer;
        }
        if (answered) {
            if (found.empty()) found = " ";
            found += std::to_string(address) + ",";
        }
        if (jobs.GetJob() == jcIdle) {
            jobs.SetUiRequest(urCancelled);
            break;
        }
    }
    const bool cancelled = jobs.GetJob() == jcIdle;
    jobs.SetJob(jcIdle);
    if (!cancelled) jobs.SetUiRequest(urScanFinished);
}

void FailRead(IJobHost& host, uint8_t job)
{
    if (job == jcMBusIdentify) host.SetProtocolMode(pmMBus);
    host.StopDisplayRefresh();
    host.StopBusyIndicator();
    host.Jobs().SetJob(jcIdle);
    host.Jobs().SetUiRequest(job == jcMBusIdentify ? urIdentifyFailed : urNoAnswer);
}

void RunReadSequence(IJobHost& host, uint8_t job, const TReadSequence& seq)
{
    JobControl& jobs = host.Jobs();
    DeviceAddressing& addressing = host.Addressing();
    TransportState& link = host.Link();
    const bool secondary = addressing.AddressingMode.load() == amSecondary;
    const TReadStepMark busy(host);
    jobs.SetUiRequest(urNone);

    bool retried = false;
    int misses = 0;
    for (int step = 0; step < kReadSteps;) {
        const TExchangeResult result = Exchange(host, RequestOf(seq, secondary, step));
        if (result != erValidAnswer && EndCancelledJobAfterMiss(host)) break;
        if (result == erValidAnswer) {
            retried = false;
            addressing.ReconnectPending = 0;
            if (IsFinal(host)) {
                jobs.SetUiRequest(seq.SuccessCode);
                break;
            }
            ++step;
        } else if (!retried) {
            // The step is repeated. Right after a connect the line may need a
            // fresh port: the third miss in a row reopens it.
            if (addressing.ReconnectPending.load() == 0) {
                retried = true;
            } else if (++misses >= kMissesBeforePortRefresh) {
                host.RefreshCom();
                retried = true;
            }
        } else if (job == jcMBusIdentify && step >= 1 && addressing.SelectFrameKind.load() == 0) {
            // The device may know only the stored form of the PS-field select.
            addressing.SelectFrameKind = 1;
            retried = false;
        } else {
            FailRead(host, job);
            break;
        }
        if (link.ConnectCancelled.load() != 0) {
            link.ConnectCancelled = 0;
            jobs.SetUiRequest(urCancelled);
            break;
        }
        if (jobs.GetJob() == jcIdle) {
            jobs.SetUiRequest(urJobCancelled);
            break;
        }
    }
    // A cancel that came with the last answer still wins, and is not left
    // behind for the next job.
    if (link.ConnectCancelled.load() != 0) {
        link.ConnectCancelled = 0;
        jobs.SetUiRequest(urCancelled);
    }
    jobs.SetJob(jcIdle);
}

void RunShortReadSequence(IJobHost& host, const TReadSequence& seq)
{
    JobControl& jobs = host.Jobs();
    DeviceAddressing& addressing = host.Addressing();
    const bool secondary = addressing.AddressingMode.load() == amSecondary;
    jobs.SetUiRequest(urNone);

    bool retried = false;
    for (int step = 0; step < kShortReadSteps;) {
        const TExchangeResult result = Exchange(host, RequestOf(seq, secondary, step));
        if (result != erValidAnswer && EndCancelledJobAfterMiss(host)) break;
        if (result == erValidAnswer) {
            addressing.ReconnectPending = 0;
            if (IsFinal(host)) {
                jobs.SetJob(jcIdle);
                jobs.SetUiRequest(seq.SuccessCode);
                return;
            }
            ++step;
        } else if (!retried) {
            retried = true;
        } else {
            jobs.SetJob(jcIdle);
            jobs.SetUiRequest(urNoAnswer);
            return;
        }
        if (jobs.GetJob() == jcIdle) break;
    }
    jobs.SetJob(jcIdle);
}

void RunTariffFrame(IJobHost& host)
{
    JobControl& jobs = host.Jobs();
    jobs.SetUiRequest(urNone);
    const FrameBuffers& frames = host.Frames();
    const TExchangeResult result = SendRequestTemplate(host, std::span<const uint8_t>(frames.CustomRequest),
                                                       host.Addressing().DeviceAddress.load());
    if (result != erValidAnswer && EndCancelledJobAfterMiss(host)) return;
    jobs.SetJob(jcIdle);
    if (result != erValidAnswer) {
        // The sending window waits for an outcome; silence is one too.
        jobs.SetUiRequest(urTariffNotAnswered);
        return;
    }
    jobs.SetUiRequest(urTariffSent);
    host.StartTimerSetup();
}

}  // namespace

void RunMBusJobStep(IJobHost& host, const TMBusLoggerJobStep& loggerJobs)
{
    host.ReadStepBusyFlag() = 0;
    JobControl& jobs = host.Jobs();
    const uint8_t job = jobs.GetJob();
    if (job == jcIdle) {
        jobs.SetUiRequest(urJobCancelled);
        return;
    }
    if (job < jcMBusScan || job > jcMBusReadTariffResult) {
        EndJobWithoutRunner(host, job);
        return;
    }

    TPortUse use(host.PortGate());
    if (job == jcMBusScan) {
        RunScan(host);
        return;
    }
    if (!PortGuardPassed(host)) return;
    if (job == jcMBusEventsLogger || job == jcMBusDemandLogger) {
        if (loggerJobs)
            loggerJobs(host, job);
        else
            jobs.SetJob(jcIdle);
        return;
    }
    if (job == jcMBusSetTariff) {
        RunTariffFrame(host);
        return;
    }
    const TReadSequence seq = SequenceOf(job);
    if (seq.Short)
        RunShortReadSequence(host, seq);
    else
        RunReadSequence(host, job, seq);
}
