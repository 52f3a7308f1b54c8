#pragma once
// RunModbusJobStep: one whole Modbus job on the worker, for Modbus RTU and
// Modbus TCP alike. The unit-address scan, a fixed list of register reads per
// value, counter, identification, clock and setting read, and the one write
// request a setup command prepared in CustomRequest. Every job ends with
// SetJob(0) and, as a rule, one result code for the result handler.
//
// The job holds the port gate from start to end, so a direct exchange of the
// UI thread never falls between two of its requests.
#include <cstdint>
#include <functional>

class IJobHost;

// The logger reads (27, 28, 42, 45) have runners of their own.
using TModbusLoggerJobStep = std::function<void(IJobHost& host, uint8_t job)>;

// Worker. Without a logger runner a logger job is dropped: SetJob(0), nothing
// posted.
void RunModbusJobStep(IJobHost& host, const TModbusLoggerJobStep& loggerJobs = {});
