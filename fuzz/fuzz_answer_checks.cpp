// Arbitrary bytes and transports into the answer checks and the TCP assembly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/AnswerChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const char transport = static_cast<char>('1' + data[0] % 5);
    const uint8_t transaction = data[1];
    const size_t split = data[2];
    const uint8_t* rx = data + 3;
    const int count = static_cast<int>(std::min<size_t>(size - 3, sizeof(FrameBuffers::RxBuffer)));

    const TExchangeResult result = CheckAnswer(transport, rx, count, transaction);
    if (result != erValidAnswer && result != erNoValidAnswer)
        __builtin_trap();
    MBusAnswerLength(rx, count);
    ModbusRtuAnswerLength(rx, count);
    ModbusTcpAnswerLength(rx, count);

    // Assembled from two reads, the TCP answer is judged as if read at once,
    // as far as the announced length reaches.
    static FrameBuffers frames;
    BeginModbusTcpAnswer(frames);
    const int first = std::min(count, static_cast<int>(split));
    AppendModbusTcpAnswer(frames, rx, first);
    const bool complete = AppendModbusTcpAnswer(frames, rx + first, count - first);
    if (complete != IsCompleteModbusTcpAnswer(rx, count))
        __builtin_trap();
    if (complete && std::memcmp(frames.RxBuffer, rx, static_cast<size_t>(frames.RxCount)) != 0)
        __builtin_trap();
    return 0;
}
