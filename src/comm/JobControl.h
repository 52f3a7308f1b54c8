#pragma once
// Job control: the job and result-code mailboxes shared by the UI thread and the
// worker, the rules that park a job while the worker is busy, and the result
// handler that runs on the UI thread after every worker cycle. The main window
// inherits it; tests use it on its own.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>

#include "comm/ThCom.h"
#include "core/JobCodes.h"

struct JobControl {
    std::atomic<uint8_t> JobCode{0};
    std::atomic<uint8_t> PendingJob{0};
    std::atomic<uint8_t> UiRequest{0};
    // UI thread: the window of the job started last, kept until the next one
    // starts, so that its result can tell its own window from a later one;
    // and the window of the parked job.
    uint32_t JobWindow = 0;
    uint32_t PendingJobWindow = 0;
    // Owned: created by CreateComThread, ended and freed by ShutdownWorker's caller
    // or at the latest by the destructor.
    TThreadCom* ComThread = nullptr;

    JobControl() = default;
    ~JobControl();
    JobControl(const JobControl&) = delete;
    JobControl& operator=(const JobControl&) = delete;

    // UI thread, except SetJob(0) and SetUiRequest, which the runners call at a job's end.
    // window: the opening of the progress window that the job's result reports
    // in (TProgrWinForm::Openings), 0 for none; it goes with the job when the
    // job is parked.
    void SetJob(uint8_t code, uint32_t window = 0);
    uint8_t GetJob() const { return JobCode.load(); }
    void SetUiRequest(uint8_t code) { UiRequest.store(code); }
    uint8_t GetUiRequest() const { return UiRequest.load(); }
    void StartThread();
    void StopThread();

    // UI thread. The worker starts suspended, so nothing runs before the first
    // SetJob. The runners and hooks below are to be in place before this call.
    void CreateComThread(const std::atomic<char>& transportCode,
                         std::chrono::milliseconds resultDelay = TThreadCom::DefaultResultDelay);
    // UI thread, before the windows go: cancels the running job and ends the
    // worker at its safe point (see TThreadCom::Shutdown for the false result).
    bool ShutdownWorker();

    // Worker: runs the current job with the runner of the transport.
    void PollStep(char transportCode);
    std::function<void()> MBusJobStep;
    std::function<void()> ModbusJobStep;
    // Worker: a job that no runner carries ends at once, as a failure the user
    // sees (the identification's for a connect, "no answer" for any other),
    // instead of staying set and keeping every later job parked.
    void EndJobWithoutRunner(uint8_t job);

    // UI thread: the action the handler takes for a posted result code.
    void SetUiAction(uint8_t code, std::function<void()> action);
    // UI thread, the worker blocked in Synchronize (ResultHandler.cpp).
    void HandleUiRequest();

    // UI thread: a progress report of the worker for the progress window.
    std::function<void(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind)> UpdateProgressHook;
    // UI thread: an exception escaped a job runner; the job has been dropped.
    std::function<void(std::exception_ptr fault)> WorkerFaultHook;
    void ReportWorkerFault(std::exception_ptr fault);

private:
    std::array<std::function<void()>, 256> UiActions_{};
};
