#include "meter/ModbusUnits.h"

#include <cmath>
#include <limits>

namespace meter {

namespace {

template <size_t N>
UnitChoice Choose(const UnitChoice (&table)[N], double maxValue, double limit) {
    for (const UnitChoice& c : table)
        if (std::abs(maxValue) / c.resolution <= limit) return c;
    return table[N - 1];
}

constexpr double Max16 = 32767;
constexpr double Max32 = 2147483647.0;

}  // namespace

UnitChoice ChooseVoltageUnit(double maxVolts) {
    static constexpr UnitChoice table[] = {{0xFFFF, 0.1}, {0, 1}, {1, 10}, {2, 100}};
    return Choose(table, maxVolts, Max16);
}

UnitChoice ChooseCurrentUnit(double maxAmperes) {
    static constexpr UnitChoice table[] = {{0xFFFD, 0.001}, {0xFFFE, 0.01}, {0xFFFF, 0.1}, {0, 1}, {1, 10}};
    return Choose(table, maxAmperes, Max16);
}

UnitChoice ChoosePowerUnit(double maxWatts) {
    static constexpr UnitChoice table[] = {{0, 1}, {1, 10}, {2, 100}, {3, 1e3}, {4, 1e4}, {5, 1e5}, {6, 1e6}};
    return Choose(table, maxWatts, Max16);
}

UnitChoice ChooseEnergyUnit(double maxWattHours) {
    static constexpr UnitChoice table[] = {{0, 1}, {1, 10}, {2, 100}, {3, 1e3}, {4, 1e4}, {5, 1e5}, {6, 1e6}};
    return Choose(table, maxWattHours, Max32);
}

uint16_t Raw16(double value, double resolution) {
    const double raw = std::round(value / resolution);
    const double held = std::fmax(-32768.0, std::fmin(Max16, raw));
    return static_cast<uint16_t>(static_cast<int16_t>(held));
}

int32_t Raw32(double value, double resolution) {
    const double raw = std::round(value / resolution);
    return static_cast<int32_t>(std::fmax(-Max32 - 1, std::fmin(Max32, raw)));
}

}  // namespace meter
