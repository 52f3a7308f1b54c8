#include "platform/ComPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/PortPaths.h"
#include "platform/SerialLine.h"

const std::array<std::string, PortNameCount> PortNames = [] {
    std::array<std::string, PortNameCount> names;
    for (int i = 0; i < PortNameCount; ++i)
        names[static_cast<size_t>(i)] = "COM" + std::to_string(i + 1);
    return names;
}();

namespace {

using Clock = std::chrono::steady_clock;

// Longer waits are cut to this, so that deadlines stay within the clock's range.
constexpr uint64_t LongestWaitMs = 30ull * 24 * 3600 * 1000;

// Exception texts of the port; shown as they stand in the exception message box.
constexpr const char* TxtCannotClose = "Cannot close ";
constexpr const char* TxtCannotSetupQueues = "Cannot setup 4";
constexpr const char* TxtCannotSetupLine = "Error:5 Cannot setup";
constexpr const char* TxtCannotSetupTimeouts = "Cannot setup 6";
constexpr const char* TxtPortPrefix = "Port ";
constexpr const char* TxtIsNotOpen = " is not open";

// Opens a terminal device for this process alone: a second open of the same
// device fails, as a second open of a serial port does elsewhere.
int OpenSerialDevice(const std::string& path)
{
    if (path.empty())
        return -1;
    // Non-blocking so that a port waiting for carrier does not hang the open.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // TIOCEXCL alone does not stop root, so the lock is what keeps the port ours.
    if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    ::ioctl(fd, TIOCEXCL);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return -1;
    }
    return fd;
}

// Milliseconds until `end`, rounded up so that a wait never ends just before it.
int MillisecondsUntil(Clock::time_point end, Clock::time_point now)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - now).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
}

} // namespace

TCOMPort::TCOMPort(TransportState& link, int baudItemIndex, TCOMPort** owner)
    : Params(std::make_unique<TCOMParams>()), link_(link), owner_(owner)
{
    const int dataBits = link.PortDataBits;
    const int stopBits = link.PortStopBits;
    const int parity = link.PortParity;
    Params->PortIndex = static_cast<uint8_t>(link.PortIndex.load() & 0xFF);
    Params->BaudCode = static_cast<int8_t>(BaudCodeOfItemIndex(baudItemIndex));
    Params->DataBitsCode = static_cast<int8_t>(dataBits >= 0 && dataBits <= 2 ? dataBits : 3);
    Params->StopBitsCode = static_cast<int8_t>(stopBits >= 0 && stopBits <= 2 ? stopBits : 0);
    Params->ParityCode = static_cast<int8_t>(parity >= 0 && parity <= 4 ? parity : 0);
}

TCOMPort::~TCOMPort()
{
    try {
        CloseAndClear();
    } catch (const ECOMPort&) {
        // The descriptor is released even when close reports an error; a
        // destructor has no one to tell.
    }
}

std::string TCOMPort::PortName() const
{
    return PortNames[Params->PortIndex];
}

void TCOMPort::Open()
{
    if (IsOpen())
        Close();
    link_.PortOpenError = 0;
    Handle = OpenSerialDevice(SerialDevicePathOfName(PortName()));
    if (IsOpen()) {
        link_.PortOpen = 1;
        return;
    }
    link_.PortOpen = 0;
    link_.PortOpenError = 1;
    if (owner_ && *owner_ == this)
        DeleteComPort(*owner_); // deletes this object: nothing may follow
}

void TCOMPort::Close()
{
    if (Handle == -1)
        return;
    const int fd = Handle;
    // Leave no exclusive mark behind on a terminal that others still hold open.
    ::ioctl(fd, TIOCNXCL);
    // Linux frees the descriptor even when close fails, so it is forgotten
    // either way: a second close could hit a file opened since.
    Handle = -1;
    if (::close(fd) != 0 && errno != EINTR)
        throw ECOMPort(TxtCannotClose + PortName());
}

void TCOMPort::CloseAndClear()
{
    Close();
}

void TCOMPort::Setup()
{
    if (link_.PortOpenError)
        return;
    SetupQueues();
    SetupLine();
    SetupTimeouts();
}

void TCOMPort::Reopen()
{
    TransportState& link = link_; // Open may delete this object
    CloseAndClear();
    Open();
    if (link.PortOpenError == 0)
        Setup();
}

void TCOMPort::SetShortTimeouts()
{
    ShortTimeoutFlag = 1;
}

void TCOMPort::SetupQueues()
{
    // The kernel sizes its own queues; what a fresh port needs is that nothing
    // left over from before the open is taken for an answer.
    if (::tcflush(Handle, TCIOFLUSH) != 0)
        throw ECOMPort(TxtCannotSetupQueues + PortName());
}

void TCOMPort::SetupLine()
{
    SerialLineSettings line;
    line.Baud = BaudRateOfCode(Params->BaudCode);
    line.DataBits = std::clamp<int>(Params->DataBitsCode, 0, 3) + 5;
    line.TwoStopBits = Params->StopBitsCode == 1 || Params->StopBitsCode == 2;
    line.Parity = Params->ParityCode;
    if (!ApplySerialLine(Handle, line))
        throw ECOMPort(TxtCannotSetupLine + PortName());
    // DTR off, RTS on, as the bus adapters expect. Lines a device does not have
    // (a pseudo-terminal has none) are no error.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ::ioctl(Handle, TIOCMBIC, &dtr);
    ::ioctl(Handle, TIOCMBIS, &rts);
}

