#include "analogproject/engine_files.h"

#include "shell/messages.h"
#include "textio/file_layer.h"
#include "textio/line_writer.h"
#include "textio/paths.h"
#include "textio/text_cut.h"
#include "workbench.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace corelith {

namespace {

constexpr char kListingFileName[] = "SST_complete.txt";
constexpr char kSummaryFileName[] = "SST_short.txt";
constexpr char kEnvironmentDescriptor[] = "(13X,F5.2,5X,F5.2)";
constexpr char kValueFormat[] = "%04.0f";
constexpr char kDegreesFormat[] = "%+04.0f";
constexpr char kDepthFormat[] = "%4.0f";
constexpr char kVariableFormat[] = "%5.2f";

int Refuse(Workbench& wb, const std::string& text) {
    wb.platform.ShowMessage(0, kProgramTitle, text, MessageIcon::Stop, true);
    return -1;
}

// A path set on a line of its own between ">" and "<", as the message catalogue shows names.
std::string Framed(const std::string& path) {
    return "\n>" + path + "<\n";
}

std::string Number(double value) {
    return FormatC("%G", value);
}

// The engine counts its columns in bytes: a name is cut to whole characters and then padded
// with blanks to the field's width.
std::string FitToWidth(const std::string& text, int width) {
    std::string fitted(CutText(text, static_cast<size_t>(width)));
    fitted.resize(static_cast<size_t>(width), ' ');
    return fitted;
}

// A number that is not finite prints as letters that would pass for a field of the right
// width ("+nan"), so it never reaches a column.
bool PutNumber(std::string& line, Column column, const char* format, double value) {
    return std::isfinite(value) && PutField(line, column, FormatC(format, value));
}

const Location& LocationRow(const Workbench& wb, int row) {
    static const Location kNoLocation;
    const auto& stations = wb.tables.locations.stations;
    return static_cast<size_t>(row) < stations.size() ? stations[static_cast<size_t>(row)]
                                                      : kNoLocation;
}

std::string SampleLabel(const SampleTable& samples, int row) {
    return FormatC("%d (", row) + samples.names[static_cast<size_t>(row)] + ")";
}

// The header record: name, then latitude, longitude and depth of location row `row`.
int FormatSampleHeader(Workbench& wb, const SampleSources& sources, const SampleTable& samples,
                       int row, std::string& out) {
    const Location& at = LocationRow(wb, row);
    std::string line = FitToWidth(samples.names[static_cast<size_t>(row)], kSampleName.width);
    const auto refuse = [&](const char* what, double value, const char* range) {
        return Refuse(wb, "Row " + FormatC("%d (", row) + at.name + ") of the location file" +
                              Framed(sources.locationsPath) + "has the " + what + " " +
                              Number(value) + ", which does not fit the engine's column (" + range +
                              ").");
    };
    if (!PutNumber(line, kLatitudeDegrees, kDegreesFormat, at.latitudeDegrees) ||
        !PutNumber(line, kLatitudeMinutes, kDegreesFormat, at.latitudeMinutes))
        return refuse("latitude", at.latitudeDegrees + at.latitudeMinutes / 60.0,
                      "-999 to 999 degrees");
    if (!PutNumber(line, kLongitudeDegrees, kDegreesFormat, at.longitudeDegrees) ||
        !PutNumber(line, kLongitudeMinutes, kDegreesFormat, at.longitudeMinutes))
        return refuse("longitude", at.longitudeDegrees + at.longitudeMinutes / 60.0,
                      "-999 to 999 degrees");
    // An empty depth cell would print as -999.99, five characters for a four-column field.
    const bool placed = at.depth == kEmptyCell ? PutField(line, kDepth, kUnknownDepth)
                                               : PutNumber(line, kDepth, kDepthFormat, at.depth);
    if (!placed)
        return refuse("depth", at.depth, "-999 to 9999 m");
    out += line + "\n";
    return 0;
}

// The three value records of one sample.
int FormatSampleValues(Workbench& wb, const SampleSources& sources, const SampleTable& samples,
                       int row, int speciesCount, int dataFormat, std::string& out) {
    std::array<double, kEngineSpeciesLimit> values{};
    double largest = 0.0;
    for (int s = 1; s <= speciesCount; ++s) {
        const float stored = samples.Value(row, s);
        if (!(stored >= 0.0f))
            return Refuse(wb, "Sample " + SampleLabel(samples, row) + " of the " + sources.kind +
                                  " file" + Framed(sources.tablePath) + "has the value " +
                                  Number(stored) + " for species " + FormatC("%d (", s) +
                                  wb.tables.species.names[static_cast<size_t>(s)] +
                                  ").\nThe engine needs values of zero or more.");
        // -0.0 would print with a minus sign.
        const double value = stored == 0.0f ? 0.0 : stored * (dataFormat >= 1 ? 100.0 : 1.0);
        values[static_cast<size_t>(s - 1)] = value;
        largest = std::max(largest, value);
    }
    if (largest > 0.0 && FormatC(kValueFormat, largest) == "0000")
        return Refuse(wb, "The values of sample " + SampleLabel(samples, row) + " of the " +
                              sources.kind + " file" + Framed(sources.tablePath) +
                              "all round to zero in the engine's whole-number columns "
                              "(largest value " +
                              Number(dataFormat >= 1 ? largest / 100.0 : largest) + ")." +
                              (dataFormat >= 1 ? ""
                                               : "\nFor fractions or percentages choose "
                                                 "\"percent data\" in Format of data."));
    // The engine turns every sample into proportions, so dividing all its values by one
    // power of ten changes nothing it computes, while a five-digit value would shift the
    // rest of its line.
    double divisor = 1.0;
    while (FormatC(kValueFormat, largest / divisor).size() > static_cast<size_t>(kFirstValue.width))
        divisor *= 10.0;
    for (int line = 0; line < kValueLines; ++line) {
        std::string text(static_cast<size_t>(kFirstValue.first - 1), ' ');
        for (int p = 0; p < kValuesPerLine; ++p) {
            const Column column{kFirstValue.first + kFirstValue.width * p, kFirstValue.width};
            const double value = values[static_cast<size_t>(line * kValuesPerLine + p)] / divisor;
            if (!PutNumber(text, column, kValueFormat, value))
                return -1; // unreachable after the scaling above; never write a shifted line
        }
        out += text + "\n";
    }
    return 0;
}

int WriteSampleFile(Workbench& wb, std::string& out, const SampleSources& sources,
                    const SampleTable& samples, int speciesCount, int sampleCount,
                    int projectNumber) {
    const ProjectSlot& slot = wb.settings.slots[static_cast<size_t>(projectNumber)];
    if (speciesCount > kEngineSpeciesLimit)
        return Refuse(wb, std::string("The ") + sources.kind + " file" + Framed(sources.tablePath) +
                              FormatC("holds %d species", speciesCount) +
                              "; the engine Marvane holds at most " +
                              FormatC("%d", kEngineSpeciesLimit) +
                              ".\nMark the species to leave out with * in the flag " +
                              (slot.speciesFormat >= 1 ? "line." : "column."));
    if (speciesCount < 1)
        return Refuse(wb, std::string("The ") + sources.kind + " file" + Framed(sources.tablePath) +
                              "holds no species.");
    if (sampleCount < 1)
        return Refuse(wb, std::string("The ") + sources.kind + " file" + Framed(sources.tablePath) +
                              "holds no samples.");
    const int rows = std::min(sampleCount, wb.tables.sampleCapacity);
    ShowArrowCursor(wb.platform);
    int result = 0;
    for (int row = 1; row <= rows && result == 0; ++row) {
        ShowWaitCursor(wb.platform);
        result = FormatSampleHeader(wb, sources, samples, row, out);
        if (result == 0)
            result =
                FormatSampleValues(wb, sources, samples, row, speciesCount, slot.dataFormat, out);
    }
    ShowArrowCursor(wb.platform);
    return result;
}

// Lines 12-13 of the core descriptor, equal to lines 15-16 of the reference descriptor.
std::string ValueDescriptor(int speciesCount) {
    if (speciesCount > 2 * kValuesPerLine)
        return "12X,15F4.0/12X,15F4.0/\n" +
               FormatC("12X,%dF4.0)\n", speciesCount - 2 * kValuesPerLine);
    if (speciesCount > kValuesPerLine)
        return "12X,15F4.0/\n" + FormatC("12X,%dF4.0/12X)\n", speciesCount - kValuesPerLine);
    return FormatC("12X,%dF4.0/\n", speciesCount) + "12X/12X)\n";
}

} // namespace

