// Arbitrary answers and record codes into the Modbus answer decoder.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/ModbusDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // Header: record code, transport, language, a connection-code selector.
    const auto code = static_cast<TRecordCode>(data[0]);
    const char transport = (data[1] & 1) ? '4' : '3';
    const int language = data[2] & 1;
    static FrameBuffers frames;
    static DecodedValueStore store;
    static uint8_t manufacturer = 0;
    static std::atomic<int> interval{0};
    static const int connections[4] = {0, ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire};
    store.ConnectionCode = connections[data[3] & 3];

    const size_t body = std::min(size - 4, sizeof frames.RxBuffer);
    std::memcpy(frames.RxBuffer, data + 4, body);
    // Also try counts that overstate what arrived.
    frames.RxCount = static_cast<int>(body) + ((data[3] & 4) ? 50 : 0);
    DecodeModbusAnswer(frames, transport, code, language, store, manufacturer, interval);
    return 0;
}
