#include "core/SetupFrames.h"

#include <algorithm>

#include "core/FrameChecks.h"
#include "core/RequestTemplates.h"
#include "core/TextHelpers.h"

namespace setup {

namespace {

constexpr uint8_t kLongStart = 0x68;
constexpr uint8_t kStop = 0x16;
constexpr uint8_t kSndUd = 0x73;
constexpr uint8_t kSecondaryA = 0xFD;
constexpr uint8_t kMediumElectricity = 0x02;
constexpr int kFrameOverhead = 6;  // 68 L L 68 ... CS 16
constexpr uint8_t kExceptionFlag = 0x80;
constexpr int kTcpFunctionAt = 7;

uint8_t Low(uint16_t v) { return static_cast<uint8_t>(v & 0xFF); }
uint8_t High(uint16_t v) { return static_cast<uint8_t>(v >> 8); }

// Digit pairs of an eight-digit number, least significant pair first.
void PutBcd(std::vector<uint8_t>& out, std::string_view number)
{
    std::string digits(number.substr(0, 8));
    digits.insert(0, 8 - digits.size(), '0');
    for (int pair = 3; pair >= 0; --pair) out.push_back(HexToByte(std::string_view(digits).substr(2 * pair, 2)));
}

// The frame body from C on, without checksum and stop.
std::vector<uint8_t> MBusBody(const TMBusTarget& t, uint8_t ci, std::span<const uint8_t> record)
{
    std::vector<uint8_t> body{kSndUd, t.Secondary ? kSecondaryA : t.Address, ci};
    if (t.Secondary) {
        PutBcd(body, t.SecondaryAddress);
        const uint8_t m = t.ManufacturerIndex < 3 ? t.ManufacturerIndex : 0;
        body.push_back(ManufacturerCodeLow[m]);
        body.push_back(ManufacturerCodeHigh[m]);
        body.push_back(t.MbusVersion);
        body.push_back(kMediumElectricity);
    }
    body.insert(body.end(), record.begin(), record.end());
    return body;
}

}  // namespace

std::vector<uint8_t> MBusPrimaryAddressRecord(uint8_t address) { return {0x01, 0x7A, address}; }

std::vector<uint8_t> MBusSecondaryAddressRecord(std::string_view number)
{
    std::vector<uint8_t> r{0x0C, 0x79};
    PutBcd(r, number);
    return r;
}

std::vector<uint8_t> MBusDemandPeriodRecord(uint8_t minutes) { return {0x01, 0xFF, 0x1A, minutes}; }
std::vector<uint8_t> MBusVtRecord(uint16_t vt) { return {0x02, 0xFF, 0x16, Low(vt), High(vt)}; }
std::vector<uint8_t> MBusCtRecord(uint16_t ct) { return {0x02, 0xFF, 0x15, Low(ct), High(ct)}; }
std::vector<uint8_t> MBusTariffRecord(uint8_t tariff) { return {0x01, 0xFF, 0x23, tariff}; }

std::vector<uint8_t> MBusDateTimeRecord(const TDeviceDateTime& t)
{
    const int year = t.Year % 100;
    const auto d1 = static_cast<uint8_t>(t.Day + ((year & 0x07) << 5));
    const auto d2 = static_cast<uint8_t>(t.Month + ((year & 0x78) << 1));
    return {0x06, 0x6D, static_cast<uint8_t>(t.Second), static_cast<uint8_t>(t.Minute), static_cast<uint8_t>(t.Hour),
            d1, d2, 0x00};
}

uint8_t MBusBaudCi(int baudIndex) { return static_cast<uint8_t>(0xB8 + std::clamp(baudIndex, 0, 5)); }

int BuildMBusSettingFrame(std::span<uint8_t> tx, const TMBusTarget& target, uint8_t ci,
                          std::span<const uint8_t> record)
{
    const std::vector<uint8_t> body = MBusBody(target, ci, record);
    const int length = static_cast<int>(body.size()) + kFrameOverhead;
    if (body.size() > 255 || static_cast<size_t>(length) > tx.size()) return 0;
    const auto l = static_cast<uint8_t>(body.size());
    tx[0] = kLongStart;
    tx[1] = l;
    tx[2] = l;
    tx[3] = kLongStart;
    std::copy(body.begin(), body.end(), tx.begin() + 4);
    tx[length - 2] = MBusChecksum(tx.data(), length - 2);
    tx[length - 1] = kStop;
    return length;
}

int PrepareMBusTemplate(std::span<uint8_t> customRequest, const TMBusTarget& target,
                        std::span<const uint8_t> record)
{
    std::array<uint8_t, 200> frame{};
    TMBusTarget placeholders = target;
    placeholders.Address = 0;
    const int length = BuildMBusSettingFrame(frame, placeholders, MBusCiDataRecords, record);
    if (length == 0 || static_cast<size_t>(length) + 2 > customRequest.size()) return 0;
    frame[length - 2] = 0;
    customRequest[0] = static_cast<uint8_t>(length);
    customRequest[1] = target.Secondary ? 8 : 6;
    std::copy_n(frame.begin(), length, customRequest.begin() + 2);
    return length;
}

std::array<uint8_t, 2> ModbusWord(uint16_t value) { return {High(value), Low(value)}; }

std::array<uint8_t, 8> ModbusDateTimeData(const TDeviceDateTime& t)
{
    const auto year = static_cast<uint16_t>(t.Year);
    return {static_cast<uint8_t>(t.Second), static_cast<uint8_t>(t.Minute), static_cast<uint8_t>(t.Hour),
            static_cast<uint8_t>(t.Day),    static_cast<uint8_t>(t.Month),  Low(year),
            High(year),                     0x00};
}

int BuildModbusWriteFrame(std::span<uint8_t> tx, uint8_t unit, uint16_t reg, std::span<const uint8_t> data)
{
    const int length = 7 + static_cast<int>(data.size()) + 2;
    if (data.size() % 2 != 0 || data.size() > 246 || static_cast<size_t>(length) > tx.size()) return 0;
    const auto count = static_cast<uint16_t>(data.size() / 2);
    const uint8_t head[7] = {unit, ModbusWriteMultiple, High(reg), Low(reg), High(count), Low(count),
                             static_cast<uint8_t>(data.size())};
    std::copy(std::begin(head), std::end(head), tx.begin());
    std::copy(data.begin(), data.end(), tx.begin() + 7);
    const TCrc16 crc = ModbusCrc16(tx.data(), length - 2);
    tx[length - 2] = crc.Low;
    tx[length - 1] = crc.High;
    return length;
}

int PrepareModbusWrite(std::span<uint8_t> customRequest, uint16_t reg, std::span<const uint8_t> data)
{
    if (customRequest.size() < 2) return 0;
    const int length = BuildModbusWriteFrame(customRequest.subspan(2), 0x01, reg, data);
    if (length == 0) return 0;
    customRequest[length] = 0;
    customRequest[length + 1] = 0;
    customRequest[0] = static_cast<uint8_t>(length);
    customRequest[1] = 0;
    return length;
}

bool IsModbusExceptionAnswer(char transportCode, const uint8_t* rx, int count, uint8_t function)
{
    const auto exception = static_cast<uint8_t>(function | kExceptionFlag);
    if (rx == nullptr) return false;
    if (transportCode == '3') {
        if (count != 5 || rx[1] != exception) return false;
        const TCrc16 crc = ModbusCrc16(rx, 3);
        return rx[3] == crc.Low && rx[4] == crc.High;
    }
    if (transportCode == '4') return count > kTcpFunctionAt + 1 && rx[kTcpFunctionAt] == exception;
    return false;
}

}  // namespace setup
