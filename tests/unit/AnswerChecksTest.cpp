#include "core/AnswerChecks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/FrameChecks.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes WithMBusChecksum(Bytes frame)
{
    frame[frame.size() - 2] = MBusChecksum(frame.data(), static_cast<int>(frame.size()) - 2);
    return frame;
}

Bytes WithCrc(Bytes frame)
{
    const TCrc16 crc = ModbusCrc16(frame.data(), static_cast<int>(frame.size()));
    frame.push_back(crc.Low);
    frame.push_back(crc.High);
    return frame;
}

int Size(const Bytes& b) { return static_cast<int>(b.size()); }

const Bytes kLongFrame = WithMBusChecksum(
    {0x68, 0x07, 0x07, 0x68, 0x08, 0x05, 0x72, 0x01, 0x02, 0x03, 0x0F, 0x00, 0x16});

}  // namespace

// ---- M-Bus ----

TEST(MBusAnswer, Validity)
{
    Bytes badChecksum = kLongFrame;
    badChecksum[11] ^= 0x01;
    Bytes badData = kLongFrame;
    badData[8] ^= 0x10;
    const struct {
        const char* what;
        Bytes rx;
        bool valid;
    } cases[] = {
        {"acknowledge alone, no checksum test", {0xE5}, true},
        {"acknowledge with trailing bytes", {0xE5, 0x00, 0x00}, true},
        {"long frame", kLongFrame, true},
        {"short frame", WithMBusChecksum({0x10, 0x08, 0x05, 0x00, 0x16}), true},
        {"wrong checksum", badChecksum, false},
        {"corrupted data", badData, false},
        {"wrong start byte", {0x69, 0x03, 0x03, 0x69, 0x08, 0x05, 0x72, 0x7F, 0x16}, false},
        {"long frame one byte short", Bytes(kLongFrame.begin(), kLongFrame.end() - 1), false},
        {"nothing", {}, false},
        {"start byte only", {0x68}, false},
        {"no C field before the checksum", {0x68, 0x00, 0x00, 0x68, 0x00, 0x16}, false},
        {"short frame start only", {0x10, 0x00, 0x16}, false},
        {"second L field disagrees", WithMBusChecksum({0x68, 0x07, 0x06, 0x68, 0x08, 0x05, 0x72, 0x01, 0x02, 0x03,
                                                       0x0F, 0x00, 0x16}), false},
        {"second start byte wrong", WithMBusChecksum({0x68, 0x07, 0x07, 0x69, 0x08, 0x05, 0x72, 0x01, 0x02, 0x03,
                                                      0x0F, 0x00, 0x16}), false},
        {"L field longer than the frame", WithMBusChecksum({0x68, 0x08, 0x08, 0x68, 0x08, 0x05, 0x72, 0x01, 0x02,
                                                            0x03, 0x0F, 0x00, 0x16}), false},
        {"stop byte wrong", WithMBusChecksum({0x68, 0x07, 0x07, 0x68, 0x08, 0x05, 0x72, 0x01, 0x02, 0x03, 0x0F,
                                              0x00, 0x17}), false},
        {"short frame with a stray byte", WithMBusChecksum({0x10, 0x08, 0x05, 0x00, 0x16, 0x16}), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidMBusAnswer(c.rx.data(), Size(c.rx)), c.valid) << c.what;
        EXPECT_EQ(CheckAnswer('2', {}, c.rx.data(), Size(c.rx)), c.valid ? erValidAnswer : erNoValidAnswer) << c.what;
    }
}

