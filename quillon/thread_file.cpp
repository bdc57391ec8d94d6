#include "quillon/thread_file.h"

namespace quillon {

namespace {

constexpr std::string_view kSamplesPrefix = "Samples";

} // namespace

int ReadThreadFile(const TextFile& file, const std::vector<std::string>& codes, ThreadFile& thread,
                   std::string& error) {
    const std::string& first = file.Line(1);
    if (file.ContentLineCount() == 0 ||
        first.compare(0, kSamplesPrefix.size(), kSamplesPrefix) != 0 ||
        !ParseWholeNumber(std::string_view(first).substr(kSamplesPrefix.size()),
                          thread.sampleCount)) {
        error = file.At(1, "expected \"Samples\" followed by the number of core samples; the "
                           "line reads " +
                               Quoted(first));
        return -1;
    }
    if (thread.sampleCount < 1) {
        error = file.At(1, "the number of core samples is " + std::to_string(thread.sampleCount) +
                               "; expected at least 1");
        return -1;
    }
    // A file written for another species list has the wrong number of lines per sample: say
    // so plainly instead of pointing at the first line that no longer fits. (When the lines
    // would fit the CapFac species, the sample count is more likely wrong, and the census
    // reader says where.)
    const long long speciesCount = static_cast<long long>(codes.size());
    const long long lines = file.ContentLineCount() - 1;
    const long long perSample = lines / thread.sampleCount;
    if (lines % thread.sampleCount == 0 && lines % (1 + speciesCount) != 0 && perSample > 1) {
        error = file.name + ": its " + std::to_string(thread.sampleCount) + " samples hold " +
                std::to_string(perSample - 1) + " species each, the CapFac file " +
                std::to_string(speciesCount) + ": the species lists differ";
        return -1;
    }
    return ReadCensusBlock(file, 2, thread.sampleCount, codes, "the CapFac file", thread.census,
                           error);
}

} // namespace quillon
