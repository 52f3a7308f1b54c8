// meter-sim's options: each one's name, whether it takes a value, and how the
// value is checked and stored.
#include "meter/MeterOptionTable.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <type_traits>

namespace meter::cmdline {

namespace {

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

// An option that stores an integer in range into the field picked.
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

// An option that names a device or file; `what` is said when it is empty.
template <typename Field>
OptionSpec NameOption(const char* what, Field field) {
    return {true, [=](const std::string& v, MeterSimOptions& o) -> std::string {
                if (v.empty()) return std::string("needs a ") + what;
                field(o) = v;
                return {};
            }};
}

// A line speed from the Modbus baud rate codes, up to `highest`.
template <typename Field>
OptionSpec BaudOption(int highest, Field field) {
    return {true, [=](const std::string& v, MeterSimOptions& o) -> std::string {
                long long n = 0;
                if (!ToInt(v, 1, highest, n) || BaudCodeOf(static_cast<int>(n)) < 0) {
                    std::string rates = "must be one of";
                    for (int code = 0; BaudOfCode(code) > 0 && BaudOfCode(code) <= highest; ++code)
                        rates += " " + std::to_string(BaudOfCode(code));
                    return rates;
                }
                field(o) = static_cast<int>(n);
                return {};
            }};
}

// A fixed count of decimal digits, such as a serial number.
template <typename Field>
OptionSpec DigitsOption(size_t count, const char* countWord, Field field) {
    return {true, [=](const std::string& v, MeterSimOptions& o) -> std::string {
                if (v.size() != count || !AllDigits(v)) return std::string("must be ") + countWord + " decimal digits";
                field(o) = v;
                return {};
            }};
}

template <typename Field>
OptionSpec FlagOption(Field field) {
    return {false, [=](const std::string&, MeterSimOptions& o) -> std::string {
                field(o) = true;
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

std::string ApplySerialPrefix(const std::string& v, MeterSimOptions& o) {
    if (v.size() != 2) return "must be two characters";
    o.device.serialPrefix = v;
    return {};
}

std::string ApplyProduct(const std::string& v, MeterSimOptions& o) {
    if (v.size() > 32) return "must be at most 32 characters";
    o.device.productName = v;
    return {};
}

std::string ApplyWebserver(const std::string& v, MeterSimOptions& o) {
    if (v == "absent") o.device.webserver = WebserverMode::Absent;
    else if (v == "disabled") o.device.webserver = WebserverMode::Disabled;
    else if (v == "enabled") o.device.webserver = WebserverMode::Enabled;
    else return "must be absent, disabled or enabled";
    return {};
}

std::string ApplyClock(const std::string& v, MeterSimOptions& o) {
    auto t = ParseCivil(v);
    if (!t || t->year < 2000 || t->year > 2099) return "must be a date and time \"YYYY-MM-DD HH:MM:SS\" in 2000-2099";
    o.device.clockStart = *t;
    return {};
}

std::string ApplyDropAnswers(const std::string& v, MeterSimOptions& o) {
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
}

// Eight digits of an M-Bus identification: 0-9, or A-E as some makers use
// (F is the wildcard of the select frame).
std::string ApplySecondary(const std::string& v, MeterSimOptions& o) {
    const bool ok = v.size() == 8 && std::all_of(v.begin(), v.end(), [](char c) {
                        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'E');
                    });
    if (!ok) return "must be eight digits 0-9 or A-E";
    o.device.mbusId = v;
    return {};
}

// --meter is read apart, after all the others; it stands here to be known.
std::string TakeMeterLater(const std::string&, MeterSimOptions&) { return {}; }

}  // namespace

const std::map<std::string, OptionSpec>& OptionTable() {
    using O = MeterSimOptions;
    static const std::map<std::string, OptionSpec> table = {
        {"--tcp", {true, ApplyTcp}},
        {"--rtu", NameOption("device path", [](O& o) -> std::string& { return o.serve.rtuDevice; })},
        {"--baud", BaudOption(115200, [](O& o) -> int& { return o.serve.baud; })},
        {"--framing", {true, ApplyFraming}},
        {"--mbus", NameOption("device path", [](O& o) -> std::string& { return o.serve.mbusDevice; })},
        {"--mbus-baud", BaudOption(9600, [](O& o) -> int& { return o.serve.mbusBaud; })},
        {"--primary", IntOption(0, 250, [](O& o) -> int& { return o.device.mbusPrimary; })},
        {"--secondary", {true, ApplySecondary}},
        {"--mbus-version", IntOption(0, 255, [](O& o) -> uint8_t& { return o.device.mbusVersion; })},
        {"--meter", {true, TakeMeterLater}},
        {"--unit", IntOption(1, 247, [](O& o) -> int& { return o.device.unitAddress; })},
        {"--type", IntOption(0, 5, [](O& o) -> int& { return o.device.typeIndex; })},
        {"--options", {true, ApplyOptionDigits}},
        {"--variant", IntOption(0, 9, [](O& o) -> int& { return o.device.variant; })},
        {"--serial", DigitsOption(10, "ten", [](O& o) -> std::string& { return o.device.serialNumber; })},
        {"--serial-prefix", {true, ApplySerialPrefix}},
        {"--product", {true, ApplyProduct}},
        {"--base-fw", IntOption(0, 32767, [](O& o) -> uint16_t& { return o.device.baseFirmware; })},
        {"--webserver", {true, ApplyWebserver}},
        {"--ct", IntOption(1, 10000, [](O& o) -> int& { return o.device.ctRatio; })},
        {"--vt", IntOption(1, 1000, [](O& o) -> int& { return o.device.vtRatio; })},
        {"--demand-period", IntOption(1, 255, [](O& o) -> int& { return o.device.demandPeriod; })},
        {"--tariff", IntOption(0, 8, [](O& o) -> int& { return o.device.tariff; })},
        {"--tariff-locked", FlagOption([](O& o) -> bool& { return o.device.tariffLocked; })},
        {"--demand-records", IntOption(0, 168000, [](O& o) -> int& { return o.device.demandRecords; })},
        {"--event-records", IntOption(0, 256, [](O& o) -> int& { return o.device.eventRecords; })},
        {"--certified-entries", IntOption(0, 4000, [](O& o) -> int& { return o.device.certifiedEntries; })},
        {"--clock", {true, ApplyClock}},
        {"--clock-stopped", FlagOption([](O& o) -> bool& { return o.device.clockStopped; })},
        {"--seed", IntOption(0, 0xFFFFFFFFLL, [](O& o) -> uint32_t& { return o.device.seed; })},
        {"--no-answer-every", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.noAnswerEvery; })},
        {"--bad-crc-every", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.badCrcEvery; })},
        {"--delay-ms", IntOption(0, 600000, [](O& o) -> int& { return o.faults.delayMs; })},
        {"--delay-every", IntOption(1, 1000000, [](O& o) -> int& { return o.faults.delayEvery; })},
        {"--drop-after", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.dropAfter; })},
        {"--drop-answer-every", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.dropAnswerEvery; })},
        {"--drop-answers", {true, ApplyDropAnswers}},
        {"--silent-after", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.silentAfter; })},
        {"--bad-checksum-every", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.badChecksumEvery; })},
        {"--short-frame-every", IntOption(0, 1000000, [](O& o) -> int& { return o.faults.shortFrameEvery; })},
        {"--state-file", NameOption("file name", [](O& o) -> std::string& { return o.stateFile; })},
        {"--verbose", FlagOption([](O& o) -> bool& { return o.serve.verbose; })},
    };
    return table;
}

}  // namespace meter::cmdline
