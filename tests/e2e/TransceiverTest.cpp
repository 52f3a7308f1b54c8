// One serial exchange of the transceiver (M-Bus and Modbus RTU) against a
// scripted far end of a pseudo-terminal pair, and the port gate between the
// worker and the UI thread.
#include <gtest/gtest.h>

#include <QEvent>
#include <atomic>
#include <thread>

#include "../support/TestPeers.h"
#include "JobHostRig.h"
#include "comm/Transceiver.h"
#include "core/FrameChecks.h"
#include "core/RequestTemplates.h"

namespace {

using namespace std::chrono_literals;
using rig::TestJobHost;
using testsupport::PtyPair;
using testsupport::ScopedConfigHome;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr int kComNumber = 7;
constexpr int kItem9600 = 5;
constexpr int kItem19200 = 6;

// What the far end does after it has read the request: pieces, each after its pause.
struct Piece {
    std::chrono::milliseconds after;
    Bytes bytes;
};

class SerialExchange : public ::testing::Test {
protected:
    void Open(char transport, int baudItem)
    {
        pair = std::make_unique<PtyPair>(config.PortLink(kComNumber), config.Root() + "/meter");
        ASSERT_TRUE(pair->Ready());
        host = std::make_unique<TestJobHost>(transport);
        ASSERT_TRUE(host->OpenSerial(kComNumber - 1, baudItem));
    }
    void TearDown() override
    {
        host.reset();
        pair.reset();
    }

    // Exchanges frame while the far end reads it and answers with the pieces.
    TExchangeResult Exchange(Bytes frame, std::vector<Piece> answer, std::chrono::milliseconds* took = nullptr)
    {
        received.clear();
        std::thread meter([&, n = frame.size()] {
            received = pair->PeerRead(n, 3000);
            for (const Piece& p : answer) {
                std::this_thread::sleep_for(p.after);
                pair->PeerWrite(p.bytes);
            }
        });
        const auto start = Clock::now();
        const TExchangeResult r = TransceiveFrame(*host, frame.data(), static_cast<int>(frame.size()));
        if (took) *took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        meter.join();
        return r;
    }

    Bytes Rx() const { return Bytes(host->RxBuffer, host->RxBuffer + host->RxCount); }

