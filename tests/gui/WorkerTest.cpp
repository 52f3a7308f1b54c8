// Job control, the worker loop and the result handler, with a real worker thread
// and a stand-in runner.
#include <gtest/gtest.h>

#include <QTimer>
#include <stdexcept>
#include <string>

#include "WorkerTestSupport.h"

namespace {

using Jobs = std::vector<uint8_t>;

TEST(JobControl, PollStepPicksTheRunnerOfTheTransport)
{
    struct Row {
        char transport;
        int mbus, modbus;
    };
    for (const Row& row : {Row{tcMBus, 1, 0}, Row{tcModbusRtu, 0, 1}, Row{tcModbusTcp, 0, 1}, Row{0, 0, 0},
                           Row{'1', 0, 0}, Row{'5', 0, 0}}) {
        JobControl jobs;
        int mbus = 0, modbus = 0;
        jobs.MBusJobStep = [&] { ++mbus; };
        jobs.ModbusJobStep = [&] { ++modbus; };
        jobs.PollStep(row.transport);
        EXPECT_EQ(mbus, row.mbus) << "transport " << int(row.transport);
        EXPECT_EQ(modbus, row.modbus) << "transport " << int(row.transport);
    }
}

TEST(JobControl, WithoutAWorkerAJobIsNotTaken)
{
    JobControl jobs;
    jobs.SetJob(jcMBusMeasurement);
    EXPECT_EQ(jobs.GetJob(), 0);
    EXPECT_EQ(jobs.PendingJob.load(), 0);
}

TEST(Worker, CreatedSuspendedRunsNothingUntilAJobIsSet)
{
    WorkerRig rig;
    ASSERT_TRUE(rig.WaitIdle());
    PumpFor(30ms);
    EXPECT_TRUE(rig.Runner.Ran().empty());
    EXPECT_TRUE(rig.ComThread->Suspended());
}

TEST(Worker, JobSetWhileIdleRunsAndTheWorkerSleepsAfterItsResult)
{
    WorkerRig rig;
    ASSERT_TRUE(rig.WaitIdle());
    rig.SetJob(jcMBusMeasurement);
    EXPECT_FALSE(rig.ComThread->Suspended());
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Runner.Ran(), Jobs{jcMBusMeasurement});
    EXPECT_EQ(rig.Actions, Jobs{urMeasurementRead});
    EXPECT_EQ(rig.GetUiRequest(), 0);
    // Asleep for good: no idle cycles follow.
    PumpFor(30ms);
    EXPECT_EQ(rig.Runner.Ran().size(), 1u);
}

TEST(Worker, SuspendAndResumeAreObservable)
{
    WorkerRig rig;
    ASSERT_TRUE(PumpUntil([&] { return rig.ComThread->Parked(); }));
    EXPECT_TRUE(rig.ComThread->Suspended());

    // A job that never ends keeps the worker cycling through its result handler.
    rig.JobCode = jcMBusMainCounters;
    rig.MBusJobStep = nullptr;
    rig.ComThread->Resume();
    EXPECT_FALSE(rig.ComThread->Suspended());
    ASSERT_TRUE(PumpUntil([&] { return !rig.ComThread->Parked(); }));

    // Suspend takes effect at the safe point, after the handler of the cycle.
    rig.ComThread->Suspend();
    EXPECT_TRUE(rig.ComThread->Suspended());
    EXPECT_TRUE(PumpUntil([&] { return rig.ComThread->Parked(); }));
    rig.JobCode = 0;
}

