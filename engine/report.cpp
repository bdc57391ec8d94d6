#include "engine/report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

namespace marvane {

namespace {

std::string F(float value, int width, int decimals) {
    return FormatRealField(value, width, decimals);
}

std::string I(long long value, int width) {
    return FormatIntegerField(value, width);
}

// A position value shown as a whole number, cut toward zero.
std::string TruncatedI(float value, int width) {
    if (!(std::fabs(value) < 1.0e9f)) {
        return std::string(static_cast<size_t>(width), '*');
    }
    return I(static_cast<long long>(value), width);
}

std::string Blanks(int count) {
    return std::string(static_cast<size_t>(count), ' ');
}

void WriteQuantityRow(std::ostream& listing, const char* label, const QuantityResult& q) {
    listing << label << "  " << F(q.mean, 10, 4) << F(q.sigma, 10, 4) << F(q.minimum, 10, 4)
            << F(q.maximum, 10, 4) << F(q.weightedMean, 10, 4) << F(q.weightedSigma, 10, 4) << '\n';
}

float Percentage(int count, int total) {
    return static_cast<float>(count) * 100.0f / static_cast<float>(total);
}

} // namespace

std::string ListInteger(long long value) {
    // A list-directed item is never cut: a larger number takes the columns it needs.
    const std::string text = std::to_string(value);
    return text.size() <= 8 ? Blanks(8 - static_cast<int>(text.size())) + text : " " + text;
}

std::string ListReal(float value) {
    std::string text;
    if (!std::isfinite(value)) {
        text = "*";
    } else {
        // Seven significant digits, in fixed notation where that stays readable.
        char digits[64];
        auto result =
            std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 6);
        // to_chars writes no terminating zero: the exponent is read within the result.
        std::string_view exponentText(digits, static_cast<size_t>(result.ptr - digits));
        exponentText.remove_prefix(exponentText.find('e') + 1);
        if (exponentText.front() == '+') {
            exponentText.remove_prefix(1);
        }
        int exponent = 0;
        std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
        if (value != 0.0f && exponent >= -4 && exponent < 7) {
            result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                   6 - exponent);
        } else if (value == 0.0f) {
            result =
                std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
        }
        text.assign(digits, result.ptr);
    }
    return text.size() < 15 ? Blanks(15 - static_cast<int>(text.size())) + text : " " + text;
}

void WriteHeaderFlagHalt(std::ostream& listing) {
    listing << "\nYOU HAVE NOT INDICATED IF THERE ARE HEADER CARDS IN\n"
               "THE ANALOG OR SUBJECT INPUT FILES.  PLEASE CHECK.\n"
               "***** HALT EXECUTION\n";
}

void WriteAnalogNoSpeciesHalt(std::ostream& listing, int position) {
    listing << "\nTHERE ARE NO SPECIES IN ANALOG CORE " << I(position, 3) << ".\n"
            << "PLEASE CHECK YOUR INPUT.\n"
            << "***** HALT EXECUTION\n";
}

void WriteSubjectNoSpeciesHalt(std::ostream& listing, int position) {
    listing << "\nTHERE ARE NO SPECIES IN SUBJECT SAMPLE" << I(position, 3) << ".\n"
            << "PLEASE CHECK YOUR DATA.\n"
            << "***** EXECUTION TERMINATED\n";
}

void WriteListingOpening(std::ostream& listing) {
    listing << "YOUR DISSIMILARITY COEFFICIENT IS:\n"
               "     SQUARED CHORD DISTANCE\n";
}

void WriteSampleHeading(std::ostream& listing, int sampleNumber) {
    listing << "\n********************* START OF SAMPLE NUMBER " << I(sampleNumber, 4)
            << " *********************\n"
            << "YOUR INPUT CORE (IN PERCENT FORM) IS:\n";
}

void WriteNoAnalogs(std::ostream& listing) {
    listing << "*** NO REASONABLE ANALOGS FOR THIS CORE ***\n";
}

void WriteAnalogTableHeading(std::ostream& listing, int analogHeaderFlag) {
    listing << "\nTHE TOP ANALOGS, ACCORDING TO THE DISSIMILARITY VALUE, ARE:\n\n";
    if (analogHeaderFlag == 1) {
        listing << "   CORE         LAT    LON    DEPTH  ENV1   ENV2    DISS\n";
    } else {
        listing << "   CORE                             ENV1   ENV2       DISS\n";
    }
}

void WriteAnalogLine(std::ostream& listing, const ReferenceRow& row, float dissimilarity,
                     int analogHeaderFlag) {
    // Some fifty thousand of these lines in a large run: built whole, written at once.
    std::string line = FormatTextField(row.name, 12);
    if (analogHeaderFlag == 1) {
        line += TruncatedI(row.latitudeDegrees, 4);
        line += TruncatedI(row.latitudeMinutes, 4);
        line += TruncatedI(row.longitudeDegrees, 4);
        line += TruncatedI(row.longitudeMinutes, 4);
        line += "  ";
        line += I(row.depth, 4);
        line += "  ";
        line += F(row.env1, 5, 2);
        line += "  ";
        line += F(row.env2, 5, 2);
    } else {
        line += Blanks(23);
        line += F(row.env1, 5, 2);
        line += "  ";
        line += F(row.env2, 5, 2);
        line += "   ";
    }
    line += F(dissimilarity, 8, 4);
    line += '\n';
    listing << line;
}

