#pragma once
// One request and its answer on the selected transport (TransceiveFrame), and
// the sending of request templates (SendRequestTemplate, SendMBusScanRequest).
#include <chrono>
#include <cstdint>
#include <span>

#include "core/AnswerChecks.h"

class IJobHost;

// The pacing of the bus by baud index: before and after an M-Bus request
// (80 ms at 300 Bd down to 3 ms at 9600 Bd), before a Modbus RTU request
// (100 ms down to 5 ms); none for faster rates or an unknown index.
std::chrono::milliseconds MBusPacing(int baudIndex);
std::chrono::milliseconds ModbusRtuPacing(int baudIndex);

// How long a Modbus TCP request waits for its answer.
inline constexpr std::chrono::milliseconds TcpAnswerTimeout{2000};

struct TTcpFollowUp;

// The check of a Modbus TCP answer to request (a whole frame, its transaction
// number in), alike for the exchange and for the follow-up that it lets go.
TExchangeResult CheckModbusTcpAnswer(std::span<const uint8_t> request, const uint8_t* rx, int count);

// Sends the length bytes of a completed frame in buffer on the transport of
// TransportCode, receives the answer into RxBuffer/RxCount and checks it.
// Retries are the caller's. On Modbus TCP the transaction number goes into the
// frame's second byte, and followUp (if any) is offered with the exchange. A
// serial port that is not open raises ECOMPort. Works on the worker and on the
// UI thread (which then waits for a running job first).
TExchangeResult TransceiveFrame(IJobHost& host, uint8_t* buffer, int length, const TTcpFollowUp* followUp = nullptr);

// The request that a long read sends after an answer it uses, known before the
// answer: a template, and the test that an answer leads to it (see
// TTcpFollowUp). Only Modbus TCP sends it ahead; elsewhere it is ignored.
struct TNextRequest {
    std::span<const uint8_t> Template;
    bool (*Follows)(const void* context, const uint8_t* answer, int count) = nullptr;
    const void* Context = nullptr;
    // How many times in a row it may follow.
    int Limit = 1;
};

// The read that offered next requests is over: none is sent ahead any more.
void EndTcpFollowUps(IJobHost& host);

// Completes a request template for the transport and addressing in use into
// TxBuffer and exchanges it. Nothing is sent, and the result is
// erNoValidAnswer, for a transport or addressing the completion refuses.
TExchangeResult SendRequestTemplate(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address,
                                    const TNextRequest* next = nullptr);

// The probe of the M-Bus address scan: the primary completion without the
// change of the PS-field select form.
TExchangeResult SendMBusScanRequest(IJobHost& host, std::span<const uint8_t> tpl, uint8_t address);
