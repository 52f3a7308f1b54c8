// The language switched over and over while the worker identifies meter-sim
// over Modbus TCP: the switch reads the device's feature flags (logger
// variant, webserver) that the identification is setting at that moment.
// Afterwards the window shows the device (large demand logger, webserver on)
// in the language last chosen.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "JobHostRig.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "comm/Connect.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;

// Closes message boxes and the reports that offer "Ok"; leaves the
// "Connecting..." window to the outcome.
class Closer {
public:
    Closer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->done(QMessageBox::Ok);
                return;
            }
            if (!ProgrWinForm || !ProgrWinForm->isVisible()) return;
            QPushButton* button = ProgrWinForm->Button_ProgrWin_Terminate;
            if (!button->isHidden() && button->text() == QStringLiteral("Ok")) button->click();
        });
        timer_.start(20);
    }

private:
    QTimer timer_;
};

class LanguageDuringIdentifyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        meter = std::make_unique<MeterSim>(std::vector<std::string>{"--tcp", "127.0.0.1:0", "--variant", "2", "--webserver", "enabled"});
        ASSERT_TRUE(meter->Ready());
        form = std::make_unique<TMainForm>();
        MainForm = form.get();
        progress = std::make_unique<TProgrWinForm>(*form);
        ProgrWinForm = progress.get();
        form->CreateJobHost();
        form->ConnectTransportHandlers();
        ConnectConnectionHandlers(*form);
        form->show();
        ASSERT_TRUE(PumpUntil([&] { return form->ComThread != nullptr; }));
        form->PageControl_Main->setCurrentWidget(form->Page_Setup);
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        ASSERT_EQ(form->TransportCode.load(), tcModbusTcp);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(meter->Port()));
    }

    void TearDown() override
    {
        if (form) form->close();
        ProgrWinForm = nullptr;
        progress.reset();
        MainForm = nullptr;
        form.reset();
    }

    bool Connected() const
    {
        const QString status = form->Label_Setup_ConnectStatus->text();
        return (status == Txt(TxtStatusDeviceConnected, 0) || status == Txt(TxtStatusDeviceConnected, 1)) &&
               !ProgrWinForm->isVisible() && form->GetJob() == 0;
    }

    std::unique_ptr<MeterSim> meter;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TProgrWinForm> progress;
};

TEST_F(LanguageDuringIdentifyTest, SwitchingWhileTheDeviceIsIdentified)
{
    Closer closer;
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
