// Arbitrary bytes and transports into the answer checks and the TCP assembly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/AnswerChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Transport, split point, then the request as a TCP or RTU frame, then the answer.
    constexpr size_t kRequest = 12;
    if (size < 2 + kRequest)
        return 0;
    const char transport = static_cast<char>('1' + data[0] % 5);
    const size_t split = data[1];
    const std::span<const uint8_t> request(data + 2, kRequest);
    const uint8_t* rx = data + 2 + kRequest;
    const int count = static_cast<int>(std::min<size_t>(size - 2 - kRequest, sizeof(FrameBuffers::RxBuffer)));

    const TExchangeResult result = CheckAnswer(transport, request, rx, count);
    if (result != erValidAnswer && result != erNoValidAnswer)
        __builtin_trap();
    // An answer and a refusal exclude each other.
    if (result == erValidAnswer && IsModbusRefusalOf(transport, request, rx, count))
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
