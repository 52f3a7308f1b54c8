// The main window as the job runners, the transceiver and the TCP client see
// it: its shared members, and its widgets and timers reached on the UI thread
// whatever thread asks.
#include "comm/JobHost.h"

#include <QByteArray>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "comm/JobControl.h"
#include "comm/MBusLoggerJobs.h"
#include "comm/MBusRunner.h"
#include "comm/ModbusLoggerJobs.h"
#include "comm/ModbusRunner.h"
#include "comm/Monitor.h"
#include "comm/TcpClient.h"
#include "comm/UiThread.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "platform/ComPort.h"

// ---- IJobHost ----

void IJobHost::RefreshCom()
{
    TransportState& link = Link();
    ::RefreshCom(link.SerialPort, link, Window().MbusBaudIndex.load());
}

void EndJobWithoutRunner(IJobHost& host, uint8_t job)
{
    host.StopDisplayRefresh();
    host.StopBusyIndicator();
    host.Jobs().EndJobWithoutRunner(job);
}

bool EndJobWithoutLink(IJobHost& host)
{
    // A TCP job needs no serial port, only the socket.
    const TransportState& link = host.Link();
    if (link.PortOpenError.load() == 0 || link.TcpConnected.load() != 0) return false;
    host.StopDisplayRefresh();
    host.StopBusyIndicator();
    // A disconnect may have cancelled the job between its start and this check.
    if (EndCancelledJobAfterMiss(host)) return true;
    host.Jobs().SetJob(jcIdle);
    host.Jobs().SetUiRequest(urNoAnswer);
    return true;
}

bool EndCancelledJobAfterMiss(IJobHost& host)
{
    JobControl& jobs = host.Jobs();
    if (jobs.GetJob() != jcIdle) return false;
    jobs.SetUiRequest(urJobCancelled);
    return true;
}

// ---- the main window as job host ----

void TMainForm::CreateJobHost()
{
    if (TcpClient) return;
    TcpClient = new TModbusTcpClient(*this, *this, *this, *this, TimerIP_Connect, TCPIP_receive_timer, this);
    ClientSocket = TcpClient->ClientSocket;
    ModbusJobStep = [this] { RunModbusJobStep(*this, RunModbusLoggerJob); };
    MBusJobStep = [this] { RunMBusJobStep(*this, RunMBusLoggerJob); };
}

void TMainForm::ReportProgress(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind)
{
    if (ComThread)
        ComThread->ReportProgress(itemIndex, itemTotal, kind);
    else if (OnUiThread() && UpdateProgressHook)
        UpdateProgressHook(itemIndex, itemTotal, kind);
}

void TMainForm::TraceComFrame(const char* prefix, const uint8_t* bytes, int count)
{
    TraceFrame(*this, prefix, bytes, count);
}

void TMainForm::TraceUntracedBytes(int64_t count)
{
    AppendUntracedNote(*this, count);
}

void TMainForm::StopDisplayRefresh()
{
    RunOnUiThread(
        *this, [this] { if (Timer_Display_Refresh) Timer_Display_Refresh->stop(); }, false);
}

void TMainForm::StartTimerSetup()
{
    RunOnUiThread(
        *this, [this] { if (TimerSetup && !TimerSetup->isActive()) TimerSetup->start(); }, false);
}

bool TMainForm::ConnectInProgress()
{
    bool connecting = false;
    RunOnUiThread(
        *this,
        [this, &connecting] {
            const QPushButton* button = Button_Setup_Device_Connect;
            connecting = button && button->text() == Txt(TxtConnectDevice, Language.load());
        },
        true);
    return connecting;
}

void TMainForm::SendOverTcp(const uint8_t* frame, int length)
{
    const QByteArray bytes(reinterpret_cast<const char*>(frame), length);
    RunOnUiThread(
        *this,
        [this, bytes] {
            if (TcpClient)
                TcpClient->SendRequest(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<int>(bytes.size()));
        },
        false);
}

int TMainForm::LoggerReadCount(uint8_t job)
{
    int count = 0;
    RunOnUiThread(
        *this,
        [this, job, &count] {
            const QComboBox* box = job == jcMBusEventsLogger || job == jcModbusEventsLogger ? ComboBox_Events
                                   : job == jcModbusCertifiedLogger                        ? ComboBox_Certified
                                                                                           : ComboBox_Demand;
            if (box) count = box->currentText().toInt();
        },
        true);
    return count;
}

void TMainForm::ShowDeviceNotAvailable()
{
    const int lang = Language.load();
    ShowProgressWindow(pwTcpNotAvailable, 1, 0, 0, 0, 1, Txt(TxtError, lang), Txt(TxtDeviceNotAvailableTcp, lang),
                       QString(), QString(), QString(), Txt(TxtOk, lang), 0);
}

void TMainForm::ShowProgressWindow(int id, int icon, int counting, int barTimer, int busy, int layout,
                                   const QString& caption, const QString& line1, const QString& suffix,
                                   const QString& line2, const QString& line3, const QString& buttonText,
                                   int itemCount)
{
    if (ProgrWinForm)
        ProgrWinForm->ShowProgress(id, icon, counting, barTimer, busy, layout, caption, line1, suffix, line2, line3,
                                   buttonText, itemCount);
}

void TMainForm::FinishProgressWindow()
{
    if (ProgrWinForm) ProgrWinForm->FinishProgress();
}

void TMainForm::SetProgressBarMax(int max)
{
    if (ProgrWinForm) ProgrWinForm->SetBarMax(max);
}

void TMainForm::ShowSocketError(const QString& text)
{
    TApplication::ShowException(text);
}

void TMainForm::ResetTcpConnection()
{
    if (TcpClient) TcpClient->ResetTcpConnection();
}
