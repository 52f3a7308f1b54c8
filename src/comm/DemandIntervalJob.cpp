#include "comm/DemandIntervalJob.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <span>
#include <thread>

#include "core/WindowState.h"
#include "comm/DemandRecordWalk.h"
#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/LoggerWalk.h"
#include "comm/Transceiver.h"
#include "core/DecodedValues.h"
#include "core/DemandInterval.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/LoggerParsers.h"
#include "core/LoggerStores.h"
#include "core/ModbusDecoder.h"
#include "core/RecordCodes.h"
#include "core/RequestTemplates.h"

namespace {

using Template = std::span<const uint8_t>;

// The meter takes this long to sum up a newly written period.
constexpr auto kSummaryDelay = std::chrono::milliseconds(600);
constexpr size_t kSummaryRegisters = 36;
// Registers 19 and 20 of the summary: the number of the period's final record.
constexpr size_t kFinalRecordByte = 2 * 19;
constexpr uint8_t kReadInputRegisters = 0x04;

class TDemandIntervalRead {
public:
    explicit TDemandIntervalRead(IJobHost& host)
        : host_(host),
          stores_(host.Loggers()),
          variant2_(host.Values().DeviceVariant == 2),
          toTable_(host.Loggers().IntervalToTable.load() != 0)
    {
    }

    void Run()
    {
        JobControl& jobs = host_.Jobs();
        if (EndJobWithoutLink(host_)) return;
        jobs.SetUiRequest(urNone);
        if (toTable_) {
            // The grid shows this period's records only, however the read ends.
            stores_.DemandItemCount = 0;
            stores_.RecordCount = 0;
        }
        TLoggerWalk walk;
        walk.Count = 1;
        walk.Send = [this](int, TWalkRequest kind, int& count) {
            return kind == TWalkRequest::First ? SendPeriod(count) : SendRecord(kind);
        };
        walk.EndTest = [this](int& index, int count) { return EndTest(index, count); };
        walk.Parse = [this](int index, int count, bool end) { Parse(index, count, end); };
        walk.DoneCode = toTable_ ? urDemandIntervalTable : urDemandIntervalValues;
        RunLoggerWalk(host_, walk);
    }

private:
    // One request; true when its answer reads all the registers asked for.
    bool Exchange(Template tpl, size_t registers)
    {
        if (SendRequestTemplate(host_, tpl, host_.Addressing().DeviceAddress.load()) != erValidAnswer) return false;
        const FrameBuffers& f = host_.Frames();
        const TModbusAnswerData a = ModbusAnswerData(f.RxBuffer, f.RxCount, host_.Link().TransportCode.load());
        if (a.Function != kReadInputRegisters || a.Data == nullptr) return false;
        data_ = std::span<const uint8_t>(a.Data, static_cast<size_t>(a.Size));
        return data_.size() >= 2 * registers;
    }

    bool Write(Template tpl)
    {
        return SendRequestTemplate(host_, tpl, host_.Addressing().DeviceAddress.load()) == erValidAnswer;
    }

    // The period written, its summary read and decoded, and with "To Table"
    // the meter's pointer set to the period's final record and that record read.
    bool SendPeriod(int& count)
    {
        recordAnswer_ = false;
        if (!Write(std::span<const uint8_t>(host_.Frames().CustomRequest))) return false;
        std::this_thread::sleep_for(kSummaryDelay);
        if (!Exchange(TplModbusDemandInterval, kSummaryRegisters)) return false;
        DecodeModbusAnswer(host_.Frames(), host_.Link().TransportCode.load(), rcDemandInterval,
                           host_.Window().Language.load(), host_.Values(), host_.Addressing().ManufacturerIndex,
                           stores_.IntervalRecordCount);
        const int records = stores_.IntervalRecordCount.load();
        if (!toTable_) return true;
        count = std::max(1, records);
        if (records < 1) return true;
        std::array<uint8_t, 4> finalRecord{};
        std::copy_n(data_.begin() + kFinalRecordByte, finalRecord.size(), finalRecord.begin());
        std::array<uint8_t, 32> pointerWrite{};
        if (BuildRecordPointerWrite(finalRecord, pointerWrite) == 0 || !Write(pointerWrite)) return false;
        if (!Exchange(TplModbusIn2920x17, 17)) return false;
        recordAnswer_ = true;
        return true;
    }

    bool SendRecord(TWalkRequest kind)
    {
        recordAnswer_ = false;
        const bool retry = kind == TWalkRequest::AfterMiss;
        const bool ok = variant2_ ? Exchange(retry ? TplModbusDemandRetryShort : TplModbusDemandPrevShort, 17)
                                  : Exchange(retry ? TplModbusDemandRetry : TplModbusDemandPrev, 32);
        recordAnswer_ = ok;
        return ok;
    }

    // Only a record answer can end the log; the summary answer holds none.
    bool EndTest(int& index, int count) { return recordAnswer_ && records_.EndTest(data_, index, count); }

    void Parse(int index, int count, bool endOfLog)
    {
        if (recordAnswer_ && records_.Parse(data_, index, count, endOfLog))
            host_.ReportProgress(static_cast<uint32_t>(index),
                                 static_cast<uint32_t>(stores_.IntervalRecordCount.load() + 1), pkDemandRecord);
    }

    IJobHost& host_;
    LoggerStores& stores_;
    const bool variant2_;
    const bool toTable_;
    bool recordAnswer_ = false;
    TDemandRecordWalk records_{stores_, variant2_, host_.Link().TransportCode.load() == tcModbusRtu};
    std::span<const uint8_t> data_;
};

}  // namespace

void RunDemandIntervalJob(IJobHost& host)
{
    TDemandIntervalRead(host).Run();
}
