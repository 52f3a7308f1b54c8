// What the result handler does on the UI thread when a connect, a scan or any
// job ends: the connected device shown, a cancel, a finished scan, a port that
// was not there, and a device that stopped answering, which is let go.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include "app/MainForm.h"
#include "app/Text.h"
#include "comm/Connect.h"
#include "comm/DeviceScan.h"
#include "comm/Monitor.h"
#include "app/WidgetHelpers.h"

namespace {

constexpr uint32_t ClrGreen = 0x00FF00;

const QString OkButton = QStringLiteral("Ok");
// Shown inside the message, unlike the suffixes of other reports.
const QString ScanPortErrorNumber = QStringLiteral(" (Error:70)");

void Report(TMainForm& f, int id, int icon, const LangText& caption, const QString& line1)
{
    f.JobHost().ShowProgressWindow(id, icon, 0, 0, 0, 1, Txt(caption, f.Language), line1, QString(), QString(), QString(),
                               OkButton, 0);
}

// Measuring stops with the device that stopped answering.
void StopMeasuring(TMainForm& f)
{
    SetText(f.Button_Measurement_StartMeasuring, Txt(TxtStartMeasuring, f.Language));
    SetText(f.Label_HomeStatus, Txt(TxtStatusMeasuringStopped, f.Language));
}

void Connected(TMainForm& f)
{
    const int L = f.Language;
    SetText(f.Button_Setup_Device_Connect, Txt(TxtDisconnect, L));
    SetText(f.Label_Tarif_HW, QString());
    for (QWidget* w : std::initializer_list<QWidget*>{f.GroupBox_Setup_Protocol, f.GroupBox_DeviceAddress,
                                                      f.GroupBox_Network, f.GroupBox_Setup_Port,
                                                      f.ComboBox_Setup_Port_MBus, f.ComboBox_Setup_Port_ModBus,
                                                      f.ComboBox_Setup_DeviceBaudrate})
        w->setEnabled(false);
    Report(f, pwConnected, 0, TxtInformation, Txt(TxtDeviceConnected, L));
    if (QLabel* status = f.Label_Setup_ConnectStatus) {
        status->setText(Txt(TxtStatusDeviceConnected, f.Language));
        QPalette p = status->palette();
        p.setColor(QPalette::WindowText, ToQColor(ClrGreen));
        status->setPalette(p);
    }
    f.ShowComActivity(caConnected);
    f.ClearMeasuredValues();
    f.ShowDeviceInfo();
}

void NoAnswer(TMainForm& f)
{
    StopMeasuring(f);
    SetText(f.Button_Energie_MainCounters_StartMonitoring, Txt(TxtStartMonitoring, f.Language));
    SetText(f.Label_Energy_Values_Status, Txt(TxtStatusMonitoringStopped, f.Language));
    if (f.TimerMainStatusBar) f.TimerMainStatusBar->stop();
    f.DisconnectDevice();
    Report(f, pwNoAnswer, 1, TxtError, Txt(TxtNoAnswerFromDevice, f.Language));
}

void IdentifyFailed(TMainForm& f)
{
    StopMeasuring(f);
    if (f.TimerMainStatusBar) f.TimerMainStatusBar->stop();
    f.DisconnectDevice();
    Report(f, pwIdentifyFailed, 1, TxtError, Txt(TxtNoAnswerFromDevice, f.Language));
    FinishDeviceScan(f);
}

}  // namespace

void RegisterConnectionResults(TMainForm& f)
{
    f.SetUiAction(urCancelled, [&f] {
        if (f.TransportCode == tcModbusTcp) {
            // Modbus TCP has no scan: a connect cancelled on "Connecting...".
            // Its socket goes with it, so the window shows one state, and a
            // cancel is no failure to report.
            f.ResetTcpConnection();
        } else {
            ShowScanResult(f);
            FinishDeviceScan(f);
        }
        f.FinishProgressWindow();
    });
    f.SetUiAction(urConnected, [&f] { Connected(f); });
    // urJobCancelled: nothing to show; the handler only parks the worker.
    f.SetUiAction(urNoAnswer, [&f] { NoAnswer(f); });
    f.SetUiAction(urScanFinished, [&f] {
        ShowScanResult(f);
        FinishDeviceScan(f);
        Report(f, pwScanFinished, 0, TxtScanning, Txt(TxtScanSuccessfullyFinished, f.Language));
    });
    f.SetUiAction(urPortNotAvailable, [&f] {
        Report(f, pwScanPortNotAvailable, 1, TxtError, Txt(TxtDeviceNotAvailable, f.Language) + ScanPortErrorNumber);
    });
    f.SetUiAction(urIdentifyFailed, [&f] { IdentifyFailed(f); });
}
