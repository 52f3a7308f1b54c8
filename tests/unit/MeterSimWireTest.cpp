// meter-sim over the wire, read and written with libmodbus's own client: Modbus
// TCP on a loopback port, Modbus RTU over a socat pseudo-terminal pair, each
// fault option, broadcasts, the command line and a clean stop.
#include <gtest/gtest.h>
#include <modbus/modbus.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MeterSimHarness.h"
#include "../support/TestPeers.h"
#include "meter/ModbusServer.h"
#include "meter/SimMeter.h"

using metersim_test::FakeClock;
using testsupport::MeterSim;
using metersim_test::ModbusClient;
using testsupport::RunMeterSim;
using testsupport::PtyPair;

namespace {

using Clock = std::chrono::steady_clock;

// What one read of the device information block came to.
enum class Got { Answer, Timeout, BadCrc, Exception, Broken };

Got ReadDeviceInfo(const ModbusClient& c) {
    uint16_t regs[36];
    if (modbus_read_input_registers(*c, 3000, 36, regs) == 36) return regs[0] == 0x0501 ? Got::Answer : Got::Broken;
    if (errno == ETIMEDOUT) return Got::Timeout;
    if (errno == EMBBADCRC) return Got::BadCrc;
    if (errno >= EMBXILFUN && errno <= EMBXGTAR) return Got::Exception;
    return Got::Broken;
}

std::vector<Got> ReadSeveral(const ModbusClient& c, int n) {
    std::vector<Got> out;
    for (int k = 0; k < n; ++k) out.push_back(ReadDeviceInfo(c));
    return out;
}

}  // namespace

