// Choosing M-Bus, Modbus RTU or Modbus TCP: the window's layout per transport,
// the baud-rate and framing choices each serial transport keeps, the refresh
// choices, and the reset of the device information.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "FormTest.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"

namespace {

QStringList Items(const QComboBox* c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
    return items;
}

const QStringList MBusRates{"300", "600", "1200", "2400", "4800", "9600"};
const QStringList RtuRates{"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};

class TransportSelectionTest : public FormTest {
protected:
    void SetUp() override
    {
        MakeForm();
        form->Language = 0;
        // As after the settings load: no serial choice shown yet.
        form->SerialChoiceShown = 0;
        form->MbusBaudIndex = 3;
        form->ModbusBaudIndex = 6;
        form->SerialModeIndex = 0;
    }

    // The user (or the settings load) checks a transport's radio button.
    void Choose(QRadioButton* radio) { radio->setChecked(true); }

};

TEST_F(TransportSelectionTest, RtuChoiceSurvivesATripToMBus)
{
    Choose(form->RadioButton_Modbus_RTU);
    ASSERT_EQ(Items(form->ComboBox_Setup_DeviceBaudrate), RtuRates);
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentIndex(), 6);
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(9); // 115200
    form->ComboBox_Setup_DeviceSerialMode->setCurrentIndex(2);
    form->MbusBaudIndex = 0;

    Choose(form->RadioButton_MBus);
    EXPECT_EQ(Items(form->ComboBox_Setup_DeviceBaudrate), MBusRates);
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), "300");
    EXPECT_EQ(form->ModbusBaudIndex, 9);
    EXPECT_EQ(form->SerialModeIndex, 2);
    EXPECT_EQ(form->ComboBox_Setup_DeviceSerialMode->currentIndex(), 0);
    EXPECT_EQ(form->PortParity, 1) << "M-Bus always runs 8E1";
    EXPECT_EQ(form->PortStopBits, 0);

    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(4); // 4800 for M-Bus
    Choose(form->RadioButton_Modbus_RTU);
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), "115200");
    EXPECT_EQ(form->ComboBox_Setup_DeviceSerialMode->currentIndex(), 2);
    EXPECT_EQ(form->PortParity, 0);
    EXPECT_EQ(form->PortStopBits, 2);
    EXPECT_EQ(form->MbusBaudIndex, 4);

    Choose(form->RadioButton_MBus);
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), "4800");
}

TEST_F(TransportSelectionTest, TcpRoundTripLeavesTheRtuChoiceAlone)
{
    form->ModbusBaudIndex = 7;
    form->MbusBaudIndex = 2;
    Choose(form->RadioButton_Modbus_RTU);
    form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(9);

    Choose(form->RadioButton_Modbus_TCPIP);
    // Modbus TCP does not refill the serial lists.
    EXPECT_EQ(Items(form->ComboBox_Setup_DeviceBaudrate), RtuRates);
    EXPECT_FALSE(form->ComboBox_Setup_DeviceBaudrate->isEnabled());

    Choose(form->RadioButton_MBus);
    EXPECT_EQ(form->ModbusBaudIndex, 7) << "the lists held no serial choice to save";
    EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentText(), "1200");
    EXPECT_EQ(form->TransportCode, tcMBus);
}

TEST_F(TransportSelectionTest, BaudSelectionWhenTheListIsRefilled)
{
    struct Case {
        char transport;
        int before; // in the Modbus RTU list
        int after;
    };
    const Case cases[] = {
        {tcModbusRtu, -1, 8}, // nothing chosen: 57600
        {tcModbusRtu, 9, 9}, {tcModbusRtu, 0, 0},
        {tcMBus, -1, -1}, // M-Bus keeps no selection
        {tcMBus, 5, 5},     {tcMBus, 6, 0}, {tcMBus, 9, 0},
    };
    for (const Case& c : cases) {
        form->TransportCode = tcModbusRtu;
        form->FillBaudrateLists();
        form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(c.before);
        form->TransportCode = c.transport;
        form->FillBaudrateLists();
        const bool rtu = c.transport == tcModbusRtu;
        EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->currentIndex(), c.after) << c.transport << " " << c.before;
        EXPECT_EQ(Items(form->ComboBox_Change_Baudrate), rtu ? RtuRates : MBusRates);
        EXPECT_EQ(form->ComboBox_Change_Baudrate->currentIndex(), -1);
    }
}

