// meter-sim's command line read into its options: the options one by one,
// then each --meter, then the checks of the whole.
#include "meter/MeterOptions.h"

#include <algorithm>
#include <array>

#include "meter/MeterOptionTable.h"

namespace meter {

namespace {

constexpr std::array<int, 10> BaudRates = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

}  // namespace

int DeviceOptions::DemandRecordCount() const {
    if (!HasDemandLogger()) return 0;
    const int wanted = demandRecords >= 0 ? demandRecords : (IsLargeLogger() ? 5000 : 2000);
    return std::min(wanted, DemandCapacity());
}

uint32_t DeviceOptions::MBusIdBcd() const {
    const std::string digits = mbusId.empty() ? serialNumber.substr(serialNumber.size() >= 8 ? serialNumber.size() - 8 : 0)
                                              : mbusId;
    uint32_t bcd = 0;
    for (const char c : digits) bcd = bcd << 4 | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'A' + 10);
    return bcd;
}

int BaudCodeOf(int baud) {
    for (size_t i = 0; i < BaudRates.size(); ++i)
        if (BaudRates[i] == baud) return static_cast<int>(i);
    return -1;
}

int BaudOfCode(int code) {
    return code >= 0 && code < static_cast<int>(BaudRates.size()) ? BaudRates[static_cast<size_t>(code)] : -1;
}

ParseOutcome ParseMeterSimArgs(const std::vector<std::string>& args) {
    using namespace cmdline;
    ParseOutcome out;
    std::vector<std::string> meterSpecs;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name == "--help" || name == "-h") {
            out.showHelp = true;
            return out;
        }
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "--meter") {
            if (!value && i + 1 >= args.size()) {
                out.error = "--meter needs a value";
                return out;
            }
            meterSpecs.push_back(value ? *value : args[++i]);
            continue;
        }
        const auto it = OptionTable().find(name);
        if (it == OptionTable().end()) {
            out.error = "unknown option " + name;
            return out;
        }
        if (it->second.takesValue && !value) {
            if (i + 1 >= args.size()) {
                out.error = name + " needs a value";
                return out;
            }
            value = args[++i];
        } else if (!it->second.takesValue && value) {
            out.error = name + " takes no value";
            return out;
        }
        if (std::string why = it->second.apply(value.value_or(""), out.options); !why.empty()) {
            out.error = name + " " + why;
            return out;
        }
    }
    MeterSimOptions& o = out.options;
    if (out.error = CheckTransports(o.serve); !out.error.empty()) return out;
    if (RatiosTooLarge(o.device)) {
        out.error = "--ct times --vt must be at most 100000 with the option digit Q 1";
        return out;
    }
    if (o.device.tariffLocked) o.device.tariff = 0;
    o.device.baudCode = BaudCodeOf(o.serve.baud);
    for (size_t k = 0; k < meterSpecs.size(); ++k) {
        DeviceOptions d;
        if (out.error = BuildMeter(meterSpecs[k], static_cast<int>(k), o, d); !out.error.empty()) return out;
        if (RatiosTooLarge(d)) {
            out.error = "--meter " + meterSpecs[k] + ": ct times vt must be at most 100000 with the option digit Q 1";
            return out;
        }
        o.meters.push_back(d);
    }
    if (o.meters.empty()) o.meters.push_back(o.device);
    out.error = CheckDistinct(o);
    return out;
}

std::vector<std::string> MeterSimOptionNames() {
    std::vector<std::string> names;
    for (const auto& [name, option] : cmdline::OptionTable()) names.push_back(name);
    names.push_back("--help");
    return names;
}

}  // namespace meter