TEST(MeterSimWire, TcpServesValuesLoggersAndSettings) {
    MeterSim sim({"--tcp", "127.0.0.1:0", "--demand-records", "20", "--clock", "2024-05-07 10:00:00"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    EXPECT_NE(sim.Output().find("meter-sim: listening on 127.0.0.1:" + std::to_string(sim.Port()) + "\n"),
              std::string::npos);
    ModbusClient c = ModbusClient::Tcp(sim.Port());
    ASSERT_TRUE(c.Connected());
    modbus_set_slave(*c, 1);

    uint16_t info[36];
    ASSERT_EQ(modbus_read_input_registers(*c, 3000, 36, info), 36);
    EXPECT_EQ(info[0], 0x0501);  // type 5, option digit D 1
    EXPECT_EQ(info[4] & 0xFF, 1);  // Z: the ordinary demand logger

    uint16_t volts[15];
    ASSERT_EQ(modbus_read_input_registers(*c, 0, 15, volts), 15);
    EXPECT_EQ(volts[12], 0xFFFF);  // tenths of a volt
    EXPECT_NEAR(volts[4], 2320, 80);
    EXPECT_NEAR(volts[11], 5000, 10);

    uint16_t record[32];
    ASSERT_EQ(modbus_read_input_registers(*c, 3400, 32, record), 32);
    EXPECT_EQ(record[0], 0x1400);  // record 20, least significant byte first
    ASSERT_EQ(modbus_read_input_registers(*c, 3500, 32, record), 32);
    EXPECT_EQ(record[0], 0x1300);

    const uint16_t ct = 250;
    ASSERT_EQ(modbus_write_registers(*c, 10000, 1, &ct), 1);
    uint16_t back = 0;
    ASSERT_EQ(modbus_read_registers(*c, 10000, 1, &back), 1);
    EXPECT_EQ(back, 250);
    ASSERT_EQ(modbus_write_register(*c, 10400, 30), 1);
    ASSERT_EQ(modbus_read_registers(*c, 10400, 1, &back), 1);
    EXPECT_EQ(back, 30);

    // No web server: the register answers an exception, which the tool reads
    // as "no web server".
    EXPECT_EQ(modbus_read_registers(*c, 11000, 1, &back), -1);
    EXPECT_EQ(errno, EMBXILADD);
    const uint16_t tooBig = 10001;
    EXPECT_EQ(modbus_write_registers(*c, 10000, 1, &tooBig), -1);
    EXPECT_EQ(errno, EMBXILVAL);
}

TEST(MeterSimWire, TcpBroadcastIsCarriedOutButNotAnswered) {
    MeterSim sim({"--tcp", "127.0.0.1:0", "--webserver", "enabled"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient c = ModbusClient::Tcp(sim.Port());
    ASSERT_TRUE(c.Connected());
    c.SetTimeoutMs(300);
    modbus_set_slave(*c, 0);
    const uint16_t clock[4] = {0x0000, 0x0C0F, 0x06EE, 0x0700};  // 2030-06-15 12:00:00
    EXPECT_EQ(modbus_write_registers(*c, 10600, 4, clock), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    EXPECT_EQ(modbus_write_register(*c, 11000, 0), -1);
    uint16_t regs[4];
    EXPECT_EQ(modbus_read_registers(*c, 10600, 4, regs), -1);
    EXPECT_EQ(errno, ETIMEDOUT);

    modbus_set_slave(*c, 1);
    ASSERT_EQ(modbus_read_registers(*c, 10600, 4, regs), 4);
    EXPECT_EQ(regs[1], 0x0C0F);  // 12 h, 15th
    EXPECT_EQ(regs[2], 0x06EE);  // June, 2030
    EXPECT_EQ(regs[3], 0x0700);
    ASSERT_EQ(modbus_read_registers(*c, 11000, 1, regs), 1);
    EXPECT_EQ(regs[0], 0);
}

TEST(MeterSimWire, TcpIgnoresEveryNthRequest) {
    MeterSim sim({"--tcp", "127.0.0.1:0", "--no-answer-every", "3"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient c = ModbusClient::Tcp(sim.Port());
    ASSERT_TRUE(c.Connected());
    c.SetTimeoutMs(300);
    EXPECT_EQ(ReadSeveral(c, 6), (std::vector<Got>{Got::Answer, Got::Answer, Got::Timeout, Got::Answer,
                                                   Got::Answer, Got::Timeout}));
}

TEST(MeterSimWire, TcpDelaysAnswers) {
    MeterSim sim({"--tcp", "127.0.0.1:0", "--delay-ms", "400", "--delay-every", "2"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient c = ModbusClient::Tcp(sim.Port());
    ASSERT_TRUE(c.Connected());
    auto start = Clock::now();
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(350));
    start = Clock::now();
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);
    c.SetTimeoutMs(150);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Timeout);
}

TEST(MeterSimWire, TcpDropsTheConnectionAfterNAnswers) {
    MeterSim sim({"--tcp", "127.0.0.1:0", "--drop-after", "2"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    for (int connection = 0; connection < 2; ++connection) {
        ModbusClient c = ModbusClient::Tcp(sim.Port());
        ASSERT_TRUE(c.Connected());
        c.SetTimeoutMs(1000);
        const std::vector<Got> got = ReadSeveral(c, 3);
        EXPECT_EQ(got[0], Got::Answer);
        EXPECT_EQ(got[1], Got::Answer);
        EXPECT_TRUE(got[2] == Got::Broken || got[2] == Got::Timeout) << static_cast<int>(got[2]);
    }
}

TEST(MeterSimWire, RtuServesItsUnitOverAPtyPair) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--rtu", pty.MeterEnd(), "--unit", "5"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    EXPECT_NE(sim.Output().find("serving Modbus RTU on " + pty.MeterEnd() + " (19200 8E1, unit 5)"),
              std::string::npos);
    ModbusClient c = ModbusClient::Rtu(pty.ToolEnd(), 5);
    ASSERT_TRUE(c.Connected());
    c.SetTimeoutMs(400);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);

    // Another unit's request goes unanswered and does not swallow the next one.
    modbus_set_slave(*c, 4);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Timeout);
    modbus_set_slave(*c, 5);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);

    // A broadcast date and time is taken without an answer.
    modbus_set_slave(*c, 0);
    const uint16_t clock[4] = {0x0000, 0x0C0F, 0x06EE, 0x0700};  // 2030-06-15 12:00:00
    EXPECT_EQ(modbus_write_registers(*c, 10600, 4, clock), -1);
    EXPECT_EQ(errno, ETIMEDOUT);
    modbus_set_slave(*c, 5);
    uint16_t regs[4];
    ASSERT_EQ(modbus_read_registers(*c, 10600, 4, regs), 4);
    EXPECT_EQ(regs[1], 0x0C0F);
    EXPECT_EQ(regs[2], 0x06EE);
    EXPECT_EQ(regs[3], 0x0700);

    // A new unit address and baud rate: answered as before, then in force.
    ASSERT_EQ(modbus_write_register(*c, 10200, 9), 1);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Timeout);
    modbus_set_slave(*c, 9);
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);
    ASSERT_EQ(modbus_write_register(*c, 10300, 9), 1);
    ModbusClient fast = ModbusClient::Rtu(pty.ToolEnd(), 9, 115200);
    ASSERT_TRUE(fast.Connected());
    fast.SetTimeoutMs(400);
    EXPECT_EQ(ReadDeviceInfo(fast), Got::Answer);
    ASSERT_EQ(modbus_read_registers(*fast, 10300, 1, regs), 1);
    EXPECT_EQ(regs[0], 9);
}

TEST(MeterSimWire, RtuBreaksTheCrcOfEveryNthAnswerAndIgnoresRequests) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--rtu", pty.MeterEnd(), "--bad-crc-every", "2", "--no-answer-every", "5"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient c = ModbusClient::Rtu(pty.ToolEnd(), 1);
    ASSERT_TRUE(c.Connected());
    c.SetTimeoutMs(400);
    EXPECT_EQ(ReadSeveral(c, 6),
              (std::vector<Got>{Got::Answer, Got::BadCrc, Got::Answer, Got::BadCrc, Got::Timeout, Got::Answer}));
}