    ScopedConfigHome config;
    std::unique_ptr<PtyPair> pair;
    std::unique_ptr<TestJobHost> host;
    Bytes received;
};

// A long M-Bus frame 68 L L 68 C A CI data CS 16 with a correct checksum.
Bytes LongFrame(Bytes userData)
{
    Bytes f{0x68, uint8_t(userData.size() + 3), uint8_t(userData.size() + 3), 0x68, 0x08, 0x05, 0x72};
    f.insert(f.end(), userData.begin(), userData.end());
    f.push_back(MBusChecksum(f.data(), static_cast<int>(f.size())));
    f.push_back(0x16);
    return f;
}

Bytes WithCrc(Bytes frame)
{
    const TCrc16 crc = ModbusCrc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(crc.Low);
    frame.push_back(crc.High);
    return frame;
}

const Bytes kSndNke{0x10, 0x40, 0x05, 0x45, 0x16};

TEST_F(SerialExchange, MBusAnswers)
{
    Open(tcMBus, kItem9600);
    Bytes bad = LongFrame({1, 2, 3, 4});
    bad[bad.size() - 2] ^= 0x01;
    const Bytes shortFrame{0x10, 0x08, 0x05, 0x0D, 0x16};
    struct Row {
        const char* what;
        Bytes answer;
        TExchangeResult result;
        Bytes rx;
    };
    const std::vector<Row> rows = {
        {"single character", {0xE5}, erValidAnswer, {0xE5}},
        {"long frame", LongFrame({1, 2, 3, 4, 0x0F}), erValidAnswer, LongFrame({1, 2, 3, 4, 0x0F})},
        {"wrong checksum", bad, erNoValidAnswer, bad},
        {"short frame", shortFrame, erValidAnswer, shortFrame},
        {"nothing", {}, erNoValidAnswer, {}},
        // Nothing behind the second byte is read of a frame that starts wrong
        // (the rest stays in the port: this row comes last).
        {"wrong start", {0x55, 0x01, 0x02, 0x03}, erNoValidAnswer, {0x55, 0x01}},
    };
    for (const Row& row : rows) {
        std::chrono::milliseconds took{};
        EXPECT_EQ(Exchange(kSndNke, {{0ms, row.answer}}, &took), row.result) << row.what;
        EXPECT_EQ(received, kSndNke) << row.what;
        EXPECT_EQ(Rx(), row.rx) << row.what;
        // Only a long frame that came short waits for its rest.
        EXPECT_LT(took, 1500ms) << row.what;
    }
}

TEST_F(SerialExchange, MBusLongFrameThatComesShortGetsItsRestLate)
{
    Open(tcMBus, kItem9600);
    const Bytes frame = LongFrame({1, 2, 3, 4, 5, 6});
    const Bytes head(frame.begin(), frame.end() - 1);
    std::chrono::milliseconds took{};
    // The last byte after the port's time-outs, within the long wait.
    EXPECT_EQ(Exchange(kSndNke, {{0ms, head}, {2500ms, {0x16}}}, &took), erValidAnswer);
    EXPECT_EQ(Rx(), frame);
    EXPECT_GE(took, 5000ms);
    const auto traced = host->Traced();
    ASSERT_EQ(traced.size(), 2u);
    EXPECT_EQ(traced[0].prefix, "TX:");
    EXPECT_EQ(traced[0].bytes, kSndNke);
    EXPECT_EQ(traced[1].prefix, "RX:");
    EXPECT_EQ(traced[1].bytes, frame);
}

TEST_F(SerialExchange, MBusFirstExchangeOfAConnectWaitsASecond)
{
    Open(tcMBus, kItem9600);
    struct Row {
        uint8_t first;
        bool connecting;
        bool waits;
        int asked;
    };
    for (const Row& row : {Row{1, true, true, 1}, Row{1, false, false, 1}, Row{0, true, false, 0}}) {
        host->ClearRecords();
        host->FirstExchange = row.first;
        host->Connecting = row.connecting;
        std::chrono::milliseconds took{};
        EXPECT_EQ(Exchange(kSndNke, {{0ms, {0xE5}}}, &took), erValidAnswer);
        EXPECT_EQ(took >= 1000ms, row.waits) << took.count();
        EXPECT_EQ(host->FirstExchange.load(), 0);
        EXPECT_EQ(host->Count("ConnectInProgress"), row.asked);
    }
}

TEST_F(SerialExchange, PacingByBaudRate)
{
    struct Row {
        char transport;
        int baudIndex;
        std::chrono::milliseconds least, most;
    };
    const Bytes rtuRequest = WithCrc({0x01, 0x04, 0x01, 0x9C, 0x00, 0x01});
    const Bytes rtuAnswer = WithCrc({0x01, 0x04, 0x02, 0x00, 0x01});
    for (const Row& row : {Row{tcMBus, 0, 160ms, 400ms}, Row{tcMBus, 6, 0ms, 60ms}, Row{tcModbusRtu, 0, 100ms, 300ms},
                           Row{tcModbusRtu, 9, 0ms, 60ms}}) {
        Open(row.transport, kItem19200);
        host->MbusBaudIndex = row.baudIndex;
        host->ModbusBaudIndex = row.baudIndex;
        std::chrono::milliseconds took{};
        const bool mbus = row.transport == tcMBus;
        EXPECT_EQ(Exchange(mbus ? kSndNke : rtuRequest, {{0ms, mbus ? Bytes{0xE5} : rtuAnswer}}, &took),
                  erValidAnswer);
        EXPECT_GE(took, row.least) << row.transport << " " << row.baudIndex;
        EXPECT_LT(took, row.most) << row.transport << " " << row.baudIndex;
        TearDown();
    }
}

TEST_F(SerialExchange, ModbusRtuAnswers)
{
    Open(tcModbusRtu, kItem19200);
    SerialTimeouts t = host->SerialPort->Timeouts();
    t.ReadTotalTimeoutConstant = 300;
    host->SerialPort->SetTimeouts(t);
    const Bytes read = WithCrc({0x01, 0x03, 0x29, 0x04, 0x00, 0x01});
    const Bytes answer = WithCrc({0x01, 0x03, 0x02, 0x00, 0x07});
    Bytes badCrc = answer;
    badCrc.back() ^= 0xFF;
    const Bytes writeRequest = WithCrc({0x01, 0x10, 0x28, 0xA0, 0x00, 0x01, 0x02, 0x00, 0x0F});
    const Bytes write = WithCrc({0x01, 0x10, 0x28, 0xA0, 0x00, 0x01});
    struct Row {
        const char* what;
        std::vector<Piece> answer;
        TExchangeResult result;
        std::chrono::milliseconds least, most;
        const Bytes& request;
    };
    const std::vector<Row> rows = {
        {"read answer", {{0ms, answer}}, erValidAnswer, 0ms, 200ms, read},
        {"read answer in two pieces", {{0ms, Bytes(answer.begin(), answer.begin() + 4)}, {40ms, Bytes(answer.begin() + 4, answer.end())}},
         erValidAnswer, 40ms, 250ms, read},
        {"wrong CRC", {{0ms, badCrc}}, erNoValidAnswer, 0ms, 200ms, read},
        {"exception", {{0ms, WithCrc({0x01, 0x83, 0x02})}}, erNoValidAnswer, 0ms, 500ms, read},
        {"byte count 0", {{0ms, WithCrc({0x01, 0x03, 0x00})}}, erNoValidAnswer, 0ms, 200ms, read},
        {"two registers to a read of one", {{0ms, WithCrc({0x01, 0x03, 0x04, 0x00, 0x07, 0x00, 0x08})}},
         erNoValidAnswer, 0ms, 200ms, read},
        {"the write echoed to a read", {{0ms, write}}, erNoValidAnswer, 190ms, 600ms, read},
        // Its third byte is no byte count: it ends by the read's time-outs.
        {"write answer", {{0ms, write}}, erValidAnswer, 190ms, 600ms, writeRequest},
        // One wait for a meter that is silent, not two.
        {"silent", {}, erNoValidAnswer, 290ms, 550ms, read},
    };
    for (const Row& row : rows) {
        std::chrono::milliseconds took{};
        EXPECT_EQ(Exchange(row.request, row.answer, &took), row.result) << row.what;
        EXPECT_EQ(received, row.request) << row.what;
        EXPECT_GE(took, row.least) << row.what;
        EXPECT_LT(took, row.most) << row.what;
    }
}

TEST_F(SerialExchange, RequestTemplatesGoOutCompleted)
{
    Open(tcModbusRtu, kItem19200);
    std::thread meter([&] {
        received = pair->PeerRead(8, 2000);
        pair->PeerWrite(WithCrc({0x07, 0x03, 0x02, 0x00, 0x01}));
    });
    EXPECT_EQ(SendRequestTemplate(*host, TplModbusScan, 7), erValidAnswer);
    meter.join();
    EXPECT_EQ(received, WithCrc({0x07, 0x03, 0x29, 0x04, 0x00, 0x01}));
    EXPECT_EQ(host->Count("activity227"), 1);
    TearDown();

    Open(tcMBus, kItem9600);
    host->AddressingMode = '9';
    // An addressing mode the completion does not know sends nothing.
    EXPECT_EQ(SendRequestTemplate(*host, TplMbusSndNke, 3), erNoValidAnswer);
    EXPECT_TRUE(host->Sent().empty());
    meter = std::thread([&] {
        received = pair->PeerRead(5, 2000);
        pair->PeerWrite({0xE5});
    });
    // The scan probe goes out whatever the addressing.
    EXPECT_EQ(SendMBusScanRequest(*host, TplMbusSndNke, 250), erValidAnswer);
    meter.join();
    EXPECT_EQ(received, (Bytes{0x10, 0x40, 250, uint8_t(0x40 + 250), 0x16}));
}

TEST_F(SerialExchange, APortThatIsNotOpenRaises)
{
    Open(tcModbusRtu, kItem19200);
    CloseComPort(host->SerialPort, *host);
    host->PortIndex = kComNumber - 1;
    Bytes frame = WithCrc({0x01, 0x03, 0x29, 0x04, 0x00, 0x01});
    try {
        TransceiveFrame(*host, frame.data(), static_cast<int>(frame.size()));
        FAIL() << "no exception";
    } catch (const ECOMPort& e) {
        EXPECT_STREQ(e.what(), "Port COM7 is not open");
    }
    // The gate is let go on the way out.
    EXPECT_FALSE(host->Gate.HeldByThisThread());

    host->TransportCode = '7';
    EXPECT_EQ(TransceiveFrame(*host, frame.data(), static_cast<int>(frame.size())), erNoValidAnswer);
    EXPECT_TRUE(host->Sent().empty());
}

// ---- the port gate ----

// Notes that the UI thread has handled an event posted to it.
class UiCall : public QObject {
public:
    std::atomic<bool> ran{false};

protected:
    void customEvent(QEvent*) override { ran = true; }
};

TEST(PortGate, TheUiThreadWaitsForTheJobWithItsEventsFlowing)
{
    TPortGate gate;
    UiCall uiCall;
    std::atomic<bool> held{false}, released{false};
    std::atomic<bool>& uiCallRan = uiCall.ran;
    std::thread worker([&] {
        TPortUse use(gate);
        held = true;
        // As a job's trace or progress does: it needs the UI thread meanwhile.
        QCoreApplication::postEvent(&uiCall, new QEvent(static_cast<QEvent::Type>(QEvent::User + 9)));
        while (!uiCallRan) std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(30ms);
        released = true;
    });
    while (!held) std::this_thread::sleep_for(1ms);
    gate.Acquire();
    EXPECT_TRUE(uiCallRan.load());
    EXPECT_TRUE(released.load());
    EXPECT_TRUE(gate.HeldByThisThread());
    // Re-entrant on the same thread.
    gate.Acquire();
    gate.Release();
    EXPECT_TRUE(gate.HeldByThisThread());

    // The worker now waits for the UI thread's exchange.
    std::atomic<bool> workerIn{false};
    std::thread next([&] {
        TPortUse use(gate);
        workerIn = true;
    });
    std::this_thread::sleep_for(30ms);
    EXPECT_FALSE(workerIn.load());
    gate.Release();
    next.join();
    worker.join();
    EXPECT_TRUE(workerIn.load());
    EXPECT_FALSE(gate.HeldByThisThread());
}

}  // namespace
