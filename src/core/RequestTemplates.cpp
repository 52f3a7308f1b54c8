#include "core/RequestTemplates.h"

#include <cstring>

#include "core/FrameChecks.h"
#include "core/TextHelpers.h"
#include "core/ToolCodes.h"

namespace {

constexpr uint8_t kShortFrameStart = 0x10;
constexpr uint8_t kLongFrameStart = 0x68;
// The PS-field select record is stored as VIF FD, VIFE 0B; the meter is first
// asked with the manufacturer-specific form VIF FF, VIFE 51.
constexpr uint8_t kSelectManufVif = 0xFF, kSelectManufVife = 0x51;
// Frame lengths of the primary and secondary PS-field select frames.
constexpr int kPrimarySelectLength = 25;
constexpr int kSecondarySelectLength = 33;

// The frame length of a well-formed template that fits tx, else 0.
int FrameLength(std::span<const uint8_t> tpl, std::span<uint8_t> tx, int minLength, int extra)
{
    if (tpl.size() < 2)
        return 0;
    const int n = tpl[0];
    if (n < minLength || static_cast<size_t>(n) + 2 > tpl.size() || static_cast<size_t>(n + extra) > tx.size())
        return 0;
    return n;
}

// 1-based frame byte access into the transmit buffer.
uint8_t& FrameByte(std::span<uint8_t> tx, int position) { return tx[static_cast<size_t>(position - 1)]; }

void CopyFrame(std::span<const uint8_t> tpl, int count, std::span<uint8_t> tx, size_t at = 0)
{
    std::memcpy(tx.data() + at, tpl.data() + 2, static_cast<size_t>(count));
}

void SelectFrameForm(std::span<uint8_t> tx, int n, int selectLength, int vifPosition, uint8_t selectFrameKind)
{
    if (selectFrameKind != 0 || n != selectLength)
        return;
    FrameByte(tx, vifPosition) = kSelectManufVif;
    FrameByte(tx, vifPosition + 1) = kSelectManufVife;
}

void AppendChecksum(std::span<uint8_t> tx, int n) { FrameByte(tx, n - 1) = MBusChecksum(tx.data(), n - 2); }

// The two characters of a digit pair, or fewer at the end of a short text.
std::string_view DigitPair(std::string_view text, size_t at)
{
    return at < text.size() ? text.substr(at, 2) : std::string_view();
}

int CompleteMBusAddressed(std::span<const uint8_t> tpl, uint8_t address, std::span<uint8_t> tx,
                          bool chooseSelectForm, uint8_t selectFrameKind)
{
    // The shortest M-Bus frame that has an address and a checksum is 10 C A CS 16.
    const int n = FrameLength(tpl, tx, 5, 0);
    const int p = n ? tpl[1] : 0;
    if (n == 0 || p < 1 || p > n - 2)
        return 0;
    CopyFrame(tpl, n, tx);
    if (chooseSelectForm)
        SelectFrameForm(tx, n, kPrimarySelectLength, 9, selectFrameKind);
    FrameByte(tx, p) = address;
    AppendChecksum(tx, n);
    return n;
}

}  // namespace

int CompleteMBusPrimary(std::span<const uint8_t> tpl, uint8_t address, uint8_t selectFrameKind,
                        std::span<uint8_t> tx)
{
    return CompleteMBusAddressed(tpl, address, tx, true, selectFrameKind);
}

int CompleteMBusScan(std::span<const uint8_t> tpl, uint8_t address, std::span<uint8_t> tx)
{
    return CompleteMBusAddressed(tpl, address, tx, false, 0);
}

int CompleteMBusSecondary(std::span<const uint8_t> tpl, std::string_view secondaryAddress,
                          uint8_t manufacturerIndex, uint8_t selectFrameKind, std::span<uint8_t> tx)
{
    const int n = FrameLength(tpl, tx, 5, 0);
    if (n == 0)
        return 0;
    const int p = tpl[1];
    const bool longFrame = tpl[2] != kShortFrameStart;
    if (longFrame && (p < 1 || p + 3 > n - 2))
        return 0;
    CopyFrame(tpl, n, tx);
    if (longFrame) {
        for (int pair = 0; pair < 4; ++pair)
            FrameByte(tx, p + pair) = HexToByte(DigitPair(secondaryAddress, static_cast<size_t>(6 - 2 * pair)));
    }
    SelectFrameForm(tx, n, kSecondarySelectLength, 17, selectFrameKind);
    if (tx[0] == kLongFrameStart && n >= 15) {
        const uint8_t row = manufacturerIndex < 3 ? manufacturerIndex : 0;
        FrameByte(tx, 12) = ManufacturerCodeLow[row];
        FrameByte(tx, 13) = ManufacturerCodeHigh[row];
    }
    AppendChecksum(tx, n);
    return n;
}

int CompleteModbusRtu(std::span<const uint8_t> tpl, uint8_t address, std::span<uint8_t> tx, TCrc16* crc)
{
    // Unit id, function and the two CRC bytes at least.
    const int n = FrameLength(tpl, tx, 4, 0);
    if (n == 0)
        return 0;
    CopyFrame(tpl, n - 2, tx);
    tx[0] = address;
    const TCrc16 sum = ModbusCrc16(tx.data(), n - 2);
    tx[static_cast<size_t>(n - 2)] = sum.Low;
    tx[static_cast<size_t>(n - 1)] = sum.High;
    if (crc)
        *crc = sum;
    return n;
}

int CompleteModbusTcp(std::span<const uint8_t> tpl, std::span<uint8_t> tx)
{
    const int n = FrameLength(tpl, tx, 4, 4);
    if (n == 0)
        return 0;
    for (size_t i = 0; i < 5; ++i)
        tx[i] = 0;
    tx[5] = static_cast<uint8_t>(n - 2);
    CopyFrame(tpl, n - 2, tx, 6);
    return n + 4;
}

int CompleteRequestTemplate(std::span<const uint8_t> tpl, uint8_t address, const TRequestTarget& target,
                            FrameBuffers& frames)
{
    const std::span<uint8_t> tx(frames.TxBuffer);
    switch (target.TransportCode) {
    case tcMBus:
        if (target.AddressingMode == amPrimary)
            return CompleteMBusPrimary(tpl, address, target.SelectFrameKind, tx);
        if (target.AddressingMode == amSecondary)
            return CompleteMBusSecondary(tpl, target.SecondaryAddress, target.ManufacturerIndex,
                                         target.SelectFrameKind, tx);
        return 0;
    case tcModbusRtu: {
        TCrc16 crc;
        const int length = CompleteModbusRtu(tpl, address, tx, &crc);
        if (length) {
            frames.CrcLow = crc.Low;
            frames.CrcHigh = crc.High;
        }
        return length;
    }
    case tcModbusTcp:
        return CompleteModbusTcp(tpl, tx);
    default:
        return 0;
    }
}

int CompleteMBusScanRequest(std::span<const uint8_t> tpl, uint8_t address, FrameBuffers& frames)
{
    return CompleteMBusScan(tpl, address, std::span<uint8_t>(frames.TxBuffer));
}
