#pragma once
// Decoding one M-Bus RSP_UD long frame into the decoded value store. The meter's
// variable data records are known by fixed byte patterns: the walk classifies
// each record by DIF, VIF and first VIFE into a value group with a fixed
// length, decodes it and steps over it. The first record that matches no
// pattern, or that would reach the checksum, ends the walk.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/LinkState.h"
#include "core/RecordCodes.h"

// Where the first variable data record of an RSP_UD starts: behind start,
// L fields, C, A, CI and the 12-byte fixed data header.
inline constexpr int MBusFirstRecordAt = 19;

struct TMBusRecord {
    TRecordCode Code;
    int Length;  // every byte from the DIF on
};

// The record at the start of bytes, or nullopt when it matches no pattern or
// is longer than bytes. Nothing beyond bytes is read.
std::optional<TMBusRecord> ClassifyMBusRecord(std::span<const uint8_t> bytes);

// The three letters of the manufacturer word high * 256 + low (CB 52 at frame
// positions 11, 12, that is high 0x52 and low 0xCB, gives "TVK").
std::string DecodeManufacturerCode(uint8_t high, uint8_t low);

// Decodes the frame in rx, of which the last two bytes are checksum and stop
// byte: no byte from the checksum on is read, whatever the L field or the
// records claim. Texts are taken in language (0 English, 1 German). Besides the
// value store the answer sets the identity that the addressing keeps:
// SecondaryAddress, MbusVersion and ManufacturerIndex.
void DecodeMBusAnswer(std::span<const uint8_t> rx, int language, DecodedValueStore& store,
                      DeviceAddressing& addressing);

// The received answer of the frame buffers (RxCount bytes, cut to the buffer).
void DecodeMBusAnswer(const FrameBuffers& frames, int language, DecodedValueStore& store,
                      DeviceAddressing& addressing);
