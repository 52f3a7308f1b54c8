#include "platform/ComPort.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <atomic>
#include <functional>
#include <memory>

#include "../support/TestPeers.h"
#include "platform/PortPaths.h"
#include "platform/SerialLine.h"

using testsupport::PtyPair;
using testsupport::ScopedConfigHome;

using namespace std::chrono;

namespace {

// Item indexes of the baud-rate list.
constexpr int Item300 = 0;
constexpr int Item2400 = 3;
constexpr int Item9600 = 5;
constexpr int Item19200 = 6;

long long MsSince(steady_clock::time_point start)
{
    return duration_cast<milliseconds>(steady_clock::now() - start).count();
}

class ComPortTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        // Ports first: their hang-up must not meet a socat already gone.
        if (port)
            DeleteComPort(port);
        if (second)
            DeleteComPort(second);
        pairs.clear();
    }

    // Starts a pseudo-terminal pair and links its tool end in as COM<number>.
    PtyPair& Pair(int number)
    {
        pairs.push_back(std::make_unique<PtyPair>(config.PortLink(number),
                                                  config.Root() + "/peer" + std::to_string(number)));
        EXPECT_TRUE(pairs.back()->Ready()) << "socat did not start";
        return *pairs.back();
    }

    void Select(TransportState& l, char transport, int number, int mode = 0)
    {
        l.TransportCode = transport;
        l.PortIndex = number - 1;
        SetSerialFraming(l, mode);
    }

    ScopedConfigHome config;
    std::vector<std::unique_ptr<PtyPair>> pairs;
    TransportState link;
    TCOMPort* port = nullptr;
    TCOMPort* second = nullptr;
};

TEST(PortNamesTest, NamesOfAllIndexes)
{
    ASSERT_EQ(PortNames.size(), 256u);
    EXPECT_EQ(PortNames[0], "COM1");
    EXPECT_EQ(PortNames[8], "COM9");
    EXPECT_EQ(PortNames[9], "COM10");
    EXPECT_EQ(PortNames[255], "COM256");
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(PortIndexOfName(PortNames[static_cast<size_t>(i)]), i);
}

TEST(PortPathsTest, DefaultDevicesByNumber)
{
    ScopedConfigHome config;
    const std::pair<const char*, const char*> rows[] = {
        {"COM1", "/dev/ttyS0"},    {"COM32", "/dev/ttyS31"},   {"COM33", "/dev/ttyUSB0"},
        {"COM64", "/dev/ttyUSB31"}, {"COM65", "/dev/ttyACM0"}, {"COM96", "/dev/ttyACM31"},
        {"COM97", ""},             {"COM256", ""},            {"COM0", ""},
        {"COM257", ""},            {"LPT1", ""},
    };
    for (const auto& [name, path] : rows)
        EXPECT_EQ(SerialDevicePathOfName(name), path) << name;
}

