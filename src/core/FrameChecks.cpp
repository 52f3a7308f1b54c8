#include "core/FrameChecks.h"

#include <array>

namespace {

// Entry i of the reflected CRC-16 byte table (polynomial 0xA001).
constexpr uint16_t ReflectedEntry(unsigned i)
{
    uint16_t crc = static_cast<uint16_t>(i);
    for (int bit = 0; bit < 8; ++bit)
        crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    return crc;
}

// The classic two-table form splits each entry: its low byte feeds the CRC byte
// sent first ("high-order" table), its high byte the byte sent second.
constexpr std::array<uint8_t, 256> BuildTable(bool firstSentPart)
{
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        const uint16_t entry = ReflectedEntry(i);
        table[i] = static_cast<uint8_t>(firstSentPart ? (entry & 0xFF) : (entry >> 8));
    }
    return table;
}

constexpr std::array<uint8_t, 256> CrcTableHi = BuildTable(true);
constexpr std::array<uint8_t, 256> CrcTableLo = BuildTable(false);

// First entries of the published tables.
static_assert(CrcTableHi[0] == 0x00 && CrcTableHi[1] == 0xC1 && CrcTableHi[2] == 0x81 && CrcTableHi[3] == 0x40);
static_assert(CrcTableLo[0] == 0x00 && CrcTableLo[1] == 0xC0 && CrcTableLo[2] == 0xC1 && CrcTableLo[3] == 0x01);

}  // namespace

uint8_t MBusChecksum(const uint8_t* buffer, int length)
{
    if (buffer == nullptr || length <= 0)
        return 0;
    int start = 0;
    if (buffer[0] == 0x68)
        start = 4;
    else if (buffer[0] == 0x10)
        start = 1;
    uint8_t sum = 0;
    for (int i = start; i < length; ++i)
        sum = static_cast<uint8_t>(sum + buffer[i]);
    return sum;
}

TCrc16 ModbusCrc16(const uint8_t* buffer, int length)
{
    uint8_t first = 0xFF;
    uint8_t second = 0xFF;
    for (int i = 0; buffer != nullptr && i < length; ++i) {
        const uint8_t index = first ^ buffer[i];
        first = second ^ CrcTableHi[index];
        second = CrcTableLo[index];
    }
    return TCrc16{first, second};
}
