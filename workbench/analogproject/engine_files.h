// The four files the analog engine Marvane reads: the reference file ".ref", the core file
// ".sam", the environment file ".env" and the seventeen-line project file ".pro".
//
// The engine reads every data record in fixed columns, through the format descriptors the
// project file carries. A number wider than its column would shift the rest of its line and
// the engine would silently read other numbers than the user's, so each writer formats the
// whole file into text first and gives up, after a message naming the table, the row and the
// value, as soon as a value does not fit. The caller writes the text only when it is complete.
#pragma once

#include <cstddef>
#include <string>

namespace corelith {

struct Workbench;
struct SampleTable;

// The engine holds 45 species, and its sample records carry 15 values on each of three lines.
inline constexpr int kEngineSpeciesLimit = 45;
inline constexpr int kValuesPerLine = 15;
inline constexpr int kValueLines = kEngineSpeciesLimit / kValuesPerLine;

// A fixed field of a record: first column (1-based) and width.
struct Column {
    int first;
    int width;
};

// Header record of a sample (reference and core files alike).
inline constexpr Column kSampleName{1, 12};
inline constexpr Column kLatitudeDegrees{13, 4};
inline constexpr Column kLatitudeMinutes{17, 4};
inline constexpr Column kLongitudeDegrees{25, 4};
inline constexpr Column kLongitudeMinutes{29, 4};
inline constexpr Column kDepth{37, 4};
// Value records: twelve blanks, then value p (1..15) of the line in columns 13 + 4(p-1).
inline constexpr Column kFirstValue{13, 4};
// Environment record: the station name, then variables 1 and 2.
inline constexpr Column kStationName{1, 12};
inline constexpr Column kFirstVariable{14, 5};
inline constexpr Column kSecondVariable{24, 5};
// Line 7 of the project file: the run parameters.
inline constexpr Column kSpeciesCount{1, 2};
inline constexpr Column kSubjectCount{4, 4};
inline constexpr Column kAnalogCount{9, 4};
inline constexpr Column kExcludeBestAnalog{14, 1};
inline constexpr Column kMaxAnalogs{16, 2};
inline constexpr Column kGridStep{19, 5};
inline constexpr Column kSearchRadius{25, 5};

// Length of a species code in the project file (the codes are read and not used).
inline constexpr int kEngineCodeLength = 5;

// Written in the depth column for an empty depth cell: the engine reads the column as a
// four-digit integer, and -999 is what paleoceanographic tables use for "unknown".
inline constexpr char kUnknownDepth[] = "-999";

// The tables a sample file is made from, named in the messages.
struct SampleSources {
    const char* kind;          // "reference" or "core"
    std::string tablePath;     // the census table
    std::string locationsPath; // the location file paired with it row by row
    int locationRows = -1;     // the rows that file holds; -1: as many as there are samples
};

// Appends `text` at column `column.first` of `line` (blank-padding the gap before it).
// Returns false, leaving `line` alone, when `text` is not exactly `column.width` long.
bool PutField(std::string& line, Column column, const std::string& text);

// The reference (".ref") and core (".sam") files: four records per sample, a header of name
// and position from row i of the location table, then three value records of 15 values,
// species 1..45, zero beyond `speciesCount`. A value is the stored value (raw data) or the
// stored value x 100 (percent data). A sample whose largest value needs five digits is
// written divided by the power of ten that brings it to four: the engine only uses the
// proportions of a sample, which the division keeps.
// Positions are written in whole minutes, rounded with a carry into the degrees (59.7
// minutes are the next degree, never "60").
// Refused, after a message: a species count outside 1..45, no samples, a negative value, a
// sample without specimens or whose values all round to zero, a sample without a row in
// the location file, a position that does not fit its column, and in the reference file
// two samples whose names are the same in the engine's 12 characters (its reports name
// the analogs by them).
// Returns 0 with the text appended to `out`, or -1.
int WriteReferenceFile(Workbench& wb, std::string& out, const SampleSources& sources,
                       int speciesCount, int sampleCount, int projectNumber);
int WriteCoreFile(Workbench& wb, std::string& out, const SampleSources& sources, int speciesCount,
                  int sampleCount, int projectNumber);

// The environment file (".env"): station name, variable 1 and variable 2 of each station,
// "%5.2f" each. Refused, after a message: fewer than two variables, an empty cell, a value
// outside -9.99..99.99. Returns 0 with the text appended to `out`, or -1.
int WriteEnvironmentFile(Workbench& wb, std::string& out, const std::string& tablePath,
                         int variableCount, int stationCount);

// The project file (".pro"): the three data files of slot `projectNumber`, the listing and
// summary files in `outputFolder` (which ends with a separator), the header flags, the run
// parameters, the species codes and the three format descriptors. Returns 0 with the text
// appended to `out`, or -1 after a message when a run parameter does not fit its column.
int WriteProjectFile(Workbench& wb, std::string& out, const std::string& outputFolder,
                     int projectNumber, int speciesCount, int subjectCount, int analogCount);

// Lines 11-13 (core file) and 14-16 (reference file) of the project file, each line ending
// with "\n": the descriptor that reads one sample's four records with `speciesCount` values.
std::string SubjectDescriptor(int speciesCount);
std::string AnalogDescriptor(int speciesCount);

// Writes `text` as the whole new content of `path`. Returns 0; -1 when the file cannot be
// created or is one of the command's inputs, -2 when writing failed (the previous file then
// stays); a message names the file and the reason.
int SaveEngineFile(Workbench& wb, const std::string& path, const std::string& text);

} // namespace corelith