TEST(PortPathsTest, LinkInConfigFolderWins)
{
    ScopedConfigHome config;
    // A dangling link still belongs to the user's mapping.
    ASSERT_EQ(::symlink("/nonexistent/device", config.PortLink(3).c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", config.PortLink(200).c_str()), 0);
    EXPECT_EQ(SerialDevicePathOfName("COM3"), config.PortLink(3));
    EXPECT_EQ(SerialDevicePathOfName("COM200"), config.PortLink(200));
    EXPECT_EQ(SerialDevicePathOfName("COM4"), "/dev/ttyS3");
}

TEST(PortPathsTest, ConfigFolderFallsBackToHome)
{
    ScopedConfigHome config;
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    ::setenv("HOME", config.Root().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserConfigFolder(), config.Root() + "/.config");
    EXPECT_EQ(PortLinkPath(7), config.Root() + "/.config/TORVA_ORBICOUNT_TOOL/ports/com7");
    ::setenv("XDG_CONFIG_HOME", "", 1); // empty counts as unset
    EXPECT_EQ(UserConfigFolder(), config.Root() + "/.config");
    if (oldHome)
        ::setenv("HOME", savedHome.c_str(), 1);
    else
        ::unsetenv("HOME");
}

TEST(ComPortParamsTest, ConstructorTakesWindowSettingsWithinRange)
{
    struct Row {
        int portIndex, dataBits, stopBits, parity, baudItem;
        const char* name;
        int dataCode, stopCode, parityCode, baudCode;
    };
    const Row rows[] = {
        {2, 3, 0, 1, Item9600, "COM3", 3, 0, 1, 6},
        {8, 2, 1, 4, 9, "COM9", 2, 1, 4, 12},
        {9, 0, 2, 3, Item300, "COM10", 0, 2, 3, 1},
        // Out-of-range framing falls back to 8 data bits, one stop bit, no parity.
        {255, 7, 5, 9, -1, "COM256", 3, 0, 0, 4},
        {-1, -1, -1, -1, 10, "COM256", 3, 0, 0, 4},
        {256, 3, 0, 0, Item19200, "COM1", 3, 0, 0, 8},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TransportState l;
        l.PortIndex = r.portIndex;
        l.PortDataBits = r.dataBits;
        l.PortStopBits = r.stopBits;
        l.PortParity = r.parity;
        TCOMPort p(l, r.baudItem);
        EXPECT_EQ(p.PortName(), r.name);
        EXPECT_EQ(p.Params->DataBitsCode, r.dataCode);
        EXPECT_EQ(p.Params->StopBitsCode, r.stopCode);
        EXPECT_EQ(p.Params->ParityCode, r.parityCode);
        EXPECT_EQ(p.Params->BaudCode, r.baudCode);
        EXPECT_EQ(p.Params->InQueueSize, 1024u);
        EXPECT_EQ(p.Params->OutQueueSize, 1024u);
        EXPECT_FALSE(p.IsOpen());
        EXPECT_EQ(p.ShortTimeoutFlag, 0);
    }
}

TEST_F(ComPortTest, WritesAndReadsBothWays)
{
    PtyPair& pair = Pair(5);
    Select(link, tcModbusRtu, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    EXPECT_EQ(link.PortOpen, 1);
    EXPECT_EQ(link.PortOpenError, 0);
    ASSERT_NE(port, nullptr);

    const uint8_t request[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B};
    EXPECT_EQ(port->Write(8, request), 8);
    EXPECT_EQ(pair.PeerRead(8, 2000), std::vector<uint8_t>(request, request + 8));

    // Every byte value passes untouched: no line discipline in between.
    std::vector<uint8_t> answer(256);
    for (size_t i = 0; i < answer.size(); ++i)
        answer[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(pair.PeerWrite(answer));
    uint8_t rx[300] = {};
    int16_t got = 0;
    while (got < 256) {
        const int16_t n = port->Read(static_cast<int16_t>(256 - got), rx + got);
        if (n == 0)
            break;
        got = static_cast<int16_t>(got + n);
    }
    ASSERT_EQ(got, 256);
    EXPECT_EQ(std::vector<uint8_t>(rx, rx + 256), answer);
}

TEST_F(ComPortTest, ReadReturnsOnceCountIsReached)
{
    PtyPair& pair = Pair(5);
    Select(link, tcMBus, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item300)); // interval 3000, total 8000
    ASSERT_TRUE(pair.PeerWrite({0x10, 0x40, 0xFE, 0x3E, 0x16, 0xE5}));
    uint8_t rx[8] = {};
    const auto start = steady_clock::now();
    EXPECT_EQ(port->Read(5, rx), 5);
    EXPECT_LT(MsSince(start), 2000);
    EXPECT_EQ(rx[4], 0x16);
    // The sixth byte waits for the next read.
    EXPECT_EQ(port->Read(1, rx), 1);
    EXPECT_EQ(rx[0], 0xE5);
}

TEST_F(ComPortTest, GapAfterLastByteEndsRead)
{
    PtyPair& pair = Pair(5);
    Select(link, tcMBus, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item2400)); // interval 400, total 4000
    ASSERT_EQ(port->Timeouts().ReadIntervalTimeout, 400u);
    ASSERT_TRUE(pair.PeerWrite({0x68, 0x03, 0x03}));
    uint8_t rx[16] = {};
    const auto start = steady_clock::now();
    EXPECT_EQ(port->Read(16, rx), 3);
    const auto ms = MsSince(start);
    EXPECT_GE(ms, 395);
    EXPECT_LT(ms, 2500); // well before the total of 4000
}

TEST_F(ComPortTest, TotalTimeoutEndsReadWithoutBytes)
{
    Pair(5);
    Select(link, tcModbusRtu, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item19200)); // interval 200, total 1000
    uint8_t rx[16] = {};
    const auto start = steady_clock::now();
    EXPECT_EQ(port->Read(16, rx), 0);
    const auto ms = MsSince(start);
    // The interval only counts after a byte: nothing came, so the total rules.
    EXPECT_GE(ms, 995);
    EXPECT_LT(ms, 3000);
}

TEST_F(ComPortTest, TotalTimeoutEndsSteadyTrickle)
{
    PtyPair& pair = Pair(5);
    Select(link, tcMBus, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item9600)); // interval 300, total 1000
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 100 && !stop; ++i) {
            pair.PeerWrite({static_cast<uint8_t>(i)});
            std::this_thread::sleep_for(milliseconds(40));
        }
    });
    uint8_t rx[200] = {};
    const auto start = steady_clock::now();
    const int16_t got = port->Read(200, rx);
    const auto ms = MsSince(start);
    stop = true;
    writer.join();
    EXPECT_GE(ms, 995);
    EXPECT_LT(ms, 2500);
    EXPECT_GE(got, 5);
    EXPECT_LT(got, 100);
    for (int i = 0; i < got; ++i)
        EXPECT_EQ(rx[i], i);
}

