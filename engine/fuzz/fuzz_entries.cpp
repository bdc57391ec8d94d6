#include "engine/fuzz/fuzz_entries.h"

#include "engine/analogs.h"
#include "engine/cross_validation.h"
#include "engine/engine.h"
#include "engine/format.h"
#include "engine/grid.h"
#include "engine/project.h"
#include "engine/samples.h"
#include "engine/search.h"
#include "engine/workload/workload.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string_view>
#include <vector>

namespace marvane::fuzz {

namespace {

bool Broken(std::string& failure, const std::string& reason) {
    failure = reason;
    return false;
}

bool SameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The next line of `rest` (without its line end), and `rest` moved past it.
std::string_view TakeLine(std::string_view& rest) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return line;
}

std::vector<FormatItem> ItemsOfKinds(std::string_view kinds) {
    constexpr size_t kMostItems = 300;
    std::vector<FormatItem> items;
    for (const char kind : kinds.substr(0, kMostItems)) {
        switch (kind) {
        case 'A':
            items.push_back(TextItem("", 12));
            break;
        case 'a':
            items.push_back(TextItem("", 4));
            break;
        case 'I':
            items.push_back(IntegerItem(0));
            break;
        default:
            items.push_back(RealItem(0.0f));
        }
    }
    return items;
}

bool WrittenWithinLimits(const std::string& written) {
    long records = 0;
    size_t start = 0;
    for (size_t end = written.find('\n'); end != std::string::npos;
         start = end + 1, end = written.find('\n', start)) {
        ++records;
        if (end - start > static_cast<size_t>(kMaxRecordLength)) {
            return false;
        }
    }
    return records <= kMaxRecordsPerWrite && start == written.size();
}

} // namespace

bool FormatInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view text = TakeLine(rest);
    const std::string_view kinds = TakeLine(rest);
    FormatDescriptor descriptor;
    std::string error;
    if (ParseFormat(text, descriptor, error) != 0) {
        return !error.empty() || Broken(failure, "an invalid descriptor has no diagnostic");
    }
    std::istringstream records{std::string(rest)};
    RecordInput input{&records, "fuzz.dat", "", 0};
    for (int operation = 0; operation < 3; ++operation) {
        std::vector<FormatItem> items = ItemsOfKinds(kinds);
        error.clear();
        if (ReadWithFormat(input, descriptor, items, error) != 0) {
            return !error.empty() || Broken(failure, "a failed read has no diagnostic");
        }
        for (const FormatItem& item : items) {
            if (item.kind != ItemKind::Real) {
                continue;
            }
            for (const auto& [width, decimals] :
                 {std::pair{8, 4}, {5, 2}, {4, 0}, {10, 4}, {12, 3}, {3, 1}, {40, 4}, {20, 6}}) {
                const std::string fast = FormatRealField(item.real, width, decimals);
                if (fast != FormatRealFieldExactly(item.real, width, decimals) ||
                    fast.size() != static_cast<size_t>(width)) {
                    std::ostringstream reason;
                    reason << 'F' << width << '.' << decimals << " of "
                           << FormatShortReal(item.real) << " gives \"" << fast
                           << "\" on the fast route";
                    return Broken(failure, reason.str());
                }
            }
        }
        std::ostringstream written;
        error.clear();
        if (WriteWithFormat(written, descriptor, items, error) != 0) {
            if (error.empty()) {
                return Broken(failure, "a failed write has no diagnostic");
            }
            continue;
        }
        if (!WrittenWithinLimits(written.str())) {
            return Broken(failure, "a write went beyond the record limits");
        }
    }
    return true;
}

