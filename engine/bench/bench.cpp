// marvane_bench: times whole engine runs on the fast path and on the straightforward
// reference path, checks that both write the same bytes, and reports the ratio and the
// peak memory of each. Every run is a child process of its own, so its wall time covers
// the whole run and its peak resident memory is its own.
//
//   marvane_bench [--workload large|typical|forcens|all] [--repeat N] [--threads N]
//                 [--data FOLDER] [--work FOLDER] [--no-reference]
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
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

#ifndef MARVANE_DATA_DIR
#define MARVANE_DATA_DIR ""
#endif

const char* const kOutputs[] = {"SST_complete.txt", "SST_short.txt", "info",       "stock",
                                "Faun.tot",         "SST.tot",       "console.txt"};

struct Options {
    std::vector<std::string> workloads{"large", "typical", "forcens"};
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

// The child's side: one run of the project in `folder`, console lines into a file.
int RunChild(const std::string& path, const std::string& folder, const std::string& project,
             int threads) {
    marvane::EngineOptions options;
    options.workDir = folder;
    options.referencePath = path == "reference";
    options.threads = threads;
    std::ofstream console(folder + "/console.txt", std::ios::binary | std::ios::trunc);
    std::string error;
    const int status = marvane::RunProject(project, options, console, error);
    if (status < 0) {
        console << " *** ERROR: " << error << ".\n";
    }
    return status < 0 ? 1 : 0;
}

Measurement Spawn(const std::string& self, const std::string& path, const std::string& folder,
                  const std::string& project, int threads) {
    Measurement m;
    const std::string threadText = std::to_string(threads);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(self.c_str(), self.c_str(), "--run", path.c_str(), folder.c_str(), project.c_str(),
              threadText.c_str(), static_cast<char*>(nullptr));
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

// A fresh run folder holding the project's four input files.
std::string RunFolder(const std::string& source, const std::string& name,
                      const std::string& label) {
    const fs::path folder = fs::path(source) / label;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* extension : {".pro", ".ref", ".sam", ".env"}) {
        fs::copy_file(fs::path(source) / (name + extension), folder / (name + extension));
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

int Bench(const std::string& self, const std::string& name, const Options& options) {
    marvane::workload::ProjectData data;
    std::string error;
    const fs::path source = fs::path(options.work) / name;
    fs::create_directories(source);
    if (marvane::workload::MakeNamedWorkload(name, options.data, data, error) != 0 ||
        marvane::workload::WriteProject(data, source.string(), name, error) != 0) {
        std::printf("%-8s  skipped: %s\n", name.c_str(), error.c_str());
        return 0;
    }
    std::printf("%-8s  %zu reference samples x %zu species, %zu subject samples, maxAnalogs %d, "
                "gridStep %.3f, searchRadius %.3f\n",
                name.c_str(), data.references.size(), data.speciesNames.size(),
                data.subjects.size(), data.maxAnalogs, static_cast<double>(data.gridStep),
                static_cast<double>(data.searchRadius));
    const std::string project = name + ".pro";

    std::vector<double> fastTimes;
    long fastPeak = 0;
    std::string fastFolder;
    for (int i = 0; i < options.repeat; ++i) {
        fastFolder = RunFolder(source.string(), name, "fast");
        const Measurement m = Spawn(self, "fast", fastFolder, project, options.threads);
        if (m.status != 0) {
            std::printf("          fast run failed (status %d): %s\n", m.status,
                        ReadAll(fs::path(fastFolder) / "console.txt").c_str());
            return 1;
        }
        fastTimes.push_back(m.seconds);
        fastPeak = std::max(fastPeak, m.peakKiB);
    }
    const double fastMedian = Median(fastTimes);
    const double fastBest = *std::min_element(fastTimes.begin(), fastTimes.end());
    std::printf("          fast path:      median %8.3f s, best %8.3f s over %d runs, "
                "peak memory %6.1f MiB\n",
                fastMedian, fastBest, options.repeat, static_cast<double>(fastPeak) / 1024.0);
    if (!options.reference) {
        return 0;
    }

    const std::string referenceFolder = RunFolder(source.string(), name, "reference");
    const Measurement reference = Spawn(self, "reference", referenceFolder, project, 1);
    if (reference.status != 0) {
        std::printf("          reference run failed (status %d)\n", reference.status);
        return 1;
    }
    std::printf("          reference path: %8.3f s, peak memory %6.1f MiB\n", reference.seconds,
                static_cast<double>(reference.peakKiB) / 1024.0);
    std::printf("          ratio reference / fast (median): %.1f\n",
                reference.seconds / fastMedian);
    int differences = 0;
    for (const char* output : kOutputs) {
        if (ReadAll(fs::path(fastFolder) / output) != ReadAll(fs::path(referenceFolder) / output)) {
            std::printf("          DIFFERENT: %s\n", output);
            ++differences;
        }
    }
    if (differences == 0) {
        std::printf("          outputs identical (%zu files)\n", std::size(kOutputs));
    }
    return differences == 0 ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: marvane_bench [--workload large|typical|forcens|all] "
                         "[--repeat N] [--threads N] [--data FOLDER] [--work FOLDER] "
                         "[--no-reference]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "--run") {
        return RunChild(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--workload" && hasValue) {
            const std::string value = argv[++i];
            if (value != "all") {
                options.workloads = {value};
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
    const bool ownWork = options.work.empty();
    if (ownWork) {
        char pattern[] = "/tmp/marvane_bench_XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("marvane_bench");
            return 1;
        }
        options.work = pattern;
    }
    std::error_code ignored;
    const std::string self = fs::read_symlink("/proc/self/exe", ignored).string();
    std::printf("marvane_bench: %ld processors, load average %s\n", sysconf(_SC_NPROCESSORS_ONLN),
                LoadAverage().c_str());
    int result = 0;
    for (const std::string& name : options.workloads) {
        result |= Bench(self.empty() ? argv[0] : self, name, options);
    }
    std::printf("load average at the end: %s\n", LoadAverage().c_str());
    if (ownWork) {
        fs::remove_all(options.work, ignored);
    }
    return result;
}
