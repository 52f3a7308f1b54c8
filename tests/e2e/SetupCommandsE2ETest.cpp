// The Setup page's commands driven as a user drives them, against meter-sim:
// each write changes what the meter holds, seen both in the tool and in the
// simulator's own state file; every refused value is reported and sends
// nothing; a value the meter refuses is never reported as success.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "JobHostRig.h"
#include "WindowTest.h"
#include "WindowUser.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "comm/TcpClient.h"
#include "core/MessageTable.h"
#include "platform/ComPort.h"
#include "setup/PSFieldSend.h"
#include "setup/PSWin.h"

namespace {

using namespace std::chrono_literals;
using rig::MeterSim;
using rig::PumpUntil;
using rig::SerialLine;
using rig::User;

constexpr int kComNumber = 9;
const std::vector<std::string> kTwoMBusMeters = {"--mbus-baud", "9600", "--meter", "primary=1,secondary=11112222",
                                                 "--meter", "primary=2,secondary=12345678"};

void Forget(User& user)
{
    user.reports.clear();
    user.boxes.clear();
}

class SetupCommandsE2ETest : public rig::WindowTest {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/orbicount-state-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        statePath = dir_ + "/meter.state";
    }

    void TearDown() override
    {
        rig::WindowTest::TearDown();
        sim_.reset();
        line_.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // meter-sim keeping its state in statePath (on a line of its own, whose
    // meter end follows `lineOption`, where one is given), then the window.
    void StartMeter(std::vector<std::string> args, const char* lineOption = nullptr)
    {
        if (lineOption) {
            line_ = std::make_unique<SerialLine>(kComNumber);
            ASSERT_TRUE(line_->Ready());
            args.insert(args.begin(), {lineOption, line_->MeterEnd()});
        }
        args.insert(args.end(), {"--state-file", statePath});
        sim_ = std::make_unique<MeterSim>(args);
        ASSERT_TRUE(sim_->Ready());
        StartWindow();
    }

    // What a meter of the simulator holds, from its own state file.
    std::map<std::string, std::string> State(int meter = 1) const
    {
        std::map<std::string, std::string> state;
        std::ifstream file(statePath);
        const std::string header = "[meter " + std::to_string(meter) + "]";
        bool inside = false;
        for (std::string line; std::getline(file, line);) {
            if (line.rfind("[meter ", 0) == 0) inside = line == header;
            else if (const auto eq = line.find('='); inside && eq != std::string::npos)
                state[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return state;
    }
    bool MeterHolds(const std::string& key, const std::string& value, int meter = 1)
    {
        return PumpUntil([&] { return State(meter)[key] == value; });
    }

    void ConnectOverTcp(int port)
    {
        form->RadioButton_Modbus_TCPIP->setChecked(true);
        form->Edit_Setup_TCPIP_Port->setText(QString::number(port));
        Connect();
    }
    void ConnectOverRtu(const QString& unit)
    {
        form->RadioButton_Modbus_RTU->setChecked(true);
        ChooseLine(form->ComboBox_Setup_Port_ModBus, kComNumber, kBaudIndex19200);
        form->MaskEdit_Setup_ModBus_Address->setText(unit);
        Connect();
    }
    void ConnectOverMBus(int primary, const QString& secondary = QString())
    {
        form->RadioButton_MBus->setChecked(true);
        ChooseLine(form->ComboBox_Setup_Port_MBus, kComNumber, kBaudIndex9600);
        if (secondary.isEmpty()) {
            form->RadioButtonPrimaryAddress->setChecked(true);
            form->MaskEdit_Setup_Primary_Address->setText(QString::number(primary));
        } else {
            form->RadioButtonSecondaryAddress->setChecked(true);
            form->MaskEdit_Setup_Sec_Address->setText(secondary);
        }
        Connect();
    }

    // The user picks the command; its editor shows.
    void Choose(const LangText& command)
    {
        QComboBox* list = form->ComboBox_DeviceSetup_Command;
        const int index = list->findText(QString::fromUtf8(command[0]));
        ASSERT_GE(index, 0) << command[0];
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }
    // Returns when the command's modal windows have closed.
    void Send() { form->Button_SendToDevice->click(); }
    bool Idle()
    {
        return PumpUntil([&] {
            return form->GetJob() == 0 && form->PendingJob.load() == 0 && form->ComThread->Suspended() &&
                   !ProgrWinForm->isVisible();
        });
    }

    std::string dir_, statePath;
    std::unique_ptr<SerialLine> line_;
    std::unique_ptr<MeterSim> sim_;
};

const QString kDone = QStringLiteral("The operation is successfully finished.");

TEST_F(SetupCommandsE2ETest, ModbusTcpWritesChangeTheMeterAndRefusalsSendNothing)
{
    ASSERT_NO_FATAL_FAILURE(
        StartMeter({"--tcp", "127.0.0.1:0", "--webserver", "enabled", "--clock", "2027-04-05 06:07:08"}));
    ConnectOverTcp(sim_->Port());
    {
        // The date and time command comes first; its Read button fetches the meter's clock.
        User reader;
        form->Button_Setup_DateTime_Read->click();
        ASSERT_TRUE(PumpUntil([&] { return form->MaskEdit_Change_Date->displayText() == QStringLiteral("2027-04-05"); }))
            << form->MaskEdit_Change_Date->displayText().toStdString();
        EXPECT_TRUE(form->MaskEdit_Change_Time->displayText().startsWith(QStringLiteral("06:0")));
        ASSERT_TRUE(Idle());
    }
    QComboBox* list = form->ComboBox_DeviceSetup_Command;
    ASSERT_EQ(list->count(), 6);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Set Date[YYYY-MM-DD] Time[HH:MM:SS]"));
    EXPECT_EQ(list->itemText(5), QStringLiteral("Set Webserver"));
    const auto before = State();
    ASSERT_EQ(before.at("vt"), "1");
    User user;

    Choose(TxtSetVoltageTransformerVtRatio);
    form->MaskEdit_VT->setText(QStringLiteral("100"));
    Send();
    ASSERT_TRUE(MeterHolds("vt", "100")) << user.All();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(kDone); })) << user.All();
    EXPECT_EQ(form->Label__VT->text(), QStringLiteral(" 100"));

    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("50"));
    Send();
    ASSERT_TRUE(MeterHolds("ct", "50")) << user.All();
    ASSERT_TRUE(PumpUntil([&] { return form->Label__CT->text() == QStringLiteral(" 50"); }));

    Choose(TxtSetDemandPeriodMinute);
    form->ComboBox_Set_Demand_Period->setCurrentText(QStringLiteral("30"));
    Send();
    ASSERT_TRUE(MeterHolds("demand-period", "30")) << user.All();
    ASSERT_TRUE(PumpUntil([&] { return form->Label_Demand_Period->text() == QStringLiteral(" 30 [Minute]"); }));

    Choose(TxtSetTariff);
    form->ComboBox_Tariff->setCurrentIndex(3);
    Forget(user);
    Send();  // the sending window stays until the read-back two seconds later
    EXPECT_TRUE(MeterHolds("tariff", "3"));
    EXPECT_TRUE(user.Saw(QStringLiteral("  The new setting has been accepted."))) << user.All();

    Choose(TxtSetDateTime);
    form->MaskEdit_Change_Date->setText(QStringLiteral("2031-05-06"));
    form->MaskEdit_Change_Time->setText(QStringLiteral("07:08:09"));
    Send();
    ASSERT_TRUE(PumpUntil([&] { return State().at("clock").rfind("2031-05-06 07:08", 0) == 0; })) << State().at("clock");
    ASSERT_TRUE(Idle());

    // Refused before sending: the meter keeps every value.
    const auto held = State();
    Forget(user);
    Choose(TxtSetVoltageTransformerVtRatio);
    for (const char* vt : {"0", "1001", "", "1.5"}) {
        form->MaskEdit_VT->setText(QString::fromLatin1(vt));
        Send();
    }
    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("1001"));  // 1001 x VT 100 is above 100000
    Send();
    form->MaskEdit_CT->setText(QStringLiteral("10001"));
    Send();
    Choose(TxtSetDateTime);
    form->MaskEdit_Change_Date->setText(QStringLiteral("2031-02-30"));
    Send();
    EXPECT_EQ(user.boxes, (std::vector<QString>{QStringLiteral("VT value must be in range 1-1000 only."),
                                                QStringLiteral("VT value must be in range 1-1000 only."),
                                                QStringLiteral("VT value must be in range 1-1000 only."),
                                                QStringLiteral("VT value must be in range 1-1000 only."),
                                                QStringLiteral("Value VT x CT must be max 100000"),
                                                QStringLiteral("CT value must be in range 1-10000 only"),
                                                QStringLiteral("Date or time is not valid.")}));
    EXPECT_EQ(form->GetJob(), 0);
    EXPECT_TRUE(Idle());
    auto now = State();
    now.erase("clock");
    auto then = held;
    then.erase("clock");
    EXPECT_EQ(now, then);

    // The meter refuses a product above its limit that the tool could not see:
    // an exception answer, reported as the refusal it is.
    form->Label__VT->setText(QStringLiteral(" - -"));
    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("5000"));
    Forget(user);
    Send();
    ASSERT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The device did not accept the value.")); }))
        << user.All();
    EXPECT_FALSE(user.Saw(kDone));
    EXPECT_TRUE(MeterHolds("ct", "50"));
    EXPECT_EQ(form->Label__CT->text(), QStringLiteral(" 50"));
    EXPECT_EQ(form->TcpConnected.load(), 1);

    // The web server write ends the connection.
    ASSERT_TRUE(Idle());
    Choose(TxtSetWebserver);
    EXPECT_EQ(form->ComboBox_Set_Webserver->currentText(), QStringLiteral("Disable Webserver"));
    Forget(user);
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("webserver", "disabled"));
    EXPECT_EQ(form->TcpConnected.load(), 0);
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
}

