#pragma once
// How the meter scales its values into 16-bit and 32-bit registers: each
// group has a unit code register, and the meter picks the finest code whose
// range still holds the group's largest value.
#include <cstdint>

namespace meter {

struct UnitChoice {
    uint16_t code;
    double resolution;  // value of one raw count, in V, A, W or Wh
};

// maxVolts: the largest voltage the group may show.
UnitChoice ChooseVoltageUnit(double maxVolts);
UnitChoice ChooseCurrentUnit(double maxAmperes);
UnitChoice ChoosePowerUnit(double maxWatts);
// maxWattHours: the largest counter value the meter must hold.
UnitChoice ChooseEnergyUnit(double maxWattHours);

// value / resolution, rounded and held within the signed range.
uint16_t Raw16(double value, double resolution);
int32_t Raw32(double value, double resolution);

}  // namespace meter
