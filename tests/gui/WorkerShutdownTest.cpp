// Ending the worker while the window closes: wherever the worker is, it ends
// cleanly, runs nothing of the closing window, and no thread is left behind.
#include <gtest/gtest.h>

#include <QTimer>

#include "WorkerTestSupport.h"

namespace {

using Jobs = std::vector<uint8_t>;

TEST(WorkerShutdown, WhileSuspended)
{
    WorkerRig rig;
    ASSERT_TRUE(rig.WaitIdle());
    EXPECT_TRUE(rig.ShutdownWorker());
    EXPECT_TRUE(rig.ShutdownWorker()) << "a second call finds nothing to end";
    rig.SetJob(jcMBusMeasurement);
    EXPECT_EQ(rig.GetJob(), 0) << "no job is taken once the worker is ending";
    EXPECT_TRUE(rig.Runner.Ran().empty());
}

TEST(WorkerShutdown, WhileMidJobCancelsItAtItsNextCheck)
{
    WorkerRig rig(TThreadCom::DefaultResultDelay);
    rig.Runner.Hold();
    rig.SetJob(jcMBusScan);
    ASSERT_TRUE(rig.Runner.WaitStarted(jcMBusScan));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(rig.ShutdownWorker());
    // Neither the result delay nor the rest of the scan is waited for.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 400ms);
    EXPECT_LT(rig.Runner.StepsDone(), StandInRunner::Steps);
    PumpFor(20ms);
    EXPECT_TRUE(rig.Actions.empty()) << "the cancel result of a closing window is not acted on";
}

// The worker has handed a call to the UI thread, which is busy elsewhere (here:
// in this test code) when the window closes.
TEST(WorkerShutdown, WhileWaitingInSynchronize)
{
    for (bool inHandler : {false, true}) {
        SCOPED_TRACE(inHandler ? "waiting for the result handler" : "waiting for a progress report");
        WorkerRig rig;
        std::atomic<bool> reporting{false};
        int reports = 0;
        rig.UpdateProgressHook = [&](uint32_t, uint32_t, uint8_t) { ++reports; };
        rig.MBusJobStep = [&] {
            if (!inHandler) {
                reporting = true;
                rig.ComThread->ReportProgress(1, 500, pkAddressScan);
            }
            rig.SetJob(0);
            rig.SetUiRequest(urScanFinished);
        };
        rig.SetJob(jcMBusScan);
        // No events are handled here, so the worker stays blocked in Synchronize.
        if (!inHandler) {
            while (!reporting) std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(50ms);
        EXPECT_FALSE(rig.ComThread->Parked());
        EXPECT_TRUE(rig.ShutdownWorker());
        PumpFor(20ms);
        EXPECT_EQ(reports, 0);
        EXPECT_TRUE(rig.Actions.empty());
    }
}

// The window closes from inside a result action (a nested event loop of a modal
// report): the worker cannot leave Synchronize before the action returns, so it
// ends right after it and is joined later.
TEST(WorkerShutdown, FromInsideAResultAction)
{
    WorkerRig rig;
    bool endedInAction = true;
    rig.SetUiAction(urMeasurementRead, [&] {
        endedInAction = rig.ShutdownWorker();
        rig.SetJob(jcMBusMainCounters); // dropped: the worker is ending
    });
    rig.SetJob(jcMBusMeasurement);
    ASSERT_TRUE(PumpUntil([&] { return rig.ComThread->Stopping(); }));
    EXPECT_FALSE(endedInAction);
    EXPECT_TRUE(rig.ShutdownWorker());
    EXPECT_EQ(rig.Runner.Ran(), Jobs{jcMBusMeasurement});
}

// A job waiting for an event of the UI thread (a socket answer or its time-out
// timer) only gets out when that event is handled: ending the worker must keep
// the UI thread's events flowing.
TEST(WorkerShutdown, WhileTheJobWaitsForAnEventOfTheUiThread)
{
    WorkerRig rig;
    std::mutex m;
    std::condition_variable cv;
    bool overtime = false;
    std::atomic<bool> waiting{false};
    rig.MBusJobStep = [&] {
        std::unique_lock lock(m);
        waiting = true;
        cv.wait(lock, [&] { return overtime; });
        rig.SetJob(0);
        rig.SetUiRequest(urNoAnswer);
    };
    rig.SetJob(jcModbusMainCounters);
    while (!waiting) std::this_thread::sleep_for(1ms);
    QTimer::singleShot(50, [&] {
        {
            std::lock_guard lock(m);
            overtime = true;
        }
        cv.notify_all();
    });
    EXPECT_TRUE(rig.ShutdownWorker());
    EXPECT_TRUE(overtime);
    EXPECT_TRUE(rig.Actions.empty());
}

TEST(WorkerShutdown, DestroyingABusyRigEndsTheWorker)
{
    auto rig = std::make_unique<WorkerRig>();
    rig->Runner.Hold();
    rig->SetJob(jcMBusDemandLogger);
    ASSERT_TRUE(rig->Runner.WaitStarted(jcMBusDemandLogger));
    rig.reset(); // must neither hang nor end the process
    SUCCEED();
}

}  // namespace
