#include "quillon/app.h"

#include "quillon/dialog.h"
#include "quillon/inputs.h"
#include "quillon/output_files.h"
#include "quillon/report.h"
#include "quillon/text.h"
#include "quillon/transfer.h"

#include <corelith_version.h>

#include <algorithm>
#include <istream>
#include <ostream>
#include <thread>

namespace quillon {

namespace {

constexpr const char* kUsage =
    "usage: quillon [PROJECT.pro]\n"
    "  Computes the factor-analytic transfer function of a project built with \"New Transfer\n"
    "  Function Project...\". Without PROJECT.pro it asks for the project on the console,\n"
    "  proposing the one remembered in Quillon.ini, and waits for Return at the end.\n"
    "  quillon --version   prints the version\n";

int ThreadCount(const AppOptions& options) {
    if (options.threads > 0)
        return options.threads;
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

std::vector<OutputFile> Outputs(const fs::path& base, const ReportContext& context) {
    std::vector<OutputFile> files;
    files.push_back({WithSuffix(base, ".out"), ReportText(context)});
    files.push_back({WithSuffix(base, "_factors.tsv"), FactorsTable(context)});
    if (context.inputs.regressUsed) {
        files.push_back({WithSuffix(base, "_calibration.tsv"), CalibrationTable(context)});
        files.push_back({WithSuffix(base, "_cv.tsv"), CvTable(context)});
        files.push_back({WithSuffix(base, "_cv_summary.tsv"), CvSummaryTable(context)});
    }
    if (context.inputs.threadUsed) {
        files.push_back({WithSuffix(base, "_core_factors.tsv"), CoreFactorsTable(context)});
        files.push_back({WithSuffix(base, "_estimates.tsv"), EstimatesTable(context)});
    }
    return files;
}

void Summarise(const Inputs& inputs, const TransferResult& result, const ReportContext& context,
               std::ostream& out) {
    const CapFacFile& capFac = inputs.capFac;
    out << " CapFac: " << capFac.sampleCount << " reference samples, " << capFac.speciesCount
        << " species, " << capFac.factorCount << " factors explain "
        << FixedNumber(100.0 * result.factors.rotatedVariance.sum() / result.factors.totalVariance,
                       2)
        << " % of the variance\n";
    if (inputs.regressUsed) {
        out << " Regress: " << result.variables.size() << " variables, "
            << (result.form == ModelForm::Quadratic ? "quadratic" : "linear") << " model of "
            << result.coefficientNames.size() << " coefficients; leave-one-out:\n"
            << CvSummaryText(context);
    }
    if (inputs.threadUsed)
        out << " Thread: " << result.coreCommunality.size() << " core samples, "
            << result.noAnalogCount << " marked \"" << kNoAnalogFlag
            << "\" (communality below the 5th percentile of the reference samples')\n";
    for (const std::string& note : inputs.notices)
        out << " Note: " << note << '\n';
    for (const std::string& warning : inputs.warnings)
        out << " Warning: " << warning << '\n';
}

} // namespace

int RunProject(const std::string& projectPath, std::ostream& out, std::ostream& err,
               const AppOptions& options) {
    fs::path path = PathFromUtf8(projectPath);
    if (path.is_relative() && !options.workFolder.empty())
        path = options.workFolder / path;
    out << " Project: " << projectPath << '\n';
    Inputs inputs;
    std::string error;
    if (ReadInputs(path, projectPath, inputs, error) != 0) {
        err << " Error: " << error << "\n Nothing has been written.\n";
        return 1;
    }
    TransferSettings settings;
    settings.threads = ThreadCount(options);
    TransferResult result;
    if (ComputeTransfer(inputs, settings, result, error) != 0) {
        err << " Error: " << error << "\n Nothing has been written.\n";
        return 1;
    }
    const ReportContext context{inputs, result, settings};
    const std::vector<OutputFile> files = Outputs(OutputBase(path), context);
    if (WriteOutputFiles(files, error) != 0) {
        err << " Error: " << error << "\n Nothing has been written.\n";
        return 1;
    }
    Summarise(inputs, result, context, out);
    out << " Written:\n";
    for (const OutputFile& file : files)
        out << "  " << Utf8FromPath(file.path) << '\n';
    return 0;
}

int RunQuillon(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, const AppOptions& options) {
    if (args.size() == 1 && args[0] == "--version") {
        out << "quillon " CORELITH_VERSION "\n";
        return 0;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return 0;
    }
    if (args.size() > 1 || (args.size() == 1 && (args[0].empty() || args[0][0] == '-'))) {
        err << kUsage;
        return 2;
    }
    if (args.size() == 1)
        return RunProject(args[0], out, err, options);

    const std::string project =
        AskForProject(in, out, options.workFolder / kIniFileName, kNativeStyle);
    out << " Please be patient. The program is executing.\n\n";
    const int status = RunProject(project, out, err, options);
    out << "\n Ready. Press return...";
    out.flush();
    ReadReply(in);
    return status;
}

} // namespace quillon
