#include "core/PsFieldMask.h"

uint8_t PsFieldMaskByte(std::span<const bool, PsFieldCount> checked, int i) {
    if (i < 0 || i > 10) return 0;
    uint8_t b = 0;
    for (int j = 0; j < 8; ++j) {
        const int field = 8 * i + j + 1;
        if (field <= PsFieldCount && checked[static_cast<size_t>(field - 1)]) b |= static_cast<uint8_t>(1u << j);
    }
    return b;
}

TPsFieldBytes PsFieldBytes(std::span<const bool, PsFieldCount> checked) {
    TPsFieldBytes out{};
    for (int i = 0; i < static_cast<int>(out.size()); ++i) out[static_cast<size_t>(i)] = PsFieldMaskByte(checked, i);
    return out;
}

bool PsFieldSelected(const TPsFieldBytes& bytes, int n) {
    if (n < 1 || n > PsFieldCount) return false;
    const int bit = n - 1;
    return (bytes[static_cast<size_t>(bit / 8)] >> (bit % 8)) & 1;
}

std::array<uint8_t, 16> PsFieldRecord(const TPsFieldBytes& bytes) {
    std::array<uint8_t, 16> r{0x0D, 0xFD, 0x0B, 0x0C};
    for (size_t i = 0; i < bytes.size(); ++i) r[4 + i] = bytes[i];
    return r;
}

std::optional<TPsFieldBytes> ParsePsFieldFile(std::span<const uint8_t> content) {
    if (content.size() < PsFieldFileSize) return std::nullopt;
    TPsFieldBytes out{};
    for (size_t i = 0; i < out.size(); ++i) out[i] = content[i];
    return out;
}