bool ProjectInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    std::istringstream stream{std::string(reinterpret_cast<const char*>(data), size)};
    Project project;
    std::string error;
    if (ReadProject(stream, "fuzz.pro", project, error) != 0) {
        return !error.empty() || Broken(failure, "a refused project has no diagnostic");
    }
    if (CheckProjectLimits(project, "fuzz.pro", error) != 0) {
        return !error.empty() || Broken(failure, "a project beyond the limits has no diagnostic");
    }
    const bool within = project.speciesCount >= 1 && project.speciesCount <= kMaxSpecies &&
                        project.subjectCount >= 1 && project.analogCount >= 1 &&
                        project.analogCount <= kMaxReferenceRows && project.maxAnalogs >= 1 &&
                        project.maxAnalogs <= kMaxAnalogs && project.gridStep > 0.0f &&
                        std::isfinite(project.gridStep) && project.searchRadius >= 0.0f &&
                        std::isfinite(project.searchRadius) &&
                        (project.excludeBestAnalog == 0 || project.excludeBestAnalog == 1);
    return within || Broken(failure, "a project beyond the limits passed the check");
}

namespace {

struct DataRun {
    Project project;
    ReferenceTable table;
    std::vector<SubjectSample> subjects;
};

// Reads what the input holds; false when a file ends the run (with a diagnostic).
bool ReadData(std::string_view rest, DataRun& run, bool& complete, std::string& failure) {
    std::string_view files[3];
    for (std::string_view& file : files) {
        const size_t end = rest.find('\0');
        file = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    Project& project = run.project;
    // The project's descriptor lines are joined as blank-padded pieces.
    const auto joined = [&](bool reference, int flag) {
        std::string text = workload::SampleDescriptor(project.speciesCount, reference, flag == 1);
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    };
    std::string error;
    if (ParseFormat("(13X,F5.2,5X,F5.2)", project.environmentFormat, error) != 0 ||
        ParseFormat(joined(true, project.analogHeaderFlag), project.analogFormat, error) != 0 ||
        ParseFormat(joined(false, project.subjectHeaderFlag), project.subjectFormat, error) != 0) {
        return Broken(failure, "the workbench's descriptors do not parse: " + error);
    }
    complete = false;
    std::istringstream environment{std::string(files[0])};
    RecordInput input{&environment, "fuzz.env", "", 0};
    run.table.rows.resize(static_cast<size_t>(project.analogCount));
    if (ReadEnvironmentFile(input, project, run.table, error) != 0) {
        return !error.empty() || Broken(failure, "a failed environment read has no diagnostic");
    }
    std::istringstream references{std::string(files[1])};
    input = RecordInput{&references, "fuzz.ref", "", 0};
    for (int r = 0; r < project.analogCount; ++r) {
        ReferenceRow& row = run.table.rows[static_cast<size_t>(r)];
        if (ReadReferenceSample(input, project, r + 1, row, error) != 0) {
            return !error.empty() || Broken(failure, "a failed reference read has no diagnostic");
        }
        if (ConvertToProportions(row.proportions, project.speciesCount) != ProportionResult::Done) {
            return true;
        }
    }
    std::istringstream subjects{std::string(files[2])};
    input = RecordInput{&subjects, "fuzz.sam", "", 0};
    for (int n = 1; n <= project.subjectCount; ++n) {
        SubjectSample& sample = run.subjects.emplace_back();
        if (ReadSubjectSample(input, project, n, sample, error) != 0) {
            return !error.empty() || Broken(failure, "a failed subject read has no diagnostic");
        }
        if (ConvertToProportions(sample.proportions, project.speciesCount) !=
            ProportionResult::Done) {
            return true;
        }
    }
    complete = true;
    return true;
}

bool SameVirtualSamples(DataRun& run, std::string& failure) {
    const Project& project = run.project;
    const EnvironmentRange range = ComputeEnvironmentRange(run.table, project.analogCount);
    GridPlan plan;
    std::string error;
    // Small grids only: the straightforward loops have to run as well.
    constexpr long kMostNodes = 600;
    if (PlanGrid(range, project.gridStep, plan, error) != 0 || plan.usedNodes > kMostNodes) {
        return true;
    }
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, project.gridStep);
    VirtualSamples expected;
    VirtualSamples actual;
    BuildVirtualSamples(run.table, project.analogCount, project.speciesCount, nodes,
                        project.searchRadius, expected);
    BuildVirtualSamplesIndexed(run.table, project.analogCount, project.speciesCount, nodes,
                               project.searchRadius, kMaxReferenceRows, actual);
    if (actual.createdCount != expected.createdCount ||
        actual.rows.size() != expected.rows.size()) {
        return Broken(failure, "the indexed grid made " + std::to_string(actual.createdCount) +
                                   " virtual samples instead of " +
                                   std::to_string(expected.createdCount));
    }
    for (size_t v = 0; v < expected.rows.size(); ++v) {
        for (size_t s = 0; s < kMaxSpecies; ++s) {
            if (!SameBits(actual.rows[v].proportions[s], expected.rows[v].proportions[s])) {
                return Broken(failure, "virtual sample " + std::to_string(v + 1) + ", species " +
                                           std::to_string(s + 1) + " differs on the fast path");
            }
        }
        if (actual.log[v].contributors != expected.log[v].contributors) {
            return Broken(failure, "virtual sample " + std::to_string(v + 1) +
                                       " has another number of contributors on the fast path");
        }
    }
    if (project.analogCount + expected.createdCount <= kMaxReferenceRows) {
        run.table.rows.insert(run.table.rows.end(), expected.rows.begin(), expected.rows.end());
    }
    return true;
}

bool SameAnalogs(const DataRun& run, std::string& failure) {
    const Project& project = run.project;
    RootTable roots;
    BuildRootTable(run.table, project.speciesCount, roots);
    std::vector<float> expected;
    std::vector<float> actual;
    std::vector<Candidate> candidates;
    std::vector<AnalogPick> walked;
    std::vector<AnalogPick> ranked;
    std::vector<AnalogPick> picks;
    for (const SubjectSample& sample : run.subjects) {
        ComputeDissimilarities(run.table, sample.proportions, project.speciesCount, expected);
        for (const DistanceKernel kernel : AvailableKernels()) {
            ComputeTiledDissimilarities(roots, sample.proportions, actual, kernel);
            for (size_t r = 0; r < expected.size(); ++r) {
                if (!SameBits(actual[r], expected[r])) {
                    return Broken(failure, "distance kernel " +
                                               std::to_string(static_cast<int>(kernel)) +
                                               " differs in row " + std::to_string(r + 1));
                }
            }
        }
        CollectCandidates(expected, candidates);
        SelectAnalogs(candidates, project.maxAnalogs, project.excludeBestAnalog, walked);
        const int count = SelectRankedAnalogs(expected, project.maxAnalogs,
                                              project.excludeBestAnalog, ranked, picks);
        bool same = count == static_cast<int>(candidates.size()) && picks.size() == walked.size();
        for (size_t i = 0; same && i < picks.size(); ++i) {
            same = picks[i].pass == walked[i].pass && picks[i].candidate == walked[i].candidate &&
                   picks[i].row == walked[i].row;
        }
        if (!same) {
            return Broken(failure, "the ranked picks differ from the walk's");
        }
    }
    return true;
}

} // namespace

