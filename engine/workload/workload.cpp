#include "engine/workload/workload.h"

#include "engine/format.h"
#include "engine/grid.h"
#include "engine/tables.h"
#include "engine/text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace marvane::workload {

namespace {

constexpr int kValuesPerLine = 15;
constexpr int kValueLines = 3;
constexpr float kEmptyCell = -999.99f;

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A number in a fixed column, refused when it would not fit and shift the line.
bool Put(std::string& line, const char* format, double value, size_t width, const char* what,
         const std::string& sample, std::string& error) {
    const std::string text = Printf(format, value);
    if (!std::isfinite(value) || text.size() != width) {
        error = "sample \"" + sample + "\": the " + what + " " + Printf("%g", value) +
                " does not fit its " + std::to_string(width) + " columns";
        return false;
    }
    line += text;
    return true;
}

// Degrees and minutes as the workbench's location reader stores a signed decimal
// coordinate: both negative for a negative coordinate.
std::array<float, 2> DegreesAndMinutes(float coordinate, bool longitude) {
    if (longitude && coordinate > 180.0f) {
        coordinate -= 360.0f;
    }
    const float magnitude = std::fabs(coordinate);
    const float degrees = std::trunc(magnitude);
    const float minutes = (magnitude - degrees) * 60.0f;
    return coordinate < 0.0f ? std::array<float, 2>{-degrees, -minutes}
                             : std::array<float, 2>{degrees, minutes};
}

// One sample's four records: the position header and three lines of 15 values.
bool SampleRecords(const Sample& sample, int speciesCount, int dataFormat, std::string& out,
                   std::string& error) {
    std::string line = FitToWidth(sample.name, 12);
    const auto latitude = DegreesAndMinutes(sample.latitude, false);
    const auto longitude = DegreesAndMinutes(sample.longitude, true);
    if (!Put(line, "%+04.0f", latitude[0], 4, "latitude", sample.name, error) ||
        !Put(line, "%+04.0f", latitude[1], 4, "latitude", sample.name, error)) {
        return false;
    }
    line += "    ";
    if (!Put(line, "%+04.0f", longitude[0], 4, "longitude", sample.name, error) ||
        !Put(line, "%+04.0f", longitude[1], 4, "longitude", sample.name, error)) {
        return false;
    }
    line += "    ";
    if (sample.depth == kEmptyCell) {
        line += "-999";
    } else if (!Put(line, "%4.0f", sample.depth, 4, "depth", sample.name, error)) {
        return false;
    }
    out += line + "\n";

    std::array<double, kValueLines * kValuesPerLine> values{};
    double largest = 0.0;
    for (int s = 0; s < speciesCount; ++s) {
        const float stored = sample.values[static_cast<size_t>(s)];
        if (!(stored >= 0.0f)) {
            error = "sample \"" + sample.name + "\": species " + std::to_string(s + 1) +
                    " has the value " + Printf("%g", stored) + "; values must not be negative";
            return false;
        }
        values[static_cast<size_t>(s)] =
            stored == 0.0f ? 0.0 : stored * (dataFormat >= 1 ? 100.0 : 1.0);
        largest = std::max(largest, values[static_cast<size_t>(s)]);
    }
    if (largest > 0.0 && Printf("%04.0f", largest) == "0000") {
        error = "sample \"" + sample.name + "\": all its values round to zero";
        return false;
    }
    // A common power of ten changes no proportion but keeps every value in four columns.
    double divisor = 1.0;
    while (Printf("%04.0f", largest / divisor).size() > 4) {
        divisor *= 10.0;
    }
    for (int l = 0; l < kValueLines; ++l) {
        std::string record(12, ' ');
        for (int p = 0; p < kValuesPerLine; ++p) {
            record +=
                Printf("%04.0f", values[static_cast<size_t>(l * kValuesPerLine + p)] / divisor);
        }
        out += record + "\n";
    }
    return true;
}

std::string ValueDescriptor(int speciesCount) {
    char text[64];
    if (speciesCount > 2 * kValuesPerLine) {
        std::snprintf(text, sizeof text, "12X,15F4.0/12X,15F4.0/\n12X,%dF4.0)\n",
                      speciesCount - 2 * kValuesPerLine);
    } else if (speciesCount > kValuesPerLine) {
        std::snprintf(text, sizeof text, "12X,15F4.0/\n12X,%dF4.0/12X)\n",
                      speciesCount - kValuesPerLine);
    } else {
        std::snprintf(text, sizeof text, "12X,%dF4.0/\n12X/12X)\n", speciesCount);
    }
    return text;
}

bool Save(const std::string& path, const std::string& text, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        error = "\"" + path + "\" cannot be written";
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------
// Random numbers that are the same on every platform: the engine's bits, our own
// conversions.

class Random {
  public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    double Uniform() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }
    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }
    int Integer(int low, int high) { // inclusive
        return low + static_cast<int>(Uniform() * (high - low + 1));
    }

