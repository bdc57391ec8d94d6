#include "engine/engine.h"

#include "engine/analogs.h"
#include "engine/dialog.h"
#include "engine/estimation.h"
#include "engine/files.h"
#include "engine/format.h"
#include "engine/grid.h"
#include "engine/parallel.h"
#include "engine/project.h"
#include "engine/reference_set.h"
#include "engine/report.h"
#include "engine/samples.h"
#include "engine/statistics.h"
#include "engine/tables.h"
#include "engine/tsv_tables.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <fstream>
#include <future>
#include <istream>
#include <new>
#include <ostream>
#include <system_error>
#include <utility>

// Every platform must give the same bytes: single-precision arithmetic has to be
// evaluated in single precision (no x87 excess precision).
static_assert(FLT_EVAL_METHOD == 0, "the engine needs float arithmetic evaluated as float");

namespace marvane {

namespace {

constexpr int kComplete = kRunComplete;
constexpr int kHalted = kRunHalted;
constexpr int kFailed = kRunFailed;

// Subject samples searched together on the fast path: enough to keep every thread busy,
// few enough that reporting one batch overlaps the search of the next for most of a run
// and that a run's memory does not grow with its subject file.
constexpr int kSubjectBatch = 64;

struct RunContext {
    const EngineOptions& options;
    std::ostream& console;
    std::string& error;

    std::string Resolve(const std::string& path) const {
        return ResolvePath(options.workDir, path, options.style);
    }

    int OpenInput(std::ifstream& file, const std::string& path, const char* role) const {
        return OpenInputFile(file, Resolve(path), std::string(role) + " \"" + path + "\"", error);
    }

    int OpenOutput(OutputFile& file, const std::string& path) const {
        return file.Open(Resolve(path), path, error);
    }

    int Threads() const { return ThreadsFor(options); }
};

struct RunFiles {
    RunLock lock; // released after the outputs below are done with
    std::ifstream subject;
    std::ifstream analog;
    std::ifstream environment;
    OutputFile listing;
    OutputFile summary;
    OutputFile info;
    OutputFile stock;
    OutputFile fauna;
    OutputFile sst;
    OutputFile estimates;
    std::string estimatesPath; // beside the project file, as the user would name it

