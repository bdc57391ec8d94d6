#include "engine/command_line.h"

#include "engine/cross_validation.h"

#include "corelith_version.h"

#include <charconv>
#include <ostream>

namespace marvane {

namespace {

constexpr const char* kUsage =
    "usage: marvane                       the console dialog (as started by the workbench)\n"
    "       marvane [--no-limits] PROJECT.pro\n"
    "                                     runs the project without dialog and pause\n"
    "       marvane --cross-validate [--folds K | --leave-one-out] [--no-limits] PROJECT.pro\n"
    "                                     cross-validates the reference samples (10 folds\n"
    "                                     unless said otherwise); writes NAME_cv.tsv and\n"
    "                                     NAME_cv_summary.tsv beside the project file\n"
    "       marvane --version\n"
    "--no-limits lifts the limits of 5000 reference rows and 50000 grid nodes to what\n"
    "memory allows.\n";

int UsageError(std::ostream& err, const std::string& reason) {
    err << "marvane: " << reason << "\n" << kUsage;
    return 2;
}

struct Request {
    bool crossValidate = false;
    bool noLimits = false;
    CrossValidationOptions cv;
    bool foldsGiven = false;
    std::string project;
};

// Fills `request`; returns an empty text, or why the arguments make no sense.
std::string Parse(const std::vector<std::string>& arguments, Request& request) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--cross-validate") {
            request.crossValidate = true;
        } else if (argument == "--no-limits") {
            request.noLimits = true;
        } else if (argument == "--leave-one-out") {
            request.cv.leaveOneOut = true;
        } else if (argument == "--folds") {
            if (i + 1 == arguments.size()) {
                return "--folds needs a number";
            }
            const std::string& text = arguments[++i];
            int folds = 0;
            const auto [end, status] =
                std::from_chars(text.data(), text.data() + text.size(), folds);
            if (status != std::errc() || end != text.data() + text.size() || folds < 2) {
                return "--folds needs a whole number of at least 2, not \"" + text + "\"";
            }
            request.cv.folds = folds;
            request.foldsGiven = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option \"" + argument + "\"";
        } else if (!request.project.empty()) {
            return "one project file at a time (\"" + request.project + "\" and \"" + argument +
                   "\")";
        } else {
            request.project = argument;
        }
    }
    if (request.project.empty()) {
        return "no project file";
    }
    if ((request.foldsGiven || request.cv.leaveOneOut) && !request.crossValidate) {
        return "--folds and --leave-one-out belong to --cross-validate";
    }
    if (request.foldsGiven && request.cv.leaveOneOut) {
        return "--folds and --leave-one-out exclude each other";
    }
    return std::string();
}

} // namespace

int RunCommandLine(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                   std::ostream& err, const EngineOptions& base) {
    if (arguments.empty()) {
        return RunMarvane(in, out, base);
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        out << "marvane " << CORELITH_VERSION << '\n';
        return 0;
    }
    if (arguments.size() == 1 && arguments[0] == "--help") {
        out << kUsage;
        return 0;
    }
    Request request;
    const std::string problem = Parse(arguments, request);
    if (!problem.empty()) {
        return UsageError(err, problem);
    }
    EngineOptions options = base;
    if (request.noLimits) {
        options.limits = kLiftedLimits;
    }
    std::string error;
    if (request.crossValidate) {
        if (RunCrossValidation(request.project, options, request.cv, out, error) != 0) {
            err << " *** ERROR: " << error << ".\n";
            return 1;
        }
        return 0;
    }
    const int status = RunProject(request.project, options, out, error);
    err << EndingLine(status, error);
    return status == kRunComplete ? 0 : 1;
}

} // namespace marvane
