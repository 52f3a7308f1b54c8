#include "core/FrameChecks.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Bit by bit, as the serial line description states it: no tables.
TCrc16 BitwiseCrc(const std::vector<uint8_t>& bytes)
{
    uint16_t crc = 0xFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return TCrc16{static_cast<uint8_t>(crc & 0xFF), static_cast<uint8_t>(crc >> 8)};
}

TCrc16 TableCrc(const std::vector<uint8_t>& bytes)
{
    return ModbusCrc16(bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace

TEST(ModbusCrc16, KnownRequests)
{
    const struct {
        std::vector<uint8_t> frame;
        uint8_t first, second;
    } cases[] = {
        {{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}, 0xC5, 0xCD},
        {{0x01, 0x03, 0x00, 0x00, 0x00, 0x01}, 0x84, 0x0A},
        {{0x11, 0x03, 0x00, 0x6B, 0x00, 0x03}, 0x76, 0x87},
        {{0x01, 0x04, 0x00, 0x00, 0x00, 0x0F}, 0xB0, 0x0E},
    };
    for (const auto& c : cases) {
        const TCrc16 crc = TableCrc(c.frame);
        EXPECT_EQ(crc.Low, c.first);
        EXPECT_EQ(crc.High, c.second);
    }
}

TEST(ModbusCrc16, ScanProbeMatchesBitwiseCrc)
{
    const std::vector<uint8_t> probe = {0x01, 0x03, 0x29, 0x04, 0x00, 0x01};
    EXPECT_EQ(TableCrc(probe), BitwiseCrc(probe));
}

TEST(ModbusCrc16, EveryTableEntryMatchesBitwiseCrc)
{
    // A single byte b after the start value selects entry 0xFF ^ b of both
    // tables, so the 256 one-byte frames visit every entry once.
    for (int b = 0; b < 256; ++b) {
        const std::vector<uint8_t> one = {static_cast<uint8_t>(b)};
        EXPECT_EQ(TableCrc(one), BitwiseCrc(one)) << b;
    }
}

TEST(ModbusCrc16, RandomFramesMatchBitwiseCrc)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 500; ++round) {
        std::vector<uint8_t> frame(random() % 300);
        for (auto& b : frame)
            b = static_cast<uint8_t>(random());
        ASSERT_EQ(TableCrc(frame), BitwiseCrc(frame)) << "length " << frame.size();
    }
}

TEST(ModbusCrc16, FrameWithItsCrcLeavesZeroRemainder)
{
    std::vector<uint8_t> frame = {0x01, 0x04, 0x0B, 0xB8, 0x00, 0x24};
    const TCrc16 crc = TableCrc(frame);
    frame.push_back(crc.Low);
    frame.push_back(crc.High);
    EXPECT_EQ(TableCrc(frame), (TCrc16{0, 0}));
}

TEST(ModbusCrc16, ZeroLengthLeavesStartValue)
{
    const uint8_t byte = 0x12;
    EXPECT_EQ(ModbusCrc16(&byte, 0), (TCrc16{0xFF, 0xFF}));
    EXPECT_EQ(ModbusCrc16(nullptr, 5), (TCrc16{0xFF, 0xFF}));
}

TEST(MBusChecksum, SumsFromTheCField)
{
    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        int length;
        uint8_t sum;
    } cases[] = {
        {"short frame", {0x10, 0x40, 0x05, 0x00, 0x16}, 3, 0x45},
        {"short frame, REQ_UD2", {0x10, 0x7B, 0xFE, 0x00, 0x16}, 3, 0x79},
        {"long frame skips 68 L L 68", {0x68, 0x03, 0x03, 0x68, 0x73, 0x01, 0x51, 0x00, 0x16}, 7, 0xC5},
        {"single character sums from the first byte", {0xE5, 0x01, 0x02}, 3, 0xE8},
        {"other first byte sums from it", {0x20, 0x30}, 2, 0x50},
        {"wraps modulo 256", {0x10, 0xFF, 0xFF, 0x00, 0x16}, 3, 0xFE},
        {"length not past the C field", {0x68, 0x03, 0x03, 0x68, 0x73}, 4, 0x00},
        {"short frame, length 1", {0x10, 0x40}, 1, 0x00},
        {"zero length", {0xE5}, 0, 0x00},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MBusChecksum(c.frame.data(), c.length), c.sum) << c.what;
}
