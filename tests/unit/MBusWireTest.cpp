// meter-sim's M-Bus line over a socat pseudo-terminal pair, as the tool meets
// it: several meters at their addresses, telegrams paced to the baud rate,
// the faults, and a Modbus RTU line of several units from one process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <modbus/modbus.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "../support/TestPeers.h"
#include "MeterSimHarness.h"
#include "meter/MBusFrame.h"
#include "platform/SerialLine.h"

using testsupport::MeterSim;
using metersim_test::ModbusClient;
using testsupport::PtyPair;
using meter::Bytes;

namespace {

using Clock = std::chrono::steady_clock;

Bytes Short(uint8_t c, uint8_t a) { return {0x10, c, a, static_cast<uint8_t>(c + a), 0x16}; }

Bytes Long(uint8_t a, uint8_t ci, const Bytes& data) { return meter::MBusLongFrame(0x73, a, ci, data); }

// The tool's end of the line: one request, then what comes back until the
// frame is whole or the line stays quiet.
class MBusPort {
public:
    MBusPort(const std::string& device, uint32_t baud) {
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        SerialLineSettings s;
        s.Baud = baud;
        s.Parity = 1;
        ok_ = fd_ >= 0 && ApplySerialLine(fd_, s) && SetReadsReturnAtOnce(fd_);
    }
    ~MBusPort() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Ok() const { return ok_; }

    Bytes Exchange(const Bytes& request, int quietMs = 400) {
        if (::write(fd_, request.data(), request.size()) != static_cast<ssize_t>(request.size())) return {};
        Bytes got;
        for (;;) {
            const int want = got.empty() ? 1 : got[0] == 0xE5 ? 1 : meter::MBusFrameLength(got.data(), got.size());
            if (want > 0 && got.size() >= static_cast<size_t>(want)) return got;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, quietMs) <= 0) return got;
            uint8_t buf[300];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
    }

private:
    int fd_ = -1;
    bool ok_ = false;
};

bool ValidLong(const Bytes& f) { return f.size() > 1 && meter::ParseMBusFrame(f.data(), f.size()).has_value(); }

Bytes PsSelect(uint8_t a, const Bytes& mask) {
    Bytes d{0x0D, 0xFD, 0x0B, 0x0C};
    d.insert(d.end(), mask.begin(), mask.end());
    d.resize(16, 0);
    return Long(a, 0x51, d);
}

}  // namespace

TEST(MBusWire, SeveralMetersAnswerAtTheirOwnAddresses) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--mbus", pty.MeterEnd(), "--mbus-baud", "9600", "--meter", "primary=3",
                         "--meter", "primary=17,secondary=12345678,options=2201000"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    EXPECT_NE(sim.Output().find("serving M-Bus on " + pty.MeterEnd() +
                                " (9600 8E1, primary 3 secondary 00012345; primary 17 secondary 12345678)"),
              std::string::npos)
        << sim.Output();
    MBusPort port(pty.ToolEnd(), 9600);
    ASSERT_TRUE(port.Ok());
    EXPECT_EQ(port.Exchange(Short(0x40, 3)), Bytes{0xE5});
    EXPECT_EQ(port.Exchange(Short(0x40, 17)), Bytes{0xE5});
    EXPECT_EQ(port.Exchange(Short(0x40, 4), 150), Bytes{});

    // Secondary addressing with the maker as a wildcard, as the tool opens it.
    EXPECT_EQ(port.Exchange(Long(0xFD, 0x52, {0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x02})), Bytes{0xE5});
    const Bytes answer = port.Exchange(Short(0x7B, 0xFD));
    ASSERT_TRUE(ValidLong(answer));
    EXPECT_EQ(answer[5], 17);
    EXPECT_EQ(Bytes(answer.begin() + 7, answer.begin() + 13), (Bytes{0x78, 0x56, 0x34, 0x12, 0x84, 0x39}));
    EXPECT_EQ(answer[answer.size() - 3], 0x1F);  // everything selected fills more than one telegram

    // A setting to the first meter, read back in its next telegram.
    EXPECT_EQ(port.Exchange(Long(3, 0x51, {0x01, 0xFF, 0x1A, 0x2D})), Bytes{0xE5});
    EXPECT_EQ(port.Exchange(PsSelect(3, {0x00, 0x08})), Bytes{0xE5});  // field 12, the demand period
    const Bytes period = port.Exchange(Short(0x7B, 3));
    ASSERT_TRUE(ValidLong(period));
    EXPECT_EQ(Bytes(period.begin() + 19, period.end() - 2), (Bytes{0x01, 0xFF, 0x1A, 0x2D, 0x0F}));
}

