#pragma once
// What the tool must show of a simulated meter whose clock stands still,
// computed from the meter's model (src/meter) and the value-text rules
// (core/ScaledValue): the Modbus unit codes give decimals and unit, the
// meter's own rounding gives the raw count. Nothing here comes from the tool.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ScaledValue.h"
#include "meter/ModbusRegisterMap.h"
#include "meter/ModbusUnits.h"
#include "meter/SimMeter.h"

namespace oracle {

struct UnitText {
    int decimals = 0;
    const char* unit = "";
    double scale = 1;  // the unit in V, A, W or Wh
};

inline UnitText Voltage(uint16_t code)
{
    switch (code) {
    case 0xFFFF: return {1, "V", 1};
    case 0: return {0, "V", 1};
    case 1: return {2, "kV", 1000};
    case 2: return {1, "kV", 1000};
    default: return {};
    }
}

inline UnitText Current(uint16_t code)
{
    switch (code) {
    case 0xFFFD: return {3, "A", 1};
    case 0xFFFE: return {2, "A", 1};
    case 0xFFFF: return {1, "A", 1};
    case 0: return {0, "A", 1};
    case 1: return {2, "kA", 1000};
    default: return {};
    }
}

// Power codes 0-6: W; kW with 2, 1, 0 decimals; MW with 2, 1, 0.
inline UnitText Power(uint16_t code, int kind)  // kind 0 P, 1 Q, 2 S
{
    static constexpr const char* units[3][3] = {{"W", "kW", "MW"}, {"VAr", "kVAr", "MVAr"}, {"VA", "kVA", "MVA"}};
    static constexpr int decimals[7] = {0, 2, 1, 0, 2, 1, 0};
    if (code > 6) return {};
    const int scale = code == 0 ? 0 : code <= 3 ? 1 : 2;
    return {decimals[code], units[kind][scale], std::pow(1000.0, scale)};
}

// Energy codes 0-6: kWh with 3, 2, 1, 0 decimals; MWh with 2, 1, 0.
inline UnitText Energy(uint16_t code, bool reactive)
{
    static constexpr int decimals[7] = {3, 2, 1, 0, 2, 1, 0};
    if (code > 6) return {};
    const bool mega = code >= 4;
    return {decimals[code], reactive ? (mega ? "MVArh" : "kVArh") : (mega ? "MWh" : "kWh"), mega ? 1e6 : 1e3};
}

inline std::string Format16(int16_t raw, int decimals, const char* unit)
{
    ScaledValueSpec spec;
    spec.WidthCode = swBigEndian16;
    spec.Bytes[0] = static_cast<uint8_t>(static_cast<uint16_t>(raw) >> 8);
    spec.Bytes[1] = static_cast<uint8_t>(raw & 0xFF);
    spec.DecimalsCode = decimals;
    spec.Unit = unit;
    uint8_t scratch[4]{};
    return FormatScaledValue(spec, scratch);
}

inline std::string Value16(double value, const meter::UnitChoice& u, const UnitText& t)
{
    return Format16(static_cast<int16_t>(meter::Raw16(value, u.resolution)), t.decimals, t.unit);
}

inline std::string Thd(double percent, const char* unit)
{
    ScaledValueSpec spec;
    const auto raw = meter::Raw16(percent, 0.1);
    spec.WidthCode = swBigEndian16;
    spec.Bytes[0] = static_cast<uint8_t>(raw >> 8);
    spec.Bytes[1] = static_cast<uint8_t>(raw & 0xFF);
    spec.DecimalsCode = sdThd;
    spec.Unit = unit;
    spec.DashIfNegative = 1;
    spec.CheckLimit = 1;
    spec.Limit = 10000;
    uint8_t scratch[4]{};
    return FormatScaledValue(spec, scratch);
}

inline std::string Counter(double wattHours, const meter::UnitChoice& u, const UnitText& t)
{
    const int32_t raw = meter::Raw32(wattHours, u.resolution);
    ScaledValueSpec spec;
    spec.WidthCode = swLittleEndian32;
    for (int i = 0; i < 4; ++i) spec.Bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(raw) >> (8 * i));
    spec.DecimalsCode = t.decimals;
    spec.Unit = t.unit;
    uint8_t scratch[4]{};
    return FormatScaledValue(spec, scratch);
}

