#pragma once
// The byte layouts of the meter's byte-oriented register blocks: log records,
// the interval summary, the device information block and date settings. Each
// block is built as bytes and sent two bytes per register, first byte high.
#include <cstdint>
#include <vector>

#include "meter/MeterLoggers.h"
#include "meter/MeterOptions.h"
#include "meter/ModbusUnits.h"
#include "meter/SimMeter.h"

namespace meter {

using Bytes = std::vector<uint8_t>;

// 32-register demand record, least significant byte first; no record (past
// the oldest) gives the end mark, all bytes 0xFF.
Bytes DemandRecordLittleEndian(const DemandRecord* r, const UnitChoice& energy);
// 17-register demand record of the large logger, most significant byte first;
// no record gives all zeros.
Bytes DemandRecordBigEndian(const DemandRecord* r, const UnitChoice& energy);
// 16-register event record; no record gives the end mark, all bytes 0xFF.
Bytes EventRecordBytes(const EventRecord* e);
// 15-register certified entry; no entry gives all zeros (entry id 0).
Bytes CertifiedEntryBytes(const CertifiedEntry* c);
// 36 registers: the first and the last record of an interval, each behind a
// register pair whose second low byte says whether there is data.
Bytes IntervalBlock(const IntervalSummary& summary, const UnitChoice& energy);
// 36-register device information block.
Bytes DeviceInfoBlock(const DeviceOptions& device);
// Seconds, minutes, hours, day, month, year low, year high, 0.
Bytes DateTimeBytes(const CivilTime& t);

// Registers from bytes, first byte high; cut or padded with zeros to count.
std::vector<uint16_t> ToRegisters(const Bytes& bytes, size_t count);
Bytes FromRegisters(const std::vector<uint16_t>& registers);

}  // namespace meter
