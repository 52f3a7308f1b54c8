#pragma once
// The demand log's records as the logger walk reads them, shared by the demand
// logger read and the demand interval read's "To Table" records. Over Modbus
// RTU both layouts end at a record starting FF FF, and an all-zero record of
// the large log is an empty row like any other; over Modbus TCP the small log
// ends the same way, the large one (variant 2) after two all-zero records in a
// row.
#include <cstdint>
#include <span>

struct LoggerStores;

class TDemandRecordWalk {
public:
    TDemandRecordWalk(LoggerStores& stores, bool variant2, bool rtu)
        : stores_(stores), variant2_(variant2), rtu_(rtu)
    {
    }

    // The walk's end-of-log test on the record data of index.
    bool EndTest(std::span<const uint8_t> data, int& index, int count);
    // Parses the record data into record index; true when the record was
    // counted, for the caller's progress report.
    bool Parse(std::span<const uint8_t> data, int index, int count, bool endOfLog);

private:
    bool ZeroRunEnd(std::span<const uint8_t> data, int& index, int count);

    LoggerStores& stores_;
    const bool variant2_;
    const bool rtu_;
    int zeroRun_ = 0;
};
