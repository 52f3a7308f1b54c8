#pragma once
// Line settings of a terminal device through the kernel's own termios2: any
// baud rate, and no second-guessing by the C library, which reports a
// pseudo-terminal's silently dropped parity as a failure.
#include <cstdint>

struct SerialLineSettings {
    uint32_t Baud = 9600;
    int DataBits = 8;        // 5 to 8
    bool TwoStopBits = false; // one and a half with five data bits
    int Parity = 0;          // 0 none, 1 even, 2 odd, 3 mark, 4 space
};

// Raw mode without flow control, receiver on, modem status ignored, and the
// given line. Not read back. False when the device refuses the settings.
bool ApplySerialLine(int fd, const SerialLineSettings& line);
// Reads hand over what has arrived at once (VMIN 0, VTIME 0); false on failure.
bool SetReadsReturnAtOnce(int fd);
// The output speed of an open terminal in baud; 0 when it cannot be read.
uint32_t ReadLineSpeed(int fd);
