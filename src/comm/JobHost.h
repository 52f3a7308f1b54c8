#pragma once
// IJobHost: all that the job runners and the frame transceiver need of the main
// window, which implements it. They reach the window only through it, so they
// run in tests against the simulated meter without one.
//
// Every operation may be called from the worker or from the UI thread: the host
// carries widget and timer work over to the UI thread (queued where the caller
// need not wait, synchronised where it reads something back).
//
// Also TPortGate, which keeps the worker's jobs and the UI thread's direct
// exchanges off the serial port (and the frame buffers) at the same time.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct JobControl;
struct FrameBuffers;
struct DeviceAddressing;
struct TransportState;
struct DecodedValueStore;
struct LoggerStores;
struct WindowState;
class TPortGate;
class TModbusTcpClient;
class QString;

class IJobHost {
public:
    virtual ~IJobHost() = default;

    // ---- shared members of the window ----
    virtual JobControl& Jobs() = 0;
    virtual FrameBuffers& Frames() = 0;
    virtual DeviceAddressing& Addressing() = 0;
    virtual TransportState& Link() = 0;
    virtual DecodedValueStore& Values() = 0;
    virtual LoggerStores& Loggers() = 0;
    // Language and the baud indexes kept per serial transport.
    virtual WindowState& Window() = 0;
    // ReadStepBusy: set while a read sequence exchanges frames; the display
    // refresh timer restarts a read only while it is clear.
    virtual std::atomic<uint8_t>& ReadStepBusyFlag() = 0;
    // FoundAddresses: the scan's list, a blank, then "address," per device.
    virtual std::string& FoundAddressesText() = 0;
    virtual TPortGate& PortGate() = 0;
    // The Modbus TCP client whose socket the TCP exchanges use; null where
    // there is none.
    virtual TModbusTcpClient* ModbusTcpClient() = 0;

    // ---- window operations ----
    // Progress window: one scanned address or logger item (TProgressKind).
    virtual void ReportProgress(uint32_t itemIndex, uint32_t itemTotal, uint8_t kind) = 0;
    // Communication monitor; prefix "TX:", "RX:" or "RX(TCP):".
    virtual void TraceComFrame(const char* prefix, const uint8_t* bytes, int count) = 0;
    // Communication indicator (TComActivity).
    virtual void ShowComActivity(int code) = 0;
    virtual void StopBusyIndicator() = 0;
    // Timer_Display_Refresh off.
    virtual void StopDisplayRefresh() = 0;
    // TimerSetup on (a running one is left as it is).
    virtual void StartTimerSetup() = 0;
    // Page layout of a transport (TProtocolMode).
    virtual void SetProtocolMode(int mode) = 0;
    // Closes and reopens the serial port at the M-Bus baud rate: the runner's
    // cure for a line that stopped answering right after a connect.
    virtual void RefreshCom();
    // A connect is under way: the connect button still reads "Connect Device".
    virtual bool ConnectInProgress() = 0;
    // The number in the count box of the logger that a logger job reads
    // (demand, events or certified); 0 when the box holds no number.
    virtual int LoggerReadCount(uint8_t job) = 0;
    // Hands a completed Modbus TCP request to the UI thread, which sends it on
    // the client socket. The bytes are copied before the call returns.
    virtual void SendOverTcp(const uint8_t* frame, int length) = 0;

    // ---- progress window (UI thread) ----
    // Opens it modally and returns when it closes; while it is open, a further
    // call only restyles it. id is a TProgressWindowId; the arguments are those
    // of TProgrWinForm::ShowProgress.
    virtual void ShowProgressWindow(int id, int icon, int counting, int barTimer, int busy, int layout,
                                    const QString& caption, const QString& line1, const QString& suffix,
                                    const QString& line2, const QString& line3, const QString& buttonText,
                                    int itemCount) = 0;
    // Completes the open window's bar and closes it.
    virtual void FinishProgressWindow() = 0;
    virtual void SetProgressBarMax(int max) = 0;
};

// Who may use the serial port and the frame buffers now. A job holds it from
// its start to its end, a direct exchange of the UI thread for that exchange.
//
// The worker holds it across Synchronize (traces, progress), so the UI thread
// never blocks on it: it waits with its events flowing (user input held back)
// until the job is over. The worker may block, because the UI thread never
// waits for the worker while it holds the gate. Re-entrant per thread.
//
// Calls that the running job synchronises onto the UI thread (progress, trace,
// layout) must not start a direct exchange: they would wait for that job.
class TPortGate {
public:
    void Acquire();
    void Release();
    bool HeldByThisThread() const;

private:
    mutable std::mutex m_;
    std::condition_variable cv_;
    std::thread::id owner_;
    int depth_ = 0;
    int uiWaiting_ = 0;
};

class TPortUse {
public:
    explicit TPortUse(TPortGate& gate) : gate_(gate) { gate_.Acquire(); }
    ~TPortUse() { gate_.Release(); }
    TPortUse(const TPortUse&) = delete;
    TPortUse& operator=(const TPortUse&) = delete;

private:
    TPortGate& gate_;
};

// Worker: ReadStepBusy set for the life of a read sequence, and cleared on
// every way out of it (an exception of the port included), since the display
// refresh timer starts no read while it stays set.
class TReadStepMark {
public:
    explicit TReadStepMark(IJobHost& host) : flag_(host.ReadStepBusyFlag()) { flag_ = 1; }
    ~TReadStepMark() { flag_ = 0; }
    TReadStepMark(const TReadStepMark&) = delete;
    TReadStepMark& operator=(const TReadStepMark&) = delete;

private:
    std::atomic<uint8_t>& flag_;
};

// Worker: a job code that the runner of the transport does not carry; the
// display refresh and the busy indicator stop as after any failed job
// (JobControl::EndJobWithoutRunner).
void EndJobWithoutRunner(IJobHost& host, uint8_t job);

// Worker, at a Modbus job's start: with neither the serial port open nor the
// socket connected the job ends at once with "no answer"; returns whether it did.
bool EndJobWithoutLink(IJobHost& host);

// Worker, after an exchange that brought no usable answer: a job cancelled
// meanwhile (a disconnect, the terminate button) lost the answer to the
// cancel, not to the meter. It ends as cancelled, never as "no answer", which
// would report a failure and disconnect a second time; returns whether it did.
bool EndCancelledJobAfterMiss(IJobHost& host);

// UI thread, before the port object, the framing or the addressing change: a
// job that may still exchange frames (a connect whose progress window ran out
// or was cancelled, a read under way) is cancelled, and the port is taken once
// that job has let go of it.
class TPortTakeOver : public TPortUse {
public:
    explicit TPortTakeOver(IJobHost& host) : TPortUse(CancelJob(host)) {}

private:
    static TPortGate& CancelJob(IJobHost& host);
};