    double Normal() {
        const double u = 1.0 - Uniform(); // (0, 1]
        const double v = Uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * v);
    }

    int Poisson(double mean) {
        if (mean > 40.0) {
            return std::max(0, static_cast<int>(std::lround(mean + std::sqrt(mean) * Normal())));
        }
        const double limit = std::exp(-mean);
        int count = 0;
        for (double product = Uniform(); product > limit; product *= Uniform()) {
            ++count;
        }
        return count;
    }

  private:
    std::mt19937_64 engine_;
};

struct SpeciesPreference {
    double cold = 0.0; // preferred cold-season and warm-season temperatures
    double warm = 0.0;
    double tolerance = 1.0;
    double weight = 1.0;
};

std::vector<SpeciesPreference> MakePreferences(int count, Random& random) {
    std::vector<SpeciesPreference> species;
    for (int k = 0; k < count; ++k) {
        SpeciesPreference p;
        const double annual = -1.0 + 30.0 * (k + random.Uniform()) / count;
        const double amplitude = random.Uniform(1.0, 8.0);
        p.cold = annual - amplitude / 2.0;
        p.warm = annual + amplitude / 2.0;
        p.tolerance = random.Uniform(1.5, 5.0);
        p.weight = std::exp(random.Normal());
        species.push_back(p);
    }
    return species;
}

// A counted assemblage: each species' expected share follows its preference, with the
// patchiness of real samples, and a few hundred specimens are counted.
std::vector<float> Count(const std::vector<SpeciesPreference>& species, double cold, double warm,
                         Random& random) {
    std::vector<double> share(species.size());
    double total = 0.0;
    for (size_t k = 0; k < species.size(); ++k) {
        const SpeciesPreference& p = species[k];
        const double distance =
            (cold - p.cold) * (cold - p.cold) + (warm - p.warm) * (warm - p.warm);
        share[k] = p.weight * std::exp(-distance / (2.0 * p.tolerance * p.tolerance)) *
                   std::exp(0.6 * random.Normal());
        total += share[k];
    }
    const int specimens = random.Integer(250, 600);
    std::vector<float> counts(species.size());
    double counted = 0.0;
    for (size_t k = 0; k < species.size(); ++k) {
        counts[k] = static_cast<float>(random.Poisson(specimens * share[k] / total));
        counted += counts[k];
    }
    if (counted == 0.0) {
        counts[static_cast<size_t>(std::max_element(share.begin(), share.end()) - share.begin())] =
            1.0f;
    }
    return counts;
}

std::string Numbered(const char* prefix, int number) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%04d", prefix, number);
    return text;
}

// Splits a tab-separated line, without its line end.
std::vector<std::string> Cells(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        cells.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return cells;
        }
        start = tab + 1;
    }
}

bool Number(const std::string& cell, float& value) {
    if (cell.empty()) {
        value = kEmptyCell;
        return true;
    }
    const auto result = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return result.ec == std::errc() && result.ptr == cell.data() + cell.size();
}

// The header lines and the rows of a table, as cells; lines shorter than two characters
// are skipped as the workbench's readers skip them.
int ReadTable(const std::string& path, int headerLines,
              std::vector<std::vector<std::string>>& header,
              std::vector<std::vector<std::string>>& rows, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "\"" + path + "\" cannot be opened";
        return -1;
    }
    std::string line;
    for (int h = 0; h < headerLines; ++h) {
        if (!std::getline(file, line)) {
            error = "\"" + path + "\" has no header";
            return -1;
        }
        header.push_back(Cells(line));
    }
    while (std::getline(file, line)) {
        if (line.size() >= 2) {
            rows.push_back(Cells(line));
        }
    }
    return 0;
}

// The engine's view of the references' environment values.
ReferenceTable EnvironmentTable(const ProjectData& data) {
    ReferenceTable table;
    for (const Sample& sample : data.references) {
        ReferenceRow& row = table.rows.emplace_back();
        row.env1 = AsWrittenEnvironment(sample.env1);
        row.env2 = AsWrittenEnvironment(sample.env2);
        row.proportions[0] = 1.0f;
    }
    return table;
}