inline std::string Pad2(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }
inline std::string DateText(const meter::CivilTime& t)
{
    return std::to_string(t.year) + "-" + Pad2(t.month) + "-" + Pad2(t.day);
}
inline std::string TimeText(const meter::CivilTime& t)
{
    return Pad2(t.hour) + ":" + Pad2(t.minute) + ":" + Pad2(t.second);
}

// Object name of a control and the text it must show.
struct Shown {
    std::string control;
    std::string text;
};

// The Measurement page of a three-phase four-wire meter. The apparent power
// is the product of the voltage and current shown, in the power unit. M-Bus
// gives the distortion's unit as " %", Modbus as "%".
inline std::vector<Shown> MeasurementPage(meter::SimMeter& m, const char* thdUnit)
{
    meter::ModbusRegisterMap map(m);
    const meter::Measurements v = m.Values();
    const meter::UnitChoice uu = map.VoltageUnit(), iu = map.CurrentUnit(), pu = map.PowerUnit();
    const UnitText ut = Voltage(uu.code), it = Current(iu.code);
    std::vector<Shown> out;
    const char* phase[3] = {"1", "2", "3"};
    const char* line[3] = {"12", "23", "13"};
    double sTotal = 0;
    for (int k = 0; k < 3; ++k) {
        const auto ks = static_cast<size_t>(k);
        out.push_back({std::string("StaticText_U") + phase[k], Value16(v.uLN[ks], uu, ut)});
        out.push_back({std::string("StaticText_U") + line[k], Value16(v.uLL[ks], uu, ut)});
        out.push_back({std::string("StaticText_THD_U") + phase[k], Thd(v.thdU[ks], thdUnit)});
        out.push_back({std::string("StaticText_I") + phase[k], Value16(v.i[ks], iu, it)});
        out.push_back({std::string("StaticText_THD_I") + phase[k], Thd(v.thdI[ks], thdUnit)});
        out.push_back({std::string("StaticText_P") + phase[k], Value16(v.p[ks], pu, Power(pu.code, 0))});
        out.push_back({std::string("StaticText_Q") + phase[k], Value16(v.q[ks], pu, Power(pu.code, 1))});
        out.push_back({std::string("StaticText_PF") + phase[k], Format16(static_cast<int16_t>(meter::Raw16(v.pf[ks], 0.001)), 3, "")});
        // Volts and amperes as shown, held as the value store holds them.
        const float volts = static_cast<float>(meter::Raw16(v.uLN[ks], uu.resolution) * uu.resolution);
        const float amperes = static_cast<float>(static_cast<int16_t>(meter::Raw16(v.i[ks], iu.resolution)) *
                                                 iu.resolution);
        const double s = static_cast<double>(volts) * static_cast<double>(amperes) / Power(pu.code, 2).scale;
        sTotal += s;
        char text[64];
        std::snprintf(text, sizeof text, " %.*f %s", Power(pu.code, 2).decimals, s, Power(pu.code, 2).unit);
        out.push_back({std::string("StaticText_S") + phase[k], text});
    }
    char total[64];
    std::snprintf(total, sizeof total, " %.*f %s", Power(pu.code, 2).decimals, sTotal, Power(pu.code, 2).unit);
    out.push_back({"StaticText_STOT", total});
    out.push_back({"StaticText_IN", Value16(v.iN, iu, it)});
    out.push_back({"StaticText_FREQ", Format16(static_cast<int16_t>(meter::Raw16(v.frequency, 0.01)), 2, "Hz")});
    out.push_back({"StaticText_PTOT", Value16(v.pTotal, pu, Power(pu.code, 0))});
    out.push_back({"StaticText_QTOT", Value16(v.qTotal, pu, Power(pu.code, 1))});
    out.push_back({"StaticText_PFTOT", Format16(static_cast<int16_t>(meter::Raw16(v.pfTotal, 0.001)), 3, "")});
    return out;
}

// One counter row as the grid columns E(P)out, E(P)in, E(Q)out, E(Q)in.
inline std::vector<std::string> CounterRow(meter::SimMeter& m, const meter::EnergySet& e)
{
    meter::ModbusRegisterMap map(m);
    const meter::UnitChoice u = map.EnergyUnit();
    const bool reactive = m.HasReactiveEnergy();
    const auto q = [&](double value) { return reactive ? Counter(value, u, Energy(u.code, true)) : std::string(); };
    return {Counter(e.pOut, u, Energy(u.code, false)), Counter(e.pIn, u, Energy(u.code, false)), q(e.qOut), q(e.qIn)};
}

}  // namespace oracle
