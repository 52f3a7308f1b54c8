#include "core/RequestTemplates.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct NamedTemplate {
    const char* name;
    std::span<const uint8_t> bytes;
};
#define TPL(n) NamedTemplate{#n, std::span<const uint8_t>(n)}

const NamedTemplate kMBusPrimary[] = {
    TPL(TplMbusSndNke), TPL(TplMbusPsSelectSpare), TPL(TplMbusPsSelectMeasurement), TPL(TplMbusPsSelectDeviceInfo),
    TPL(TplMbusPsSelectDateTime), TPL(TplMbusPsSelectFreezeSetup), TPL(TplMbusPsSelectResetSetup),
    TPL(TplMbusPsSelectMainCounters), TPL(TplMbusPsSelectResettableCounters), TPL(TplMbusPsSelectFreezeCounters),
    TPL(TplMbusReqUd2Fcb1), TPL(TplMbusReqUd2Fcb0), TPL(TplMbusDemandNewest), TPL(TplMbusDemandPrev),
    TPL(TplMbusDemandRetry), TPL(TplMbusEventsNewest), TPL(TplMbusEventsPrev), TPL(TplMbusEventsRetry),
};

const NamedTemplate kMBusSecondary[] = {
    TPL(TplMbusSecSelect), TPL(TplMbusSecSndNke), TPL(TplMbusSecPsSelectSpare),
    TPL(TplMbusSecPsSelectMeasurement), TPL(TplMbusSecPsSelectDeviceInfo), TPL(TplMbusSecPsSelectDateTime),
    TPL(TplMbusSecPsSelectFreezeSetup), TPL(TplMbusSecPsSelectResetSetup), TPL(TplMbusSecPsSelectMainCounters),
    TPL(TplMbusSecPsSelectResettableCounters), TPL(TplMbusSecPsSelectFreezeCounters), TPL(TplMbusSecReqUd2Fcb1),
    TPL(TplMbusSecReqUd2Fcb0), TPL(TplMbusSecDemandNewest), TPL(TplMbusSecDemandPrev), TPL(TplMbusSecDemandRetry),
    TPL(TplMbusSecEventsNewest), TPL(TplMbusSecEventsPrev), TPL(TplMbusSecEventsRetry),
};

// The twins that differ only by their addressing part.
const std::pair<NamedTemplate, NamedTemplate> kTwins[] = {
    {TPL(TplMbusPsSelectSpare), TPL(TplMbusSecPsSelectSpare)},
    {TPL(TplMbusPsSelectMeasurement), TPL(TplMbusSecPsSelectMeasurement)},
    {TPL(TplMbusPsSelectDeviceInfo), TPL(TplMbusSecPsSelectDeviceInfo)},
    {TPL(TplMbusPsSelectDateTime), TPL(TplMbusSecPsSelectDateTime)},
    {TPL(TplMbusPsSelectFreezeSetup), TPL(TplMbusSecPsSelectFreezeSetup)},
    {TPL(TplMbusPsSelectResetSetup), TPL(TplMbusSecPsSelectResetSetup)},
    {TPL(TplMbusPsSelectMainCounters), TPL(TplMbusSecPsSelectMainCounters)},
    {TPL(TplMbusPsSelectResettableCounters), TPL(TplMbusSecPsSelectResettableCounters)},
    {TPL(TplMbusPsSelectFreezeCounters), TPL(TplMbusSecPsSelectFreezeCounters)},
    {TPL(TplMbusDemandNewest), TPL(TplMbusSecDemandNewest)},
    {TPL(TplMbusDemandPrev), TPL(TplMbusSecDemandPrev)},
    {TPL(TplMbusDemandRetry), TPL(TplMbusSecDemandRetry)},
    {TPL(TplMbusEventsNewest), TPL(TplMbusSecEventsNewest)},
    {TPL(TplMbusEventsPrev), TPL(TplMbusSecEventsPrev)},
    {TPL(TplMbusEventsRetry), TPL(TplMbusSecEventsRetry)},
};

