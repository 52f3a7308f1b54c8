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
        {"--seed", IntOption(0, 0xFFFFFFFFLL, [](MeterSimOptions& o) -> uint32_t& { return o.device.seed; })},
        {"--no-answer-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.noAnswerEvery; })},
        {"--bad-crc-every", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.badCrcEvery; })},
        {"--delay-ms", IntOption(0, 600000, [](MeterSimOptions& o) -> int& { return o.faults.delayMs; })},
        {"--delay-every", IntOption(1, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.delayEvery; })},
        {"--drop-after", IntOption(0, 1000000, [](MeterSimOptions& o) -> int& { return o.faults.dropAfter; })},
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

}  // namespace

int DeviceOptions::DemandRecordCount() const {
    if (!HasDemandLogger()) return 0;
    const int wanted = demandRecords >= 0 ? demandRecords : (IsLargeLogger() ? 5000 : 2000);
    return std::min(wanted, DemandCapacity());
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
    if (!o.serve.HasTcp() && !o.serve.HasRtu()) {
        out.error = "nothing to serve: give --tcp HOST:PORT, --rtu DEVICE or both";
        return out;
    }
    if (o.device.digitQ == 1 && static_cast<long long>(o.device.ctRatio) * o.device.vtRatio > 100000) {
        out.error = "--ct times --vt must be at most 100000 with the option digit Q 1";
        return out;
    }
    if (o.device.tariffLocked) o.device.tariff = 0;
    o.device.baudCode = BaudCodeOf(o.serve.baud);
    return out;
}

std::vector<std::string> MeterSimOptionNames() {
    std::vector<std::string> names;
    for (const auto& [name, spec] : Options()) names.push_back(name);
    names.push_back("--help");
    return names;
}

std::string MeterSimHelpText() {
    return R"(Usage: meter-sim [OPTION]...
A simulated three-phase electricity meter serving Modbus TCP and Modbus RTU.
It prints one line "meter-sim: ready" once every transport is open, and runs
until SIGINT or SIGTERM.

Transports (at least one):
  --tcp HOST:PORT        serve Modbus TCP; PORT 0 takes any free port, which the
                         line "meter-sim: listening on HOST:PORT" then shows.
                         Port 502 needs root or CAP_NET_BIND_SERVICE.
  --rtu DEVICE           serve Modbus RTU on a serial device (a tty or one end
                         of a pseudo-terminal pair)
  --baud N               RTU line speed, 300 to 115200 (default 19200)
  --framing DPS          RTU data bits, parity N/E/O, stop bits (default 8E1)
  --unit N               unit address 1-247 (default 1). RTU answers only this
                         address; TCP answers every unit id but 0. Unit 0 is a
                         broadcast: writes are carried out, nothing is answered.

Device:
  --type N               device type index 0-5 (default 5): 0 and 3 single
                         phase, 1 and 4 three-wire, 2 and 5 four-wire; 0 and 2
                         direct connected, the others transformer connected
  --options DMPQUVW      the seven option digits D M P Q U V W (default 1201000).
                         D 2 or more: the second maker's device; M 2 or more:
                         reactive energy; Q: transformer input (0 and 9: ratios
                         not settable, 1: CT x VT at most 100000)
  --variant Z            option digit Z (default 1): 0 no demand logger, 2 the
                         large logger (record numbers, interval summary,
                         certified logger), others the ordinary demand logger
  --serial DIGITS        ten-digit serial number (default 2100012345)
  --serial-prefix XX     two serial number prefix characters (default TQ)
  --product TEXT         product name, at most 32 characters
  --base-fw N            base firmware version times 100 (default 123)
  --webserver MODE       absent (default; register 11000 answers an
                         exception), disabled or enabled
  --ct N, --vt N         transformer ratios (default 1)
  --demand-period MIN    demand period in minutes, 1-255 (default 15)
  --tariff N             tariff 1-8, or 0 for the hardware tariff input
                         (day tariff 1 from 06:00 to 22:00, else tariff 2)
  --tariff-locked        the tariff follows the hardware input and tariff
                         writes are answered but not taken
  --demand-records N     demand records filled at start (default 2000, with
                         variant 2 5000; at most 16000, variant 2 168000)
  --event-records N      events filled at start, 0-256 (default 40)
  --certified-entries N  certified entries filled at start, 0-4000 (default 12)
  --clock "YYYY-MM-DD HH:MM:SS"
                         start the meter clock there (default: the PC's time)
  --seed N               varies the generated values (default 1)

Faults:
  --no-answer-every N    every Nth request to the meter is ignored, as if it
                         never arrived (0: off)
  --bad-crc-every N      every Nth RTU answer has a broken CRC (0: off)
  --delay-ms MS          answers are sent MS milliseconds late
  --delay-every N        only every Nth answer is late (default 1: all)
  --drop-after N         a TCP connection is closed right after its Nth answer

Other:
  --verbose              log every request and what became of it on stderr
  --state-file PATH      keep the meter's settings in PATH, one "name=value"
                         line each (unit, baud, ct, vt, demand-period, tariff,
                         webserver, clock), rewritten at start and after every
                         setting the meter takes
  --help                 show this text

Examples:
  meter-sim --tcp 127.0.0.1:15020
  socat -d -d pty,raw,echo=0,link=/tmp/meter pty,raw,echo=0,link=/tmp/tool &
  meter-sim --rtu /tmp/meter --baud 19200 --framing 8E1 --unit 1
)";
}

}  // namespace meter
