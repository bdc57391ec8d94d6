// What the engine's end-to-end tests share: the golden cases, runs of the engine in a
// test's folder, and one-line changes to a case's input files.
#pragma once

#include "engine/engine.h"

#include "testing/test_support.h"

#include <filesystem>
#include <sstream>
#include <string>

namespace marvane::test {

namespace fs = std::filesystem;

// Golden case `name`: its input files, and its expected outputs below expected/.
inline fs::path GoldenDir(const std::string& name) {
    return fs::path(MARVANE_GOLDEN_DIR) / name;
}
inline fs::path Expected(const std::string& name, const std::string& file) {
    return GoldenDir(name) / "expected" / file;
}

// The engine working in the test's folder, with paths in the POSIX form.
inline EngineOptions OptionsIn(const testsupport::TempDir& dir) {
    EngineOptions options;
    options.workDir = dir.path().string();
    options.style = kPosixPathStyle;
    return options;
}

struct RunResult {
    int status = 0;
    std::string console;
};

// The whole program as the workbench starts it: dialog replies, run, pause.
inline RunResult RunWith(const std::string& replies, const EngineOptions& options) {
    std::istringstream in(replies);
    std::ostringstream out;
    RunResult run;
    run.status = RunMarvane(in, out, options);
    run.console = out.str();
    return run;
}
inline RunResult RunIn(const testsupport::TempDir& dir, const std::string& replies) {
    return RunWith(replies, OptionsIn(dir));
}

// A one-line change to an input file: line `line` (1-based) of `file` replaced by
// `text`, or removed when `text` is null.
struct Edit {
    const char* file = nullptr;
    int line = 0;
    const char* text = nullptr;
};

inline void ApplyEdit(const fs::path& dir, const Edit& edit) {
    std::istringstream in(testsupport::ReadFile(dir / edit.file));
    std::string edited;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (number != edit.line) {
            edited += line + "\n";
        } else if (edit.text != nullptr) {
            edited += std::string(edit.text) + "\n";
        }
    }
    testsupport::WriteFile(dir / edit.file, edited);
}

} // namespace marvane::test
