#include "core/LoggerStores.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

// Typed over the three stores: the limits and growth rules hold for each.
template <typename Store>
struct StoreFixture : ::testing::Test {
    std::unique_ptr<Store> store = std::make_unique<Store>();
};
using StoreTypes = ::testing::Types<DemandRecordStore, CertifiedRecordStore, EventRecordStore>;
TYPED_TEST_SUITE(StoreFixture, StoreTypes);

TYPED_TEST(StoreFixture, HoldsNoRecordsUntilOneIsWritten)
{
    EXPECT_EQ(this->store->AllocatedRecords(), 0u);
    // Reading does not allocate.
    (void)(*this->store)[0];
    (void)(*this->store)[TypeParam::Capacity - 1];
    EXPECT_EQ(this->store->AllocatedRecords(), 0u);
}

TYPED_TEST(StoreFixture, WritesUpToTheCapacityAndRefusesBeyond)
{
    constexpr std::size_t last = TypeParam::Capacity - 1;
    EXPECT_NE(this->store->ForWrite(0), nullptr);
    EXPECT_NE(this->store->ForWrite(last), nullptr);
    EXPECT_EQ(this->store->ForWrite(last + 1), nullptr);
    EXPECT_EQ(this->store->ForWrite(static_cast<std::size_t>(-1)), nullptr);
}

TYPED_TEST(StoreFixture, ReadsBeyondTheCapacityGiveAnEmptyRecord)
{
    auto* rec = this->store->ForWrite(TypeParam::Capacity - 1);
    ASSERT_NE(rec, nullptr);
    const auto& beyond = (*this->store)[TypeParam::Capacity];
    EXPECT_NE(&beyond, rec);
    const auto& far = (*this->store)[TypeParam::Capacity * 10];
    EXPECT_EQ(&far, &beyond);
}

TEST(DemandRecordStore, NewRecordsHaveEveryTextEmpty)
{
    auto store = std::make_unique<DemandRecordStore>();
    const CDemandLogger& unwritten = (*store)[123];
    CDemandLogger* rec = store->ForWrite(5000);
    ASSERT_NE(rec, nullptr);
    for (const CDemandLogger* r : {&unwritten, static_cast<const CDemandLogger*>(rec)}) {
        for (const std::string* s : {&r->Date, &r->Time, &r->Period, &r->Tariff, &r->EpIn,
                                     &r->EpOut, &r->EpUnit, &r->EqIn, &r->EqOut, &r->EqUnit,
                                     &r->Status, &r->RecordNo})
            EXPECT_TRUE(s->empty());
    }
}

TEST(DemandRecordStore, GrowsInBlocksAsRecordsAreWritten)
{
    auto store = std::make_unique<DemandRecordStore>();
    store->ForWrite(0);
    const std::size_t oneBlock = store->AllocatedRecords();
    EXPECT_GT(oneBlock, 0u);
    // A small read stays small, whatever the capacity.
    EXPECT_LT(oneBlock, DemandRecordCapacity / 20);
    store->ForWrite(oneBlock - 1);
    EXPECT_EQ(store->AllocatedRecords(), oneBlock);
    store->ForWrite(oneBlock);
    EXPECT_EQ(store->AllocatedRecords(), 2 * oneBlock);
}

TEST(DemandRecordStore, LargestReadFitsAndKeepsEveryRecord)
{
    auto store = std::make_unique<DemandRecordStore>();
    constexpr std::size_t largest = 168000;
    for (std::size_t i = 0; i < largest; ++i) {
        CDemandLogger* rec = store->ForWrite(i);
        ASSERT_NE(rec, nullptr) << i;
        rec->RecordNo = std::to_string(i);
    }
    EXPECT_GE(store->AllocatedRecords(), largest);
    EXPECT_LE(store->AllocatedRecords(), DemandRecordCapacity + DemandRecordStore::BlockSize);
    for (std::size_t i : {std::size_t{0}, std::size_t{1023}, std::size_t{1024}, largest - 1})
        EXPECT_EQ((*store)[i].RecordNo, std::to_string(i));
    EXPECT_TRUE((*store)[largest].RecordNo.empty());
}

