#include "engine/project.h"

#include "engine/tables.h"
#include "engine/text.h"

#include <sstream>

namespace marvane {

namespace {

constexpr int kProjectLines = 17;
constexpr size_t kDescriptorLineLength = 80;

// Applies a fixed layout of the engine's own to one project line.
int ReadLineWithFormat(const std::string& line, long lineNumber, const std::string& fileName,
                       const char* layout, std::vector<FormatItem>& items, std::string& error) {
    FormatDescriptor descriptor;
    ParseFormat(layout, descriptor, error);
    std::istringstream stream(line);
    RecordInput input{&stream, fileName, "", lineNumber - 1};
    return ReadWithFormat(input, descriptor, items, error);
}

// Parses the descriptor joined from `pieces` (80 characters each); a diagnostic shows
// the pieces without their padding.
int ParseDescriptor(const std::vector<std::string>& lines, long firstLine,
                    const std::string& fileName, FormatDescriptor& descriptor, std::string& error) {
    std::string joined;
    std::string shown;
    for (const std::string& line : lines) {
        std::string piece = line.substr(0, kDescriptorLineLength);
        shown += TrimRight(piece);
        piece.resize(kDescriptorLineLength, ' ');
        joined += piece;
    }
    std::string reason;
    if (ParseFormat(joined, descriptor, reason) != 0) {
        error = "file \"" + fileName + "\", record " + std::to_string(firstLine) +
                ": invalid format descriptor \"" + shown + "\": " + reason;
        return -1;
    }
    return 0;
}

} // namespace

int ReadProject(std::istream& stream, const std::string& fileName, Project& project,
                std::string& error) {
    project = Project();
    std::array<std::string, kProjectLines> lines;
    RecordInput input{&stream, fileName, "", 0};
    for (std::string& line : lines) {
        if (ReadNextRecord(input, error) != 0) {
            return -1;
        }
        line = input.record;
    }
    project.subjectPath = TrimRight(lines[0]);
    project.analogPath = TrimRight(lines[1]);
    project.environmentPath = TrimRight(lines[2]);
    project.listingPath = TrimRight(lines[3]);
    project.summaryPath = TrimRight(lines[4]);

    std::vector<FormatItem> flags{IntegerItem(0), IntegerItem(0)};
    if (ReadLineWithFormat(lines[5], 6, fileName, "(I1,I1)", flags, error) != 0) {
        return -1;
    }
    project.subjectHeaderFlag = flags[0].integer;
    project.analogHeaderFlag = flags[1].integer;

    std::vector<FormatItem> parameters{IntegerItem(0), IntegerItem(0), IntegerItem(0),
                                       IntegerItem(0), IntegerItem(0), RealItem(0.0f),
                                       RealItem(0.0f)};
    if (ReadLineWithFormat(lines[6], 7, fileName, "(I2,1X,I4,1X,I4,1X,I1,1X,I2,1X,F5.3,1X,F5.3)",
                           parameters, error) != 0) {
        return -1;
    }
    project.speciesCount = parameters[0].integer;
    project.subjectCount = parameters[1].integer;
    project.analogCount = parameters[2].integer;
    project.excludeBestAnalog = parameters[3].integer;
    project.maxAnalogs = parameters[4].integer;
    project.gridStep = parameters[5].real;
    project.searchRadius = parameters[6].real;
    project.speciesCodes = {lines[7], lines[8], lines[9]};

    if (ParseDescriptor({lines[10], lines[11], lines[12]}, 11, fileName, project.subjectFormat,
                        error) != 0 ||
        ParseDescriptor({lines[13], lines[14], lines[15]}, 14, fileName, project.analogFormat,
                        error) != 0 ||
        ParseDescriptor({lines[16]}, 17, fileName, project.environmentFormat, error) != 0) {
        return -1;
    }
    return 0;
}

int CheckProjectLimits(const Project& project, const std::string& fileName, std::string& error,
                       const Limits& limits) {
    const std::string where = "file \"" + fileName + "\", record 7: ";
    if (project.speciesCount < 1 || project.speciesCount > kMaxSpecies) {
        error = where + "speciesCount " + std::to_string(project.speciesCount) +
                " is outside the limits of 1 to " + std::to_string(kMaxSpecies) + " species";
    } else if (project.subjectCount < 1) {
        error = where + "subjectCount " + std::to_string(project.subjectCount) +
                " leaves no subject sample to estimate (at least 1 is needed)";
    } else if (project.analogCount < 1 || project.analogCount > limits.referenceRows) {
        error = where + "analogCount " + std::to_string(project.analogCount) +
                " is outside the limits of 1 to " + std::to_string(limits.referenceRows) +
                " reference samples";
    } else if (project.excludeBestAnalog < 0 || project.excludeBestAnalog > 1) {
        error = where + "excludeBestAnalog " + std::to_string(project.excludeBestAnalog) +
                " must be 0 or 1";
    } else if (project.maxAnalogs < 1 || project.maxAnalogs > kMaxAnalogs) {
        error = where + "maxAnalogs " + std::to_string(project.maxAnalogs) +
                " is outside the limits of 1 to " + std::to_string(kMaxAnalogs) + " analogs";
    } else if (!(project.gridStep > 0.0f)) {
        error = where + "gridStep " + FormatShortReal(project.gridStep) + " must be greater than 0";
    } else if (project.searchRadius < 0.0f) {
        error = where + "searchRadius " + FormatShortReal(project.searchRadius) +
                " must not be negative";
    } else {
        return 0;
    }
    return -1;
}

} // namespace marvane