void TCOMPort::SetupTimeouts()
{
    const bool shortMode = ShortTimeoutFlag != 0;
    ShortTimeoutFlag = 0;
    // Reads wait in poll() under our own time-outs; the driver must hand over
    // whatever it has at once.
    if (!SetReadsReturnAtOnce(Handle))
        throw ECOMPort(TxtCannotSetupTimeouts + PortName());
    timeouts_ = ReadTimeoutsFor(link_.TransportCode, Params->BaudCode, shortMode);
}

void TCOMPort::ThrowIfClosed() const
{
    if (!IsOpen())
        throw ECOMPort(TxtPortPrefix + PortName() + TxtIsNotOpen);
}

int16_t TCOMPort::Read(int16_t count, uint8_t* buffer)
{
    ThrowIfClosed();
    if (count <= 0 || buffer == nullptr)
        return 0;
    const SerialTimeouts t = timeouts_;
    const size_t want = static_cast<size_t>(count);
    // Interval "none" with no total: hand over what is there and return.
    const bool immediate = t.ReadIntervalTimeout == SerialTimeoutMax &&
                           t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    // Both "none" with a constant: wait up to it for the first bytes only.
    const bool firstBytesOnly = t.ReadIntervalTimeout == SerialTimeoutMax &&
                                t.ReadTotalTimeoutMultiplier == SerialTimeoutMax &&
                                t.ReadTotalTimeoutConstant > 0 &&
                                t.ReadTotalTimeoutConstant < SerialTimeoutMax;
    uint64_t totalMs = t.ReadTotalTimeoutConstant;
    if (!firstBytesOnly)
        totalMs += static_cast<uint64_t>(t.ReadTotalTimeoutMultiplier) * want;
    totalMs = std::min(totalMs, LongestWaitMs);
    const bool hasTotal = totalMs > 0;
    const uint32_t intervalMs = t.ReadIntervalTimeout == SerialTimeoutMax ? 0 : t.ReadIntervalTimeout;

    const auto start = Clock::now();
    const auto totalEnd = start + std::chrono::milliseconds(totalMs);
    Clock::time_point lastByte = start;
    size_t got = 0;
    while (got < want) {
        const auto now = Clock::now();
        int waitMs = -1;
        if (immediate) {
            waitMs = 0;
        } else {
            if (hasTotal) {
                if (now >= totalEnd)
                    break;
                waitMs = MillisecondsUntil(totalEnd, now);
            }
            if (intervalMs > 0 && got > 0) {
                const auto gapEnd = lastByte + std::chrono::milliseconds(intervalMs);
                if (now >= gapEnd)
                    break;
                const int gapMs = MillisecondsUntil(gapEnd, now);
                waitMs = waitMs < 0 ? gapMs : std::min(waitMs, gapMs);
            }
        }
        pollfd p{Handle, POLLIN, 0};
        const int ready = ::poll(&p, 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0) {
            if (immediate)
                break;
            continue; // the loop head decides which time-out ended
        }
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(Handle, buffer + got, want - got);
            if (n > 0) {
                got += static_cast<size_t>(n);
                lastByte = Clock::now();
                if (firstBytesOnly)
                    break;
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            break; // end of file or an error: the device is gone
        }
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
            break;
    }
    return static_cast<int16_t>(got);
}

int16_t TCOMPort::Write(int16_t count, const uint8_t* buffer)
{
    ThrowIfClosed();
    if (count <= 0 || buffer == nullptr)
        return 0;
    const size_t want = static_cast<size_t>(count);
    size_t done = 0;
    while (done < want) {
        // Blocks while the output queue is full, as long as the line needs.
        const ssize_t n = ::write(Handle, buffer + done, want - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return 0; // hung up or failed
    }
    // Like a serial write elsewhere, return only when the bytes are on the
    // line, so the answer wait that follows starts after the request ended.
    while (::tcdrain(Handle) != 0 && errno == EINTR) {
    }
    return static_cast<int16_t>(done);
}

void DeleteComPort(TCOMPort*& serialPort)
{
    TCOMPort* port = serialPort;
    serialPort = nullptr;
    delete port;
}

void CloseComPort(TCOMPort*& serialPort, TransportState& link)
{
    if (serialPort) {
        serialPort->CloseAndClear();
        DeleteComPort(serialPort);
    }
    link.PortOpen = 0;
}

bool OpenComPort(TCOMPort*& serialPort, TransportState& link, int baudItemIndex, bool shortTimeouts)
{
    CloseComPort(serialPort, link);
    serialPort = new TCOMPort(link, baudItemIndex, &serialPort);
    if (shortTimeouts)
        serialPort->SetShortTimeouts();
    serialPort->Reopen();
    return link.PortOpen != 0;
}

void RefreshCom(TCOMPort*& serialPort, TransportState& link, int baudItemIndex)
{
    using std::chrono::milliseconds;
    if (link.PortOpen) {
        if (serialPort)
            serialPort->CloseAndClear();
        std::this_thread::sleep_for(milliseconds(200));
        DeleteComPort(serialPort);
        link.PortOpen = 0;
    }
    std::this_thread::sleep_for(milliseconds(200));
    if (!link.PortOpen)
        OpenComPort(serialPort, link, baudItemIndex);
}

std::vector<int> ProbeSerialPorts(TCOMPort*& serialPort, TransportState& link, int baudItemIndex)
{
    std::vector<int> found;
    for (int i = 0; i < PortNameCount; ++i) {
        if (link.PortOpen)
            CloseComPort(serialPort, link);
        link.PortIndex = i;
        if (OpenComPort(serialPort, link, baudItemIndex)) {
            found.push_back(i);
            CloseComPort(serialPort, link);
        }
    }
    return found;
}
