#pragma once
// RunMBusJobStep: one whole M-Bus job on the worker. The primary-address scan,
// the read sequences of values, counters, identification, clock and settings
// (SND_NKE or secondary selection, a PS-field select, then REQ_UD2 with the FCB
// toggling until the final telegram), and the prepared tariff frame. Every
// REQ_UD2 answer goes to the M-Bus decoder. Every job ends with SetJob(0) and,
// as a rule, one result code for the result handler.
//
// The job holds the port gate from start to end, so a direct exchange of the
// UI thread never falls between two of its frames.
#include <cstdint>
#include <functional>

class IJobHost;

// The logger reads (7 events, 8 demand) have a runner of their own. It is
// called with the port gate held, after the port guard has passed.
using TMBusLoggerJobStep = std::function<void(IJobHost& host, uint8_t job)>;

// Worker. Without a logger runner a logger job is dropped: SetJob(0), nothing
// posted.
void RunMBusJobStep(IJobHost& host, const TMBusLoggerJobStep& loggerJobs = {});
