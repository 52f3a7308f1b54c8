// Builds the Setup page. The left column holds the communication setup, whose
// groups appear and disappear with the transport and the connection; it is
// stacked by a layout so that what is shown always closes up. Inside each
// group, and in the right column (whose group tops the device setup moves),
// controls have fixed places.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/MainForm.h"
#include "app/PageBuilders.h"
#include "app/Text.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int kColumnMargin = 8;
constexpr int kStackWidth = 392;  // the groups inside the communication setup

// A group of the left column: fixed size, stacked by the column's layout.
QGroupBox* MakeStackedGroup(QWidget* parent, const char* name, int height)
{
    auto* g = new QGroupBox(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setFixedSize(kStackWidth, height);
    return g;
}

void AddItems(QComboBox* c, std::initializer_list<const char*> items)
{
    for (const char* item : items) c->addItem(QString::fromLatin1(item));
}

constexpr int kTop = 24;
constexpr int kLeftColumn = 8;
constexpr int kRightColumn = 432;
constexpr int kRightWidth = 409;

// Rows inside a group: first row below the caption, then every 32 pixels.
constexpr int kRow1 = 24;
constexpr int kRow2 = 56;
constexpr int kRow3 = 88;
constexpr int kLabelLeft = 14;
constexpr int kFieldLeft = 134;
constexpr int kEditHeight = 23;

void BuildProtocolGroup(TMainForm& f, QWidget* parent)
{
    auto* g = f.GroupBox_Setup_Protocol = MakeStackedGroup(parent, "GroupBox_Setup_Protocol", 56);
    f.RadioButton_MBus = Child<QRadioButton>(g, "RadioButton_MBus", kLabelLeft, kRow1 + 2, 110, 20);
    f.RadioButton_Modbus_RTU = Child<QRadioButton>(g, "RadioButton_Modbus_RTU", kFieldLeft, kRow1 + 2, 120, 20);
    f.RadioButton_Modbus_TCPIP =
        Child<QRadioButton>(g, "RadioButton_Modbus_TCPIP", 264, kRow1 + 2, 120, 20);
}

void BuildPortGroup(TMainForm& f, QWidget* parent)
{
    auto* g = f.GroupBox_Setup_Port = MakeStackedGroup(parent, "GroupBox_Setup_Port", 122);
    // One port list per serial transport, in the same place; the transport shows its own.
    f.ComboBox_Setup_Port_MBus =
        Child<QComboBox>(g, "ComboBox_Setup_Port_MBus", kLabelLeft, kRow1 + 2, 110, kEditHeight);
    f.ComboBox_Setup_Port_ModBus =
        Child<QComboBox>(g, "ComboBox_Setup_Port_ModBus", kLabelLeft, kRow1 + 2, 110, kEditHeight);
    f.ComboBox_Setup_Port_ModBus->setVisible(false);
    f.Button_Setup_SerialPort_Refresh =
        Child<QPushButton>(g, "Button_Setup_SerialPort_Refresh", kFieldLeft, kRow1 + 1, 110, 25);
    f.Label_suma = Child<QLabel>(g, "Label_suma", 256, kRow1 + 6, 40, 17);
    f.Label_suma->setVisible(false);

    f.Label_Baudrate = Child<QLabel>(g, "Label_Baudrate", kLabelLeft, kRow2 + 5, 110, 17);
    f.ComboBox_Setup_DeviceBaudrate =
        Child<QComboBox>(g, "ComboBox_Setup_DeviceBaudrate", kFieldLeft, kRow2 + 2, 110, kEditHeight);
    AddItems(f.ComboBox_Setup_DeviceBaudrate, {"300", "600", "1200", "2400", "4800", "9600"});

    f.ComboBox_Setup_DeviceSerialMode = Child<QComboBox>(g, "ComboBox_Setup_DeviceSerialMode",
                                                        kLabelLeft, kRow3 + 2, 362, kEditHeight);
    // Framing items read the same in both languages; their index is the serial mode.
    for (const LangText* t : {&TxtSerialMode8E1, &TxtSerialMode8O1, &TxtSerialMode8N2, &TxtSerialMode8N1})
        f.ComboBox_Setup_DeviceSerialMode->addItem(Txt(*t, 0));
    f.ComboBox_Setup_DeviceSerialMode->setEnabled(false);
}

void BuildTcpipGroup(TMainForm& f, QWidget* parent)
{
    auto* g = f.GroupBox_Setup_TCPIP = MakeStackedGroup(parent, "GroupBox_Setup_TCPIP", 58);
    f.Label_IP_Address = Child<QLabel>(g, "Label_IP_Address", kLabelLeft, kRow1 + 5, 110, 17);
    f.MaskEdit_IPAddress =
        Child<QLineEdit>(g, "MaskEdit_IPAddress", kFieldLeft, kRow1 + 2, 130, kEditHeight);
    f.MaskEdit_IPAddress->setInputMask(QStringLiteral("000.000.000.000; "));
    // The loopback address answers at once on a fresh machine, where the
    // simulated meter runs, and reaches no other host.
    f.MaskEdit_IPAddress->setText(QStringLiteral("127.000.000.001"));
    // Modbus TCP always uses port 502; the edit stays out of the user's reach.
    f.Edit_Setup_TCPIP_Port = Child<QLineEdit>(g, "Edit_Setup_TCPIP_Port", 274, kRow1 + 2, 60, kEditHeight);
    f.Edit_Setup_TCPIP_Port->setText(QStringLiteral("502"));
    f.Edit_Setup_TCPIP_Port->setVisible(false);
    f.Edit_Setup_TCPIP_Port->setEnabled(false);
    g->setVisible(false);
}

void BuildAddressGroup(TMainForm& f, QWidget* parent)
{
    auto* g = f.GroupBox_DeviceAddress = MakeStackedGroup(parent, "GroupBox_DeviceAddress", 90);
    f.RadioButtonPrimaryAddress =
        Child<QRadioButton>(g, "RadioButtonPrimaryAddress", kLabelLeft, kRow1 + 2, 110, 20);
    f.RadioButtonSecondaryAddress =
        Child<QRadioButton>(g, "RadioButtonSecondaryAddress", kFieldLeft, kRow1 + 2, 130, 20);
    f.RadioButtonPrimaryAddress->setChecked(true);

    f.Label_Setup_Address = Child<QLabel>(g, "Label_Setup_Address", kLabelLeft, kRow2 + 5, 110, 17);
    // One address editor per addressing, in the same place; the transport and
    // the addressing mode show one of them.
    f.MaskEdit_Setup_Primary_Address =
        Child<QLineEdit>(g, "MaskEdit_Setup_Primary_Address", kFieldLeft, kRow2 + 2, 110, kEditHeight);
    f.MaskEdit_Setup_Sec_Address =
        Child<QLineEdit>(g, "MaskEdit_Setup_Sec_Address", kFieldLeft, kRow2 + 2, 110, kEditHeight);
    f.MaskEdit_Setup_ModBus_Address =
        Child<QLineEdit>(g, "MaskEdit_Setup_ModBus_Address", kFieldLeft, kRow2 + 2, 110, kEditHeight);
    // Eight places of digits or 'F' (a wildcard digit); unfilled places read as blanks.
    f.MaskEdit_Setup_Sec_Address->setInputMask(QStringLiteral(">hhhhhhhh; "));
    f.MaskEdit_Setup_Sec_Address->setVisible(false);
    f.MaskEdit_Setup_ModBus_Address->setVisible(false);
}

void BuildNetworkGroup(TMainForm& f, QWidget* parent)
{
    auto* g = f.GroupBox_Network = MakeStackedGroup(parent, "GroupBox_Network", 90);
    f.Button_Setup_SearchDevices =
        Child<QPushButton>(g, "Button_Setup_SearchDevices", kLabelLeft, kRow1 + 1, 110, 25);
    f.RadioButton_Scan_Address =
        Child<QRadioButton>(g, "RadioButton_Scan_Address", kFieldLeft, kRow1 + 3, 120, 20);
    f.RadioButton_Scan_Baudrate = Child<QRadioButton>(g, "RadioButton_Scan_Baudrate", 264, kRow1 + 3, 120, 20);
    f.RadioButton_Scan_Address->setChecked(true);

    f.Label_Devices = Child<QLabel>(g, "Label_Devices", kLabelLeft, kRow2 + 5, 118, 17);
    f.Edit_Scan_PrimaryAddress =
        Child<QLineEdit>(g, "Edit_Scan_PrimaryAddress", kFieldLeft, kRow2 + 2, 242, kEditHeight);
    f.Edit_Scan_PrimaryAddress->setReadOnly(true);
}

// The connect button with the connection and web-server status beside it. A
// plain panel keeps the button's place when it is swapped for a colour button.
void BuildConnectRow(TMainForm& f, QWidget* parent, QVBoxLayout* column)
{
    auto* row = new QWidget(parent);
    row->setObjectName(QStringLiteral("Panel_Setup_Connect"));
    row->setFixedSize(kStackWidth, 52);
    f.Button_Setup_Device_Connect = Child<QPushButton>(row, "Button_Setup_Device_Connect", 6, 4, 140, 25);
    f.Label_Setup_ConnectStatus = Child<QLabel>(row, "Label_Setup_ConnectStatus", 158, 8, 230, 17);
    f.Label_Setup_Webserver = Child<QLabel>(row, "Label_Setup_Webserver", 158, 30, 230, 17);
    column->addWidget(row);
}

void BuildCommunicationSetup(TMainForm& f, QWidget* page)
{
    auto* comm = f.GroupBox_CommunicationSetup = new QGroupBox(page);
    comm->setObjectName(QStringLiteral("GroupBox_CommunicationSetup"));
    comm->move(kLeftColumn, kTop);
    // The group takes the height of what it shows.
    auto* column = new QVBoxLayout(comm);
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->setContentsMargins(kColumnMargin, 22, kColumnMargin, kColumnMargin);
    column->setSpacing(8);

    BuildProtocolGroup(f, comm);
    BuildPortGroup(f, comm);
    BuildTcpipGroup(f, comm);
    BuildAddressGroup(f, comm);
    BuildNetworkGroup(f, comm);
    for (QGroupBox* g : {f.GroupBox_Setup_Protocol, f.GroupBox_Setup_Port, f.GroupBox_Setup_TCPIP,
                         f.GroupBox_DeviceAddress, f.GroupBox_Network})
        column->addWidget(g);
    BuildConnectRow(f, comm, column);
}

void BuildDeviceSetup(TMainForm& f, QWidget* page)
{
    auto* g = f.GroupBox_DeviceSetup =
        Child<QGroupBox>(page, "GroupBox_DeviceSetup", kRightColumn, kTop, kRightWidth, 192);
    f.Label_Setup_Command = Child<QLabel>(g, "Label_Setup_Command", kLabelLeft, kRow1, 200, 17);
    f.ComboBox_DeviceSetup_Command =
        Child<QComboBox>(g, "ComboBox_DeviceSetup_Command", kLabelLeft, kRow1 + 20, 361, kEditHeight);
    f.ComboBox_DeviceSetup_Command->setEnabled(false);

    // Every editor starts hidden; the chosen command shows its own, all on one row.
    constexpr int editTop = 84;
    f.MaskEdit_Set_Address = Child<QLineEdit>(g, "MaskEdit_Set_Address", kLabelLeft, editTop, 110, kEditHeight);
    f.MaskEdit_Set_Address->setText(QStringLiteral("0"));
    f.MaskEdit_Setup_SecondaryAddress =
        Child<QLineEdit>(g, "MaskEdit_Setup_SecondaryAddress", kLabelLeft, editTop, 110, kEditHeight);
    f.MaskEdit_Setup_SecondaryAddress->setInputMask(QStringLiteral("00000000; "));
    f.ComboBox_Change_Baudrate =
        Child<QComboBox>(g, "ComboBox_Change_Baudrate", kLabelLeft, editTop, 110, kEditHeight);
    AddItems(f.ComboBox_Change_Baudrate, {"300", "600", "1200", "2400", "4800", "9600"});
    f.ComboBox_Set_Demand_Period =
        Child<QComboBox>(g, "ComboBox_Set_Demand_Period", kLabelLeft, editTop, 110, kEditHeight);
    AddItems(f.ComboBox_Set_Demand_Period, {"1", "2", "3", "4", "5", "10", "15", "30", "60"});
    f.MaskEdit_VT = Child<QLineEdit>(g, "MaskEdit_VT", kLabelLeft, editTop, 110, kEditHeight);
    f.MaskEdit_VT->setText(QStringLiteral("1"));
    f.MaskEdit_CT = Child<QLineEdit>(g, "MaskEdit_CT", kLabelLeft, editTop, 110, kEditHeight);
    f.MaskEdit_CT->setText(QStringLiteral("1"));
    f.ComboBox_Tariff = Child<QComboBox>(g, "ComboBox_Tariff", kLabelLeft, editTop, 110, kEditHeight);
    f.ComboBox_Tariff->addItem(Txt(TxtTariffHardware, 0));
    AddItems(f.ComboBox_Tariff, {" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8"});
    f.ComboBox_Set_Webserver =
        Child<QComboBox>(g, "ComboBox_Set_Webserver", kLabelLeft, editTop, 220, kEditHeight);
    f.MaskEdit_Change_Date =
        Child<QLineEdit>(g, "MaskEdit_Change_Date", kLabelLeft, editTop, 110, kEditHeight);
    // The year is typed in full, as the command's caption says. A clock out of
    // range shows the placeholders, which the command refuses.
    SetDateTimeMask(f.MaskEdit_Change_Date, QStringLiteral("nnnn-nn-nn; "), QString::fromLatin1(PlaceholderDate));
    f.MaskEdit_Change_Time = Child<QLineEdit>(g, "MaskEdit_Change_Time", 132, editTop, 90, kEditHeight);
    SetDateTimeMask(f.MaskEdit_Change_Time, QStringLiteral("nn:nn:nn; "), QString::fromLatin1(PlaceholderTime));
    f.Button_Setup_DateTime_Read =
        Child<QPushButton>(g, "Button_Setup_DateTime_Read", 232, editTop - 1, 90, 25);
    f.CheckBox_ToAllDevices = Child<QCheckBox>(g, "CheckBox_ToAllDevices", kLabelLeft, 120, 226, 20);
    f.CheckBox_SendPCTimeDate = Child<QCheckBox>(g, "CheckBox_SendPCTimeDate", kLabelLeft, 146, 226, 20);
    for (QWidget* w : std::initializer_list<QWidget*>{
             f.MaskEdit_Set_Address, f.MaskEdit_Setup_SecondaryAddress, f.ComboBox_Change_Baudrate,
             f.ComboBox_Set_Demand_Period, f.MaskEdit_VT, f.MaskEdit_CT, f.ComboBox_Tariff,
             f.ComboBox_Set_Webserver, f.MaskEdit_Change_Date, f.MaskEdit_Change_Time,
             f.Button_Setup_DateTime_Read, f.CheckBox_ToAllDevices, f.CheckBox_SendPCTimeDate})
        w->setVisible(false);

    // Right-aligned with the command list; its top is 120, or 80 beside the
    // command list's row when the command has no editor.
    f.Button_SendToDevice =
        Child<QPushButton>(g, "Button_SendToDevice", kLabelLeft + 361 - 130, 120, 130, 25);
    f.Button_SendToDevice->setEnabled(false);

    g->setVisible(false);
}

void BuildRightColumn(TMainForm& f, QWidget* page)
{
    BuildDeviceSetup(f, page);

    // Top 24 while the device setup is hidden, below it otherwise.
    auto* d = f.GroupBox_Setup_Display =
        Child<QGroupBox>(page, "GroupBox_Setup_Display", kRightColumn, kTop, kRightWidth, 58);
    f.Label_RefreshTime = Child<QLabel>(d, "Label_RefreshTime", kLabelLeft, kRow1 + 5, 196, 17);
    f.ComboBox_DisplayRefresh =
        Child<QComboBox>(d, "ComboBox_DisplayRefresh", 214, kRow1 + 2, 80, kEditHeight);
    AddItems(f.ComboBox_DisplayRefresh, {"5", "15", "30", "45", "60"});
    f.ComboBox_DisplayRefresh->setCurrentIndex(0);

    // Language, window size and the monitor switch below the lowest place of
    // the display group.
    constexpr int groupTop = 232 + 58 + 8;
    constexpr int adminTop = groupTop + 58 + 8;
    constexpr int halfWidth = (kRightWidth - 8) / 2;
    auto* lang = f.GroupBox_Setup_Language =
        Child<QGroupBox>(page, "GroupBox_Setup_Language", kRightColumn, groupTop, halfWidth, 58);
    f.RadioButton_English = Child<QRadioButton>(lang, "RadioButton_English", kLabelLeft, kRow1 + 4, 86, 20);
    f.RadioButton_German = Child<QRadioButton>(lang, "RadioButton_German", 104, kRow1 + 4, 86, 20);

    auto* win = f.GroupBox_Window = Child<QGroupBox>(page, "GroupBox_Window", kRightColumn + halfWidth + 8,
                                                    groupTop, kRightWidth - halfWidth - 8, 58);
    f.RadioButton_Large = Child<QRadioButton>(win, "RadioButton_Large", kLabelLeft, kRow1 + 4, 86, 20);
    f.RadioButton_Small = Child<QRadioButton>(win, "RadioButton_Small", 104, kRow1 + 4, 86, 20);
    f.RadioButton_Large->setChecked(true);

    f.CheckBoxAdministrator =
        Child<QCheckBox>(page, "CheckBoxAdministrator", kRightColumn + 6, adminTop, kRightWidth - 6, 20);
}

}  // namespace

void BuildSetupPage(TMainForm& f)
{
    QWidget* page = f.Page_Setup;
    BuildCommunicationSetup(f, page);
    BuildRightColumn(f, page);
}
