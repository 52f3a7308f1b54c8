#pragma once
// RSP_UD long frames built the way a meter sends them, for the decoder and
// runner tests: 68 L L 68, C 08, A, CI 72, the fixed data header, the records,
// checksum and stop byte.
#include <cstdint>
#include <vector>

#include "core/FrameChecks.h"

namespace mbustest {

using Bytes = std::vector<uint8_t>;

// Behind the fixed data header.
inline constexpr size_t kFirstRecord = 19;

struct Header {
    uint8_t Address = 1;
    uint8_t Id[4] = {0x78, 0x56, 0x34, 0x12};  // least significant pair first
    uint8_t ManufacturerLow = 0xCB, ManufacturerHigh = 0x52;
    uint8_t Version = 0x01;
    uint8_t Medium = 0x02;
};

inline Bytes RspUd(const Bytes& records, const Header& h = {})
{
    Bytes f = {0x68, 0, 0, 0x68, 0x08, h.Address, 0x72};
    f.insert(f.end(), h.Id, h.Id + 4);
    f.insert(f.end(), {h.ManufacturerLow, h.ManufacturerHigh, h.Version, h.Medium, 0x00, 0x00, 0x00, 0x00});
    f.insert(f.end(), records.begin(), records.end());
    const auto l = static_cast<uint8_t>(f.size() - 4);
    f[1] = f[2] = l;
    f.push_back(MBusChecksum(f.data(), static_cast<int>(f.size())));
    f.push_back(0x16);
    return f;
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace mbustest
