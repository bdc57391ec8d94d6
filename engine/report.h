// The engine's reports: the listing file, the summary table, "info", "SST.tot", and
// the item lists that echo samples through the project's own descriptors.
#pragma once

#include "engine/format.h"
#include "engine/grid.h"
#include "engine/project.h"
#include "engine/statistics.h"
#include "engine/tables.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace marvane {

// Halt messages of the listing file.
void WriteHeaderFlagHalt(std::ostream& listing);
void WriteAnalogNoSpeciesHalt(std::ostream& listing, int position);
void WriteSubjectNoSpeciesHalt(std::ostream& listing, int position);

void WriteListingOpening(std::ostream& listing);
void WriteSampleHeading(std::ostream& listing, int sampleNumber);
void WriteNoAnalogs(std::ostream& listing);
void WriteAnalogTableHeading(std::ostream& listing, int analogHeaderFlag);
void WriteAnalogLine(std::ostream& listing, const ReferenceRow& row, float dissimilarity,
                     int analogHeaderFlag);
void WriteStatisticsBlock(std::ostream& listing, const StatisticsResult& result);
// Written instead of the statistics when the only analog taken is the excluded best one.
void WriteNoStatistics(std::ostream& listing);

void WriteSummaryHeader(std::ostream& summary);
void WriteSummaryRow(std::ostream& summary, const std::string& name,
                     const StatisticsResult& result);

// "info", in the order the run writes it.
void WriteInfoGrid(std::ostream& info, long long usedNodes);
void WriteInfoVirtualSample(std::ostream& info, const VirtualSampleLog& sample);
void WriteInfoVirtualCount(std::ostream& info, int createdCount);
void WriteInfoSampleStart(std::ostream& info, int position);
void WriteInfoAnalog(std::ostream& info, int pass, float dissimilarity);
void WriteInfoAnalogCount(std::ostream& info, int count);
void WriteInfoClosing(std::ostream& info, const Project& project, int fewerCount, int twoCount);

// The 12-character name of virtual sample `number` as "stock" holds it: four hyphens,
// the number in four columns and four hyphens; a longer number replaces leading hyphens.
std::string VirtualSampleName(int number);

void WriteSstLine(std::ostream& sst, const ReferenceRow& row);

// Items for the project's descriptors: a reference row for "Faun.tot", a subject sample
// for its echo in the listing file (species values in percent).
std::vector<FormatItem> FaunaItems(const ReferenceRow& row, const Project& project);
std::vector<FormatItem> SubjectEchoItems(const SubjectSample& sample, const Project& project);

// List-directed values: a line starts with a blank; integers take 8 columns (more when
// they need them), reals 15 with seven significant digits.
std::string ListInteger(long long value);
std::string ListReal(float value);

} // namespace marvane