// A project parameter as the engine reads it from its F5.3 column.
float AsWrittenParameter(double value) {
    float read = 0.0f;
    ParseRealField(Printf("%5.3f", value), 3, read);
    return read;
}

} // namespace

std::string SampleDescriptor(int speciesCount, bool reference, bool positions) {
    // Subjects echo two reals and an integer of their header: latitude and depth.
    const char* header = !positions  ? "(A12/\n"
                         : reference ? "(A12,2F4.0,4X,2F4.0,4X,I4/\n"
                                     : "(A12,2F4.0,12X,I4/\n";
    return header + ValueDescriptor(speciesCount);
}

float AsWrittenEnvironment(float value) {
    float read = 0.0f;
    ParseRealField(Printf("%5.2f", value), 2, read);
    return read;
}

int WriteProject(const ProjectData& data, const std::string& folder, const std::string& base,
                 std::string& error) {
    const int speciesCount = static_cast<int>(data.speciesNames.size());
    std::string references;
    std::string subjects;
    std::string environment;
    for (const Sample& sample : data.references) {
        if (!SampleRecords(sample, speciesCount, data.dataFormat, references, error)) {
            return -1;
        }
        std::string line = FitToWidth(sample.name, 12) + " ";
        if (!Put(line, "%5.2f", sample.env1, 5, "first environmental value", sample.name, error)) {
            return -1;
        }
        line += "     ";
        if (!Put(line, "%5.2f", sample.env2, 5, "second environmental value", sample.name, error)) {
            return -1;
        }
        environment += line + "\n";
    }
    for (const Sample& sample : data.subjects) {
        if (!SampleRecords(sample, speciesCount, data.dataFormat, subjects, error)) {
            return -1;
        }
    }

    std::string project = base + ".sam\n" + base + ".ref\n" + base + ".env\n" +
                          "./SST_complete.txt\n./SST_short.txt\n";
    char line[128];
    std::snprintf(line, sizeof line, "%1d%1d\n", data.subjectHeaderFlag, data.analogHeaderFlag);
    project += line;
    std::snprintf(line, sizeof line, "%2d %4d %4d %1d %2d %5.3f %5.3f\n", speciesCount,
                  static_cast<int>(data.subjects.size()), static_cast<int>(data.references.size()),
                  data.excludeBestAnalog, data.maxAnalogs, static_cast<double>(data.gridStep),
                  static_cast<double>(data.searchRadius));
    if (std::string(line).size() != 30) {
        error = "the run parameters do not fit the columns of project line 7";
        return -1;
    }
    project += line;
    for (int l = 0; l < kValueLines; ++l) {
        for (int p = 0; p < kValuesPerLine; ++p) {
            const size_t s = static_cast<size_t>(l * kValuesPerLine + p);
            project +=
                FitToWidth(s < data.speciesNames.size() ? data.speciesNames[s] : "", 5) + " ";
        }
        project += "\n";
    }
    project += SampleDescriptor(speciesCount, false, data.subjectHeaderFlag == 1);
    project += SampleDescriptor(speciesCount, true, data.analogHeaderFlag == 1);
    project += "(13X,F5.2,5X,F5.2)\n";

    const std::string stem = folder + "/" + base;
    if (!Save(stem + ".ref", references, error) || !Save(stem + ".sam", subjects, error) ||
        !Save(stem + ".env", environment, error) || !Save(stem + ".pro", project, error)) {
        return -1;
    }
    return 0;
}

