#pragma once
// Codes with a meaning that the window, the worker and the settings exchange:
// transports and M-Bus addressing, the window's protocol modes, connection
// states, the communication indicator and the progress window ids. Job and
// result codes are in JobCodes.h.
#include <cstdint>

// Stored in TransportState::TransportCode and in RequestTarget.
enum TTransportCode : char { tcMBus = '2', tcModbusRtu = '3', tcModbusTcp = '4' };
// M-Bus addressing.
enum TAddressingMode : char { amPrimary = '5', amSecondary = '6' };

// Page layout of a transport; also the PROT value of the settings file.
enum TProtocolMode : int { pmMBus = 50, pmModbusRtu = 51, pmModbusTcp = 52 };

// ShowConnectionState; any other value changes nothing.
enum TConnectionState : int { csDisconnected = 1, csConnected = 2 };

// ShowComActivity.
enum TComActivity : uint8_t {
    caConnected = 225, // connected image
    caNone = 226,      // no image
    caTraffic = 227,   // traffic image for about half a second
};

// Ids of the progress window's reports (kept in its hidden LabelIndex).
enum TProgressWindowId : int {
    pwScanPortClosedAtEnd = 2,
    pwScanning = 3,
    pwScanPortNotOpen = 4,
    pwMbusPrimaryConnect = 11,
    pwMbusSecondaryConnect = 12,
    pwModbusRtuConnect = 13,
    pwPortNotOpen = 14,
    pwTcpConnect = 16,
    pwInvalidIp = 17,
    pwTcpNotAvailable = 18,
    pwNoAnswer = 86,
    pwScanFinished = 87,
    pwScanPortNotAvailable = 88,
    pwConnected = 89,
    // Leaves the id of the previous report in place.
    pwKeepIndex = 90,
    pwIdentifyFailed = 105,
};
