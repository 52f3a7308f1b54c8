#include "comm/ModbusLoggerJobs.h"

#include <algorithm>
#include <span>

#include "comm/JobControl.h"
#include "comm/DemandIntervalJob.h"
#include "comm/DemandRecordWalk.h"
#include "comm/JobHost.h"
#include "comm/LoggerWalk.h"
#include "comm/Transceiver.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/LoggerParsers.h"
#include "core/LoggerStores.h"
#include "core/RequestTemplates.h"

namespace {

constexpr int kMaxCertifiedCount = 4001;
constexpr int kMaxEvents = 256;
constexpr int kMaxDemand = 168000;
constexpr uint8_t kReadInputRegisters = 0x04;

using Template = std::span<const uint8_t>;

struct TRequests {
    Template First, Next, AfterMiss;
    size_t Registers;
};

// The register data of the read answer in RxBuffer, as far as its byte count
// and the bytes received both reach; empty for anything but a read answer.
std::span<const uint8_t> AnswerData(const uint8_t* rx, int count, char transport)
{
    const bool rtu = transport == tcModbusRtu;
    const int base = rtu ? 3 : 9;
    const int trailer = rtu ? 2 : 0;
    if (count < base + trailer || count > static_cast<int>(sizeof FrameBuffers::RxBuffer)) return {};
    if (rx[base - 2] != kReadInputRegisters) return {};
    const int available = std::min<int>(rx[base - 1], count - base - trailer);
    return {rx + base, static_cast<size_t>(std::max(available, 0))};
}

struct TFollowUpsEnd {
    IJobHost& host;
    ~TFollowUpsEnd() { EndTcpFollowUps(host); }
};

class TModbusLoggerRead {
public:
    TModbusLoggerRead(IJobHost& host, uint8_t job)
        : host_(host),
          stores_(host.Loggers()),
          job_(job),
          transport_(host.Link().TransportCode.load()),
          variant2_(host.Values().DeviceVariant == 2)
    {
    }

    void Run()
    {
        JobControl& jobs = host_.Jobs();
        if (EndJobWithoutLink(host_)) return;
        jobs.SetUiRequest(urNone);
        // The read commands cap the counts; the stores' capacities hold anyway.
        requested_ = std::min(host_.LoggerReadCount(job_), job_ == jcModbusEventsLogger   ? kMaxEvents
                                                           : job_ == jcModbusDemandLogger ? kMaxDemand
                                                                                          : kMaxCertifiedCount - 1);
        TLoggerWalk walk;
        walk.Count = job_ == jcModbusCertifiedLogger ? requested_ + 1 : requested_;
        if (walk.Count <= 0 || requested_ <= 0) {
            jobs.SetJob(jcIdle);
            return;
        }
        // A read that ends early says how many records it holds, not an
        // earlier read's count.
        switch (job_) {
        case jcModbusEventsLogger:
            stores_.EventItemCount = 0;
            break;
        case jcModbusDemandLogger:
            stores_.DemandItemCount = 0;
            if (variant2_) stores_.RecordCount = 0;
            break;
        default:
            stores_.CertifiedItemCount = 0;
            stores_.RecordCount = 0;
            break;
        }
        walk.DiscardAfterMiss = job_ != jcModbusCertifiedLogger;
        walk.Send = [this](int index, TWalkRequest kind, int& count) {
            return job_ == jcModbusCertifiedLogger ? SendCertified(kind, count) : SendRecord(kind, count - index - 1);
        };
        walk.EndTest = [this](int& index, int count) { return EndTest(index, count); };
        walk.Parse = [this](int index, int count, bool end) { Parse(index, count, end); };
        walk.DoneCode = job_ == jcModbusEventsLogger   ? urEventsLoggerRead
                        : job_ == jcModbusDemandLogger ? urDemandLoggerRead
                                                       : urCertifiedLoggerRead;
        // The requests sent ahead ask this object whether they may go.
        const TFollowUpsEnd end{host_};
        RunLoggerWalk(host_, walk);
    }

private:
    TRequests Requests() const
    {
        if (job_ == jcModbusEventsLogger)
            return {TplModbusEventsNewest, TplModbusEventsPrev, TplModbusEventsRetry, 16};
        if (variant2_)
            return {TplModbusDemandNewestShort, TplModbusDemandPrevShort, TplModbusDemandRetryShort, 17};
        return {TplModbusDemandNewest, TplModbusDemandPrev, TplModbusDemandRetry, 32};
    }

    // One request; true when its answer carries all the registers asked for.
    bool Exchange(Template tpl, size_t registers, const TNextRequest* next = nullptr)
    {
        if (SendRequestTemplate(host_, tpl, host_.Addressing().DeviceAddress.load(), next) != erValidAnswer)
            return false;
        const FrameBuffers& f = host_.Frames();
        data_ = AnswerData(f.RxBuffer, f.RxCount, transport_);
        return data_.size() >= 2 * registers;
    }

    // Whether a record's data may end the log or move the walk's index.
    bool MayEnd(std::span<const uint8_t> data) const
    {
        if (job_ == jcModbusDemandLogger && variant2_)
            return data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0;
        return IsLogEndMark(data);
    }

    // Socket's thread: an answer after which the walk surely asks for the next
    // older record. Reads only the answer and what is fixed for the read.
    static bool NextFollows(const void* context, const uint8_t* answer, int count)
    {
        const auto& read = *static_cast<const TModbusLoggerRead*>(context);
        const std::span<const uint8_t> data = AnswerData(answer, count, tcModbusTcp);
        return data.size() >= 2 * read.Requests().Registers && !read.MayEnd(data);
    }

