// The main window as the job runners, the transceiver and the TCP client see
// it: its shared members, and its widgets and timers reached on the UI thread
// whatever thread asks. Also the port gate those exchanges go through.
#include "comm/JobHost.h"

#include <QByteArray>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "app/Text.h"
#include "comm/MBusLoggerJobs.h"
#include "comm/MBusRunner.h"
#include "comm/ModbusLoggerJobs.h"
#include "comm/ModbusRunner.h"
#include "comm/Monitor.h"
#include "comm/TcpClient.h"
#include "core/JobCodes.h"
#include "platform/ComPort.h"

namespace {

bool OnAppThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

const QEvent::Type kGateWake = static_cast<QEvent::Type>(QEvent::User + 7);

// Error window of a failed Modbus TCP connect.
constexpr int kProgressTcpNotAvailable = 18;

}  // namespace

// ---- TPortGate ----

void TPortGate::Acquire()
{
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock lock(m_);
    if (depth_ > 0 && owner_ == me) {
        ++depth_;
        return;
    }
    if (OnAppThread()) {
        // The job may need this thread (Synchronize, socket events) to finish.
        while (depth_ > 0) {
            ++uiWaiting_;
            lock.unlock();
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
            lock.lock();
            --uiWaiting_;
        }
    } else {
        cv_.wait(lock, [this] { return depth_ == 0; });
    }
    owner_ = me;
    depth_ = 1;
}

void TPortGate::Release()
{
    bool wakeUi = false;
    {
        std::lock_guard lock(m_);
        if (depth_ == 0 || owner_ != std::this_thread::get_id()) return;
        if (--depth_ > 0) return;
        owner_ = std::thread::id();
        wakeUi = uiWaiting_ > 0;
    }
    cv_.notify_all();
    // Any event ends the UI thread's wait; the application ignores this one.
    if (wakeUi)
        if (QCoreApplication* app = QCoreApplication::instance()) QCoreApplication::postEvent(app, new QEvent(kGateWake));
}

bool TPortGate::HeldByThisThread() const
{
    std::lock_guard lock(m_);
    return depth_ > 0 && owner_ == std::this_thread::get_id();
}


// ---- IJobHost ----

void IJobHost::RefreshCom()
{
    TransportState& link = Link();
    ::RefreshCom(link.SerialPort, link, Window().MbusBaudIndex.load());
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
    else if (OnUiThread(*this) && UpdateProgressHook)
        UpdateProgressHook(itemIndex, itemTotal, kind);
}

void TMainForm::TraceComFrame(const char* prefix, const uint8_t* bytes, int count)
{
    TraceFrame(*this, prefix, bytes, count);
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
    if (!ProgrWinForm) return;
    const int lang = Language.load();
    ProgrWinForm->ShowProgress(kProgressTcpNotAvailable, 1, 0, 0, 0, 1, Txt(TxtError, lang),
                               Txt(TxtDeviceNotAvailableTcp, lang), QString(), QString(), QString(),
                               Txt(TxtOk, lang), 0);
}

void TMainForm::ShowSocketError(const QString& text)
{
    TApplication::ShowException(text);
}

void TMainForm::ResetTcpConnection()
{
    if (TcpClient) TcpClient->ResetTcpConnection();
}
