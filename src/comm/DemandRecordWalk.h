#pragma once
// The demand log's records as the logger walk reads them, shared by the demand
// logger read and the demand interval read's "To Table" records: the small log
// ends at a record starting FF FF, the large one (variant 2) after two all-zero
// records in a row.
#include <cstdint>
#include <span>

struct LoggerStores;

class TDemandRecordWalk {
public:
    TDemandRecordWalk(LoggerStores& stores, bool variant2) : stores_(stores), variant2_(variant2) {}

    // The walk's end-of-log test on the record data of index.
    bool EndTest(std::span<const uint8_t> data, int& index, int count);
    // Parses the record data into record index; true when the record was
    // counted, for the caller's progress report.
    bool Parse(std::span<const uint8_t> data, int index, int count, bool endOfLog);

private:
    bool ZeroRunEnd(std::span<const uint8_t> data, int& index, int count);

    LoggerStores& stores_;
    const bool variant2_;
    int zeroRun_ = 0;
};
