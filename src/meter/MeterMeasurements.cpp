#include "meter/MeterMeasurements.h"

#include <cmath>
#include <numbers>

namespace meter {

namespace {

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Share of the nominal load by time of day: low at night, a broad day peak.
double DayLoad(int64_t civilSeconds) {
    const double hour = static_cast<double>(((civilSeconds % 86400) + 86400) % 86400) / 3600.0;
    const double day = hour >= 6 && hour < 22 ? std::sin(std::numbers::pi * (hour - 6) / 16) : 0.0;
    return 0.35 + 0.5 * day;
}

constexpr std::array<double, 3> PhaseShare = {1.0, 0.82, 1.12};
constexpr std::array<double, 3> PhasePf = {0.96, 0.93, 0.97};

}  // namespace

double Ripple(uint32_t seed, int64_t a, int64_t b) {
    const uint64_t h = Mix(Mix(seed * 0x9E3779B97F4A7C15ULL ^ static_cast<uint64_t>(a)) ^
                           static_cast<uint64_t>(b) * 0xD6E8FEB86659FD93ULL);
    return static_cast<double>(h >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

double NominalVoltage(const DeviceOptions&, int vtRatio) { return 230.0 * vtRatio; }

double NominalCurrent(const DeviceOptions& device, int ctRatio) {
    if (!device.HasTransformer() || device.digitQ == 0) return 10.0;
    return (device.digitQ == 2 ? 1.0 : 5.0) * ctRatio;
}

double NominalTotalPower(const DeviceOptions& device, int ctRatio, int vtRatio) {
    return device.Phases() * NominalVoltage(device, vtRatio) * NominalCurrent(device, ctRatio) * 0.6;
}

Measurements ComputeMeasurements(const DeviceOptions& device, int ctRatio, int vtRatio,
                                 int64_t civilSeconds) {
    Measurements m;
    const uint32_t seed = device.seed;
    const double un = NominalVoltage(device, vtRatio);
    const double in = NominalCurrent(device, ctRatio);
    const double load = DayLoad(civilSeconds);
    const int phases = device.Phases();
    double sTotal = 0;
    for (int k = 0; k < phases; ++k) {
        const auto ks = static_cast<size_t>(k);
        m.uLN[ks] = un * (1.0 + 0.012 * Ripple(seed, civilSeconds, 10 + k) + 0.004 * k);
        m.i[ks] = in * load * PhaseShare[ks] * (1.0 + 0.04 * Ripple(seed, civilSeconds, 20 + k));
        m.pf[ks] = PhasePf[ks] + 0.01 * Ripple(seed, civilSeconds, 30 + k);
        const double s = m.uLN[ks] * m.i[ks];
        m.p[ks] = s * m.pf[ks];
        m.q[ks] = s * std::sqrt(1.0 - m.pf[ks] * m.pf[ks]);
        m.thdU[ks] = 2.2 + 0.5 * Ripple(seed, civilSeconds, 40 + k);
        m.thdI[ks] = 8.0 + 3.0 * Ripple(seed, civilSeconds, 50 + k);
        m.pTotal += m.p[ks];
        m.qTotal += m.q[ks];
        sTotal += s;
    }
    if (phases == 3) {
        // Line voltages and the neutral current from phasors 120 degrees apart.
        for (size_t k = 0; k < 3; ++k) {
            const double a = m.uLN[k];
            const double b = m.uLN[(k + 1) % 3];
            m.uLL[k] = std::sqrt(a * a + b * b + a * b);
        }
        if (device.HasNeutral()) {
            const double re = m.i[0] - 0.5 * (m.i[1] + m.i[2]);
            const double im = std::sqrt(3.0) / 2 * (m.i[1] - m.i[2]);
            m.iN = std::hypot(re, im);
        }
    } else {
        m.iN = m.i[0];
    }
    m.pfTotal = sTotal > 0 ? m.pTotal / sTotal : 1.0;
    m.frequency = 50.0 + 0.03 * std::sin(static_cast<double>(civilSeconds) / 37.0) +
                  0.01 * Ripple(seed, civilSeconds, 60);
    return m;
}

}  // namespace meter
