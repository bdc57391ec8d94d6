#include "converters/converters.h"

namespace corelith {

int ConvertRawToFrequencyMatrix(Workbench&) { return 0; }
int ConvertPercentToFrequencyMatrix(Workbench&) { return 0; }
int ConvertFrequencyMatrixToDatabase(Workbench&) { return 0; }
int WriteFrequencyMatrixFromRaw(Workbench&, std::FILE*, int, int, int) { return 0; }
int WriteFrequencyMatrixFromPercent(Workbench&, std::FILE*, int, int, int) { return 0; }
int WriteDatabase(Workbench&, std::FILE*, int, int, int) { return 0; }

} // namespace corelith
