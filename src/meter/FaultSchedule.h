#pragma once
// When the simulated meter misbehaves on purpose: which request it ignores,
// which answer it corrupts, cuts short or delays, and when it drops a TCP
// connection.
// Only counting; the server carries the decisions out.
#include <cstdint>

#include "meter/MeterOptions.h"

namespace meter {

class FaultSchedule {
public:
    explicit FaultSchedule(const FaultOptions& options) : options_(options) {}

    // Called once per request addressed to the meter (broadcasts included);
    // true: the request is dropped unseen (also every request once silent).
    bool DropRequest();
    // Called once per request carried out, before its answer; true: the
    // answer is not sent.
    bool DropAnswer();
    // Called once per answer about to be sent.
    struct AnswerFaults {
        int delayMs = 0;
        bool badCrc = false;
    };
    AnswerFaults ForAnswer(bool rtu);
    // Called once per M-Bus answer about to be sent; the checksum and the
    // length faults concern long frames only (a single 0xE5 has neither).
    struct MBusAnswerFaults {
        int delayMs = 0;
        bool badChecksum = false;
        bool oneByteShort = false;
    };
    MBusAnswerFaults ForMBusAnswer(bool longFrame);
    // Called after an answer on a TCP connection with that connection's
    // count of answers so far; true: close it now.
    bool CloseConnection(int answersOnConnection) const;

    uint64_t Requests() const { return requests_; }
    uint64_t Answers() const { return answers_; }

private:
    FaultOptions options_;
    uint64_t requests_ = 0;
    uint64_t answers_ = 0;
    uint64_t rtuAnswers_ = 0;
    uint64_t carriedOut_ = 0;
    uint64_t mbusLongAnswers_ = 0;
};

}  // namespace meter
