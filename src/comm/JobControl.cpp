#include "comm/JobControl.h"

#include "core/LinkState.h"

JobControl::~JobControl()
{
    ShutdownWorker();
    delete ComThread;
    ComThread = nullptr;
}

void JobControl::SetJob(uint8_t code, uint32_t window)
{
    TThreadCom* const worker = ComThread;
    // Without a worker, or while it is being ended, nothing would ever run the job;
    // storing it would leave it set and stop every later job from starting.
    if (code != 0 && (worker == nullptr || worker->Stopping())) return;

    if (code != 0 && !worker->Suspended()) {
        // Busy with a job or its result: park it. A clock read is never worth
        // waiting for: it is skipped (its timer comes back), and what the user
        // parked stays parked.
        if (IsClockReadJob(code)) return;
        PendingJob.store(code);
        PendingJobWindow = window;
        return;
    }
    if (code != 0 && JobCode.load() == 0) {
        JobWindow = window;
        JobCode.store(code);
        StartThread();
        return;
    }
    // Code 0 cancels: the runner sees it at its next check.
    JobCode.store(code);
}

void JobControl::StartThread()
{
    if (ComThread) ComThread->Resume();
}

void JobControl::StopThread()
{
    if (ComThread) ComThread->Suspend();
}

void JobControl::CreateComThread(const std::atomic<char>& transportCode, std::chrono::milliseconds resultDelay)
{
    if (ComThread) return;
    ComThread = new TThreadCom(*this, transportCode, true, resultDelay);
}

bool JobControl::ShutdownWorker()
{
    if (!ComThread) return true;
    SetJob(0);
    return ComThread->Shutdown();
}

void JobControl::PollStep(char transportCode)
{
    switch (transportCode) {
    case tcMBus:
        if (MBusJobStep) MBusJobStep();
        break;
    case tcModbusRtu:
    case tcModbusTcp:
        if (ModbusJobStep) ModbusJobStep();
        break;
    default:
        if (const uint8_t job = JobCode.load(); job != jcIdle) EndJobWithoutRunner(job);
        break;
    }
}

void JobControl::EndJobWithoutRunner(uint8_t job)
{
    SetJob(jcIdle);
    SetUiRequest(IsIdentifyJob(job) ? urIdentifyFailed : urNoAnswer);
}

void JobControl::ReportWorkerFault(std::exception_ptr fault)
{
    if (WorkerFaultHook) WorkerFaultHook(fault);
}
