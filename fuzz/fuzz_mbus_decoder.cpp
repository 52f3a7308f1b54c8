// Arbitrary telegrams into the M-Bus answer decoder. The checksum and stop
// byte are poisoned: the walk must never read them, whatever the L field, the
// records or their lengths claim.
#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/MBusDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Header: language and connection code; the rest is the received answer.
    static const int connections[4] = {0, ccSinglePhase, ccThreePhase3Wire, ccThreePhase4Wire};
    static DecodedValueStore store;
    static DeviceAddressing addressing;
    store.ConnectionCode = connections[data[0] & 3];
    const int language = (data[0] >> 2) & 1;

    const size_t count = size - 1;
    const auto rx = std::make_unique<uint8_t[]>(count + 1);
    std::memcpy(rx.get(), data + 1, count);
    if (count >= 2)
        ASAN_POISON_MEMORY_REGION(rx.get() + count - 2, 2);
    DecodeMBusAnswer(std::span<const uint8_t>(rx.get(), count), language, store, addressing);
    if (count >= 2)
        ASAN_UNPOISON_MEMORY_REGION(rx.get() + count - 2, 2);

    // The classification alone, on exactly the bytes it is given.
    const auto record = ClassifyMBusRecord(std::span<const uint8_t>(rx.get(), count));
    if (record && (record->Length < 4 || static_cast<size_t>(record->Length) > count))
        __builtin_trap();
    return 0;
}
