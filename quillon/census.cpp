#include "quillon/census.h"

#include <algorithm>

namespace quillon {

int ReadCensusBlock(const TextFile& file, int firstLine, int sampleCount,
                    const std::vector<std::string>& codes, const std::string& codesFrom,
                    Census& census, std::string& error) {
    const int speciesCount = static_cast<int>(codes.size());
    const int lastLine = file.ContentLineCount();
    census.codes = codes;
    census.samples.clear();
    census.sampleLines.clear();
    // The header's count is not trusted for the allocation: the file cannot hold more than
    // `available` complete samples and the start of one more, and reading stops there.
    const int available = std::max(0, lastLine - firstLine + 1) / (1 + speciesCount) + 1;
    census.values.setZero(std::max(0, std::min(sampleCount, available)), speciesCount);
    int line = firstLine;
    for (int sample = 0; sample < sampleCount; ++sample) {
        if (line > lastLine) {
            error =
                file.At(line, "the file ends here, after " + std::to_string(sample) + " of the " +
                                  std::to_string(sampleCount) + " samples its header announces");
            return -1;
        }
        census.samples.push_back(file.Line(line));
        census.sampleLines.push_back(line);
        ++line;
        for (int s = 0; s < speciesCount; ++s, ++line) {
            const std::string& code = codes[static_cast<size_t>(s)];
            const std::string& text = file.Line(line);
            const std::string sampleName = Quoted(census.samples.back());
            if (line > lastLine) {
                error = file.At(line, "the file ends inside sample " + sampleName +
                                          "; expected species " + std::to_string(s + 1) + " of " +
                                          std::to_string(speciesCount) + ", " + Quoted(code) +
                                          ", followed by its value");
                return -1;
            }
            if (text.compare(0, code.size(), code) != 0) {
                error =
                    file.At(line, "expected species " + std::to_string(s + 1) + " of " +
                                      std::to_string(speciesCount) + " of sample " + sampleName +
                                      ", the code " + Quoted(code) + " (as in " + codesFrom +
                                      ") followed by its value; the line reads " + Quoted(text) +
                                      (s == 0 ? ""
                                              : " (do the samples hold a different number of "
                                                "species?)"));
                return -1;
            }
            double value = 0.0;
            const std::string problem =
                ParseCensusValue(std::string_view(text).substr(code.size()), value);
            if (!problem.empty()) {
                error = file.At(line, problem + " (species " + Quoted(code) + " of sample " +
                                          sampleName + "); expected a whole number of 0 or more");
                return -1;
            }
            census.values(sample, s) = value;
        }
    }
    if (line <= lastLine) {
        error =
            file.At(line, "expected the end of the file after the " + std::to_string(sampleCount) +
                              " samples its header announces; the file holds more lines");
        return -1;
    }
    return 0;
}

} // namespace quillon