bool PutField(std::string& line, Column column, const std::string& text) {
    const size_t start = static_cast<size_t>(column.first - 1);
    if (text.size() != static_cast<size_t>(column.width) || line.size() > start)
        return false;
    line.resize(start, ' ');
    line += text;
    return true;
}

int WriteReferenceFile(Workbench& wb, std::string& out, const SampleSources& sources,
                       int speciesCount, int sampleCount, int projectNumber) {
    return WriteSampleFile(wb, out, sources, wb.tables.reference, speciesCount, sampleCount,
                           projectNumber);
}

int WriteCoreFile(Workbench& wb, std::string& out, const SampleSources& sources, int speciesCount,
                  int sampleCount, int projectNumber) {
    return WriteSampleFile(wb, out, sources, wb.tables.core, speciesCount, sampleCount,
                           projectNumber);
}

int WriteEnvironmentFile(Workbench& wb, std::string& out, const std::string& tablePath,
                         int variableCount, int stationCount) {
    const EnvironmentTable& environment = wb.tables.environment;
    if (variableCount < 2)
        return Refuse(wb, "The environment file" + Framed(tablePath) +
                              FormatC("has %d environmental variable%s", variableCount,
                                      variableCount == 1 ? "" : "s") +
                              "; the engine estimates two: the first two columns after the "
                              "station name.");
    const int rows = std::min(stationCount, wb.tables.sampleCapacity);
    ShowArrowCursor(wb.platform);
    int result = 0;
    for (int row = 1; row <= rows && result == 0; ++row) {
        ShowWaitCursor(wb.platform);
        const std::string& name = environment.stationNames[static_cast<size_t>(row)];
        std::string line = FitToWidth(name, kStationName.width);
        for (int variable = 1; variable <= 2 && result == 0; ++variable) {
            const float value = environment.Value(row, variable);
            const std::string station = "Station " + FormatC("%d (", row) + name +
                                        ") of the environment file" + Framed(tablePath);
            const std::string& header = environment.variableNames[static_cast<size_t>(variable)];
            const std::string label = header.empty() ? FormatC("variable %d", variable) : header;
            if (value == kEmptyCell)
                result = Refuse(wb, station + "has no value for " + label + ".");
            else if (!PutNumber(line, variable == 1 ? kFirstVariable : kSecondVariable,
                                kVariableFormat, value))
                result = Refuse(wb, station + "has the value " + Number(value) + " for " + label +
                                        ", which does not fit the engine's column (-9.99 to "
                                        "99.99).");
        }
        if (result == 0)
            out += line + "\n";
    }
    ShowArrowCursor(wb.platform);
    return result;
}