bool DataInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    constexpr size_t kParameterBytes = 4;
    if (size < kParameterBytes) {
        return true;
    }
    DataRun run;
    Project& project = run.project;
    project.speciesCount = 1 + data[0] % kMaxSpecies;
    project.analogCount = 1 + data[1] % 12;
    project.subjectCount = 1 + data[1] / 16 % 4;
    project.subjectHeaderFlag = data[2] & 1;
    project.analogHeaderFlag = data[2] >> 1 & 1;
    project.excludeBestAnalog = data[2] >> 2 & 1;
    project.maxAnalogs = 1 + (data[2] >> 3);
    project.gridStep = 0.125f * static_cast<float>(1 + data[3] % 16);
    project.searchRadius = 0.1f * static_cast<float>(data[3] >> 4);
    bool complete = false;
    const std::string_view rest(reinterpret_cast<const char*>(data) + kParameterBytes,
                                size - kParameterBytes);
    if (!ReadData(rest, run, complete, failure)) {
        return false;
    }
    return !complete || (SameVirtualSamples(run, failure) && SameAnalogs(run, failure));
}

namespace {

namespace fs = std::filesystem;

const char* const kRunOutputs[] = {"listing.txt",
                                   "summary.txt",
                                   "info",
                                   "stock",
                                   "Faun.tot",
                                   "SST.tot",
                                   "fuzz_estimates.tsv",
                                   "fuzz_cv.tsv",
                                   "fuzz_cv_summary.tsv"};

// A scratch folder for this process, made once and removed at exit.
const fs::path& ScratchFolder() {
    struct Folder {
        fs::path path;
        Folder() {
            std::error_code ignored;
            path = fs::temp_directory_path(ignored) /
                   ("marvane_fuzz_" + std::to_string(std::random_device()()));
            fs::create_directories(path, ignored);
        }
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

void Save(const fs::path& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string Load(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct RunResult {
    int status = 0;
    std::string console;
    std::vector<std::string> outputs;
    bool silentFailure = false;
};

RunResult RunIn(const fs::path& folder, const std::string& project,
                const std::string_view (&files)[3], bool referencePath,
                const CrossValidationOptions& cv) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    fs::create_directories(folder, ignored);
    Save(folder / "fuzz.pro", project);
    Save(folder / "fuzz.env", files[0]);
    Save(folder / "fuzz.ref", files[1]);
    Save(folder / "fuzz.sam", files[2]);
    EngineOptions options{folder.string(), kPosixPathStyle};
    options.referencePath = referencePath;
    options.threads = referencePath ? 1 : 2;
    std::ostringstream console;
    std::string error;
    RunResult result;
    result.status = RunProject("fuzz.pro", options, console, error);
    result.console = console.str() + "|" + error;
    result.silentFailure = result.status < 0 && error.empty();
    // The cross-validation of the same project, after the run.
    std::ostringstream validation;
    error.clear();
    const int validated = RunCrossValidation("fuzz.pro", options, cv, validation, error);
    // Appended piece by piece (GCC 12 takes a literal prefixed to a temporary for an
    // overlapping copy, -Wrestrict).
    result.console += '|';
    result.console += std::to_string(validated);
    result.console += validation.str();
    result.console += '|';
    result.console += error;
    result.silentFailure = result.silentFailure || (validated < 0 && error.empty());
    for (const char* name : kRunOutputs) {
        result.outputs.push_back(Load(folder / name));
    }
    return result;
}

} // namespace

bool RunInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view parts[4];
    for (std::string_view& part : parts) {
        const size_t end = rest.find('\0');
        part = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    const std::string project =
        "fuzz.sam\nfuzz.ref\nfuzz.env\nlisting.txt\nsummary.txt\n" + std::string(parts[0]);
    {
        constexpr int kMostSamples = 30;
        std::istringstream stream(project);
        Project parsed;
        std::string error;
        if (ReadProject(stream, "fuzz.pro", parsed, error) == 0 &&
            (parsed.analogCount > kMostSamples || parsed.subjectCount > kMostSamples)) {
            return true;
        }
    }
    const std::string_view files[3] = {parts[1], parts[2], parts[3]};
    // Leave-one-out, or two folds, as the length of the input has it.
    const CrossValidationOptions cv{2, size % 2 == 0};
    const RunResult reference = RunIn(ScratchFolder() / "reference", project, files, true, cv);
    const RunResult fast = RunIn(ScratchFolder() / "fast", project, files, false, cv);
    if (fast.status != reference.status || fast.console != reference.console) {
        return Broken(failure, "the fast path ended with status " + std::to_string(fast.status) +
                                   " and console \"" + fast.console + "\" instead of " +
                                   std::to_string(reference.status) + " and \"" +
                                   reference.console + "\"");
    }
    for (size_t i = 0; i < reference.outputs.size(); ++i) {
        if (fast.outputs[i] != reference.outputs[i]) {
            return Broken(failure,
                          std::string("the fast path wrote another \"") + kRunOutputs[i] + "\"");
        }
    }
    if (reference.silentFailure) {
        return Broken(failure, "a failed run or cross-validation has no diagnostic");
    }
    return true;
}

Entry EntryNamed(const std::string& name) {
    if (name == "run") {
        return RunInput;
    }
    if (name == "format") {
        return FormatInput;
    }
    if (name == "project") {
        return ProjectInput;
    }
    if (name == "data") {
        return DataInput;
    }
    return nullptr;
}

} // namespace marvane::fuzz
