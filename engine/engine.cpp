#include "engine/engine.h"

#include "engine/analogs.h"
#include "engine/dialog.h"
#include "engine/format.h"
#include "engine/grid.h"
#include "engine/project.h"
#include "engine/report.h"
#include "engine/samples.h"
#include "engine/search.h"
#include "engine/statistics.h"
#include "engine/tables.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <filesystem>
#include <fstream>
#include <future>
#include <istream>
#include <ostream>
#include <system_error>
#include <thread>
#include <utility>

// Every platform must give the same bytes: single-precision arithmetic has to be
// evaluated in single precision (no x87 excess precision).
static_assert(FLT_EVAL_METHOD == 0, "the engine needs float arithmetic evaluated as float");

namespace marvane {

namespace {

constexpr int kComplete = 0;
constexpr int kHalted = 1;
constexpr int kFailed = -1;

// Subject samples searched together on the fast path: enough to keep every thread busy,
// few enough that reporting one batch overlaps the search of the next for most of a run
// and that a run's memory does not grow with its subject file.
constexpr int kSubjectBatch = 64;

// A report file written through a buffer large enough that the system is asked to
// write only every quarter megabyte (the buffer outlives the stream that uses it).
struct OutputFile {
    std::string shownName;
    std::vector<char> buffer;
    std::ofstream stream;
};

constexpr size_t kOutputBuffer = 256 * 1024;

struct RunContext {
    const EngineOptions& options;
    std::ostream& console;
    std::string& error;

    std::string Resolve(const std::string& path) const {
        return ResolvePath(options.workDir, path, options.style);
    }

    // Input files must exist: opening one must never create it.
    int OpenInput(std::ifstream& file, const std::string& path, const char* role) const {
        const std::string resolved = Resolve(path);
        std::error_code ignored;
        if (!std::filesystem::exists(resolved, ignored)) {
            error = std::string(role) + " \"" + path + "\" does not exist";
            return kFailed;
        }
        file.open(resolved, std::ios::binary);
        if (!file) {
            error = std::string(role) + " \"" + path + "\" cannot be opened";
            return kFailed;
        }
        return kComplete;
    }

