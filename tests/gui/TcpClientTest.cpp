// The Modbus TCP client and the TCP exchange against a QTcpServer on 127.0.0.1
// that plays the meter: answers in pieces, long answers, missing answers, a
// refused connect, a meter that hangs up, and the transaction numbers.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>
#include <thread>

#include "../e2e/JobHostRig.h"
#include "comm/Transceiver.h"
#include "core/RequestTemplates.h"

namespace {

using namespace std::chrono_literals;
using rig::PumpUntil;
using rig::TestJobHost;

// The meter's end of the connection. Each complete request is recorded and
// handed to OnRequest, which answers as the test wants.
class Peer : public QObject {
public:
    Peer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            socket_ = server_.nextPendingConnection();
            connect(socket_, &QTcpSocket::readyRead, this, [this] { Read(); });
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    bool Accepted() const { return socket_ != nullptr; }

    void Send(const QByteArray& bytes)
    {
        if (!socket_) return;
        socket_->write(bytes);
        socket_->flush();
    }
    void SendLater(int ms, const QByteArray& bytes)
    {
        QTimer::singleShot(ms, this, [this, bytes] { Send(bytes); });
    }
    void Close()
    {
        if (socket_) socket_->disconnectFromHost();
    }

    std::function<void(const QByteArray& request)> OnRequest;
    std::vector<QByteArray> Requests;

private:
    void Read()
    {
        pending_ += socket_->readAll();
        while (pending_.size() >= 6) {
            const int length = 6 + (uint8_t(pending_[4]) << 8 | uint8_t(pending_[5]));
            if (pending_.size() < length) break;
            const QByteArray request = pending_.left(length);
            pending_.remove(0, length);
            Requests.push_back(request);
            if (OnRequest) OnRequest(request);
        }
    }

    QTcpServer server_;
    QTcpSocket* socket_ = nullptr;
    QByteArray pending_;
};

// A read answer to request with `registers` registers of counting bytes.
QByteArray AnswerTo(const QByteArray& request, int registers)
{
    const int bytes = 2 * registers;
    const int length = 3 + bytes;
    QByteArray a;
    a.append(request[0]).append(request[1]).append('\0').append('\0');
    a.append(char(length >> 8)).append(char(length & 0xFF));
    a.append(request[6]).append(request[7]).append(char(bytes));
    for (int i = 0; i < bytes; ++i) a.append(char(i + 1));
    return a;
}

struct Connected {
    Peer peer;
    TestJobHost host{tcModbusTcp};
    bool ok = false;
    Connected()
    {
        host.MakeTcpClient();
        // The worker's hand-over carries the requests to this thread.
        host.StartWorker();
        ok = host.ConnectTcp(peer.Port()) && PumpUntil([this] { return peer.Accepted(); });
    }
};

// 120 input registers from 3000: an answer longer than one read.
constexpr uint8_t kRead120[] = {8, 1, 0x01, 0x04, 0x0B, 0xB8, 0x00, 0x78, 0x00, 0x00};

// One request (of 36 registers unless told) sent from a thread of its own, as
// the worker does, while this thread keeps the socket's events going.
TExchangeResult ExchangeOffUi(TestJobHost& host, std::chrono::milliseconds* took = nullptr,
                              std::span<const uint8_t> tpl = TplModbusIn3000x36)
{
    std::atomic<bool> done{false};
    TExchangeResult result = erNoValidAnswer;
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([&] {
        result = SendRequestTemplate(host, tpl, 1);
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 10s);
    worker.join();
    if (took) *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return result;
}

QByteArray Joined(const std::vector<rig::Frame>& frames, const std::string& prefix, int* pieces = nullptr,
                  size_t* longest = nullptr)
{
    QByteArray all;
    for (const rig::Frame& f : frames) {
        if (f.prefix != prefix) continue;
        all.append(reinterpret_cast<const char*>(f.bytes.data()), static_cast<qsizetype>(f.bytes.size()));
        if (pieces) ++*pieces;
        if (longest) *longest = std::max(*longest, f.bytes.size());
    }
    return all;
}

TEST(ModbusTcpExchange, AnAnswerInSeveralPiecesCountsOnceItIsWhole)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    QByteArray answer;
    c.peer.OnRequest = [&](const QByteArray& request) {
        answer = AnswerTo(request, 36);
        // Header split inside, then the data in two more pieces.
        c.peer.SendLater(0, answer.left(4));
        c.peer.SendLater(60, answer.mid(4, 20));
        c.peer.SendLater(120, answer.mid(24));
    };
    EXPECT_EQ(ExchangeOffUi(c.host), erValidAnswer);
    EXPECT_EQ(c.host.RxCount, answer.size());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(c.host.RxBuffer), c.host.RxCount), answer);
    int pieces = 0;
    EXPECT_EQ(Joined(c.host.Traced(), "RX(TCP):", &pieces), answer);
    EXPECT_EQ(pieces, 3);
}