// Modbus templates by function, start register and count in decimal; a write
// carries one register value.
const struct ModbusCase {
    NamedTemplate tpl;
    int function, start, count, written;
} kModbus[] = {
    {TPL(TplModbusIn3000x36), 4, 3000, 36, -1},      {TPL(TplModbusIn0000x15), 4, 0, 15, -1},
    {TPL(TplModbusIn100x11), 4, 100, 11, -1},        {TPL(TplModbusIn200x17), 4, 200, 17, -1},
    {TPL(TplModbusIn300x14), 4, 300, 14, -1},        {TPL(TplModbusIn600x14), 4, 600, 14, -1},
    {TPL(TplModbusIn700x14), 4, 700, 14, -1},        {TPL(TplModbusIn800x14), 4, 800, 14, -1},
    {TPL(TplModbusIn900x14), 4, 900, 14, -1},        {TPL(TplModbusIn1000x14), 4, 1000, 14, -1},
    {TPL(TplModbusIn1100x14), 4, 1100, 14, -1},      {TPL(TplModbusIn1200x14), 4, 1200, 14, -1},
    {TPL(TplModbusIn1300x14), 4, 1300, 14, -1},      {TPL(TplModbusIn2200x12), 4, 2200, 12, -1},
    {TPL(TplModbusIn2300x12), 4, 2300, 12, -1},      {TPL(TplModbusIn2400x12), 4, 2400, 12, -1},
    {TPL(TplModbusIn2500x12), 4, 2500, 12, -1},      {TPL(TplModbusIn2600x12), 4, 2600, 12, -1},
    {TPL(TplModbusIn2700x12), 4, 2700, 12, -1},      {TPL(TplModbusIn2800x12), 4, 2800, 12, -1},
    {TPL(TplModbusIn2900x12), 4, 2900, 12, -1},      {TPL(TplModbusIn500x11), 4, 500, 11, -1},
    {TPL(TplModbusIn1400x12), 4, 1400, 12, -1},      {TPL(TplModbusIn1500x12), 4, 1500, 12, -1},
    {TPL(TplModbusIn1600x12), 4, 1600, 12, -1},      {TPL(TplModbusIn1700x12), 4, 1700, 12, -1},
    {TPL(TplModbusIn1800x12), 4, 1800, 12, -1},      {TPL(TplModbusIn1900x12), 4, 1900, 12, -1},
    {TPL(TplModbusIn2000x12), 4, 2000, 12, -1},      {TPL(TplModbusIn2100x12), 4, 2100, 12, -1},
    {TPL(TplModbusIn500x11B), 4, 500, 11, -1},       {TPL(TplModbusHold10700x4), 3, 10700, 4, -1},
    {TPL(TplModbusHold10800x4), 3, 10800, 4, -1},    {TPL(TplModbusHold10000x1), 3, 10000, 1, -1},
    {TPL(TplModbusHold10100x1), 3, 10100, 1, -1},    {TPL(TplModbusHold10400x1), 3, 10400, 1, -1},
    {TPL(TplModbusScan), 3, 10500, 1, -1},           {TPL(TplModbusIn412x1), 4, 412, 1, -1},
    {TPL(TplModbusHold10600x4), 3, 10600, 4, -1},    {TPL(TplModbusIn500x11C), 4, 500, 11, -1},
    {TPL(TplModbusIn3700x2), 4, 3700, 2, -1},        {TPL(TplModbusHold11000x1), 3, 11000, 1, -1},
    {TPL(TplModbusEventsNewest), 4, 3100, 16, -1},   {TPL(TplModbusEventsPrev), 4, 3200, 16, -1},
    {TPL(TplModbusEventsRetry), 4, 3300, 16, -1},    {TPL(TplModbusDemandNewest), 4, 3400, 32, -1},
    {TPL(TplModbusDemandPrev), 4, 3500, 32, -1},     {TPL(TplModbusDemandRetry), 4, 3600, 32, -1},
    {TPL(TplModbusDemandNewestShort), 4, 3400, 17, -1}, {TPL(TplModbusDemandPrevShort), 4, 3500, 17, -1},
    {TPL(TplModbusDemandRetryShort), 4, 3600, 17, -1},  {TPL(TplModbusIn2920x17), 4, 2920, 17, -1},
    {TPL(TplModbusDemandInterval), 4, 3800, 36, -1}, {TPL(TplModbusCertifiedFirst), 16, 11400, 1, 1},
    {TPL(TplModbusCertifiedRead), 4, 3900, 15, -1},  {TPL(TplModbusCertifiedNext), 16, 11400, 1, 2},
    {TPL(TplModbusCertifiedReadNext), 4, 3900, 15, -1},
};

