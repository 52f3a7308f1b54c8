#pragma once
// Decoding one Modbus read answer (register block) into the decoded value store.
#include <atomic>
#include <cstdint>

#include "core/DecodedValues.h"
#include "core/FrameBuffers.h"
#include "core/RecordCodes.h"

// Where the registers of an answer lie: behind unit id, function and byte count
// on RTU, behind the 6-byte MBAP header, unit id, function and byte count on
// TCP. Size is what the answer really carries: the byte count, cut to the bytes
// received (the CRC and, on TCP, the header's length bound it).
struct TModbusAnswerData {
    int Function = -1;  // -1 when the answer is too short to hold one
    const uint8_t* Data = nullptr;
    int Size = 0;
};
TModbusAnswerData ModbusAnswerData(const uint8_t* rx, int count, char transportCode);

// Decodes the answer in frames.RxBuffer for one value group. Texts are taken in
// the given language (0 English, 1 German). Two members live outside the value
// store: the device information sets manufacturerIndex (1 brand-1 device,
// 2 brand-2 device) and the demand interval sets intervalRecordCount.
//
// A code without a layout does nothing. An answer that is not a read answer
// (function 3 or 4), or that carries fewer bytes than the group reads, leaves
// every member unchanged; the web-server flags alone look at an exception
// answer, because its function byte is the news.
void DecodeModbusAnswer(const FrameBuffers& frames, char transportCode, TRecordCode code, int language,
                        DecodedValueStore& store, uint8_t& manufacturerIndex,
                        std::atomic<int>& intervalRecordCount);
