#include "engine/cross_validation.h"

#include "engine/estimation.h"
#include "engine/files.h"
#include "engine/parallel.h"
#include "engine/project.h"
#include "engine/reference_set.h"
#include "engine/samples.h"
#include "engine/statistics.h"
#include "engine/tsv_tables.h"

#include <fstream>
#include <new>
#include <ostream>
#include <utility>

namespace marvane {

namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// The estimate that a run gives a subject sample with assemblage `subject`, from its
// dissimilarities to the rows of a reference set (`rowOf` gives the row behind each):
// false when no analog enters its statistics.
template <class RowOf>
bool Estimate(const std::vector<float>& dissimilarities, const Proportions& subject,
              const Project& project, bool referencePath, SearchScratch& scratch,
              const RowOf& rowOf, std::array<float, 2>& estimate) {
    std::vector<AnalogPick> picks;
    if (PickAnalogs(dissimilarities, project, referencePath, scratch, picks) == 0) {
        return false;
    }
    const int counted = CountedAnalogs(picks, project);
    if (counted <= 0) {
        return false;
    }
    // The warnings about a negative variance concern the spread, which is not reported.
    std::ostream discard(nullptr);
    const StatisticsResult result =
        FinishStatistics(AccumulateAnalogs(picks, subject, project, rowOf), counted, discard);
    estimate = {result.env1.mean, result.env2.mean};
    return true;
}

struct Validation {
    const Project& project;
    const EngineOptions& options;
    const ReferenceTable& table; // the real reference samples
    std::vector<CrossValidatedSample>& samples;
};

// Each sample estimated against the whole set less itself: the whole set is built once
// and each sample's view of it made from there.
int LeaveOneOutEstimates(const Validation& v, std::string& error) {
    ReferenceTable whole = v.table;
    EnvironmentRange range;
    GridPlan plan;
    VirtualSamples virtuals;
    if (PlanReferenceGrid(whole, v.project.analogCount, v.project.gridStep, v.options.limits, range,
                          plan, error) != 0 ||
        BuildVirtualRows(whole, v.project.analogCount, v.project, range, plan, v.options.limits,
                         v.options.referencePath, virtuals, error) != 0) {
        return -1;
    }
    AppendVirtualRows(virtuals, whole);
    const AnalogSearch search(v.project, whole, v.options.referencePath);
    const LeaveOneOut leaveOneOut(v.project, whole, range, search, v.options.referencePath);
    const int threads = ThreadsFor(v.options);
    std::vector<LeftOutView> views(static_cast<size_t>(threads));
    std::vector<SearchScratch> scratch(views.size());
    const bool done = ParallelFor(v.samples.size(), threads, [&](size_t r, int worker) {
        LeftOutView& view = views[static_cast<size_t>(worker)];
        leaveOneOut.View(static_cast<int>(r), view);
        CrossValidatedSample& sample = v.samples[r];
        sample.estimated = Estimate(
            view.dissimilarities, whole.rows[r].proportions, v.project, v.options.referencePath,
            scratch[static_cast<size_t>(worker)],
            [&](int row) -> const ReferenceRow& { return *view.rows[static_cast<size_t>(row)]; },
            sample.estimate);
    });
    if (!done) {
        error = "there is not enough memory for the cross-validation";
        return -1;
    }
    return 0;
}

// Each fold's samples estimated against the set built from the other folds.
int FoldEstimates(const Validation& v, const std::vector<int>& folds, int foldCount,
                  std::string& error) {
    std::vector<std::string> errors(static_cast<size_t>(foldCount));
    const bool done = ParallelFor(errors.size(), ThreadsFor(v.options), [&](size_t f, int) {
        const int fold = static_cast<int>(f);
        ReferenceTable reduced;
        std::vector<size_t> members;
        for (size_t r = 0; r < v.samples.size(); ++r) {
            if (folds[r] == fold) {
                members.push_back(r);
            } else {
                reduced.rows.push_back(v.table.rows[r]);
            }
        }
        const int analogCount = static_cast<int>(reduced.rows.size());
        EnvironmentRange range;
        GridPlan plan;
        VirtualSamples virtuals;
        if (PlanReferenceGrid(reduced, analogCount, v.project.gridStep, v.options.limits, range,
                              plan, errors[f]) != 0 ||
            BuildVirtualRows(reduced, analogCount, v.project, range, plan, v.options.limits,
                             v.options.referencePath, virtuals, errors[f]) != 0) {
            return;
        }
        AppendVirtualRows(virtuals, reduced);
        const AnalogSearch search(v.project, reduced, v.options.referencePath);
        SearchScratch scratch;
        std::vector<float> dissimilarities;
        for (const size_t r : members) {
            const Proportions& subject = v.table.rows[r].proportions;
            search.Dissimilarities(subject, dissimilarities);
            CrossValidatedSample& sample = v.samples[r];
            sample.estimated = Estimate(
                dissimilarities, subject, v.project, v.options.referencePath, scratch,
                [&](int row) -> const ReferenceRow& {
                    return reduced.rows[static_cast<size_t>(row)];
                },
                sample.estimate);
        }
    });
    if (!done) {
        error = "there is not enough memory for the cross-validation";
        return -1;
    }
    for (size_t f = 0; f < errors.size(); ++f) {
        if (!errors[f].empty()) {
            error = "fold " + std::to_string(f + 1) + " of " + std::to_string(foldCount) + ": " +
                    errors[f];
            return -1;
        }
    }
    return 0;
}

// The project's reference samples as proportions, with their environment values.
int ReadReferences(const std::string& projectPath, const Project& project,
                   const EngineOptions& options, ReferenceTable& table, std::string& error) {
    const auto resolve = [&](const std::string& path) {
        return ResolvePath(options.workDir, path, options.style);
    };
    std::ifstream analogFile;
    std::ifstream environmentFile;
    if (OpenInputFile(analogFile, resolve(project.analogPath),
                      "reference file (project line 2) \"" + project.analogPath + "\"",
                      error) != 0 ||
        OpenInputFile(environmentFile, resolve(project.environmentPath),
                      "environment file (project line 3) \"" + project.environmentPath + "\"",
                      error) != 0) {
        return -1;
    }
    table.rows.resize(static_cast<size_t>(project.analogCount));
    RecordInput environment{&environmentFile, project.environmentPath, "", 0};
    if (ReadEnvironmentFile(environment, project, table, error) != 0) {
        return -1;
    }
    if (!(project.subjectHeaderFlag == 0 || project.subjectHeaderFlag == 1) ||
        !(project.analogHeaderFlag == 0 || project.analogHeaderFlag == 1)) {
        error = "file \"" + projectPath + "\", record 6: the header flags are " +
                std::to_string(project.subjectHeaderFlag) + " and " +
                std::to_string(project.analogHeaderFlag) + ", but each must be 0 or 1";
        return -1;
    }
    RecordInput analog{&analogFile, project.analogPath, "", 0};
    NoSpecies halt;
    const int status = ReadReferenceSamples(analog, project, table, halt, error);
    if (status > 0) {
        error = halt.description;
    }
    return status == 0 ? 0 : -1;
}

int CrossValidate(const std::string& projectPath, const EngineOptions& options,
                  const CrossValidationOptions& cv, std::ostream& console, std::string& error) {
    const auto resolve = [&](const std::string& path) {
        return ResolvePath(options.workDir, path, options.style);
    };
    Project project;
    {
        std::ifstream projectFile;
        if (OpenInputFile(projectFile, resolve(projectPath), "project file \"" + projectPath + "\"",
                          error) != 0 ||
            ReadProject(projectFile, projectPath, project, error) != 0 ||
            CheckProjectLimits(project, projectPath, error, options.limits) != 0) {
            return -1;
        }
    }
    const int count = project.analogCount;
    const int foldCount = cv.leaveOneOut ? count : cv.folds;
    if (count < 2 || foldCount < 2 || foldCount > count) {
        error = "file \"" + projectPath + "\": " + std::to_string(count) +
                " reference samples cannot be split into " + std::to_string(foldCount) +
                " folds (at least 2 folds, and no more folds than samples)";
        return -1;
    }
    const std::string tablePath = SiblingPath(projectPath, "_cv.tsv", options.style);
    const std::string summaryPath = SiblingPath(projectPath, "_cv_summary.tsv", options.style);
    for (const std::string& output : {tablePath, summaryPath}) {
        for (const std::string* input : std::initializer_list<const std::string*>{
                 &projectPath, &project.subjectPath, &project.analogPath,
                 &project.environmentPath}) {
            if (SameFile(resolve(output), resolve(*input))) {
                error = "the table \"" + output + "\" would replace the input \"" + *input +
                        "\", so the cross-validation does not start";
                return -1;
            }
        }
    }

    ReferenceTable table;
    if (ReadReferences(projectPath, project, options, table, error) != 0) {
        return -1;
    }
    std::vector<CrossValidatedSample> samples(static_cast<size_t>(count));
    for (size_t r = 0; r < samples.size(); ++r) {
        samples[r].name = table.rows[r].name;
        samples[r].observed = {table.rows[r].env1, table.rows[r].env2};
    }
    const Validation validation{project, options, table, samples};
    if ((cv.leaveOneOut
             ? LeaveOneOutEstimates(validation, error)
             : FoldEstimates(validation, AssignFolds(count, foldCount), foldCount, error)) != 0) {
        return -1;
    }

    const std::array<CrossValidationFigures, 2> figures{ComputeFigures(samples, 0),
                                                        ComputeFigures(samples, 1)};
    const std::string summary = CrossValidationSummary(figures, foldCount);
    OutputFile tableFile;
    OutputFile summaryFile;
    if (tableFile.Open(resolve(tablePath), tablePath, error) != 0 ||
        summaryFile.Open(resolve(summaryPath), summaryPath, error) != 0) {
        return -1;
    }
    tableFile.Stream() << CrossValidationTable(samples);
    summaryFile.Stream() << summary;
    if (tableFile.Commit(error) != 0 || summaryFile.Commit(error) != 0) {
        return -1;
    }

    console << " Cross-validation of the analog method: " << count << " reference samples in "
            << foldCount << " folds ("
            << (cv.leaveOneOut
                    ? std::string("leave-one-out")
                    : "assigned by a shuffle with the fixed seed " + std::to_string(kFoldSeed))
            << "); the estimate of a sample is the mean of its analogs.\n";
    const int missing = count - figures[0].samples;
    if (missing > 0) {
        console << ' ' << missing
                << " reference samples got no estimate (no analog entered their statistics); "
                   "the figures leave them out.\n";
    }
    console << summary << " Written: \"" << tablePath << "\" and \"" << summaryPath << "\".\n";
    return 0;
}

} // namespace

std::vector<int> AssignFolds(int count, int folds) {
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<int>(i);
    }
    std::uint64_t state = kFoldSeed;
    for (size_t i = order.size(); i > 1; --i) {
        const size_t j = static_cast<size_t>(SplitMix64(state) % i);
        std::swap(order[i - 1], order[j]);
    }
    std::vector<int> fold(order.size());
    for (size_t p = 0; p < order.size(); ++p) {
        fold[static_cast<size_t>(order[p])] = static_cast<int>(p % static_cast<size_t>(folds));
    }
    return fold;
}

int RunCrossValidation(const std::string& projectPath, const EngineOptions& options,
                       const CrossValidationOptions& cv, std::ostream& console,
                       std::string& error) {
    try {
        return CrossValidate(projectPath, options, cv, console, error);
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory for the cross-validation";
        return -1;
    }
}

} // namespace marvane