    std::vector<OutputFile*> Outputs() {
        return {&listing, &summary, &info, &stock, &fauna, &sst, &estimates};
    }
};

// Writing a report over one of the run's inputs would empty it before it is read, and
// two reports of one name would overwrite each other: the run does not start.
int CheckOutputs(const RunContext& run, const std::string& projectPath, const Project& project,
                 const std::string& estimatesPath) {
    using Named = std::pair<const std::string*, const char*>;
    const Named inputs[] = {{&projectPath, "the project file"},
                            {&project.subjectPath, "the subject file (project line 1)"},
                            {&project.analogPath, "the reference file (project line 2)"},
                            {&project.environmentPath, "the environment file (project line 3)"}};
    const std::string info = "info";
    const std::string stock = "stock";
    const std::string fauna = "Faun.tot";
    const std::string sst = "SST.tot";
    const Named outputs[] = {{&project.listingPath, "the listing file (project line 4)"},
                             {&project.summaryPath, "the summary table (project line 5)"},
                             {&info, "the engine's file"},
                             {&stock, "the engine's file"},
                             {&fauna, "the engine's file"},
                             {&sst, "the engine's file"},
                             {&estimatesPath, "the estimates table"}};
    for (size_t o = 0; o < std::size(outputs); ++o) {
        const auto& [output, outputRole] = outputs[o];
        for (const auto& [input, inputRole] : inputs) {
            if (SameFile(run.Resolve(*output), run.Resolve(*input))) {
                run.error = std::string(outputRole) + " \"" + *output + "\" is " + inputRole +
                            "; writing it would destroy the input, so the run does not start";
                return kFailed;
            }
        }
        for (size_t p = 0; p < o; ++p) {
            const auto& [other, otherRole] = outputs[p];
            if (SameFile(run.Resolve(*output), run.Resolve(*other))) {
                run.error = std::string(otherRole) + " \"" + *other + "\" and " + outputRole +
                            " \"" + *output +
                            "\" are the same file; one would overwrite the other, so the run "
                            "does not start";
                return kFailed;
            }
        }
    }
    return kComplete;
}

int OpenFiles(const RunContext& run, const std::string& projectPath, const Project& project,
              RunFiles& files) {
    files.estimatesPath = SiblingPath(projectPath, "_estimates.tsv", run.options.style);
    // The inputs are checked before any report file is opened.
    if (run.OpenInput(files.subject, project.subjectPath, "subject file (project line 1)") != 0 ||
        run.OpenInput(files.analog, project.analogPath, "reference file (project line 2)") != 0 ||
        run.OpenInput(files.environment, project.environmentPath,
                      "environment file (project line 3)") != 0 ||
        CheckOutputs(run, projectPath, project, files.estimatesPath) != 0 ||
        files.lock.Acquire(run.Resolve(kLockFileName), run.error) != 0) {
        return kFailed;
    }
    if (run.OpenOutput(files.listing, project.listingPath) != 0 ||
        run.OpenOutput(files.summary, project.summaryPath) != 0 ||
        run.OpenOutput(files.info, "info") != 0 || run.OpenOutput(files.stock, "stock") != 0 ||
        run.OpenOutput(files.fauna, "Faun.tot") != 0 || run.OpenOutput(files.sst, "SST.tot") != 0 ||
        run.OpenOutput(files.estimates, files.estimatesPath) != 0) {
        return kFailed;
    }
    return kComplete;
}

// Builds the virtual samples, reports them and appends them to the table under the
// names "stock" lists.
int AddVirtualSamples(const RunContext& run, const Project& project, const GridPlan& plan,
                      const EnvironmentRange& range, RunFiles& files, ReferenceTable& table) {
    VirtualSamples virtuals;
    if (BuildVirtualRows(table, project.analogCount, project, range, plan, run.options.limits,
                         run.options.referencePath, virtuals, run.error) != 0) {
        return kFailed;
    }
    std::ostream& info = files.info.Stream();
    WriteInfoGrid(info, plan.usedNodes);
    for (const VirtualSampleLog& sample : virtuals.log) {
        WriteInfoVirtualSample(info, sample);
        files.stock.Stream() << VirtualSampleName(sample.number) << '\n';
    }
    run.console << " NNEW=" << ListInteger(plan.usedNodes) << '\n'
                << " NSH=" << ListInteger(virtuals.createdCount) << '\n';
    WriteInfoVirtualCount(info, virtuals.createdCount);
    AppendVirtualRows(virtuals, table);
    return kComplete;
}

int WriteEnlargedReference(const RunContext& run, const Project& project,
                           const ReferenceTable& table, RunFiles& files) {
    for (const ReferenceRow& row : table.rows) {
        if (WriteWithFormat(files.fauna.Stream(), project.analogFormat, FaunaItems(row, project),
                            run.error) != 0) {
            run.error = "file \"Faun.tot\": " + run.error;
            return kFailed;
        }
    }
    for (const ReferenceRow& row : table.rows) {
        WriteSstLine(files.sst.Stream(), row);
    }
    return kComplete;
}

struct SelectionCounters {
    int fewer = 0; // samples with fewer analogs than the target
    int two = 0;   // samples with exactly two analogs
};

// Writes one subject sample's listing block, "info" lines and summary row, and adds its
// line of the estimates table; `sampleNumber` grows when it had candidates.
int ReportSubject(const RunContext& run, const Project& project, const ReferenceTable& table,
                  int position, const SubjectWork& work, RunFiles& files, int& sampleNumber,
                  SelectionCounters& counters, std::vector<EstimateLine>& estimates) {
    EstimateLine& line = estimates.emplace_back();
    line.name = work.sample.name;
    line.analogDissimilarity = work.analogDissimilarity;

    std::ostream& listing = files.listing.Stream();
    WriteSampleHeading(listing, sampleNumber);
    if (WriteWithFormat(listing, project.subjectFormat, SubjectEchoItems(work.sample, project),
                        run.error) != 0) {
        run.error = "file \"" + files.listing.ShownName() + "\": " + run.error;
        return kFailed;
    }
    if (work.candidateCount == 0) {
        WriteNoAnalogs(listing);
        return kComplete;
    }

    WriteAnalogTableHeading(listing, project.analogHeaderFlag);
    WriteInfoSampleStart(files.info.Stream(), position);
    for (const AnalogPick& pick : work.picks) {
        WriteAnalogLine(listing, table.rows[static_cast<size_t>(pick.row)], pick.dissimilarity,
                        project.analogHeaderFlag);
        WriteInfoAnalog(files.info.Stream(), pick.pass, pick.dissimilarity);
    }

    const int counted = CountedAnalogs(work.picks, project);
    WriteInfoAnalogCount(files.info.Stream(), counted);
    if (counted < project.maxAnalogs - project.excludeBestAnalog) {
        ++counters.fewer;
    }
    if (counted == 2) {
        ++counters.two;
    }
    if (counted > 0) {
        const SampleStatistics statistics = AccumulateAnalogs(
            work.picks, work.sample.proportions, project,
            [&](int row) -> const ReferenceRow& { return table.rows[static_cast<size_t>(row)]; });
        const StatisticsResult result = FinishStatistics(statistics, counted, run.console);
        WriteStatisticsBlock(listing, result);
        WriteSummaryRow(files.summary.Stream(), work.sample.name, result);
        line.estimated = true;
        line.estimate = {result.env1.mean, result.env2.mean};
        line.sigma = {result.env1.sigma, result.env2.sigma};
    } else {
        // The only analog taken was the excluded best one: there is nothing to average,
        // so the sample gets no estimate and no summary row.
        WriteNoStatistics(listing);
    }
    ++sampleNumber;
    return kComplete;
}

// Subject samples read in file order, a batch at a time (one sample on the
// straightforward path).
struct SubjectBatch {
    int first = 1; // position of the first sample in the subject file
    std::vector<SubjectWork> works;
    int stop = kComplete; // kHalted or kFailed: the sample after the batch ends the run
    NoSpecies halt;
    std::string stopError;
    bool searched = true; // false when memory ran out during the search

