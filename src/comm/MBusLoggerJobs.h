#pragma once
// The M-Bus logger reads on the worker: events (job 7) and demand (job 8), one
// SND_UD per record whose answer carries the record, in the primary or the
// secondary addressing form. The runner that RunMBusJobStep hands them to.
#include <cstdint>

class IJobHost;

// Worker, holding the port gate, after the port guard has passed.
void RunMBusLoggerJob(IJobHost& host, uint8_t job);
