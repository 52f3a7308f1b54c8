#include "core/SerialFraming.h"

#include <gtest/gtest.h>

TEST(SerialFramingTest, BaudListItemsGiveCodesAndRates)
{
    struct Row {
        int item;
        int code;
        uint32_t rate;
    };
    const Row rows[] = {
        {0, 1, 300},      {1, 2, 600},     {2, 3, 1200},    {3, 4, 2400},   {4, 5, 4800},
        {5, 6, 9600},     {6, 8, 19200},   {7, 9, 38400},   {8, 11, 57600}, {9, 12, 115200},
        // No selection and items past the list run at 2400 baud.
        {-1, 4, 2400},    {10, 4, 2400},   {255, 4, 2400},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.item);
        EXPECT_EQ(BaudCodeOfItemIndex(r.item), r.code);
        EXPECT_EQ(BaudRateOfCode(BaudCodeOfItemIndex(r.item)), r.rate);
    }
}

TEST(SerialFramingTest, CodesNotInTheListStillHaveRates)
{
    EXPECT_EQ(BaudRateOfCode(0), 110u);
    EXPECT_EQ(BaudRateOfCode(7), 14400u);
    EXPECT_EQ(BaudRateOfCode(10), 56000u);
    EXPECT_EQ(BaudRateOfCode(13), 9600u);
    EXPECT_EQ(BaudRateOfCode(-1), 9600u);
}

TEST(SerialFramingTest, SerialModesGiveFraming)
{
    struct Row {
        int mode;
        int dataBits, stopBits, parity;
    };
    const Row rows[] = {
        {0, 3, 0, 1}, {1, 3, 0, 2}, {2, 3, 2, 0}, {3, 3, 0, 0},
        // Anything else is the M-Bus framing 8E1.
        {4, 3, 0, 1}, {-1, 3, 0, 1}, {255, 3, 0, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.mode);
        TransportState link;
        link.PortDataBits = link.PortStopBits = link.PortParity = -7;
        SetSerialFraming(link, r.mode);
        EXPECT_EQ(link.PortDataBits, r.dataBits);
        EXPECT_EQ(link.PortStopBits, r.stopBits);
        EXPECT_EQ(link.PortParity, r.parity);
    }
}

TEST(SerialFramingTest, ReadTimeoutsByTransportAndBaudCode)
{
    struct Row {
        char transport;
        int baudCode;
        uint32_t interval, total, shortTotal;
    };
    const Row rows[] = {
        {tcMBus, 1, 3000, 8000, 300},      {tcMBus, 2, 1400, 8000, 300},
        {tcMBus, 3, 800, 4000, 300},       {tcMBus, 4, 400, 4000, 300},
        {tcMBus, 5, 300, 2000, 300},       {tcMBus, 6, 300, 1000, 300},
        {tcMBus, 0, 300, 4000, 300},       {tcMBus, 12, 300, 4000, 300},
        {tcModbusRtu, 1, 200, 5000, 800},  {tcModbusRtu, 2, 200, 2000, 600},
        {tcModbusRtu, 3, 200, 1000, 400},  {tcModbusRtu, 4, 200, 1000, 200},
        {tcModbusRtu, 8, 200, 1000, 100},  {tcModbusRtu, 12, 200, 1000, 100},
        {tcModbusRtu, 0, 200, 1000, 100},
        // A port set up without a serial transport still gets a read limit.
        {tcModbusTcp, 6, 200, 1000, 100},  {0, 1, 200, 5000, 800},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(1, r.transport) + " code " + std::to_string(r.baudCode));
        for (bool shortMode : {false, true}) {
            const SerialTimeouts t = ReadTimeoutsFor(r.transport, r.baudCode, shortMode);
            EXPECT_EQ(t.ReadIntervalTimeout, r.interval);
            EXPECT_EQ(t.ReadTotalTimeoutConstant, shortMode ? r.shortTotal : r.total);
            EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
        }
    }
}

TEST(SerialFramingTest, PortNamesToIndexes)
{
    struct Row {
        const char* text;
        std::optional<int> index;
    };
    const Row rows[] = {
        {"COM1", 0},          {"COM9", 8},          {"COM12", 11},        {"COM256", 255},
        {"COM010", 9},        {"COM257", std::nullopt}, {"COM0", std::nullopt},
        {"", std::nullopt},   {"COM", std::nullopt},    {"COMx", std::nullopt},
        {"COM-1", std::nullopt}, {"COM1 ", std::nullopt}, {"com5", std::nullopt},
        {"COM99999999999", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(PortIndexOfName(r.text), r.index);
    }
}

TEST(SerialFramingTest, RefreshedListSelectsStoredPortElseFirst)
{
    // COM1 and COM3 found, the stored port COM3 is the second item.
    EXPECT_EQ(PortListSelection({0, 2}, 2), 1);
    EXPECT_EQ(PortListSelection({0, 2}, 0), 0);
    // The stored port is gone: the first port found.
    EXPECT_EQ(PortListSelection({0, 2}, 5), 0);
    EXPECT_EQ(PortListSelection({4, 9, 17}, 17), 2);
    EXPECT_EQ(PortListSelection({}, 2), -1);
}
