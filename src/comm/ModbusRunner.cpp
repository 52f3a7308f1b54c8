#include "comm/ModbusRunner.h"

#include <span>
#include <string>

#include "core/WindowState.h"
#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/Transceiver.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/LoggerStores.h"
#include "core/ModbusDecoder.h"
#include "core/RecordCodes.h"
#include "core/RequestTemplates.h"
#include "core/SetupFrames.h"

namespace {

constexpr int kFirstUnit = 1;
constexpr int kLastUnit = 247;
// Every unit may be probed twice.
constexpr uint32_t kScanProbes = 2 * kLastUnit;


struct TRequestStep {
    std::span<const uint8_t> Template;  // empty: the prepared CustomRequest
    uint8_t RecordCode = 0;             // 0: the answer is not decoded
    bool DemandLoggerOnly = false;      // skipped without a demand logger
    bool TcpOnly = false;
};

constexpr TRequestStep Read(std::span<const uint8_t> tpl, TRecordCode code) { return {tpl, code, false, false}; }
constexpr TRequestStep ReadIfLogger(std::span<const uint8_t> tpl, TRecordCode code)
{
    return {tpl, code, true, false};
}
constexpr TRequestStep ReadOverTcp(std::span<const uint8_t> tpl, TRecordCode code) { return {tpl, code, false, true}; }
constexpr TRequestStep Custom() { return {}; }

constexpr TRequestStep kMainCounters[] = {
    Read(TplModbusIn300x14, rcTotalCounters),      Read(TplModbusIn600x14, rcTariff1Counters),
    Read(TplModbusIn700x14, rcTariff2Counters),    Read(TplModbusIn800x14, rcTariff3Counters),
    Read(TplModbusIn900x14, rcTariff4Counters),    Read(TplModbusIn1000x14, rcTariff5Counters),
    Read(TplModbusIn1100x14, rcTariff6Counters),   Read(TplModbusIn1200x14, rcTariff7Counters),
    Read(TplModbusIn1300x14, rcTariff8Counters),   Read(TplModbusHold10600x4, rcDeviceDateTime),
    Read(TplModbusIn500x11C, rcOperatingTimes),    Read(TplModbusHold10000x1, rcCtRatio),
    Read(TplModbusHold10100x1, rcVtRatio),         ReadIfLogger(TplModbusHold10400x1, rcDemandPeriod),
    Read(TplModbusIn412x1, rcActualTariff),        Read(TplModbusHold10600x4, rcDeviceDateTime),
};
constexpr TRequestStep kFreezeCounters[] = {
    Read(TplModbusIn1400x12, rcTariff1Counters),   Read(TplModbusIn1500x12, rcTariff2Counters),
    Read(TplModbusIn1600x12, rcTariff3Counters),   Read(TplModbusIn1700x12, rcTariff4Counters),
    Read(TplModbusIn1800x12, rcTariff5Counters),   Read(TplModbusIn1900x12, rcTariff6Counters),
    Read(TplModbusIn2000x12, rcTariff7Counters),   Read(TplModbusIn2100x12, rcTariff8Counters),
    Read(TplModbusIn500x11B, rcFreezeStamps),      Read(TplModbusHold10000x1, rcCtRatio),
    Read(TplModbusHold10100x1, rcVtRatio),         ReadIfLogger(TplModbusHold10400x1, rcDemandPeriod),
    Read(TplModbusIn412x1, rcActualTariff),        Read(TplModbusHold10800x4, rcFreezeTimeSetting),
};
constexpr TRequestStep kResettableCounters[] = {
    Read(TplModbusIn2200x12, rcTariff1Counters),   Read(TplModbusIn2300x12, rcTariff2Counters),
    Read(TplModbusIn2400x12, rcTariff3Counters),   Read(TplModbusIn2500x12, rcTariff4Counters),
    Read(TplModbusIn2600x12, rcTariff5Counters),   Read(TplModbusIn2700x12, rcTariff6Counters),
    Read(TplModbusIn2800x12, rcTariff7Counters),   Read(TplModbusIn2900x12, rcTariff8Counters),
    Read(TplModbusIn500x11, rcResetStamps),        Read(TplModbusHold10000x1, rcCtRatio),
    Read(TplModbusHold10100x1, rcVtRatio),         ReadIfLogger(TplModbusHold10400x1, rcDemandPeriod),
    Read(TplModbusIn412x1, rcActualTariff),        Read(TplModbusHold10700x4, rcResetTimeSetting),
};
constexpr TRequestStep kMeasurement[] = {
    Read(TplModbusIn0000x15, rcVoltages),          Read(TplModbusIn100x11, rcCurrents),
    Read(TplModbusIn200x17, rcPowers),             Read(TplModbusHold10000x1, rcCtRatio),
    Read(TplModbusHold10100x1, rcVtRatio),         ReadIfLogger(TplModbusHold10400x1, rcDemandPeriod),
    Read(TplModbusIn412x1, rcActualTariff),        Read(TplModbusHold10600x4, rcDeviceDateTime),
};
// The demand period step goes by the flag that the first answer has just set.
constexpr TRequestStep kIdentification[] = {
    Read(TplModbusIn3000x36, rcDeviceInfo),        Read(TplModbusHold10000x1, rcCtRatio),
    Read(TplModbusHold10100x1, rcVtRatio),         ReadIfLogger(TplModbusHold10400x1, rcDemandPeriod),
    Read(TplModbusIn412x1, rcActualTariff),        Read(TplModbusScan, rcTariffInfo),
    Read(TplModbusIn3700x2, rcInterfaceVersion),   Read(TplModbusHold10600x4, rcDeviceDateTime),
    ReadOverTcp(TplModbusHold11000x1, rcWebserverFlags),
};
constexpr TRequestStep kDeviceTime[] = {
    Read(TplModbusHold10600x4, rcDeviceDateTime),
    Read(TplModbusIn412x1, rcActualTariff),
};
constexpr TRequestStep kResetSetting[] = {Read(TplModbusHold10700x4, rcResetTimeSetting)};
constexpr TRequestStep kFreezeSetting[] = {Read(TplModbusHold10800x4, rcFreezeTimeSetting)};
constexpr TRequestStep kTariffResult[] = {
    Read(TplModbusIn412x1, rcActualTariff),
    Read(TplModbusScan, rcTariffInfo),
};
constexpr TRequestStep kWrite[] = {Custom()};

struct TRequestList {
    std::span<const TRequestStep> Steps;
    uint8_t SuccessCode = urNone;
};

TRequestList RequestListOf(uint8_t job)
{
    switch (job) {
    case jcModbusMainCounters:       return {kMainCounters, urMainCountersRead};
    case jcModbusFreezeCounters:     return {kFreezeCounters, urFreezeCountersRead};
    case jcModbusResettableCounters: return {kResettableCounters, urResettableCountersRead};
    case jcModbusMeasurement:        return {kMeasurement, urMeasurementRead};
    case jcModbusIdentify:           return {kIdentification, urConnected};
    case jcModbusDeviceTime:         return {kDeviceTime, urDeviceTimeRead};
    case jcModbusResettableSetup:    return {kResetSetting, urResettableSetupRead};
    case jcModbusFreezeSetup:        return {kFreezeSetting, urFreezeSetupRead};
    case jcModbusSetFreezeTime:      return {kWrite, urFreezeTimeSet};
    case jcModbusSetResetTime:       return {kWrite, urResetTimeSet};
    case jcModbusSetTariff:          return {kWrite, urTariffSent};
    case jcModbusSetDemandPeriod:    return {kWrite, urDemandPeriodSet};
    case jcModbusSetVtRatio:         return {kWrite, urVtRatioSet};
    case jcModbusSetCtRatio:         return {kWrite, urCtRatioSet};
    case jcModbusSetDateTime:        return {kWrite, urDateTimeSet};
    case jcModbusReadTariffResult:   return {kTariffResult, urTariffResultRead};
    case jcModbusSetWebserver:       return {kWrite, urWebserverSet};
    default:                         return {};
    }
}

bool IsLoggerJob(uint8_t job)
{
    return job == jcModbusEventsLogger || job == jcModbusDemandLogger || job == jcModbusDemandInterval ||
           job == jcModbusCertifiedLogger;
}

bool Applies(IJobHost& host, const TRequestStep& step)
{
    if (step.TcpOnly && host.Link().TransportCode.load() != tcModbusTcp) return false;
    if (step.DemandLoggerOnly && host.Values().HasDemandLogger == 0) return false;
    return true;
}

// The index of the next step to send from `from` on; the list's size when none is left.
size_t NextStep(IJobHost& host, std::span<const TRequestStep> steps, size_t from)
{
    while (from < steps.size() && !Applies(host, steps[from])) ++from;
    return from;
}

TExchangeResult SendStep(IJobHost& host, const TRequestStep& step)
{
    const uint8_t address = host.Addressing().DeviceAddress.load();
    if (step.Template.empty()) {
        const FrameBuffers& frames = host.Frames();
        return SendRequestTemplate(host, std::span<const uint8_t>(frames.CustomRequest), address);
    }
    return SendRequestTemplate(host, step.Template, address);
}

void Decode(IJobHost& host, TRecordCode code)
{
    DecodeModbusAnswer(host.Frames(), host.Link().TransportCode.load(), code, host.Window().Language.load(), host.Values(),
                       host.Addressing().ManufacturerIndex, host.Loggers().IntervalRecordCount);
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
    for (int unit = kFirstUnit; unit <= kLastUnit; ++unit) {
        bool answered = false;
        // A cancel between the two probes of a silent unit ends the scan
        // without the second probe's wait.
        for (int probe = 0; probe < 2 && !answered && (probe == 0 || jobs.GetJob() != jcIdle); ++probe) {
            host.ReportProgress(static_cast<uint32_t>(unit), kScanProbes, pkAddressScan);
            answered = SendRequestTemplate(host, TplModbusScan, static_cast<uint8_t>(unit)) == erValidAnswer;
        }
        if (answered) {
            if (found.empty()) found = " ";
            found += std::to_string(unit) + ",";
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

void RunRequestList(IJobHost& host, uint8_t job, const TRequestList& list)
{
    JobControl& jobs = host.Jobs();
    TransportState& link = host.Link();
    if (EndJobWithoutLink(host)) return;
    const TReadStepMark busy(host);
    jobs.SetUiRequest(urNone);

    bool retried = false;
    size_t i = NextStep(host, list.Steps, 0);
    while (i < list.Steps.size()) {
        const TRequestStep& step = list.Steps[i];
        TExchangeResult result = SendStep(host, step);
        // A meter without a web server refuses its register: the refusal is the news.
        if (step.RecordCode == rcWebserverFlags &&
            IsModbusRefusalOf(link.TransportCode.load(), host.Frames().TxBuffer, host.Frames().RxBuffer,
                              host.Frames().RxCount))
            result = erValidAnswer;
        // An exception answer to a write is the meter's refusal: no retry, and no
        // tariff read-back that would report the refused tariff as accepted.
        if (step.Template.empty() && setup::IsModbusExceptionAnswer(link.TransportCode.load(), host.Frames().RxBuffer,
                                                                    host.Frames().RxCount, setup::ModbusWriteMultiple)) {
            jobs.SetJob(jcIdle);
            jobs.SetUiRequest(urSettingRefused);
            break;
        }
        if (job == jcModbusSetTariff) host.StartTimerSetup();
        if (result != erValidAnswer && EndCancelledJobAfterMiss(host)) break;
        if (result == erValidAnswer) {
            if (step.RecordCode != 0) Decode(host, static_cast<TRecordCode>(step.RecordCode));
            retried = false;
            i = NextStep(host, list.Steps, i + 1);
            if (i == list.Steps.size()) jobs.SetUiRequest(list.SuccessCode);
        } else if (!retried) {
            retried = true;
        } else {
            if (job == jcModbusIdentify)
                // The layout of the transport in use: a TCP user stays on Modbus TCP.
                host.SetProtocolMode(link.TransportCode.load() == tcModbusTcp ? pmModbusTcp : pmModbusRtu);
            host.StopDisplayRefresh();
            host.StopBusyIndicator();
            jobs.SetJob(jcIdle);
            jobs.SetUiRequest(job == jcModbusIdentify ? urIdentifyFailed : urNoAnswer);
            break;
        }
        if (jobs.GetJob() == jcIdle) {
            jobs.SetUiRequest(urJobCancelled);
            break;
        }
    }

    if (link.ConnectCancelled.load() != 0) {
        link.ConnectCancelled = 0;
        jobs.SetUiRequest(urCancelled);
    }
    // Also after a cancel: a job left set would run again after its result.
    jobs.SetJob(jcIdle);
}

}  // namespace

void RunModbusJobStep(IJobHost& host, const TModbusLoggerJobStep& loggerJobs)
{
    host.ReadStepBusyFlag() = 0;
    const uint8_t job = host.Jobs().GetJob();
    if (job == jcModbusScan) {
        TPortUse use(host.PortGate());
        RunScan(host);
        return;
    }
    if (IsLoggerJob(job)) {
        TPortUse use(host.PortGate());
        if (loggerJobs)
            loggerJobs(host, job);
        else
            host.Jobs().SetJob(jcIdle);
        return;
    }
    if (job == jcIdle) return;
    const TRequestList list = RequestListOf(job);
    if (list.Steps.empty()) {
        EndJobWithoutRunner(host, job);
        return;
    }
    TPortUse use(host.PortGate());
    RunRequestList(host, job, list);
}