std::vector<uint8_t> Frame(std::span<const uint8_t> tpl) { return {tpl.begin() + 2, tpl.end()}; }

std::vector<uint8_t> Sent(const FrameBuffers& frames, int length)
{
    return {frames.TxBuffer, frames.TxBuffer + length};
}

uint8_t SumFromCField(const std::vector<uint8_t>& frame)
{
    const size_t start = frame[0] == 0x68 ? 4 : 1;
    uint8_t sum = 0;
    for (size_t i = start; i + 2 < frame.size(); ++i)
        sum = static_cast<uint8_t>(sum + frame[i]);
    return sum;
}

TRequestTarget MBus(char mode, uint8_t kind = 0, std::string_view secondary = "", uint8_t manufacturer = 0)
{
    TRequestTarget t;
    t.TransportCode = '2';
    t.AddressingMode = mode;
    t.SelectFrameKind = kind;
    t.SecondaryAddress = secondary;
    t.ManufacturerIndex = manufacturer;
    return t;
}

TRequestTarget Modbus(char transport)
{
    TRequestTarget t;
    t.TransportCode = transport;
    return t;
}

}  // namespace

// ---- the templates themselves ----

TEST(RequestTemplates, MBusFramesAreWellFormed)
{
    auto check = [](const NamedTemplate& t, bool secondary) {
        SCOPED_TRACE(t.name);
        const int n = t.bytes[0];
        const int p = t.bytes[1];
        const std::vector<uint8_t> f = Frame(t.bytes);
        ASSERT_EQ(static_cast<int>(f.size()), n);
        EXPECT_EQ(f.back(), 0x16);
        EXPECT_EQ(f[f.size() - 2], 0x00) << "checksum placeholder";
        if (f[0] == 0x10) {
            ASSERT_EQ(n, 5);
            EXPECT_EQ(p, 3);
            EXPECT_EQ(f[2], secondary ? 0xFD : 0x00);
            return;
        }
        ASSERT_EQ(f[0], 0x68);
        EXPECT_EQ(f[3], 0x68);
        EXPECT_EQ(f[1], f[2]);
        EXPECT_EQ(f[1], n - 6) << "L field";
        EXPECT_EQ(f[4], 0x73) << "SND_UD";
        EXPECT_EQ(f[5], secondary ? 0xFD : 0x00) << "A field";
        if (!secondary) {
            EXPECT_EQ(p, 6);
            EXPECT_EQ(f[6], 0x51);
            return;
        }
        EXPECT_EQ(p, 8);
        EXPECT_EQ(f[6], t.bytes.data() == TplMbusSecSelect ? 0x52 : 0x51);
        for (int i = 7; i <= 10; ++i)
            EXPECT_EQ(f[i], 0x00) << "identification placeholder " << i;
        EXPECT_EQ(f[13], 0xFF) << "version";
        EXPECT_EQ(f[14], 0x02) << "medium";
    };
    for (const auto& t : kMBusPrimary)
        check(t, false);
    for (const auto& t : kMBusSecondary)
        check(t, true);
}