// Every row: the worker is busy with job 2 (held at a step), something may be
// parked already, and the UI sets a job. After the running job's result the
// parked job, if any, runs next, and the window it was given goes with it. A
// clock read is skipped, and whatever was parked stays.
TEST(Worker, SetJobWhileBusyParksTheJob)
{
    struct Row {
        uint8_t parkedBefore;
        uint8_t code;
        uint8_t jobAfter;     // JobCode right after the call
        uint8_t parkedAfter;  // PendingJob right after the call
        uint8_t runsNext;     // 0: the worker goes to sleep
    };
    const Row rows[] = {
        {0, jcMBusMeasurement, jcMBusMainCounters, jcMBusMeasurement, jcMBusMeasurement},
        {jcMBusFreezeCounters, jcMBusMeasurement, jcMBusMainCounters, jcMBusMeasurement, jcMBusMeasurement},
        {jcMBusMeasurement, jcMBusDeviceTime, jcMBusMainCounters, jcMBusMeasurement, jcMBusMeasurement},
        {jcMBusMeasurement, jcModbusDeviceTime, jcMBusMainCounters, jcMBusMeasurement, jcMBusMeasurement},
        {0, jcMBusDeviceTime, jcMBusMainCounters, 0, 0},
        // A cancel: the runner stops at its next check, the parked job survives.
        {jcMBusMeasurement, 0, 0, jcMBusMeasurement, jcMBusMeasurement},
    };
    // The windows the jobs are given: running, parked before, set by the row.
    constexpr uint32_t kRunning = 7, kParkedBefore = 8, kSet = 9;
    for (const Row& row : rows) {
        SCOPED_TRACE("parked " + std::to_string(row.parkedBefore) + ", set " + std::to_string(row.code));
        WorkerRig rig;
        rig.Runner.Hold();
        rig.SetJob(jcMBusMainCounters, kRunning);
        ASSERT_TRUE(rig.Runner.WaitStarted(jcMBusMainCounters));
        if (row.parkedBefore) rig.SetJob(row.parkedBefore, kParkedBefore);

        rig.SetJob(row.code, kSet);
        EXPECT_EQ(rig.GetJob(), row.jobAfter);
        EXPECT_EQ(rig.PendingJob.load(), row.parkedAfter);
        EXPECT_EQ(rig.JobWindow, kRunning);

        rig.Runner.Release();
        ASSERT_TRUE(rig.WaitIdle());
        const Jobs expected = row.runsNext ? Jobs{jcMBusMainCounters, row.runsNext} : Jobs{jcMBusMainCounters};
        EXPECT_EQ(rig.Runner.Ran(), expected);
        EXPECT_EQ(rig.PendingJob.load(), 0);
        const bool setRuns = row.code != 0 && row.runsNext == row.code;
        EXPECT_EQ(rig.JobWindow, !row.runsNext ? kRunning : setRuns ? kSet : kParkedBefore);
    }
}

TEST(Worker, CancelStopsTheRunnerAtItsNextCheck)
{
    WorkerRig rig;
    rig.Runner.Hold();
    rig.SetJob(jcMBusScan);
    ASSERT_TRUE(rig.Runner.WaitStarted(jcMBusScan));
    rig.SetJob(0);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_LT(rig.Runner.StepsDone(), StandInRunner::Steps);
    EXPECT_EQ(rig.Actions, Jobs{urJobCancelled});
}

TEST(Worker, SetJobWhileSuspendedWithAJobLeftSetOnlyOverwritesIt)
{
    WorkerRig rig;
    ASSERT_TRUE(rig.WaitIdle());
    rig.JobCode = jcMBusFreezeCounters; // a job that ended without clearing it
    rig.SetJob(jcMBusMeasurement);
    EXPECT_EQ(rig.GetJob(), jcMBusMeasurement);
    EXPECT_TRUE(rig.ComThread->Suspended());
    PumpFor(30ms);
    EXPECT_TRUE(rig.ComThread->Parked());
    EXPECT_TRUE(rig.Runner.Ran().empty());
    rig.SetJob(0);
    EXPECT_EQ(rig.GetJob(), 0);
    EXPECT_TRUE(rig.ComThread->Parked());
}

TEST(ResultHandler, CycleWithoutAPostedCodeKeepsTheJobGoing)
{
    WorkerRig rig;
    std::atomic<int> cycles{0};
    std::atomic<bool> finish{false};
    // A job that takes several cycles and posts only at its end.
    rig.MBusJobStep = [&] {
        if (rig.GetJob() != jcMBusMainCounters) return rig.Runner();
        ++cycles;
        if (finish) {
            rig.SetJob(0);
            rig.SetUiRequest(urMainCountersRead);
        }
    };
    rig.SetJob(jcMBusMainCounters);
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return cycles >= 4; }));
    EXPECT_FALSE(rig.ComThread->Suspended());
    EXPECT_EQ(rig.GetJob(), jcMBusMainCounters);
    EXPECT_EQ(rig.PendingJob.load(), jcMBusMeasurement) << "a parked job starts only after a result";
    EXPECT_TRUE(rig.Actions.empty());

    finish = true;
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Runner.Ran(), Jobs{jcMBusMeasurement});
    EXPECT_EQ(rig.Actions, (Jobs{urMainCountersRead, urMeasurementRead}));
}

