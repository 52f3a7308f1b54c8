#pragma once
// The meter's settings as a small text file that meter-sim rewrites after
// every change, so that a test or a person can see what the meter holds
// without asking it over a bus.
#include <string>

#include "meter/SimMeter.h"

namespace meter {

// One "name=value" line each: unit, baud, ct, vt, demand-period, tariff,
// webserver (absent, disabled, enabled), clock ("YYYY-MM-DD HH:MM:SS").
std::string StateText(const SimMeter& meter);

// Writes the text beside path and renames it into place, so a reader never
// sees half a file. False when either step fails.
bool WriteStateFile(const std::string& path, const SimMeter& meter);

}  // namespace meter
