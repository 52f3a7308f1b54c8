#pragma once
// The record loop that every logger read shares, on any transport: one request
// per record, newest first; a missed answer is retried once, a second miss in a
// row ends the read with "no answer"; the user's cancel is seen between
// records. What a request is, where the log ends and how a record is parsed
// are the job's.
//
// Unlike the plain rule of "the request after a miss, then the next older":
//  - a miss at the first record repeats the first request, whose answer is
//    used (it starts the walk again), so record 0 is never lost;
//  - only an answer that is used goes through the end-of-log test: a missed
//    exchange or a discarded answer never ends a log.
#include <cstdint>
#include <functional>

class IJobHost;

enum class TWalkRequest : uint8_t {
    First,      // index 0: the newest record, the walk starts over
    Next,       // the next older record
    AfterMiss,  // the request after a missed answer
};

struct TLoggerWalk {
    // Records to read; the first request may lower it (certified entries).
    int Count = 0;
    // Whether the answer to the request after a miss is dropped and the record
    // asked for once more with the next-older request.
    bool DiscardAfterMiss = true;
    // Sends the request; true when a usable answer came (one that carries the
    // whole record). May change Count.
    std::function<bool(int index, TWalkRequest kind, int& count)> Send;
    // End-of-log test on a used answer; may move index to count - 1. Returns
    // whether this answer marks the end (its record is then not counted).
    std::function<bool(int& index, int count)> EndTest;
    // Parses the used answer into record index.
    std::function<void(int index, int count, bool endOfLog)> Parse;
    uint8_t DoneCode = 0;
};

// Worker. Ends with the job code 0 and the job's result posted: DoneCode,
// 124 after two misses in a row, 123 after a cancel (also one that lands while
// an exchange misses). The records parsed so far stay in the store in every
// case.
void RunLoggerWalk(IJobHost& host, TLoggerWalk& walk);
