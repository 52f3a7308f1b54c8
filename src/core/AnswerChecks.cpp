#include "core/AnswerChecks.h"

#include <algorithm>
#include <cstring>

#include "core/FrameChecks.h"
#include "core/ToolCodes.h"

namespace {

constexpr uint8_t kShortFrameStart = 0x10;
constexpr uint8_t kLongFrameStart = 0x68;
constexpr uint8_t kStopByte = 0x16;
constexpr int kShortFrameLength = 5;
constexpr int kLongFrameOverhead = 6;  // 68 L L 68 ... CS 16 around the L bytes
constexpr int kRxCapacity = static_cast<int>(sizeof(FrameBuffers::RxBuffer));
constexpr int kTcpMarkedBytes = 10;

uint16_t Word(const uint8_t* at) { return static_cast<uint16_t>((at[0] << 8) | at[1]); }

constexpr uint8_t kReadHolding = 0x03;
constexpr uint8_t kReadInput = 0x04;
constexpr uint8_t kWriteMultiple = 0x10;
constexpr uint8_t kExceptionFlag = 0x80;
constexpr int kRtuCrcSize = 2;

// Where the PDU (function byte on) starts behind the unit id; -1 for a
// transport without one.
int PduAt(char transportCode)
{
    if (transportCode == tcModbusRtu) return 1;
    if (transportCode == tcModbusTcp) return ModbusTcpHeaderSize + 1;
    return -1;
}

// The framing checks of the transport alone; an exception answer passes them.
bool IsFramed(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count)
{
    if (rx == nullptr || count < 1 || count > kRxCapacity) return false;
    if (transportCode == tcModbusTcp)
        return request.size() >= 2 && IsValidModbusTcpAnswer(rx, count, request[1]) &&
               count == ModbusTcpAnswerLength(rx, count);
    if (transportCode != tcModbusRtu || count < 3 + kRtuCrcSize) return false;
    const TCrc16 crc = ModbusCrc16(rx, count - kRtuCrcSize);
    return rx[count - 2] == crc.Low && rx[count - 1] == crc.High;
}

}  // namespace

int MBusAnswerLength(const uint8_t* rx, int count)
{
    if (rx == nullptr || count < 1)
        return 0;
    switch (rx[0]) {
    case MBusAck:
        return 1;
    case kShortFrameStart:
        return kShortFrameLength;
    case kLongFrameStart:
        return count >= 2 ? rx[1] + kLongFrameOverhead : 0;
    default:
        return 0;
    }
}

bool IsValidMBusAnswer(const uint8_t* rx, int count)
{
    if (rx == nullptr || count < 1)
        return false;
    if (rx[0] == MBusAck)
        return true;
    if (rx[0] != kShortFrameStart && rx[0] != kLongFrameStart)
        return false;
    // The frame must be whole: both L fields alike, the second start byte, the
    // length they give, the stop byte.
    if (rx[0] == kLongFrameStart &&
        (count < 4 || rx[1] != rx[2] || rx[3] != kLongFrameStart || count != rx[1] + kLongFrameOverhead))
        return false;
    if (rx[0] == kShortFrameStart && count != kShortFrameLength)
        return false;
    if (rx[count - 1] != kStopByte)
        return false;
    // The checksum byte must lie behind the C field it sums from.
    const int checksumAt = count - 2;
    const int cField = rx[0] == kLongFrameStart ? 4 : 1;
    if (checksumAt <= cField)
        return false;
    return rx[checksumAt] == MBusChecksum(rx, checksumAt);
}

bool IsMBusAnswerFrom(const uint8_t* rx, int count, uint8_t address)
{
    constexpr int kAddressField = 5;
    if (rx == nullptr || count < 1 || rx[0] != kLongFrameStart)
        return true;
    return count > kAddressField && rx[kAddressField] == address;
}

bool IsMBusAnswerFromId(const uint8_t* rx, int count, std::string_view secondaryAddress)
{
    constexpr int kIdentification = 7;
    constexpr int kDigits = 8;
    if (rx == nullptr || count < 1 || rx[0] != kLongFrameStart)
        return true;
    if (count < kIdentification + kDigits / 2)
        return false;
    for (int k = 0; k < kDigits && k < static_cast<int>(secondaryAddress.size()); ++k) {
        const char digit = secondaryAddress[static_cast<size_t>(k)];
        if (digit == 'F' || digit == 'f')
            continue;
        // Digit k from the left is in byte 10 - k / 2, the high nibble first.
        // The select frame carries A-E as the nibbles 10-14, and the decoder
        // keeps such nibbles as those digits.
        const uint8_t byte = rx[kIdentification + 3 - k / 2];
        const int nibble = k % 2 == 0 ? byte >> 4 : byte & 0x0F;
        const int value = digit >= '0' && digit <= '9'   ? digit - '0'
                          : digit >= 'A' && digit <= 'E' ? digit - 'A' + 10
                          : digit >= 'a' && digit <= 'e' ? digit - 'a' + 10
                                                         : -1;
        if (nibble != value)
            return false;
    }
    return true;
}

