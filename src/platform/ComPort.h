#pragma once
// The serial port of M-Bus and Modbus RTU on a POSIX terminal device.
//
// A port object is made for one open: it takes the port index, framing and
// transport from the window's TransportState and the baud rate from the
// baud-rate list's item index, and reports its open through PortOpen and
// PortOpenError. A failed open is never an exception; setup, close, read and
// write failures are raised as ECOMPort.
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/LinkState.h"
#include "core/SerialFraming.h"

// "COM1" to "COM256"; every port index indexes it.
extern const std::array<std::string, PortNameCount> PortNames;

class ECOMPort : public std::runtime_error {
public:
    explicit ECOMPort(const std::string& message) : std::runtime_error(message) {}
};

struct TCOMParams {
    uint8_t PortIndex = 0;
    int8_t BaudCode = 0;
    int8_t DataBitsCode = 3;
    int8_t StopBitsCode = 0;
    int8_t ParityCode = 0;
    uint32_t InQueueSize = 1024;
    uint32_t OutQueueSize = 1024;
};

class TCOMPort {
public:
    // owner, when given, is the slot that holds this object (the window's
    // SerialPort): a failed Open deletes the object through it and nulls it.
    TCOMPort(TransportState& link, int baudItemIndex, TCOMPort** owner = nullptr);
    ~TCOMPort();
    TCOMPort(const TCOMPort&) = delete;
    TCOMPort& operator=(const TCOMPort&) = delete;

    std::string PortName() const;
    bool IsOpen() const { return Handle != -1; }

    // Opens the device of PortName() for exclusive use. On failure PortOpen 0,
    // PortOpenError 1, and an owned object is deleted: do not touch it again.
    void Open();
    void Close();
    void CloseAndClear();
    // Line settings and time-outs; skipped while PortOpenError is set.
    void Setup();
    // Close, Open, and Setup when the open succeeded. May delete an owned object.
    void Reopen();
    // The next Setup uses the short answer wait of a device scan.
    void SetShortTimeouts();

    // Reads up to count bytes under the time-outs; returns the number read,
    // 0 when nothing came or the device failed.
    int16_t Read(int16_t count, uint8_t* buffer);
    // Writes count bytes and waits until they are on the line; returns the
    // number written, 0 when the device failed.
    int16_t Write(int16_t count, const uint8_t* buffer);

    // The three steps of Setup, each raising its own ECOMPort text.
    void SetupQueues();
    void SetupLine();
    void SetupTimeouts();

    const SerialTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const SerialTimeouts& t) { timeouts_ = t; }

    std::unique_ptr<TCOMParams> Params;
    int Handle = -1;
    uint8_t ShortTimeoutFlag = 0;

private:
    void ThrowIfClosed() const;

    TransportState& link_;
    TCOMPort** owner_;
    SerialTimeouts timeouts_{};
};

// Deletes the port object (closing it) and nulls the slot. PortOpen is the
// caller's to clear.
void DeleteComPort(TCOMPort*& serialPort);

// Closes and deletes the window's port object, if any, and clears PortOpen.
void CloseComPort(TCOMPort*& serialPort, TransportState& link);

// The open of every user of the port: closes any previous object, creates a
// new one from link (port index, framing, transport) and the baud item index,
// optionally with the scan's short time-outs, and reopens it. Returns PortOpen;
// on failure the slot is null and PortOpenError is 1.
bool OpenComPort(TCOMPort*& serialPort, TransportState& link, int baudItemIndex,
                 bool shortTimeouts = false);

// Replaces the port by a fresh one on the same settings, pausing 200 ms after
// a close and 200 ms before the open so the device settles. Blocks >= 200 ms.
void RefreshCom(TCOMPort*& serialPort, TransportState& link, int baudItemIndex);

// Tries every port name with the transport's settings and returns the indexes
// of those that open (ascending). No port is open afterwards and PortIndex
// holds 255. An ECOMPort from setting up a port ends the probe.
std::vector<int> ProbeSerialPorts(TCOMPort*& serialPort, TransportState& link, int baudItemIndex);