TEST(MBusWire, AnswersTakeTheirTimeOnTheLine) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    double seconds[2];
    size_t chars = 0;
    const int rates[2] = {2400, 9600};
    MeterSim sim({"--mbus", pty.MeterEnd(), "--mbus-baud", "2400"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    for (int k = 0; k < 2; ++k) {
        MBusPort port(pty.ToolEnd(), static_cast<uint32_t>(rates[k]));
        const Bytes request = Short(0x7B, 0);
        const auto t0 = Clock::now();
        const Bytes answer = port.Exchange(request);
        seconds[k] = std::chrono::duration<double>(Clock::now() - t0).count();
        ASSERT_TRUE(ValidLong(answer)) << rates[k];
        chars = request.size() + answer.size();
        if (k == 0) {
            ASSERT_EQ(port.Exchange(Long(0, 0xBD, {})), Bytes{0xE5});  // on to 9600 Bd
        }
    }
    // 11 bits a character at the line's rate, whatever the pty does.
    EXPECT_GE(seconds[0], 0.95 * static_cast<double>(chars) * 11 / 2400);
    EXPECT_GT(seconds[0] / seconds[1], 2.0);
}

TEST(MBusWire, BrokenAnswersLeaveTheTelegramSequenceWhereItWas) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--mbus", pty.MeterEnd(), "--mbus-baud", "9600", "--bad-checksum-every", "2",
                         "--short-frame-every", "3", "--no-answer-every", "7"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    MBusPort port(pty.ToolEnd(), 9600);
    // Requests 1 and 2 get E5 (the long-answer faults pass them by).
    ASSERT_EQ(port.Exchange(Short(0x40, 0)), Bytes{0xE5});
    ASSERT_EQ(port.Exchange(PsSelect(0, {0x00, 0x00, 0xFC, 0xFF, 0x03})), Bytes{0xE5});  // the eight tariffs
    // Long answers: 1 whole, 2 bad checksum, 3 one byte short, 4 whole, ...;
    // request 7 is not answered at all.
    std::vector<Bytes> telegrams;
    bool fcb = true;
    int broken = 0, silent = 0;
    for (int tries = 0; tries < 30 && (telegrams.empty() || telegrams.back()[telegrams.back().size() - 3] != 0x0F);
         ++tries) {
        const Bytes a = port.Exchange(Short(fcb ? 0x7B : 0x5B, 0), 250);
        if (a.empty()) {
            ++silent;
            continue;
        }
        if (!ValidLong(a)) {
            ++broken;
            continue;  // the tool repeats the request with the same FCB
        }
        telegrams.push_back(a);
        fcb = !fcb;
    }
    EXPECT_GE(broken, 2);
    EXPECT_GE(silent, 1);
    // No telegram was skipped: the energy records hold each tariff field once, in order.
    std::vector<int> fields;
    for (const Bytes& t : telegrams)
        for (size_t at = 19; at + 11 <= t.size() - 3; at += 11) fields.push_back(t[at + 6]);
    std::vector<int> expected;
    for (int f = 19; f <= 34; ++f) expected.insert(expected.end(), {f, f});
    EXPECT_EQ(fields, expected);
}

