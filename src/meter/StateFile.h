#pragma once
// The meters' settings as a small text file that meter-sim rewrites after
// every change, so that a test or a person can see what each meter holds
// without asking it over a bus.
#include <string>
#include <vector>

#include "meter/SimMeter.h"

namespace meter {

// Per meter a "[meter N]" line (N from 1, in the order of the command line),
// then one "name=value" line each: unit, baud (the Modbus RTU rate code's
// rate), primary and secondary (M-Bus addresses), ct, vt, demand-period,
// tariff, webserver (absent, disabled, enabled), clock ("YYYY-MM-DD HH:MM:SS"),
// freeze and reset (the date settings in the clock's form, each field as
// written, so "2027-13-45 99:99:99" when that was written).
std::string StateText(const std::vector<SimMeter*>& meters);

// Writes the text beside path and renames it into place, so a reader never
// sees half a file. False when either step fails.
bool WriteStateFile(const std::string& path, const std::vector<SimMeter*>& meters);

}  // namespace meter
