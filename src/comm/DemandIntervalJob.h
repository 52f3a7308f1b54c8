#pragma once
// The demand interval read on the worker (job 42, Modbus TCP): the period the
// read command prepared in CustomRequest is written, the meter's summary of it
// read back and decoded, and, with "To Table", the period's records read
// newest first into the demand store through the shared logger walk.
class IJobHost;

// Worker, holding the port gate. Posts 43 (summary only) or 44 (with the
// records), 124 after two misses in a row, 123 after a cancel.
void RunDemandIntervalJob(IJobHost& host);