TEST_F(SetupCommandsE2ETest, NoImpossibleDateReachesTheMeterAndYearsTypedInFullLand)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter({"--tcp", "127.0.0.1:0"}));
    ConnectOverTcp(sim_->Port());
    ASSERT_TRUE(Idle());
    const auto held = State();
    User user;

    // Typed as the labels say; none of them names a moment.
    struct Try {
        QLineEdit *date, *time;
        QPushButton* set;
        const char *typedDate, *typedTime;
    };
    const Try impossible[] = {
        {form->MaskEdit_Change_FreezeDate, form->MaskEdit_Change_FreezeTime, form->Button_Freeze_Set, "20270101",
         "999999"},
        {form->MaskEdit_Change_FreezeDate, form->MaskEdit_Change_FreezeTime, form->Button_Freeze_Set, "20271345",
         "120000"},
        {form->MaskEdit_Change_ResettableDate, form->MaskEdit_Change_ResettableTime, form->Button_Reset_Set_Submit,
         "20270229", "120000"},
    };
    for (const Try& t : impossible) {
        Type(t.date, QString::fromLatin1(t.typedDate));
        Type(t.time, QString::fromLatin1(t.typedTime));
        t.set->click();
    }
    Choose(TxtSetDateTime);
    Type(form->MaskEdit_Change_Date, QStringLiteral("250102"));  // a two-digit year goes nowhere
    Type(form->MaskEdit_Change_Time, QStringLiteral("070809"));
    Send();
    EXPECT_EQ(user.boxes, std::vector<QString>(4, QStringLiteral("Date or time is not valid.")));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(State().at("freeze"), held.at("freeze"));
    EXPECT_EQ(State().at("reset"), held.at("reset"));

    Type(form->MaskEdit_Change_FreezeDate, QStringLiteral("20280115"));
    Type(form->MaskEdit_Change_FreezeTime, QStringLiteral("120000"));
    form->Button_Freeze_Set->click();
    EXPECT_TRUE(MeterHolds("freeze", "2028-01-15 12:00:00")) << user.All();
    ASSERT_TRUE(Idle());
    Type(form->MaskEdit_Change_Date, QStringLiteral("20310506"));
    Send();
    ASSERT_TRUE(PumpUntil([&] { return State().at("clock").rfind("2031-05-06 07:08", 0) == 0; })) << State().at("clock");
    EXPECT_EQ(user.boxes.size(), 4u) << user.All();
}

