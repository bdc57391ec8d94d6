#include "counting/session.h"

#include "textio/text_cut.h"

#include <algorithm>
#include <cmath>

namespace corelith {

namespace {

bool AddCount(Tables& tables, const CountingState& state, int i, int j, float increment) {
    if (i < 1 || i > state.sampleCount || j < 1 || j > state.speciesCount || increment == 0.0f)
        return false;
    SampleTable& table = tables.reference;
    float& total = table.totals[static_cast<size_t>(i)];
    const float count = table.Value(i, j) + increment;
    const float newTotal = total + increment;
    // A count beyond the range of the table's numbers could not be written back.
    if (!std::isfinite(count) || !std::isfinite(newTotal))
        return false;
    table.Value(i, j) = count;
    total = newTotal;
    return true;
}

bool Rename(std::vector<std::string>& names, int index, int count, const std::string& name) {
    if (index < 0 || index > count)
        return false;
    names[static_cast<size_t>(index)] = CellSafeName(name);
    return true;
}

} // namespace

void ComputeTotals(Tables& tables, const CountingState& state) {
    SampleTable& table = tables.reference;
    std::fill(table.totals.begin(), table.totals.end(), 0.0f);
    for (int i = 1; i <= state.sampleCount; ++i) {
        float& total = table.totals[static_cast<size_t>(i)];
        for (int j = 1; j <= state.speciesCount; ++j)
            total += table.Value(i, j);
    }
}

bool AddSampleEntry(Tables& tables, CountingState& state) {
    SampleTable& table = tables.reference;
    if (state.sampleCount >= std::min(tables.sampleCapacity, table.capacity))
        return false;
    const int entry = ++state.sampleCount;
    state.currentSample = entry;
    table.names[static_cast<size_t>(entry)].clear();
    for (int j = 0; j <= kMaxSpecies; ++j)
        table.Value(entry, j) = 0;
    table.totals[static_cast<size_t>(entry)] = 0;
    return true;
}

bool AddSpeciesEntry(Tables& tables, CountingState& state) {
    if (state.speciesCount >= kMaxSpecies)
        return false;
    const int entry = ++state.speciesCount;
    state.currentSpecies = entry;
    tables.species.names[static_cast<size_t>(entry)] = kNewSpeciesName;
    for (int i = 0; i <= tables.reference.capacity; ++i)
        tables.reference.Value(i, entry) = 0;
    return true;
}

std::string CellSafeName(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return std::string(CutText(name, kMaxNameLength));
}

bool ApplyAction(Tables& tables, CountingState& state, const CountingAction& action) {
    using Kind = CountingAction::Kind;
    switch (action.kind) {
    case Kind::Count:
        return AddCount(tables, state, action.sample, action.species, action.increment);
    case Kind::NewSample:
        return AddSampleEntry(tables, state) &&
               Rename(tables.reference.names, state.sampleCount, state.sampleCount, action.name);
    case Kind::NewSpecies:
        return AddSpeciesEntry(tables, state) &&
               Rename(tables.species.names, state.speciesCount, state.speciesCount, action.name);
    case Kind::RenameSample:
        return Rename(tables.reference.names, action.sample, state.sampleCount, action.name);
    case Kind::RenameSpecies:
        return Rename(tables.species.names, action.species, state.speciesCount, action.name);
    }
    return false;
}

} // namespace corelith