TEST(DemandRecordStore, RecordsKeepTheirAddressWhenTheStoreGrows)
{
    auto store = std::make_unique<DemandRecordStore>();
    CDemandLogger* first = store->ForWrite(0);
    first->Date = " 2024-05-07";
    for (std::size_t i = 1; i < 20000; ++i) store->ForWrite(i);
    EXPECT_EQ(store->ForWrite(0), first);
    EXPECT_EQ(&(*store)[0], first);
    EXPECT_EQ((*store)[0].Date, " 2024-05-07");
}

TEST(DemandRecordStore, ASecondReadOverwritesAndLeavesLongerRowsAsTheyWere)
{
    auto store = std::make_unique<DemandRecordStore>();
    for (int i = 0; i < 100; ++i) store->ForWrite(i)->Tariff = " 1";
    for (int i = 0; i < 10; ++i) store->ForWrite(i)->Tariff = " 2";
    EXPECT_EQ((*store)[0].Tariff, " 2");
    EXPECT_EQ((*store)[9].Tariff, " 2");
    // Rows beyond the shorter read keep the earlier texts; the counts end the displays.
    EXPECT_EQ((*store)[10].Tariff, " 1");
    EXPECT_EQ((*store)[99].Tariff, " 1");
}

TEST(LoggerStores, IdleFootprintIsSmall)
{
    // The stores hold block pointers only until a logger is read.
    EXPECT_LT(sizeof(LoggerStores), 4096u);
    auto s = std::make_unique<LoggerStores>();
    EXPECT_EQ(s->DemandRecords.AllocatedRecords() + s->CertifiedRecords.AllocatedRecords() +
                  s->EventRecords.AllocatedRecords(),
              0u);
    EXPECT_EQ(s->DemandItemCount.load(), 0);
    EXPECT_EQ(s->RecordCount.load(), 0);
    EXPECT_EQ(s->DemandSelectedRow, 0);
    EXPECT_TRUE(s->CsvFileName.empty());
}

TEST(LoggerStores, LastWritableIndexOfEachLogger)
{
    auto s = std::make_unique<LoggerStores>();
    EXPECT_NE(s->DemandRecords.ForWrite(170999), nullptr);
    EXPECT_EQ(s->DemandRecords.ForWrite(171000), nullptr);
    EXPECT_NE(s->CertifiedRecords.ForWrite(4099), nullptr);
    EXPECT_EQ(s->CertifiedRecords.ForWrite(4100), nullptr);
    EXPECT_NE(s->EventRecords.ForWrite(299), nullptr);
    EXPECT_EQ(s->EventRecords.ForWrite(300), nullptr);
}

TEST(LoggerStores, WriterAndReaderOnTwoThreadsSeeOneBlockPerIndex)
{
    // The worker grows the store while the UI thread reads rows already shown.
    auto store = std::make_unique<DemandRecordStore>();
    store->ForWrite(0)->Date = " 2021-01-19";
    std::thread writer([&] {
        for (std::size_t i = 1; i < 50000; ++i) store->ForWrite(i);
    });
    for (int k = 0; k < 2000; ++k) ASSERT_EQ((*store)[0].Date, " 2021-01-19");
    writer.join();
    EXPECT_EQ(store->AllocatedRecords(),
              ((50000 + DemandRecordStore::BlockSize - 1) / DemandRecordStore::BlockSize) *
                  DemandRecordStore::BlockSize);
}

TEST(LoggerStores, ConcurrentFirstWritesOfOneBlockAgreeOnTheRecord)
{
    auto store = std::make_unique<CertifiedRecordStore>();
    std::vector<CCertifiedLogger*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] { seen[t] = store->ForWrite(2000); });
    for (auto& th : threads) th.join();
    for (CCertifiedLogger* p : seen) EXPECT_EQ(p, seen[0]);
    EXPECT_EQ(store->AllocatedRecords(), CertifiedRecordStore::BlockSize);
}

}  // namespace
