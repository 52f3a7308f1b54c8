#pragma once
// The frames that write one setting into a meter: the M-Bus SND_UD with one
// data record (or a baud-rate CI of its own), the Modbus write of holding
// registers (function 16) sent directly on Modbus RTU, and the same write
// prepared as a request template for a job. Also the test that tells a
// Modbus exception answer, the meter's refusal, from any other answer.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/SetupValues.h"

namespace setup {

// ---- M-Bus ----

inline constexpr uint8_t MBusBroadcastAddress = 0xFF;
inline constexpr uint8_t MBusCiDataRecords = 0x51;

// Whom an M-Bus setting frame goes to: primary addressing (Address, 0xFF for
// all devices) or the device selected by its secondary address.
struct TMBusTarget {
    bool Secondary = false;
    uint8_t Address = 0;
    std::string_view SecondaryAddress;  // 8 digits, sent as BCD
    uint8_t ManufacturerIndex = 0;
    uint8_t MbusVersion = 0;
};

// The data records of the setting commands (DIF, VIF, VIFE, value).
std::vector<uint8_t> MBusPrimaryAddressRecord(uint8_t address);
// The eight digits of the new number, least significant pair first.
std::vector<uint8_t> MBusSecondaryAddressRecord(std::string_view number);
std::vector<uint8_t> MBusDemandPeriodRecord(uint8_t minutes);
std::vector<uint8_t> MBusVtRecord(uint16_t vt);
std::vector<uint8_t> MBusCtRecord(uint16_t ct);
std::vector<uint8_t> MBusTariffRecord(uint8_t tariff);
// Seconds, minutes, hours, then day and month each with bits of the two-digit year.
std::vector<uint8_t> MBusDateTimeRecord(const TDeviceDateTime& t);

// The CI field that sets the baud rate of list item index 0-5 (300-9600 Bd).
uint8_t MBusBaudCi(int baudIndex);

// The whole SND_UD frame with checksum and stop byte into tx; its length, or
// 0 when it does not fit.
int BuildMBusSettingFrame(std::span<uint8_t> tx, const TMBusTarget& target, uint8_t ci,
                          std::span<const uint8_t> record);

// The frame as a request template (length, address position, frame with the
// address and checksum left to the completion): position 6 for primary
// addressing, 8, the first identification byte, for secondary. 0 when it does
// not fit.
int PrepareMBusTemplate(std::span<uint8_t> customRequest, const TMBusTarget& target,
                        std::span<const uint8_t> record);

// ---- Modbus ----

inline constexpr uint8_t ModbusBroadcastUnit = 0;
inline constexpr uint8_t ModbusWriteMultiple = 0x10;

enum TSettingRegister : uint16_t {
    regCtRatio = 10000,
    regVtRatio = 10100,
    regUnitAddress = 10200,
    regBaudRate = 10300,
    regDemandPeriod = 10400,
    regTariff = 10500,
    regDateTime = 10600,
    regWebserver = 11000,
};

// One register's value high byte first.
std::array<uint8_t, 2> ModbusWord(uint16_t value);
// The four date-and-time registers: s, m, h, day, month, year low, year high, 0.
std::array<uint8_t, 8> ModbusDateTimeData(const TDeviceDateTime& t);

// The direct write of Modbus RTU: unit, 16, register, count, byte count, data,
// CRC low byte first. Returns its length, 0 when it does not fit.
int BuildModbusWriteFrame(std::span<uint8_t> tx, uint8_t unit, uint16_t reg, std::span<const uint8_t> data);

// The write as a request template for a job: unit 01 (replaced on Modbus RTU,
// kept on Modbus TCP) and two CRC placeholders. Returns the frame length.
int PrepareModbusWrite(std::span<uint8_t> customRequest, uint16_t reg, std::span<const uint8_t> data);

// Whether the received answer is the exception answer to function `function`.
// RTU: unit, function + 0x80, code and a good CRC. TCP: the function byte behind
// the 7-byte MBAP header. transportCode '3' or '4'; false for any other.
bool IsModbusExceptionAnswer(char transportCode, const uint8_t* rx, int count, uint8_t function);

}  // namespace setup
