// ParseEventRecord on any bytes: no read beyond them, no crash.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/LoggerParsers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EventRecord record;
    ParseEventRecord(std::span<const uint8_t>(data, size), record);
    return 0;
}
