#pragma once
// The Modbus logger reads on the worker, Modbus RTU and TCP alike: events
// (job 27), demand (job 28, in the 32- or, for DeviceVariant 2, the 17-register
// layout) and the certified entries (job 45). The runner that RunModbusJobStep
// hands these jobs to.
#include <cstdint>

class IJobHost;

// Worker, holding the port gate. The demand-interval job 42 goes on to its
// own runner (comm/DemandIntervalJob.h).
void RunModbusLoggerJob(IJobHost& host, uint8_t job);
