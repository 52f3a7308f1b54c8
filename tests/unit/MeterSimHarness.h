#pragma once
// Test helpers for the simulated meter: a libmodbus client that closes itself
// and a hand-moved clock for the meter model. meter-sim and socat are started
// by ../support/TestPeers.h.
#include <modbus/modbus.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "../support/TestPeers.h"
#include "meter/CivilTime.h"
#include "meter/SimMeter.h"

namespace metersim_test {

// The names tests written before the shared harness use.
using MeterSimProcess = testsupport::MeterSim;
using SocatPair = testsupport::PtyPair;
using testsupport::RunMeterSim;
using testsupport::RunResult;

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
