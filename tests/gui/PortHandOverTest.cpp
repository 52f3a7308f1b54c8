// The window's handlers that let the serial port go or open it anew, run while
// a job is still exchanging frames on it: a connect whose progress window was
// closed before the device answered, then a click on connect, a new baud rate
// or framing, or a port probe. The job must finish its exchange on the port
// and the address it started with, and nothing of it may fail.
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FormTest.h"
#include "../support/TestPeers.h"
#include "WorkerTestSupport.h"
#include "app/MainForm.h"
#include "app/ProgrWin.h"
#include "comm/Connect.h"
#include "comm/ModbusRunner.h"
#include "platform/ComPort.h"

using testsupport::PtyPair;
using testsupport::ScopedConfigHome;

namespace {

constexpr int kModbusRtuMode = 51;
constexpr uint8_t kJobAddress = 5;
// A Modbus RTU read request: unit, function, register, count, CRC.
constexpr size_t kReadRequestLength = 8;

// The far end of the line: notes the unit address of every request that
// reaches it and answers none, so the job sits in its answer wait.
class SilentMeter {
public:
    explicit SilentMeter(PtyPair& pty) : pty_(pty), thread_([this] { Listen(); }) {}
    ~SilentMeter()
    {
        stop_ = true;
        thread_.join();
    }
    SilentMeter(const SilentMeter&) = delete;
    SilentMeter& operator=(const SilentMeter&) = delete;

    std::vector<uint8_t> Units() const
    {
        std::lock_guard lock(m_);
        return units_;
    }
    size_t Requests() const { return Units().size(); }

private:
    void Listen()
    {
        while (!stop_) {
            const std::vector<uint8_t> frame = pty_.PeerRead(kReadRequestLength, 50);
            if (frame.size() == kReadRequestLength) {
                std::lock_guard lock(m_);
                units_.push_back(frame[0]);
            } else if (frame.empty()) {
                // A closed tool end reads as an instant hang-up.
                std::this_thread::sleep_for(10ms);
            }
        }
    }

