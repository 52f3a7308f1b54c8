#pragma once
// The meter's M-Bus variable data records: one or more records per PS-field
// (the 83 numbered fields a selection mask names), values of the meter's
// present in the units the Modbus side uses too, and their split over
// telegrams. Pure: built from the model, no framing of the link layer.
#include <array>
#include <cstdint>
#include <vector>

#include "meter/ModbusRecordLayouts.h"
#include "meter/SimMeter.h"

namespace meter {

constexpr int PsFieldCount = 83;
// Twelve mask bytes as on the wire: bit j of byte i selects field 8i + j + 1.
using PsFieldMask = std::array<uint8_t, 12>;
PsFieldMask AllPsFields();
bool PsFieldSelected(const PsFieldMask& mask, int field);

// The records of one field with the values of one moment; empty for a field
// the device does not have.
std::vector<Bytes> MBusFieldRecords(const SimMeter& meter, const Measurements& m, int field);
// The records of every selected field, in field order, all of one moment.
std::vector<Bytes> MBusRecords(const SimMeter& meter, const PsFieldMask& mask);

// Record bytes of one telegram at most, so that a whole telegram crosses even
// a 300 Bd line within seven and a half seconds; records never straddle two.
constexpr size_t MaxTelegramRecordBytes = 180;
// The user data after the header of each telegram: whole records, then 0x1F
// where another telegram follows or 0x0F in the last one.
std::vector<Bytes> SplitIntoTelegrams(const std::vector<Bytes>& records, size_t maxRecordBytes = MaxTelegramRecordBytes);

// Date and time as the six bytes of the 06 6D record: seconds, minutes,
// hours, day with year bits 0-2 in bits 5-7, month with year bits 3-6 in
// bits 4-7, 0.
Bytes MBusDateTime(int year, int month, int day, int hour, int minute, int second);
// The stored bytes of a freeze or reset date setting in the same form.
Bytes MBusDateSetting(const DateSetting& s);
// Back from the six bytes; the year counts from 2000.
DateSetting DateSettingFromMBus(const uint8_t* six);

// Codes of the value units (VIFE under FD for voltages and currents, VIF of
// powers and energies; 0xFB first where the code lies in that table).
uint8_t MBusVoltageCode(double resolution);
uint8_t MBusCurrentCode(double resolution);
Bytes MBusPowerCode(double resolution);
Bytes MBusEnergyCode(double resolution);

}  // namespace meter