TEST_F(TransportSelectionTest, EveryChangeStartsOnTheFirstRefreshChoice)
{
    struct Case {
        QRadioButton* TMainForm::*radio;
        QStringList choices;
    };
    const Case cases[] = {
        {&TMainForm::RadioButton_MBus, {"20", "40", "60"}},
        {&TMainForm::RadioButton_Modbus_TCPIP, {"5", "15", "30", "45", "60"}},
        {&TMainForm::RadioButton_Modbus_RTU, {"15", "30", "45", "60"}},
        {&TMainForm::RadioButton_MBus, {"20", "40", "60"}},
    };
    for (const Case& c : cases) {
        form->ComboBox_DisplayRefresh->setCurrentIndex(form->ComboBox_DisplayRefresh->count() - 1);
        Choose(form.get()->*c.radio);
        EXPECT_EQ(Items(form->ComboBox_DisplayRefresh), c.choices);
        EXPECT_EQ(form->ComboBox_DisplayRefresh->currentIndex(), 0);
    }
}

TEST_F(TransportSelectionTest, LayoutPerTransport)
{
    struct Case {
        int mode;
        char code;
        const char* title;
        bool serial, addressRadios, modbusEdit, serialMode, network;
        int demandTop, timeDateTop;
        const char* infoCaption;
    };
    const Case cases[] = {
        {50, tcMBus, "TORVA ORBICOUNT TOOL - M-Bus", true, true, false, false, true, 329, 420, "Address:"},
        {51, tcModbusRtu, "TORVA ORBICOUNT TOOL - Modbus RTU", true, false, true, true, true, 208, 300, "Address:"},
        {52, tcModbusTcp, "TORVA ORBICOUNT TOOL - Modbus TCP/IP", false, false, false, false, false, 208, 300,
         "IP Address:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        form->SetProtocolMode(c.mode);
        EXPECT_EQ(form->TransportCode, c.code);
        EXPECT_EQ(form->windowTitle(), c.title);
        EXPECT_EQ(!form->GroupBox_Setup_Port->isHidden(), c.serial);
        EXPECT_EQ(!form->GroupBox_Setup_TCPIP->isHidden(), !c.serial);
        EXPECT_EQ(!form->GroupBox_DeviceAddress->isHidden(), c.serial);
        EXPECT_EQ(!form->GroupBox_Network->isHidden(), c.network);
        EXPECT_EQ(form->ComboBox_Setup_DeviceBaudrate->isEnabled(), c.serial);
        EXPECT_EQ(!form->RadioButtonPrimaryAddress->isHidden(), c.addressRadios);
        EXPECT_EQ(!form->RadioButtonSecondaryAddress->isHidden(), c.addressRadios);
        EXPECT_EQ(!form->MaskEdit_Setup_Primary_Address->isHidden(), c.addressRadios)
            << "the primary address is the checked addressing";
        EXPECT_TRUE(form->MaskEdit_Setup_Sec_Address->isHidden());
        EXPECT_EQ(!form->MaskEdit_Setup_ModBus_Address->isHidden(), c.modbusEdit);
        // Modbus TCP leaves the framing choice as it is, hidden with the port group.
        if (c.serial) {
            EXPECT_EQ(form->ComboBox_Setup_DeviceSerialMode->isEnabled(), c.serialMode);
        }
        EXPECT_EQ(form->Label_Demand->y(), c.demandTop);
        EXPECT_EQ(form->Label_Demand_Period->y(), c.demandTop);
        EXPECT_EQ(form->Label_MainDeviceTimeDate->y(), c.timeDateTop);
        EXPECT_EQ(form->Label_PrimaryAddress->text(), c.infoCaption);
        EXPECT_EQ(form->Label_Devices->text(), "Devices (Address):");
    }
    // Only Modbus TCP disables the port lists.
    EXPECT_FALSE(form->ComboBox_Setup_Port_MBus->isEnabled());
    EXPECT_FALSE(form->ComboBox_Setup_Port_ModBus->isEnabled());
    form->SetProtocolMode(51);
    EXPECT_TRUE(form->ComboBox_Setup_Port_ModBus->isEnabled());
}

TEST_F(TransportSelectionTest, MBusShowsTheCheckedAddressEditor)
{
    form->RadioButtonSecondaryAddress->setChecked(true);
    form->SetProtocolMode(50);
    EXPECT_FALSE(form->MaskEdit_Setup_Sec_Address->isHidden());
    EXPECT_TRUE(form->MaskEdit_Setup_Primary_Address->isHidden());
}

TEST_F(TransportSelectionTest, SecondaryAddressRowsOnlyForMBusOnceRevealed)
{
    const QLabel* rows[] = {form->Label_SecondaryAddress, form->Label_Sec_ID, form->Label_Secondary_Address_ID,
                            form->Label_Sec_Manufacturer, form->Label_Manufacturer, form->Label_Sec_Version,
                            form->Label_Version, form->Label_Sec_Type, form->Label_Type};
    form->SetupLabelsPending = 1;
    form->SetProtocolMode(50);
    for (const QLabel* l : rows) EXPECT_TRUE(l->isHidden()) << l->objectName().toStdString();
    form->SetupLabelsPending = 0;
    form->SetProtocolMode(50);
    for (const QLabel* l : rows) EXPECT_FALSE(l->isHidden()) << l->objectName().toStdString();
    for (int mode : {51, 52}) {
        form->SetProtocolMode(mode);
        for (const QLabel* l : rows) EXPECT_TRUE(l->isHidden()) << mode << l->objectName().toStdString();
    }
}

TEST_F(TransportSelectionTest, EveryModeShowsADisconnectedWindowWithoutDeviceInformation)
{
    for (int mode : {50, 51, 52, 0, 49, 53, 255}) {
        SCOPED_TRACE(mode);
        form->TransportCode = tcModbusRtu;
        form->setWindowTitle("before");
        QLabel* info[] = {form->Label_DeviceAddress, form->Label_DeviceType, form->Label_Device_Options,
                          form->Label_Device_SerN, form->Label_Secondary_Address_ID, form->Label_Manufacturer,
                          form->Label_Version, form->Label_Type, form->Label_Actual_Tariff, form->Label__CT,
                          form->Label__VT, form->Label_Demand_Period, form->Label_MainDeviceTimeDate};
        for (QLabel* l : info) l->setText("123");
        form->StaticText_ProductInfo->setText("product");
        form->Label_Tarif_HW->setText("HW");
        form->GroupBox_DeviceSetup->setVisible(true);
        form->GroupBox_Setup_Display->move(form->GroupBox_Setup_Display->x(), 240);
        form->ComboBox_DeviceSetup_Command->setEnabled(true);
        form->RadioButton_Scan_Baudrate->setChecked(true);
        form->Edit_Scan_PrimaryAddress->setText("1, 2");
        form->Label_Setup_ConnectStatus->setText("Status: Device is connected.");

        form->SetProtocolMode(mode);

        for (QLabel* l : info) EXPECT_EQ(l->text(), "- -") << l->objectName().toStdString();
        EXPECT_EQ(form->StaticText_ProductInfo->text(), "");
        EXPECT_EQ(form->Label_Tarif_HW->text(), "");
        EXPECT_TRUE(form->GroupBox_DeviceSetup->isHidden());
        EXPECT_EQ(form->GroupBox_Setup_Display->y(), 24);
        EXPECT_FALSE(form->ComboBox_DeviceSetup_Command->isEnabled());
        EXPECT_EQ(form->Label_Setup_ConnectStatus->text(), "Status: Disconnected.");
        const bool known = mode >= 50 && mode <= 52;
        if (known) {
            EXPECT_TRUE(form->RadioButton_Scan_Address->isChecked());
            EXPECT_EQ(form->Edit_Scan_PrimaryAddress->text(), "");
        } else {
            EXPECT_EQ(form->TransportCode, tcModbusRtu) << "an unknown mode keeps the transport";
            EXPECT_EQ(form->windowTitle(), "before");
            EXPECT_TRUE(form->Label_Setup_Address->isHidden());
        }
    }
}

TEST_F(TransportSelectionTest, TcpClearsTheBroadcastChoice)
{
    form->CheckBox_ToAllDevices->setChecked(true);
    form->SetProtocolMode(51);
    EXPECT_TRUE(form->CheckBox_ToAllDevices->isChecked());
    form->SetProtocolMode(52);
    EXPECT_FALSE(form->CheckBox_ToAllDevices->isChecked());
}

TEST_F(TransportSelectionTest, SerialRadiosShowTheirOwnPortList)
{
    Choose(form->RadioButton_Modbus_RTU);
    EXPECT_FALSE(form->ComboBox_Setup_Port_ModBus->isHidden());
    EXPECT_TRUE(form->ComboBox_Setup_Port_MBus->isHidden());
    Choose(form->RadioButton_MBus);
    EXPECT_FALSE(form->ComboBox_Setup_Port_MBus->isHidden());
    EXPECT_TRUE(form->ComboBox_Setup_Port_ModBus->isHidden());
    EXPECT_EQ(form->SerialChoiceShown, 1);
}

TEST_F(TransportSelectionTest, CheckingTheCheckedTransportAgainChangesNothing)
{
    Choose(form->RadioButton_MBus);
    form->ComboBox_DisplayRefresh->setCurrentIndex(2);
    Choose(form->RadioButton_MBus);
    form->RadioButton_MBus->click();
    EXPECT_EQ(form->ComboBox_DisplayRefresh->currentIndex(), 2);
}

// A job runner that loses its device switches the transport from the worker;
// the window changes on the UI thread and the runner goes on afterwards.
TEST_F(TransportSelectionTest, WorkerSwitchWaitsForTheWindow)
{
    form->CreateComThread(form->TransportCode);
    form->TransportCode = tcModbusTcp;
    std::atomic<bool> done{false};
    char seen = 0;
    std::thread worker([&] {
        form->SetProtocolMode(51);
        seen = form->TransportCode;
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(seen, tcModbusRtu);
    EXPECT_EQ(form->windowTitle(), "TORVA ORBICOUNT TOOL - Modbus RTU");
    EXPECT_TRUE(form->ShutdownWorker());
}

} // namespace