TEST_F(SetupCommandsE2ETest, ModbusRtuAddressAndBaudRateMoveTheConversation)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter({"--baud", "19200", "--meter", "unit=3", "--meter", "unit=4"}, "--rtu"));
    ConnectOverRtu(QStringLiteral("3"));
    QComboBox* list = form->ComboBox_DeviceSetup_Command;
    EXPECT_EQ(list->itemText(0), QStringLiteral("Set Device Address"));
    EXPECT_FALSE(form->MaskEdit_Set_Address->isHidden());
    User user;

    Choose(TxtSetDeviceAddress);
    for (const char* refused : {"0", "248", ""}) {
        form->MaskEdit_Set_Address->setText(QString::fromLatin1(refused));
        Send();
    }
    EXPECT_EQ(user.boxes, std::vector<QString>(3, QStringLiteral("Address range is 1-247 only.")));
    EXPECT_TRUE(MeterHolds("unit", "3"));

    // A measuring job runs while the address is sent directly: the two take
    // turns on the line, and neither is lost.
    form->SetJob(jcModbusMeasurement);
    form->MaskEdit_Set_Address->setText(QStringLiteral("5"));
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("unit", "5"));
    EXPECT_TRUE(MeterHolds("unit", "4", 2));
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 5"));
    EXPECT_EQ(form->MaskEdit_Setup_ModBus_Address->text(), QStringLiteral("5"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(form->PortOpen.load(), 1);

    // The baud rate: answered at the old rate, then both sides at the new one.
    Choose(TxtSetDeviceBaudrate);
    EXPECT_EQ(form->ComboBox_Change_Baudrate->currentText(), QStringLiteral("19200"));
    form->ComboBox_Change_Baudrate->setCurrentText(QStringLiteral("9600"));
    Forget(user);
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("baud", "9600"));
    EXPECT_EQ(form->ModbusBaudIndex.load(), 5);
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), QStringLiteral("9600"));

    // The next write reaches the meter at its new address and rate.
    Choose(TxtSetVoltageTransformerVtRatio);
    form->MaskEdit_VT->setText(QStringLiteral("20"));
    Send();
    ASSERT_TRUE(MeterHolds("vt", "20")) << user.All();
    ASSERT_TRUE(Idle());

    // To all devices: nobody answers, and the line moves on all the same.
    Choose(TxtSetDeviceBaudrate);
    form->CheckBox_ToAllDevices->setChecked(true);
    form->ComboBox_Change_Baudrate->setCurrentText(QStringLiteral("38400"));
    Forget(user);
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("baud", "38400", 1));
    EXPECT_TRUE(MeterHolds("baud", "38400", 2));
    Choose(TxtSetDateTime);
    form->CheckBox_ToAllDevices->setChecked(true);
    form->MaskEdit_Change_Date->setText(QStringLiteral("2029-12-31"));
    form->MaskEdit_Change_Time->setText(QStringLiteral("23:58:00"));
    Send();
    EXPECT_TRUE(PumpUntil([&] { return State(1).at("clock").substr(0, 16) == "2029-12-31 23:58"; }));
    EXPECT_TRUE(PumpUntil([&] { return State(2).at("clock").substr(0, 16) == "2029-12-31 23:58"; }));
    EXPECT_EQ(form->Label_MainDeviceTimeDate->text(), QStringLiteral("31-12-2029  23:58"));
    form->CheckBox_ToAllDevices->setChecked(false);

    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("40"));
    Send();
    ASSERT_TRUE(MeterHolds("ct", "40")) << user.All();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(form->PortOpen.load(), 1);
}

