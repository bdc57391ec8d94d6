#include "tables/tables.h"

#include <gtest/gtest.h>

namespace corelith {
namespace {

TEST(TablesTest, SampleCapacityComesFromTheMemoryBudget) {
    // (6,000,000 - 150,981) / 4,276 bytes per sample.
    EXPECT_EQ(ComputeSampleCapacity(), 1367);
}

TEST(TablesTest, AllocationGivesEveryTableItsEntries) {
    Tables t;
    t.cornerLabel = "old";
    t.decimalCommaFlag = 1;
    AllocateTables(t);
    const size_t rows = 1368;
    EXPECT_EQ(t.sampleCapacity, 1367);
    EXPECT_EQ(t.species.names.size(), 501u);
    EXPECT_EQ(t.species.codes.size(), 501u);
    for (const SampleTable* s : {&t.reference, &t.core}) {
        EXPECT_EQ(s->capacity, 1367);
        EXPECT_EQ(s->names.size(), rows);
        EXPECT_EQ(s->values.size(), rows * 501);
        EXPECT_EQ(s->totals.size(), rows);
        EXPECT_EQ(s->Value(1367, 500), 0.0f);
    }
    EXPECT_EQ(t.environment.capacity, 1367);
    EXPECT_EQ(t.environment.stationNames.size(), rows);
    EXPECT_EQ(t.environment.values.size(), rows * 11);
    EXPECT_EQ(t.environment.variableNames.size(), 11u);
    EXPECT_EQ(t.locations.stations.size(), rows);
    EXPECT_EQ(t.columnMap.size(), 501u);
    EXPECT_EQ(t.cornerLabel, "");
    EXPECT_EQ(t.decimalCommaFlag, 0);
}

} // namespace
} // namespace corelith
