// The record loop on scripted exchanges: which request each record gets after a
// miss, which answers are parsed and tested for the end of the log, and how the
// read ends.
#include <gtest/gtest.h>

#include <string>

#include "JobHostRig.h"
#include "comm/LoggerWalk.h"

namespace {

// Per exchange: 'a' answered, 'm' missed. Requests as F (first), N (next),
// R (after a miss) with the index; parsed indices in order.
struct Script {
    const char* name;
    std::string exchanges;
    bool discardAfterMiss;
    std::string requests;
    std::string parsed;
    uint8_t result;
};

TEST(LoggerWalk, RequestsAndParsesAfterMisses)
{
    const Script scripts[] = {
        {"no miss", "aaaa", true, "F0 N1 N2 N3", "0123", urDemandLoggerRead},
        {"first request lost: repeated, its answer used", "maaaa", true, "F0 F0 N1 N2 N3", "0123", urDemandLoggerRead},
        {"miss: answer after it dropped", "aamaaa", true, "F0 N1 N2 R2 N2 N3", "0123", urDemandLoggerRead},
        {"miss: answer after it used", "aamaa", false, "F0 N1 N2 R2 N3", "0123", urDemandLoggerRead},
        {"two misses in a row", "aamm", true, "F0 N1 N2 R2", "01", urNoAnswer},
        {"first request lost twice", "mm", true, "F0 F0", "", urNoAnswer},
        {"misses apart", "amaamaaa", true, "F0 N1 R1 N1 N2 R2 N2 N3", "0123", urDemandLoggerRead},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.name);
        rig::TestJobHost host(tcModbusRtu);
        host.JobCode = jcModbusDemandLogger;
        std::string requests, parsed;
        size_t exchange = 0;
        int endTests = 0;
        TLoggerWalk walk;
        walk.Count = 4;
        walk.DiscardAfterMiss = s.discardAfterMiss;
        walk.Send = [&](int index, TWalkRequest kind, int&) {
            requests += std::string(requests.empty() ? "" : " ") +
                        (kind == TWalkRequest::First ? "F" : kind == TWalkRequest::Next ? "N" : "R") +
                        std::to_string(index);
            return exchange < s.exchanges.size() && s.exchanges[exchange++] == 'a';
        };
        walk.EndTest = [&](int&, int) {
            ++endTests;
            return false;
        };
        walk.Parse = [&](int index, int, bool) { parsed += std::to_string(index); };
        walk.DoneCode = urDemandLoggerRead;
        RunLoggerWalk(host, walk);
        EXPECT_EQ(requests, s.requests);
        EXPECT_EQ(parsed, s.parsed);
        // Only answers that are parsed are tested for the end of the log.
        EXPECT_EQ(endTests, static_cast<int>(s.parsed.size()));
        EXPECT_EQ(host.UiRequest.load(), s.result);
        EXPECT_EQ(host.JobCode.load(), 0);
    }
}

TEST(LoggerWalk, EndOfLogAndCancel)
{
    rig::TestJobHost host(tcModbusRtu);
    host.JobCode = jcModbusDemandLogger;
    std::string parsed;
    TLoggerWalk walk;
    walk.Count = 10;
    walk.Send = [](int, TWalkRequest, int&) { return true; };
    walk.EndTest = [](int& index, int count) {
        if (index == 3) index = count - 1;
        return index == count - 1;
    };
    walk.Parse = [&](int index, int, bool end) { parsed += std::to_string(index) + (end ? "e" : "") + " "; };
    walk.DoneCode = urDemandLoggerRead;
    RunLoggerWalk(host, walk);
    EXPECT_EQ(parsed, "0 1 2 9e ");
    EXPECT_EQ(host.UiRequest.load(), urDemandLoggerRead);

    host.JobCode = jcModbusDemandLogger;
    parsed.clear();
    walk.EndTest = [](int&, int) { return false; };
    walk.Parse = [&](int index, int, bool) {
        parsed += std::to_string(index);
        if (index == 2) host.SetJob(jcIdle);  // the terminate button
    };
    RunLoggerWalk(host, walk);
    EXPECT_EQ(parsed, "012");
    EXPECT_EQ(host.UiRequest.load(), urJobCancelled);
}

}  // namespace