TEST_F(SetupCommandsE2ETest, MBusSettingFramesReachTheMeterAndBroadcastsEveryMeter)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter(kTwoMBusMeters, "--mbus"));
    ConnectOverMBus(1);
    QComboBox* list = form->ComboBox_DeviceSetup_Command;
    ASSERT_EQ(list->itemText(0), QStringLiteral("Set Device Primary Address"));
    EXPECT_GE(list->findText(QStringLiteral("PS-Field Configuration")), 0);
    User user;

    Choose(TxtSetDevicePrimaryAddress);
    for (const char* refused : {"251", "1000", ""}) {
        form->MaskEdit_Set_Address->setText(QString::fromLatin1(refused));
        Send();
    }
    EXPECT_EQ(user.boxes, std::vector<QString>(3, QStringLiteral("Address range is 0-250 only."))) << user.All();
    EXPECT_TRUE(MeterHolds("primary", "1"));
    form->MaskEdit_Set_Address->setText(QStringLiteral("7"));
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("primary", "7"));
    EXPECT_TRUE(MeterHolds("primary", "2", 2));
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral(" 7"));
    EXPECT_EQ(form->MaskEdit_Setup_Primary_Address->text(), QStringLiteral("7"));

    // The following frames go to the new address.
    Choose(TxtSetDemandPeriodMinute);
    form->ComboBox_Set_Demand_Period->setCurrentText(QStringLiteral("30"));
    Send();
    EXPECT_TRUE(MeterHolds("demand-period", "30"));
    EXPECT_EQ(form->Label_Demand_Period->text(), QStringLiteral(" 30 [Minute]"));
    Choose(TxtSetVoltageTransformerVtRatio);
    form->MaskEdit_VT->setText(QStringLiteral("10"));
    Send();
    EXPECT_TRUE(MeterHolds("vt", "10"));
    EXPECT_EQ(form->Label__VT->text(), QStringLiteral("10"));
    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("20"));
    Send();
    EXPECT_TRUE(MeterHolds("ct", "20"));
    Choose(TxtSetDeviceSecondaryAddress);
    form->MaskEdit_Setup_SecondaryAddress->setText(QStringLiteral("12340600"));
    Send();
    EXPECT_TRUE(MeterHolds("secondary", "12340600"));
    EXPECT_EQ(form->Label_Secondary_Address_ID->text(), QStringLiteral(" 12340600"));

    // The tariff goes through the worker and is read back two seconds later.
    Choose(TxtSetTariff);
    form->ComboBox_Tariff->setCurrentIndex(4);
    Forget(user);
    Send();
    EXPECT_TRUE(MeterHolds("tariff", "4"));
    EXPECT_TRUE(user.Saw(QStringLiteral("  The new setting has been accepted."))) << user.All();
    ASSERT_TRUE(Idle());

    // To all devices: every meter on the line takes the date, then the rate.
    Choose(TxtSetDateTime);
    form->CheckBox_ToAllDevices->setChecked(true);
    form->MaskEdit_Change_Date->setText(QStringLiteral("2030-01-02"));
    form->MaskEdit_Change_Time->setText(QStringLiteral("03:04:05"));
    Send();
    EXPECT_TRUE(PumpUntil([&] { return State(1).at("clock").substr(0, 16) == "2030-01-02 03:04"; })) << user.All();
    EXPECT_TRUE(PumpUntil([&] { return State(2).at("clock").substr(0, 16) == "2030-01-02 03:04"; }));
    Choose(TxtSetDeviceBaudrate);
    EXPECT_EQ(form->ComboBox_Change_Baudrate->currentText(), QStringLiteral("9600"));
    form->CheckBox_ToAllDevices->setChecked(true);
    form->ComboBox_Change_Baudrate->setCurrentText(QStringLiteral("4800"));
    Forget(user);
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_EQ(form->MbusBaudIndex.load(), 4);
    form->CheckBox_ToAllDevices->setChecked(false);

    // The tool and the meter now talk at 4800 Bd.
    Choose(TxtSetCurrentTransformerCtRatio);
    form->MaskEdit_CT->setText(QStringLiteral("30"));
    Forget(user);
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("ct", "30"));
    EXPECT_TRUE(MeterHolds("ct", "1", 2));
}

