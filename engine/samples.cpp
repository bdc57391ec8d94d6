#include "engine/samples.h"

#include "engine/text.h"

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

// The item of a sample record that a read failed at, as the user knows it.
std::string ItemName(long item, int headerItems, const char* const* headerNames) {
    if (item < 0) {
        return std::string();
    }
    if (item == 0) {
        return "the name of ";
    }
    if (item <= headerItems) {
        return std::string(headerNames[item - 1]) + " of ";
    }
    return "species " + std::to_string(item - headerItems) + " of ";
}

// A failed read of one sample, named in the diagnostic: the field and the sample.
int ReadSampleItems(RecordInput& input, const FormatDescriptor& descriptor,
                    std::vector<FormatItem>& items, int headerItems, const char* const* headerNames,
                    const std::string& sample, std::string& error) {
    if (ReadWithFormat(input, descriptor, items, error) != 0) {
        error += " (" + ItemName(input.failedItem, headerItems, headerNames) + sample + ")";
        return -1;
    }
    return 0;
}

constexpr const char* kReferenceHeader[] = {"the latitude degrees", "the latitude minutes",
                                            "the longitude degrees", "the longitude minutes",
                                            "the depth"};
constexpr const char* kSubjectHeader[] = {"the first header value", "the second header value",
                                          "the third header value"};

std::string Quoted(const std::string& name) {
    // Built by appending: GCC 12 warns wrongly about "\"" + text at -O3.
    std::string quoted(1, '"');
    quoted += TrimRight(name);
    quoted += '"';
    return quoted;
}

} // namespace

int ReadEnvironmentFile(RecordInput& input, const Project& project, ReferenceTable& table,
                        std::string& error) {
    std::vector<FormatItem> items(static_cast<size_t>(project.analogCount) * 2, RealItem(0.0f));
    if (ReadWithFormat(input, project.environmentFormat, items, error) != 0) {
        // One operation reads all pairs: the failing item tells which sample's value.
        const long item = input.failedItem;
        if (item >= 0) {
            error += std::string(" (") + (item % 2 == 0 ? "env1" : "env2") +
                     " of reference sample " + std::to_string(item / 2 + 1) + ")";
        }
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
    if (ReadSampleItems(input, project.analogFormat, items, static_cast<int>(first) - 1,
                        kReferenceHeader, context, error) != 0) {
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
    if (ReadSampleItems(input, project.subjectFormat, items, static_cast<int>(first) - 1,
                        kSubjectHeader, context, error) != 0) {
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

namespace {

// Turns a sample just read into proportions; `kind` and `number` name it in messages.
int TakeProportions(const RecordInput& input, long firstRecord, const char* kind, int number,
                    const std::string& name, Proportions& values, int speciesCount, NoSpecies& halt,
                    std::string& error) {
    const std::string where = "file \"" + input.fileName + "\", record " +
                              std::to_string(firstRecord) + ": " + kind + " sample " +
                              std::to_string(number) + " " + Quoted(name);
    switch (ConvertToProportions(values, speciesCount)) {
    case ProportionResult::Done:
        return 0;
    case ProportionResult::NoSpecies:
        halt.position = number;
        halt.description = where + " has no species: its values add up to zero";
        return 1;
    case ProportionResult::TooLarge:
        break;
    }
    error = where + ": its species values are too large to add up";
    return -1;
}

} // namespace

int ReadReferenceSamples(RecordInput& input, const Project& project, ReferenceTable& table,
                         NoSpecies& halt, std::string& error) {
    for (int r = 1; r <= project.analogCount; ++r) {
        ReferenceRow& row = table.rows[static_cast<size_t>(r - 1)];
        const long firstRecord = input.recordNumber + 1;
        if (ReadReferenceSample(input, project, r, row, error) != 0) {
            return -1;
        }
        const int status = TakeProportions(input, firstRecord, "reference", r, row.name,
                                           row.proportions, project.speciesCount, halt, error);
        if (status != 0) {
            return status;
        }
    }
    return 0;
}

int ReadSubjectProportions(RecordInput& input, const Project& project, int position,
                           SubjectSample& sample, NoSpecies& halt, std::string& error) {
    const long firstRecord = input.recordNumber + 1;
    if (ReadSubjectSample(input, project, position, sample, error) != 0) {
        return -1;
    }
    return TakeProportions(input, firstRecord, "subject", position, sample.name, sample.proportions,
                           project.speciesCount, halt, error);
}

} // namespace marvane
