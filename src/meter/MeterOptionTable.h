#pragma once
// The pieces meter-sim's command line is read with: the table of options,
// one --meter's key list, and the checks of the line as a whole.
#include <functional>
#include <map>
#include <string>

#include "meter/MeterOptions.h"

namespace meter::cmdline {

// One option: whether it takes a value, and what it does with it. A refusal
// comes back as the reason, to be said after the option's name.
struct OptionSpec {
    bool takesValue;
    std::function<std::string(const std::string&, MeterSimOptions&)> apply;
};

// Every long option by its name.
const std::map<std::string, OptionSpec>& OptionTable();

// One --meter: the base device with the given keys ("key=value,..."; a flag
// stands alone). Returns the reason it is refused, or nothing.
std::string BuildMeter(const std::string& keys, int place, const MeterSimOptions& base, DeviceOptions& out);

// The transports asked for; the reason they are refused, or nothing.
std::string CheckTransports(const ServeOptions& serve);
// Primary values the meter could not show: the option digit Q 1 allows
// ratios up to 100000 only.
bool RatiosTooLarge(const DeviceOptions& d);
// Meters on one line must be told apart by every address the line uses.
std::string CheckDistinct(const MeterSimOptions& o);

}  // namespace meter::cmdline