void WriteStatisticsBlock(std::ostream& listing, const StatisticsResult& result) {
    listing << "\nTHE STATISTICS BELOW ARE FOR THE SORTED CORES:\n\n"
               "          MEAN      SIGMA     MIN       MAX      W-MEAN    W-SIGMA\n";
    const QuantityResult& d = result.diss;
    listing << "DISS  " << F(d.mean, 10, 4) << F(d.sigma, 10, 4) << F(d.minimum, 10, 4)
            << F(d.maximum, 10, 4) << "    -----     -----\n";
    WriteQuantityRow(listing, "ENV1", result.env1);
    WriteQuantityRow(listing, "ENV2", result.env2);
}

void WriteNoStatistics(std::ostream& listing) {
    listing << "\n*** NO ANALOG LEFT FOR THE STATISTICS: THE BEST ONE IS EXCLUDED ***\n";
}

void WriteSummaryHeader(std::ostream& summary) {
    summary << "SAMPLE\tDISS\tSD\tT1\tSD\tT2\tSD\n";
}

void WriteSummaryRow(std::ostream& summary, const std::string& name,
                     const StatisticsResult& result) {
    summary << FormatTextField(name, 12) << '\t' << F(result.diss.mean, 8, 4) << '\t'
            << F(result.diss.sigma, 8, 4) << '\t' << F(result.env1.mean, 5, 2) << '\t'
            << F(result.env1.sigma, 5, 2) << '\t' << F(result.env2.mean, 5, 2) << '\t'
            << F(result.env2.sigma, 5, 2) << '\n';
}

void WriteInfoGrid(std::ostream& info, long long usedNodes) {
    info << " Total nber of grid nodes:" << ListInteger(usedNodes) << '\n'
         << "\n# virt ct     Nber of ref. ct used   Tcold  Twarm\n";
}

void WriteInfoVirtualSample(std::ostream& info, const VirtualSampleLog& sample) {
    info << ' ' << ListInteger(sample.number) << ListInteger(sample.contributors)
         << ListReal(sample.env1) << ListReal(sample.env2) << '\n';
}

void WriteInfoVirtualCount(std::ostream& info, int createdCount) {
    info << " Number of virtual ct created:" << ListInteger(createdCount) << '\n';
}

void WriteInfoSampleStart(std::ostream& info, int position) {
    info << "\nNew sample" << I(position, 4) << '\n' << " Best analogs selected    Diss coeff\n";
}

void WriteInfoAnalog(std::ostream& info, int pass, float dissimilarity) {
    info << ' ' + ListInteger(pass) + Blanks(12) + ListReal(dissimilarity) + '\n';
}

void WriteInfoAnalogCount(std::ostream& info, int count) {
    info << " Nber of mod. analogs selected:" << ListInteger(count) << '\n';
}

void WriteInfoClosing(std::ostream& info, const Project& project, int fewerCount, int twoCount) {
    info << "\nNber of samples with fewer than "
         << I(project.maxAnalogs - project.excludeBestAnalog, 2)
         << " best analogs selected:" << I(fewerCount, 4) << "  i.e., "
         << F(Percentage(fewerCount, project.subjectCount), 4, 1) << "%\n"
         << "Nber of samples with only 2 best analogs selected:" << I(twoCount, 4) << "  i.e., "
         << F(Percentage(twoCount, project.subjectCount), 4, 1) << "%\n";
}

std::string VirtualSampleName(int number) {
    // Beyond 9999 virtual samples the number takes hyphens from the left, so that every
    // name stays 12 characters long and different from the others.
    const std::string digits = std::to_string(number);
    if (digits.size() <= 4) {
        return "----" + I(number, 4) + "----";
    }
    if (digits.size() <= 8) {
        return std::string(8 - digits.size(), '-') + digits + "----";
    }
    return std::string(12 - std::min<size_t>(digits.size(), 12), '-') + digits;
}

void WriteSstLine(std::ostream& sst, const ReferenceRow& row) {
    sst << FormatTextField(row.name, 12) << F(row.latitudeDegrees, 4, 0)
        << F(row.latitudeMinutes, 4, 0) << "   " << F(row.longitudeDegrees, 5, 0)
        << F(row.longitudeMinutes, 4, 0) << "     " << F(row.env1, 5, 2) << "     "
        << F(row.env2, 5, 2) << '\n';
}

std::vector<FormatItem> FaunaItems(const ReferenceRow& row, const Project& project) {
    std::vector<FormatItem> items{TextItem(row.name, kNameLength)};
    if (project.analogHeaderFlag == 1) {
        items.push_back(RealItem(row.latitudeDegrees));
        items.push_back(RealItem(row.latitudeMinutes));
        items.push_back(RealItem(row.longitudeDegrees));
        items.push_back(RealItem(row.longitudeMinutes));
        items.push_back(IntegerItem(row.depth));
    }
    for (int s = 0; s < project.speciesCount; ++s) {
        items.push_back(RealItem(row.proportions[static_cast<size_t>(s)] * 100.0f));
    }
    return items;
}

std::vector<FormatItem> SubjectEchoItems(const SubjectSample& sample, const Project& project) {
    std::vector<FormatItem> items{TextItem(sample.name, kNameLength)};
    if (project.subjectHeaderFlag == 1) {
        items.push_back(RealItem(sample.headerReal1));
        items.push_back(RealItem(sample.headerReal2));
        items.push_back(IntegerItem(sample.headerInteger));
    }
    for (int s = 0; s < project.speciesCount; ++s) {
        items.push_back(RealItem(sample.proportions[static_cast<size_t>(s)] * 100.0f));
    }
    return items;
}

} // namespace marvane