TEST_F(SetupCommandsE2ETest, MBusBySecondaryAddressReachesOnlyTheMeterItNames)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter(kTwoMBusMeters, "--mbus"));
    ConnectOverMBus(0, QStringLiteral("12345678"));
    User user;

    Choose(TxtSetVoltageTransformerVtRatio);
    form->MaskEdit_VT->setText(QStringLiteral("5"));
    Send();
    EXPECT_TRUE(user.Saw(kDone)) << user.All();
    EXPECT_TRUE(MeterHolds("vt", "5", 2));
    EXPECT_EQ(State(1).at("vt"), "1");

    // The tariff frame prepared for the worker selects the meter the same way.
    Choose(TxtSetTariff);
    form->ComboBox_Tariff->setCurrentIndex(6);
    Forget(user);
    Send();
    EXPECT_TRUE(MeterHolds("tariff", "6", 2)) << user.All();
    EXPECT_EQ(State(1).at("tariff"), "1");
    EXPECT_TRUE(user.Saw(QStringLiteral("  The new setting has been accepted."))) << user.All();
}

TEST_F(SetupCommandsE2ETest, HandlersThatFindThePortGoneSayWhyAndThrowNothingThroughQt)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter(kTwoMBusMeters, "--mbus"));
    ConnectOverMBus(1);
    TPSWinForm ps(form.get());
    PSWinForm = &ps;
    struct Forget {
        ~Forget() { PSWinForm = nullptr; }
    } forget;
    ps.SendToDevice = [this] { SendPSFieldConfiguration(*form); };
    Choose(TxtPsFieldConfigurationCmd);
    ASSERT_TRUE(Idle());
    {
        // The port goes while the window still shows the device, as when the
        // adapter is lost.
        const TPortUse use(form->JobHost().PortGate());
        CloseComPort(form->SerialPort, *form);
    }
    // The freeze and reset Read buttons stay hidden and disabled while a
    // device is connected; only the Set buttons and the PS-Field send reach it.
    const std::pair<const char*, QPushButton*> handlers[] = {{"PS-Field send", ps.Button_PSField_SendToDevice},
                                                             {"freeze set", form->Button_Freeze_Set},
                                                             {"reset set", form->Button_Reset_Set_Submit}};
    for (const auto& [handler, button] : handlers) {
        SCOPED_TRACE(handler);
        User user;
        EXPECT_NO_THROW(button->click());
        EXPECT_EQ(user.boxes, std::vector<QString>{QStringLiteral("Port COM%1 is not open").arg(kComNumber)})
            << user.All();
        ASSERT_TRUE(Idle());
    }
}

