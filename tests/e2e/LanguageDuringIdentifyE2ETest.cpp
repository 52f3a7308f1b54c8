// The language switched over and over while the worker identifies meter-sim
// over Modbus TCP: the switch reads the device's feature flags (logger
// variant, webserver) that the identification is setting at that moment.
// Afterwards the window shows the device (large demand logger, webserver on)
// in the language last chosen.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "JobHostRig.h"
#include "WindowTest.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::User;

class LanguageDuringIdentifyTest : public rig::WindowTest {
protected:
    void SetUp() override
    {
        meter = std::make_unique<MeterSim>(std::vector<std::string>{"--tcp", "127.0.0.1:0", "--variant", "2", "--webserver", "enabled"});
        ASSERT_TRUE(meter->Ready());
        StartWindow();
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        ASSERT_EQ(form->TransportCode.load(), tcModbusTcp);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(meter->Port()));
    }

    bool Connected() const
    {
        const QString status = form->Label_Setup_ConnectStatus->text();
        return (status == Txt(TxtStatusDeviceConnected, 0) || status == Txt(TxtStatusDeviceConnected, 1)) &&
               !ProgrWinForm->isVisible() && form->GetJob() == 0;
    }

    std::unique_ptr<MeterSim> meter;
};

TEST_F(LanguageDuringIdentifyTest, SwitchingWhileTheDeviceIsIdentified)
{
    // Closes message boxes and the reports that offer "Ok"; leaves the
    // "Connecting..." window to the outcome.
    User user;
    QTimer switcher;
    QObject::connect(&switcher, &QTimer::timeout, [&] {
        QRadioButton* next = form->Language.load() == 0 ? form->RadioButton_German : form->RadioButton_English;
        next->setChecked(true);
    });

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        switcher.start(1);
        form->Button_Setup_Device_Connect->click();
        ASSERT_TRUE(PumpUntil([&] { return Connected(); }, 30s));
        switcher.stop();

        // The identification has set the flags; one more switch shows them in
        // the language now chosen.
        form->RadioButton_English->setChecked(true);
        form->RadioButton_German->setChecked(true);
        ASSERT_EQ(form->Language.load(), 1);
        EXPECT_EQ(form->DeviceVariant, 2);
        EXPECT_EQ(form->WebserverPresent, 1);
        EXPECT_EQ(form->WebserverEnabled, 1);
        EXPECT_EQ(form->Label_Setup_Webserver->text(), Txt(TxtWebserverEnabled, 1));
        QTabWidget* loggers = form->PageControl_Logger;
        EXPECT_EQ(loggers->tabText(loggers->indexOf(form->Page_EventsLogger)), Txt(TxtEvents, 1));
        EXPECT_EQ(form->Button_Setup_Device_Connect->text(), Txt(TxtDisconnect, 1));

        form->Button_Setup_Device_Connect->click();
        ASSERT_TRUE(PumpUntil([&] { return form->TcpConnected.load() == 0 && form->GetJob() == 0; }));
        EXPECT_EQ(form->Button_Setup_Device_Connect->text(), Txt(TxtConnectDevice, 1));
    }
}

}  // namespace
