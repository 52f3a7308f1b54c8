#include "meter/MeterOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <functional>
#include <map>

namespace meter {

namespace {

constexpr std::array<int, 10> BaudRates = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

bool ToInt(const std::string& text, long long low, long long high, long long& out) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    long long v = 0;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end || text.empty() || v < low || v > high) return false;
    out = v;
    return true;
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// One option: its name, whether it takes a value, and what it does with it.
struct OptionSpec {
    bool takesValue;
    std::function<std::string(const std::string&, MeterSimOptions&)> apply;
};

// Builds an option that stores an integer in range into the field picked.
template <typename Field>
OptionSpec IntOption(long long low, long long high, Field field) {
    return {true, [=](const std::string& v, MeterSimOptions& o) -> std::string {
                long long n = 0;
                if (!ToInt(v, low, high, n))
                    return "must be a number from " + std::to_string(low) + " to " + std::to_string(high);
                field(o) = static_cast<std::remove_reference_t<decltype(field(o))>>(n);
                return {};
            }};
}

std::string ApplyTcp(const std::string& v, MeterSimOptions& o) {
    const auto colon = v.rfind(':');
    if (colon == std::string::npos || colon == 0) return "must be HOST:PORT";
    long long port = 0;
    if (!ToInt(v.substr(colon + 1), 0, 65535, port)) return "port must be 0-65535";
    o.serve.tcpHost = v.substr(0, colon);
    o.serve.tcpPort = static_cast<int>(port);
    return {};
}

std::string ApplyFraming(const std::string& v, MeterSimOptions& o) {
    if (v.size() != 3 || (v[0] != '7' && v[0] != '8') || std::string("NEO").find(v[1]) == std::string::npos ||
        (v[2] != '1' && v[2] != '2'))
        return "must be data bits, parity and stop bits, such as 8E1, 8N1, 8O1 or 8N2";
    o.serve.dataBits = v[0] - '0';
    o.serve.parity = v[1];
    o.serve.stopBits = v[2] - '0';
    return {};
}

std::string ApplyOptionDigits(const std::string& v, MeterSimOptions& o) {
    if (v.size() != 7 || !AllDigits(v)) return "must be seven digits D M P Q U V W, such as 1201000";
    DeviceOptions& d = o.device;
    int* digits[7] = {&d.digitD, &d.digitM, &d.digitP, &d.digitQ, &d.digitU, &d.digitV, &d.digitW};
    for (size_t i = 0; i < 7; ++i) *digits[i] = v[i] - '0';
    return {};
}

const std::map<std::string, OptionSpec>& Options() {
    static const std::map<std::string, OptionSpec> table = {
        {"--tcp", {true, ApplyTcp}},
        {"--rtu", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.empty()) return "needs a device path";
             o.serve.rtuDevice = v;
             return {};
         }}},
        {"--baud", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             long long n = 0;
             if (!ToInt(v, 1, 4000000, n) || BaudCodeOf(static_cast<int>(n)) < 0)
                 return "must be one of 300 600 1200 2400 4800 9600 19200 38400 57600 115200";
             o.serve.baud = static_cast<int>(n);
             return {};
         }}},
        {"--framing", {true, ApplyFraming}},
        {"--mbus", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.empty()) return "needs a device path";
             o.serve.mbusDevice = v;
             return {};
         }}},
        {"--mbus-baud", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             long long n = 0;
             if (!ToInt(v, 300, 9600, n) || BaudCodeOf(static_cast<int>(n)) < 0)
                 return "must be one of 300 600 1200 2400 4800 9600";
             o.serve.mbusBaud = static_cast<int>(n);
             return {};
         }}},
        {"--primary", IntOption(0, 250, [](MeterSimOptions& o) -> int& { return o.device.mbusPrimary; })},
        {"--secondary", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.size() != 8 || !AllDigits(v)) return "must be eight decimal digits";
             o.device.mbusId = v;
             return {};
         }}},
        {"--mbus-version", IntOption(0, 255, [](MeterSimOptions& o) -> uint8_t& { return o.device.mbusVersion; })},
        {"--meter", {true, [](const std::string&, MeterSimOptions&) -> std::string { return {}; }}},
        {"--unit", IntOption(1, 247, [](MeterSimOptions& o) -> int& { return o.device.unitAddress; })},
        {"--type", IntOption(0, 5, [](MeterSimOptions& o) -> int& { return o.device.typeIndex; })},
        {"--options", {true, ApplyOptionDigits}},
        {"--variant", IntOption(0, 9, [](MeterSimOptions& o) -> int& { return o.device.variant; })},
        {"--serial", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.size() != 10 || !AllDigits(v)) return "must be ten decimal digits";
             o.device.serialNumber = v;
             return {};
         }}},
        {"--serial-prefix", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.size() != 2) return "must be two characters";
             o.device.serialPrefix = v;
             return {};
         }}},
        {"--product", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.size() > 32) return "must be at most 32 characters";
             o.device.productName = v;
             return {};
         }}},
        {"--base-fw", IntOption(0, 32767, [](MeterSimOptions& o) -> uint16_t& { return o.device.baseFirmware; })},
        {"--webserver", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v == "absent") o.device.webserver = WebserverMode::Absent;
             else if (v == "disabled") o.device.webserver = WebserverMode::Disabled;
             else if (v == "enabled") o.device.webserver = WebserverMode::Enabled;
             else return "must be absent, disabled or enabled";
             return {};
         }}},
        {"--ct", IntOption(1, 10000, [](MeterSimOptions& o) -> int& { return o.device.ctRatio; })},
        {"--vt", IntOption(1, 1000, [](MeterSimOptions& o) -> int& { return o.device.vtRatio; })},
        {"--demand-period", IntOption(1, 255, [](MeterSimOptions& o) -> int& { return o.device.demandPeriod; })},
        {"--tariff", IntOption(0, 8, [](MeterSimOptions& o) -> int& { return o.device.tariff; })},
        {"--tariff-locked", {false, [](const std::string&, MeterSimOptions& o) -> std::string {
             o.device.tariffLocked = true;
             return {};
         }}},
        {"--demand-records", IntOption(0, 168000, [](MeterSimOptions& o) -> int& { return o.device.demandRecords; })},
        {"--event-records", IntOption(0, 256, [](MeterSimOptions& o) -> int& { return o.device.eventRecords; })},
        {"--certified-entries", IntOption(0, 4000, [](MeterSimOptions& o) -> int& { return o.device.certifiedEntries; })},
        {"--clock", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             auto t = ParseCivil(v);
             if (!t || t->year < 2000 || t->year > 2099)
                 return "must be a date and time \"YYYY-MM-DD HH:MM:SS\" in 2000-2099";
             o.device.clockStart = *t;
             return {};
         }}},
        {"--clock-stopped", {false, [](const std::string&, MeterSimOptions& o) -> std::string {
             o.device.clockStopped = true;
             return {};
         }}},
        {"--seed", IntOption(0, 0xFFFFFFFFLL, [](MeterSimOptions& o) -> uint32_t& { return o.device.seed; })},
        {"--no-answer-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.noAnswerEvery; })},
        {"--bad-crc-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.badCrcEvery; })},
        {"--delay-ms", IntOption(0, 600000, [](MeterSimOptions& o) -> int& { return o.faults.delayMs; })},
        {"--delay-every", IntOption(1, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.delayEvery; })},
        {"--drop-after", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.dropAfter; })},
        {"--drop-answer-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.dropAnswerEvery; })},
        {"--drop-answers", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             o.faults.dropAnswers.clear();
             size_t from = 0;
             while (from <= v.size()) {
                 const size_t comma = std::min(v.find(',', from), v.size());
                 long long n = 0;
                 if (!ToInt(v.substr(from, comma - from), 1, 1000000000, n))
                     return "must be request numbers from 1 on, separated by commas, such as 1,7,12";
                 o.faults.dropAnswers.push_back(static_cast<int>(n));
                 from = comma + 1;
             }
             return {};
         }}},
        {"--silent-after", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.silentAfter; })},
        {"--bad-checksum-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.badChecksumEvery; })},
        {"--short-frame-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.shortFrameEvery; })},
        {"--state-file", {true, [](const std::string& v, MeterSimOptions& o) -> std::string {
             if (v.empty()) return "needs a file name";
             o.stateFile = v;
             return {};
         }}},
        {"--verbose", {false, [](const std::string&, MeterSimOptions& o) -> std::string {
             o.serve.verbose = true;
             return {};
         }}},
    };
    return table;
}

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

