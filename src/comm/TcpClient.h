#pragma once
// The Modbus TCP client: ClientSocket on the UI thread with its connect
// supervision and events, and the answer wait of the exchanges.
//
// The worker never touches the socket. An exchange arms the answer, hands the
// request to the UI thread (which starts TCPIP_receive_timer and writes it),
// and sleeps until the read events have assembled the whole answer, the timer
// fires, or its own deadline passes. Read events store only into an armed
// answer, under the wait's lock, so the worker never reads a buffer that is
// being written, and a half-received answer is never decoded.
//
// In a long read the next request is mostly known before the answer comes
// (TTcpFollowUp): the UI thread then sends it itself the moment the answer is
// whole, and the worker takes the answer in while the meter already works on
// the next one. Its answer is gathered apart until the worker's next exchange
// adopts it.
#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "comm/SocketErrors.h"
#include "comm/TcpFollowUps.h"
#include "core/FrameBuffers.h"

class QEventLoop;
class QTcpSocket;
class QTimer;
struct JobControl;
struct TransportState;

// What the client needs of the window. UI thread only.
class ITcpClientHost {
public:
    virtual ~ITcpClientHost() = default;
    // 1 disconnected, 2 connected.
    virtual void ShowConnectionState(int state) = 0;
    // The failed connect: the progress window's error "The device is not available.".
    virtual void ShowDeviceNotAvailable() = 0;
    virtual void SetProtocolMode(int mode) = 0;
    // Communication monitor; the read events trace "RX(TCP):".
    virtual void TraceComFrame(const char* prefix, const uint8_t* bytes, int count) = 0;
    // The count of received bytes left out of the monitor since the last count.
    virtual void TraceUntracedBytes(int64_t count) { (void)count; }
    // A socket error other than the silent ones, in a message box titled with
    // the application title.
    virtual void ShowSocketError(const QString& text) = 0;
};


class TModbusTcpClient : public QObject {
    Q_OBJECT
public:
    // Bytes taken from the socket per read; each piece is traced on its own.
    static constexpr int ReadPieceSize = 100;
    // Bytes taken per read event; the rest waits for the next turn of the
    // event loop, so a peer that floods the socket cannot hold the window.
    static constexpr int ReadEventBudget = 16 * 1024;
    // Bytes the socket buffers unread; beyond them the peer has to wait.
    static constexpr qint64 SocketBufferLimit = 64 * 1024;
    // Bytes traced per request sent, several times the longest answer; the
    // monitor gets only the count of any more, at most once a second and
    // before the next request.
    static constexpr int TraceBudgetPerRequest = 1024;

    // UI thread. The two timers are the window's (TimerIP_Connect one-shot
    // 500 ms, TCPIP_receive_timer 2000 ms); the client connects their events.
    TModbusTcpClient(ITcpClientHost& host, JobControl& jobs, TransportState& link, FrameBuffers& frames,
                     QTimer* connectTimer, QTimer* receiveTimer, QObject* parent = nullptr);
    ~TModbusTcpClient() override;

    QTcpSocket* ClientSocket;
    QTimer* TimerIP_Connect;
    QTimer* TCPIP_receive_timer;

    // ---- UI thread ----
    // Active := true: connect to address and port. The socket counts as active
    // from here until Deactivate, also when the connect failed.
    void Activate(const QString& address, quint16 port);
    void Deactivate();
    bool Active() const { return active_; }

    void ClientSocketConnect();
    void ClientSocketDisconnect();
    void ClientSocketRead();
    // Clears the code of a silent error; any other stays and is shown.
    void ClientSocketError(int& errorCode);
    void TCPIP_receive_timerTimer();
    void TimerIP_ConnectTimer();
    // Only on Modbus TCP: socket off, disconnected state, layout of Modbus TCP.
    void ResetTcpConnection();

    // Starts TCPIP_receive_timer and writes the request of the armed exchange.
    // Nothing goes out while the socket is not connected; the answer wait then
    // runs into its time-out.
    void SendRequest(const uint8_t* frame, int length);

    // ---- the exchange; any thread ----
    // The transaction counter of the program: 1, 2, ..., 101, 0, 1, ...
    uint8_t NextTransaction();
    // Before request goes out: its transaction number into request[1], RxBuffer
    // marked as empty, both flags cleared, read events store into RxBuffer from
    // now on. An answer that carries another transaction number (a late one to
    // an earlier request) is dropped and the wait goes on. followUp, when
    // given, is offered for this exchange. Returns true when request already
    // went out as the previous exchange's follow-up: it keeps the number it
    // went out with, its answer may be complete already, and nothing is to be
    // sent. A follow-up that this request does not match is forgotten, and its
    // answer passed over as a late one.
    bool BeginAnswer(uint8_t* request, int length, const TTcpFollowUp* followUp = nullptr);
    // The read that offered follow-ups is over: none goes out any more.
    void EndFollowUps();
    // Sleeps until the answer is complete, the receive timer fired, or
    // deadline. On the UI thread it runs the events meanwhile. Returns
    // whether the answer is complete.
    bool WaitAnswer(std::chrono::steady_clock::time_point deadline);
    // After the wait: read events stop storing and receive_data_flag is
    // cleared; the receive timer stops (at once on the UI thread, otherwise at
    // its next tick, which no longer counts). RxBuffer/RxCount may be read
    // from here on.
    void EndAnswer();

private:
    // Appends a read piece to the armed answer, or to the last follow-up's
    // once the armed one is whole; true when the armed one has just become whole.
    bool StoreAnswerBytes(const uint8_t* bytes, int count);
    // UI thread, under m_: after the whole answer to request, the next
    // follow-up goes out if it may.
    void SendFollowUp(std::span<const uint8_t> request, const FrameBuffers& answer);
    // UI thread: TCPIP_receive_timer started and the bytes written, when connected.
    void WriteRequest(const uint8_t* frame, int length);
    // UI thread: traces a read piece within the budget, counts the rest.
    void TraceReceived(const uint8_t* bytes, int count);
    // UI thread: the count of untraced bytes to the monitor; unless `now`, at
    // most once a second.
    void ReportUntraced(bool now);
    void Wake();

    ITcpClientHost& host_;
    JobControl& jobs_;
    TransportState& link_;
    FrameBuffers& frames_;
    bool active_ = false;

    std::mutex m_;
    std::condition_variable cv_;
    bool armed_ = false;
    // The receive timer belongs to the exchange whose request the UI thread
    // sent last; a late tick of an earlier one must not end the next.
    uint64_t exchanges_ = 0;
    uint64_t armedExchange_ = 0;
    uint64_t sentExchange_ = 0;  // UI thread
    // The armed request, for the check before its follow-up goes.
    uint8_t armedRequest_[sizeof FrameBuffers::TxBuffer]{};
    int armedLength_ = 0;
    TTcpFollowUps followUps_;
    QEventLoop* uiWait_ = nullptr;  // UI thread
    // The monitor's share of the received bytes; UI thread.
    int tracedSinceRequest_ = 0;
    int64_t untraced_ = 0;
    std::chrono::steady_clock::time_point lastUntracedNote_{};
    bool readQueued_ = false;  // UI thread
    std::atomic<uint8_t> transaction_{0};
};
