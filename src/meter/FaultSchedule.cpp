#include "meter/FaultSchedule.h"

#include <algorithm>

namespace meter {

namespace {
bool Every(int n, uint64_t count) { return n > 0 && count % static_cast<uint64_t>(n) == 0; }
}  // namespace

bool FaultSchedule::DropRequest() {
    ++requests_;
    if (options_.silentAfter > 0 && answers_ >= static_cast<uint64_t>(options_.silentAfter)) return true;
    return Every(options_.noAnswerEvery, requests_);
}

bool FaultSchedule::DropAnswer() {
    ++carriedOut_;
    const auto& listed = options_.dropAnswers;
    return Every(options_.dropAnswerEvery, carriedOut_) ||
           std::find(listed.begin(), listed.end(), static_cast<int64_t>(carriedOut_)) != listed.end();
}

FaultSchedule::AnswerFaults FaultSchedule::ForAnswer(bool rtu) {
    AnswerFaults f;
    ++answers_;
    if (options_.delayMs > 0 && Every(options_.delayEvery, answers_)) f.delayMs = options_.delayMs;
    if (rtu) f.badCrc = Every(options_.badCrcEvery, ++rtuAnswers_);
    return f;
}

FaultSchedule::MBusAnswerFaults FaultSchedule::ForMBusAnswer(bool longFrame) {
    MBusAnswerFaults f;
    ++answers_;
    if (options_.delayMs > 0 && Every(options_.delayEvery, answers_)) f.delayMs = options_.delayMs;
    if (longFrame) {
        ++mbusLongAnswers_;
        f.badChecksum = Every(options_.badChecksumEvery, mbusLongAnswers_);
        f.oneByteShort = !f.badChecksum && Every(options_.shortFrameEvery, mbusLongAnswers_);
    }
    return f;
}

bool FaultSchedule::CloseConnection(int answersOnConnection) const {
    return options_.dropAfter > 0 && answersOnConnection >= options_.dropAfter;
}

}  // namespace meter