bool IsFinalMBusTelegram(const uint8_t* rx, int count)
{
    constexpr uint8_t kNoMoreData = 0x0F;
    if (rx == nullptr || count < 2 || rx[0] != kLongFrameStart)
        return false;
    const int last = rx[1] + 3;
    return last < count - 2 && rx[last] == kNoMoreData;
}

int ModbusRtuAnswerLength(const uint8_t* rx, int count)
{
    if (rx == nullptr || count < 3)
        return 0;
    return 3 + rx[2] + 2;
}

bool IsValidModbusRtuAnswer(const uint8_t* rx, int count)
{
    // Unit id, function, at least one byte behind it, CRC.
    if (rx == nullptr || count < 5 || count > kRxCapacity)
        return false;
    const uint8_t function = rx[1];
    if (function != 3 && function != 4 && function != 16)
        return false;
    if ((function == 3 || function == 4) && count != ModbusRtuAnswerLength(rx, count))
        return false;
    const TCrc16 crc = ModbusCrc16(rx, count - 2);
    return rx[count - 2] == crc.Low && rx[count - 1] == crc.High;
}

int ModbusTcpAnswerLength(const uint8_t* rx, int count)
{
    if (rx == nullptr || count < ModbusTcpHeaderSize)
        return 0;
    return ModbusTcpHeaderSize + Word(rx + 4);
}

bool IsCompleteModbusTcpAnswer(const uint8_t* rx, int count)
{
    const int needed = ModbusTcpAnswerLength(rx, count);
    return needed > 0 && needed <= kRxCapacity && count >= needed;
}

bool IsValidModbusTcpAnswer(const uint8_t* rx, int count, uint8_t requestTransactionLow)
{
    return IsCompleteModbusTcpAnswer(rx, count) && rx[1] == requestTransactionLow;
}

void BeginModbusTcpAnswer(FrameBuffers& frames)
{
    std::memset(frames.RxBuffer, 0xFF, kTcpMarkedBytes);
    frames.RxCount = 0;
}

bool AppendModbusTcpAnswer(FrameBuffers& frames, const uint8_t* data, int count)
{
    int have = std::clamp(frames.RxCount, 0, kRxCapacity);
    const uint8_t* next = data;
    int left = data ? std::max(count, 0) : 0;
    // Fill the header first; its length field then bounds the rest.
    while (left > 0) {
        int limit = ModbusTcpAnswerLength(frames.RxBuffer, have);
        limit = limit == 0 ? ModbusTcpHeaderSize : std::min(limit, kRxCapacity);
        const int take = std::min(left, limit - have);
        if (take <= 0)
            break;
        std::memcpy(frames.RxBuffer + have, next, static_cast<size_t>(take));
        have += take;
        next += take;
        left -= take;
    }
    frames.RxCount = have;
    return IsCompleteModbusTcpAnswer(frames.RxBuffer, have);
}

uint8_t AdvanceTcpTransaction(uint8_t& counter)
{
    counter = counter > 100 ? 0 : static_cast<uint8_t>(counter + 1);
    return counter;
}

bool IsModbusAnswerTo(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count)
{
    const int at = PduAt(transportCode);
    // Function, start register and count of the request.
    if (at < 0 || static_cast<int>(request.size()) < at + 5 || !IsFramed(transportCode, request, rx, count))
        return false;
    const int trailer = transportCode == tcModbusRtu ? kRtuCrcSize : 0;
    const uint8_t function = request[static_cast<size_t>(at)];
    if (count <= at || rx[at] != function) return false;
    switch (function) {
    case kReadHolding:
    case kReadInput: {
        const int asked = 2 * Word(request.data() + at + 3);
        return count > at + 1 && rx[at + 1] == asked && count == at + 2 + asked + trailer;
    }
    case kWriteMultiple:
        return count == at + 5 + trailer && std::equal(rx + at + 1, rx + at + 5, request.begin() + at + 1);
    default:
        return false;
    }
}

bool IsModbusRefusalOf(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count)
{
    const int at = PduAt(transportCode);
    if (at < 0 || static_cast<int>(request.size()) <= at || !IsFramed(transportCode, request, rx, count))
        return false;
    // Function | 0x80 and the exception code.
    const int trailer = transportCode == tcModbusRtu ? kRtuCrcSize : 0;
    return count == at + 2 + trailer && rx[at] == (request[static_cast<size_t>(at)] | kExceptionFlag);
}

TExchangeResult CheckAnswer(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count)
{
    bool valid = false;
    switch (transportCode) {
    case tcMBus:
        valid = IsValidMBusAnswer(rx, count);
        break;
    case tcModbusRtu:
    case tcModbusTcp:
        valid = IsModbusAnswerTo(transportCode, request, rx, count);
        break;
    default:
        break;
    }
    return valid ? erValidAnswer : erNoValidAnswer;
}