TEST(MBusAnswer, LengthFromTheFirstBytes)
{
    const struct {
        Bytes rx;
        int length;
    } cases[] = {
        {{0xE5}, 1},
        {{0x68}, 0},              // L field still missing
        {{0x68, 0x07}, 13},
        {{0x68, 0xFF}, 261},
        {{0x10}, 5},
        {{0x10, 0x7B}, 5},
        {{0x00, 0x07}, 0},
        {{}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MBusAnswerLength(c.rx.data(), Size(c.rx)), c.length);
    EXPECT_EQ(MBusAnswerLength(kLongFrame.data(), Size(kLongFrame)), Size(kLongFrame));
}

// ---- Modbus RTU ----

TEST(ModbusRtuAnswer, Validity)
{
    const Bytes read = WithCrc({0x01, 0x04, 0x04, 0x00, 0x0A, 0x00, 0x0B});
    Bytes badCrc = read;
    badCrc.back() ^= 0x01;
    Bytes swappedCrc = read;
    std::swap(swappedCrc[swappedCrc.size() - 1], swappedCrc[swappedCrc.size() - 2]);
    const struct {
        const char* what;
        Bytes rx;
        bool valid;
    } cases[] = {
        {"read input registers", read, true},
        {"read holding registers", WithCrc({0x07, 0x03, 0x02, 0x12, 0x34}), true},
        {"write multiple registers", WithCrc({0x01, 0x10, 0x2C, 0x88, 0x00, 0x01}), true},
        {"wrong CRC", badCrc, false},
        {"CRC high byte first", swappedCrc, false},
        {"exception answer", WithCrc({0x01, 0x83, 0x02}), false},
        {"other function", WithCrc({0x01, 0x06, 0x00, 0x01, 0x00, 0x02}), false},
        {"fewer bytes than the byte count", WithCrc({0x01, 0x04, 0x04, 0x00, 0x0A}), false},
        {"more bytes than the byte count", WithCrc({0x01, 0x04, 0x02, 0x00, 0x0A, 0x00, 0x0B}), false},
        {"nothing", {}, false},
        {"too short for a CRC", {0x01, 0x04, 0x00}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidModbusRtuAnswer(c.rx.data(), Size(c.rx)), c.valid) << c.what;
    EXPECT_EQ(ModbusRtuAnswerLength(read.data(), 3), Size(read));
    EXPECT_EQ(ModbusRtuAnswerLength(read.data(), 2), 0);
}

// ---- Modbus, either transport: the answer against what was asked ----

// The same PDU framed for a transport: unit id 01 before it, then the CRC on
// RTU; on TCP the MBAP header of transaction 05 and the length before it.
Bytes Framed(char transport, const Bytes& pdu)
{
    Bytes frame{0x01};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    if (transport == '3') return WithCrc(frame);
    const auto length = static_cast<uint8_t>(frame.size());
    frame.insert(frame.begin(), {0x00, 0x05, 0x00, 0x00, 0x00, length});
    return frame;
}

TEST(ModbusAnswer, CountsOnlyWhenItCarriesWhatWasAsked)
{
    const Bytes read2 = {0x04, 0x0B, 0xB8, 0x00, 0x02};         // input 3000, 2 registers
    const Bytes write1 = {0x10, 0x29, 0xCC, 0x00, 0x01, 0x02, 0x00, 0x07};
    const Bytes twoRegisters = {0x04, 0x04, 0x00, 0x0A, 0x00, 0x0B};
    const struct {
        const char* what;
        Bytes request, answer;
        bool valid, refusal;
    } cases[] = {
        {"the registers asked for", read2, twoRegisters, true, false},
        {"exception answer", read2, {0x84, 0x02}, false, true},
        {"exception to another function", read2, {0x83, 0x02}, false, false},
        {"header and unit id without data", read2, {}, false, false},
        {"function alone", read2, {0x04}, false, false},
        {"the read request echoed", read2, read2, false, false},
        {"byte count 0", read2, {0x04, 0x00}, false, false},
        {"fewer registers than asked", read2, {0x04, 0x02, 0x00, 0x0A}, false, false},
        {"more registers than asked", read2, {0x04, 0x06, 0x00, 0x0A, 0x00, 0x0B, 0x00, 0x0C}, false, false},
        // The frame holds what was asked, its byte count says otherwise.
        {"byte count short of the registers", read2, {0x04, 0x02, 0x00, 0x0A, 0x00, 0x0B}, false, false},
        {"byte count beyond the registers", read2, {0x04, 0x06, 0x00, 0x0A, 0x00, 0x0B}, false, false},
        {"registers short of the byte count asked", read2, {0x04, 0x04, 0x00, 0x0A}, false, false},
        {"another read function", read2, {0x03, 0x04, 0x00, 0x0A, 0x00, 0x0B}, false, false},
        {"write: start and count echoed", write1, {0x10, 0x29, 0xCC, 0x00, 0x01}, true, false},
        {"write refused", write1, {0x90, 0x04}, false, true},
        {"write: another count", write1, {0x10, 0x29, 0xCC, 0x00, 0x02}, false, false},
        {"write: the request echoed whole", write1, write1, false, false},
        {"unknown function", {0x06, 0x00, 0x01, 0x00, 0x02}, {0x06, 0x00, 0x01, 0x00, 0x02}, false, false},
    };
    for (const char transport : {'3', '4'}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(1, transport) + ": " + c.what);
            const Bytes request = Framed(transport, c.request);
            const Bytes answer = Framed(transport, c.answer);
            EXPECT_EQ(CheckAnswer(transport, request, answer.data(), Size(answer)),
                      c.valid ? erValidAnswer : erNoValidAnswer);
            EXPECT_EQ(IsModbusRefusalOf(transport, request, answer.data(), Size(answer)), c.refusal);
        }
        // Framing still counts: a broken CRC, another transaction, a cut answer.
        const Bytes request = Framed(transport, read2);
        Bytes broken = Framed(transport, twoRegisters);
        broken[transport == '3' ? broken.size() - 1 : 1] ^= 0x01;
        EXPECT_EQ(CheckAnswer(transport, request, broken.data(), Size(broken)), erNoValidAnswer) << transport;
        const Bytes good = Framed(transport, twoRegisters);
        EXPECT_EQ(CheckAnswer(transport, request, good.data(), Size(good) - 1), erNoValidAnswer) << transport;
    }
    // An MBAP header that announces nothing behind it.
    const Bytes headerOnly = {0x00, 0x05, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(CheckAnswer('4', Framed('4', read2), headerOnly.data(), Size(headerOnly)), erNoValidAnswer);
}

// ---- Modbus TCP ----

TEST(ModbusTcpAnswer, ValidOnlyWhenCompleteAndOfThisTransaction)
{
    const Bytes answer = {0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x01, 0x04, 0x04, 0x00, 0x0A, 0x00, 0x0B};
    const Bytes exception = {0x00, 0x05, 0x00, 0x00, 0x00, 0x03, 0x01, 0x83, 0x02};
    const struct {
        const char* what;
        Bytes rx;
        int count;
        uint8_t transaction;
        bool valid;
    } cases[] = {
        {"complete", answer, 13, 5, true},
        {"other transaction", answer, 13, 6, false},
        {"half read", answer, 10, 5, false},
        {"header only", answer, 6, 5, false},
        {"header incomplete", answer, 5, 5, false},
        {"an exception answer is framed like any", exception, 9, 5, true},
        {"nothing", {}, 0, 0, false},
        {"longer than any receive buffer", {0x00, 0x05, 0x00, 0x00, 0xFF, 0xFF, 0x01, 0x04}, 8, 5, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidModbusTcpAnswer(c.rx.data(), c.count, c.transaction), c.valid) << c.what;
    EXPECT_EQ(ModbusTcpAnswerLength(answer.data(), 6), 13);
    EXPECT_EQ(ModbusTcpAnswerLength(answer.data(), 5), 0);
}

TEST(ModbusTcpAnswer, AssembledFromSeveralReads)
{
    const Bytes answer = {0x00, 0x09, 0x00, 0x00, 0x00, 0x07, 0x01, 0x04, 0x04, 0x00, 0x0A, 0x00, 0x0B};
    // Split at every point, including inside the header.
    for (size_t split = 1; split < answer.size(); ++split) {
        FrameBuffers frames;
        BeginModbusTcpAnswer(frames);
        EXPECT_FALSE(AppendModbusTcpAnswer(frames, answer.data(), static_cast<int>(split))) << split;
        EXPECT_FALSE(IsValidModbusTcpAnswer(frames.RxBuffer, frames.RxCount, 9)) << split;
        EXPECT_TRUE(AppendModbusTcpAnswer(frames, answer.data() + split, Size(answer) - static_cast<int>(split)))
            << split;
        EXPECT_EQ(frames.RxCount, Size(answer));
        EXPECT_EQ(Bytes(frames.RxBuffer, frames.RxBuffer + frames.RxCount), answer);
        EXPECT_TRUE(IsValidModbusTcpAnswer(frames.RxBuffer, frames.RxCount, 9));
    }
}

TEST(ModbusTcpAnswer, NothingIsKeptBeyondTheAnnouncedLength)
{
    FrameBuffers frames;
    BeginModbusTcpAnswer(frames);
    const Bytes twoAnswers = {0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x01, 0x83, 0x02,
                              0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x01, 0x84, 0x02};
    EXPECT_TRUE(AppendModbusTcpAnswer(frames, twoAnswers.data(), Size(twoAnswers)));
    EXPECT_EQ(frames.RxCount, 9);
    EXPECT_EQ(frames.RxBuffer[9], 0xFF);
    EXPECT_TRUE(AppendModbusTcpAnswer(frames, twoAnswers.data(), Size(twoAnswers)));
    EXPECT_EQ(frames.RxCount, 9);
}

TEST(ModbusTcpAnswer, AnAnswerLargerThanTheBufferNeverCompletes)
{
    FrameBuffers frames;
    BeginModbusTcpAnswer(frames);
    Bytes huge(2000, 0x11);
    huge[4] = 0x07;
    huge[5] = 0xD0;  // 2000 bytes announced
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(AppendModbusTcpAnswer(frames, huge.data(), Size(huge)));
    EXPECT_EQ(frames.RxCount, static_cast<int>(sizeof frames.RxBuffer));
}

TEST(ModbusTcpAnswer, BeginMarksTheFirstBytesAsNotReceived)
{
    FrameBuffers frames;
    std::memset(frames.RxBuffer, 0x00, sizeof frames.RxBuffer);
    frames.RxCount = 40;
    BeginModbusTcpAnswer(frames);
    EXPECT_EQ(frames.RxCount, 0);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(frames.RxBuffer[i], 0xFF) << i;
    EXPECT_EQ(frames.RxBuffer[10], 0x00);
}

TEST(ModbusTcpTransaction, CountsUpToOneHundredAndOneThenWraps)
{
    uint8_t counter = 0;
    EXPECT_EQ(AdvanceTcpTransaction(counter), 1);  // the first request after start
    for (int request = 2; request <= 101; ++request)
        EXPECT_EQ(AdvanceTcpTransaction(counter), request);
    EXPECT_EQ(AdvanceTcpTransaction(counter), 0);  // the 102nd
    EXPECT_EQ(AdvanceTcpTransaction(counter), 1);
    counter = 200;
    EXPECT_EQ(AdvanceTcpTransaction(counter), 0);
}

TEST(CheckAnswer, UnknownTransportIsNeverValid)
{
    const Bytes ack = {0xE5};
    EXPECT_EQ(CheckAnswer('1', ack, ack.data(), 1), erNoValidAnswer);
    EXPECT_EQ(CheckAnswer(0, ack, ack.data(), 1), erNoValidAnswer);
}

TEST(MBusAnswer, FromTheDeviceAskedAndFinalTelegram)
{
    // A long frame from A field 05, identification 12345678, last user-data byte 0F.
    const Bytes frame = WithMBusChecksum({0x68, 0x0B, 0x0B, 0x68, 0x08, 0x05, 0x72, 0x78, 0x56, 0x34, 0x12, 0xCB,
                                          0x52, 0x01, 0x0F, 0x00, 0x16});
    Bytes more = frame;
    more[14] = 0x1F;
    // Identification 12AB4CDE: nibbles above 9, as a select frame sends them.
    Bytes hexId = frame;
    hexId[7] = 0xDE, hexId[8] = 0x4C, hexId[9] = 0xAB;
    hexId = WithMBusChecksum(hexId);
    const Bytes ack = {0xE5};
    const Bytes shortFrame = WithMBusChecksum({0x10, 0x08, 0x05, 0x00, 0x16});
    const struct {
        const Bytes& rx;
        int address;
        const char* id;
        bool fromAddress, fromId, final;
    } cases[] = {
        {frame, 5, "12345678", true, true, true},
        {frame, 6, "12345679", false, false, true},
        {frame, 5, "1234567F", true, true, true},
        {frame, 5, "FFFFFFFF", true, true, true},
        {frame, 5, "F2345670", true, false, true},
        {hexId, 5, "12AB4CDE", true, true, true},
        {hexId, 5, "12AB4CDF", true, true, true},
        {hexId, 5, "12AB4CD0", true, false, true},
        {frame, 5, "1234567A", true, false, true},
        {more, 5, "12345678", true, true, false},
        // Nothing to tell the device by: an acknowledge and a short frame.
        {ack, 9, "00000000", true, true, false},
        {shortFrame, 9, "00000000", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(IsMBusAnswerFrom(c.rx.data(), Size(c.rx), static_cast<uint8_t>(c.address)), c.fromAddress);
        EXPECT_EQ(IsMBusAnswerFromId(c.rx.data(), Size(c.rx), c.id), c.fromId);
        EXPECT_EQ(IsFinalMBusTelegram(c.rx.data(), Size(c.rx)), c.final);
    }
    // Cut before the identification or the last data byte, nothing is claimed.
    for (int n = 1; n < Size(frame); ++n) {
        if (n < 11) {
            EXPECT_FALSE(IsMBusAnswerFromId(frame.data(), n, "12345678")) << n;
        }
        EXPECT_FALSE(IsFinalMBusTelegram(frame.data(), n)) << n;
    }
}
