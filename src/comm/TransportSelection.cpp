// Transport selection: M-Bus, Modbus RTU or Modbus TCP. Switching puts the
// whole window into the chosen transport's layout in the disconnected state;
// the two serial transports each keep their own port, baud rate and framing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/ColorButton.h"
#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/GuardedHandler.h"
#include "comm/Monitor.h"
#include "core/SerialFraming.h"
#include "comm/UiThread.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr int SerialBaudItemsMBus = 6;   // "300" to "9600"
constexpr int RtuDefaultBaudIndex = 8;   // 57600
constexpr int DisplaySetupTopAlone = 24; // with the device setup hidden

void SetItems(QComboBox* c, std::initializer_list<const char*> items)
{
    c->clear();
    for (const char* item : items) c->addItem(QString::fromLatin1(item));
}

// Baud rates of the serial lists: M-Bus offers the first six.
void FillBaudItems(QComboBox* c, bool modbusRtu)
{
    c->clear();
    for (const char* rate : {"300", "600", "1200", "2400", "4800", "9600"}) c->addItem(QString::fromLatin1(rate));
    if (modbusRtu)
        for (const char* rate : {"19200", "38400", "57600", "115200"}) c->addItem(QString::fromLatin1(rate));
}

// Tops of the lower device-information rows: M-Bus leaves room above them for
// the secondary address.
struct InfoRowTops {
    int demand, vt, ct, deviceTime, deviceTimeDate;
};
constexpr InfoRowTops MBusInfoTops{329, 353, 377, 401, 420};
constexpr InfoRowTops ModbusInfoTops{208, 233, 256, 280, 300};

void PlaceInfoRows(TMainForm& f, const InfoRowTops& tops)
{
    SetTop(f.Label_Demand, tops.demand);
    SetTop(f.Label_Demand_Period, tops.demand);
    SetTop(f.Label_VT, tops.vt);
    SetTop(f.Label__VT, tops.vt);
    SetTop(f.Label_CT, tops.ct);
    SetTop(f.Label__CT, tops.ct);
    SetTop(f.Label_Main_DeviceTime, tops.deviceTime);
    SetTop(f.Label_MainDeviceTimeDate, tops.deviceTimeDate);
}

void ShowSecondaryAddressLabels(TMainForm& f, bool shown)
{
    for (QLabel* l : {f.Label_SecondaryAddress, f.Label_Sec_ID, f.Label_Secondary_Address_ID, f.Label_Sec_Manufacturer,
                      f.Label_Manufacturer, f.Label_Sec_Version, f.Label_Version, f.Label_Sec_Type, f.Label_Type})
        SetShown(l, shown);
}

// The scan starts over by address with an empty result.
void ResetScanChoice(TMainForm& f)
{
    if (f.RadioButton_Scan_Address) f.RadioButton_Scan_Address->setChecked(true);
    if (f.RadioButton_Scan_Baudrate) f.RadioButton_Scan_Baudrate->setChecked(false);
    if (f.Edit_Scan_PrimaryAddress) f.Edit_Scan_PrimaryAddress->clear();
}

void ResetDeviceInformation(TMainForm& f)
{
    f.ShowConnectionState(csDisconnected);

    SetShown(f.RadioButtonPrimaryAddress, false);
    SetShown(f.RadioButtonSecondaryAddress, false);
    SetShown(f.GroupBox_DeviceSetup, false);
    SetTop(f.GroupBox_Setup_Display, DisplaySetupTopAlone);
    SetEnabled(f.ComboBox_DeviceSetup_Command, false);

    const QString none = Txt(TxtNoValue, f.Language);
    for (QLabel* l : {f.Label_DeviceAddress, f.Label_DeviceType, f.Label_Device_Options, f.Label_Device_SerN,
                      f.Label_Secondary_Address_ID, f.Label_Manufacturer, f.Label_Version, f.Label_Type,
                      f.Label_Actual_Tariff, f.Label__CT, f.Label__VT, f.Label_Demand_Period,
                      f.Label_MainDeviceTimeDate})
        SetText(l, none);
    SetText(f.StaticText_ProductInfo, QString());
    SetText(f.Label_Tarif_HW, QString());
    // Only a Modbus TCP identification tells of a web server; what one device
    // told never speaks for the next.
    f.WebserverPresent = 0;
    f.WebserverEnabled = 0;
    SetText(f.Label_Setup_Webserver, QString());

    SetShown(f.Label_Setup_Address, false);
    SetShown(f.MaskEdit_Setup_Primary_Address, false);
    SetShown(f.MaskEdit_Setup_Sec_Address, false);
}

