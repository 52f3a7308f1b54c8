#include "comm/TcpClient.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "comm/JobControl.h"
#include "comm/Transceiver.h"
#include "core/AnswerChecks.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"

namespace {

constexpr std::chrono::seconds kUntracedNoteInterval{1};

}  // namespace

TModbusTcpClient::TModbusTcpClient(ITcpClientHost& host, JobControl& jobs, TransportState& link,
                                   FrameBuffers& frames, QTimer* connectTimer, QTimer* receiveTimer,
                                   QObject* parent)
    : QObject(parent),
      ClientSocket(new QTcpSocket(this)),
      TimerIP_Connect(connectTimer),
      TCPIP_receive_timer(receiveTimer),
      host_(host),
      jobs_(jobs),
      link_(link),
      frames_(frames)
{
    ClientSocket->setObjectName(QStringLiteral("ClientSocket"));
    ClientSocket->setReadBufferSize(SocketBufferLimit);
    connect(ClientSocket, &QTcpSocket::connected, this, &TModbusTcpClient::ClientSocketConnect);
    connect(ClientSocket, &QTcpSocket::disconnected, this, &TModbusTcpClient::ClientSocketDisconnect);
    connect(ClientSocket, &QTcpSocket::readyRead, this, &TModbusTcpClient::ClientSocketRead);
    connect(ClientSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        int code = WinSockErrorCode(error);
        ClientSocketError(code);
        if (code == 0) return;
        const QString text = ClientSocket->errorString() + QStringLiteral(" (") + QString::number(code) +
                             QStringLiteral(")");
        // The message box runs its own loop: not inside the socket's signal.
        QMetaObject::invokeMethod(this, [this, text] { host_.ShowSocketError(text); }, Qt::QueuedConnection);
    });
    if (TimerIP_Connect)
        connect(TimerIP_Connect, &QTimer::timeout, this, &TModbusTcpClient::TimerIP_ConnectTimer);
    if (TCPIP_receive_timer) {
        // A coarse timer may end the answer wait up to 5 % early.
        TCPIP_receive_timer->setTimerType(Qt::PreciseTimer);
        connect(TCPIP_receive_timer, &QTimer::timeout, this, &TModbusTcpClient::TCPIP_receive_timerTimer);
    }
}

TModbusTcpClient::~TModbusTcpClient()
{
    ClientSocket->disconnect(this);
    ClientSocket->abort();
    {
        std::lock_guard lock(m_);
        armed_ = false;
    }
    cv_.notify_all();
}

void TModbusTcpClient::Activate(const QString& address, quint16 port)
{
    active_ = true;
    ClientSocket->abort();
    ClientSocket->connectToHost(address, port);
}

void TModbusTcpClient::Deactivate()
{
    active_ = false;
    ClientSocket->abort();
}

void TModbusTcpClient::ClientSocketConnect()
{
    // Small requests and answers alternate: none may wait for a coalescing send.
    ClientSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    host_.ShowConnectionState(csConnected);
    link_.TcpConnected = 1;
}

void TModbusTcpClient::ClientSocketDisconnect()
{
    link_.TcpConnected = 0;
}

void TModbusTcpClient::ClientSocketRead()
{
    uint8_t piece[ReadPieceSize];
    int taken = 0;
    while (taken < ReadEventBudget && ClientSocket->bytesAvailable() > 0) {
        const qint64 got = ClientSocket->read(reinterpret_cast<char*>(piece), ReadPieceSize);
        if (got <= 0) break;
        const int count = static_cast<int>(got);
        taken += count;
        TraceReceived(piece, count);
        if (StoreAnswerBytes(piece, count)) Wake();
    }
    ReportUntraced(false);
    // Bytes already buffered raise no new read event of their own.
    if (ClientSocket->bytesAvailable() > 0 && !readQueued_) {
        readQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                readQueued_ = false;
                ClientSocketRead();
            },
            Qt::QueuedConnection);
    }
}

