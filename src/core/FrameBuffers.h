#pragma once
// The frame buffers of the main window: the request being sent, the received
// frame, the last CRC and the run-time request template.
#include <cstdint>

struct FrameBuffers {
    uint8_t TxBuffer[200]{};
    uint8_t RxBuffer[1027]{};
    int RxCount = 0;
    uint8_t CrcLow = 0;
    uint8_t CrcHigh = 0;
    uint8_t CustomRequest[210]{};
};