TEST(ModbusTcpExchange, HalfAnAnswerIsNoAnswer)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    c.peer.OnRequest = [&](const QByteArray& request) { c.peer.Send(AnswerTo(request, 36).left(30)); };
    std::chrono::milliseconds took{};
    EXPECT_EQ(ExchangeOffUi(c.host, &took), erNoValidAnswer);
    EXPECT_GE(took, 1990ms);
    EXPECT_EQ(c.host.RxCount, 30);
}

TEST(ModbusTcpExchange, AnAnswerLongerThanOneReadIsTakenWhole)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    QByteArray answer;
    c.peer.OnRequest = [&](const QByteArray& request) {
        answer = AnswerTo(request, 120);
        c.peer.Send(answer);
    };
    EXPECT_EQ(ExchangeOffUi(c.host, nullptr, kRead120), erValidAnswer);
    ASSERT_EQ(answer.size(), 249);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(c.host.RxBuffer), c.host.RxCount), answer);
    // Each read takes at most 100 bytes and traces them on its own.
    int pieces = 0;
    size_t longest = 0;
    EXPECT_EQ(Joined(c.host.Traced(), "RX(TCP):", &pieces, &longest), answer);
    EXPECT_GE(pieces, 3);
    EXPECT_LE(longest, 100u);
}

TEST(ModbusTcpExchange, NoAnswerWithin2000MsIsUnanswered)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    std::chrono::milliseconds took{};
    EXPECT_EQ(ExchangeOffUi(c.host, &took), erNoValidAnswer);
    EXPECT_EQ(c.peer.Requests.size(), 1u);
    EXPECT_GE(took, 1990ms);
    EXPECT_LT(took, 3000ms);
    EXPECT_EQ(c.host.receive_data_flag.load(), 0);

    // An answer just inside the limit still counts.
    c.peer.OnRequest = [&](const QByteArray& request) { c.peer.SendLater(1700, AnswerTo(request, 36)); };
    EXPECT_EQ(ExchangeOffUi(c.host, &took), erValidAnswer);
    EXPECT_GE(took, 1690ms);
}

TEST(ModbusTcpExchange, AnAnswerToAnotherTransactionIsPassedOver)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    c.peer.OnRequest = [&](const QByteArray& request) {
        QByteArray late = AnswerTo(request, 36);
        late[1] = char(request[1] - 1);
        // The late answer and the right one in one piece.
        c.peer.Send(late + AnswerTo(request, 36));
    };
    EXPECT_EQ(ExchangeOffUi(c.host), erValidAnswer);
    EXPECT_EQ(c.host.RxBuffer[1], uint8_t(c.peer.Requests.back()[1]));

    c.peer.OnRequest = [&](const QByteArray& request) {
        QByteArray wrong = AnswerTo(request, 36);
        wrong[1] = char(request[1] + 7);
        c.peer.Send(wrong);
    };
    EXPECT_EQ(ExchangeOffUi(c.host), erNoValidAnswer);
}