TEST(ResultHandler, ResultOfAJobLeftSetKeepsTheWorkerRunning)
{
    WorkerRig rig;
    std::atomic<int> cycles{0};
    rig.MBusJobStep = [&] {
        if (++cycles == 1) {
            rig.SetUiRequest(urMainCountersRead); // job code left set
        } else {
            rig.SetJob(0);
            rig.SetUiRequest(urMeasurementRead);
        }
    };
    rig.SetJob(jcMBusMainCounters);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(cycles.load(), 2);
    EXPECT_EQ(rig.Actions, (Jobs{urMainCountersRead, urMeasurementRead}));
}

// A job that ends without a result (the step limit, a missed tariff answer) must
// not leave the worker cycling, nor a job parked meanwhile waiting for ever.
TEST(ResultHandler, IdleCycleEndsAsleepOrWithTheParkedJobStarted)
{
    for (bool parkOne : {false, true}) {
        SCOPED_TRACE(parkOne ? "with a parked job" : "nothing parked");
        WorkerRig rig;
        std::atomic<int> quietEnds{0};
        rig.ModbusJobStep = [&] {
            if (rig.GetJob() == jcModbusSetTariff) {
                ++quietEnds;
                rig.SetJob(0);
                return;
            }
            rig.Runner();
        };
        rig.Transport = tcModbusTcp;
        rig.SetJob(jcModbusSetTariff);
        // The result handler cannot run before this test code returns to events,
        // so the worker is still busy here.
        if (parkOne) rig.SetJob(jcModbusMeasurement);
        ASSERT_TRUE(rig.WaitIdle());
        PumpFor(30ms);
        EXPECT_TRUE(rig.Idle());
        EXPECT_EQ(quietEnds.load(), 1);
        EXPECT_EQ(rig.Runner.Ran(), parkOne ? Jobs{jcModbusMeasurement} : Jobs{});
        EXPECT_EQ(rig.PendingJob.load(), 0);
    }
}

TEST(ResultHandler, UnknownCodeIsOnlyResetAndTheParkedJobStillStarts)
{
    for (uint8_t unknown : {uint8_t{1}, uint8_t{122}, uint8_t{142}, uint8_t{255}}) {
        SCOPED_TRACE(int(unknown));
        WorkerRig rig;
        std::atomic<bool> first{true};
        rig.MBusJobStep = [&] {
            if (first.exchange(false)) {
                rig.SetJob(0);
                rig.SetUiRequest(unknown);
                return;
            }
            rig.Runner();
        };
        rig.SetJob(jcMBusMainCounters);
        rig.SetJob(jcMBusMeasurement);
        ASSERT_TRUE(rig.WaitIdle());
        EXPECT_EQ(rig.Actions, Jobs{urMeasurementRead});
        EXPECT_EQ(rig.Runner.Ran(), Jobs{jcMBusMeasurement});
        EXPECT_EQ(rig.GetUiRequest(), 0);
    }
}

TEST(ResultHandler, ActionRunsOnTheUiThreadAndSeesWhatTheRunnerWrote)
{
    WorkerRig rig;
    int answer = 0; // plain memory, as the decoded values are
    std::thread::id actionThread;
    int seen = -1;
    rig.MBusJobStep = [&] {
        answer = 4711;
        rig.SetJob(0);
        rig.SetUiRequest(urMeasurementRead);
    };
    rig.SetUiAction(urMeasurementRead, [&] {
        actionThread = std::this_thread::get_id();
        seen = answer;
        // The worker waits in Synchronize meanwhile.
        EXPECT_FALSE(rig.ComThread->Parked());
    });
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(actionThread, std::this_thread::get_id());
    EXPECT_EQ(seen, 4711);
}

TEST(ResultHandler, ActionThatSetsAJobGetsItStartedAfterTheResult)
{
    WorkerRig rig;
    rig.SetUiAction(urMainCountersRead, [&] { rig.SetJob(jcMBusMeasurement); });
    rig.SetJob(jcMBusMainCounters);
    ASSERT_TRUE(PumpUntil([&] { return rig.Runner.Ran().size() == 2 && rig.Idle(); }));
    EXPECT_EQ(rig.Runner.Ran(), (Jobs{jcMBusMainCounters, jcMBusMeasurement}));
}

