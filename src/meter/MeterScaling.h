#pragma once
// How the meter scales its present values for the wire, whatever the
// protocol: the unit in force per value group for the present ratios, and the
// limit flags of voltages, currents and frequency.
#include <cstdint>

#include "meter/MeterMeasurements.h"
#include "meter/ModbusUnits.h"
#include "meter/SimMeter.h"

namespace meter {

struct MeterUnits {
    UnitChoice voltage, current, power, energy;
};
MeterUnits UnitsOf(const SimMeter& meter);

struct LimitFlags {
    uint8_t low = 0;   // bits 0-2 voltage under 75 %, bits 3-5 current near zero
    uint8_t high = 0;  // bits 0-2 voltage over 120 %, bits 3-5 current over 120 %
    uint8_t frequency = 0;  // bit 1 under 49.5 Hz, bit 2 over 50.5 Hz
};
LimitFlags LimitFlagsOf(const SimMeter& meter, const Measurements& m);

}  // namespace meter
