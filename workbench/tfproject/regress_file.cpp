#include "shell/messages.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "tfproject/tf_files.h"
#include "workbench.h"

namespace corelith {

namespace {

// Why the term codes of this model cannot be written, or "" when they can. Every code line
// must have a position for each variable and each factor term, and the regression tool's
// term-code table has kMaxTermCodes positions: a model that does not fit would be cut short
// or misread, so no file is written for it.
std::string TermCodeProblem(int factorCount, int variableCount) {
    if (variableCount < 1)
        return "The environment file holds no environmental variable.\n"
               "No Regress file has been written.";
    if (factorCount < 0)
        return FormatC("The number of factors is %d.\n"
                       "The regression needs 0 or more factors.\n"
                       "No Regress file has been written.",
                       factorCount);
    const long long terms = RegressTermCount(factorCount, variableCount);
    if (terms > kMaxTermCodes)
        return FormatC("The regression model has %lld terms\n"
                       "(%d factors, %d environmental variables),\n"
                       "but at most %d terms can be coded.\n"
                       "Lower the number of factors (Options, CapFac...).\n"
                       "No Regress file has been written.",
                       terms, factorCount, variableCount, kMaxTermCodes);
    return "";
}

// The fixed keyword block: only the variable count and the regression type vary.
void WriteKeywordBlock(LineWriter& out, int variableCount, int regressionType) {
    out.Put(" NNN            0\n");
    out.Put(FormatC(" DEP.VAR. %7d\n", variableCount));
    out.Put(" IYY            0\n");
    out.Put(FormatC(" ANZ.SELEC%7d\n", variableCount));
    out.Put(" PCT          0.0\n");
    out.Put(FormatC(" IPOW     %7d\n", regressionType));
    out.Put(" KEQ            0\n");
    out.Put(" JPUN           0\n");
    out.Put(" IPUN           0\n");
    out.Put(" KPUNY          0\n");
    out.Put(" IRB            0\n");
    out.Put(" IRY            0\n");
    out.Put(" IPY            0\n");
    out.Put(" IWY            0\n");
    out.Put(" IWYH           0\n");
    out.Put(" MEND           0\n");
}

} // namespace

long long RegressTermCount(int factorCount, int variableCount) {
    const long long n = factorCount;
    return n * (n + 3) / 2 + variableCount;
}

int WriteRegressFile(LineWriter& out, int variableCount, int stationCount,
                     EnvironmentTable& environment, const ProjectSlot& project) {
    const int factorCount = project.capFac[5];
    if (!TermCodeProblem(factorCount, variableCount).empty())
        return -2;
    WriteKeywordBlock(out, variableCount, project.regress[1]);

    // The padding stays on the stored names: later writers see the names as written here.
    for (int u = 1; u <= variableCount; ++u) {
        std::string& name = environment.variableNames[static_cast<size_t>(u)];
        if (name.size() < 8)
            name.resize(8, ' ');
    }
    for (int station = 1; station <= stationCount && !out.Failed(); ++station) {
        out.Put("Parameteranzahl\n");
        out.Put("Core : " +
                std::string(CutText(environment.stationNames[static_cast<size_t>(station)], 12)) +
                "\n");
        for (int u = 1; u <= variableCount; ++u)
            out.Put(environment.variableNames[static_cast<size_t>(u)] +
                    FormatC("%10.5f\n", static_cast<double>(environment.Value(station, u))));
    }

    // One code line per dependent variable: 3 marks it, 2 the other variables, 0 the factor
    // terms.
    const auto terms = static_cast<size_t>(RegressTermCount(factorCount, variableCount));
    for (int u = 1; u <= variableCount; ++u) {
        std::string codes(terms, '0');
        for (int t = 1; t <= variableCount; ++t)
            codes[static_cast<size_t>(t - 1)] = t == u ? '3' : '2';
        out.Put(codes + "\n");
    }
    return out.Status();
}

int BuildRegressFile(Workbench& wb, int checkAgainstReference, int referenceSampleCount,
                     int projectNumber) {
    ProjectSlot& project = wb.settings.slots[static_cast<size_t>(projectNumber)];
    std::FILE* input = nullptr;
    std::string inputTitle;
    if (const int opened = OpenInputTable(wb, "Select environment file", input, inputTitle);
        opened != 0)
        return opened;

    int variables = 0;
    int stations = 0;
    const int read = ReadEnvironmentTable(wb, input, variables, stations, checkAgainstReference,
                                          wb.tables.reference, wb.tables.environment);
    CloseFile(input);
    if (read != 0)
        return -2;
    if (checkAgainstReference == 1 && stations != referenceSampleCount) {
        ShowFileError(wb.platform, kMsgStationCountDiffers, "");
        return -3;
    }
    if (const std::string problem = TermCodeProblem(project.capFac[5], variables);
        !problem.empty()) {
        ShowStopMessage(wb, problem);
        return -6;
    }

    return SaveStepResult(SaveParameterFile(wb, inputTitle, ".reg", 4, "Save *.reg file",
                                            project.thirdPath, "No Regress file",
                                            [&](LineWriter& file) {
                                                return WriteRegressFile(file, variables, stations,
                                                                        wb.tables.environment,
                                                                        project);
                                            }),
                          -4);
}

} // namespace corelith
