// The device scan driven as a user drives it against meter-sim: a Modbus RTU
// line with three meters, an M-Bus line cancelled after its meters, and a
// cancel that stops within one exchange.
#include "ValuesE2EFixture.h"

namespace {

class DeviceScanE2ETest : public ValuesE2ETest {};

TEST_F(DeviceScanE2ETest, CancelledScanStopsWithinOneExchange)
{
    ChooseRtuLine();
    StartWindow();
    WatchTraffic();
    UseRtu(QStringLiteral("1"));
    User user;
    int sentAtCancel = -1;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (sentAtCancel < 0 && SentFrames() >= 3) {
            sentAtCancel = SentFrames();
            user.cancelNow = true;
        }
    });
    cancel.start(5);
    form->Button_Setup_SearchDevices->click();
    ASSERT_TRUE(PumpUntil([&] { return sentAtCancel >= 0 && form->GetJob() == 0 && form->ComThread->Suspended(); },
                          30s));
    PumpUntil([] { return false; }, 500ms);
    EXPECT_LE(SentFrames(), sentAtCancel + 1);
    EXPECT_TRUE(form->Edit_Scan_PrimaryAddress->text().isEmpty());
    EXPECT_EQ(form->PortOpen.load(), 0);
}

TEST_F(DeviceScanE2ETest, ModbusRtuScanFindsExactlyTheThreeMetersOnTheLine)
{
    ChooseRtuLine();
    sim = std::make_unique<MeterSim>(std::vector<std::string>{"--rtu", line->MeterEnd(), "--baud", "19200", "--meter",
                                                              "unit=2", "--meter", "unit=77", "--meter", "unit=247"});
    ASSERT_TRUE(sim->Ready());
    StartWindow();
    UseRtu(QStringLiteral("1"));
    User user;
    form->Button_Setup_SearchDevices->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The scan is successfully finished.")); }, 150s))
        << user.All();
    EXPECT_EQ(form->Edit_Scan_PrimaryAddress->text(), QStringLiteral(" 2,77,247"));
    EXPECT_EQ(form->PortOpen.load(), 0);
}

TEST_F(DeviceScanE2ETest, MBusScanListsTheMetersFoundBeforeTheCancel)
{
    ChooseRtuLine();
    sim = std::make_unique<MeterSim>(std::vector<std::string>{"--mbus", line->MeterEnd(), "--mbus-baud", "9600",
                                                              "--meter", "primary=0", "--meter", "primary=5",
                                                              "--meter", "primary=9"});
    ASSERT_TRUE(sim->Ready());
    StartWindow();
    form->RadioButton_MBus->setChecked(true);
    ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
    User user;
    // Cancel once address 12 is probed: the three meters lie below it.
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        if (ProgrWinForm->isVisible() && ProgrWinForm->Label_ProgrBar0->text().endsWith(QStringLiteral("12")))
            user.cancelNow = true;
    });
    cancel.start(5);
    form->Button_Setup_SearchDevices->click();
    ASSERT_TRUE(PumpUntil([&] { return user.cancelNow && form->GetJob() == 0 && form->ComThread->Suspended(); }, 60s));
    EXPECT_EQ(form->Edit_Scan_PrimaryAddress->text(), QStringLiteral(" 0,5,9")) << user.All();
    EXPECT_EQ(form->PortOpen.load(), 0);
}

}  // namespace
