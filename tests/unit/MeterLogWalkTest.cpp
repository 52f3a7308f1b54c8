// The meter's log walk after a miss: whichever single exchange is lost, and
// whether it was lost before the meter (nothing carried out) or after it (the
// step made, its answer lost), a reader that follows the tool's rule gets every
// record once, newest first.
#include <gtest/gtest.h>

#include <vector>

#include "meter/MeterLoggers.h"

namespace {

using meter::DemandRecord;
using meter::LogCursor;
using meter::NumberedLog;

enum class Lost { BeforeMeter, AfterMeter };

// The tool's walk: newest first; a miss at the first request repeats it, a
// miss later sends the request after a miss (answer unused), then "older".
std::vector<int64_t> Walk(const NumberedLog<DemandRecord>& log, int wanted, int lostExchange, Lost how)
{
    LogCursor cursor;
    std::vector<int64_t> got;
    int exchange = 0;
    bool retry = false;
    while (static_cast<int>(got.size()) < wanted) {
        const bool lost = exchange++ == lostExchange;
        cursor.NoteRequest();
        if (lost && how == Lost::BeforeMeter) {
            retry = !got.empty();
            continue;
        }
        const DemandRecord* r = nullptr;
        if (got.empty())
            r = cursor.Newest(log);
        else if (retry)
            cursor.AfterMiss(log);
        else
            r = cursor.Older(log);
        if (lost) {
            retry = !got.empty();
            continue;
        }
        if (retry) {
            retry = false;
            continue;
        }
        got.push_back(r ? r->number : 0);
    }
    return got;
}

TEST(MeterLogWalk, NoRecordLostOrRepeatedWhateverExchangeIsLost)
{
    NumberedLog<DemandRecord> log(10);
    for (int k = 0; k < 6; ++k) log.Append({});
    const std::vector<int64_t> all = {6, 5, 4, 3, 2, 1, 0};  // 0: past the oldest
    for (const Lost how : {Lost::BeforeMeter, Lost::AfterMeter}) {
        for (int lost = -1; lost < 9; ++lost) {
            SCOPED_TRACE(testing::Message() << "lost exchange " << lost << (how == Lost::AfterMeter ? " after" : " before"));
            EXPECT_EQ(Walk(log, 7, lost, how), all);
        }
    }
}

TEST(MeterLogWalk, RequestAfterMissTakesBackOnlyTheStepJustBefore)
{
    NumberedLog<DemandRecord> log(10);
    for (int k = 0; k < 4; ++k) log.Append({});
    LogCursor c;
    c.NoteRequest();
    c.Newest(log);  // 4
    c.NoteRequest();
    c.Older(log);  // 3
    c.NoteRequest();
    c.NoteRequest();  // an unrelated request between
    c.AfterMiss(log);
    EXPECT_EQ(c.Position(), 3);
    c.NoteRequest();
    c.AfterMiss(log);  // nothing left to take back
    EXPECT_EQ(c.Position(), 3);
    c.NoteRequest();
    c.Older(log);
    c.NoteRequest();
    EXPECT_EQ(c.AfterMiss(log)->number, 3);
}

}  // namespace
