#pragma once
// The logger record parsers: one answer of the meter, its record bytes given
// from the payload base on, into the texts of one record of a store. They read
// only the bytes given: a record that is shorter than its layout is refused and
// the record left as it was.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/LoggerStores.h"

enum class TParseResult : uint8_t {
    Reported,  // a record: its progress is reported
    Empty,     // the meter marks no record here: no progress
    Short,     // fewer bytes than the layout: nothing written
};

// Bytes each layout reads from its payload base.
inline constexpr size_t DemandRecordBytes = 36;          // 32-register layout
inline constexpr size_t Variant2DemandRecordBytes = 34;  // 17-register layout
inline constexpr size_t EventRecordBytes = 21;           // 16-register layout
inline constexpr size_t CertifiedRecordBytes = 30;       // 15-register layout

// The meter's mark past the end of a log: the record's first register reads
// FF FF, whatever follows. Over Modbus RTU it ends every log; over Modbus TCP
// the events log and the small demand log.
bool IsLogEndMark(std::span<const uint8_t> record);

// Where the record starts in the answer: M-Bus primary 11, secondary 19,
// Modbus RTU 3, Modbus TCP 9 (the first data byte on both Modbus transports).
size_t RecordPayloadBase(char transportCode, char addressingMode);

// 32-register demand record, least significant byte first. A date or time
// part out of range leaves all twelve texts empty, yet counts as reported.
TParseResult ParseDemandRecord(std::span<const uint8_t> p, CDemandLogger& record);
// 17-register demand record, most significant byte first.
TParseResult ParseVariant2DemandRecord(std::span<const uint8_t> d, CDemandLogger& record);
TParseResult ParseEventRecord(std::span<const uint8_t> p, EventRecord& record);
// Certified entries are always reported, an empty one (entry id 0) too.
TParseResult ParseCertifiedRecord(std::span<const uint8_t> d, CCertifiedLogger& record);