ProjectData MakeSynthetic(const SyntheticShape& shape) {
    Random random(shape.seed);
    ProjectData data;
    for (int k = 1; k <= shape.species; ++k) {
        data.speciesNames.push_back(Numbered("Species_", k));
    }
    const std::vector<SpeciesPreference> species = MakePreferences(shape.species, random);

    for (int r = 1; r <= shape.references; ++r) {
        Sample sample;
        sample.name = Numbered("CT", r);
        if (r > 1 && random.Uniform() < shape.duplicateShare) {
            // A replicate: the same station and the same counts under another name.
            const std::string name = sample.name;
            sample = data.references[static_cast<size_t>(random.Integer(0, r - 2))];
            sample.name = name;
            data.references.push_back(sample);
            continue;
        }
        const double latitude = random.Uniform(-72.0, 72.0);
        const double band = std::cos(latitude * std::numbers::pi / 180.0);
        const double annual = 29.0 * std::pow(band, 2.2) - 1.5 + 1.2 * random.Normal();
        const double season = std::sin(std::fabs(latitude) * std::numbers::pi / 90.0);
        const double amplitude = std::max(0.3, 1.0 + 7.0 * season * season + 0.5 * random.Normal());
        const double cold = std::max(-1.9, annual - amplitude / 2.0);
        const double warm = std::min(30.5, std::max(cold + 0.2, annual + amplitude / 2.0));
        sample.env1 = static_cast<float>(cold);
        sample.env2 = static_cast<float>(warm);
        sample.latitude = static_cast<float>(latitude);
        sample.longitude = static_cast<float>(random.Uniform(-180.0, 180.0));
        sample.depth = static_cast<float>(random.Integer(200, 5500));
        sample.values = Count(species, cold, warm, random);
        data.references.push_back(sample);
    }

    // A core off Iberia through two glacial cycles.
    for (int i = 0; i < shape.subjects; ++i) {
        Sample sample;
        sample.name = std::to_string(2 + 3 * i);
        const double phase = 2.0 * std::numbers::pi * 2.0 * i / std::max(1, shape.subjects);
        const double annual = 15.0 - 5.0 * (0.5 + 0.5 * std::cos(phase)) + 0.8 * random.Normal();
        const double amplitude = 7.0 + 0.5 * random.Normal();
        const double cold = std::max(-1.9, annual - amplitude / 2.0);
        const double warm = annual + amplitude / 2.0;
        sample.latitude = 40.5818f;
        sample.longitude = -9.8612f;
        sample.depth = 2465.0f;
        sample.values = Count(species, cold, warm, random);
        data.subjects.push_back(sample);
    }
    return data;
}

int ReadCensus(const std::string& path, std::vector<std::string>& speciesNames,
               std::vector<Sample>& samples, std::string& error) {
    std::vector<std::vector<std::string>> header;
    std::vector<std::vector<std::string>> rows;
    if (ReadTable(path, 2, header, rows, error) != 0) {
        return -1;
    }
    const std::vector<std::string>& flags = header[0];
    const std::vector<std::string>& names = header[1];
    // A flag cell that begins with "*" leaves its species out.
    std::vector<size_t> kept;
    for (size_t c = 1; c < names.size(); ++c) {
        if (c >= flags.size() || flags[c].empty() || flags[c][0] != '*') {
            kept.push_back(c);
            speciesNames.push_back(names[c]);
        }
    }
    samples.clear();
    for (const auto& cells : rows) {
        Sample sample;
        sample.name = cells[0];
        for (const size_t c : kept) {
            float value = 0.0f;
            if (c < cells.size() && !Number(cells[c], value)) {
                error = "\"" + path + "\", sample \"" + cells[0] + "\": \"" + cells[c] +
                        "\" is not a number";
                return -1;
            }
            sample.values.push_back(value == kEmptyCell ? 0.0f : value);
        }
        samples.push_back(sample);
    }
    return 0;
}

int ReadEnvironment(const std::string& path, std::vector<Sample>& samples, std::string& error) {
    std::vector<std::vector<std::string>> header;
    std::vector<std::vector<std::string>> rows;
    if (ReadTable(path, 1, header, rows, error) != 0) {
        return -1;
    }
    if (rows.size() != samples.size()) {
        error = "\"" + path + "\" has " + std::to_string(rows.size()) + " stations for " +
                std::to_string(samples.size()) + " samples";
        return -1;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i][0] != samples[i].name) {
            error = "\"" + path + "\": station \"" + rows[i][0] + "\" is not sample \"" +
                    samples[i].name + "\"";
            return -1;
        }
        if (rows[i].size() < 3 || !Number(rows[i][1], samples[i].env1) ||
            !Number(rows[i][2], samples[i].env2)) {
            error = "\"" + path + "\": station \"" + rows[i][0] + "\" has no two values";
            return -1;
        }
    }
    return 0;
}

int ReadLocations(const std::string& path, std::vector<Sample>& samples, std::string& error) {
    std::vector<std::vector<std::string>> header;
    std::vector<std::vector<std::string>> rows;
    if (ReadTable(path, 1, header, rows, error) != 0) {
        return -1;
    }
    for (size_t i = 0; i < std::min(rows.size(), samples.size()); ++i) {
        rows[i].resize(4);
        if (!Number(rows[i][1], samples[i].latitude) || !Number(rows[i][2], samples[i].longitude) ||
            !Number(rows[i][3], samples[i].depth)) {
            error = "\"" + path + "\": station \"" + rows[i][0] + "\" has an unreadable position";
            return -1;
        }
    }
    return 0;
}