    int OpenOutput(OutputFile& file, const std::string& path) const {
        file.shownName = path;
        file.buffer.resize(kOutputBuffer);
        file.stream.rdbuf()->pubsetbuf(file.buffer.data(),
                                       static_cast<std::streamsize>(file.buffer.size()));
        file.stream.open(Resolve(path), std::ios::binary | std::ios::trunc);
        if (!file.stream) {
            error = "file \"" + path + "\" cannot be written";
            return kFailed;
        }
        return kComplete;
    }
};

struct RunFiles {
    std::ifstream subject;
    std::ifstream analog;
    std::ifstream environment;
    OutputFile listing;
    OutputFile summary;
    OutputFile info;
    OutputFile stock;
    OutputFile fauna;
    OutputFile sst;
};

// Writing a report over one of the run's inputs would empty it before it is read: the
// user's data would be lost.
int CheckOutputsSpareInputs(const RunContext& run, const std::string& projectPath,
                            const Project& project) {
    const std::pair<const std::string*, const char*> inputs[] = {
        {&projectPath, "the project file"},
        {&project.subjectPath, "the subject file (project line 1)"},
        {&project.analogPath, "the reference file (project line 2)"},
        {&project.environmentPath, "the environment file (project line 3)"}};
    const std::string info = "info";
    const std::string stock = "stock";
    const std::string fauna = "Faun.tot";
    const std::string sst = "SST.tot";
    const std::pair<const std::string*, const char*> outputs[] = {
        {&project.listingPath, "the listing file (project line 4)"},
        {&project.summaryPath, "the summary table (project line 5)"},
        {&info, "the engine's file \"info\""},
        {&stock, "the engine's file \"stock\""},
        {&fauna, "the engine's file \"Faun.tot\""},
        {&sst, "the engine's file \"SST.tot\""}};
    for (const auto& [output, outputRole] : outputs) {
        for (const auto& [input, inputRole] : inputs) {
            std::error_code unknown;
            if (std::filesystem::equivalent(run.Resolve(*output), run.Resolve(*input), unknown)) {
                run.error = std::string(outputRole) + " \"" + *output + "\" is " + inputRole +
                            "; writing it would destroy the input, so the run does not start";
                return kFailed;
            }
        }
    }
    return kComplete;
}

int OpenFiles(const RunContext& run, const std::string& projectPath, const Project& project,
              RunFiles& files) {
    // The inputs are checked before any report file is replaced.
    if (run.OpenInput(files.subject, project.subjectPath, "subject file (project line 1)") != 0 ||
        run.OpenInput(files.analog, project.analogPath, "reference file (project line 2)") != 0 ||
        run.OpenInput(files.environment, project.environmentPath,
                      "environment file (project line 3)") != 0 ||
        CheckOutputsSpareInputs(run, projectPath, project) != 0) {
        return kFailed;
    }
    if (run.OpenOutput(files.listing, project.listingPath) != 0 ||
        run.OpenOutput(files.summary, project.summaryPath) != 0 ||
        run.OpenOutput(files.info, "info") != 0 || run.OpenOutput(files.stock, "stock") != 0 ||
        run.OpenOutput(files.fauna, "Faun.tot") != 0 || run.OpenOutput(files.sst, "SST.tot") != 0) {
        return kFailed;
    }
    return kComplete;
}

// Rows 1 .. analogCount: names, positions and proportions.
int ReadReferenceSamples(const RunContext& run, const Project& project, RunFiles& files,
                         ReferenceTable& table) {
    RecordInput input{&files.analog, project.analogPath, "", 0};
    for (int r = 1; r <= project.analogCount; ++r) {
        ReferenceRow& row = table.rows[static_cast<size_t>(r - 1)];
        if (ReadReferenceSample(input, project, r, row, run.error) != 0) {
            return kFailed;
        }
        const ProportionResult result = ConvertToProportions(row.proportions, project.speciesCount);
        if (result == ProportionResult::NoSpecies) {
            WriteAnalogNoSpeciesHalt(files.listing.stream, r);
            return kHalted;
        }
        if (result == ProportionResult::TooLarge) {
            run.error = "file \"" + project.analogPath + "\", record " +
                        std::to_string(input.recordNumber) +
                        ": the species values of reference sample " + std::to_string(r) +
                        " are too large to add up";
            return kFailed;
        }
    }
    return kComplete;
}

// Builds the virtual samples, reports them and appends them to the table under the
// names read back from "stock".
int AddVirtualSamples(const RunContext& run, const Project& project, const GridPlan& plan,
                      const EnvironmentRange& range, RunFiles& files, ReferenceTable& table) {
    VirtualSamples virtuals;
    const std::vector<GridNode> nodes = UsedGridNodes(plan, range, project.gridStep);
    if (run.options.referencePath) {
        BuildVirtualSamples(table, project.analogCount, project.speciesCount, nodes,
                            project.searchRadius, virtuals);
    } else {
        BuildVirtualSamplesIndexed(table, project.analogCount, project.speciesCount, nodes,
                                   project.searchRadius, kMaxReferenceRows - project.analogCount,
                                   virtuals);
    }
    const long rows = static_cast<long>(project.analogCount) + virtuals.createdCount;
    if (rows > kMaxReferenceRows) {
        run.error = std::to_string(project.analogCount) + " reference samples and " +
                    std::to_string(virtuals.createdCount) + " virtual samples make " +
                    std::to_string(rows) + " rows, more than the limit of " +
                    std::to_string(kMaxReferenceRows) +
                    " reference rows; please choose a larger gridStep or a smaller searchRadius";
        return kFailed;
    }

    std::ostream& info = files.info.stream;
    WriteInfoGrid(info, plan.usedNodes);
    for (const VirtualSampleLog& sample : virtuals.log) {
        WriteInfoVirtualSample(info, sample);
        files.stock.stream << VirtualSampleName(sample.number) << '\n';
    }
    run.console << " NNEW=" << ListInteger(plan.usedNodes) << '\n'
                << " NSH=" << ListInteger(virtuals.createdCount) << '\n';
    WriteInfoVirtualCount(info, virtuals.createdCount);

    files.stock.stream.close();
    if (!files.stock.stream) {
        run.error = "file \"stock\" cannot be written";
        return kFailed;
    }
    std::ifstream stockBack;
    if (run.OpenInput(stockBack, "stock", "scratch file") != 0) {
        return kFailed;
    }
    RecordInput input{&stockBack, "stock", "", 0};
    FormatDescriptor nameFormat;
    ParseFormat("(A12)", nameFormat, run.error);
    for (int v = 0; v < virtuals.createdCount; ++v) {
        std::vector<FormatItem> items{TextItem("", kNameLength)};
        if (ReadWithFormat(input, nameFormat, items, run.error) != 0) {
            run.error += " (names of the virtual samples)";
            return kFailed;
        }
        ReferenceRow& row = virtuals.rows[static_cast<size_t>(v)];
        row.name = items[0].text;
        table.rows.push_back(row);
    }
    return kComplete;
}

int WriteEnlargedReference(const RunContext& run, const Project& project,
                           const ReferenceTable& table, RunFiles& files) {
    for (const ReferenceRow& row : table.rows) {
        if (WriteWithFormat(files.fauna.stream, project.analogFormat, FaunaItems(row, project),
                            run.error) != 0) {
            run.error = "file \"Faun.tot\": " + run.error;
            return kFailed;
        }
    }
    for (const ReferenceRow& row : table.rows) {
        WriteSstLine(files.sst.stream, row);
    }
    return kComplete;
}

// One subject sample between reading and reporting.
struct SubjectWork {
    SubjectSample sample;
    int candidateCount = 0;
    std::vector<AnalogPick> picks;
    std::vector<float> weights; // per pick; 0 for an excluded best analog
};

// Reads subject sample `position` and turns it into proportions. Returns kComplete,
// kHalted for a sample without species, or kFailed with the diagnostic in `error`.
int ReadSubject(const Project& project, int position, RecordInput& input, SubjectSample& sample,
                std::string& error) {
    if (ReadSubjectSample(input, project, position, sample, error) != 0) {
        return kFailed;
    }
    const ProportionResult result = ConvertToProportions(sample.proportions, project.speciesCount);
    if (result == ProportionResult::NoSpecies) {
        return kHalted;
    }
    if (result == ProportionResult::TooLarge) {
        error = "file \"" + project.subjectPath + "\", record " +
                std::to_string(input.recordNumber) + ": the species values of subject sample " +
                std::to_string(position) + " are too large to add up";
        return kFailed;
    }
    return kComplete;
}

// Dissimilarities, candidates, picks and weights of subject samples, on either path.
class AnalogSearch {
  public:
    AnalogSearch(const Project& project, const ReferenceTable& table, const EngineOptions& options)
        : project_(project), table_(table), reference_(options.referencePath) {
        if (!reference_) {
            BuildRootTable(table, project.speciesCount, roots_);
            const int processors = static_cast<int>(std::thread::hardware_concurrency());
            threads_ = options.threads > 0 ? options.threads : std::clamp(processors, 1, 8);
        }
    }

