#pragma once
// Test helpers for the simulated meter: meter-sim as a child process, a socat
// pseudo-terminal pair, a libmodbus client that closes itself, and a hand-moved
// clock for the meter model.
#include <modbus/modbus.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "meter/CivilTime.h"
#include "meter/SimMeter.h"

namespace metersim_test {

// A civil clock that only the test moves.
class FakeClock {
public:
    explicit FakeClock(const meter::CivilTime& start) : ms_(meter::ToSeconds(start) * 1000) {}
    meter::TimeSource Source() {
        return [this] { return ms_.load(); };
    }
    void Advance(int64_t seconds) { ms_ += seconds * 1000; }

private:
    std::atomic<int64_t> ms_;
};

// meter-sim started with the given arguments; waits for its ready line.
// Stopped with SIGTERM (SIGKILL if it hangs) when the object goes.
class MeterSimProcess {
public:
    explicit MeterSimProcess(const std::vector<std::string>& args);
    ~MeterSimProcess();
    MeterSimProcess(const MeterSimProcess&) = delete;
    MeterSimProcess& operator=(const MeterSimProcess&) = delete;

    bool Ready() const { return ready_; }
    int Port() const { return port_; }
    const std::string& Output() const { return output_; }
    // Sends the signal and waits for the exit; the exit code, or -1 when the
    // process did not end by itself within the time.
    int Stop(int signal);

private:
    void ReadUntil(const std::string& marker, int timeoutMs);

    pid_t pid_ = -1;
    int out_ = -1;
    bool ready_ = false;
    int port_ = -1;
    std::string output_;
};

// Runs meter-sim to its end; its exit code and everything it printed.
struct RunResult {
    int exitCode;
    std::string output;
};
RunResult RunMeterSim(const std::vector<std::string>& args);

// socat joining two pseudo-terminals in a private folder: the meter end and
// the tool end.
class SocatPair {
public:
    SocatPair();
    ~SocatPair();
    SocatPair(const SocatPair&) = delete;
    SocatPair& operator=(const SocatPair&) = delete;

    bool Ready() const { return ready_; }
    std::string MeterEnd() const { return dir_ + "/meter"; }
    std::string ToolEnd() const { return dir_ + "/tool"; }

private:
    std::string dir_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// A libmodbus client; connected on construction.
class ModbusClient {
public:
    static ModbusClient Tcp(int port);
    static ModbusClient Rtu(const std::string& device, int unit, int baud = 19200);
    ModbusClient(ModbusClient&& other) noexcept : ctx_(other.ctx_), connected_(other.connected_) {
        other.ctx_ = nullptr;
    }
    ~ModbusClient();

    bool Connected() const { return connected_; }
    modbus_t* operator*() const { return ctx_; }
    void SetTimeoutMs(int ms);

private:
    ModbusClient(modbus_t* ctx);
    modbus_t* ctx_;
    bool connected_ = false;
};

}  // namespace metersim_test