int ChooseGridStep(const ProjectData& data, long long nodeLimit, GridChoice& choice,
                   std::string& error) {
    const EnvironmentRange range =
        ComputeEnvironmentRange(EnvironmentTable(data), static_cast<int>(data.references.size()));
    for (int thousandths = 1; thousandths <= 99999; ++thousandths) {
        const float step = AsWrittenParameter(thousandths / 1000.0);
        GridPlan plan;
        std::string ignored;
        if (PlanGrid(range, step, plan, ignored) == 0 && plan.generatedNodes <= nodeLimit) {
            choice.gridStep = step;
            choice.generatedNodes = plan.generatedNodes;
            return 0;
        }
    }
    error = "no grid step keeps the grid within " + std::to_string(nodeLimit) + " nodes";
    return -1;
}

int ChooseSearchRadius(const ProjectData& data, int rowLimit, float ceiling, GridChoice& choice,
                       std::string& error) {
    const ReferenceTable table = EnvironmentTable(data);
    const int analogCount = static_cast<int>(table.rows.size());
    const EnvironmentRange range = ComputeEnvironmentRange(table, analogCount);
    GridPlan plan;
    if (PlanGrid(range, choice.gridStep, plan, error) != 0) {
        return -1;
    }
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, choice.gridStep);
    const auto virtualRows = [&](int thousandths) {
        VirtualSamples virtuals;
        BuildVirtualSamplesIndexed(table, analogCount, 1, nodes,
                                   AsWrittenParameter(thousandths / 1000.0), rowLimit - analogCount,
                                   virtuals);
        return virtuals.createdCount;
    };
    // More radius never means fewer virtual samples.
    int low = 0;
    int high = static_cast<int>(std::lround(ceiling * 1000.0));
    if (analogCount + virtualRows(low) > rowLimit) {
        error = "even a search radius of 0 makes more than " + std::to_string(rowLimit) + " rows";
        return -1;
    }
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (analogCount + virtualRows(middle) <= rowLimit) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    choice.searchRadius = AsWrittenParameter(low / 1000.0);
    choice.virtualRows = virtualRows(low);
    return 0;
}

int MakeNamedWorkload(const std::string& name, const std::string& dataFolder, ProjectData& data,
                      std::string& error) {
    GridChoice choice;
    if (name == "large") {
        data = MakeSynthetic({4000, 45, 1000, 4000045, 0.01});
        data.maxAnalogs = 50;
        if (ChooseGridStep(data, kMaxGridNodes, choice, error) != 0 ||
            ChooseSearchRadius(data, kMaxReferenceRows, 0.3f, choice, error) != 0) {
            return -1;
        }
        data.gridStep = choice.gridStep;
        data.searchRadius = choice.searchRadius;
        return 0;
    }
    if (name == "typical") {
        data = MakeSynthetic({1000, 30, 200, 1000030, 0.01});
        return 0;
    }
    if (name == "forcens" || name == "forcens-global") {
        data = ProjectData();
        std::vector<std::string> coreSpecies;
        const std::string prefix = dataFolder + "/ForCenS_";
        if (ReadCensus(prefix + "coretop_species-in-line.tsv", data.speciesNames, data.references,
                       error) != 0 ||
            ReadEnvironment(prefix + "coretop_env.tsv", data.references, error) != 0 ||
            ReadLocations(prefix + "coretop_locations.tsv", data.references, error) != 0 ||
            ReadCensus(prefix + "MD95-2040_species-in-line.tsv", coreSpecies, data.subjects,
                       error) != 0 ||
            ReadLocations(prefix + "MD95-2040_locations.tsv", data.subjects, error) != 0) {
            return -1;
        }
        if (coreSpecies != data.speciesNames) {
            error = "the core's taxa are not those of the core tops";
            return -1;
        }
        data.dataFormat = 1;
        if (name == "forcens-global") {
            // The workbench's defaults, beyond the fixed tables.
            data.searchRadius = 0.3f;
            return 0;
        }
        choice.gridStep = data.gridStep;
        if (ChooseSearchRadius(data, kMaxReferenceRows, 0.3f, choice, error) != 0) {
            return -1;
        }
        data.searchRadius = choice.searchRadius;
        return 0;
    }
    error = "unknown workload \"" + name + "\" (large, typical, forcens or forcens-global)";
    return -1;
}

} // namespace marvane::workload