    int Threads() const { return threads_; }

    // Each sample's result depends on nothing but the sample and the table, so the
    // samples may be shared out among `threads` threads in any way.
    void Run(std::vector<SubjectWork>& batch, int threads) const {
        const size_t workers = std::min(static_cast<size_t>(std::max(threads, 1)), batch.size());
        std::atomic<size_t> next{0};
        const auto work = [&] {
            Scratch scratch;
            for (size_t i = next++; i < batch.size(); i = next++) {
                Compute(batch[i], scratch);
            }
        };
        std::vector<std::thread> helpers;
        for (size_t t = 1; t < workers; ++t) {
            // A thread that cannot be started leaves its share to the others.
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break;
            }
        }
        work();
        for (std::thread& helper : helpers) {
            helper.join();
        }
    }

  private:
    struct Scratch {
        std::vector<float> dissimilarities;
        std::vector<Candidate> candidates;
        std::vector<AnalogPick> ranked;
    };

    void Compute(SubjectWork& work, Scratch& scratch) const {
        const Proportions& x = work.sample.proportions;
        if (reference_) {
            ComputeDissimilarities(table_, x, project_.speciesCount, scratch.dissimilarities);
            CollectCandidates(scratch.dissimilarities, scratch.candidates);
            work.candidateCount = static_cast<int>(scratch.candidates.size());
            SelectAnalogs(scratch.candidates, project_.maxAnalogs, project_.excludeBestAnalog,
                          work.picks);
        } else {
            ComputeTiledDissimilarities(roots_, x, scratch.dissimilarities);
            work.candidateCount =
                SelectRankedAnalogs(scratch.dissimilarities, project_.maxAnalogs,
                                    project_.excludeBestAnalog, scratch.ranked, work.picks);
        }
        work.weights.assign(work.picks.size(), 0.0f);
        for (size_t i = 0; i < work.picks.size(); ++i) {
            if (!(project_.excludeBestAnalog == 1 && work.picks[i].pass == 1)) {
                const ReferenceRow& row = table_.rows[static_cast<size_t>(work.picks[i].row)];
                work.weights[i] = SimilarityWeight(x, row.proportions, project_.speciesCount);
            }
        }
    }

