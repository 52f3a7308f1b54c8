// Settings that the window sends itself, driven as a user drives them against
// meter-sim: the freeze and reset dates over M-Bus and Modbus TCP, and the
// PS-field selection over M-Bus. What the meter then holds is read back from
// the simulator's own Modbus TCP side with libmodbus.
#include <modbus.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "JobHostRig.h"
#include "WindowTest.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "comm/Connect.h"
#include "setup/PSFieldSend.h"
#include "setup/PSWin.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::SerialLine;
using rig::User;

constexpr int kComNumber = 9;

// Four holding registers of the meter, high byte first, read by libmodbus.
std::vector<uint8_t> HoldingBytes(int port, int start)
{
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
    std::vector<uint8_t> out;
    uint16_t regs[4] = {};
    if (ctx && modbus_connect(ctx) == 0 && modbus_read_registers(ctx, start, 4, regs) == 4)
        for (uint16_t r : regs) out.insert(out.end(), {static_cast<uint8_t>(r >> 8), static_cast<uint8_t>(r & 0xFF)});
    if (ctx) {
        modbus_close(ctx);
        modbus_free(ctx);
    }
    return out;
}

class SettingSendsE2ETest : public rig::WindowTest {
protected:
    void StartWindowWithPsWindow()
    {
        StartWindow();
        psWindow = std::make_unique<TPSWinForm>(form.get());
        PSWinForm = psWindow.get();
        psWindow->SendToDevice = [this] { SendPSFieldConfiguration(*form); };
    }

    void TearDown() override
    {
        PSWinForm = nullptr;
        psWindow.reset();
        rig::WindowTest::TearDown();
    }

    void UseMBusPrimary(int address)
    {
        form->RadioButton_MBus->setChecked(true);
        ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
        form->RadioButtonPrimaryAddress->setChecked(true);
        Type(form->MaskEdit_Setup_Primary_Address, QString::number(address));
    }

    void SetDate(QLineEdit* date, QLineEdit* time, const QString& d, const QString& t)
    {
        Type(date, d);
        Type(time, t);
    }

    void WaitIdle() { ASSERT_TRUE(PumpUntil([&] { return form->GetJob() == 0 && form->ComThread->Suspended(); }, 20s)); }

    std::unique_ptr<TPSWinForm> psWindow;
};

TEST_F(SettingSendsE2ETest, MBusDatesAndPsFieldsReachTheMeter)
{
    SerialLine line(kComNumber);
    ASSERT_TRUE(line.Ready());
    auto meter = std::make_unique<MeterSim>(
        std::vector<std::string>{"--mbus", line.MeterEnd(), "--mbus-baud", "9600", "--primary", "3", "--tcp",
                                 "127.0.0.1:0"});
    ASSERT_TRUE(meter->Ready());
    StartWindowWithPsWindow();
    UseMBusPrimary(3);
    Connect();

    {
        User user;
        SetDate(form->MaskEdit_Change_FreezeDate, form->MaskEdit_Change_FreezeTime, QStringLiteral("20210307"),
                QStringLiteral("123456"));
        form->Button_Freeze_Set->click();
        // The packed M-Bus date arrives as the meter's own date setting.
        EXPECT_EQ(HoldingBytes(meter->Port(), 10800),
                  (std::vector<uint8_t>{0x38, 0x22, 0x0C, 0x07, 0x03, 0xE5, 0x07, 0x00}));
        // A blank in the time goes out as 0, and the edit shows what went out.
        SetDate(form->MaskEdit_Change_ResettableDate, form->MaskEdit_Change_ResettableTime,
                QStringLiteral("20300115"), QStringLiteral("1"));
        form->Button_Reset_Set_Submit->click();
        EXPECT_EQ(form->MaskEdit_Change_ResettableTime->text(), QStringLiteral("10:00:00"));
        EXPECT_EQ(HoldingBytes(meter->Port(), 10700),
                  (std::vector<uint8_t>{0x00, 0x00, 0x0A, 0x0F, 0x01, 0xEE, 0x07, 0x00}));
        QApplication::processEvents();
        EXPECT_TRUE(user.reports.empty()) << user.All();
    }

    QComboBox* command = form->ComboBox_DeviceSetup_Command;
    const QString psCommand = QStringLiteral("PS-Field Configuration");
    if (command->findText(psCommand) < 0) command->addItem(psCommand);
    command->setCurrentIndex(command->findText(psCommand));
    psWindow->PSFieldCheckBox(1)->setChecked(true);
    psWindow->PSFieldCheckBox(83)->setChecked(true);
    {
        User user;
        psWindow->Button_PSField_SendToDevice->click();
        ASSERT_EQ(user.boxes.size(), 1u);
        EXPECT_EQ(user.boxes[0], QStringLiteral("The operation is successfully finished."));
        EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 3"));
    }

    // Without the meter both report no answer, and nothing is left waiting.
    meter.reset();
    {
        User user;
        psWindow->Button_PSField_SendToDevice->click();
        ASSERT_EQ(user.boxes.size(), 1u);
        EXPECT_EQ(user.boxes[0], QStringLiteral("No answer from the device."));
        form->Button_Freeze_Set->click();
        ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 10s));
        EXPECT_EQ(user.reports.back().id, QStringLiteral("69"));
    }
    EXPECT_EQ(form->GetJob(), 0);
}

TEST_F(SettingSendsE2ETest, ModbusTcpDatesAreWrittenByTheWorker)
{
    MeterSim meter({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(meter.Ready());
    StartWindow();
    form->RadioButton_Modbus_TCPIP->setChecked(true);
    form->Edit_Setup_TCPIP_Port->setText(QString::number(meter.Port()));
    Connect();

    SetDate(form->MaskEdit_Change_ResettableDate, form->MaskEdit_Change_ResettableTime, QStringLiteral("20210307"),
            QStringLiteral("123456"));
    form->Button_Reset_Set_Submit->click();
    WaitIdle();
    EXPECT_EQ(HoldingBytes(meter.Port(), 10700),
              (std::vector<uint8_t>{0x38, 0x22, 0x0C, 0x07, 0x03, 0xE5, 0x07, 0x00}));

    // Nothing is sent while no device is shown.
    const std::vector<uint8_t> before = HoldingBytes(meter.Port(), 10800);
    form->Button_Setup_Device_Connect->click();
    ASSERT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("- -"));
    User user;
    SetDate(form->MaskEdit_Change_FreezeDate, form->MaskEdit_Change_FreezeTime, QStringLiteral("20220101"),
            QStringLiteral("000000"));
    form->Button_Freeze_Set->click();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("No answer from the device.")); }, 10s));
    EXPECT_EQ(user.reports.back().id, QStringLiteral("68"));
    EXPECT_EQ(form->GetJob(), 0);
    EXPECT_EQ(HoldingBytes(meter.Port(), 10800), before);
}

}  // namespace
