#pragma once
// Device addressing and transport state of the main window. The flags that the
// worker and the UI thread both touch are atomic.
#include <atomic>
#include <cstdint>
#include <string>

#include "core/ToolCodes.h"

struct DeviceAddressing {
    std::atomic<uint8_t> DeviceAddress{0};
    std::atomic<char> AddressingMode{0};
    std::string SecondaryAddress;
    uint8_t ManufacturerIndex = 0;
    std::atomic<uint8_t> SelectFrameKind{0};
    uint8_t MbusVersion = 0;
    std::atomic<uint8_t> ReconnectPending{0};
    std::atomic<uint8_t> FirstExchange{0};
};

class TCOMPort;

struct TransportState {
    // The open serial port or null; created and deleted by the port helpers of
    // src/platform/ComPort.h.
    TCOMPort* SerialPort = nullptr;
    std::atomic<char> TransportCode{0};
    std::atomic<int> PortIndex{0};
    int PortDataBits = 0;
    int PortStopBits = 0;
    int PortParity = 0;
    std::atomic<uint8_t> PortOpen{0};
    std::atomic<uint8_t> PortOpenError{0};
    std::atomic<uint8_t> TcpConnected{0};
    std::atomic<uint8_t> receive_data_flag{0};
    std::atomic<uint8_t> overtime_flag{0};
    std::atomic<uint8_t> ConnectCancelled{0};
    uint8_t SerialChoiceShown = 0;
};
