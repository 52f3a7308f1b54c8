// The communication indicator (connected image, traffic image and its timer)
// and the busy indicator's shapes, from the UI thread and from the worker.
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "FormTest.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "app/Shape.h"
#include "comm/Monitor.h"

namespace {

using Clock = std::chrono::steady_clock;

class ActivityIndicatorTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm();
    }

    bool Connected() const { return !form->Image_Com_Connected_Device->isHidden(); }
    bool Traffic() const { return !form->Image_Com_in_Progress->isHidden(); }
    QTimer* TrafficTimer() const { return form->Timer_Image_Com_in_Progress; }

};

TEST_F(ActivityIndicatorTest, CodesSetTheImages)
{
    struct Case {
        int code;
        bool connected, traffic;
    };
    // Each case starts from the traffic image shown and the connected one hidden.
    for (const Case c : {Case{225, true, false}, Case{226, false, false}, Case{0, false, true}, Case{228, false, true},
                         Case{224, false, true}}) {
        form->Image_Com_in_Progress->show();
        form->Image_Com_Connected_Device->hide();
        form->ShowComActivity(c.code);
        EXPECT_EQ(Connected(), c.connected) << c.code;
        EXPECT_EQ(Traffic(), c.traffic) << c.code;
    }
}

TEST_F(ActivityIndicatorTest, OneExchangeFlashesThenShowsConnected)
{
    form->ShowComActivity(caConnected);
    form->ShowComActivity(caTraffic);
    EXPECT_TRUE(Traffic());
    EXPECT_FALSE(Connected());
    EXPECT_TRUE(TrafficTimer()->isActive());
    EXPECT_EQ(TrafficTimer()->interval(), 50);

    EXPECT_TRUE(PumpUntil([&] { return TrafficTimer()->interval() == 500; }, 2s));
    EXPECT_TRUE(Traffic()) << "the first tick only lengthens the display";
    EXPECT_TRUE(PumpUntil([&] { return !TrafficTimer()->isActive(); }, 3s));
    EXPECT_FALSE(Traffic());
    EXPECT_TRUE(Connected());
}

TEST_F(ActivityIndicatorTest, ExchangesCloseTogetherKeepTheTrafficImageUp)
{
    const auto start = Clock::now();
    form->ShowComActivity(caTraffic);
    PumpFor(100ms);
    form->ShowComActivity(caTraffic);
    const auto last = Clock::now();
    bool gap = false;
    PumpUntil(
        [&] {
            if (!Traffic()) gap = true;
            return Clock::now() - last > 400ms;
        },
        3s);
    EXPECT_FALSE(gap) << "the traffic image went out between or right after the exchanges";
    EXPECT_TRUE(PumpUntil([&] { return Connected(); }, 3s));
    EXPECT_FALSE(Traffic());
    EXPECT_GT(Clock::now() - start, 500ms);
}

TEST_F(ActivityIndicatorTest, ExchangeDuringTheLongTickShortensIt)
{
    form->ShowComActivity(caTraffic);
    ASSERT_TRUE(PumpUntil([&] { return TrafficTimer()->interval() == 500; }, 2s));
    form->ShowComActivity(caTraffic);
    EXPECT_EQ(TrafficTimer()->interval(), 400);
    EXPECT_TRUE(TrafficTimer()->isActive());
    EXPECT_TRUE(Traffic());
}

TEST_F(ActivityIndicatorTest, NoConnectionWhileTrafficRunsStaysDark)
{
    form->ShowComActivity(caTraffic);
    form->ShowComActivity(caNone);
    EXPECT_FALSE(Traffic());
    EXPECT_FALSE(Connected());
    PumpFor(1200ms);
    EXPECT_FALSE(Connected()) << "a finished traffic display must not claim a connection";
    EXPECT_FALSE(Traffic());
    EXPECT_FALSE(TrafficTimer()->isActive());
}

TEST_F(ActivityIndicatorTest, BusyIndicatorStops)
{
    TShape* shapes[] = {form->MainShape1, form->MainShape2, form->MainShape3, form->MainShape4, form->MainShape5};
    for (TShape* s : shapes) s->show();
    form->TimerMainStatusBar->start();
    form->StopBusyIndicator();
    for (TShape* s : shapes) EXPECT_TRUE(s->isHidden()) << s->objectName().toStdString();
    EXPECT_FALSE(form->TimerMainStatusBar->isActive());
}

// The worker reports traffic and stops the busy indicator without touching a
// widget or timer itself; the UI thread does it in the order of the calls.
TEST_F(ActivityIndicatorTest, WorkerCallsReachTheWindowInOrder)
{
    form->CreateComThread(form->TransportCode);
    form->MainShape3->show();
    form->TimerMainStatusBar->start();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        form->ShowComActivity(caConnected);
        form->ShowComActivity(caTraffic);
        form->StopBusyIndicator();
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load() && Traffic(); }));
    worker.join();
    PumpFor(20ms);
    EXPECT_TRUE(Traffic());
    EXPECT_FALSE(Connected());
    EXPECT_TRUE(TrafficTimer()->isActive());
    EXPECT_TRUE(form->MainShape3->isHidden());
    EXPECT_FALSE(form->TimerMainStatusBar->isActive());
    EXPECT_TRUE(form->ShutdownWorker());
}

// Without a worker (before the first activation) a call from another thread
// still lands on the UI thread.
TEST_F(ActivityIndicatorTest, CallsFromAnotherThreadWithoutWorker)
{
    std::thread other([&] { form->ShowComActivity(caConnected); });
    other.join();
    EXPECT_FALSE(Connected()) << "nothing may change before the UI thread runs the call";
    EXPECT_TRUE(PumpUntil([&] { return Connected(); }));
}

} // namespace
