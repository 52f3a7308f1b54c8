#pragma once
// The transceiver's rules for a received answer, per transport: how long the
// answer is, whether it is complete, and whether it counts as valid. Also the
// transaction counter of Modbus TCP. The exchange itself (waits, reads, socket
// events) lives in the transceiver glue.
#include <cstdint>
#include <span>
#include <string_view>

#include "core/FrameBuffers.h"

// The result of one exchange.
enum TExchangeResult : uint8_t {
    erNoValidAnswer = 220,
    erValidAnswer = 221,
};

// ---- M-Bus ----
inline constexpr uint8_t MBusAck = 0xE5;

// The total length of the M-Bus answer whose first bytes are given: 1 for the
// single character E5, L + 6 for a long frame (68 L L 68 ... CS 16), 5 for a
// short frame (10 C A CS 16). 0 when the first byte starts no frame, or when a
// long frame's L field has not arrived yet.
int MBusAnswerLength(const uint8_t* rx, int count);

// Valid: E5 alone, or a whole frame starting 10 or 68 (a long frame with both L
// fields alike, the second start byte and L + 6 bytes; a short frame of 5;
// either ending in the stop byte 16) whose byte before last carries the
// checksum of the bytes from the C field up to it.
bool IsValidMBusAnswer(const uint8_t* rx, int count);

// Whether a valid answer may come from the device at this primary address: E5
// and short frames carry nothing to tell, a long frame carries its A field.
bool IsMBusAnswerFrom(const uint8_t* rx, int count, uint8_t address);
// The same under secondary addressing: a long frame carries the identification
// number (frame positions 7-10, least significant pair first), which must match
// the eight hex digits asked for; an 'F' digit matches any.
bool IsMBusAnswerFromId(const uint8_t* rx, int count, std::string_view secondaryAddress);

// A long frame whose last user-data byte (the one before the checksum, at
// L + 3) is 0x0F: the device has no more telegrams. Only bytes received count.
bool IsFinalMBusTelegram(const uint8_t* rx, int count);

// ---- Modbus RTU ----

// The bytes the transceiver reads for an answer: unit id, function and the
// third byte, then that byte's value (the byte count of a read answer) plus the
// two CRC bytes. 0 before the third byte has arrived.
int ModbusRtuAnswerLength(const uint8_t* rx, int count);

// Function 3, 4 or 16 (an exception answer is not), the CRC over all but the
// last two bytes equal to those two (low byte first), and for a read answer
// exactly the registers its byte count announces. Whether those are the
// registers asked for is IsModbusAnswerTo's.
bool IsValidModbusRtuAnswer(const uint8_t* rx, int count);

// ---- Modbus TCP ----
inline constexpr int ModbusTcpHeaderSize = 6;

// The total length of the TCP answer as its MBAP header gives it (6 + the
// length field), or 0 while the header is incomplete.
int ModbusTcpAnswerLength(const uint8_t* rx, int count);

// Whether the answer is assembled up to the length its header gives. An answer
// longer than the receive buffer can never be complete.
bool IsCompleteModbusTcpAnswer(const uint8_t* rx, int count);

// Complete, and its transaction identifier's low byte (the second byte) equals
// that of the request. Whether it carries what was asked is IsModbusAnswerTo's.
bool IsValidModbusTcpAnswer(const uint8_t* rx, int count, uint8_t requestTransactionLow);

// Before a TCP request: mark the first 10 answer bytes as not received and
// start assembling from the first byte.
void BeginModbusTcpAnswer(FrameBuffers& frames);

// One read event's bytes, appended behind those already received; nothing is
// kept beyond the length the header gives or the buffer's end. Returns whether
// the answer is now complete.
bool AppendModbusTcpAnswer(FrameBuffers& frames, const uint8_t* data, int count);

// The transaction counter: one for the whole program, starting at 0; before each
// request it becomes 0 when above 100, else it is incremented. Returns the new
// value, which goes into the second byte of the request.
uint8_t AdvanceTcpTransaction(uint8_t& counter);

// ---- Modbus, either transport: the answer against its request ----
// request and rx are whole frames: from the unit id on RTU, from the MBAP
// header on TCP.

// Whether a framed answer carries what the request asked for: the request's own
// function (an exception answer is a refusal, not an answer); to a read (3, 4)
// a byte count of two per register asked and exactly that many data bytes; to a
// write of several registers (16) the request's start register and count
// echoed, and nothing behind them. Any other request is never answered.
bool IsModbusAnswerTo(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count);

// Whether a framed answer (CRC right on RTU; complete and of the request's
// transaction on TCP) is the exception answer to the request's function.
bool IsModbusRefusalOf(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count);

// ---- any transport ----

// The answer check of the transceiver for TransportCode '2', '3' or '4';
// erNoValidAnswer for any other code. A Modbus answer is valid only when it is
// framed right and carries what the request asked for (IsModbusAnswerTo); an
// M-Bus answer is judged on its own.
TExchangeResult CheckAnswer(char transportCode, std::span<const uint8_t> request, const uint8_t* rx, int count);