    const Project& project_;
    const ReferenceTable& table_;
    bool reference_ = false;
    RootTable roots_;
    int threads_ = 1;
};

struct SelectionCounters {
    int fewer = 0; // samples with fewer analogs than the target
    int two = 0;   // samples with exactly two analogs
};

// Writes one subject sample's listing block, "info" lines and summary row;
// `sampleNumber` grows when it had candidates.
int ReportSubject(const RunContext& run, const Project& project, const ReferenceTable& table,
                  int position, const SubjectWork& work, RunFiles& files, int& sampleNumber,
                  SelectionCounters& counters) {
    std::ostream& listing = files.listing.stream;
    WriteSampleHeading(listing, sampleNumber);
    if (WriteWithFormat(listing, project.subjectFormat, SubjectEchoItems(work.sample, project),
                        run.error) != 0) {
        run.error = "file \"" + files.listing.shownName + "\": " + run.error;
        return kFailed;
    }
    if (work.candidateCount == 0) {
        WriteNoAnalogs(listing);
        return kComplete;
    }

    WriteAnalogTableHeading(listing, project.analogHeaderFlag);
    WriteInfoSampleStart(files.info.stream, position);
    SampleStatistics statistics;
    for (size_t i = 0; i < work.picks.size(); ++i) {
        const AnalogPick& pick = work.picks[i];
        const ReferenceRow& row = table.rows[static_cast<size_t>(pick.row)];
        WriteAnalogLine(listing, row, pick.dissimilarity, project.analogHeaderFlag);
        if (!(project.excludeBestAnalog == 1 && pick.pass == 1)) {
            AddAnalogToStatistics(statistics, pick.dissimilarity, row.env1, row.env2,
                                  work.weights[i]);
        }
        WriteInfoAnalog(files.info.stream, pick.pass, pick.dissimilarity);
    }

    const int counted = static_cast<int>(work.picks.size()) - project.excludeBestAnalog;
    WriteInfoAnalogCount(files.info.stream, counted);
    if (counted < project.maxAnalogs - project.excludeBestAnalog) {
        ++counters.fewer;
    }
    if (counted == 2) {
        ++counters.two;
    }
    if (counted > 0) {
        const StatisticsResult estimates = FinishStatistics(statistics, counted, run.console);
        WriteStatisticsBlock(listing, estimates);
        WriteSummaryRow(files.summary.stream, work.sample.name, estimates);
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
    std::string stopError;

    bool EndsRun() const { return stop != kComplete; }
};

void ReadBatch(const Project& project, RecordInput& input, int first, int size,
               SubjectBatch& batch) {
    batch.first = first;
    batch.works.clear();
    batch.stop = kComplete;
    const int last = std::min(project.subjectCount, first + size - 1);
    for (int position = first; position <= last && batch.stop == kComplete; ++position) {
        batch.stop = ReadSubject(project, position, input, batch.works.emplace_back().sample,
                                 batch.stopError);
        if (batch.stop != kComplete) {
            batch.works.pop_back();
        }
    }
}

// Reports the batch's samples, then the halt or the input error that ended it, if any.
int ReportBatch(const RunContext& run, const Project& project, const ReferenceTable& table,
                const SubjectBatch& batch, RunFiles& files, int& sampleNumber,
                SelectionCounters& counters) {
    for (size_t i = 0; i < batch.works.size(); ++i) {
        if (ReportSubject(run, project, table, batch.first + static_cast<int>(i), batch.works[i],
                          files, sampleNumber, counters) != kComplete) {
            return kFailed;
        }
    }
    if (batch.stop == kHalted) {
        WriteSubjectNoSpeciesHalt(files.listing.stream,
                                  batch.first + static_cast<int>(batch.works.size()));
    } else if (batch.stop == kFailed) {
        run.error = batch.stopError;
    }
    return batch.stop;
}

// The search of a batch on helper threads while this thread reads and reports; without
// a thread to spare it is done at once.
std::future<void> StartSearch(const AnalogSearch& search, SubjectBatch& batch, int threads) {
    try {
        return std::async(std::launch::async,
                          [&search, &batch, threads] { search.Run(batch.works, threads); });
    } catch (const std::system_error&) {
        search.Run(batch.works, threads);
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
                     RunFiles& files) {
    const AnalogSearch search(project, table, run.options);
    RecordInput input{&files.subject, project.subjectPath, "", 0};
    int sampleNumber = 1;
    SelectionCounters counters;
    if (run.options.referencePath || search.Threads() == 1) {
        SubjectBatch current;
        const int size = run.options.referencePath ? 1 : kSubjectBatch;
        for (int first = 1; first <= project.subjectCount; first += size) {
            ReadBatch(project, input, first, size, current);
            search.Run(current.works, search.Threads());
            const int status =
                ReportBatch(run, project, table, current, files, sampleNumber, counters);
            if (status != kComplete) {
                return status;
            }
        }
    } else {
        // This thread reads and reports; the others search. Each batch object stays in
        // place while it is searched: the two take turns.
        const int searchers = search.Threads() - 1;
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
            const int status =
                ReportBatch(run, project, table, batch, files, sampleNumber, counters);
            if (status != kComplete || !more) {
                if (searching.valid()) {
                    searching.get();
                }
                if (status != kComplete) {
                    return status;
                }
                break;
            }
            now = 1 - now;
        }
    }
    WriteInfoClosing(files.info.stream, project, counters.fewer, counters.two);
    return kComplete;
}

int CheckWritten(const RunContext& run, RunFiles& files) {
    for (OutputFile* file :
         {&files.listing, &files.summary, &files.info, &files.fauna, &files.sst}) {
        file->stream.flush();
        if (!file->stream) {
            run.error = "file \"" + file->shownName + "\" could not be written completely";
            return kFailed;
        }
    }
    return kComplete;
}

int RunOpenProject(const RunContext& run, const Project& project, RunFiles& files) {
    ReferenceTable table;
    table.rows.resize(static_cast<size_t>(project.analogCount));
    RecordInput environment{&files.environment, project.environmentPath, "", 0};
    if (ReadEnvironmentFile(environment, project, table, run.error) != 0) {
        return kFailed;
    }
    const bool flagsValid = (project.subjectHeaderFlag == 0 || project.subjectHeaderFlag == 1) &&
                            (project.analogHeaderFlag == 0 || project.analogHeaderFlag == 1);
    if (!flagsValid) {
        WriteHeaderFlagHalt(files.listing.stream);
        return kHalted;
    }
    // The range depends on the environment values only, so an oversized grid is
    // refused before any sample is read.
    const EnvironmentRange range = ComputeEnvironmentRange(table, project.analogCount);
    GridPlan plan;
    if (PlanGrid(range, project.gridStep, plan, run.error) != 0) {
        return kFailed;
    }
    int status = ReadReferenceSamples(run, project, files, table);
    if (status != kComplete) {
        return status;
    }
    WriteListingOpening(files.listing.stream);
    WriteSummaryHeader(files.summary.stream);
    if (AddVirtualSamples(run, project, plan, range, files, table) != 0 ||
        WriteEnlargedReference(run, project, table, files) != 0) {
        return kFailed;
    }

    return EstimateSubjects(run, project, table, files);
}

} // namespace

int RunProject(const std::string& projectPath, const EngineOptions& options, std::ostream& console,
               std::string& error) {
    const RunContext run{options, console, error};
    Project project;
    {
        std::ifstream projectFile;
        if (run.OpenInput(projectFile, projectPath, "project file") != 0 ||
            ReadProject(projectFile, projectPath, project, error) != 0 ||
            CheckProjectLimits(project, projectPath, error) != 0) {
            return kFailed;
        }
    }
    RunFiles files;
    if (OpenFiles(run, projectPath, project, files) != 0) {
        return kFailed;
    }
    const int status = RunOpenProject(run, project, files);
    if (status == kFailed) {
        return kFailed;
    }
    return CheckWritten(run, files) == kComplete ? status : kFailed;
}

int RunMarvane(std::istream& consoleIn, std::ostream& consoleOut, const EngineOptions& options) {
    const std::string projectPath =
        LocateProject(consoleIn, consoleOut,
                      ResolvePath(options.workDir, kIniFileName, options.style), options.style);
    consoleOut << " Please be patient.  The program is executing.\n\n";
    std::string error;
    const int status = RunProject(projectPath, options, consoleOut, error);
    if (status == kFailed) {
        consoleOut << " *** ERROR: " << error << ".\n";
    }
    consoleOut << "\n Ready. Press return...\n";
    consoleOut.flush();
    ReadReply(consoleIn);
    return status == kFailed ? 1 : 0;
}

} // namespace marvane
