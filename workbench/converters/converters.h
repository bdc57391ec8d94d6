// The Converter menu: raw data and percentage databases to frequency matrices, and
// frequency matrices to databases.
#pragma once

#include <cstdio>

namespace corelith {

struct Workbench;

int ConvertRawToFrequencyMatrix(Workbench& wb);      // command 51
int ConvertPercentToFrequencyMatrix(Workbench& wb);  // command 54
int ConvertFrequencyMatrixToDatabase(Workbench& wb); // command 53

// Writers over the reference sample table; also used by the rank database.
int WriteFrequencyMatrixFromRaw(Workbench& wb, std::FILE* file, int layout, int speciesCount,
                                int sampleCount);
int WriteFrequencyMatrixFromPercent(Workbench& wb, std::FILE* file, int layout,
                                    int speciesCount, int sampleCount);
int WriteDatabase(Workbench& wb, std::FILE* file, int layout, int speciesCount, int sampleCount);

} // namespace corelith
