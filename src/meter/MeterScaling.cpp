#include "meter/MeterScaling.h"

#include <cmath>

namespace meter {

MeterUnits UnitsOf(const SimMeter& meter) {
    const DeviceOptions& d = meter.Options();
    const double un = NominalVoltage(d, meter.VtRatio());
    const double in = NominalCurrent(d, meter.CtRatio());
    MeterUnits u;
    u.voltage = ChooseVoltageUnit(1.3 * un * (d.Phases() == 3 ? std::sqrt(3.0) : 1.0));
    u.current = ChooseCurrentUnit(2.0 * in);
    u.power = ChoosePowerUnit(2.0 * d.Phases() * un * in);
    // Room for some 40 years at the nominal load.
    u.energy = ChooseEnergyUnit(NominalTotalPower(d, meter.CtRatio(), meter.VtRatio()) * 350000.0);
    return u;
}

LimitFlags LimitFlagsOf(const SimMeter& meter, const Measurements& m) {
    const DeviceOptions& d = meter.Options();
    const double un = NominalVoltage(d, meter.VtRatio());
    const double in = NominalCurrent(d, meter.CtRatio());
    LimitFlags f;
    for (int k = 0; k < d.Phases(); ++k) {
        const auto ks = static_cast<size_t>(k);
        if (m.uLN[ks] < 0.75 * un) f.low |= static_cast<uint8_t>(1u << k);
        if (m.i[ks] < 0.002 * in) f.low |= static_cast<uint8_t>(8u << k);
        if (m.uLN[ks] > 1.2 * un) f.high |= static_cast<uint8_t>(1u << k);
        if (m.i[ks] > 1.2 * in) f.high |= static_cast<uint8_t>(8u << k);
    }
    f.frequency = static_cast<uint8_t>((m.frequency < 49.5 ? 2 : 0) | (m.frequency > 50.5 ? 4 : 0));
    return f;
}

}  // namespace meter
