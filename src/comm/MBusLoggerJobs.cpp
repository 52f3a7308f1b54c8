#include "comm/MBusLoggerJobs.h"

#include <algorithm>
#include <span>

#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/LoggerWalk.h"
#include "comm/Transceiver.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/LoggerParsers.h"
#include "core/LoggerStores.h"
#include "core/RequestTemplates.h"

namespace {

constexpr int kMaxEvents = 256;
constexpr int kMaxDemand = 168000;
// Answer bytes that are all 0xFF in the meter's end-of-log record.
constexpr int kEndMarkFirst = 19, kEndMarkLast = 21;
constexpr int kChecksumAndStop = 2;

using Template = std::span<const uint8_t>;

}  // namespace

void RunMBusLoggerJob(IJobHost& host, uint8_t job)
{
    JobControl& jobs = host.Jobs();
    LoggerStores& stores = host.Loggers();
    const bool demand = job == jcMBusDemandLogger;
    if (!demand && job != jcMBusEventsLogger) {
        jobs.SetJob(jcIdle);
        return;
    }
    jobs.SetUiRequest(urNone);
    const int requested = std::min(host.LoggerReadCount(job), demand ? kMaxDemand : kMaxEvents);
    if (requested <= 0) {
        jobs.SetJob(jcIdle);
        return;
    }
    (demand ? stores.DemandItemCount : stores.EventItemCount) = 0;

    const bool secondary = host.Addressing().AddressingMode.load() == amSecondary;
    const size_t base = RecordPayloadBase(tcMBus, secondary ? amSecondary : amPrimary);
    const size_t recordBytes = demand ? DemandRecordBytes : EventRecordBytes;
    Template first, next, afterMiss;
    if (demand) {
        first = secondary ? Template(TplMbusSecDemandNewest) : Template(TplMbusDemandNewest);
        next = secondary ? Template(TplMbusSecDemandPrev) : Template(TplMbusDemandPrev);
        afterMiss = secondary ? Template(TplMbusSecDemandRetry) : Template(TplMbusDemandRetry);
    } else {
        first = secondary ? Template(TplMbusSecEventsNewest) : Template(TplMbusEventsNewest);
        next = secondary ? Template(TplMbusSecEventsPrev) : Template(TplMbusEventsPrev);
        afterMiss = secondary ? Template(TplMbusSecEventsRetry) : Template(TplMbusEventsRetry);
    }

    std::span<const uint8_t> record;
    TLoggerWalk walk;
    walk.Count = requested;
    walk.Send = [&](int, TWalkRequest kind, int&) {
        const Template tpl = kind == TWalkRequest::First ? first : kind == TWalkRequest::Next ? next : afterMiss;
        if (SendRequestTemplate(host, tpl, host.Addressing().DeviceAddress.load()) != erValidAnswer) return false;
        const FrameBuffers& f = host.Frames();
        const int end = std::min<int>(f.RxCount, sizeof f.RxBuffer) - kChecksumAndStop;
        if (end < static_cast<int>(base + recordBytes)) return false;
        record = std::span<const uint8_t>(f.RxBuffer + base, static_cast<size_t>(end) - base);
        return true;
    };
    // The end mark is no record, whatever the rest of its answer holds: the
    // counts, and with them the grid and the file, stop before it.
    walk.EndTest = [&](int& index, int count) {
        const uint8_t* rx = host.Frames().RxBuffer;
        if (!std::all_of(rx + kEndMarkFirst, rx + kEndMarkLast + 1, [](uint8_t b) { return b == 0xFF; }))
            return false;
        index = count - 1;
        return true;
    };
    walk.Parse = [&](int index, int, bool endOfLog) {
        if (endOfLog) return;
        const auto total = static_cast<uint32_t>(requested + 1);
        if (demand) {
            CDemandLogger* r = stores.DemandRecords.ForWrite(static_cast<size_t>(index));
            if (!r || ParseDemandRecord(record, *r) != TParseResult::Reported) return;
            stores.DemandItemCount = index + 1;
            host.ReportProgress(static_cast<uint32_t>(index), total, pkDemandRecord);
        } else {
            EventRecord* r = stores.EventRecords.ForWrite(static_cast<size_t>(index));
            if (!r || ParseEventRecord(record, *r) != TParseResult::Reported) return;
            stores.EventItemCount = index + 1;
            host.ReportProgress(static_cast<uint32_t>(index + 1), total, pkEventsRecord);
        }
    };
    walk.DoneCode = demand ? urDemandLoggerRead : urEventsLoggerRead;
    RunLoggerWalk(host, walk);
}