// The pause before the result passes on the worker: the window keeps handling
// its events (timers, clicks) meanwhile, and the result still comes no earlier.
TEST(ResultHandler, ResultDelayDoesNotFreezeTheWindow)
{
    constexpr auto delay = 300ms;
    WorkerRig rig(delay);
    std::atomic<std::chrono::steady_clock::time_point::rep> jobEnd{0};
    int ticks = 0, ticksAtAction = -1;
    std::chrono::steady_clock::time_point actionAt;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(10);
    rig.MBusJobStep = [&] {
        rig.SetJob(0);
        rig.SetUiRequest(urMeasurementRead);
        jobEnd = std::chrono::steady_clock::now().time_since_epoch().count();
    };
    rig.SetUiAction(urMeasurementRead, [&] {
        actionAt = std::chrono::steady_clock::now();
        ticksAtAction = ticks;
    });
    ASSERT_TRUE(PumpUntil([&] { return ticks > 0; }));
    ticks = 0;
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(rig.WaitIdle());
    const auto end = std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(jobEnd.load()));
    EXPECT_GE(actionAt - end, delay - 5ms);
    EXPECT_GE(ticksAtAction, 10);
}

TEST(ResultHandler, DefaultDelayIsHalfASecond)
{
    WorkerRig rig(TThreadCom::DefaultResultDelay);
    std::chrono::steady_clock::time_point started, acted;
    rig.SetUiAction(urMeasurementRead, [&] { acted = std::chrono::steady_clock::now(); });
    started = std::chrono::steady_clock::now();
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_GE(acted - started, 495ms);
    EXPECT_LT(acted - started, 2s);
}

TEST(ThreadCom, ProgressReportsArriveInOrderOnTheUiThread)
{
    WorkerRig rig;
    struct Report {
        uint32_t index, total;
        uint8_t kind;
        bool operator==(const Report&) const = default;
    };
    std::vector<Report> got;
    bool offThread = false;
    const auto ui = std::this_thread::get_id();
    rig.UpdateProgressHook = [&](uint32_t index, uint32_t total, uint8_t kind) {
        offThread |= std::this_thread::get_id() != ui;
        got.push_back({index, total, kind});
    };
    std::vector<Report> sent;
    for (uint32_t i = 0; i <= 250; ++i) sent.push_back({i, 500, pkAddressScan});
    for (uint32_t i = 0; i < 40; ++i) sent.push_back({i, 40, i % 2 ? pkDemandRecord : pkEventsRecord});
    sent.push_back({4099, 4100, pkCertifiedRecord});
    rig.MBusJobStep = [&] {
        for (const Report& r : sent) rig.ComThread->ReportProgress(r.index, r.total, r.kind);
        rig.SetJob(0);
        rig.SetUiRequest(urScanFinished);
    };
    rig.SetJob(jcMBusScan);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_FALSE(offThread);
    EXPECT_TRUE(got == sent);
    EXPECT_EQ(rig.Actions, Jobs{urScanFinished}) << "the result comes after the last report";
}

TEST(ThreadCom, SynchronizeOnTheUiThreadIsADirectCall)
{
    WorkerRig rig;
    bool ran = false;
    EXPECT_TRUE(rig.ComThread->Synchronize([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST(ThreadCom, QueuedCallsReachTheUiThreadInOrderWithoutBlocking)
{
    WorkerRig rig;
    std::vector<int> order;
    std::atomic<bool> queuedAll{false};
    rig.MBusJobStep = [&] {
        for (int i = 0; i < 5; ++i) rig.ComThread->Queue([&order, i] { order.push_back(i); });
        queuedAll = true; // reached without the UI thread having run anything
        rig.SetJob(0);
        rig.SetUiRequest(urMeasurementRead);
    };
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return queuedAll.load(); }));
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ThreadCom, ExceptionFromARunnerIsReportedAndTheWorkerLives)
{
    WorkerRig rig;
    std::string fault;
    std::thread::id faultThread;
    rig.WorkerFaultHook = [&](std::exception_ptr e) {
        faultThread = std::this_thread::get_id();
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            fault = ex.what();
        }
    };
    rig.MBusJobStep = [&] {
        if (rig.GetJob() == jcMBusMainCounters) throw std::runtime_error("port gone");
        rig.Runner();
    };
    rig.SetJob(jcMBusMainCounters);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(fault, "port gone");
    EXPECT_EQ(faultThread, std::this_thread::get_id());

    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_EQ(rig.Runner.Ran(), Jobs{jcMBusMeasurement});
}

}  // namespace
