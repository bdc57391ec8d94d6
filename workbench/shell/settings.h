// The settings record (eleven project slots and the program-wide values) and the
// five-line settings file "Corelith.INI".
#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace corelith {

struct Workbench;

inline constexpr int kSettingsStamp = 19990518;
inline constexpr int kSlotCount = 11; // slots 0..10; slot 0 is never used
inline constexpr char kSettingsFileName[] = "Corelith.INI";

struct ProjectSlot {
    std::string projectName = "Project";
    std::string firstPath = "NoName.cap";  // CapFac file, or the analog project's reference file
    std::string secondPath = "NoName.thr"; // Thread file, or the analog project's core file
    std::string thirdPath = "NoName.reg";  // Regress file, or the analog project's environment file
    int speciesFormat = 0;                 // 0 = species names in column, 1 = species names in line
    int dataFormat = 0;                    // 0 = raw data, 1 = percent data
    std::array<int, 9> capFac{0, 0, 0, 0, 0, 5, 0, 0, 0}; // [5] = number of factors
    int usedCapFac = 1;
    std::array<int, 9> regress{0, 1, 0, 0, 0, 0, 0, 0, 0}; // [1] = regression type
    int usedRegress = 1;
    std::array<int, 9> thread{}; // [1] = Thread option
    int usedThread = 1;
    int reservedOption = 5;
    // subjectHeaderFlag, analogHeaderFlag, excludeBestAnalog, maxAnalogs,
    // gridStep x 100, searchRadius x 100
    std::array<int, 6> engine{0, 1, 1, 10, 25, 30};

    int& numberOfFactors() { return capFac[5]; }
    int& regressionType() { return regress[1]; }
};

// What the settings file holds: slot 1's stored options and the program-wide values.
struct StoredSettings {
    std::array<int, 8> options{0, 0, 1, 1, 1, 5, 1, 5}; // line 2, values 1 to 8
    float certainFactor = 10.0f;
    int lastFilter = 1;
    std::string freeText;
    std::string quillonPath;
    std::string marvanePath;

    bool operator==(const StoredSettings&) const = default;
};

struct Settings {
    std::array<ProjectSlot, kSlotCount> slots;
    int lastFilter = 1;
    float certainFactor = 10.0f;
    std::string freeText;
    std::string quillonPath;
    std::string marvanePath;
    // The stored values as this process last read or wrote the file: a value that still
    // equals its entry here was not changed by this process, and a save takes it from the
    // file as another run of the workbench may have left it.
    StoredSettings fromFile;
};

// Full path of the settings file: the platform's settings folder + "Corelith.INI".
std::string SettingsFilePath(Workbench& wb);

// Reads the file into slot 1 and the program-wide values; a missing file or another stamp
// writes the values in memory. Returns 0 (load errors are not failures).
int LoadSettings(Workbench& wb);

// Writes slot 1 and the program-wide values; on failure beeps and shows a stop box.
// Returns 0 on success, -1 when the file could not be written.
//
// Several runs of the workbench share the file. It is replaced whole (never seen half
// written), and under a lock beside it the file is read again before it is written: the
// values this process changed are written, every other value is taken from the file (and
// from then on used by this process too), so no run loses what another one saved.
int SaveSettings(Workbench& wb);

// The stored values of the settings record, and the record given the stored values.
StoredSettings StoredValues(Settings& settings);
void TakeStoredValues(Settings& settings, const StoredSettings& stored);

// The five lines of the settings file.
std::string SettingsFileText(const StoredSettings& stored);
// Reads the settings file's lines into `stored`, which keeps its values where the file has
// none (a line 2 that stops matching, a missing line 3, 4 or 5 empties its text as the
// load does). False, with `stored` unchanged, when the first line is not the stamp.
bool ParseSettingsFile(std::FILE* file, StoredSettings& stored);

} // namespace corelith
