#pragma once
// TThreadCom: the one worker thread that carries out the device traffic of all
// jobs. Its loop is: run the current job, wait the result delay, run the result
// handler on the UI thread. The only place where it can be parked is at the top
// of that loop, after the handler has returned.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct JobControl;

class TThreadCom {
public:
    // The pause between a job's end and its result handler. It is spent on the
    // worker, so the window stays responsive while it passes.
    static constexpr std::chrono::milliseconds DefaultResultDelay{500};

    // Must be constructed on the UI thread: that thread becomes the one that
    // Synchronize and Queue deliver to. A worker created suspended waits at its
    // safe point before running anything.
    TThreadCom(JobControl& host, const std::atomic<char>& transportCode, bool createSuspended,
               std::chrono::milliseconds resultDelay = DefaultResultDelay);
    ~TThreadCom();
    TThreadCom(const TThreadCom&) = delete;
    TThreadCom& operator=(const TThreadCom&) = delete;

    // Runs call on the UI thread and blocks the calling thread until it has
    // returned (a direct call on the UI thread). Returns false, without running
    // it, once shut-down has begun.
    bool Synchronize(const std::function<void()>& call);
    // Hands call to the UI thread without waiting; dropped once shut-down has begun.
    void Queue(std::function<void()> call);

    // Suspend takes effect when the worker next reaches its safe point.
    void Suspend();
    void Resume();
    bool Suspended() const;
    // The worker is actually waiting at its safe point.
    bool Parked() const;
    bool Stopping() const;

    // UI thread: ends the worker at its safe point and joins it, keeping events
    // flowing meanwhile so a worker waiting for the UI thread can get there.
    // Returns false when called from inside a synchronized call (the worker
    // cannot move until that call returns); it then ends right after it, and a
    // later Shutdown or the destructor joins it.
    bool Shutdown();

    // Worker: shows the progress of a scan or logger read in the progress
    // window. Handed over without waiting, so a read of many records does not
    // wait for the window per record; the reports arrive in order, every one of
    // them, within about 40 ms, and all before any later call the worker hands
    // to the UI thread (the result handler of the job among them).
    void ReportProgress(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind);
    // UI thread half of ReportProgress, for the report in ItemIndex, ItemTotal
    // and ProgressKind.
    void SyncProgress();

    uint32_t ItemIndex = 0;
    uint32_t ItemTotal = 0;
    uint8_t ProgressKind = 0;

private:
    struct UiCall;
    struct Shared;
    class UiMailbox;
    // Calls reach the UI thread through a queue of our own; the posted event only
    // wakes the mailbox, so no payload crosses the threads outside our mutex.
    bool Post(const std::shared_ptr<UiCall>& call);

    // UI thread: runs the reports handed over since the last run.
    void DrainProgress();

    void Execute();
    bool WaitAtSafePoint();
    bool WaitResultDelay();
    void RunJobStep();
    bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

    JobControl& host_;
    const std::atomic<char>& transport_;
    const std::chrono::milliseconds resultDelay_;
    const std::thread::id uiThread_;
    // Shared with the mailbox, whose running call may outlive this object.
    std::shared_ptr<Shared> shared_;
    UiMailbox* mailbox_;
    struct ProgressReport {
        uint32_t index, total;
        uint8_t kind;
    };
    std::mutex progressMutex_;
    std::vector<ProgressReport> progress_;  // handed over, not yet shown
    static constexpr std::chrono::milliseconds ProgressWakeInterval{40};
    std::chrono::steady_clock::time_point lastProgressWake_{};
    std::thread thread_;
};
