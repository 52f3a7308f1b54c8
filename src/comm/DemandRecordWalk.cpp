#include "comm/DemandRecordWalk.h"

#include "core/LoggerParsers.h"
#include "core/LoggerStores.h"

bool TDemandRecordWalk::EndTest(std::span<const uint8_t> data, int& index, int count)
{
    if (variant2_ && !rtu_) return ZeroRunEnd(data, index, count);
    if (!IsLogEndMark(data)) return false;
    if (index == 0) stores_.DemandItemCount = 0;
    if (variant2_) stores_.RecordCount = index;
    index = count - 1;
    return true;
}

// RecordCount is the number of records before the two all-zero ones.
bool TDemandRecordWalk::ZeroRunEnd(std::span<const uint8_t> data, int& index, int count)
{
    const bool zero = data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0;
    if (zero && zeroRun_ >= 1) {
        stores_.RecordCount = index;
        index = count - 1;
    } else if (index == count - 1) {
        stores_.RecordCount = zero ? index : index + 1;
    }
    if (!zero) {
        zeroRun_ = 0;
        return false;
    }
    if (++zeroRun_ > 1) {
        stores_.RecordCount -= 1;
        index = count - 1;
    }
    return false;
}

bool TDemandRecordWalk::Parse(std::span<const uint8_t> data, int index, int count, bool endOfLog)
{
    // The large log's end mark holds no record.
    if (variant2_ && endOfLog) return false;
    CDemandLogger* r = stores_.DemandRecords.ForWrite(static_cast<size_t>(index));
    if (r == nullptr) return false;
    const TParseResult result = variant2_ ? ParseVariant2DemandRecord(data, *r) : ParseDemandRecord(data, *r);
    // Over RTU the rows run to the end mark, empty records among them.
    if (variant2_ && rtu_ && result != TParseResult::Short) stores_.RecordCount = index + 1;
    if (result != TParseResult::Reported || endOfLog) return false;
    stores_.DemandItemCount = index + 1;
    if (variant2_ && !rtu_ && index < count - 1) stores_.RecordCount = index + 1;
    return true;
}
