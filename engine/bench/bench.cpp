// marvane_bench: times whole engine runs and cross-validations on the fast path and on
// the straightforward reference path, checks that both write the same bytes, and
// reports the ratio and the peak memory of each. Every run is a child process of its
// own, so its wall time covers the whole run and its peak resident memory is its own.
//
//   marvane_bench [--workload NAME|all] [--repeat N] [--threads N] [--data FOLDER]
//                 [--work FOLDER] [--no-reference]
#include "engine/cross_validation.h"
#include "engine/engine.h"
#include "engine/workload/workload.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

#ifndef MARVANE_DATA_DIR
#define MARVANE_DATA_DIR ""
#endif
#ifndef MARVANE_EXAMPLE_DIR
#define MARVANE_EXAMPLE_DIR ""
#endif

// What a benchmark case runs: a run of the project, or its cross-validation in ten folds.
struct Case {
    const char* name;
    const char* workload; // a named workload, or "example" for the bundled example
    bool crossValidate;
    bool liftedLimits;
};

const Case kCases[] = {
    {"large", "large", false, false},       {"typical", "typical", false, false},
    {"forcens", "forcens", false, false},   {"forcens-global", "forcens-global", false, true},
    {"example-cv", "example", true, false}, {"forcens-cv", "forcens", true, false},
};

struct Options {
    std::vector<std::string> cases;
    int repeat = 5;
    int threads = 0;
    std::string data = MARVANE_DATA_DIR;
    std::string work;
    bool reference = true;
};

struct Measurement {
    double seconds = 0.0;
    long peakKiB = 0;
    int status = 0;
};

// The child's side: one run or cross-validation of the project in `folder`, console
// lines into a file.
int RunChild(const std::string& path, const std::string& folder, const std::string& project,
             int threads, bool crossValidate, bool lifted) {
    marvane::EngineOptions options;
    options.workDir = folder;
    options.referencePath = path == "reference";
    options.threads = threads;
    options.limits = lifted ? marvane::kLiftedLimits : marvane::kFixedLimits;
    std::ofstream console(folder + "/console.txt", std::ios::binary | std::ios::trunc);
    std::string error;
    const int status =
        crossValidate ? marvane::RunCrossValidation(
                            project, options, marvane::CrossValidationOptions{}, console, error)
                      : marvane::RunProject(project, options, console, error);
    if (status < 0) {
        console << " *** ERROR: " << error << ".\n";
    }
    return status < 0 ? 1 : 0;
}

Measurement Spawn(const std::string& self, const std::string& path, const std::string& folder,
                  const std::string& project, int threads, const Case& c) {
    Measurement m;
    const std::string threadText = std::to_string(threads);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(self.c_str(), self.c_str(), "--run", path.c_str(), folder.c_str(), project.c_str(),
              threadText.c_str(), c.crossValidate ? "cv" : "run", c.liftedLimits ? "1" : "0",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        m.status = -1;
        return m;
    }
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKiB = usage.ru_maxrss;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh run folder holding the project's input files.
std::string RunFolder(const fs::path& source, const std::string& label) {
    const fs::path folder = source / label;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const fs::directory_entry& entry : fs::directory_iterator(source)) {
        if (entry.is_regular_file()) {
            fs::copy_file(entry.path(), folder / entry.path().filename());
        }
    }
    return folder.string();
}

