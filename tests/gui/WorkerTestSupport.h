#pragma once
// A job-control rig for the worker tests: JobControl with a real worker thread,
// a stand-in job runner that behaves like the real ones towards JobCode and
// UiRequest, and result actions that record what they were called for.
#include <QCoreApplication>
#include <QEventLoop>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "../support/Pump.h"
#include "comm/JobControl.h"
#include "core/LinkState.h"

using namespace std::chrono_literals;

using testsupport::PumpUntil;

inline void PumpFor(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    PumpUntil([&] { return std::chrono::steady_clock::now() >= end; }, span + 1s);
}

// Stands in for a job runner: a job is a few request steps with a JobCode check
// after each, ending with SetJob(0) and its result code. Job 0 posts the cancel
// code at once, as the M-Bus runner does. A job can be held at its steps.
class StandInRunner {
public:
    explicit StandInRunner(JobControl& jobs) : jobs_(jobs) {}

    void operator()()
    {
        const uint8_t job = jobs_.GetJob();
        {
            std::lock_guard lock(m_);
            ran_.push_back(job);
        }
        cv_.notify_all();
        if (job == 0) {
            jobs_.SetUiRequest(urJobCancelled);
            return;
        }
        for (int step = 0; step < Steps; ++step) {
            {
                std::unique_lock lock(m_);
                ++stepsDone_;
                cv_.notify_all();
                // Each wait stands for one exchange with the meter.
                while (hold_ && jobs_.GetJob() != 0) cv_.wait_for(lock, 2ms);
            }
            if (jobs_.GetJob() == 0) {
                jobs_.SetUiRequest(urJobCancelled);
                return;
            }
        }
        jobs_.SetJob(0);
        jobs_.SetUiRequest(ResultOf(job));
    }

    static uint8_t ResultOf(uint8_t job) { return job == jcMBusMeasurement ? urMeasurementRead : urMainCountersRead; }

    void Hold()
    {
        std::lock_guard lock(m_);
        hold_ = true;
    }
    void Release()
    {
        {
            std::lock_guard lock(m_);
            hold_ = false;
        }
        cv_.notify_all();
    }
    std::vector<uint8_t> Ran() const
    {
        std::lock_guard lock(m_);
        return ran_;
    }
    int StepsDone() const
    {
        std::lock_guard lock(m_);
        return stepsDone_;
    }
    // Blocks the UI thread until a job was started; only for jobs that need no UI.
    bool WaitStarted(uint8_t job, std::chrono::milliseconds limit = 5s)
    {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, limit, [&] {
            for (uint8_t j : ran_)
                if (j == job) return true;
            return false;
        });
    }

    static constexpr int Steps = 250;

private:
    JobControl& jobs_;
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::vector<uint8_t> ran_;
    int stepsDone_ = 0;
    bool hold_ = false;
};

inline const std::vector<uint8_t>& AllResultCodes()
{
    static const std::vector<uint8_t> codes{43,  44,  120, 121, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132,
                                            133, 134, 135, 136, 137, 138, 139, 140, 141, 143, 144, 145, 146, 148};
    return codes;
}

struct WorkerRig : JobControl {
    explicit WorkerRig(std::chrono::milliseconds resultDelay = 5ms, char transportCode = tcMBus)
    {
        Transport = transportCode;
        MBusJobStep = [this] { Runner(); };
        ModbusJobStep = [this] { Runner(); };
        for (uint8_t code : AllResultCodes()) SetUiAction(code, [this, code] { Actions.push_back(code); });
        CreateComThread(Transport, resultDelay);
    }
    ~WorkerRig() { ShutdownWorker(); }

    // The worker sleeps with no job: the state every finished job must end in.
    bool Idle() const { return JobCode.load() == 0 && ComThread->Parked(); }
    bool WaitIdle() { return PumpUntil([this] { return Idle(); }); }

    std::atomic<char> Transport{0};
    StandInRunner Runner{*this};
    std::vector<uint8_t> Actions; // UI thread only
};