    PtyPair& pty_;
    mutable std::mutex m_;
    std::vector<uint8_t> units_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class PortHandOverTest : public FormTest {
protected:
    void SetUp() override
    {
        pty = std::make_unique<PtyPair>(config.PortLink(7), config.Root() + "/meter");
        ASSERT_TRUE(pty->Ready());
        MakeForm(true);
        form->Language = 0;
        // The first job is the real identification; later ones are only noted.
        form->ModbusJobStep = [this] {
            if (runs.fetch_add(1) == 0) {
                RunModbusJobStep(*form);
                return;
            }
            later.store(form->GetJob());
            form->SetJob(0);
        };
        form->WorkerFaultHook = [this](std::exception_ptr) { ++faults; };
        form->CreateComThread(form->TransportCode, 10ms);

        form->SetProtocolMode(kModbusRtuMode);
        QComboBox* ports = form->ComboBox_Setup_Port_ModBus;
        ports->clear();
        ports->addItem(QStringLiteral("COM7"));
        ports->setCurrentIndex(0);
        form->ComboBox_Setup_DeviceBaudrate->setCurrentIndex(5);
        form->ModbusBaudIndex = 5;
        form->PortIndex = 6;
        ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
        form->ShowConnectionState(1);
        form->DeviceAddress = kJobAddress;
    }


    // Starts the identification and returns once its first request is on the
    // line, the job waiting for the answer.
    void StartExchange(const SilentMeter& meter)
    {
        form->SetJob(jcModbusIdentify);
        ASSERT_TRUE(PumpUntil([&] { return meter.Requests() > 0; }, 10s));
    }

    bool WorkerIdle()
    {
        return form->GetJob() == 0 && form->ComThread->Suspended() && form->ComThread->Parked();
    }

    ScopedConfigHome config;
    std::unique_ptr<PtyPair> pty;
    std::atomic<int> runs{0};
    std::atomic<uint8_t> later{0};
    std::atomic<int> faults{0};
};

TEST_F(PortHandOverTest, HandlersThatLetThePortGoWaitForTheExchange)
{
    struct Case {
        const char* name;
        std::function<void(TMainForm&)> handler;
    };
    const Case cases[] = {
        {"baud rate", [](TMainForm& f) { f.ComboBox_Setup_DeviceBaudrateChange(); }},
        {"framing", [](TMainForm& f) { f.ComboBox_Setup_DeviceSerialModeChange(); }},
        {"port probe", [](TMainForm& f) { f.Button_Setup_SerialPort_RefreshClick(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        runs = 0;
        faults = 0;
        if (!form->PortOpen) {
            form->PortIndex = 6;
            ASSERT_TRUE(OpenComPort(form->SerialPort, *form, 5));
        }
        SilentMeter meter(*pty);
        StartExchange(meter);
        c.handler(*form);
        ASSERT_TRUE(PumpUntil([&] { return WorkerIdle(); }, 10s));

        EXPECT_EQ(faults.load(), 0) << "the job's exchange failed on a port taken from it";
        // Each lets the port go, once the job has done with it.
        EXPECT_EQ(form->PortOpen.load(), 0);
        // The job was cancelled after the exchange it was in: no retry followed.
        EXPECT_EQ(meter.Units(), std::vector<uint8_t>{kJobAddress});
        EXPECT_EQ(runs.load(), 1);
    }
    // The probe found the line the job had been using.
    EXPECT_GE(form->ComboBox_Setup_Port_ModBus->findText(QStringLiteral("COM7")), 0);
}

TEST_F(PortHandOverTest, ConnectClickWaitsForTheExchangeBeforeItReopensThePort)
{
    SilentMeter meter(*pty);
    StartExchange(meter);

    form->MaskEdit_Setup_ModBus_Address->setText(QStringLiteral("9"));
    // The click shows "Connecting..."; close it as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (ProgrWinForm && ProgrWinForm->isVisible()) ProgrWinForm->done(0);
    });
    closer.start(20);
    form->Button_Setup_Device_ConnectClick();
    ASSERT_TRUE(PumpUntil([&] { return later.load() != 0 && WorkerIdle(); }, 10s));

    EXPECT_EQ(faults.load(), 0);
    // Every request of the running job went to the address it started with.
    EXPECT_EQ(meter.Units(), std::vector<uint8_t>{kJobAddress});
    // The new identification ran afterwards, on the reopened port.
    EXPECT_EQ(later.load(), jcModbusIdentify);
    EXPECT_EQ(form->DeviceAddress.load(), 9);
    EXPECT_EQ(form->PortOpen.load(), 1);
    EXPECT_NE(form->SerialPort, nullptr);
}

}  // namespace

// The M-Bus goodbye of a direct send builds its frame in TxBuffer: not while a
// job holds the port and its own request there.
TEST_F(PortHandOverTest, DirectSelectFrameWaitsForTheJobThatHoldsTheBuffer)
{
    form->SetProtocolMode(50);
    form->FirstExchange = 0;
    form->AddressingMode = amPrimary;
    form->SelectFrameKind = 0;
    std::atomic<bool> holding{false};
    std::atomic<bool> bufferKept{false};
    form->MBusJobStep = [&] {
        const TPortUse use(form->PortGate());
        std::fill(std::begin(form->TxBuffer), std::end(form->TxBuffer), uint8_t{0xA5});
        holding = true;
        std::this_thread::sleep_for(300ms);
        bufferKept = std::all_of(std::begin(form->TxBuffer), std::end(form->TxBuffer),
                                 [](uint8_t b) { return b == 0xA5; });
        form->SetJob(0);
    };
    form->SetJob(jcMBusIdentify);
    ASSERT_TRUE(PumpUntil([&] { return holding.load(); }));

    std::vector<uint8_t> sent;
    std::thread peer([&] {
        sent = pty->PeerRead(5, 5000);
        pty->PeerWrite({0xE5});
    });
    form->SendMbusSelect();
    peer.join();
    ASSERT_TRUE(PumpUntil([&] { return WorkerIdle(); }));

    EXPECT_TRUE(bufferKept.load()) << "the job's request was overwritten under it";
    EXPECT_EQ(sent, (std::vector<uint8_t>{0x10, 0x40, kJobAddress, 0x45, 0x16}));
}