TEST(RequestTemplates, SecondaryTwinsCarryThePrimaryRecord)
{
    for (const auto& [primary, secondary] : kTwins) {
        SCOPED_TRACE(secondary.name);
        const std::vector<uint8_t> p = Frame(primary.bytes);
        const std::vector<uint8_t> s = Frame(secondary.bytes);
        ASSERT_EQ(s.size(), p.size() + 8);
        EXPECT_TRUE(std::equal(p.begin() + 7, p.end(), s.begin() + 15));
        EXPECT_EQ(s[11], 0xCB);
        EXPECT_EQ(s[12], 0x52);
    }
}

TEST(RequestTemplates, MBusRecordsAndSelectors)
{
    const struct {
        NamedTemplate tpl;
        std::vector<uint8_t> record;
    } cases[] = {
        {TPL(TplMbusDemandNewest), {0x01, 0xFF, 0x18, 0x00}},
        {TPL(TplMbusDemandPrev), {0x01, 0xFF, 0x18, 0x01}},
        {TPL(TplMbusDemandRetry), {0x01, 0xFF, 0x18, 0x02}},
        {TPL(TplMbusEventsNewest), {0x01, 0xFF, 0x17, 0x00}},
        {TPL(TplMbusEventsPrev), {0x01, 0xFF, 0x17, 0x01}},
        {TPL(TplMbusEventsRetry), {0x01, 0xFF, 0x17, 0x02}},
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> f = Frame(c.tpl.bytes);
        EXPECT_TRUE(std::equal(c.record.begin(), c.record.end(), f.begin() + 7)) << c.tpl.name;
    }
    // Every PS-field select carries the stored record 0D FD 0B, length 12.
    for (const auto& t : kMBusPrimary) {
        if (t.bytes[0] != 25)
            continue;
        const std::vector<uint8_t> f = Frame(t.bytes);
        EXPECT_EQ(std::vector<uint8_t>(f.begin() + 7, f.begin() + 11), (std::vector<uint8_t>{0x0D, 0xFD, 0x0B, 0x0C}))
            << t.name;
    }
    EXPECT_EQ(Frame(TplMbusReqUd2Fcb1)[1], 0x7B);
    EXPECT_EQ(Frame(TplMbusReqUd2Fcb0)[1], 0x5B);
    EXPECT_EQ(Frame(TplMbusSndNke)[1], 0x40);
    EXPECT_EQ(Frame(TplMbusSecSelect), (std::vector<uint8_t>{0x68, 0x0B, 0x0B, 0x68, 0x73, 0xFD, 0x52, 0, 0, 0, 0,
                                                              0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x16}));
    EXPECT_EQ(Frame(TplMbusPsSelectMeasurement),
              (std::vector<uint8_t>{0x68, 0x13, 0x13, 0x68, 0x73, 0x00, 0x51, 0x0D, 0xFD, 0x0B, 0x0C, 0xFF, 0x9B,
                                    0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x07, 0x00, 0x00, 0x16}));
}

TEST(RequestTemplates, ModbusRequestsByRegister)
{
    for (const auto& c : kModbus) {
        SCOPED_TRACE(c.tpl.name);
        const std::vector<uint8_t> f = Frame(c.tpl.bytes);
        ASSERT_EQ(static_cast<int>(f.size()), c.tpl.bytes[0]);
        EXPECT_EQ(c.tpl.bytes[1], 1) << "unit id position";
        EXPECT_EQ(f[0], 0x01) << "unit id";
        EXPECT_EQ(f[1], c.function);
        EXPECT_EQ((f[2] << 8) | f[3], c.start);
        EXPECT_EQ((f[4] << 8) | f[5], c.count);
        if (c.function == 16) {
            ASSERT_EQ(f.size(), 11u);
            EXPECT_EQ(f[6], 2 * c.count) << "byte count";
            EXPECT_EQ((f[7] << 8) | f[8], c.written);
        } else {
            EXPECT_EQ(f.size(), 8u);
        }
        EXPECT_EQ(f[f.size() - 2], 0);
        EXPECT_EQ(f[f.size() - 1], 0);
    }
}

