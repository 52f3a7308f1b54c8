#include "meter/MBusFrame.h"

namespace meter {

int MBusFrameLength(const uint8_t* bytes, size_t available) {
    if (available == 0) return 0;
    switch (bytes[0]) {
    case 0x10:
        return 5;
    case 0x68:
        return available < 2 ? 0 : bytes[1] + 6;
    default:
        return -1;
    }
}

uint8_t MBusSum(const uint8_t* bytes, size_t length) {
    unsigned sum = 0;
    for (size_t k = 0; k < length; ++k) sum += bytes[k];
    return static_cast<uint8_t>(sum);
}

std::optional<MBusFrame> ParseMBusFrame(const uint8_t* b, size_t length) {
    const int expected = MBusFrameLength(b, length);
    if (expected <= 0 || static_cast<size_t>(expected) != length || b[length - 1] != 0x16) return std::nullopt;
    MBusFrame f;
    if (b[0] == 0x10) {
        if (MBusSum(b + 1, 2) != b[3]) return std::nullopt;
        f.c = b[1];
        f.a = b[2];
        return f;
    }
    const size_t l = b[1];
    if (l < 3 || b[2] != b[1] || b[3] != 0x68 || MBusSum(b + 4, l) != b[4 + l]) return std::nullopt;
    f.isLong = true;
    f.c = b[4];
    f.a = b[5];
    f.ci = b[6];
    f.data.assign(b + 7, b + 4 + l);
    return f;
}

Bytes MBusLongFrame(uint8_t c, uint8_t a, uint8_t ci, const Bytes& data) {
    const auto l = static_cast<uint8_t>(data.size() + 3);
    Bytes f{0x68, l, l, 0x68, c, a, ci};
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(MBusSum(f.data() + 4, l));
    f.push_back(0x16);
    return f;
}

}  // namespace meter
