// Reading the environment, reference and subject records with the project's
// descriptors, and turning species values into proportions.
#pragma once

#include "engine/format.h"
#include "engine/project.h"
#include "engine/tables.h"

#include <string>

namespace marvane {

// Reads env1 and env2 of rows 0 .. analogCount-1 in a single operation over the
// environment file. `table.rows` must already hold analogCount rows.
int ReadEnvironmentFile(RecordInput& input, const Project& project, ReferenceTable& table,
                        std::string& error);

// Reads reference sample `number` (1-based) into `row`: name, position fields when
// analogHeaderFlag is 1, and the raw species values (not yet proportions).
int ReadReferenceSample(RecordInput& input, const Project& project, int number, ReferenceRow& row,
                        std::string& error);

// Reads subject sample `number` (1-based): name, header fields when subjectHeaderFlag is
// 1, and the raw species values.
int ReadSubjectSample(RecordInput& input, const Project& project, int number, SubjectSample& sample,
                      std::string& error);

enum class ProportionResult { Done, NoSpecies, TooLarge };

// Divides the first speciesCount values by their sum (a single-precision running sum
// in species order).
ProportionResult ConvertToProportions(Proportions& values, int speciesCount);

// What ended a run at a sample without species: its position (1-based) and a
// description naming its file, record and name.
struct NoSpecies {
    int position = 0;
    std::string description;
};

// Reads reference samples 1 .. analogCount into rows 0 .. analogCount-1 of `table` (which
// must hold them) and turns them into proportions. Returns 0; 1 at a sample without
// species (`halt` tells which); or -1 with a diagnostic.
int ReadReferenceSamples(RecordInput& input, const Project& project, ReferenceTable& table,
                         NoSpecies& halt, std::string& error);

// Reads subject sample `position` and turns it into proportions. Returns 0; 1 for a
// sample without species (`halt` tells which); or -1 with a diagnostic.
int ReadSubjectProportions(RecordInput& input, const Project& project, int position,
                           SubjectSample& sample, NoSpecies& halt, std::string& error);

} // namespace marvane