// ---- completion, M-Bus ----

TEST(CompleteRequestTemplate, MBusPrimarySetsAddressAndChecksum)
{
    FrameBuffers frames;
    const int n = CompleteRequestTemplate(TplMbusSndNke, 5, MBus('5'), frames);
    EXPECT_EQ(Sent(frames, n), (std::vector<uint8_t>{0x10, 0x40, 0x05, 0x45, 0x16}));

    for (const auto& t : kMBusPrimary) {
        SCOPED_TRACE(t.name);
        const int length = CompleteRequestTemplate(t.bytes, 0xA3, MBus('5', 1), frames);
        ASSERT_EQ(length, t.bytes[0]);
        const std::vector<uint8_t> sent = Sent(frames, length);
        EXPECT_EQ(sent[t.bytes[1] - 1], 0xA3);
        EXPECT_EQ(sent[sent.size() - 2], SumFromCField(sent));
    }
}

TEST(CompleteRequestTemplate, PsFieldSelectFormFollowsSelectFrameKind)
{
    const struct {
        const char* what;
        std::span<const uint8_t> tpl;
        char mode;
        uint8_t kind;
        size_t vif;  // 0-based index of the record's VIF
        uint8_t expectVif, expectVife;
    } cases[] = {
        {"primary, kind 0", TplMbusPsSelectMeasurement, '5', 0, 8, 0xFF, 0x51},
        {"primary, kind 1", TplMbusPsSelectMeasurement, '5', 1, 8, 0xFD, 0x0B},
        {"primary spare, kind 0", TplMbusPsSelectSpare, '5', 0, 8, 0xFF, 0x51},
        {"secondary, kind 0", TplMbusSecPsSelectDeviceInfo, '6', 0, 16, 0xFF, 0x51},
        {"secondary, kind 1", TplMbusSecPsSelectDeviceInfo, '6', 1, 16, 0xFD, 0x0B},
    };
    for (const auto& c : cases) {
        FrameBuffers frames;
        const int n = CompleteRequestTemplate(c.tpl, 1, MBus(c.mode, c.kind, "00000001"), frames);
        const std::vector<uint8_t> sent = Sent(frames, n);
        ASSERT_GT(sent.size(), c.vif + 1) << c.what;
        EXPECT_EQ(sent[c.vif], c.expectVif) << c.what;
        EXPECT_EQ(sent[c.vif + 1], c.expectVife) << c.what;
        EXPECT_EQ(sent[sent.size() - 2], SumFromCField(sent)) << c.what;
    }
    // Frames of other lengths keep their bytes whatever the kind.
    FrameBuffers frames;
    const int n = CompleteRequestTemplate(TplMbusDemandNewest, 1, MBus('5', 0), frames);
    EXPECT_EQ(frames.TxBuffer[8], 0xFF);
    EXPECT_EQ(frames.TxBuffer[9], 0x18);
    EXPECT_EQ(n, 13);
}

TEST(CompleteRequestTemplate, ScanKeepsTheStoredSelectForm)
{
    FrameBuffers frames;
    const int n = CompleteMBusScanRequest(TplMbusPsSelectMeasurement, 9, frames);
    ASSERT_EQ(n, 25);
    EXPECT_EQ(frames.TxBuffer[5], 9);
    EXPECT_EQ(frames.TxBuffer[8], 0xFD);
    EXPECT_EQ(frames.TxBuffer[9], 0x0B);
    EXPECT_EQ(Sent(frames, CompleteMBusScanRequest(TplMbusSndNke, 250, frames)),
              (std::vector<uint8_t>{0x10, 0x40, 0xFA, 0x3A, 0x16}));
}

