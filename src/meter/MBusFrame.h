#pragma once
// M-Bus link layer frames as the meter receives and sends them: the single
// acknowledge 0xE5, short frames 10 C A CS 16 and long frames
// 68 L L 68 C A CI data CS 16. Our own implementation, independent of the
// tool's frame checks.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace meter {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t MBusAck = 0xE5;
constexpr uint8_t MBusBroadcast = 0xFF;
constexpr uint8_t MBusSelected = 0xFD;

struct MBusFrame {
    bool isLong = false;
    uint8_t c = 0;
    uint8_t a = 0;
    uint8_t ci = 0;   // long frames only
    Bytes data;       // long frames: the bytes after the CI field
};

// How many bytes the frame starting at `bytes` has in all, once enough of it
// is there to tell: 0 while that is not yet known, -1 when no frame can start
// with these bytes.
int MBusFrameLength(const uint8_t* bytes, size_t available);
// The frame, when the bytes are one complete, well-formed frame with a
// correct checksum.
std::optional<MBusFrame> ParseMBusFrame(const uint8_t* bytes, size_t length);

uint8_t MBusSum(const uint8_t* bytes, size_t length);
// A long frame 68 L L 68 C A CI data CS 16.
Bytes MBusLongFrame(uint8_t c, uint8_t a, uint8_t ci, const Bytes& data);

}  // namespace meter
