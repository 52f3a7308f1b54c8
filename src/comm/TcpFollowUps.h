#pragma once
// The follow-up requests of a long read over Modbus TCP: the one the worker
// offered, and those the UI thread sent ahead with their answers, oldest
// first. The TCP client keeps them under its lock.
#include <array>
#include <cstdint>
#include <span>

#include "core/FrameBuffers.h"

// The request that follows the awaited answer, offered with the exchange: the
// UI thread sends it as soon as that answer is whole, passes the exchange's
// own check and Follows, and the job is still set, and again after each of its
// answers that passes, Limit times in all. Follows runs on the UI thread under
// the client's lock: it may read the answer and what stays fixed during the
// read, nothing else.
struct TTcpFollowUp {
    // Completed; the transaction number goes in when it is sent.
    std::span<const uint8_t> Request;
    bool (*Follows)(const void* context, const uint8_t* answer, int count) = nullptr;
    const void* Context = nullptr;
    int Limit = 1;
};

class TTcpFollowUps {
public:
    // Sent ahead and not yet taken by the worker, at most; a worker that falls
    // further behind sends its next request itself.
    static constexpr int Depth = 4;

    struct TSent {
        uint8_t Request[sizeof FrameBuffers::TxBuffer]{};
        int Length = 0;
        uint64_t Exchange = 0;
        bool Complete = false;
        FrameBuffers Answer;
    };

    // As an exchange begins: true when request (all but its transaction number)
    // is the oldest one sent ahead, which then leaves the queue; its number goes
    // into request[1], its answer so far into frames. Otherwise all sent ahead
    // are forgotten, and their answers will be passed over as late ones.
    bool Adopt(uint8_t* request, int length, FrameBuffers& frames, uint64_t& exchange, bool& complete);
    // After Adopt, the offer of the exchange; none: nothing more goes ahead. An
    // adopted exchange goes on with what is left of the count, never beyond
    // what the new offer allows.
    void Offer(const TTcpFollowUp* followUp, bool adopted);
    // Nothing more goes ahead: the read is over, and the offer's context may go.
    void End() { left_ = 0; }
    // The last one sent while its answer is not whole, else null.
    TSent* Awaited();
    // After a whole answer that passed the exchange's check: queues the next
    // request when the offer stands, its count is not used up, the queue has
    // room and the answer passes Follows. The caller numbers and sends it.
    TSent* Queue(const uint8_t* answer, int count);
    int Queued() const { return count_; }

private:
    TSent& At(int k) { return sent_[static_cast<size_t>((first_ + k) % Depth)]; }

    std::array<TSent, Depth> sent_{};
    int first_ = 0;
    int count_ = 0;
    uint8_t request_[sizeof FrameBuffers::TxBuffer]{};
    int length_ = 0;
    bool (*follows_)(const void*, const uint8_t*, int) = nullptr;
    const void* context_ = nullptr;
    int left_ = 0;
};