TEST_F(ComPortTest, ShortTimeoutsServeOnlyTheNextSetup)
{
    Pair(5);
    Select(link, tcModbusRtu, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item19200, /*shortTimeouts=*/true));
    EXPECT_EQ(port->Timeouts().ReadIntervalTimeout, 200u);
    EXPECT_EQ(port->Timeouts().ReadTotalTimeoutConstant, 100u);
    EXPECT_EQ(port->ShortTimeoutFlag, 0);
    uint8_t rx[4] = {};
    const auto start = steady_clock::now();
    EXPECT_EQ(port->Read(4, rx), 0);
    const auto ms = MsSince(start);
    EXPECT_GE(ms, 95);
    EXPECT_LT(ms, 800);

    port->Setup();
    EXPECT_EQ(port->Timeouts().ReadTotalTimeoutConstant, 1000u);

    // M-Bus at 300 baud: the short wait shortens the total, never the interval.
    Pair(6);
    TransportState mbus;
    Select(mbus, tcMBus, 6);
    ASSERT_TRUE(OpenComPort(second, mbus, Item300, true));
    EXPECT_EQ(second->Timeouts().ReadIntervalTimeout, 3000u);
    EXPECT_EQ(second->Timeouts().ReadTotalTimeoutConstant, 300u);
    second->Setup();
    EXPECT_EQ(second->Timeouts().ReadTotalTimeoutConstant, 8000u);
}

TEST_F(ComPortTest, LineSettingsReachTheDevice)
{
    Pair(5);
    Select(link, tcModbusRtu, 5);
    const std::pair<int, uint32_t> items[] = {
        {0, 300}, {2, 1200}, {5, 9600}, {6, 19200}, {7, 38400}, {8, 57600}, {9, 115200}, {-1, 2400}};
    for (const auto& [item, rate] : items) {
        SCOPED_TRACE(rate);
        ASSERT_TRUE(OpenComPort(port, link, item));
        EXPECT_EQ(ReadLineSpeed(port->Handle), rate);
        termios tio{};
        ASSERT_EQ(tcgetattr(port->Handle, &tio), 0);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
        EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
    }
    // Rates without a termios constant, which the list never offers.
    for (const auto& [code, rate] : {std::pair<int, uint32_t>{0, 110}, {7, 14400}, {10, 56000}}) {
        port->Params->BaudCode = static_cast<int8_t>(code);
        port->SetupLine();
        EXPECT_EQ(ReadLineSpeed(port->Handle), rate);
    }
    SetSerialFraming(link, 2); // 8N2
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    termios tio{};
    ASSERT_EQ(tcgetattr(port->Handle, &tio), 0);
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
}

