// The device scan of the serial transports: the Scan button opens the port
// with the scan's short answer wait and starts the scan job, whose progress
// window the worker advances per address; the result actions show the
// addresses that answered and let the port go again.
#include "comm/DeviceScan.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/JobHost.h"
#include "comm/PortList.h"
#include "platform/ComPort.h"

namespace {

void ShowPortError(TMainForm& f, int id, const QString& suffix)
{
    f.JobHost().ShowProgressWindow(id, 1, 0, 0, 0, 1, Txt(TxtError, f.Language), Txt(TxtDeviceNotAvailable, f.Language),
                                   suffix, QString(), QString(), QStringLiteral("Ok"), 0);
}

bool DeviceShown(const TMainForm& f)
{
    const QString address = f.Label_DeviceAddress->text();
    return !address.isEmpty() && address != Txt(TxtNoValue, f.Language);
}

}  // namespace

void TMainForm::Button_Setup_SearchDevicesClick()
{
    const bool mbus = TransportCode.load() == tcMBus;
    {
        // A job still on the port is cancelled and let finish before the
        // port object is replaced under it.
        const TPortTakeOver portUse(JobHost());
        OpenChosenPort(*this, mbus, true);
    }
    if (!PortOpen) {
        ShowPortError(*this, pwScanPortNotOpen, QStringLiteral(" (Error:61)"));
        return;
    }
    Edit_Scan_PrimaryAddress->clear();
    SetJob(mbus ? jcMBusScan : jcModbusScan);
    JobHost().ShowProgressWindow(pwScanning, 0, 0, 0, 1, 1, Txt(TxtScanning, Language), QString(), QString(),
                                 QString(), QString(), Txt(TxtCancel, Language), 0);
}

void ShowScanResult(TMainForm& f)
{
    std::string found = f.FoundAddresses;
    if (!found.empty()) found.pop_back();
    f.Edit_Scan_PrimaryAddress->setText(QString::fromStdString(found));
}

void FinishDeviceScan(TMainForm& f)
{
    if (!f.PortOpen) {
        ShowPortError(f, pwScanPortClosedAtEnd, QStringLiteral(" (Error:60)"));
        return;
    }
    if (DeviceShown(f)) return;
    // The worker has posted its result and waits in the handler; the gate is free.
    const TPortUse portUse(f.JobHost().PortGate());
    CloseComPort(f.SerialPort, f);
}