std::string SubjectDescriptor(int speciesCount) {
    return "(A12/\n" + ValueDescriptor(speciesCount);
}

std::string AnalogDescriptor(int speciesCount) {
    return "(A12,2F4.0,4X,2F4.0,4X,I4/\n" + ValueDescriptor(speciesCount);
}

int WriteProjectFile(Workbench& wb, std::string& out, const std::string& outputFolder,
                     int projectNumber, int speciesCount, int subjectCount, int analogCount) {
    const ProjectSlot& slot = wb.settings.slots[static_cast<size_t>(projectNumber)];
    const auto& engine = slot.engine;
    std::string flags;
    std::string parameters;
    struct Parameter {
        const char* name;
        Column column;
        const char* format;
        double value;
        std::string* line;
    };
    const Parameter fields[] = {
        {"core header flag", {1, 1}, "%1.0f", static_cast<double>(engine[0]), &flags},
        {"reference header flag", {2, 1}, "%1.0f", static_cast<double>(engine[1]), &flags},
        {"species count", kSpeciesCount, "%2.0f", static_cast<double>(speciesCount), &parameters},
        {"core sample count", kSubjectCount, "%4.0f", static_cast<double>(subjectCount),
         &parameters},
        {"reference sample count", kAnalogCount, "%4.0f", static_cast<double>(analogCount),
         &parameters},
        {"jackknife flag", kExcludeBestAnalog, "%1.0f", static_cast<double>(engine[2]),
         &parameters},
        {"maximum analogs", kMaxAnalogs, "%2.0f", static_cast<double>(engine[3]), &parameters},
        {"grid step", kGridStep, "%5.3f", engine[4] / 100.0, &parameters},
        {"search radius", kSearchRadius, "%5.3f", engine[5] / 100.0, &parameters},
    };
    for (const Parameter& field : fields)
        if (!PutNumber(*field.line, field.column, field.format, field.value))
            return Refuse(wb, std::string("The ") + field.name + " " + Number(field.value) +
                                  " does not fit its column of the engine's project file (" +
                                  FormatC("%d", field.column.width) + " characters).");
    out += slot.secondPath + "\n";
    out += slot.firstPath + "\n";
    out += slot.thirdPath + "\n";
    out += outputFolder + kListingFileName + "\n";
    out += outputFolder + kSummaryFileName + "\n";
    out += flags + "\n";
    out += parameters + "\n";
    // Species codes: the engine reads and ignores them; positions beyond the species count
    // stay blank rather than show names left over from an earlier table.
    for (int line = 0; line < kValueLines; ++line) {
        for (int p = 1; p <= kValuesPerLine; ++p) {
            const int s = line * kValuesPerLine + p;
            const std::string name =
                s <= speciesCount ? wb.tables.species.names[static_cast<size_t>(s)] : "";
            out += FitToWidth(name, kEngineCodeLength) + " ";
        }
        out += "\n";
    }
    out += SubjectDescriptor(speciesCount);
    out += AnalogDescriptor(speciesCount);
    out += std::string(kEnvironmentDescriptor) + "\n";
    return 0;
}

int SaveEngineFile(Workbench& wb, const std::string& path, const std::string& text) {
    LineWriter file(path);
    if (!file.IsOpen())
        return -1;
    file.Put(text);
    // Text still buffered at the close can fail as well (a full disk).
    if (file.Close() == 0)
        return 0;
    // A shortened engine file would be read as other samples than the user's: remove it.
    // Only a regular file: the path may name a device, which is not ours to delete.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(NativePath(path), ignored))
        std::filesystem::remove(NativePath(path), ignored);
    return Refuse(wb, "The file" + Framed(path) + "could not be written.") - 1;
}

} // namespace corelith