TEST(ModbusTcpExchange, SurplusBytesBeyondTheTraceBudgetAreCountedForTheMonitor)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    const QByteArray surplus(5000, '\x55');
    QByteArray answer;
    c.peer.OnRequest = [&](const QByteArray& request) {
        answer = AnswerTo(request, 36);
        c.peer.Send(answer + surplus);
    };
    EXPECT_EQ(ExchangeOffUi(c.host), erValidAnswer);
    const int64_t sent = answer.size() + surplus.size();
    ASSERT_TRUE(PumpUntil([&] { return Joined(c.host.Traced(), "RX(TCP):").size() + c.host.Untraced >= sent; }));
    // The answer first, then the surplus up to the budget of the request.
    const QByteArray traced = Joined(c.host.Traced(), "RX(TCP):");
    EXPECT_EQ(traced.size(), TModbusTcpClient::TraceBudgetPerRequest);
    EXPECT_TRUE(traced.startsWith(answer));
    // The next request has a budget of its own; every byte left out is counted.
    c.peer.OnRequest = [&](const QByteArray& request) { c.peer.Send(AnswerTo(request, 36)); };
    EXPECT_EQ(ExchangeOffUi(c.host), erValidAnswer);
    EXPECT_EQ(Joined(c.host.Traced(), "RX(TCP):").size(), traced.size() + answer.size());
    EXPECT_EQ(c.host.Untraced, sent - traced.size());
}

TEST(ModbusTcpExchange, TransactionNumbersRunFrom1To101ThenFrom0)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    c.peer.OnRequest = [&](const QByteArray& request) { c.peer.Send(AnswerTo(request, 1)); };
    std::atomic<int> valid{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 104; ++i) valid += SendRequestTemplate(c.host, TplModbusScan, 1) == erValidAnswer;
        done = true;
    });
    PumpUntil([&] { return done.load(); }, 30s);
    worker.join();
    EXPECT_EQ(valid.load(), 104);
    ASSERT_EQ(c.peer.Requests.size(), 104u);
    for (int i = 0; i < 104; ++i) {
        const int expected = i < 101 ? i + 1 : i - 101;
        EXPECT_EQ(uint8_t(c.peer.Requests[i][1]), expected) << "request " << i;
        EXPECT_EQ(uint8_t(c.peer.Requests[i][0]), 0);
        // Unit 01 and the template's PDU behind a length of 6.
        EXPECT_EQ(c.peer.Requests[i].mid(2), QByteArray::fromHex("00000006010329040001"));
    }
}

TEST(ModbusTcpExchange, OnTheUiThreadTheWaitKeepsTheEventsGoing)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    c.peer.OnRequest = [&](const QByteArray& request) { c.peer.SendLater(50, AnswerTo(request, 36)); };
    EXPECT_EQ(SendRequestTemplate(c.host, TplModbusIn3000x36, 1), erValidAnswer);
    EXPECT_EQ(c.host.RxCount, 9 + 72);
}

