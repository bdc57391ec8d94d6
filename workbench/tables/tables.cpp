#include "tables/tables.h"

namespace corelith {

namespace {

constexpr long kMemoryBudget = 6000000;
constexpr long kFixedBuffers = 150981;
// Two sample tables, one station record and one work value per sample.
constexpr long kBytesPerSample = 4276;

void AllocateSamples(SampleTable& table, int capacity) {
    table.capacity = capacity;
    table.names.assign(static_cast<size_t>(capacity) + 1, std::string());
    table.values.assign((static_cast<size_t>(capacity) + 1) * (kMaxSpecies + 1), 0.0f);
    table.totals.assign(static_cast<size_t>(capacity) + 1, 0.0f);
}

} // namespace

int ComputeSampleCapacity() {
    return static_cast<int>((kMemoryBudget - kFixedBuffers) / kBytesPerSample);
}

void AllocateTables(Tables& tables) {
    const int capacity = ComputeSampleCapacity();
    tables.sampleCapacity = capacity;
    tables.species.names.assign(kMaxSpecies + 1, std::string());
    tables.species.codes.assign(kMaxSpecies + 1, std::string());
    AllocateSamples(tables.reference, capacity);
    AllocateSamples(tables.core, capacity);
    tables.environment.capacity = capacity;
    tables.environment.stationNames.assign(static_cast<size_t>(capacity) + 1, std::string());
    tables.environment.values.assign((static_cast<size_t>(capacity) + 1) * (kMaxVariables + 1),
                                     0.0f);
    tables.environment.variableNames.assign(kMaxVariables + 1, std::string());
    tables.locations.stations.assign(static_cast<size_t>(capacity) + 1, Location{});
    tables.cornerLabel.clear();
    tables.decimalCommaFlag = 0;
    tables.columnMap.assign(kMaxSpecies + 1, 0);
}

} // namespace corelith
