#include "engine/samples.h"

#include <cmath>

namespace marvane {

namespace {

std::string Where(const RecordInput& input, const FormatItem& item) {
    return "file \"" + input.fileName + "\", record " + std::to_string(item.record) + ", column " +
           std::to_string(item.column);
}

// Species values are counts or percentages: a negative one has no square root in the
// dissimilarity, so it is refused where it stands.
int TakeSpeciesValues(const RecordInput& input, const std::vector<FormatItem>& items, size_t first,
                      int speciesCount, Proportions& values, const std::string& context,
                      std::string& error) {
    values.fill(0.0f);
    for (int s = 0; s < speciesCount; ++s) {
        const FormatItem& item = items[first + static_cast<size_t>(s)];
        if (item.real < 0.0f) {
            error = Where(input, item) + ": species " + std::to_string(s + 1) +
                    " has the negative value " + FormatShortReal(item.real) + " (" + context + ")";
            return -1;
        }
        values[static_cast<size_t>(s)] = item.real;
    }
    return 0;
}

int ReadItems(RecordInput& input, const FormatDescriptor& descriptor,
              std::vector<FormatItem>& items, const std::string& context, std::string& error) {
    if (ReadWithFormat(input, descriptor, items, error) != 0) {
        error += " (" + context + ")";
        return -1;
    }
    return 0;
}

} // namespace

int ReadEnvironmentFile(RecordInput& input, const Project& project, ReferenceTable& table,
                        std::string& error) {
    std::vector<FormatItem> items(static_cast<size_t>(project.analogCount) * 2, RealItem(0.0f));
    if (ReadItems(input, project.environmentFormat, items,
                  "environment values of " + std::to_string(project.analogCount) +
                      " reference samples",
                  error) != 0) {
        return -1;
    }
    for (int r = 0; r < project.analogCount; ++r) {
        ReferenceRow& row = table.rows[static_cast<size_t>(r)];
        row.env1 = items[static_cast<size_t>(2 * r)].real;
        row.env2 = items[static_cast<size_t>(2 * r + 1)].real;
    }
    return 0;
}

int ReadReferenceSample(RecordInput& input, const Project& project, int number, ReferenceRow& row,
                        std::string& error) {
    std::vector<FormatItem> items{TextItem("", kNameLength)};
    if (project.analogHeaderFlag == 1) {
        items.insert(items.end(), 4, RealItem(0.0f));
        items.push_back(IntegerItem(0));
    }
    const size_t first = items.size();
    items.insert(items.end(), static_cast<size_t>(project.speciesCount), RealItem(0.0f));
    const std::string context = "reference sample " + std::to_string(number);
    if (ReadItems(input, project.analogFormat, items, context, error) != 0) {
        return -1;
    }
    row.name = items[0].text;
    if (project.analogHeaderFlag == 1) {
        row.latitudeDegrees = items[1].real;
        row.latitudeMinutes = items[2].real;
        row.longitudeDegrees = items[3].real;
        row.longitudeMinutes = items[4].real;
        row.depth = items[5].integer;
    }
    return TakeSpeciesValues(input, items, first, project.speciesCount, row.proportions, context,
                             error);
}

int ReadSubjectSample(RecordInput& input, const Project& project, int number, SubjectSample& sample,
                      std::string& error) {
    std::vector<FormatItem> items{TextItem("", kNameLength)};
    if (project.subjectHeaderFlag == 1) {
        items.insert(items.end(), 2, RealItem(0.0f));
        items.push_back(IntegerItem(0));
    }
    const size_t first = items.size();
    items.insert(items.end(), static_cast<size_t>(project.speciesCount), RealItem(0.0f));
    const std::string context = "subject sample " + std::to_string(number);
    if (ReadItems(input, project.subjectFormat, items, context, error) != 0) {
        return -1;
    }
    sample.name = items[0].text;
    if (project.subjectHeaderFlag == 1) {
        sample.headerReal1 = items[1].real;
        sample.headerReal2 = items[2].real;
        sample.headerInteger = items[3].integer;
    }
    return TakeSpeciesValues(input, items, first, project.speciesCount, sample.proportions, context,
                             error);
}

ProportionResult ConvertToProportions(Proportions& values, int speciesCount) {
    float sum = 0.0f;
    for (int s = 0; s < speciesCount; ++s) {
        sum += values[static_cast<size_t>(s)];
    }
    if (sum == 0.0f) {
        return ProportionResult::NoSpecies;
    }
    if (!std::isfinite(sum)) {
        return ProportionResult::TooLarge;
    }
    for (int s = 0; s < speciesCount; ++s) {
        values[static_cast<size_t>(s)] /= sum;
    }
    return ProportionResult::Done;
}

} // namespace marvane