TEST(CompleteRequestTemplate, SecondaryIdentificationAndManufacturer)
{
    const struct {
        const char* address;
        uint8_t manufacturer;
        std::vector<uint8_t> id;
        uint8_t low, high;
    } cases[] = {
        {"12345678", 1, {0x78, 0x56, 0x34, 0x12}, 0xCB, 0x52},
        {"12345678", 2, {0x78, 0x56, 0x34, 0x12}, 0x84, 0x39},
        {"00000042", 0, {0x42, 0x00, 0x00, 0x00}, 0xFF, 0xFF},
        {"FFFFFFFF", 1, {0xFF, 0xFF, 0xFF, 0xFF}, 0xCB, 0x52},
        {"1234FFFF", 9, {0xFF, 0xFF, 0x34, 0x12}, 0xFF, 0xFF},  // an unknown row is the wildcard
        {"1234", 1, {0x00, 0x00, 0x34, 0x12}, 0xCB, 0x52},      // missing digits count as 0
    };
    for (const auto& c : cases) {
        for (const auto& t : {TPL(TplMbusSecSelect), TPL(TplMbusSecDemandPrev)}) {
            SCOPED_TRACE(std::string(t.name) + " " + c.address);
            FrameBuffers frames;
            const int n = CompleteRequestTemplate(t.bytes, 77, MBus('6', 0, c.address, c.manufacturer), frames);
            ASSERT_EQ(n, t.bytes[0]);
            const std::vector<uint8_t> sent = Sent(frames, n);
            EXPECT_EQ(std::vector<uint8_t>(sent.begin() + 7, sent.begin() + 11), c.id);
            EXPECT_EQ(sent[11], c.low);
            EXPECT_EQ(sent[12], c.high);
            EXPECT_EQ(sent[5], 0xFD) << "the address argument is not used";
            EXPECT_EQ(sent[sent.size() - 2], SumFromCField(sent));
        }
    }
}

TEST(CompleteRequestTemplate, SecondaryShortFramesOnlyGetTheirChecksum)
{
    FrameBuffers frames;
    const int n = CompleteRequestTemplate(TplMbusSecReqUd2Fcb1, 5, MBus('6', 0, "12345678", 1), frames);
    EXPECT_EQ(Sent(frames, n), (std::vector<uint8_t>{0x10, 0x7B, 0xFD, 0x78, 0x16}));
}

// ---- completion, Modbus ----

TEST(CompleteRequestTemplate, ModbusRtuAppendsCrcLowByteFirst)
{
    FrameBuffers frames;
    const int n = CompleteRequestTemplate(TplModbusScan, 1, Modbus('3'), frames);
    EXPECT_EQ(Sent(frames, n), (std::vector<uint8_t>{0x01, 0x03, 0x29, 0x04, 0x00, 0x01, 0xCD, 0x97}));
    EXPECT_EQ(frames.CrcLow, 0xCD);
    EXPECT_EQ(frames.CrcHigh, 0x97);

    const int m = CompleteRequestTemplate(TplModbusIn0000x15, 0x11, Modbus('3'), frames);
    EXPECT_EQ(Sent(frames, m), (std::vector<uint8_t>{0x11, 0x04, 0x00, 0x00, 0x00, 0x0F, frames.CrcLow, frames.CrcHigh}));
    const TCrc16 crc = ModbusCrc16(frames.TxBuffer, 6);
    EXPECT_EQ(frames.CrcLow, crc.Low);
    EXPECT_EQ(frames.CrcHigh, crc.High);
}

TEST(CompleteRequestTemplate, ModbusTcpPutsTheMbapHeaderFirst)
{
    FrameBuffers frames;
    std::memset(frames.TxBuffer, 0xAA, sizeof frames.TxBuffer);
    const int n = CompleteRequestTemplate(TplModbusIn3000x36, 7, Modbus('4'), frames);
    EXPECT_EQ(Sent(frames, n),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0x06, 0x01, 0x04, 0x0B, 0xB8, 0x00, 0x24}));

    const int w = CompleteRequestTemplate(TplModbusCertifiedNext, 7, Modbus('4'), frames);
    EXPECT_EQ(Sent(frames, w),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0x09, 0x01, 0x10, 0x2C, 0x88, 0x00, 0x01, 0x02, 0x00, 0x02}));
}