void TModbusTcpClient::TraceReceived(const uint8_t* bytes, int count)
{
    const int shown = std::clamp(TraceBudgetPerRequest - tracedSinceRequest_, 0, count);
    if (shown > 0) host_.TraceComFrame("RX(TCP):", bytes, shown);
    tracedSinceRequest_ += shown;
    untraced_ += count - shown;
}

void TModbusTcpClient::ReportUntraced(bool now)
{
    if (untraced_ == 0) return;
    const auto at = std::chrono::steady_clock::now();
    if (!now && at - lastUntracedNote_ < kUntracedNoteInterval) return;
    host_.TraceUntracedBytes(untraced_);
    untraced_ = 0;
    lastUntracedNote_ = at;
}

bool TModbusTcpClient::StoreAnswerBytes(const uint8_t* bytes, int count)
{
    std::lock_guard lock(m_);
    while (count > 0) {
        // Bytes nobody waits for are only traced.
        const bool armed = armed_ && link_.receive_data_flag == 0;
        TTcpFollowUps::TSent* ahead = armed ? nullptr : followUps_.Awaited();
        if (!armed && !ahead) break;
        FrameBuffers& into = armed ? frames_ : ahead->Answer;
        const int before = into.RxCount;
        const bool complete = AppendModbusTcpAnswer(into, bytes, count);
        const int used = into.RxCount - before;
        bytes += used;
        count -= used;
        if (!complete) break;
        const std::span<const uint8_t> request =
            armed ? std::span<const uint8_t>(armedRequest_, static_cast<size_t>(armedLength_))
                  : std::span<const uint8_t>(ahead->Request, static_cast<size_t>(ahead->Length));
        // The late answer of an earlier request: the one awaited may follow.
        if (request.size() < 2 || into.RxBuffer[1] != request[1]) {
            BeginModbusTcpAnswer(into);
            continue;
        }
        if (armed)
            link_.receive_data_flag = 1;
        else
            ahead->Complete = true;
        // The meter gets the next request before the worker is woken. The rest
        // of the piece answers nothing that was sent.
        SendFollowUp(request, into);
        return armed;
    }
    return false;
}

void TModbusTcpClient::SendFollowUp(std::span<const uint8_t> request, const FrameBuffers& answer)
{
    if (jobs_.GetJob() == jcIdle || CheckModbusTcpAnswer(request, answer.RxBuffer, answer.RxCount) != erValidAnswer)
        return;
    TTcpFollowUps::TSent* next = followUps_.Queue(answer.RxBuffer, answer.RxCount);
    if (!next) return;
    next->Request[1] = NextTransaction();
    next->Exchange = ++exchanges_;
    sentExchange_ = next->Exchange;
    // Traced and written under the lock: the worker's next exchange may begin
    // at once and must find it out.
    host_.TraceComFrame("TX:", next->Request, next->Length);
    WriteRequest(next->Request, next->Length);
}

void TModbusTcpClient::ClientSocketError(int& errorCode)
{
    if (IsSilentSocketError(errorCode)) errorCode = 0;
}

void TModbusTcpClient::TCPIP_receive_timerTimer()
{
    {
        std::lock_guard lock(m_);
        if (armed_ && armedExchange_ == sentExchange_) {
            link_.overtime_flag = 1;
        } else {
            // The exchange it was started for is over; nobody stopped it from here.
            if (TCPIP_receive_timer) TCPIP_receive_timer->stop();
            return;
        }
    }
    Wake();
}

void TModbusTcpClient::TimerIP_ConnectTimer()
{
    if (TimerIP_Connect) TimerIP_Connect->stop();
    if (link_.ConnectCancelled.load() != 0) {
        // Cancelled before its identification began: no job is left to take
        // the cancel, and the socket goes with the connect.
        link_.ConnectCancelled = 0;
        ResetTcpConnection();
        return;
    }
    if (link_.TcpConnected) {
        jobs_.SetJob(jcModbusIdentify);
        return;
    }
    host_.ShowDeviceNotAvailable();
    host_.ShowConnectionState(csDisconnected);
}