std::string LoadAverage() {
    double load[3] = {0.0, 0.0, 0.0};
    if (getloadavg(load, 3) != 3) {
        return "unknown";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Writes the case's input files into `source`; fills the project's base name.
int PrepareInputs(const Case& c, const Options& options, const fs::path& source,
                  std::string& base) {
    fs::create_directories(source);
    if (std::string(c.workload) == "example") {
        std::error_code error;
        for (const fs::directory_entry& entry :
             fs::directory_iterator(MARVANE_EXAMPLE_DIR, error)) {
            if (entry.is_regular_file() && entry.path().extension() != ".md") {
                fs::copy_file(entry.path(), source / entry.path().filename());
            }
        }
        base = "Velmar_Project1";
        if (error || !fs::exists(source / (base + ".pro"))) {
            std::printf("%-14s  skipped: no example in \"%s\"\n", c.name, MARVANE_EXAMPLE_DIR);
            return -1;
        }
        std::printf("%-14s  the bundled example, cross-validated in 10 folds\n", c.name);
        return 0;
    }
    marvane::workload::ProjectData data;
    std::string error;
    base = c.workload;
    if (marvane::workload::MakeNamedWorkload(c.workload, options.data, data, error) != 0 ||
        marvane::workload::WriteProject(data, source.string(), base, error) != 0) {
        std::printf("%-14s  skipped: %s\n", c.name, error.c_str());
        return -1;
    }
    std::printf("%-14s  %zu reference samples x %zu species, %zu subject samples, maxAnalogs %d, "
                "gridStep %.3f, searchRadius %.3f%s%s\n",
                c.name, data.references.size(), data.speciesNames.size(), data.subjects.size(),
                data.maxAnalogs, static_cast<double>(data.gridStep),
                static_cast<double>(data.searchRadius), c.liftedLimits ? ", limits lifted" : "",
                c.crossValidate ? ", cross-validated in 10 folds" : "");
    return 0;
}

int Bench(const std::string& self, const Case& c, const Options& options) {
    const fs::path source = fs::path(options.work) / c.name;
    std::string base;
    if (PrepareInputs(c, options, source, base) != 0) {
        return 0;
    }
    const std::string project = base + ".pro";
    std::vector<std::string> outputs{"console.txt"};
    if (c.crossValidate) {
        outputs.insert(outputs.end(), {base + "_cv.tsv", base + "_cv_summary.tsv"});
    } else {
        outputs.insert(outputs.end(), {"SST_complete.txt", "SST_short.txt", "info", "stock",
                                       "Faun.tot", "SST.tot", base + "_estimates.tsv"});
    }

    std::vector<double> fastTimes;
    long fastPeak = 0;
    std::string fastFolder;
    for (int i = 0; i < options.repeat; ++i) {
        fastFolder = RunFolder(source, "fast");
        const Measurement m = Spawn(self, "fast", fastFolder, project, options.threads, c);
        if (m.status != 0) {
            std::printf("                fast run failed (status %d): %s\n", m.status,
                        ReadAll(fs::path(fastFolder) / "console.txt").c_str());
            return 1;
        }
        fastTimes.push_back(m.seconds);
        fastPeak = std::max(fastPeak, m.peakKiB);
    }
    const double fastMedian = Median(fastTimes);
    const double fastBest = *std::min_element(fastTimes.begin(), fastTimes.end());
    std::printf("                fast path:      median %8.3f s, best %8.3f s over %d runs, "
                "peak memory %6.1f MiB\n",
                fastMedian, fastBest, options.repeat, static_cast<double>(fastPeak) / 1024.0);
    if (!options.reference) {
        return 0;
    }

    const std::string referenceFolder = RunFolder(source, "reference");
    const Measurement reference = Spawn(self, "reference", referenceFolder, project, 1, c);
    if (reference.status != 0) {
        std::printf("                reference run failed (status %d)\n", reference.status);
        return 1;
    }
    std::printf("                reference path: %8.3f s, peak memory %6.1f MiB\n",
                reference.seconds, static_cast<double>(reference.peakKiB) / 1024.0);
    std::printf("                ratio reference / fast (median): %.1f\n",
                reference.seconds / fastMedian);
    int differences = 0;
    for (const std::string& output : outputs) {
        if (ReadAll(fs::path(fastFolder) / output) != ReadAll(fs::path(referenceFolder) / output)) {
            std::printf("                DIFFERENT: %s\n", output.c_str());
            ++differences;
        }
    }
    if (differences == 0) {
        std::printf("                outputs identical (%zu files)\n", outputs.size());
    }
    return differences == 0 ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: marvane_bench [--workload NAME|all] [--repeat N] [--threads N] "
                         "[--data FOLDER] [--work FOLDER] [--no-reference]\n"
                         "workloads:");
    for (const Case& c : kCases) {
        std::fprintf(stderr, " %s", c.name);
    }
    std::fprintf(stderr, "\n");
    return 2;
}

// A new folder below the system's temporary folder.
fs::path NewWorkFolder() {
    std::random_device seed;
    std::error_code error;
    for (;;) {
        const fs::path folder =
            fs::temp_directory_path() / ("marvane_bench_" + std::to_string(seed()));
        if (fs::create_directory(folder, error)) {
            return folder;
        }
        if (error) {
            return {};
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 8 && std::string(argv[1]) == "--run") {
        return RunChild(argv[2], argv[3], argv[4], std::atoi(argv[5]), std::string(argv[6]) == "cv",
                        std::string(argv[7]) == "1");
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--workload" && hasValue) {
            const std::string value = argv[++i];
            if (value != "all") {
                options.cases.push_back(value);
            }
        } else if (arg == "--repeat" && hasValue) {
            options.repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--threads" && hasValue) {
            options.threads = std::max(0, std::atoi(argv[++i]));
        } else if (arg == "--data" && hasValue) {
            options.data = argv[++i];
        } else if (arg == "--work" && hasValue) {
            options.work = argv[++i];
        } else if (arg == "--no-reference") {
            options.reference = false;
        } else {
            return Usage();
        }
    }
    for (const std::string& name : options.cases) {
        if (std::none_of(std::begin(kCases), std::end(kCases),
                         [&](const Case& c) { return name == c.name; })) {
            return Usage();
        }
    }
    const bool ownWork = options.work.empty();
    if (ownWork) {
        options.work = NewWorkFolder().string();
        if (options.work.empty()) {
            std::fprintf(stderr, "marvane_bench: no temporary folder\n");
            return 1;
        }
    }
    std::error_code ignored;
    const std::string self = fs::read_symlink("/proc/self/exe", ignored).string();
    std::printf("marvane_bench: %ld processors, load average %s\n", sysconf(_SC_NPROCESSORS_ONLN),
                LoadAverage().c_str());
    int result = 0;
    for (const Case& c : kCases) {
        if (options.cases.empty() ||
            std::find(options.cases.begin(), options.cases.end(), c.name) != options.cases.end()) {
            result |= Bench(self.empty() ? argv[0] : self, c, options);
        }
    }
    std::printf("load average at the end: %s\n", LoadAverage().c_str());
    if (ownWork) {
        fs::remove_all(options.work, ignored);
    }
    return result;
}
