#pragma once
// The meter's three logs: demand records, events and certified entries. Each
// record carries a number that grows by one per record, so a reader that walks
// the log keeps its place while new records arrive and old ones fall out.
#include <array>
#include <cstdint>
#include <deque>
#include <optional>

namespace meter {

struct DemandRecord {
    int64_t number = 0;
    int64_t time = 0;  // civil seconds at the end of the period
    uint8_t tariff = 1;
    uint8_t period = 15;
    double epIn = 0, epOut = 0, eqIn = 0, eqOut = 0;  // counters at that time, Wh and varh
    uint16_t status1 = 0;
    uint16_t status2 = 0;
};

// Event codes of the events log.
enum EventCode : uint8_t {
    evPowerDown = 0x01,
    evPowerUp = 0x02,
    evClockSet = 0x10,
    evCtRatio = 0x11,
    evVtRatio = 0x12,
    evTariff = 0x13,
    evDemandPeriod = 0x14,
    evUnitAddress = 0x15,
    evBaudRate = 0x16,
    evFreeze = 0x20,
    evReset = 0x21,
    evWebserver = 0x30,
};

struct EventRecord {
    int64_t number = 0;
    int64_t time = 0;
    uint8_t code = 0;
    std::array<uint8_t, 7> params{};
};

// Event codes of the certified log.
enum CertifiedEvent : uint16_t {
    ceClockSet = 5,    // clock set through a communication port
    ceClockSync = 18,  // clock corrected by synchronisation
};

struct CertifiedEntry {
    int64_t number = 0;  // the entry id
    uint16_t event = ceClockSet;
    int64_t oldTime = 0;
    int64_t newTime = 0;
};

// Demand record status bits.
enum DemandStatus : uint16_t {
    dsPowerFail = 0x0001,    // status word 1: a power failure during the period
    dsClockSet = 0x0002,     // status word 1: the clock was set during the period
    dsSettingChanged = 0x0004,
    dsTariffChanged = 0x0001,  // status word 2
};

template <typename Record>
class NumberedLog {
public:
    explicit NumberedLog(size_t capacity) : capacity_(capacity) {}

    // Numbers the record and stores it as the newest; the oldest falls out
    // when the log is full.
    const Record& Append(Record record) {
        record.number = nextNumber_++;
        records_.push_back(record);
        if (records_.size() > capacity_) records_.pop_front();
        return records_.back();
    }
    bool Empty() const { return records_.empty(); }
    size_t Size() const { return records_.size(); }
    size_t Capacity() const { return capacity_; }
    int64_t NewestNumber() const { return records_.empty() ? 0 : records_.back().number; }
    int64_t OldestNumber() const { return records_.empty() ? 0 : records_.front().number; }
    const Record* Find(int64_t number) const {
        if (records_.empty() || number < OldestNumber() || number > NewestNumber()) return nullptr;
        return &records_[static_cast<size_t>(number - OldestNumber())];
    }
    const std::deque<Record>& Records() const { return records_; }

private:
    std::deque<Record> records_;
    size_t capacity_;
    int64_t nextNumber_ = 1;
};

// A reader's place in a log, walking from the newest record to older ones.
// Before the first walk (and past the oldest record) it stands above the
// newest, so "older" starts at the newest record.
//
// A step whose answer did not reach the reader must not cost a record: the
// request after a miss takes back the step made by the request just before it,
// so the next "older" returns the record that was missed. A step is taken back
// only when no other request came between (NoteRequest counts every request the
// meter notices, one it could not use included): a request lost before the
// meter leaves nothing to take back.
class LogCursor {
public:
    void NoteRequest() {
        if (undoArmed_) ++requestsSinceStep_;
    }
    template <typename Record>
    const Record* Newest(const NumberedLog<Record>& log) {
        // Repeating it starts the same walk: nothing to take back.
        undoArmed_ = false;
        position_ = log.NewestNumber();
        return log.Find(*position_);
    }
    template <typename Record>
    const Record* Older(const NumberedLog<Record>& log) {
        Remember();
        if (!position_) position_ = log.NewestNumber();
        else if (*position_ >= log.OldestNumber()) --*position_;
        return log.Find(*position_);
    }
    template <typename Record>
    const Record* Current(const NumberedLog<Record>& log) {
        if (!position_) position_ = log.NewestNumber();
        return log.Find(*position_);
    }
    // The request after a miss: its answer is not used.
    template <typename Record>
    const Record* AfterMiss(const NumberedLog<Record>& log) {
        if (undoArmed_ && requestsSinceStep_ <= 1) position_ = undoPosition_;
        undoArmed_ = false;
        return Current(log);
    }
    template <typename Record>
    const Record* Seek(const NumberedLog<Record>& log, int64_t number) {
        undoArmed_ = false;
        position_ = number;
        return log.Find(number);
    }
    std::optional<int64_t> Position() const { return position_; }

private:
    void Remember() {
        undoArmed_ = true;
        undoPosition_ = position_;
        requestsSinceStep_ = 0;
    }

    std::optional<int64_t> position_;
    bool undoArmed_ = false;
    std::optional<int64_t> undoPosition_;
    int requestsSinceStep_ = 0;
};

}  // namespace meter
