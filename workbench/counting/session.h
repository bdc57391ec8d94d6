// The state of a counting run and the changes it makes to the shared tables. The counting
// dialog makes every change through ApplyAction, and the journal of the run replays the same
// actions after a crash, so that a recovered run ends with exactly the tables it had.
#pragma once

#include "tables/tables.h"

#include <string>
#include <vector>

namespace corelith {

// State of one counting run.
struct CountingState {
    int speciesCount = 0;
    int sampleCount = 0;
    int currentSample = 0;
    int currentSpecies = 0;
    float increment = 1.0f;
    int previousSample = 0;
    int previousSpecies = 0;
    // Files of the run (its input, output and diversity file) that no interim file may take.
    std::vector<std::string> reservedPaths;
};

inline constexpr char kNewSpeciesName[] = "Globigerina eleonoides";

// One change of a counting run.
struct CountingAction {
    enum class Kind { Count, NewSample, NewSpecies, RenameSample, RenameSpecies };
    Kind kind = Kind::Count;
    int sample = 0;      // Count, RenameSample (0 renames the header label)
    int species = 0;     // Count, RenameSpecies
    float increment = 0; // Count
    std::string name;    // every kind but Count
};

// Sets the running total of every sample to the sum of its counts.
void ComputeTotals(Tables& tables, const CountingState& state);

// Adds a sample (species) after the last one and makes it current: no name ("Globigerina
// eleonoides" for a species) and no counts, whatever an earlier command left in the entry.
// False, with nothing changed, when the table is full.
bool AddSampleEntry(Tables& tables, CountingState& state);
bool AddSpeciesEntry(Tables& tables, CountingState& state);

// Tabs and line breaks in a typed name would shift the columns of every written matrix.
std::string CellSafeName(std::string name);

// Applies `action` to the tables and the counts of `state`. False, with nothing changed,
// when it does not fit them: a count outside the table, an increment of 0 or one that would
// leave the range of the table's numbers, a full table, a rename beyond the last entry.
bool ApplyAction(Tables& tables, CountingState& state, const CountingAction& action);

} // namespace corelith