void TModbusTcpClient::ResetTcpConnection()
{
    if (link_.TransportCode.load() != tcModbusTcp) return;
    Deactivate();
    host_.ShowConnectionState(csDisconnected);
    link_.TcpConnected = 0;
    if (TimerIP_Connect) TimerIP_Connect->stop();
    host_.SetProtocolMode(pmModbusTcp);
}

void TModbusTcpClient::SendRequest(const uint8_t* frame, int length)
{
    {
        std::lock_guard lock(m_);
        // The exchange has already given up: nobody would read the answer.
        if (!armed_) return;
        sentExchange_ = armedExchange_;
    }
    WriteRequest(frame, length);
}

void TModbusTcpClient::WriteRequest(const uint8_t* frame, int length)
{
    ReportUntraced(true);
    tracedSinceRequest_ = 0;
    if (TCPIP_receive_timer) TCPIP_receive_timer->start(static_cast<int>(TcpAnswerTimeout.count()));
    if (ClientSocket->state() == QAbstractSocket::ConnectedState && length > 0) {
        ClientSocket->write(reinterpret_cast<const char*>(frame), length);
        // Out now, not at the event loop's next turn.
        ClientSocket->flush();
    }
}

uint8_t TModbusTcpClient::NextTransaction()
{
    uint8_t counter = transaction_.load();
    AdvanceTcpTransaction(counter);
    transaction_.store(counter);
    return counter;
}

bool TModbusTcpClient::BeginAnswer(uint8_t* request, int length, const TTcpFollowUp* followUp)
{
    std::lock_guard lock(m_);
    const int kept = std::clamp(length, 0, static_cast<int>(sizeof armedRequest_));
    BeginModbusTcpAnswer(frames_);
    bool complete = false;
    const bool adopted = followUps_.Adopt(request, kept, frames_, armedExchange_, complete);
    if (!adopted && kept >= 2) {
        request[1] = NextTransaction();
        armedExchange_ = ++exchanges_;
    }
    followUps_.Offer(followUp, adopted);
    std::copy_n(request, kept, armedRequest_);
    armedLength_ = kept;
    link_.overtime_flag = 0;
    link_.receive_data_flag = complete ? 1 : 0;
    armed_ = true;
    return adopted;
}

void TModbusTcpClient::EndFollowUps()
{
    std::lock_guard lock(m_);
    followUps_.End();
}

bool TModbusTcpClient::WaitAnswer(std::chrono::steady_clock::time_point deadline)
{
    const auto done = [this] { return link_.receive_data_flag != 0 || link_.overtime_flag != 0; };
    if (QThread::currentThread() == thread()) {
        // The read and timer events that end the wait run on this very thread.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() > 0 && !done()) {
            QEventLoop loop;
            QTimer limit;
            limit.setSingleShot(true);
            limit.setTimerType(Qt::PreciseTimer);
            connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
            limit.start(static_cast<int>(left.count()));
            uiWait_ = &loop;
            loop.exec(QEventLoop::ExcludeUserInputEvents);
            uiWait_ = nullptr;
        }
        return link_.receive_data_flag != 0;
    }
    std::unique_lock lock(m_);
    cv_.wait_until(lock, deadline, done);
    return link_.receive_data_flag != 0;
}

void TModbusTcpClient::EndAnswer()
{
    {
        std::lock_guard lock(m_);
        armed_ = false;
        link_.receive_data_flag = 0;
    }
    // Off the UI thread the timer is left to stop itself at its next tick.
    if (TCPIP_receive_timer && QThread::currentThread() == thread()) TCPIP_receive_timer->stop();
}

void TModbusTcpClient::Wake()
{
    cv_.notify_all();
    if (uiWait_) uiWait_->quit();
}
