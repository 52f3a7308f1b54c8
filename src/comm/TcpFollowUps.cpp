#include "comm/TcpFollowUps.h"

#include <algorithm>

#include "core/AnswerChecks.h"

bool TTcpFollowUps::Adopt(uint8_t* request, int length, FrameBuffers& frames, uint64_t& exchange, bool& complete)
{
    if (count_ > 0 && length >= 2) {
        TSent& s = At(0);
        if (s.Length == length && s.Request[0] == request[0] &&
            std::equal(request + 2, request + length, s.Request + 2)) {
            request[1] = s.Request[1];
            std::copy_n(s.Answer.RxBuffer, s.Answer.RxCount, frames.RxBuffer);
            frames.RxCount = s.Answer.RxCount;
            exchange = s.Exchange;
            complete = s.Complete;
            first_ = (first_ + 1) % Depth;
            --count_;
            return true;
        }
    }
    count_ = 0;
    return false;
}

void TTcpFollowUps::Offer(const TTcpFollowUp* followUp, bool adopted)
{
    if (!followUp || !followUp->Follows || followUp->Request.size() < 2 ||
        followUp->Request.size() > sizeof request_) {
        left_ = 0;
        return;
    }
    std::copy(followUp->Request.begin(), followUp->Request.end(), request_);
    length_ = static_cast<int>(followUp->Request.size());
    follows_ = followUp->Follows;
    context_ = followUp->Context;
    // Those already sent ahead count against the new offer's limit.
    const int allowed = std::max(followUp->Limit - count_, 0);
    left_ = adopted ? std::min(left_, allowed) : allowed;
}

TTcpFollowUps::TSent* TTcpFollowUps::Awaited()
{
    if (count_ == 0) return nullptr;
    TSent& last = At(count_ - 1);
    return last.Complete ? nullptr : &last;
}

TTcpFollowUps::TSent* TTcpFollowUps::Queue(const uint8_t* answer, int count)
{
    if (left_ <= 0 || count_ == Depth || !follows_(context_, answer, count)) return nullptr;
    --left_;
    TSent& s = At(count_++);
    std::copy_n(request_, length_, s.Request);
    s.Length = length_;
    s.Complete = false;
    BeginModbusTcpAnswer(s.Answer);
    return &s;
}
