#include "quillon/capfac_file.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace quillon {

namespace {

// Each label with its blanks is 25 characters, then the colon; the value follows with "%8d".
constexpr const char* kSpeciesLabel = "Anzahl der Arten         :";
constexpr const char* kSamplesLabel = "Anzahl der Proben        :";
constexpr const char* kFilledLabel = "(%) der Matrix besetzt   :";
constexpr const char* kTransformationLabel = "Transformationskontrolle :";
constexpr const char* kFactorsLabel = "Faktorenanzahl           :";
constexpr const char* kOutputLabel = "Ausgabekontrolle         :";
constexpr const char* kExitLabel = "Exitkontrolle            :";
constexpr const char* kPlotLabel = "Plotkontrolle            :";
constexpr const char* kCodesLabel = "Bezeichnung der Arten    :";
constexpr const char* kCensusLabel = "Kernbezeichnung + Artenzahl";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

int ReadLabelledNumber(const TextFile& file, int line, std::string_view label,
                       std::string_view what, int& value, std::string& error) {
    const std::string& text = file.Line(line);
    if (!StartsWith(text, label) ||
        !ParseWholeNumber(std::string_view(text).substr(label.size()), value)) {
        error = file.At(line, "expected " + Quoted(label) + " followed by " + std::string(what) +
                                  " (a whole number); the line reads " + Quoted(text));
        return -1;
    }
    return 0;
}

// The control values: 0 is the only meaning defined, so any other is refused rather than
// silently read as 0.
int CheckControl(const TextFile& file, int line, std::string_view label, int value,
                 std::string_view meaningOfZero, std::string& error) {
    if (value == 0)
        return 0;
    error = file.At(line, Quoted(TrimRightBlanks(label.substr(0, label.size() - 1))) + " is " +
                              std::to_string(value) + ": quillon knows only 0 (" +
                              std::string(meaningOfZero) + ")");
    return -1;
}

int ReadFilledShare(const TextFile& file, int line, std::string& error) {
    const std::string& text = file.Line(line);
    const std::string_view value =
        TrimBlanks(std::string_view(text).substr(std::min(text.size(), std::strlen(kFilledLabel))));
    double share = 0.0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), share);
    if (!StartsWith(text, kFilledLabel) || value.empty() || ec != std::errc() ||
        end != value.data() + value.size()) {
        error = file.At(line, "expected " + Quoted(kFilledLabel) +
                                  " followed by the share of the matrix filled, 100.0");
        return -1;
    }
    if (share != 100.0) {
        error = file.At(line, "a census matrix filled to " + std::string(value) +
                                  " % is not defined: quillon reads full matrices (100.0) only");
        return -1;
    }
    return 0;
}

// A code line holds the first 8 characters of a species name; the blanks that pad a
// shorter name may have been lost by an editor, so a shorter line is padded again.
int ReadCodes(const TextFile& file, int firstLine, int count, std::vector<std::string>& codes,
              std::string& error) {
    codes.clear();
    for (int s = 0; s < count; ++s) {
        const int line = firstLine + s;
        std::string code = file.Line(line);
        if (line > file.ContentLineCount() || code.empty() ||
            code.size() > static_cast<size_t>(kSpeciesCodeLength)) {
            error = file.At(line, "expected the code of species " + std::to_string(s + 1) + " of " +
                                      std::to_string(count) + " (8 characters); the line reads " +
                                      Quoted(code));
            return -1;
        }
        code.resize(kSpeciesCodeLength, ' ');
        codes.push_back(code);
    }
    return 0;
}

} // namespace

int ReadCapFacFile(const TextFile& file, CapFacFile& capFac, std::string& error) {
    if (file.ContentLineCount() == 0) {
        error = file.name + ": the CapFac file is empty";
        return -1;
    }
    capFac.projectName = file.Line(1);
    if (ReadLabelledNumber(file, 2, kSpeciesLabel, "the number of species", capFac.speciesCount,
                           error) != 0 ||
        ReadLabelledNumber(file, 3, kSamplesLabel, "the number of samples", capFac.sampleCount,
                           error) != 0 ||
        ReadFilledShare(file, 4, error) != 0 ||
        ReadLabelledNumber(file, 5, kTransformationLabel, "the transformation control",
                           capFac.transformation, error) != 0 ||
        ReadLabelledNumber(file, 6, kFactorsLabel, "the number of factors", capFac.factorCount,
                           error) != 0 ||
        ReadLabelledNumber(file, 7, kOutputLabel, "the output control", capFac.output, error) !=
            0 ||
        ReadLabelledNumber(file, 8, kExitLabel, "the exit control", capFac.exit, error) != 0 ||
        ReadLabelledNumber(file, 9, kPlotLabel, "the plot control", capFac.plot, error) != 0)
        return -1;
    if (capFac.speciesCount < 1) {
        error = file.At(2, "the number of species is " + std::to_string(capFac.speciesCount) +
                               "; a census needs at least one species");
        return -1;
    }
    if (capFac.sampleCount < 1) {
        error = file.At(3, "the number of samples is " + std::to_string(capFac.sampleCount) +
                               "; a census needs at least one sample");
        return -1;
    }
    if (CheckControl(file, 5, kTransformationLabel, capFac.transformation,
                     "each sample scaled to unit vector length", error) != 0 ||
        CheckControl(file, 7, kOutputLabel, capFac.output, "the standard report", error) != 0 ||
        CheckControl(file, 8, kExitLabel, capFac.exit, "run to the end", error) != 0 ||
        CheckControl(file, 9, kPlotLabel, capFac.plot, "no plots", error) != 0)
        return -1;
    if (capFac.factorCount < 1) {
        error = file.At(6, "the number of factors is " + std::to_string(capFac.factorCount) +
                               "; the factor analysis needs at least 1");
        return -1;
    }
    if (capFac.factorCount > capFac.speciesCount || capFac.factorCount > capFac.sampleCount) {
        error = file.At(6, std::to_string(capFac.factorCount) + " factors are more than the " +
                               std::to_string(capFac.speciesCount) + " species or the " +
                               std::to_string(capFac.sampleCount) +
                               " samples can give; ask for fewer factors");
        return -1;
    }
    if (TrimRightBlanks(file.Line(10)) != kCodesLabel) {
        error = file.At(10, "expected " + Quoted(kCodesLabel) + "; the line reads " +
                                Quoted(file.Line(10)));
        return -1;
    }
    std::vector<std::string> codes;
    if (ReadCodes(file, 11, capFac.speciesCount, codes, error) != 0)
        return -1;
    const int censusLabelLine = 11 + capFac.speciesCount;
    if (TrimRightBlanks(file.Line(censusLabelLine)) != kCensusLabel) {
        error =
            file.At(censusLabelLine, "expected " + Quoted(kCensusLabel) + " after the " +
                                         std::to_string(capFac.speciesCount) +
                                         " species codes the header announces; the line reads " +
                                         Quoted(file.Line(censusLabelLine)));
        return -1;
    }
    return ReadCensusBlock(file, censusLabelLine + 1, capFac.sampleCount, codes,
                           "the list of species codes", capFac.census, error);
}

} // namespace quillon