    bool EndsRun() const { return stop != kComplete; }
};

void ReadBatch(const Project& project, RecordInput& input, int first, int size,
               SubjectBatch& batch) {
    batch.first = first;
    batch.works.clear();
    batch.stop = kComplete;
    const int last = std::min(project.subjectCount, first + size - 1);
    for (int position = first; position <= last && batch.stop == kComplete; ++position) {
        const int read =
            ReadSubjectProportions(input, project, position, batch.works.emplace_back().sample,
                                   batch.halt, batch.stopError);
        batch.stop = read == 0 ? kComplete : (read > 0 ? kHalted : kFailed);
        if (batch.stop != kComplete) {
            batch.works.pop_back();
        }
    }
}

// What the subject samples leave behind for the end of the run.
struct SubjectResults {
    SelectionCounters counters;
    std::vector<EstimateLine> estimates;
};

// Reports the batch's samples, then the halt or the input error that ended it, if any.
int ReportBatch(const RunContext& run, const Project& project, const ReferenceTable& table,
                const SubjectBatch& batch, RunFiles& files, int& sampleNumber,
                SubjectResults& results) {
    if (!batch.searched) {
        run.error = "there is not enough memory for the analog search";
        return kFailed;
    }
    for (size_t i = 0; i < batch.works.size(); ++i) {
        if (ReportSubject(run, project, table, batch.first + static_cast<int>(i), batch.works[i],
                          files, sampleNumber, results.counters, results.estimates) != kComplete) {
            return kFailed;
        }
    }
    if (batch.stop == kHalted) {
        WriteSubjectNoSpeciesHalt(files.listing.Stream(), batch.halt.position);
        run.error = batch.halt.description;
    } else if (batch.stop == kFailed) {
        run.error = batch.stopError;
    }
    return batch.stop;
}

// The search of a batch on helper threads while this thread reads and reports; without
// a thread to spare it is done at once.
std::future<void> StartSearch(const AnalogSearch& search, SubjectBatch& batch, int threads) {
    try {
        return std::async(std::launch::async, [&search, &batch, threads] {
            batch.searched = search.Run(batch.works, threads);
        });
    } catch (const std::system_error&) {
        batch.searched = search.Run(batch.works, threads);
        std::promise<void> done;
        done.set_value();
        return done.get_future();
    }
}

// Subject samples are read, searched and reported in file order. On the fast path the
// search of one batch runs while the batch before it is reported. A halt or an input
// error stops the run where the straightforward order would have: after the samples
// before it are reported.
int EstimateSubjects(const RunContext& run, const Project& project, const ReferenceTable& table,
                     const AnalogSearch& search, RunFiles& files, SubjectResults& results) {
    RecordInput input{&files.subject, project.subjectPath, "", 0};
    int sampleNumber = 1;
    const int threads = run.Threads();
    if (run.options.referencePath || threads == 1) {
        SubjectBatch current;
        const int size = run.options.referencePath ? 1 : kSubjectBatch;
        for (int first = 1; first <= project.subjectCount; first += size) {
            ReadBatch(project, input, first, size, current);
            current.searched = search.Run(current.works, threads);
            const int status =
                ReportBatch(run, project, table, current, files, sampleNumber, results);
            if (status != kComplete) {
                return status;
            }
        }
        return kComplete;
    }
    // This thread reads and reports; the others search. Each batch object stays in place
    // while it is searched: the two take turns.
    const int searchers = threads - 1;
    SubjectBatch batches[2];
    size_t now = 0;
    ReadBatch(project, input, 1, kSubjectBatch, batches[now]);
    std::future<void> searching = StartSearch(search, batches[now], searchers);
    for (;;) {
        const SubjectBatch& batch = batches[now];
        SubjectBatch& following = batches[1 - now];
        const int first = batch.first + kSubjectBatch;
        const bool more = !batch.EndsRun() && first <= project.subjectCount;
        if (more) {
            ReadBatch(project, input, first, kSubjectBatch, following);
        }
        searching.get();
        if (more) {
            searching = StartSearch(search, following, searchers);
        }
        const int status = ReportBatch(run, project, table, batch, files, sampleNumber, results);
        if (status != kComplete || !more) {
            if (searching.valid()) {
                searching.get();
            }
            return status;
        }
        now = 1 - now;
    }
}

// The no-analog check: each estimated sample's analog dissimilarity ranked among those
// of the reference samples, each against the set built without it. Writes the estimates
// table and the console line that counts the marked samples.
int CheckAnalogs(const RunContext& run, const Project& project, const ReferenceTable& table,
                 const EnvironmentRange& range, const AnalogSearch& search, RunFiles& files,
                 std::vector<EstimateLine>& estimates) {
    const LeaveOneOut leaveOneOut(project, table, range, search, run.options.referencePath);
    std::vector<float> figures;
    if (!LeftOutAnalogDissimilarities(leaveOneOut, project, run.Threads(), figures)) {
        run.error = "there is not enough memory for the no-analog check";
        return kFailed;
    }
    figures.erase(std::remove_if(figures.begin(), figures.end(),
                                 [](float figure) { return std::isnan(figure); }),
                  figures.end());
    std::sort(figures.begin(), figures.end());
    int marked = 0;
    for (EstimateLine& line : estimates) {
        line.percentile = PercentileAmong(figures, line.analogDissimilarity);
        line.noAnalog = line.percentile > kNoAnalogPercentile;
        marked += line.noAnalog ? 1 : 0;
    }
    files.estimates.Stream() << EstimatesTable(estimates);
    run.console << " Samples marked \"no analog\" in " << files.estimatesPath << ":"
                << ListInteger(marked) << " of"
                << ListInteger(static_cast<long long>(estimates.size())) << '\n';
    return kComplete;
}

int RunOpenProject(const RunContext& run, const std::string& projectPath, const Project& project,
                   RunFiles& files) {
    ReferenceTable table;
    table.rows.resize(static_cast<size_t>(project.analogCount));
    RecordInput environment{&files.environment, project.environmentPath, "", 0};
    if (ReadEnvironmentFile(environment, project, table, run.error) != 0) {
        return kFailed;
    }
    // Until the subject samples are reached, a halt leaves an estimates table without rows.
    std::vector<EstimateLine> noEstimates;
    const bool flagsValid = (project.subjectHeaderFlag == 0 || project.subjectHeaderFlag == 1) &&
                            (project.analogHeaderFlag == 0 || project.analogHeaderFlag == 1);
    if (!flagsValid) {
        WriteHeaderFlagHalt(files.listing.Stream());
        files.estimates.Stream() << EstimatesTable(noEstimates);
        run.error = "file \"" + projectPath + "\", record 6: the header flags are " +
                    std::to_string(project.subjectHeaderFlag) + " and " +
                    std::to_string(project.analogHeaderFlag) + ", but each must be 0 or 1";
        return kHalted;
    }
    // The range depends on the environment values only, so an oversized grid is
    // refused before any sample is read.
    EnvironmentRange range;
    GridPlan plan;
    if (PlanReferenceGrid(table, project.analogCount, project.gridStep, run.options.limits, range,
                          plan, run.error) != 0) {
        return kFailed;
    }
    RecordInput analog{&files.analog, project.analogPath, "", 0};
    NoSpecies halt;
    const int status = ReadReferenceSamples(analog, project, table, halt, run.error);
    if (status < 0) {
        return kFailed;
    }
    if (status > 0) {
        WriteAnalogNoSpeciesHalt(files.listing.Stream(), halt.position);
        files.estimates.Stream() << EstimatesTable(noEstimates);
        run.error = halt.description;
        return kHalted;
    }
    WriteListingOpening(files.listing.Stream());
    WriteSummaryHeader(files.summary.Stream());
    if (AddVirtualSamples(run, project, plan, range, files, table) != 0 ||
        WriteEnlargedReference(run, project, table, files) != 0) {
        return kFailed;
    }

    const AnalogSearch search(project, table, run.options.referencePath);
    SubjectResults results;
    const int ending = EstimateSubjects(run, project, table, search, files, results);
    if (ending == kFailed) {
        return kFailed;
    }
    // The reason of a halt is kept while the check runs.
    const std::string haltReason = run.error;
    if (CheckAnalogs(run, project, table, range, search, files, results.estimates) != 0) {
        return kFailed;
    }
    run.error = haltReason;
    if (ending == kComplete) {
        WriteInfoClosing(files.info.Stream(), project, results.counters.fewer,
                         results.counters.two);
    }
    return ending;
}

// Puts every output in place, in the order they were opened.
int CommitOutputs(const RunContext& run, RunFiles& files) {
    for (OutputFile* file : files.Outputs()) {
        if (file->Commit(run.error) != 0) {
            return kFailed;
        }
    }
    return kComplete;
}

} // namespace

int ThreadsFor(const EngineOptions& options) {
    return options.referencePath ? 1 : DefaultThreads(options.threads);
}

int RunProject(const std::string& projectPath, const EngineOptions& options, std::ostream& console,
               std::string& error) {
    const RunContext run{options, console, error};
    try {
        Project project;
        {
            std::ifstream projectFile;
            if (run.OpenInput(projectFile, projectPath, "project file") != 0 ||
                ReadProject(projectFile, projectPath, project, error) != 0 ||
                CheckProjectLimits(project, projectPath, error, options.limits) != 0) {
                return kFailed;
            }
        }
        RunFiles files;
        if (OpenFiles(run, projectPath, project, files) != 0) {
            return kFailed;
        }
        const int status = RunOpenProject(run, projectPath, project, files);
        if (status == kFailed) {
            return kFailed;
        }
        const std::string reason = error;
        if (CommitOutputs(run, files) != kComplete) {
            return kFailed;
        }
        error = reason;
        return status;
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory for this run; the earlier output files are kept";
        return kFailed;
    }
}

std::string EndingLine(int status, const std::string& error) {
    if (status == kFailed) {
        return " *** ERROR: " + error + ".\n";
    }
    if (status == kHalted) {
        return " *** HALT: " + error + "; the listing file says more.\n";
    }
    return std::string();
}

int RunMarvane(std::istream& consoleIn, std::ostream& consoleOut, const EngineOptions& options) {
    IniEntries entries;
    const std::string projectPath = LocateProject(
        consoleIn, consoleOut, ResolvePath(options.workDir, kIniFileName, options.style),
        options.style, entries);
    EngineOptions runOptions = options;
    if (entries.noLimits) {
        runOptions.limits = kLiftedLimits;
    }
    consoleOut << " Please be patient.  The program is executing.\n\n";
    std::string error;
    const int status = RunProject(projectPath, runOptions, consoleOut, error);
    consoleOut << EndingLine(status, error);
    consoleOut << "\n Ready. Press return...\n";
    consoleOut.flush();
    ReadReply(consoleIn);
    return status == kComplete ? 0 : 1;
}

} // namespace marvane
