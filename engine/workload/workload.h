// Engine projects made to order: synthetic reference sets and down-core records whose
// assemblages follow temperature like real ones do, real census tables read from
// tab-separated files, and the four engine files written in the fixed columns the
// workbench uses. The benchmark and the tests that compare the engine's two computing
// paths build their projects here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marvane::workload {

struct Sample {
    std::string name;
    std::vector<float> values; // one per species, as the census table holds them
    float latitude = 0.0f;     // signed decimal degrees
    float longitude = 0.0f;
    float depth = -999.99f; // -999.99: unknown, as an empty table cell
    float env1 = 0.0f;      // reference samples only
    float env2 = 0.0f;
};

// What the workbench holds when it writes an analog project.
struct ProjectData {
    std::vector<std::string> speciesNames;
    std::vector<Sample> references;
    std::vector<Sample> subjects;
    int dataFormat = 0; // 0: raw counts; 1: percent data (the values are multiplied by 100)
    int subjectHeaderFlag = 0;
    int analogHeaderFlag = 1;
    int excludeBestAnalog = 1;
    int maxAnalogs = 10;
    float gridStep = 0.25f;
    float searchRadius = 0.30f;
};

// Writes `<base>.ref`, `<base>.sam`, `<base>.env` and `<base>.pro` into `folder`, the
// project naming the data files and its two report files relative to the folder the
// engine runs in. With the header flags 0 and 1 the descriptors are the workbench's;
// other flag values get descriptors that read the same records. Returns 0, or -1 with the reason in
// `error` (a value that does not fit its column, an unwritable file).
int WriteProject(const ProjectData& data, const std::string& folder, const std::string& base,
                 std::string& error);

// The descriptor of a sample file for `speciesCount` species, its three project lines
// joined by line ends: the workbench's for references ("(A12,2F4.0,4X,2F4.0,4X,I4/"
// reading the position header) and for subjects ("(A12/" reading the name only); with
// `positions` other than the workbench uses, a descriptor of the same records.
std::string SampleDescriptor(int speciesCount, bool reference, bool positions);

// The environment values as the engine reads them back from the environment file.
float AsWrittenEnvironment(float value);

struct SyntheticShape {
    int references = 1000;
    int species = 30;
    int subjects = 200;
    std::uint64_t seed = 1;
    // Share of reference samples that repeat an earlier one exactly (equal dissimilarities).
    double duplicateShare = 0.01;
};

// Core tops spread over the world ocean (cold-season temperatures from -1.9 to about
// 28 degrees C, warm-season up to about 30) and a down-core record through two
// glacial cycles, both counted from assemblages whose species follow smooth
// temperature preferences. Values are counts (dataFormat 0).
ProjectData MakeSynthetic(const SyntheticShape& shape);

// Reads a census table in the "species in line" layout, an environment table (the
// first two variables) and a location table (tab-separated, as described in the data
// folder's README). Returns 0, or -1 with the reason in `error`.
int ReadCensus(const std::string& path, std::vector<std::string>& speciesNames,
               std::vector<Sample>& samples, std::string& error);
int ReadEnvironment(const std::string& path, std::vector<Sample>& samples, std::string& error);
int ReadLocations(const std::string& path, std::vector<Sample>& samples, std::string& error);

// Grid and radius planning against the engine's limits.
struct GridChoice {
    float gridStep = 0.0f;
    float searchRadius = 0.0f;
    long long generatedNodes = 0;
    int virtualRows = 0;
};

// The smallest gridStep (in the 0.001 steps of its project field) whose grid over the
// references' environment stays within `nodeLimit` generated nodes.
int ChooseGridStep(const ProjectData& data, long long nodeLimit, GridChoice& choice,
                   std::string& error);

// The largest searchRadius (in 0.001 steps, at most `ceiling`) that keeps reference rows
// plus virtual rows within `rowLimit` for choice.gridStep; fills searchRadius and
// virtualRows.
int ChooseSearchRadius(const ProjectData& data, int rowLimit, float ceiling, GridChoice& choice,
                       std::string& error);

// The benchmark's workloads by name, with their grid step and search radius set:
// - "large": 4,000 reference samples x 45 species, 1,000 subject samples, maxAnalogs 50;
//   the finest grid step that stays within 50,000 grid nodes and the widest search
//   radius (at most 0.3) that keeps reference and virtual rows within 5,000;
// - "typical": 1,000 x 30, 200 subject samples, the workbench's defaults (0.25, 0.30);
// - "forcens": the 3,916 ForCenS core tops x 41 taxa with Tcold and Twarm against the
//   732 samples of core MD95-2040, read from `dataFolder` (percent data, grid step
//   0.25 and the widest radius up to 0.30 that fits the 5,000 rows);
// - "forcens-global": the same with the workbench's grid step 0.25 and search radius
//   0.30, which need more reference rows than the fixed tables hold.
int MakeNamedWorkload(const std::string& name, const std::string& dataFolder, ProjectData& data,
                      std::string& error);

} // namespace marvane::workload
