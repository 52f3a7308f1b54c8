// One --meter of meter-sim: its key list read onto the device options given
// outside any --meter.
#include <algorithm>
#include <vector>

#include "meter/MeterOptionTable.h"

namespace meter::cmdline {

namespace {

// The options that describe one meter, which --meter may give per meter.
bool IsDeviceOption(const std::string& name) {
    static const std::vector<std::string> names = {
        "--unit", "--type", "--options", "--variant", "--serial", "--serial-prefix", "--product", "--base-fw",
        "--webserver", "--ct", "--vt", "--demand-period", "--tariff", "--tariff-locked", "--demand-records",
        "--event-records", "--certified-entries", "--clock", "--clock-stopped", "--seed", "--primary", "--secondary", "--mbus-version"};
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The ten-digit serial number `k` above the given one.
std::string SerialPlus(const std::string& serial, int k) {
    const unsigned long long n = (std::stoull(serial) + static_cast<unsigned long long>(k)) % 10000000000ULL;
    std::string s = std::to_string(n);
    return std::string(10 - s.size(), '0') + s;
}

}  // namespace

// Where the keys do not say, the unit and primary addresses, the serial
// number and the seed count up by the meter's place.
std::string BuildMeter(const std::string& keys, int place, const MeterSimOptions& base, DeviceOptions& out) {
    MeterSimOptions o = base;
    std::vector<std::string> given;
    size_t from = 0;
    while (from <= keys.size()) {
        const size_t comma = std::min(keys.find(',', from), keys.size());
        const std::string item = keys.substr(from, comma - from);
        from = comma + 1;
        if (item.empty()) continue;
        const size_t eq = item.find('=');
        const std::string name = "--" + item.substr(0, eq);
        if (!IsDeviceOption(name)) return "--meter: " + item.substr(0, eq) + " is not a device option";
        const OptionSpec& option = OptionTable().at(name);
        if (option.takesValue != (eq != std::string::npos))
            return "--meter: " + item.substr(0, eq) + (option.takesValue ? " needs =VALUE" : " takes no value");
        if (std::string why = option.apply(eq == std::string::npos ? "" : item.substr(eq + 1), o); !why.empty())
            return "--meter: " + item.substr(0, eq) + " " + why;
        given.push_back(name);
    }
    const auto says = [&](const char* name) { return std::find(given.begin(), given.end(), name) != given.end(); };
    DeviceOptions& d = o.device;
    if (!says("--unit")) d.unitAddress = (base.device.unitAddress - 1 + place) % 247 + 1;
    if (!says("--primary")) d.mbusPrimary = (base.device.mbusPrimary + place) % 251;
    if (!says("--serial")) d.serialNumber = SerialPlus(base.device.serialNumber, place);
    if (!says("--seed")) d.seed = base.device.seed + static_cast<uint32_t>(place);
    if (d.tariffLocked) d.tariff = 0;
    out = d;
    return {};
}

}  // namespace meter::cmdline