TEST(CompleteRequestTemplate, NothingIsSentForUnknownCodes)
{
    const TRequestTarget targets[] = {Modbus(0), Modbus('1'), Modbus('5'), MBus('4'), MBus(0)};
    for (const auto& target : targets) {
        FrameBuffers frames;
        std::memset(frames.TxBuffer, 0xAA, sizeof frames.TxBuffer);
        EXPECT_EQ(CompleteRequestTemplate(TplModbusScan, 1, target, frames), 0)
            << target.TransportCode << " " << target.AddressingMode;
        EXPECT_EQ(frames.TxBuffer[0], 0xAA);
    }
}

TEST(CompleteRequestTemplate, CustomRequestsAreCompletedLikeFixedOnes)
{
    FrameBuffers frames;
    const uint8_t write[] = {11, 1, 0x01, 0x10, 0x28, 0xA0, 0x00, 0x01, 0x02, 0x00, 0x0F, 0x00, 0x00};
    std::memcpy(frames.CustomRequest, write, sizeof write);
    const int n = CompleteRequestTemplate(frames.CustomRequest, 3, Modbus('3'), frames);
    ASSERT_EQ(n, 11);
    EXPECT_EQ(frames.TxBuffer[0], 3);
    EXPECT_EQ(frames.TxBuffer[8], 0x0F);
    const TCrc16 crc = ModbusCrc16(frames.TxBuffer, 9);
    EXPECT_EQ(frames.TxBuffer[9], crc.Low);
    EXPECT_EQ(frames.TxBuffer[10], crc.High);
}

TEST(CompleteRequestTemplate, MalformedTemplatesSendNothing)
{
    const struct {
        const char* what;
        std::vector<uint8_t> tpl;
        TRequestTarget target;
    } cases[] = {
        {"empty", {}, Modbus('3')},
        {"length beyond the template", {8, 1, 0x01, 0x03, 0x00}, Modbus('3')},
        {"frame too short for a CRC", {3, 1, 0x01, 0x00, 0x00}, Modbus('3')},
        {"M-Bus address position 0", {5, 0, 0x10, 0x40, 0x00, 0x00, 0x16}, MBus('5')},
        {"M-Bus address on the checksum", {5, 4, 0x10, 0x40, 0x00, 0x00, 0x16}, MBus('5')},
        {"identification runs into the checksum", {9, 5, 0x68, 0x03, 0x03, 0x68, 0x73, 0xFD, 0x52, 0x00, 0x16},
         MBus('6', 0, "12345678")},
    };
    for (const auto& c : cases) {
        FrameBuffers frames;
        EXPECT_EQ(CompleteRequestTemplate(c.tpl, 1, c.target, frames), 0) << c.what;
    }
}

TEST(CompleteRequestTemplate, FramesThatDoNotFitTheTransmitBufferSendNothing)
{
    FrameBuffers frames;
    // 200 bytes fit on RTU; the TCP header makes them 204.
    std::vector<uint8_t> tpl(202, 0);
    tpl[0] = 200;
    tpl[1] = 1;
    EXPECT_EQ(CompleteRequestTemplate(tpl, 1, Modbus('3'), frames), 200);
    EXPECT_EQ(CompleteRequestTemplate(tpl, 1, Modbus('4'), frames), 0);
    tpl[0] = 196;
    EXPECT_EQ(CompleteRequestTemplate(tpl, 1, Modbus('4'), frames), 200);

    // CustomRequest holds more than TxBuffer can take.
    frames.CustomRequest[0] = 205;
    frames.CustomRequest[1] = 1;
    EXPECT_EQ(CompleteRequestTemplate(frames.CustomRequest, 1, Modbus('3'), frames), 0);
}