// One --meter: the base device with the given keys ("key=value,..."; a
// flag stands alone). Where the keys do not say, the unit and primary
// addresses, the serial number and the seed count up by the meter's place.
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
        const OptionSpec& option = Options().at(name);
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

// Meters on one line must be told apart by every address the line uses.
std::string CheckDistinct(const MeterSimOptions& o) {
    for (size_t a = 0; a < o.meters.size(); ++a) {
        for (size_t b = a + 1; b < o.meters.size(); ++b) {
            const DeviceOptions& x = o.meters[a];
            const DeviceOptions& y = o.meters[b];
            const std::string pair = "meters " + std::to_string(a + 1) + " and " + std::to_string(b + 1);
            if ((o.serve.HasRtu() || o.serve.HasTcp()) && x.unitAddress == y.unitAddress)
                return pair + " have the same unit address " + std::to_string(x.unitAddress);
            if (o.serve.HasMBus() && x.mbusPrimary == y.mbusPrimary)
                return pair + " have the same primary address " + std::to_string(x.mbusPrimary);
            if (o.serve.HasMBus() && x.MBusIdBcd() == y.MBusIdBcd()) return pair + " have the same secondary address";
        }
    }
    return {};
}

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
    for (const char c : digits) bcd = bcd << 4 | static_cast<uint32_t>(c - '0');
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
        const auto it = Options().find(name);
        if (it == Options().end()) {
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
    if (!o.serve.HasTcp() && !o.serve.HasRtu() && !o.serve.HasMBus()) {
        out.error = "nothing to serve: give --tcp HOST:PORT, --rtu DEVICE, --mbus DEVICE or several";
        return out;
    }
    if (o.serve.HasRtu() && o.serve.rtuDevice == o.serve.mbusDevice) {
        out.error = "--rtu and --mbus need two devices";
        return out;
    }
    if (o.device.digitQ == 1 && static_cast<long long>(o.device.ctRatio) * o.device.vtRatio > 100000) {
        out.error = "--ct times --vt must be at most 100000 with the option digit Q 1";
        return out;
    }
    if (o.device.tariffLocked) o.device.tariff = 0;
    o.device.baudCode = BaudCodeOf(o.serve.baud);
    for (size_t k = 0; k < meterSpecs.size(); ++k) {
        DeviceOptions d;
        if (std::string why = BuildMeter(meterSpecs[k], static_cast<int>(k), o, d); !why.empty()) {
            out.error = why;
            return out;
        }
        if (d.digitQ == 1 && static_cast<long long>(d.ctRatio) * d.vtRatio > 100000) {
            out.error = "--meter " + meterSpecs[k] + ": ct times vt must be at most 100000 with the option digit Q 1";
            return out;
        }
        o.meters.push_back(d);
    }
    if (o.meters.empty()) o.meters.push_back(o.device);
    if (std::string why = CheckDistinct(o); !why.empty()) out.error = why;
    return out;
}

std::vector<std::string> MeterSimOptionNames() {
    std::vector<std::string> names;
    for (const auto& [name, option] : Options()) names.push_back(name);
    names.push_back("--help");
    return names;
}

}  // namespace meter
