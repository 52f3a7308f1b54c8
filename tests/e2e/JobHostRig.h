#pragma once
// A job host without a window, for the runner, transceiver and TCP client tests
// and the TCP benchmark: the window's shared members, a real worker thread, and
// a record of everything the window would have been asked to do.
#include "../support/Pump.h"
#include "../support/TestPeers.h"
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/WindowState.h"
#include "comm/JobControl.h"
#include "comm/JobHost.h"
#include "comm/ModbusRunner.h"
#include "comm/TcpClient.h"
#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/JobCodes.h"
#include "core/LinkState.h"
#include "core/LoggerStores.h"
#include "platform/ComPort.h"


namespace rig {

using namespace std::chrono_literals;

using testsupport::PumpUntil;

struct Frame {
    std::string prefix;
    std::vector<uint8_t> bytes;
};

struct Progress {
    uint32_t item, total;
    uint8_t kind;
};

class TestJobHost : public IJobHost,
                    public ITcpClientHost,
                    public JobControl,
                    public FrameBuffers,
                    public DeviceAddressing,
                    public TransportState,
                    public DecodedValueStore,
                    public LoggerStores,
                    public WindowState {
public:
    explicit TestJobHost(char transport)
    {
        TransportCode = transport;
        Language = 0;
        MbusBaudIndex = 3;
        ModbusBaudIndex = 6;  // 19200 Bd: no pacing
        PortDataBits = 3;
        PortParity = 1;
        DeviceAddress = 1;
        connectTimer_.setSingleShot(true);
        connectTimer_.setInterval(500);
        receiveTimer_.setInterval(2000);
    }
    ~TestJobHost() override
    {
        ShutdownWorker();
        delete Client;
        CloseComPort(SerialPort, *this);
    }

    // The real worker with the Modbus runner; result codes are recorded.
    void StartWorker(TModbusLoggerJobStep loggerJobs = {})
    {
        ModbusJobStep = [this, loggerJobs] { RunModbusJobStep(*this, loggerJobs); };
        UpdateProgressHook = [this](uint32_t item, uint32_t total, uint8_t kind) {
            std::lock_guard lock(m_);
            progress_.push_back({item, total, kind});
        };
        for (int code = 1; code < 256; ++code)
            SetUiAction(static_cast<uint8_t>(code), [this, code] { Results.push_back(static_cast<uint8_t>(code)); });
        // A short result delay keeps the many small jobs of the tests quick.
        CreateComThread(TransportCode, 20ms);
    }

    TModbusTcpClient& MakeTcpClient()
    {
        Client = new TModbusTcpClient(*this, *this, *this, *this, &connectTimer_, &receiveTimer_);
        return *Client;
    }

    // Connects the client to 127.0.0.1:port and waits for the socket.
    bool ConnectTcp(int port)
    {
        if (!Client) MakeTcpClient();
        Client->Activate(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
        return PumpUntil([this] { return TcpConnected.load() != 0; }, 5s);
    }

    bool OpenSerial(int portIndex, int baudItemIndex = 6)
    {
        PortIndex = portIndex;
        return OpenComPort(SerialPort, *this, baudItemIndex);
    }

    bool Idle() const { return ComThread && JobCode.load() == 0 && ComThread->Parked(); }

    // Sets the job and keeps events flowing until the worker sleeps again.
    // Returns the result codes the handler took meanwhile.
    std::vector<uint8_t> RunJob(uint8_t job, std::chrono::milliseconds limit = 30s)
    {
        Results.clear();
        {
            std::lock_guard lock(m_);
            frames_.clear();
            progress_.clear();
        }
        SetJob(job);
        PumpUntil([this] { return Idle(); }, limit);
        return Results;
    }

    // ---- what was recorded ----
    std::vector<Frame> Traced() const
    {
        std::lock_guard lock(m_);
        return frames_;
    }
    std::vector<std::vector<uint8_t>> Sent() const
    {
        std::vector<std::vector<uint8_t>> out;
        for (const Frame& f : Traced())
            if (f.prefix == "TX:") out.push_back(f.bytes);
        return out;
    }
    std::vector<Progress> ProgressReports() const
    {
        std::lock_guard lock(m_);
        return progress_;
    }
    int Count(const std::string& what) const
    {
        std::lock_guard lock(m_);
        int n = 0;
        for (const std::string& c : calls_) n += c == what;
        return n;
    }
    std::vector<int> ProtocolModes() const
    {
        std::lock_guard lock(m_);
        return modes_;
    }
    void ClearRecords()
    {
        std::lock_guard lock(m_);
        frames_.clear();
        progress_.clear();
        calls_.clear();
        modes_.clear();
    }

    // ---- IJobHost ----
    JobControl& Jobs() override { return *this; }
    FrameBuffers& Frames() override { return *this; }
    DeviceAddressing& Addressing() override { return *this; }
    TransportState& Link() override { return *this; }
    DecodedValueStore& Values() override { return *this; }
    LoggerStores& Loggers() override { return *this; }
    WindowState& Window() override { return *this; }
    std::atomic<uint8_t>& ReadStepBusyFlag() override { return ReadStepBusy; }
    std::string& FoundAddressesText() override { return FoundAddresses; }
    TPortGate& PortGate() override { return Gate; }
    TModbusTcpClient* ModbusTcpClient() override { return Client; }

    void ReportProgress(uint32_t item, uint32_t total, uint8_t kind) override
    {
        if (ComThread) {
            ComThread->ReportProgress(item, total, kind);
            return;
        }
        std::lock_guard lock(m_);
        progress_.push_back({item, total, kind});
    }
    void TraceComFrame(const char* prefix, const uint8_t* bytes, int count) override
    {
        if (!Recording) return;
        std::lock_guard lock(m_);
        frames_.push_back({prefix, std::vector<uint8_t>(bytes, bytes + std::max(count, 0))});
    }
    void ShowComActivity(int code) override
    {
        if (Recording) Record("activity" + std::to_string(code));
    }
    void StopBusyIndicator() override { Record("StopBusyIndicator"); }
    void StopDisplayRefresh() override
    {
        Record("StopDisplayRefresh");
        if (OnStopDisplayRefresh) OnStopDisplayRefresh();
    }
    void StartTimerSetup() override { Record("StartTimerSetup"); }
    void SetProtocolMode(int mode) override
    {
        std::lock_guard lock(m_);
        modes_.push_back(mode);
    }
    bool ConnectInProgress() override
    {
        Record("ConnectInProgress");
        return Connecting;
    }
    int LoggerReadCount(uint8_t job) override
    {
        return job == jcMBusEventsLogger || job == jcModbusEventsLogger ? EventsCount.load()
               : job == jcModbusCertifiedLogger                        ? CertifiedCount.load()
                                                                       : DemandCount.load();
    }
    void SendOverTcp(const uint8_t* frame, int length) override
    {
        const QByteArray bytes(reinterpret_cast<const char*>(frame), length);
        auto send = [this, bytes] {
            Client->SendRequest(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<int>(bytes.size()));
        };
        if (ComThread)
            ComThread->Queue(send);
        else if (QThread::currentThread() == Client->thread())
            send();
        else
            QMetaObject::invokeMethod(Client, send, Qt::QueuedConnection);
    }
    void ShowProgressWindow(int id, int, int, int, int, int, const QString&, const QString&, const QString&,
                            const QString&, const QString&, const QString&, int) override
    {
        Record("ProgressWindow" + std::to_string(id));
    }
    void FinishProgressWindow() override { Record("FinishProgressWindow"); }
    void SetProgressBarMax(int) override {}

    // ---- ITcpClientHost ----
    void ShowConnectionState(int state) override { Record("ConnectionState" + std::to_string(state)); }
    void ShowDeviceNotAvailable() override { Record("DeviceNotAvailable"); }
    void TraceUntracedBytes(int64_t count) override { Untraced += count; }
    void ShowSocketError(const QString& text) override
    {
        std::lock_guard lock(m_);
        calls_.push_back("SocketError");
        SocketErrors.push_back(text);
    }

    std::atomic<uint8_t> ReadStepBusy{0};
    std::string FoundAddresses;
    TPortGate Gate;
    TModbusTcpClient* Client = nullptr;
    std::atomic<bool> Connecting{false};
    // Off: frames and indicator calls are not kept (a long benchmark read).
    std::atomic<bool> Recording{true};
    // The count boxes of the three loggers.
    std::atomic<int> DemandCount{10}, EventsCount{10}, CertifiedCount{10};
    // Runs on the worker when a runner stops the display refresh; set before the job.
    std::function<void()> OnStopDisplayRefresh;
    std::vector<uint8_t> Results;  // UI thread
    std::vector<QString> SocketErrors;
    int64_t Untraced = 0;  // UI thread

private:
    void Record(std::string what)
    {
        std::lock_guard lock(m_);
        calls_.push_back(std::move(what));
    }

    mutable std::mutex m_;
    std::vector<Frame> frames_;
    std::vector<Progress> progress_;
    std::vector<std::string> calls_;
    std::vector<int> modes_;
    QTimer connectTimer_;
    QTimer receiveTimer_;
};

// meter-sim and socat come from the tests' one harness.
#ifdef METER_SIM_PATH
using testsupport::MeterSim;
#endif
using testsupport::SerialLine;

// The register address and count of a Modbus request as traced (RTU or TCP).
struct Request {
    int function, start, count;
    bool operator==(const Request&) const = default;
};
inline Request RequestOf(const std::vector<uint8_t>& frame, char transport)
{
    const size_t at = transport == tcModbusTcp ? 7 : 1;  // function byte
    if (frame.size() < at + 5) return {-1, -1, -1};
    return {frame[at], frame[at + 1] << 8 | frame[at + 2], frame[at + 3] << 8 | frame[at + 4]};
}

}  // namespace rig
