#pragma once
// Job and result-code mailboxes shared by the UI thread and the worker.
#include <atomic>
#include <cstdint>

class TThreadCom;

struct JobControl {
    std::atomic<uint8_t> JobCode{0};
    std::atomic<uint8_t> PendingJob{0};
    std::atomic<uint8_t> UiRequest{0};
    TThreadCom* ComThread = nullptr;
};