    bool Write(Template tpl)
    {
        return SendRequestTemplate(host_, tpl, host_.Addressing().DeviceAddress.load()) == erValidAnswer;
    }

    // after: the records still to read after this one, unless the log ends.
    bool SendRecord(TWalkRequest kind, int after)
    {
        const TRequests r = Requests();
        const Template tpl = kind == TWalkRequest::First ? r.First : kind == TWalkRequest::Next ? r.Next : r.AfterMiss;
        const TNextRequest next{r.Next, NextFollows, this, after};
        return Exchange(tpl, r.Registers, after > 0 ? &next : nullptr);
    }

    // The entry read after a missed exchange is the one asked for: a missed
    // read is read again, and after a missed step the entry shows whether the
    // meter took the step (the request after a miss would otherwise step once
    // more and skip an entry).
    bool SendCertified(TWalkRequest kind, int& count)
    {
        constexpr size_t kRegisters = 15;
        if (kind == TWalkRequest::First) {
            if (!Write(TplModbusCertifiedFirst) || !Exchange(TplModbusCertifiedRead, kRegisters)) return false;
            const int entries = std::max(0, static_cast<int>(static_cast<int16_t>(data_[0] << 8 | data_[1])));
            if (entries > kMaxCertifiedCount - 1)
                count = kMaxCertifiedCount;
            else if (entries == 0)
                count = 1;
            else if (entries < count)
                count = entries + 1;
            stores_.CertifiedItemCount = 0;
            return true;
        }
        if (kind == TWalkRequest::AfterMiss && certifiedMiss_ != TCertifiedMiss::None) {
            const TCertifiedMiss miss = certifiedMiss_;
            certifiedMiss_ = TCertifiedMiss::Read;
            if (!Exchange(TplModbusCertifiedReadNext, kRegisters)) return false;
            certifiedMiss_ = TCertifiedMiss::None;
            const int id = static_cast<int16_t>(data_[0] << 8 | data_[1]);
            if (miss == TCertifiedMiss::Read || id != previousEntryId_) return true;
        }
        certifiedMiss_ = TCertifiedMiss::Step;
        if (!Write(TplModbusCertifiedNext)) return false;
        certifiedMiss_ = TCertifiedMiss::Read;
        if (!Exchange(TplModbusCertifiedReadNext, kRegisters)) return false;
        certifiedMiss_ = TCertifiedMiss::None;
        return true;
    }

    bool EndTest(int& index, int count)
    {
        // Over TCP the entry count of the first answer bounds the certified
        // read; over RTU its end mark ends it as well.
        if (job_ == jcModbusCertifiedLogger) {
            stores_.RecordCount = index;
            if (transport_ != tcModbusRtu || !IsLogEndMark(data_)) return false;
            index = count - 1;
            return true;
        }
        if (job_ == jcModbusDemandLogger) return demand_.EndTest(data_, index, count);
        if (!IsLogEndMark(data_)) return false;
        if (index == 0) stores_.EventItemCount = 0;
        index = count - 1;
        return false;
    }

    void Parse(int index, int count, bool endOfLog)
    {
        const auto at = static_cast<size_t>(index);
        const auto total = static_cast<uint32_t>(requested_ + 1);
        TParseResult result = TParseResult::Short;
        if (job_ == jcModbusEventsLogger) {
            if (EventRecord* r = stores_.EventRecords.ForWrite(at)) result = ParseEventRecord(data_, *r);
            if (result != TParseResult::Reported) return;
            stores_.EventItemCount = index + 1;
            host_.ReportProgress(static_cast<uint32_t>(index + 1), total, pkEventsRecord);
        } else if (job_ == jcModbusDemandLogger) {
            if (demand_.Parse(data_, index, count, endOfLog))
                host_.ReportProgress(static_cast<uint32_t>(index), total, pkDemandRecord);
        } else {
            if (endOfLog) return;
            if (CCertifiedLogger* r = stores_.CertifiedRecords.ForWrite(at)) result = ParseCertifiedRecord(data_, *r);
            if (result != TParseResult::Reported) return;
            previousEntryId_ = static_cast<int16_t>(data_[0] << 8 | data_[1]);
            stores_.CertifiedItemCount = index;
            stores_.RecordCount = std::min(index + 1, count - 1);
            host_.ReportProgress(static_cast<uint32_t>(index), total, pkCertifiedRecord);
        }
    }

    enum class TCertifiedMiss : uint8_t { None, Step, Read };

    IJobHost& host_;
    LoggerStores& stores_;
    const uint8_t job_;
    const char transport_;
    const bool variant2_;
    int requested_ = 0;
    TDemandRecordWalk demand_{stores_, variant2_, transport_ == tcModbusRtu};
    std::span<const uint8_t> data_;
    TCertifiedMiss certifiedMiss_ = TCertifiedMiss::None;
    int previousEntryId_ = -1;
};

}  // namespace

void RunModbusLoggerJob(IJobHost& host, uint8_t job)
{
    if (job == jcModbusDemandInterval) {
        RunDemandIntervalJob(host);
        return;
    }
    if (job != jcModbusEventsLogger && job != jcModbusDemandLogger && job != jcModbusCertifiedLogger) {
        host.Jobs().SetJob(jcIdle);
        return;
    }
    TModbusLoggerRead(host, job).Run();
}
