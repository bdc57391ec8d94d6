// The settings record (eleven project slots and the program-wide values) and the
// five-line settings file "Corelith.INI".
#pragma once

#include <array>
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

struct Settings {
    std::array<ProjectSlot, kSlotCount> slots;
    int lastFilter = 1;
    float certainFactor = 10.0f;
    std::string freeText;
    std::string quillonPath;
    std::string marvanePath;
};

// Full path of the settings file: the platform's settings folder + "Corelith.INI".
std::string SettingsFilePath(Workbench& wb);

// Reads the file into slot 1 and the program-wide values; a missing file or another stamp
// writes the values in memory. Returns 0 (load errors are not failures).
int LoadSettings(Workbench& wb);

// Writes slot 1 and the program-wide values; on failure beeps and shows a stop box.
// Returns 0 on success, -1 when the file could not be written.
int SaveSettings(Workbench& wb);

} // namespace corelith
