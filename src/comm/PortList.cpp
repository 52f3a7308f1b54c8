// The serial port lists of M-Bus and Modbus RTU, and the framing choice. The
// refresh tries every port name with the transport's line settings and lists
// those that open; the choices are kept per transport.
#include "comm/PortList.h"

#include <QComboBox>
#include <QLabel>

#include "app/MainForm.h"
#include "comm/JobHost.h"
#include "core/SerialFraming.h"
#include "platform/ComPort.h"

namespace {

constexpr int PortOpenTries = 3;

// The only refresh mode that probes the ports.
constexpr int RefreshProbe = 233;

// Enables the list again however the probe ends: a port whose setup fails
// ends it with an exception, and the list must not stay locked.
class ListLock {
public:
    explicit ListLock(QComboBox* list) : list_(list)
    {
        if (list_) list_->setEnabled(false);
    }
    ~ListLock()
    {
        if (list_) list_->setEnabled(true);
    }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    QComboBox* list_;
};

// A port list text "COMn" stored as its port index; other texts change nothing.
void StorePortChoice(const QComboBox* list, std::atomic<int>& portIndex)
{
    if (!list || list->currentText().isEmpty()) return;
    if (const auto index = PortIndexOfName(list->currentText().toStdString())) portIndex = *index;
}

} // namespace

void TMainForm::RefreshSerialPorts(int mode)
{
    const bool mbus = TransportCode == tcMBus;
    if (!mbus && TransportCode != tcModbusRtu) return;

    if (ComboBox_Setup_DeviceBaudrate)
        ComboBox_Setup_DeviceBaudrate->setCurrentIndex(mbus ? MbusBaudIndex.load() : ModbusBaudIndex.load());
    const int serialMode = mbus ? 0 : SerialModeIndex.load();
    if (ComboBox_Setup_DeviceSerialMode) ComboBox_Setup_DeviceSerialMode->setCurrentIndex(serialMode);
    SetSerialFraming(*this, serialMode);

    QComboBox* list = mbus ? ComboBox_Setup_Port_MBus : ComboBox_Setup_Port_ModBus;
    const ListLock lock(list);
    if (list) list->clear();

    std::vector<int> found;
    if (mode == RefreshProbe) {
        // The probe opens and closes every port, the one a job may still be
        // exchanging on among them: that job is cancelled and let finish first.
        const TPortTakeOver portUse(JobHost());
        const int baudItem = ComboBox_Setup_DeviceBaudrate ? ComboBox_Setup_DeviceBaudrate->currentIndex() : -1;
        found = ProbeSerialPorts(SerialPort, *this, baudItem);
    }
    if (list)
        for (int index : found) list->addItem(QString::fromStdString(PortNames[static_cast<size_t>(index)]));
    if (Label_suma) Label_suma->setText(QString::number(found.size()));

    // The stored port when it is there, else the first one found.
    const int selected = PortListSelection(found, mbus ? MbusPortIndex.load() : ModbusPortIndex.load());
    if (list) list->setCurrentIndex(selected);
}

void TMainForm::Button_Setup_SerialPort_RefreshClick()
{
    RefreshSerialPorts(RefreshProbe);
}

void TMainForm::ComboBox_Setup_Port_MBusChange()
{
    StorePortChoice(ComboBox_Setup_Port_MBus, MbusPortIndex);
}

void TMainForm::ComboBox_Setup_Port_ModBusChange()
{
    StorePortChoice(ComboBox_Setup_Port_ModBus, ModbusPortIndex);
}

void TMainForm::ComboBox_Setup_DeviceSerialModeChange()
{
    // The new framing takes effect with the next port object. A job still
    // exchanging on the old one is cancelled and let finish first.
    if (PortOpen) {
        const TPortTakeOver portUse(JobHost());
        if (!PortOpenError) CloseComPort(SerialPort, *this);
        PortOpen = 0;
    }
    const int baudItem = ComboBox_Setup_DeviceBaudrate ? ComboBox_Setup_DeviceBaudrate->currentIndex() : -1;
    if (TransportCode == tcMBus) {
        MbusBaudIndex = baudItem;
        SetSerialFraming(*this, 0);
    } else if (TransportCode == tcModbusRtu) {
        ModbusBaudIndex = baudItem;
        SerialModeIndex = ComboBox_Setup_DeviceSerialMode ? ComboBox_Setup_DeviceSerialMode->currentIndex() : -1;
        SetSerialFraming(*this, SerialModeIndex);
    }
}

bool OpenChosenPort(TMainForm& f, bool mbus, bool shortTimeouts)
{
    if (f.PortOpen) CloseComPort(f.SerialPort, f);
    const QComboBox* portList = mbus ? f.ComboBox_Setup_Port_MBus : f.ComboBox_Setup_Port_ModBus;
    const QString portText = portList ? portList->currentText() : QString();
    int tries = PortOpenTries;
    bool ok = false;
    const int number = portText.mid(3).toInt(&ok);
    if (!portText.isEmpty() && ok) {
        f.PortIndex = number - 1;
        (mbus ? f.MbusPortIndex : f.ModbusPortIndex) = number - 1;
    } else {
        --tries;
    }
    const int baudIndex = f.ComboBox_Setup_DeviceBaudrate ? f.ComboBox_Setup_DeviceBaudrate->currentIndex() : -1;
    for (int i = 0; i < tries && !f.PortOpen; ++i) OpenComPort(f.SerialPort, f, baudIndex, shortTimeouts);
    return f.PortOpen;
}
