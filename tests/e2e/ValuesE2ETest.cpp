// The Measurement and Energy pages driven as a user drives them against
// meter-sim over Modbus TCP, Modbus RTU and M-Bus: every value and counter cell
// equal to what the meter's model gives; a page change that stops the reads; a
// meter that goes silent while measuring.
#include "../support/TickGapWatch.h"
#include "ValuesE2EFixture.h"

namespace {

TEST_F(ValuesE2ETest, ModbusTcpPagesShowWhatTheMeterHolds)
{
    ConnectTcp();
    ReadAllPages(QStringLiteral("tcp"));
}

TEST_F(ValuesE2ETest, ModbusRtuPagesShowWhatTheMeterHolds)
{
    ConnectRtu();
    ReadAllPages(QStringLiteral("rtu"));
}

TEST_F(ValuesE2ETest, MBusPagesShowWhatTheMeterHolds)
{
    ConnectMBus();
    ReadAllPages(QStringLiteral("mbus"));
}

TEST_F(ValuesE2ETest, LeavingThePageStopsTheReads)
{
    ConnectTcp();
    WatchTraffic();
    form->PageControl_Main->setCurrentWidget(form->Page_Measurement);
    ASSERT_TRUE(PumpUntil([&] { return form->Label_HomeStatus->text().startsWith(
                                           QStringLiteral("Status: The measuring is in progress.")); }, 20s));
    form->PageControl_Main->setCurrentWidget(form->Page_Setup);
    EXPECT_FALSE(form->Timer_Display_Refresh->isActive());
    ASSERT_TRUE(PumpUntil([&] { return form->GetJob() == 0 && form->ComThread->Suspended(); }));
    const int sent = SentFrames();
    // Longer than the refresh interval of 5 s.
    PumpUntil([] { return false; }, 6s);
    EXPECT_EQ(SentFrames(), sent);
}

TEST_F(ValuesE2ETest, MeterGoingSilentWhileMeasuringIsReportedAndLetGo)
{
    ConnectRtu();
    form->PageControl_Main->setCurrentWidget(form->Page_Measurement);
    ASSERT_TRUE(PumpUntil([&] { return form->Label_HomeStatus->text().startsWith(
                                           QStringLiteral("Status: The measuring is in progress.")); }, 20s));
    sim.reset();

    // The window goes on handling events while the reads fail: no gap between
    // the ticks of a 50 ms timer comes near the answer waits.
    testsupport::TickGapWatch ticks;
    User user;
    form->Timer_Display_Refresh->setInterval(200);
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 40s)) << user.All();
    EXPECT_EQ(user.reports.back().id, QStringLiteral("86"));
    ASSERT_TRUE(PumpUntil([&] { return !ProgrWinForm->isVisible(); }));
    EXPECT_LT(ticks.Longest(), std::chrono::steady_clock::duration(500ms));
    EXPECT_EQ(form->Button_Measurement_StartMeasuring->text(), QStringLiteral("Start Measuring"));
    EXPECT_EQ(form->Label_HomeStatus->text(), QStringLiteral("Status: The measuring is stopped."));
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_FALSE(form->Timer_Display_Refresh->isActive());
    EXPECT_EQ(form->PortOpen.load(), 0);
}

}  // namespace