TEST_F(ComPortTest, EveryParityOpensOnPseudoTerminal)
{
    PtyPair& pair = Pair(5);
    for (int parity = 0; parity <= 4; ++parity) {
        SCOPED_TRACE(parity);
        Select(link, tcModbusRtu, 5);
        link.PortParity = parity;
        EXPECT_NO_THROW(EXPECT_TRUE(OpenComPort(port, link, Item19200)));
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(port->Params->ParityCode, parity);
        const uint8_t b = static_cast<uint8_t>(0xA0 + parity);
        EXPECT_EQ(port->Write(1, &b), 1);
        EXPECT_EQ(pair.PeerRead(1, 2000), std::vector<uint8_t>{b});
    }
}

TEST_F(ComPortTest, ReopenAfterCloseAndNoStaleBytes)
{
    PtyPair& pair = Pair(5);
    Select(link, tcModbusRtu, 5);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // Bytes sent while nobody listened are not taken for an answer.
        ASSERT_TRUE(pair.PeerWrite({0xEE, 0xEE}));
        std::this_thread::sleep_for(milliseconds(200));
        ASSERT_TRUE(OpenComPort(port, link, Item19200, true));
        ASSERT_TRUE(pair.PeerWrite({0x11}));
        uint8_t rx[4] = {};
        EXPECT_EQ(port->Read(4, rx), 1);
        EXPECT_EQ(rx[0], 0x11);
        CloseComPort(port, link);
        EXPECT_EQ(port, nullptr);
        EXPECT_EQ(link.PortOpen, 0);
    }
    // Reopen of one object keeps it usable.
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    port->Reopen();
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(link.PortOpen, 1);
    const uint8_t b = 0x5A;
    EXPECT_EQ(port->Write(1, &b), 1);
    EXPECT_EQ(pair.PeerRead(1, 2000), std::vector<uint8_t>{b});
}

