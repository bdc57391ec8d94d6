#include "quillon/inputs.h"

#include "quillon/text.h"

#include <algorithm>
#include <initializer_list>

namespace quillon {

namespace {

// The project's parameters that have a meaning: CapFac 2 to 6 (they repeat the CapFac file's
// control values and number of factors) and Regress 2 (the regression type, repeated by
// "IPOW"). Every other parameter must be 0.
int CheckUndefinedParameters(const TextFile& file, const ToolLine& tool, const char* name,
                             std::initializer_list<int> defined, std::string& error) {
    for (int position = 1; position <= 9; ++position) {
        if (std::find(defined.begin(), defined.end(), position) != defined.end())
            continue;
        const int value = tool.parameters[static_cast<size_t>(position - 1)];
        if (value != 0) {
            error = file.At(tool.parameterLine,
                            std::string(name) + " parameter " + std::to_string(position) + " is " +
                                std::to_string(value) +
                                ": it has no meaning to quillon, which knows only 0 there");
            return -1;
        }
    }
    return 0;
}

void CompareParameter(const TextFile& file, int line, const std::string& what, int inProject,
                      const std::string& fileName, int inFile, Inputs& inputs) {
    if (inProject == inFile)
        return;
    inputs.warnings.push_back(file.At(line, what + " is " + std::to_string(inProject) +
                                                " in the project but " + std::to_string(inFile) +
                                                " in " + fileName + "; the value of " + fileName +
                                                " is used"));
}

// Opens the file a project line names, or says why it cannot be used.
int ReadMember(const TextFile& projectFile, const Inputs& inputs, const ToolLine& tool,
               const char* failedText, const char* name, TextFile& member, std::string& shown,
               std::vector<std::string>& notices, std::string& error) {
    if (tool.path == failedText) {
        error =
            projectFile.At(tool.pathLine, std::string("the workbench could not write the ") + name +
                                              " file (the project says " + Quoted(failedText) +
                                              "); build the project again");
        return -1;
    }
    if (tool.path.empty()) {
        error = projectFile.At(tool.pathLine,
                               std::string("expected the path of the ") + name + " file");
        return -1;
    }
    std::string movedFrom;
    const fs::path path = LocateProjectMember(inputs.projectPath, tool.path, movedFrom);
    shown = Utf8FromPath(path);
    if (!movedFrom.empty())
        notices.push_back(
            std::string(name) + " file " + Quoted(movedFrom) +
            " is not there; the file of that name beside the project is read: " + shown);
    return ReadTextFile(path, shown, member, error);
}

int CheckStations(const TextFile& regressFile, const RegressFile& regress, const CapFacFile& capFac,
                  const std::string& capFacShown, std::string& error) {
    const auto stations = static_cast<int>(regress.stationNames.size());
    if (stations != capFac.sampleCount) {
        error = regressFile.name + ": it holds " + std::to_string(stations) + " stations, " +
                capFacShown + " " + std::to_string(capFac.sampleCount) +
                " reference samples: the number of reference samples must equal the number of "
                "hydrographic positions";
        return -1;
    }
    // Stations belong to the reference samples by order; the Regress file keeps the first 12
    // characters of each name, which must be those of the sample.
    for (int s = 0; s < stations; ++s) {
        const std::string& station = regress.stationNames[static_cast<size_t>(s)];
        const std::string& sample = capFac.census.samples[static_cast<size_t>(s)];
        if (TrimRightBlanks(station) != TrimRightBlanks(sample.substr(0, 12))) {
            error = regressFile.At(regress.stationLines[static_cast<size_t>(s)],
                                   "station " + std::to_string(s + 1) + " is " + Quoted(station) +
                                       " but reference sample " + std::to_string(s + 1) + " of " +
                                       capFacShown + " is " + Quoted(sample) +
                                       ": stations and reference samples must be in the same "
                                       "order");
            return -1;
        }
    }
    return 0;
}

} // namespace

int ReadInputs(const fs::path& projectPath, const std::string& shown, Inputs& inputs,
               std::string& error) {
    inputs.projectPath = projectPath;
    inputs.projectShown = shown;
    TextFile projectFile;
    if (ReadTextFile(projectPath, shown, projectFile, error) != 0 ||
        ReadProjectFile(projectFile, inputs.project, error) != 0)
        return -1;
    const ProjectFile& project = inputs.project;
    if (!project.capFac.used) {
        error = project.regress.used || project.thread.used
                    ? projectFile.At(3, "CapFac is not used (its flag is 0), and without the "
                                        "factor analysis of the reference samples neither "
                                        "Regress nor Thread can compute anything: tick CapFac "
                                        "when building the project")
                    : projectFile.At(3, "no tool is used (all three flags are 0): there is "
                                        "nothing to compute");
        return -1;
    }
    inputs.regressUsed = project.regress.used;
    inputs.threadUsed = project.thread.used;
    if (CheckUndefinedParameters(projectFile, project.capFac, "CapFac", {2, 3, 4, 5, 6}, error) !=
            0 ||
        (inputs.regressUsed &&
         CheckUndefinedParameters(projectFile, project.regress, "Regress", {2}, error) != 0) ||
        (inputs.threadUsed &&
         CheckUndefinedParameters(projectFile, project.thread, "Thread", {}, error) != 0))
        return -1;

    TextFile capFacFile;
    if (ReadMember(projectFile, inputs, project.capFac, kNoCapFacFile, "CapFac", capFacFile,
                   inputs.capFacShown, inputs.notices, error) != 0 ||
        ReadCapFacFile(capFacFile, inputs.capFac, error) != 0)
        return -1;
    const CapFacFile& capFac = inputs.capFac;
    const int line = project.capFac.parameterLine;
    const std::string& cap = inputs.capFacShown;
    CompareParameter(projectFile, line, "CapFac parameter 2 (transformation)",
                     project.capFac.parameters[1], cap, capFac.transformation, inputs);
    CompareParameter(projectFile, line, "CapFac parameter 3 (output control)",
                     project.capFac.parameters[2], cap, capFac.output, inputs);
    CompareParameter(projectFile, line, "CapFac parameter 4 (exit control)",
                     project.capFac.parameters[3], cap, capFac.exit, inputs);
    CompareParameter(projectFile, line, "CapFac parameter 5 (plot control)",
                     project.capFac.parameters[4], cap, capFac.plot, inputs);
    CompareParameter(projectFile, line, "The number of factors", project.capFac.parameters[5], cap,
                     capFac.factorCount, inputs);

    if (inputs.regressUsed) {
        TextFile regressFile;
        if (ReadMember(projectFile, inputs, project.regress, kNoRegressFile, "Regress", regressFile,
                       inputs.regressShown, inputs.notices, error) != 0 ||
            ReadRegressFile(regressFile, inputs.regress, error) != 0 ||
            CheckStations(regressFile, inputs.regress, capFac, cap, error) != 0 ||
            InterpretTermCodes(inputs.regress, regressFile.name, capFac.factorCount,
                               inputs.variables, error) != 0)
            return -1;
        CompareParameter(projectFile, project.regress.parameterLine,
                         "The regression type (Regress parameter 2)", project.regress.parameters[1],
                         inputs.regressShown, inputs.regress.power, inputs);
    }
    if (inputs.threadUsed) {
        TextFile threadFile;
        if (ReadMember(projectFile, inputs, project.thread, kNoThreadFile, "Thread", threadFile,
                       inputs.threadShown, inputs.notices, error) != 0 ||
            ReadThreadFile(threadFile, capFac.census.codes, inputs.thread, error) != 0)
            return -1;
    }
    return 0;
}

} // namespace quillon