// A long read's known next request: the UI thread sends it the moment the
// awaited answer is whole (and again after each of its answers, up to the
// offer's limit and the queue's depth), the worker's next exchanges take the
// requests sent ahead in order, and every request goes out once, numbered and
// traced once.
TEST(ModbusTcpExchange, AKnownNextRequestGoesOutAheadOfTheWorker)
{
    struct Row {
        const char* what;
        bool follows, jobSet;
        int limit;  // records after the first
        bool workerAsksTheSame;
        size_t aheadBeforeSecond;
    };
    const Row rows[] = {
        {"each answer leads on", true, true, 3, true, 3},
        {"more than the queue holds", true, true, 7, true, TTcpFollowUps::Depth},
        {"the answer does not lead on", false, true, 3, true, 0},
        {"the job was cancelled", true, false, 3, true, 0},
        {"the worker asks for something else", true, true, 1, false, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Connected c;
        ASSERT_TRUE(c.ok);
        Peer& peer = c.peer;
        TestJobHost& host = c.host;
        // The job code alone, as a read sets it; the parked worker stays parked.
        host.JobCode = row.jobSet ? jcModbusDemandLogger : jcIdle;
        peer.OnRequest = [&](const QByteArray& request) { peer.Send(AnswerTo(request, request[11])); };
        const auto follows = [](const void* context, const uint8_t*, int) {
            return *static_cast<const bool*>(context);
        };
        std::atomic<bool> firstDone{false}, goOn{false}, done{false};
        std::vector<uint8_t> answeredTransactions;
        int valid = 0;
        std::thread worker([&] {
            for (int i = 0; i <= row.limit; ++i) {
                const std::span<const uint8_t> tpl = i == 0                  ? TplModbusDemandNewestShort
                                                     : row.workerAsksTheSame ? TplModbusDemandPrevShort
                                                                             : TplModbusIn3000x36;
                const TNextRequest next{TplModbusDemandPrevShort, follows, &row.follows, row.limit - i};
                valid += SendRequestTemplate(host, tpl, 1, &next) == erValidAnswer;
                answeredTransactions.push_back(host.RxBuffer[1]);
                firstDone = true;
                while (!goOn) std::this_thread::sleep_for(1ms);
            }
            EndTcpFollowUps(host);
            done = true;
        });
        PumpUntil([&] { return firstDone.load(); });
        PumpUntil([&] { return peer.Requests.size() > row.aheadBeforeSecond; }, 1s);
        PumpUntil([] { return false; }, 30ms);
        EXPECT_EQ(peer.Requests.size(), 1 + row.aheadBeforeSecond);
        goOn = true;
        PumpUntil([&] { return done.load(); });
        worker.join();
        const size_t exchanges = static_cast<size_t>(row.limit) + 1;
        EXPECT_EQ(valid, row.limit + 1);
        ASSERT_EQ(peer.Requests.size(), exchanges + (row.workerAsksTheSame ? 0 : row.aheadBeforeSecond));
        const std::vector<std::vector<uint8_t>> traced = host.Sent();
        ASSERT_EQ(traced.size(), peer.Requests.size());
        for (size_t k = 0; k < traced.size(); ++k) {
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(traced[k].data()), qsizetype(traced[k].size())),
                      peer.Requests[k]);
            EXPECT_EQ(uint8_t(peer.Requests[k][1]), k + 1) << "request " << k;
        }
        // Each exchange took the answer to its own request; one sent ahead and
        // not taken was passed over.
        std::vector<uint8_t> expected{1};
        for (size_t k = 1; k < exchanges; ++k)
            expected.push_back(static_cast<uint8_t>(k + 1 + (row.workerAsksTheSame ? 0 : row.aheadBeforeSecond)));
        EXPECT_EQ(answeredTransactions, expected);
        EXPECT_EQ(peer.Requests.back().mid(7, 3), QByteArray::fromHex(row.workerAsksTheSame ? "040dac" : "040bb8"));
    }
}

// ---- the socket's events ----

TEST(ModbusTcpClient, ARefusedConnectIsSilentAndTheSupervisionReportsIt)
{
    quint16 port;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    TestJobHost host(tcModbusTcp);
    TModbusTcpClient& client = host.MakeTcpClient();
    client.Activate(QStringLiteral("127.0.0.1"), port);
    client.TimerIP_Connect->start();
    PumpUntil([&] { return host.Count("DeviceNotAvailable") > 0; }, 3s);
    PumpUntil([] { return false; }, 50ms);
    EXPECT_TRUE(host.SocketErrors.empty());
    EXPECT_EQ(host.Count("DeviceNotAvailable"), 1);
    EXPECT_EQ(host.Count("ConnectionState1"), 1);
    EXPECT_EQ(host.TcpConnected.load(), 0);
    // Left active until the next click resets it.
    EXPECT_TRUE(client.Active());
}

TEST(ModbusTcpClient, ConnectedWithinTheSupervisionStartsTheIdentification)
{
    Peer peer;
    TestJobHost host(tcModbusTcp);
    TModbusTcpClient& client = host.MakeTcpClient();
    host.StartWorker();
    std::atomic<int> ran{0};
    host.ModbusJobStep = [&] {
        ran = host.GetJob();
        host.SetJob(0);
        host.SetUiRequest(urConnected);
    };
    client.Activate(QStringLiteral("127.0.0.1"), peer.Port());
    client.TimerIP_Connect->start();
    ASSERT_TRUE(PumpUntil([&] { return !host.Results.empty(); }, 3s));
    EXPECT_EQ(ran.load(), jcModbusIdentify);
    EXPECT_EQ(host.Count("ConnectionState2"), 1);
    EXPECT_EQ(host.Count("DeviceNotAvailable"), 0);
    EXPECT_EQ(host.TcpConnected.load(), 1);
    EXPECT_FALSE(client.TimerIP_Connect->isActive());
}