TEST(MeterSimWire, RtuLineOfSeveralUnitsAnswersEachItsOwn) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--rtu", pty.MeterEnd(), "--meter", "unit=1", "--meter", "unit=2,type=2", "--meter",
                         "unit=5,type=0"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    EXPECT_NE(sim.Output().find("(19200 8E1, unit 1, 2, 5)"), std::string::npos) << sim.Output();
    ModbusClient c = ModbusClient::Rtu(pty.ToolEnd(), 1);
    ASSERT_TRUE(c.Connected());
    c.SetTimeoutMs(300);
    struct Row {
        int unit;
        int type;  // -1: no answer
    };
    for (const Row& r : {Row{1, 5}, Row{2, 2}, Row{3, -1}, Row{5, 0}, Row{2, 2}, Row{1, 5}}) {
        modbus_set_slave(*c, r.unit);
        uint16_t info[36];
        const int n = modbus_read_input_registers(*c, 3000, 36, info);
        if (r.type < 0) {
            EXPECT_EQ(n, -1) << r.unit;
            continue;
        }
        ASSERT_EQ(n, 36) << r.unit;
        EXPECT_EQ(info[0] >> 8, r.type) << r.unit;
    }
    // A broadcast clock reaches every unit.
    modbus_set_slave(*c, 0);
    const uint16_t clock[4] = {0x0000, 0x0C0F, 0x06EE, 0x0700};  // 2030-06-15 12:00:00
    EXPECT_EQ(modbus_write_registers(*c, 10600, 4, clock), -1);
    for (const int unit : {1, 2, 5}) {
        modbus_set_slave(*c, unit);
        uint16_t regs[4];
        ASSERT_EQ(modbus_read_registers(*c, 10600, 4, regs), 4) << unit;
        EXPECT_EQ(regs[2], 0x06EE) << unit;
    }
}

TEST(MeterSimWire, MeterOptionsNeedDistinctAddresses) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--mbus", "/dev/null", "--meter", "primary=4", "--meter", "primary=4"},
          {"--mbus", "/dev/null", "--meter", "secondary=11111111", "--meter", "secondary=11111111"},
          {"--rtu", "/dev/null", "--meter", "unit=2", "--meter", "unit=2"},
          {"--rtu", "/dev/null", "--meter", "baud=2400"},
          {"--rtu", "/dev/null", "--meter", "unit"}}) {
        const testsupport::RunResult r = testsupport::RunMeterSim(args);
        EXPECT_EQ(r.exitCode, 2) << r.output;
    }
}

TEST(MBusWire, SharesItsMeterWithModbusTcp) {
    PtyPair pty;
    ASSERT_TRUE(pty.Ready());
    MeterSim sim({"--tcp", "127.0.0.1:0", "--mbus", pty.MeterEnd(), "--mbus-baud", "9600"});
    ASSERT_TRUE(sim.Ready()) << sim.Output();
    ModbusClient tcp = ModbusClient::Tcp(sim.Port());
    ASSERT_TRUE(tcp.Connected());
    MBusPort port(pty.ToolEnd(), 9600);
    ASSERT_TRUE(port.Ok());
    // Written on one transport, read on the other, while both are busy.
    ASSERT_EQ(modbus_write_register(*tcp, 10000, 75), 1);
    ASSERT_EQ(port.Exchange(Long(0, 0x51, {0x02, 0xFF, 0x16, 20, 0})), Bytes{0xE5});
    uint16_t vt = 0;
    ASSERT_EQ(modbus_read_registers(*tcp, 10100, 1, &vt), 1);
    EXPECT_EQ(vt, 20);
    ASSERT_EQ(port.Exchange(PsSelect(0, {0x00, 0x00, 0x00, 0x00, 0x04})), Bytes{0xE5});  // field 35, CT
    const Bytes ct = port.Exchange(Short(0x7B, 0));
    ASSERT_TRUE(ValidLong(ct));
    EXPECT_EQ(Bytes(ct.begin() + 19, ct.end() - 2), (Bytes{0x02, 0xFF, 0x15, 75, 0, 0x0F}));
}
