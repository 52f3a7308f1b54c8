#pragma once
// The two frame checks: the M-Bus arithmetic checksum and the Modbus RTU
// CRC-16. Used when completing a request and when checking an answer.
#include <cstdint>

// Sum modulo 256 from the C field up to index length - 1. The C field starts
// after 4 bytes in a long frame (first byte 0x68), after 1 byte in a short frame
// (0x10), at the first byte otherwise. 0 when length does not reach past it.
// Callers pass the frame length minus 2 so the sum stops before the checksum.
uint8_t MBusChecksum(const uint8_t* buffer, int length);

// CRC-16 of the Modbus serial line, start value 0xFFFF, by its two 256-entry
// lookup tables. Low is the byte sent first, High the byte sent second; a zero
// length leaves both 0xFF.
struct TCrc16 {
    uint8_t Low = 0xFF;
    uint8_t High = 0xFF;
    bool operator==(const TCrc16&) const = default;
};
TCrc16 ModbusCrc16(const uint8_t* buffer, int length);