TEST(MeterSimWire, RtuDelaysAnswers) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--rtu", pty.MeterEnd(), "--delay-ms", "300"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient c = ModbusClient::Rtu(pty.ToolEnd(), 1);
    ASSERT_TRUE(c.Connected());
    const auto start = Clock::now();
    EXPECT_EQ(ReadDeviceInfo(c), Got::Answer);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
}

TEST(MeterSimWire, HelpDocumentsEveryOption) {
    const testsupport::RunResult r = RunMeterSim({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const std::string& name : meter::MeterSimOptionNames())
        EXPECT_NE(r.output.find(name), std::string::npos) << name;
    EXPECT_NE(r.output.find("CAP_NET_BIND_SERVICE"), std::string::npos);
}

TEST(MeterSimWire, RefusesBadCommandLinesAndBusyPorts) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--tcp", "127.0.0.1:70000"}, {"--tcp", "127.0.0.1:0", "--type", "6"}}) {
        const testsupport::RunResult r = RunMeterSim(args);
        EXPECT_EQ(r.exitCode, 2) << r.output;
        EXPECT_NE(r.output.find("Try 'meter-sim --help'"), std::string::npos);
    }
    MeterSim first({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(first.Ready());
    const testsupport::RunResult busy = RunMeterSim({"--tcp", "127.0.0.1:" + std::to_string(first.Port())});
    EXPECT_EQ(busy.exitCode, 1);
    EXPECT_NE(busy.output.find("cannot listen"), std::string::npos) << busy.output;
    const testsupport::RunResult noDevice = RunMeterSim({"--rtu", "/nonexistent/tty"});
    EXPECT_EQ(noDevice.exitCode, 1);
    EXPECT_NE(noDevice.output.find("cannot open /nonexistent/tty"), std::string::npos) << noDevice.output;
}

TEST(MeterSimWire, StopsCleanlyOnSigintAndSigterm) {
    for (const int sig : {SIGINT, SIGTERM}) {
        MeterSim sim({"--tcp", "127.0.0.1:0"});
        ASSERT_TRUE(sim.Ready());
        ModbusClient c = ModbusClient::Tcp(sim.Port());  // an open connection must not hold it up
        ASSERT_TRUE(c.Connected());
        EXPECT_EQ(sim.Stop(sig), 0) << sig;
        EXPECT_NE(sim.Output().find("meter-sim: stopped\n"), std::string::npos) << sim.Output();
    }
}

TEST(MeterSimWire, InProcessServerFollowsTheMetersClock) {
    FakeClock clock({2024, 5, 7, 10, 0, 0});
    meter::DeviceOptions device;
    meter::SimMeter meter(device, clock.Source());
    meter::ServeOptions serve;
    serve.tcpHost = "127.0.0.1";
    serve.tcpPort = 0;
    std::ostringstream log;
    meter::ModbusServer server(meter, serve, {}, log);
    std::string error;
    ASSERT_TRUE(server.Open(error)) << error;
    std::thread loop([&] { server.Run(); });
    {
        ModbusClient c = ModbusClient::Tcp(server.TcpPort());
        ASSERT_TRUE(c.Connected());
        uint16_t before[14], after[14];
        ASSERT_EQ(modbus_read_input_registers(*c, 300, 14, before), 14);
        clock.Advance(3600);
        ASSERT_EQ(modbus_read_input_registers(*c, 300, 14, after), 14);
        const int64_t grown = (int64_t{after[0]} << 16 | after[1]) - (int64_t{before[0]} << 16 | before[1]);
        EXPECT_GT(grown, 500);  // watt-hours of an hour's load
        uint16_t time[4];
        ASSERT_EQ(modbus_read_registers(*c, 10600, 4, time), 4);
        EXPECT_EQ(time[1], 0x0B07);  // 11 h on the 7th
    }
    server.Stop();
    loop.join();
}

TEST(MeterSimWire, ServesTcpAndRtuFromOneMeter) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--tcp", "127.0.0.1:0", "--rtu", pty.MeterEnd()});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient tcp = ModbusClient::Tcp(sim.Port());
    ModbusClient rtu = ModbusClient::Rtu(pty.ToolEnd(), 1);
    ASSERT_TRUE(tcp.Connected());
    ASSERT_TRUE(rtu.Connected());
    ASSERT_EQ(modbus_write_register(*tcp, 10000, 75), 1);
    uint16_t ct = 0;
    ASSERT_EQ(modbus_read_registers(*rtu, 10000, 1, &ct), 1);
    EXPECT_EQ(ct, 75);
    // A unit address written over TCP moves the RTU side.
    ASSERT_EQ(modbus_write_register(*tcp, 10200, 3), 1);
    modbus_set_slave(*rtu, 3);
    EXPECT_EQ(ReadDeviceInfo(rtu), Got::Answer);
}
