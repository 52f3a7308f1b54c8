#pragma once
// Tables of the serial line: baud-rate codes, framing of the serial modes,
// read time-outs per transport, and the "COMn" port names of the port lists.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/LinkState.h"

// Number of port names the tool offers, "COM1" to "COM256".
constexpr int PortNameCount = 256;

// Baud-rate code of the port parameters for an item index of the baud-rate
// list ("300" ... "115200"); no selection and unknown items give 2400 baud.
int BaudCodeOfItemIndex(int itemIndex);
// Line speed in baud of a baud-rate code; unknown codes run at 9600.
uint32_t BaudRateOfCode(int baudCode);

// Framing codes as the port parameters take them: data bits = code + 5,
// stop bits 0 one / 1 one and a half / 2 two, parity 0 none / 1 even /
// 2 odd / 3 mark / 4 space.
struct SerialFramingCodes {
    int DataBits;
    int StopBits;
    int Parity;
};
// Framing of a serial-mode item index (0 8E1, 1 8O1, 2 8N2, 3 8N1; others 8E1).
SerialFramingCodes SerialFramingOfMode(int modeIndex);
// Stores the framing of a serial mode for the next port object.
void SetSerialFraming(TransportState& link, int modeIndex);

// Win32-style read time-outs in milliseconds. A read ends when its count is
// reached, when Multiplier * count + Constant has passed (0: no total limit),
// or when the gap after a received byte exceeds the interval (0: no interval
// limit). Writes have no time limit.
struct SerialTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
};
// The "no limit" marker of the Win32 rules (MAXDWORD).
constexpr uint32_t SerialTimeoutMax = 0xFFFFFFFFu;

// Time-outs of a port set up for a transport and baud code; shortMode is the
// quick answer wait of a device scan. Transports other than M-Bus use the
// Modbus RTU row, so a port is never left without a read limit.
SerialTimeouts ReadTimeoutsFor(char transportCode, int baudCode, bool shortMode);

// The number of a port name: the text behind its first three characters
// ("COM12" -> 12). Empty unless it is 1 to 256.
std::optional<int> PortNumberOfName(std::string_view name);
// Port index (0 = "COM1") of a port list text, as the port combo boxes store it.
std::optional<int> PortIndexOfName(std::string_view name);

// Item of a refreshed port list to select: the stored port when it was found,
// otherwise the first port; -1 when no port was found.
int PortListSelection(const std::vector<int>& foundPortIndexes, int storedPortIndex);
