#pragma once
// The texts of the logger grids' rows, made from the record stores when a read
// has finished. They are a copy: the grid never reads a store that the next
// read is writing on the worker. All rows share one block of text, so 168,000
// rows cost one allocation and little more memory than their characters.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/LoggerStores.h"

class GridRowTexts {
public:
    void Clear();
    size_t RowCount() const { return rowStarts_.size(); }
    // Empty beyond the row's cells or the rows held.
    std::string_view Cell(size_t row, int col) const;
    size_t HeldBytes() const { return text_.capacity() + rowStarts_.capacity() * sizeof(uint32_t); }

    // Building: a row, then its cells in column order, each from up to three parts.
    void Reserve(size_t rows, size_t bytes);
    void BeginRow();
    void AddCell(std::string_view a, std::string_view b = {}, std::string_view c = {});
    void AddNumberCell(size_t number);  // " " and the number

private:
    static constexpr char kCellEnd = '\x1f';
    std::string text_;
    std::vector<uint32_t> rowStarts_;
};

// Each filler makes the rows of records 0 to count - 1 and stops at the first
// record that holds no entry (an empty date, or an empty entry number for the
// certified logger); it returns the number of rows made. Row k shows record k.
size_t FillDemandGridRows(GridRowTexts& rows, const DemandRecordStore& records, size_t count, bool recordNumbers,
                          bool reactiveEnergies);
size_t FillEventsGridRows(GridRowTexts& rows, const EventRecordStore& records, size_t count);
size_t FillCertifiedGridRows(GridRowTexts& rows, const CertifiedRecordStore& records, size_t count);
