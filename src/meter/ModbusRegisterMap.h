#pragma once
// The meter's Modbus registers over the simulated meter: which input and
// holding registers exist on this device, what a read returns and what a
// write changes. Pure: no framing and no I/O; the server hands it decoded
// requests and turns its answers into frames.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "meter/ModbusUnits.h"
#include "meter/SimMeter.h"

namespace meter {

enum class ModbusError : uint8_t {
    None = 0,
    IllegalFunction = 1,
    IllegalDataAddress = 2,
    IllegalDataValue = 3,
};

// The line a request came in on. Past the oldest record each log answers the
// end that the line's readers test: over RTU every log all 0xFFFF (FF FF in
// the first register); over TCP the ordinary logs so too, the large demand log
// and the certified log all zeros.
enum class Line : uint8_t { Tcp, Rtu };

struct RegisterReply {
    ModbusError error = ModbusError::None;
    std::vector<uint16_t> registers;
};

// A change of the serial line that the meter makes only once its answer to
// the write has gone out, at the old address and rate.
struct LineChange {
    std::optional<int> unitAddress;
    std::optional<int> baudCode;
    bool Empty() const { return !unitAddress && !baudCode; }
};

class ModbusRegisterMap {
public:
    explicit ModbusRegisterMap(SimMeter& meter) : meter_(meter) {}

    RegisterReply ReadInput(int address, int count, Line line = Line::Tcp);
    RegisterReply ReadHolding(int address, int count);
    // A write covers one setting block exactly (all its registers).
    ModbusError Write(int address, std::span<const uint16_t> values);
    LineChange TakeLineChange();

    // The unit codes in force for the meter's present ratios.
    UnitChoice VoltageUnit() const;
    UnitChoice CurrentUnit() const;
    UnitChoice PowerUnit() const;
    UnitChoice EnergyUnit() const;

private:
    struct Block;
    const Block* FindBlock(bool input, int address) const;
    RegisterReply Read(bool input, int address, int count, Line line);
    std::vector<uint16_t> InputBlock(int start, Line line);
    std::vector<uint16_t> HoldingBlock(int start) const;
    std::vector<uint16_t> Voltages() const;
    std::vector<uint16_t> Currents() const;
    std::vector<uint16_t> Powers() const;
    std::vector<uint16_t> Counters(const EnergySet& e, size_t count) const;
    std::vector<uint16_t> OperatingTimes() const;

    SimMeter& meter_;
    std::array<uint16_t, 10> interval_{};
    std::array<uint16_t, 3> recordPointer_{};
    uint16_t certifiedCommand_ = 0;
    LineChange pending_;
};

}  // namespace meter