TEST(ModbusTcpClient, AConnectAfterTheSupervisionShowsTheStateButStartsNothing)
{
    Peer peer;
    TestJobHost host(tcModbusTcp);
    TModbusTcpClient& client = host.MakeTcpClient();
    host.StartWorker();
    client.Activate(QStringLiteral("127.0.0.1"), peer.Port());
    // The supervision decides before the connection is made.
    client.TimerIP_ConnectTimer();
    ASSERT_TRUE(PumpUntil([&] { return host.TcpConnected.load() != 0; }));
    EXPECT_EQ(host.Count("DeviceNotAvailable"), 1);
    EXPECT_EQ(host.Count("ConnectionState2"), 1);
    PumpUntil([] { return false; }, 60ms);
    EXPECT_EQ(host.JobCode.load(), 0);
    EXPECT_TRUE(host.Results.empty());
}

TEST(ModbusTcpClient, AMeterThatHangsUpClearsTheConnectionAndTheNextRequestTimesOut)
{
    Connected c;
    ASSERT_TRUE(c.ok);
    c.peer.Close();
    ASSERT_TRUE(PumpUntil([&] { return c.host.TcpConnected.load() == 0; }, 3s));
    EXPECT_TRUE(c.host.SocketErrors.empty());
    std::chrono::milliseconds took{};
    EXPECT_EQ(ExchangeOffUi(c.host, &took), erNoValidAnswer);
    EXPECT_GE(took, 1990ms);
}

TEST(ModbusTcpClient, ResetOnlyOnModbusTcp)
{
    for (char transport : {tcMBus, tcModbusRtu, tcModbusTcp}) {
        Connected c;
        ASSERT_TRUE(c.ok);
        c.host.TransportCode = transport;
        c.host.Client->TimerIP_Connect->start();
        c.host.Client->ResetTcpConnection();
        PumpUntil([] { return false; }, 30ms);
        const bool reset = transport == tcModbusTcp;
        EXPECT_EQ(c.host.TcpConnected.load(), reset ? 0 : 1) << transport;
        EXPECT_EQ(c.host.Client->Active(), !reset) << transport;
        EXPECT_EQ(c.host.Client->TimerIP_Connect->isActive(), !reset) << transport;
        EXPECT_EQ(c.host.ProtocolModes(), reset ? std::vector<int>{52} : std::vector<int>{}) << transport;
        EXPECT_EQ(c.host.Count("ConnectionState1"), reset ? 1 : 0) << transport;
    }
}

TEST(ModbusTcpClient, SocketErrorsMapToWinSockAndOnlyTheUnexpectedAreShown)
{
    struct Row {
        QAbstractSocket::SocketError error;
        int code;
        bool shown;
    };
    const Row rows[] = {
        {QAbstractSocket::ConnectionRefusedError, 10061, false},
        {QAbstractSocket::RemoteHostClosedError, 10054, false},
        {QAbstractSocket::SocketTimeoutError, 10060, false},
        {QAbstractSocket::NetworkError, 10051, false},
        {QAbstractSocket::SocketAddressNotAvailableError, 10049, false},
        {QAbstractSocket::HostNotFoundError, 11001, true},
        {QAbstractSocket::SocketAccessError, 10013, true},
        {QAbstractSocket::AddressInUseError, 10048, true},
        {QAbstractSocket::UnknownSocketError, 9999, true},
    };
    EXPECT_TRUE(IsSilentSocketError(10053));
    for (const Row& row : rows) {
        TestJobHost host(tcModbusTcp);
        TModbusTcpClient& client = host.MakeTcpClient();
        const int code = WinSockErrorCode(row.error);
        EXPECT_EQ(code, row.code) << row.error;
        int handed = code;
        client.ClientSocketError(handed);
        EXPECT_EQ(handed, row.shown ? code : 0) << row.error;
        Q_EMIT client.ClientSocket->errorOccurred(row.error);
        PumpUntil([] { return false; }, 20ms);
        ASSERT_EQ(host.SocketErrors.size(), row.shown ? 1u : 0u) << row.error;
        if (row.shown) {
            EXPECT_TRUE(host.SocketErrors[0].endsWith(QStringLiteral("(%1)").arg(code)));
        }
    }
}

}  // namespace
