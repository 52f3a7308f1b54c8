// The serial port lists: the refresh lists the ports that open (pseudo-terminal
// pairs linked in as ports/comN), selects the stored port, and keeps each
// transport's choice; the framing choice and its effect on an open port.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <unistd.h>

#include "FormTest.h"
#include "../support/TestPeers.h"
#include "app/MainForm.h"
#include "platform/ComPort.h"

using testsupport::PtyPair;
using testsupport::ScopedConfigHome;

namespace {

QStringList Items(const QComboBox* c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    return items;
}

class PortListTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm();
        // Keep the machine's own serial devices out: their names lead nowhere.
        for (int number = 1; number <= 96; ++number)
            ASSERT_EQ(::symlink("/nonexistent/tty", config.PortLink(number).c_str()), 0);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        pairs.clear();
    }

    // Port "COMn" leads to a pseudo-terminal with nothing at the far end.
    void Present(int number)
    {
        ::unlink(config.PortLink(number).c_str());
        auto pair = std::make_unique<PtyPair>(config.PortLink(number), config.Root() + "/peer" + std::to_string(number));
        ASSERT_TRUE(pair->Ready()) << "socat for COM" << number;
        pairs[number] = std::move(pair);
    }

    ScopedConfigHome config;
    std::map<int, std::unique_ptr<PtyPair>> pairs;
};

TEST_F(PortListTest, StoredPortIsSelectedWhenFound)
{
    Present(1);
    Present(3);
    form->SetProtocolMode(50);
    form->MbusPortIndex = 2;
    form->Button_Setup_SerialPort_Refresh->click();

    EXPECT_EQ(Items(form->ComboBox_Setup_Port_MBus), (QStringList{"COM1", "COM3"}));
    EXPECT_EQ(form->ComboBox_Setup_Port_MBus->currentText(), "COM3");
    EXPECT_TRUE(form->ComboBox_Setup_Port_MBus->isEnabled());
    EXPECT_EQ(form->Label_suma->text(), "2");
    EXPECT_EQ(form->PortOpen, 0);
    EXPECT_EQ(form->SerialPort, nullptr);
    EXPECT_EQ(form->PortIndex, 255);
    EXPECT_EQ(form->MbusPortIndex, 2);
}

TEST_F(PortListTest, MissingStoredPortSelectsTheFirstFound)
{
    Present(4);
    Present(130); // beyond the system names, reachable only by its link
    form->SetProtocolMode(50);
    form->MbusPortIndex = 0;
    form->RefreshSerialPorts(233);
    EXPECT_EQ(Items(form->ComboBox_Setup_Port_MBus), (QStringList{"COM4", "COM130"}));
    EXPECT_EQ(form->ComboBox_Setup_Port_MBus->currentText(), "COM4");
}

TEST_F(PortListTest, ModbusRtuFillsItsOwnListWithItsOwnChoices)
{
    Present(2);
    form->ComboBox_Setup_Port_MBus->addItem("COM9");
    form->SetProtocolMode(51);
    form->ModbusPortIndex = 1;
    form->ModbusBaudIndex = 7;
    form->SerialModeIndex = 3;
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(0);
    form->RefreshSerialPorts(233);

    EXPECT_EQ(Items(form->ComboBox_Setup_Port_ModBus), QStringList{"COM2"});
    EXPECT_EQ(form->ComboBox_Setup_Port_ModBus->currentText(), "COM2");
    EXPECT_EQ(Items(form->ComboBox_Setup_Port_MBus), QStringList{"COM9"});
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), "38400");
    EXPECT_EQ(form->ComboBox_Setup_DeviceSerialMode->currentIndex(), 3);
    EXPECT_EQ(form->PortParity, 0);
    EXPECT_EQ(form->PortStopBits, 0);
}

TEST_F(PortListTest, NothingFoundLeavesAnEmptyList)
{
    form->SetProtocolMode(50);
    form->ComboBox_Setup_Port_MBus->addItem("COM5");
    form->RefreshSerialPorts(233);
    EXPECT_EQ(form->ComboBox_Setup_Port_MBus->count(), 0);
    EXPECT_EQ(form->Label_suma->text(), "0");
    EXPECT_TRUE(form->ComboBox_Setup_Port_MBus->isEnabled());
}

TEST_F(PortListTest, OnlyTheProbeModeProbes)
{
    Present(1);
    form->SetProtocolMode(50);
    form->ComboBox_Setup_Port_MBus->addItem("COM5");
    form->RefreshSerialPorts(232);
    EXPECT_EQ(form->ComboBox_Setup_Port_MBus->count(), 0);
    EXPECT_EQ(form->Label_suma->text(), "0");
}