// M-Bus and Modbus RTU share the serial layout; they differ in the port list,
// the framing choice, the address editor and the secondary-address rows.
void SelectSerialTransport(TMainForm& f, bool mbus)
{
    const int L = f.Language;
    SetEnabled(f.ComboBox_Setup_DeviceSerialMode, !mbus);
    f.setWindowTitle(Txt(mbus ? TxtCaptionMbus : TxtCaptionModbusRtu, f.Brand));
    SetShown(f.GroupBox_Network, true);
    SetShown(f.GroupBox_DeviceAddress, true);
    f.TransportCode = mbus ? tcMBus : tcModbusRtu;
    SetShown(f.GroupBox_Setup_TCPIP, false);
    SetShown(f.GroupBox_Setup_Port, true);
    SetEnabled(mbus ? f.ComboBox_Setup_Port_MBus : f.ComboBox_Setup_Port_ModBus, true);
    SetEnabled(f.ComboBox_Setup_DeviceBaudrate, true);

    // Only M-Bus addresses primary or secondary; Modbus has its unit address.
    SetShown(f.RadioButtonPrimaryAddress, mbus);
    SetShown(f.RadioButtonSecondaryAddress, mbus);
    SetShown(f.Label_Setup_Address, true);
    SetShown(f.MaskEdit_Setup_ModBus_Address, !mbus);
    if (mbus) {
        SetShown(f.MaskEdit_Setup_Primary_Address,
                 f.RadioButtonPrimaryAddress && f.RadioButtonPrimaryAddress->isChecked());
        SetShown(f.MaskEdit_Setup_Sec_Address,
                 f.RadioButtonSecondaryAddress && f.RadioButtonSecondaryAddress->isChecked());
    }

    ResetScanChoice(f);
    SetText(f.Label_Setup_Address, Txt(TxtAddress, L));

    ShowSecondaryAddressLabels(f, mbus && f.SetupLabelsPending == 0);
    PlaceInfoRows(f, mbus ? MBusInfoTops : ModbusInfoTops);

    SetText(f.Label_PrimaryAddress, Txt(TxtAddress, L));
    SetText(f.Label_Devices, Txt(TxtDevicesAddress, L));
    f.FillBaudrateLists();
    f.FillSetupCommandList();
}

void SelectModbusTcp(TMainForm& f)
{
    const int L = f.Language;
    f.setWindowTitle(Txt(TxtCaptionModbusTcp, f.Brand));
    SetShown(f.GroupBox_Network, false);
    SetShown(f.GroupBox_DeviceAddress, false);
    f.TransportCode = tcModbusTcp;
    SetShown(f.GroupBox_Setup_TCPIP, true);
    SetShown(f.GroupBox_Setup_Port, false);
    SetEnabled(f.ComboBox_Setup_Port_MBus, false);
    SetEnabled(f.ComboBox_Setup_Port_ModBus, false);
    SetEnabled(f.ComboBox_Setup_DeviceBaudrate, false);
    ResetScanChoice(f);
    SetShown(f.MaskEdit_Setup_ModBus_Address, false);
    SetText(f.Label_Setup_Address, Txt(TxtAddress, L));
    PlaceInfoRows(f, ModbusInfoTops);
    ShowSecondaryAddressLabels(f, false);
    SetText(f.Label_PrimaryAddress, Txt(TxtIpAddress, L));
    SetText(f.Label_Devices, Txt(TxtDevicesAddress, L));
    f.FillSetupCommandList();
    // The serial lists keep what they hold for the way back to a serial transport.
    SetItems(f.ComboBox_DisplayRefresh, {"5", "15", "30", "45", "60"});
    if (f.ComboBox_DisplayRefresh) f.ComboBox_DisplayRefresh->setCurrentIndex(0);
    if (f.CheckBox_ToAllDevices) f.CheckBox_ToAllDevices->setChecked(false);
}

int ItemIndex(const QComboBox* c)
{
    return c ? c->currentIndex() : -1;
}

void SelectItem(QComboBox* c, int index)
{
    if (c) c->setCurrentIndex(index);
}

} // namespace

void TMainForm::SetProtocolMode(int mode)
{
    // The job runners switch the transport when a device is lost; the window
    // changes on the UI thread while the runner waits.
    if (!OnUiThread()) {
        RunOnUiThread(*this, [this, mode] { SetProtocolMode(mode); }, true);
        return;
    }
    ResetDeviceInformation(*this);
    switch (mode) {
    case pmMBus: SelectSerialTransport(*this, true); break;
    case pmModbusRtu: SelectSerialTransport(*this, false); break;
    case pmModbusTcp: SelectModbusTcp(*this); break;
    default: break;
    }
}

void TMainForm::FillBaudrateLists()
{
    const bool rtu = TransportCode == tcModbusRtu;
    const int remembered = ItemIndex(ComboBox_Setup_DeviceBaudrate);
    FillBaudItems(ComboBox_Setup_DeviceBaudrate, rtu);
    if (rtu)
        SelectItem(ComboBox_Setup_DeviceBaudrate, remembered == -1 ? RtuDefaultBaudIndex : remembered);
    else
        // A Modbus-only rate has no M-Bus item; no selection stays none.
        SelectItem(ComboBox_Setup_DeviceBaudrate, remembered < SerialBaudItemsMBus ? remembered : 0);

    // The command editor starts without a rate; the user picks one.
    FillBaudItems(ComboBox_Change_Baudrate, rtu);
    SelectItem(ComboBox_Change_Baudrate, -1);

    if (rtu)
        SetItems(ComboBox_DisplayRefresh, {"15", "30", "45", "60"});
    else
        SetItems(ComboBox_DisplayRefresh, {"20", "40", "60"});
    SelectItem(ComboBox_DisplayRefresh, 0);
}