TEST_F(SetupCommandsE2ETest, ABaudRateWhosePortDoesNotReopenEndsTheConnection)
{
    ASSERT_NO_FATAL_FAILURE(StartMeter({"--baud", "19200"}, "--rtu"));
    ConnectOverRtu(QStringLiteral("1"));
    Choose(TxtSetDeviceBaudrate);
    form->ComboBox_Change_Baudrate->setCurrentText(QStringLiteral("9600"));
    // The meter takes the rate at once; the line's name then leads nowhere.
    const std::string link = line_->Config().PortLink(kComNumber);
    std::filesystem::remove(link);
    std::filesystem::create_symlink(dir_ + "/gone", link);
    User user;
    Send();
    EXPECT_TRUE(MeterHolds("baud", "9600"));
    EXPECT_TRUE(PumpUntil([&] { return user.Saw(QStringLiteral("The device is not available.")); })) << user.All();
    EXPECT_FALSE(user.Saw(kDone)) << user.All();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(form->PortOpen.load(), 0);
    EXPECT_EQ(form->SerialPort, nullptr);
    EXPECT_EQ(form->Button_Setup_Device_Connect->text(), QStringLiteral("Connect Device"));
    EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), QStringLiteral("Status: Disconnected."));
    EXPECT_EQ(form->Label_DeviceAddress->text(), QStringLiteral("- -"));
    EXPECT_TRUE(form->GroupBox_Setup_Protocol->isEnabled());
    EXPECT_TRUE(form->ComboBox_Setup_Port_ModBus->isEnabled());
    EXPECT_TRUE(form->GroupBox_DeviceSetup->isHidden());
    // A new connect starts at the rate the meter now has.
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), QStringLiteral("9600"));
}

}  // namespace
