// Arbitrary bytes and lengths into the transceiver's M-Bus answer checks, each
// given exactly the bytes received so that any read beyond them is caught.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/AnswerChecks.h"
#include "core/FrameChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t address = data[0];
    const int count = static_cast<int>(std::min(size - 1, sizeof(FrameBuffers::RxBuffer)));
    const auto rx = std::make_unique<uint8_t[]>(static_cast<size_t>(count) + 1);
    std::memcpy(rx.get(), data + 1, static_cast<size_t>(count));
    const uint8_t* p = count > 0 ? rx.get() : nullptr;

    const bool valid = IsValidMBusAnswer(p, count);
    const int length = MBusAnswerLength(p, count);
    const bool fromDevice = IsMBusAnswerFrom(p, count, address);
    const bool final = IsFinalMBusTelegram(p, count);
    // Eight digits or 'F' taken from the address byte's bits.
    char id[9] = "00000000";
    for (int k = 0; k < 8; ++k) id[k] = (address >> k) & 1 ? 'F' : static_cast<char>('0' + k);
    const bool fromId = IsMBusAnswerFromId(p, count, id);
    if (CheckAnswer('2', {}, p, count) != (valid ? erValidAnswer : erNoValidAnswer))
        __builtin_trap();

    // What each check promises, from the bytes themselves.
    const uint8_t first = count > 0 ? rx[0] : 0;
    if (fromId && first == 0x68 && count < 11)
        __builtin_trap();
    if (count > 0 && first == 0xE5 && (!valid || length != 1))
        __builtin_trap();
    if (valid && first != 0xE5 && first != 0x10 && first != 0x68)
        __builtin_trap();
    if (valid && first != 0xE5 && rx[count - 2] != MBusChecksum(rx.get(), count - 2))
        __builtin_trap();
    if (valid && first == 0x68 && (rx[1] != rx[2] || rx[3] != 0x68 || count != rx[1] + 6 || rx[count - 1] != 0x16))
        __builtin_trap();
    if (final && (first != 0x68 || rx[1] + 3 >= count - 2 || rx[rx[1] + 3] != 0x0F))
        __builtin_trap();
    if (!fromDevice && (first != 0x68 || (count > 5 && rx[5] == address)))
        __builtin_trap();
    return 0;
}
