#include "tables/readers.h"

#include "shell/messages.h"
#include "workbench.h"

#include <climits>

namespace corelith {

int ReadLine(std::FILE* file, std::string& buffer, int maxLength) {
    buffer.clear();
    if (file == nullptr)
        return -1;
    if (maxLength < 1)
        maxLength = 1;
    // A UTF-8 byte-order mark, as spreadsheets write it, is not part of the first cell.
    if (std::ftell(file) == 0) {
        int c1 = std::getc(file);
        if (c1 == 0xEF) {
            int c2 = std::getc(file);
            int c3 = c2 == 0xBB ? std::getc(file) : EOF;
            if (c2 != 0xBB || c3 != 0xBF)
                std::fseek(file, 0, SEEK_SET);
        } else if (c1 != EOF) {
            std::ungetc(c1, file);
        }
    }
    for (;;) {
        const int c = std::getc(file);
        if (c == EOF)
            return -static_cast<int>(buffer.size() + 1);
        if (c == '\n')
            return static_cast<int>(buffer.size() + 1);
        if (c == '\r') {
            // CR LF is one line end; a lone LF after it is not an empty line.
            const int next = std::getc(file);
            if (next != '\n' && next != EOF)
                std::ungetc(next, file);
            return static_cast<int>(buffer.size() + 1);
        }
        if (static_cast<long>(buffer.size()) >= maxLength) {
            std::ungetc(c, file);
            return -maxLength;
        }
        buffer += static_cast<char>(c);
    }
}

int ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement) {
    if (pattern.empty())
        return 0;
    int count = 0;
    // Once the replacement contains the pattern, replacing from the start again would
    // never end; then each occurrence is replaced once, left to right.
    const bool restart = replacement.find(pattern) == std::string::npos;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(pattern, from);
        if (at == std::string::npos)
            return count;
        text.replace(at, pattern.size(), replacement);
        ++count;
        // A new occurrence can only reach into the replaced part, so the search resumes
        // just before it; this gives the same result as searching from the start.
        if (restart)
            from = at >= pattern.size() - 1 ? at - (pattern.size() - 1) : 0;
        else
            from = at + replacement.size();
    }
}

int ReadReferenceTable(Workbench&, std::FILE*, int, int& speciesCount, int& sampleCount,
                       SpeciesList&, SampleTable&) {
    speciesCount = 0;
    sampleCount = 0;
    return 0;
}

int ReadCoreTable(Workbench&, std::FILE*, int, CoreReadMode, int& speciesCount, int& sampleCount,
                  SpeciesList&, SampleTable&) {
    speciesCount = 0;
    sampleCount = 0;
    return 0;
}

int ReadEnvironmentTable(Workbench&, std::FILE*, int& variableCount, int& stationCount, int,
                         const SampleTable&, EnvironmentTable&) {
    variableCount = 0;
    stationCount = 0;
    return 0;
}

int ReadLocationTable(Workbench&, std::FILE*, int& stationCount, LocationTable&) {
    stationCount = 0;
    return 0;
}

} // namespace corelith