TEST_F(PortListTest, ModbusTcpHasNoPortList)
{
    Present(1);
    form->SetProtocolMode(52);
    form->ComboBox_Setup_Port_MBus->addItem("COM5");
    form->Label_suma->setText("7");
    form->RefreshSerialPorts(233);
    EXPECT_EQ(Items(form->ComboBox_Setup_Port_MBus), QStringList{"COM5"});
    EXPECT_EQ(form->Label_suma->text(), "7");
}

TEST_F(PortListTest, RefreshDoesNotHoldTheWindowForLong)
{
    Present(1);
    form->SetProtocolMode(51);
    const auto start = std::chrono::steady_clock::now();
    form->RefreshSerialPorts(233);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(PortListTest, ChosenPortTextIsStoredAsItsIndex)
{
    struct Case {
        const char* text;
        int index; // -1: unchanged
    };
    const Case cases[] = {{"COM12", 11}, {"COM1", 0}, {"COM256", 255}, {"", -1}, {"COM0", -1}, {"LPT1", -1}};
    for (const Case& c : cases) {
        for (QComboBox* list : {form->ComboBox_Setup_Port_MBus, form->ComboBox_Setup_Port_ModBus}) {
            form->MbusPortIndex = 42;
            form->ModbusPortIndex = 42;
            list->clear();
            list->addItem(QString::fromLatin1(c.text));
            list->setCurrentIndex(0);
            Q_EMIT list->activated(0);
            const bool mbus = list == form->ComboBox_Setup_Port_MBus;
            const int expected = c.index < 0 ? 42 : c.index;
            EXPECT_EQ(mbus ? form->MbusPortIndex.load() : form->ModbusPortIndex.load(), expected) << c.text;
            EXPECT_EQ(mbus ? form->ModbusPortIndex.load() : form->MbusPortIndex.load(), 42) << c.text;
        }
    }
}

TEST_F(PortListTest, SerialModeGivesItsFraming)
{
    struct Case {
        int mode;
        int stopBits, parity;
    };
    form->SetProtocolMode(51);
    for (const Case c : {Case{0, 0, 1}, Case{1, 0, 2}, Case{2, 2, 0}, Case{3, 0, 0}}) {
        form->ComboBox_Setup_DeviceSerialMode->setCurrentIndex(c.mode);
        form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(c.mode + 5);
        Q_EMIT form->ComboBox_Setup_DeviceSerialMode->activated(c.mode);
        EXPECT_EQ(form->PortDataBits, 3) << c.mode;
        EXPECT_EQ(form->PortStopBits, c.stopBits) << c.mode;
        EXPECT_EQ(form->PortParity, c.parity) << c.mode;
        EXPECT_EQ(form->SerialModeIndex, c.mode);
        EXPECT_EQ(form->ModbusBaudIndex, c.mode + 5);
    }
    // M-Bus stores only its baud rate and always runs 8E1.
    form->SetProtocolMode(50);
    form->SerialModeIndex = 2;
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(1);
    form->ComboBox_Setup_DeviceSerialMode->setCurrentIndex(3);
    form->ComboBox_Setup_DeviceSerialModeChange();
    EXPECT_EQ(form->PortParity, 1);
    EXPECT_EQ(form->PortStopBits, 0);
    EXPECT_EQ(form->SerialModeIndex, 2);
    EXPECT_EQ(form->MbusBaudIndex, 1);
}

TEST_F(PortListTest, StoredSerialModeOutsideTheListRunsEvenParity)
{
    form->SerialModeIndex = 7;
    form->RadioButton_Modbus_RTU->setChecked(true);
    EXPECT_EQ(form->PortDataBits, 3);
    EXPECT_EQ(form->PortStopBits, 0);
    EXPECT_EQ(form->PortParity, 1);
}

TEST_F(PortListTest, ChangingTheFramingClosesAnOpenPort)
{
    Present(3);
    form->SetProtocolMode(51);
    form->PortIndex = 2;
    ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
    ASSERT_NE(form->SerialPort, nullptr);

    form->ComboBox_Setup_DeviceSerialMode->setCurrentIndex(2);
    Q_EMIT form->ComboBox_Setup_DeviceSerialMode->activated(2);
    EXPECT_EQ(form->PortOpen, 0);
    EXPECT_EQ(form->SerialPort, nullptr);
    // The device is free again: the next open with the new framing succeeds.
    EXPECT_TRUE(OpenComPort(form->SerialPort, *form, 5));
    EXPECT_EQ(form->SerialPort->Params->StopBitsCode, 2);
}

} // namespace