TEST_F(ComPortTest, SecondOpenOfSamePortFails)
{
    PtyPair& pair = Pair(5);
    Select(link, tcModbusRtu, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    TransportState other;
    Select(other, tcModbusRtu, 5);
    EXPECT_FALSE(OpenComPort(second, other, Item19200));
    EXPECT_EQ(other.PortOpenError, 1);
    EXPECT_EQ(second, nullptr);
    // The first user keeps its port.
    const uint8_t b = 0x42;
    EXPECT_EQ(port->Write(1, &b), 1);
    EXPECT_EQ(pair.PeerRead(1, 2000), std::vector<uint8_t>{b});
    CloseComPort(port, link);
    EXPECT_TRUE(OpenComPort(second, other, Item19200));
}

TEST_F(ComPortTest, PortThatCannotOpenIsReportedByFlags)
{
    ASSERT_EQ(::symlink("/nonexistent/tty", config.PortLink(5).c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", config.PortLink(6).c_str()), 0); // not a terminal
    for (int number : {5, 6, 97, 200, 256}) {
        SCOPED_TRACE(number);
        Select(link, tcMBus, number);
        link.PortOpen = 1; // a stale flag must not survive a failed open
        EXPECT_NO_THROW(EXPECT_FALSE(OpenComPort(port, link, Item2400)));
        EXPECT_EQ(link.PortOpen, 0);
        EXPECT_EQ(link.PortOpenError, 1);
        EXPECT_EQ(port, nullptr); // the failed object deleted itself
    }
    // An object nobody owns stays alive, closed, and Reopen skips the setup.
    Select(link, tcMBus, 200);
    TCOMPort loose(link, Item2400);
    EXPECT_NO_THROW(loose.Reopen());
    EXPECT_FALSE(loose.IsOpen());
    EXPECT_EQ(link.PortOpenError, 1);
    EXPECT_NO_THROW(loose.Setup());
    // A later successful open clears the error flag.
    Pair(7);
    Select(link, tcMBus, 7);
    EXPECT_TRUE(OpenComPort(port, link, Item2400));
    EXPECT_EQ(link.PortOpenError, 0);
}

TEST_F(ComPortTest, ExceptionTexts)
{
    Pair(3);
    struct Row {
        const char* what;
        int portIndex;
        bool open; // the port is opened and its descriptor then replaced by a pipe
        std::function<void(TCOMPort&)> act;
        const char* text;
    };
    uint8_t buf[4] = {};
    const Row rows[] = {
        {"read closed", 0, false, [&](TCOMPort& p) { p.Read(4, buf); }, "Port COM1 is not open"},
        {"write closed", 2, false, [&](TCOMPort& p) { p.Write(4, buf); }, "Port COM3 is not open"},
        {"read closed", 255, false, [&](TCOMPort& p) { p.Read(1, buf); }, "Port COM256 is not open"},
        {"queues", 2, true, [](TCOMPort& p) { p.SetupQueues(); }, "Cannot setup 4COM3"},
        {"setup", 2, true, [](TCOMPort& p) { p.Setup(); }, "Cannot setup 4COM3"},
        {"line", 2, true, [](TCOMPort& p) { p.SetupLine(); }, "Error:5 Cannot setupCOM3"},
        {"timeouts", 2, true, [](TCOMPort& p) { p.SetupTimeouts(); }, "Cannot setup 6COM3"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TransportState rowLink;
        Select(rowLink, tcModbusRtu, r.portIndex + 1);
        if (r.open) {
            ASSERT_TRUE(OpenComPort(port, rowLink, Item19200));
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            ASSERT_GE(::dup2(fds[0], port->Handle), 0);
            ::close(fds[0]);
            ::close(fds[1]);
        } else {
            port = new TCOMPort(rowLink, Item19200);
        }
        try {
            r.act(*port);
            ADD_FAILURE() << "no exception";
        } catch (const ECOMPort& e) {
            EXPECT_STREQ(e.what(), r.text);
        }
        // A setup failure leaves the port open as far as the window knows.
        EXPECT_EQ(rowLink.PortOpen, r.open ? 1 : 0);
        DeleteComPort(port);
    }
}

TEST_F(ComPortTest, FailedCloseIsReportedOnceAndForgetsDescriptor)
{
    Pair(3);
    Select(link, tcModbusRtu, 3);
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    ASSERT_EQ(::close(port->Handle), 0); // the descriptor vanished behind the port's back
    try {
        port->Close();
        ADD_FAILURE() << "no exception";
    } catch (const ECOMPort& e) {
        EXPECT_STREQ(e.what(), "Cannot close COM3");
    }
    EXPECT_EQ(port->Handle, -1);
    EXPECT_NO_THROW(port->Close());
    EXPECT_THROW(port->Read(1, nullptr), ECOMPort);
}

TEST_F(ComPortTest, UnpluggedDeviceFailsFastWithoutSpinning)
{
    PtyPair& pair = Pair(5);
    Select(link, tcMBus, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item300)); // total 8000
    pair.Stop();
    uint8_t rx[8] = {};
    const auto start = steady_clock::now();
    const clock_t cpuStart = std::clock();
    EXPECT_EQ(port->Read(8, rx), 0);
    EXPECT_LT(MsSince(start), 4000);
    EXPECT_EQ(port->Write(2, rx), 0);
    EXPECT_LT(double(std::clock() - cpuStart) / CLOCKS_PER_SEC, 1.0);
    try {
        port->Setup();
        ADD_FAILURE() << "no exception";
    } catch (const ECOMPort& e) {
        EXPECT_STREQ(e.what(), "Cannot setup 4COM5");
    }
    EXPECT_NO_THROW(CloseComPort(port, link));
}

TEST_F(ComPortTest, RefreshReplacesThePort)
{
    PtyPair& pair = Pair(5);
    Select(link, tcMBus, 5);
    auto start = steady_clock::now();
    RefreshCom(port, link, Item2400); // nothing open: one pause, then open
    EXPECT_GE(MsSince(start), 195);
    ASSERT_EQ(link.PortOpen, 1);
    ASSERT_NE(port, nullptr);

    start = steady_clock::now();
    RefreshCom(port, link, Item2400); // open: close, pause, pause, open
    EXPECT_GE(MsSince(start), 395);
    ASSERT_EQ(link.PortOpen, 1);
    const uint8_t b = 0x7B;
    EXPECT_EQ(port->Write(1, &b), 1);
    EXPECT_EQ(pair.PeerRead(1, 2000), std::vector<uint8_t>{b});

    pair.Stop(); // the device is gone: the refresh reports it through the flags
    RefreshCom(port, link, Item2400);
    EXPECT_EQ(link.PortOpen, 0);
    EXPECT_EQ(link.PortOpenError, 1);
    EXPECT_EQ(port, nullptr);
}

TEST_F(ComPortTest, ProbeOfAllNamesIsQuick)
{
    Pair(3);
    Pair(7);
    Pair(130); // beyond the system names, reachable only by its link
    // Keep the machine's own serial devices out of the test: the other system
    // names lead to a device that is not there.
    for (int number = 1; number <= 96; ++number) {
        if (number == 3 || number == 7)
            continue;
        ASSERT_EQ(::symlink("/nonexistent/tty", config.PortLink(number).c_str()), 0);
    }
    Select(link, tcModbusRtu, 3);

    // What one port that opens costs here, to scale the bound by this machine.
    const auto unitStart = steady_clock::now();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(OpenComPort(port, link, Item19200));
        CloseComPort(port, link);
    }
    const auto perPort = duration_cast<microseconds>(steady_clock::now() - unitStart) / 10;

    ASSERT_TRUE(OpenComPort(port, link, Item19200)); // an open port is closed first
    const auto start = steady_clock::now();
    const std::vector<int> found = ProbeSerialPorts(port, link, Item19200);
    const auto took = steady_clock::now() - start;
    const auto bound = milliseconds(1500) + perPort * 256 * 4;
    EXPECT_LT(took, bound) << duration_cast<milliseconds>(took).count() << " ms";

    EXPECT_EQ(found, (std::vector<int>{2, 6, 129}));
    EXPECT_EQ(link.PortIndex, 255);
    EXPECT_EQ(link.PortOpen, 0);
    EXPECT_EQ(port, nullptr);
    // The probe released every port it opened.
    TransportState again;
    Select(again, tcModbusRtu, 7);
    EXPECT_TRUE(OpenComPort(second, again, Item19200));
}

TEST_F(ComPortTest, ReadTimeoutRulesOfTheSpecialValues)
{
    PtyPair& pair = Pair(5);
    Select(link, tcModbusRtu, 5);
    ASSERT_TRUE(OpenComPort(port, link, Item19200));
    uint8_t rx[8] = {};

    // Interval "none" without totals: what is there, at once.
    port->SetTimeouts({SerialTimeoutMax, 0, 0});
    auto start = steady_clock::now();
    EXPECT_EQ(port->Read(8, rx), 0);
    EXPECT_LT(MsSince(start), 500);

    // Both "none" with a constant: waits for the first bytes only.
    port->SetTimeouts({SerialTimeoutMax, SerialTimeoutMax, 600});
    start = steady_clock::now();
    EXPECT_EQ(port->Read(8, rx), 0);
    EXPECT_GE(MsSince(start), 595);
    ASSERT_TRUE(pair.PeerWrite({1, 2, 3}));
    std::this_thread::sleep_for(milliseconds(20));
    start = steady_clock::now();
    EXPECT_EQ(port->Read(8, rx), 3);
    EXPECT_LT(MsSince(start), 500);

    // The multiplier counts per byte asked for: 8 * 50 + 100 ms.
    port->SetTimeouts({0, 50, 100});
    start = steady_clock::now();
    EXPECT_EQ(port->Read(8, rx), 0);
    const auto ms = MsSince(start);
    EXPECT_GE(ms, 495);
    EXPECT_LT(ms, 2500);
}

} // namespace
