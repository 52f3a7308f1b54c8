// The setup commands that the meter answers at once, sent on the UI thread:
// the device addresses and the baud rate, which also reopens the serial port
// at the new rate.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/Connect.h"
#include "comm/Transceiver.h"
#include "core/RequestTemplates.h"
#include "core/SetupFrames.h"
#include "platform/ComPort.h"
#include "setup/SetupExecutor.h"

namespace setupcmd {

namespace {

std::string Std(const QString& s) { return s.toStdString(); }

bool ToAllDevices(const TMainForm& f) { return f.CheckBox_ToAllDevices && f.CheckBox_ToAllDevices->isChecked(); }

// After a rate change the port is opened anew at the new rate, and an M-Bus
// device is reset at it. Returns whether the port is open.
bool ReopenAtRate(TMainForm& f, int baudIndex)
{
    const TPortUse use(f.JobHost().PortGate());
    if (!f.PortOpen) return false;
    if (f.ComboBox_Setup_DeviceBaudrate) f.ComboBox_Setup_DeviceBaudrate->setCurrentIndex(baudIndex);
    const bool mbus = f.TransportCode == tcMBus;
    (mbus ? f.MbusBaudIndex : f.ModbusBaudIndex) = baudIndex;
    if (!OpenComPort(f.SerialPort, f, baudIndex)) return false;
    if (mbus) SendRequestTemplate(f.JobHost(), TplMbusSndNke, f.DeviceAddress);
    return true;
}

}  // namespace

setup::TMBusTarget MBusTargetOf(const TMainForm& f, bool toAll)
{
    setup::TMBusTarget t;
    t.Secondary = !toAll && f.AddressingMode == amSecondary;
    t.Address = toAll ? setup::MBusBroadcastAddress : f.DeviceAddress.load();
    t.SecondaryAddress = f.SecondaryAddress;
    t.ManufacturerIndex = f.ManufacturerIndex;
    t.MbusVersion = f.MbusVersion;
    return t;
}

TDirectOutcome SendMBusRecord(TMainForm& f, const std::vector<uint8_t>& record, bool toAll)
{
    return SendDirect(f, [&](std::span<uint8_t> tx) {
        return setup::BuildMBusSettingFrame(tx, MBusTargetOf(f, toAll), setup::MBusCiDataRecords, record);
    });
}

void SetModbusUnitAddress(TMainForm& f)
{
    const QString typed = f.MaskEdit_Set_Address ? f.MaskEdit_Set_Address->text() : QString();
    const setup::TCheckedValue a = setup::CheckModbusAddress(Std(typed));
    if (a.Check != setup::TValueCheck::Ok) return RefuseTypedValue(f, a.Check);
    const TDirectOutcome outcome = SendDirect(f, [&](std::span<uint8_t> tx) {
        return setup::BuildModbusWriteFrame(tx, f.DeviceAddress, setup::regUnitAddress,
                                            setup::ModbusWord(static_cast<uint16_t>(a.Value)));
    });
    if (outcome == TDirectOutcome::Answered) {
        if (f.Label_DeviceAddress) f.Label_DeviceAddress->setText(QLatin1Char(' ') + typed.trimmed());
        f.DeviceAddress = static_cast<uint8_t>(a.Value);
    }
    if (ReportOutcome(f, outcome, pwUnitAddressSet, pwUnitAddressFailed) && f.MaskEdit_Setup_ModBus_Address)
        // The next connect uses the new address.
        f.MaskEdit_Setup_ModBus_Address->setText(typed);
}

void SetMBusPrimaryAddress(TMainForm& f)
{
    const QString typed = f.MaskEdit_Set_Address ? f.MaskEdit_Set_Address->text() : QString();
    const setup::TCheckedValue a = setup::CheckPrimaryAddress(Std(typed));
    if (a.Check != setup::TValueCheck::Ok) return RefuseTypedValue(f, a.Check);
    const TDirectOutcome outcome =
        SendMBusRecord(f, setup::MBusPrimaryAddressRecord(static_cast<uint8_t>(a.Value)), false);
    if (outcome == TDirectOutcome::Answered) {
        if (f.Label_DeviceAddress) f.Label_DeviceAddress->setText(QLatin1Char(' ') + typed.trimmed());
        f.DeviceAddress = static_cast<uint8_t>(a.Value);
    }
    if (ReportOutcome(f, outcome, pwPrimaryAddressSet, pwPrimaryAddressFailed) && f.MaskEdit_Setup_Primary_Address)
        f.MaskEdit_Setup_Primary_Address->setText(typed);
}

void SetMBusSecondaryAddress(TMainForm& f)
{
    const std::string number = SecondaryAddressFromEdit(
        f.MaskEdit_Setup_SecondaryAddress ? f.MaskEdit_Setup_SecondaryAddress->displayText() : QString());
    // With secondary addressing the frame selects the device by its present number.
    const TDirectOutcome outcome = SendMBusRecord(f, setup::MBusSecondaryAddressRecord(number), false);
    if (outcome == TDirectOutcome::Answered) {
        const QString shown = QLatin1Char(' ') + QString::fromStdString(number);
        if (f.Label_Secondary_Address_ID) f.Label_Secondary_Address_ID->setText(shown);
        // A job completes its frames from these; none may run while they change.
        const TPortUse use(f.JobHost().PortGate());
        f.SecondaryAddressIdText = shown.toStdString();
        f.SecondaryAddress = number;
    }
    ReportOutcome(f, outcome, pwSecondaryAddressSet, pwSecondaryAddressFailed);
}

void SetDeviceBaudrate(TMainForm& f)
{
    const int index = f.ComboBox_Change_Baudrate ? f.ComboBox_Change_Baudrate->currentIndex() : -1;
    const bool mbus = f.TransportCode == tcMBus;
    if (index < 0 || (mbus && index > 5)) return;
    const bool toAll = ToAllDevices(f);
    const TDirectOutcome outcome = SendDirect(f, [&](std::span<uint8_t> tx) {
        if (mbus) return setup::BuildMBusSettingFrame(tx, MBusTargetOf(f, toAll), setup::MBusBaudCi(index), {});
        return setup::BuildModbusWriteFrame(tx, toAll ? setup::ModbusBroadcastUnit : f.DeviceAddress.load(),
                                            setup::regBaudRate, setup::ModbusWord(static_cast<uint16_t>(index)));
    });
    // Nobody answers a broadcast; its silence is its success.
    if (!toAll && outcome != TDirectOutcome::Answered) {
        ReportOutcome(f, outcome, pwBaudRateSet, pwBaudRateFailed);
        return;
    }
    if (!ReopenAtRate(f, index)) {
        // The port could not be opened at the new rate: the device is out of
        // reach, and the window says so as after any lost connection.
        f.DisconnectDevice();
        Fail(f, pwBaudRateFailed, Txt(TxtDeviceNotAvailable, f.Language));
        return;
    }
    Inform(f, pwBaudRateSet, Txt(TxtOperationFinished2, f.Language));
}

}  // namespace setupcmd
