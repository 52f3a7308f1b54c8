// The row texts of the logger grids made from the stores, and the item count
// a read command asks for.
#include <gtest/gtest.h>

#include <memory>

#include "core/ItemCount.h"
#include "core/LoggerGridRows.h"

namespace {

std::vector<std::string> Row(const GridRowTexts& rows, size_t row, int cols)
{
    std::vector<std::string> out;
    for (int c = 0; c < cols; ++c) out.emplace_back(rows.Cell(row, c));
    return out;
}

using Cells = std::vector<std::string>;

TEST(LoggerGridRows, DemandColumnsByLoggerKindAndReactiveEnergies)
{
    auto store = std::make_unique<DemandRecordStore>();
    CDemandLogger& r = *store->ForWrite(0);
    r = {" 2024-05-07", "13:30:00", "15", " 1", " 0.120 ", " 12.345 ", " kWh", " 0.5 ", " 3.5 ", " kVArh",
         " 0040, 0001", "77"};
    *store->ForWrite(1) = r;
    store->ForWrite(1)->Date = " 2024-05-06";

    struct Case {
        bool recordNumbers, reactive;
        Cells row0;
    } cases[] = {
        {false, true,
         {" 0", " 2024-05-07", "13:30:00", " 15 min.", " 1", " 12.345  kWh", " 0.120  kWh", " 3.5  kVArh",
          " 0.5  kVArh", " 0040, 0001"}},
        {false, false,
         {" 0", " 2024-05-07", "13:30:00", " 15 min.", " 1", " 12.345  kWh", " 0.120  kWh", "", "", " 0040, 0001"}},
        {true, false,
         {" 0", " 2024-05-07", "13:30:00", " 77", " 1", " 12.345  kWh", " 0.120  kWh", "", "", " 0040, 0001"}},
    };
    for (const Case& c : cases) {
        GridRowTexts rows;
        EXPECT_EQ(FillDemandGridRows(rows, *store, 2, c.recordNumbers, c.reactive), 2u);
        EXPECT_EQ(Row(rows, 0, 10), c.row0);
        EXPECT_EQ(rows.Cell(1, 0), " 1");
        EXPECT_EQ(rows.Cell(1, 1), " 2024-05-06");
        // Beyond the columns and the rows held.
        EXPECT_EQ(rows.Cell(0, 10), "");
        EXPECT_EQ(rows.Cell(2, 0), "");
    }
}

TEST(LoggerGridRows, FillsStopAtTheFirstRecordWithoutEntry)
{
    auto demand = std::make_unique<DemandRecordStore>();
    auto events = std::make_unique<EventRecordStore>();
    auto certified = std::make_unique<CertifiedRecordStore>();
    for (size_t k = 0; k < 100; ++k) {
        demand->ForWrite(k)->Date = " 2024-01-01";
        events->ForWrite(k)->Date = " 2024-01-01";
        certified->ForWrite(k)->EntryId = std::to_string(k + 1);
    }
    // A read of 40 after one of 100: record 40 marks the end of the log.
    demand->ForWrite(40)->Date.clear();
    events->ForWrite(40)->Date.clear();
    certified->ForWrite(40)->EntryId.clear();

    GridRowTexts rows;
    EXPECT_EQ(FillDemandGridRows(rows, *demand, 100, false, true), 40u);
    EXPECT_EQ(rows.RowCount(), 40u);
    EXPECT_EQ(FillDemandGridRows(rows, *demand, 10, false, true), 10u);
    EXPECT_EQ(rows.RowCount(), 10u);
    EXPECT_EQ(FillEventsGridRows(rows, *events, 256), 40u);
    EXPECT_EQ(FillCertifiedGridRows(rows, *certified, 4001), 40u);
    EXPECT_EQ(Row(rows, 39, 2), (Cells{" 39", " 40"}));
    // Nothing written beyond the stores: the first unwritten record ends the rows.
    EXPECT_EQ(FillDemandGridRows(rows, *demand, DemandRecordCapacity + 5, false, true), 40u);
    rows.Clear();
    EXPECT_EQ(rows.RowCount(), 0u);
    EXPECT_LT(rows.HeldBytes(), 64u);
}

TEST(ItemCount, CleanUpOfTheCountText)
{
    struct Case {
        const char* text;
        size_t maxChars;
        int cap;
        const char* count;
    } cases[] = {
        {"0500", 6, 16000, "10"},      {"1234567", 6, 16000, "16000"}, {"1234567", 6, 168000, "123456"},
        {"2560", 3, 256, "256"},       {"5", 6, 4000, "5"},            {"", 6, 16000, "10"},
        {"12a", 6, 16000, "10"},       {"-5", 6, 16000, "10"},         {"16000", 6, 16000, "16000"},
        {"16001", 6, 16000, "16000"},  {"999", 3, 256, "256"},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanItemCount(c.text, c.maxChars, c.cap), c.count) << c.text;
}

} // namespace
