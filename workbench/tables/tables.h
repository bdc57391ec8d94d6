// The shared in-memory tables of the workbench: species, reference and core samples,
// environmental values and station positions. Allocated once at start-up with fixed
// capacities; every command overwrites what it reads.
#pragma once

#include <string>
#include <vector>

namespace corelith {

inline constexpr int kMaxSpecies = 500;
inline constexpr int kMaxVariables = 10;
inline constexpr int kMaxNameLength = 63;
inline constexpr int kMaxLineLength = 10000;
inline constexpr float kEmptyCell = -999.99f; // an empty cell of an environment or location table

// How a census table is laid out, as the Format of species option sets it: species in
// column (one line per species, the samples across) or species in line (one line per
// sample, the species across). The values are those of the settings file.
enum class SpeciesLayout { InColumn = 0, InLine = 1 };

// The layout a stored Format of species stands for: below 1 species in column, otherwise
// species in line (the option dialog shows a stored 2 as species in line, too).
constexpr SpeciesLayout LayoutOfSpeciesFormat(int speciesFormat) {
    return speciesFormat < 1 ? SpeciesLayout::InColumn : SpeciesLayout::InLine;
}

// Number of samples/stations the tables hold: a fixed memory budget of 6,000,000 bytes,
// less 150,981 bytes of fixed buffers, divided by 4,276 bytes per sample.
int ComputeSampleCapacity();

struct SpeciesList {
    // Entries 0..kMaxSpecies; entry 0 is unused by the readers.
    std::vector<std::string> names;
    std::vector<std::string> codes; // exactly 8 characters once formed by a writer
};

struct SampleTable {
    int capacity = 0;               // samples 1..capacity; entry 0 holds the header label
    std::vector<std::string> names; // capacity + 1 entries
    std::vector<float> values;      // (capacity + 1) x (kMaxSpecies + 1)
    std::vector<float> totals;      // running totals of the counting tool, capacity + 1

    float& Value(int sample, int species) { return values[Index(sample, species)]; }
    float Value(int sample, int species) const { return values[Index(sample, species)]; }

  private:
    size_t Index(int sample, int species) const {
        return static_cast<size_t>(sample) * (kMaxSpecies + 1) + static_cast<size_t>(species);
    }
};

struct EnvironmentTable {
    int capacity = 0;
    std::vector<std::string> stationNames;  // capacity + 1
    std::vector<float> values;              // (capacity + 1) x (kMaxVariables + 1)
    std::vector<std::string> variableNames; // kMaxVariables + 1; entry 0 labels the name column

    float& Value(int station, int variable) { return values[Index(station, variable)]; }
    float Value(int station, int variable) const { return values[Index(station, variable)]; }

  private:
    size_t Index(int station, int variable) const {
        return static_cast<size_t>(station) * (kMaxVariables + 1) + static_cast<size_t>(variable);
    }
};

struct Location {
    std::string name;
    float latitudeDegrees = 0, latitudeMinutes = 0;
    float longitudeDegrees = 0, longitudeMinutes = 0;
    float depth = 0;
};

struct LocationTable {
    std::vector<Location> stations; // capacity + 1
};

struct Tables {
    int sampleCapacity = 0;
    SpeciesList species;
    SampleTable reference;
    SampleTable core;
    EnvironmentTable environment;
    LocationTable locations;
    std::string cornerLabel;
    int decimalCommaFlag = 0;
    std::vector<int> columnMap; // kMaxSpecies + 1: input column -> species number, 0 = left out
};

// Allocates every table with the computed sample capacity, names empty and values 0.
void AllocateTables(Tables& tables);

} // namespace corelith
