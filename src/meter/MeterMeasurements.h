#pragma once
// The meter's instantaneous values at a moment: a plausible three-phase load
// that follows the time of day, with small deterministic ripple so that reads
// within the same second agree. Values are primary values (transformer ratios
// applied), in volts, amperes, watts, var, percent and hertz.
#include <array>
#include <cstdint>

#include "meter/MeterOptions.h"

namespace meter {

struct Measurements {
    std::array<double, 3> uLN{};  // U1, U2, U3
    std::array<double, 3> uLL{};  // U12, U23, U13
    std::array<double, 3> i{};
    double iN = 0;
    std::array<double, 3> p{};
    std::array<double, 3> q{};
    std::array<double, 3> pf{};
    std::array<double, 3> thdU{};
    std::array<double, 3> thdI{};
    double frequency = 50;
    double pTotal = 0, qTotal = 0, pfTotal = 1;
};

// Nominal phase voltage and current of the device at its ratios.
double NominalVoltage(const DeviceOptions& device, int vtRatio);
double NominalCurrent(const DeviceOptions& device, int ctRatio);
// The power the generated load draws on average, for sizing counters.
double NominalTotalPower(const DeviceOptions& device, int ctRatio, int vtRatio);

Measurements ComputeMeasurements(const DeviceOptions& device, int ctRatio, int vtRatio,
                                 int64_t civilSeconds);

// Deterministic ripple in [-1, 1] from a seed and up to two keys.
double Ripple(uint32_t seed, int64_t a, int64_t b = 0);

}  // namespace meter
