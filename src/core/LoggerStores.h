#pragma once
// The record stores of the three loggers: every record is kept as ready-to-show
// texts, written by the record parsers on the worker and read by the grids and
// the CSV writers on the UI thread once the read job has posted its result.
#include <array>
#include <atomic>
#include <cstddef>
#include <string>

// One demand-logger record (one demand period of the meter).
struct CDemandLogger {
    std::string Date;      // " YYYY-MM-DD"
    std::string Time;      // "hh:mm:ss", or " hh:mm" in the 17-register layout
    std::string Period;    // demand period in minutes
    std::string Tariff;    // " n"
    std::string EpIn;
    std::string EpOut;
    std::string EpUnit;    // " kWh" or " MWh"
    std::string EqIn;
    std::string EqOut;
    std::string EqUnit;    // " kVArh" or " MVArh"
    std::string Status;    // " XXXX, XXXX"
    std::string RecordNo;  // 17-register layout only
};

// One entry of the certified (time-change) logger.
struct CCertifiedLogger {
    std::string EntryId;
    std::string OldTime;   // " YYYY-MM-DD  hh:mm:ss"
    std::string NewTime;
    std::string Event;
    std::string Checksum;  // " XX"
};

// One entry of the events logger.
struct EventRecord {
    std::string Date;       // " YYYY-MM-DD"
    std::string Time;       // "hh:mm:ss"
    std::string EventCode;  // " XX"
    std::string Parameters; // " XX  XX  XX  XX  XX  XX  XX"
};

// A fixed-capacity store of records that allocates them in blocks as they are
// first written, so an idle tool holds no records at all. Blocks never move
// once allocated: a reader on the UI thread can hold a reference while the
// worker grows the store. The capacity is a hard limit; writes beyond it are
// refused and reads beyond what was written give an empty record.
template <typename Record, std::size_t CapacityValue, std::size_t BlockSizeValue = 1024>
class LoggerRecordStore {
public:
    static constexpr std::size_t Capacity = CapacityValue;
    static constexpr std::size_t BlockSize = BlockSizeValue;
    static constexpr std::size_t BlockCount = (Capacity + BlockSize - 1) / BlockSize;

    LoggerRecordStore() = default;
    LoggerRecordStore(const LoggerRecordStore&) = delete;
    LoggerRecordStore& operator=(const LoggerRecordStore&) = delete;
    ~LoggerRecordStore()
    {
        for (auto& b : blocks_) delete[] b.load(std::memory_order_relaxed);
    }

    // The record at index for writing, its block allocated on first use with
    // all texts empty; nullptr when index is at or beyond the capacity.
    Record* ForWrite(std::size_t index)
    {
        if (index >= Capacity) return nullptr;
        std::atomic<Record*>& slot = blocks_[index / BlockSize];
        Record* block = slot.load(std::memory_order_acquire);
        if (!block) {
            Record* fresh = new Record[BlockSize]();
            if (slot.compare_exchange_strong(block, fresh, std::memory_order_acq_rel))
                block = fresh;
            else
                delete[] fresh;  // another writer published its block first
        }
        return &block[index % BlockSize];
    }

    // The record at index; a record never written, or an index beyond the
    // capacity, reads as a record with all texts empty.
    const Record& operator[](std::size_t index) const
    {
        if (index < Capacity) {
            const Record* block = blocks_[index / BlockSize].load(std::memory_order_acquire);
            if (block) return block[index % BlockSize];
        }
        return EmptyRecord();
    }

    // Number of record objects held at the moment (whole blocks).
    std::size_t AllocatedRecords() const
    {
        std::size_t n = 0;
        for (const auto& b : blocks_)
            if (b.load(std::memory_order_acquire)) n += BlockSize;
        return n;
    }

private:
    static const Record& EmptyRecord()
    {
        static const Record empty{};
        return empty;
    }

    std::array<std::atomic<Record*>, BlockCount> blocks_{};
};

constexpr std::size_t DemandRecordCapacity = 171000;
constexpr std::size_t CertifiedRecordCapacity = 4100;
constexpr std::size_t EventRecordCapacity = 300;

using DemandRecordStore = LoggerRecordStore<CDemandLogger, DemandRecordCapacity>;
using CertifiedRecordStore = LoggerRecordStore<CCertifiedLogger, CertifiedRecordCapacity>;
using EventRecordStore = LoggerRecordStore<EventRecord, EventRecordCapacity, EventRecordCapacity>;

extern template class LoggerRecordStore<CDemandLogger, DemandRecordCapacity>;
extern template class LoggerRecordStore<CCertifiedLogger, CertifiedRecordCapacity>;
extern template class LoggerRecordStore<EventRecord, EventRecordCapacity, EventRecordCapacity>;

// The logger members of the main window. Index 0 of the demand and events
// stores is the newest record of the meter; records are never cleared between
// reads, the counts say how many rows of the last read are valid.
struct LoggerStores {
    DemandRecordStore DemandRecords;
    CertifiedRecordStore CertifiedRecords;
    EventRecordStore EventRecords;

    // Written on the worker (and by the progress update inside its
    // synchronised call), read on the UI thread after the result is posted.
    std::atomic<int> DemandItemCount{0};
    std::atomic<int> EventItemCount{0};
    std::atomic<int> CertifiedItemCount{0};
    std::atomic<int> RecordCount{0};
    std::atomic<int> IntervalRecordCount{0};
    // Set by the interval read command before it starts the job: the period's
    // records are read into the demand store too ("To Table").
    std::atomic<uint8_t> IntervalToTable{0};

    // UI thread only.
    int DemandSelectedRow = 0;
    int EventsSelectedRow = 0;
    int CertifiedSelectedRow = 0;
    std::string CsvFileName;
};