void TMainForm::RadioButton_MBusClick()
{
    SetShown(ComboBox_Setup_Port_MBus, true);
    SetShown(ComboBox_Setup_Port_ModBus, false);
    // The lists still show the Modbus RTU choice: keep it for the way back.
    if (TransportCode != tcModbusTcp && SerialChoiceShown) {
        ModbusBaudIndex = ItemIndex(ComboBox_Setup_DeviceBaudrate);
        SerialModeIndex = ItemIndex(ComboBox_Setup_DeviceSerialMode);
    }
    SetProtocolMode(pmMBus);
    SelectItem(ComboBox_Setup_DeviceBaudrate, MbusBaudIndex);
    SelectItem(ComboBox_Setup_DeviceSerialMode, 0);
    SetSerialFraming(*this, 0);
    SerialChoiceShown = 1;
}

void TMainForm::RadioButton_Modbus_RTUClick()
{
    SetShown(ComboBox_Setup_Port_ModBus, true);
    SetShown(ComboBox_Setup_Port_MBus, false);
    if (TransportCode != tcModbusTcp && SerialChoiceShown) MbusBaudIndex = ItemIndex(ComboBox_Setup_DeviceBaudrate);
    SetProtocolMode(pmModbusRtu);
    SelectItem(ComboBox_Setup_DeviceBaudrate, ModbusBaudIndex);
    SelectItem(ComboBox_Setup_DeviceSerialMode, SerialModeIndex);
    SetSerialFraming(*this, SerialModeIndex);
    SerialChoiceShown = 1;
}

void TMainForm::RadioButton_Modbus_TCPIPClick()
{
    SetProtocolMode(pmModbusTcp);
}

namespace {

// A radio button's click handler runs when it becomes checked, also when the
// program checks it, and not again while it stays checked.
void OnChecked(QAbstractButton* b, TMainForm& f, void (TMainForm::*handler)())
{
    if (b)
        QObject::connect(b, &QAbstractButton::toggled, &f, [&f, handler](bool on) {
            if (on) (f.*handler)();
        });
}

// A list's change handler runs on the user's choice only, not when the
// program refills or selects.
void OnChosen(QComboBox* c, TMainForm& f, void (TMainForm::*handler)())
{
    if (c) QObject::connect(c, &QComboBox::activated, &f, Guarded([&f, handler] { (f.*handler)(); }));
}

void OnTriggered(QAction* a, TMainForm& f, void (TMainForm::*handler)(), const LangText& caption)
{
    if (!a) return;
    a->setText(Txt(caption, f.Language));
    QObject::connect(a, &QAction::triggered, &f, [&f, handler] { (f.*handler)(); });
}

} // namespace

void TMainForm::ConnectTransportHandlers()
{
    static const char* const Connected = "transportHandlersConnected";
    if (property(Connected).toBool()) return;
    setProperty(Connected, true);

    OnChecked(RadioButton_MBus, *this, &TMainForm::RadioButton_MBusClick);
    OnChecked(RadioButton_Modbus_RTU, *this, &TMainForm::RadioButton_Modbus_RTUClick);
    OnChecked(RadioButton_Modbus_TCPIP, *this, &TMainForm::RadioButton_Modbus_TCPIPClick);

    if (Button_Setup_SerialPort_Refresh)
        ConnectClick(Button_Setup_SerialPort_Refresh, Guarded([this] { Button_Setup_SerialPort_RefreshClick(); }));
    OnChosen(ComboBox_Setup_Port_MBus, *this, &TMainForm::ComboBox_Setup_Port_MBusChange);
    OnChosen(ComboBox_Setup_Port_ModBus, *this, &TMainForm::ComboBox_Setup_Port_ModBusChange);
    OnChosen(ComboBox_Setup_DeviceSerialMode, *this, &TMainForm::ComboBox_Setup_DeviceSerialModeChange);

    if (CheckBoxAdministrator)
        QObject::connect(CheckBoxAdministrator, &QAbstractButton::toggled, this,
                         [this] { CheckBoxAdministratorClick(); });
    OnTriggered(CopyToClipboard1, *this, &TMainForm::CopyToClipboard1Click, TxtCopyAllToClipboard);
    OnTriggered(PopUpDeleteAll, *this, &TMainForm::PopUpDeleteAllClick, TxtDeleteAll);
    OnTriggered(PopUpSelectAll, *this, &TMainForm::PopUpSelectAllClick, TxtSelectAll);
    // The monitor only grows at its end; an undo history of it would only cost memory.
    if (Memo_Com_Win) Memo_Com_Win->setUndoRedoEnabled(false);

    if (Timer_Image_Com_in_Progress)
        QObject::connect(Timer_Image_Com_in_Progress, &QTimer::timeout, this,
                         [this] { Timer_Image_Com_in_ProgressTimer(); });
}
