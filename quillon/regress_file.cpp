#include "quillon/regress_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quillon {

namespace {

enum class Keyword { Zero, ZeroDecimal, VariableCount, SelectedCount, Power };

struct KeywordLine {
    const char* name;
    Keyword kind;
};

// Each line is a blank and the keyword in a field of 10 characters, then the value
// right-aligned in 7.
constexpr KeywordLine kKeywords[] = {
    {"NNN", Keyword::Zero},        {"DEP.VAR.", Keyword::VariableCount},
    {"IYY", Keyword::Zero},        {"ANZ.SELEC", Keyword::SelectedCount},
    {"PCT", Keyword::ZeroDecimal}, {"IPOW", Keyword::Power},
    {"KEQ", Keyword::Zero},        {"JPUN", Keyword::Zero},
    {"IPUN", Keyword::Zero},       {"KPUNY", Keyword::Zero},
    {"IRB", Keyword::Zero},        {"IRY", Keyword::Zero},
    {"IPY", Keyword::Zero},        {"IWY", Keyword::Zero},
    {"IWYH", Keyword::Zero},       {"MEND", Keyword::Zero},
};
constexpr int kKeywordLines = 16;
constexpr size_t kKeywordField = 10;
constexpr std::string_view kStationLabel = "Parameteranzahl";
constexpr std::string_view kStationPrefix = "Core : ";
// A variable's name is padded to at least 8 characters and its value takes at least 10.
constexpr size_t kMinNameWidth = 8;
constexpr size_t kMinValueWidth = 10;

int ReadKeywords(const TextFile& file, RegressFile& regress, std::string& error) {
    int selected = 0;
    for (int i = 0; i < kKeywordLines; ++i) {
        const int line = i + 1;
        const KeywordLine& keyword = kKeywords[i];
        const std::string& text = file.Line(line);
        const std::string label = PadRight(std::string(" ") + keyword.name, kKeywordField);
        const std::string_view value =
            TrimBlanks(std::string_view(text).substr(std::min(text.size(), kKeywordField)));
        int number = 0;
        bool readable = text.compare(0, label.size(), label) == 0;
        if (keyword.kind == Keyword::ZeroDecimal) {
            double decimal = 0.0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(),
                                                   decimal, std::chars_format::fixed);
            readable = readable && !value.empty() && ec == std::errc() &&
                       end == value.data() + value.size();
            number = readable && decimal == 0.0 ? 0 : 1;
        } else {
            readable = readable && ParseWholeNumber(value, number);
        }
        if (!readable) {
            error = file.At(line, "expected the keyword line " + Quoted(TrimRightBlanks(label)) +
                                      " followed by its value; the line reads " + Quoted(text));
            return -1;
        }
        switch (keyword.kind) {
        case Keyword::VariableCount:
            regress.variableCount = number;
            if (number < 1) {
                error = file.At(line, "the number of environmental variables is " +
                                          std::to_string(number) + "; expected at least 1");
                return -1;
            }
            break;
        case Keyword::SelectedCount:
            selected = number;
            if (selected != regress.variableCount) {
                error = file.At(line, "ANZ.SELEC is " + std::to_string(selected) + ", DEP.VAR. " +
                                          std::to_string(regress.variableCount) +
                                          ": quillon calibrates every variable, so both must "
                                          "give the number of variables");
                return -1;
            }
            break;
        case Keyword::Power:
            regress.power = number;
            regress.powerLine = line;
            if (number != 0 && number != 1) {
                error = file.At(line, "IPOW is " + std::to_string(number) +
                                          ": quillon knows 0 (linear) and 1 (quadratic)");
                return -1;
            }
            break;
        case Keyword::Zero:
        case Keyword::ZeroDecimal:
            if (number != 0) {
                error =
                    file.At(line, std::string(keyword.name) + " is " + std::string(value) +
                                      ": quillon knows only " +
                                      (keyword.kind == Keyword::Zero ? "0" : "0.0") + " for it");
                return -1;
            }
            break;
        }
    }
    return 0;
}

struct VariableLine {
    int line;
    const std::string* text;
};

// The name is padded to at least 8 characters and the value written with "%10.5f" directly
// after it, so the two can touch ("Salinity-999.98999"). The padded name is the same at every
// station and at least one value normally fits its 10 characters: the shortest line minus 10
// gives the name's width.
int ReadVariable(const TextFile& file, const std::vector<VariableLine>& lines, int variable,
                 RegressFile& regress, std::string& error) {
    size_t nameWidth = std::numeric_limits<size_t>::max();
    for (const VariableLine& entry : lines) {
        if (entry.text->size() < kMinNameWidth + kMinValueWidth) {
            error = file.At(entry.line, "expected variable " + std::to_string(variable + 1) +
                                            ": its name (at least 8 characters) directly "
                                            "followed by its value (\"%10.5f\"); the line reads " +
                                            Quoted(*entry.text));
            return -1;
        }
        nameWidth = std::min(nameWidth, entry.text->size() - kMinValueWidth);
    }
    std::string name;
    for (size_t station = 0; station < lines.size(); ++station) {
        const VariableLine& entry = lines[station];
        const std::string_view text(*entry.text);
        const std::string_view thisName = TrimRightBlanks(text.substr(0, nameWidth));
        if (station == 0) {
            name = thisName;
        } else if (thisName != name) {
            error = file.At(entry.line, "variable " + std::to_string(variable + 1) + " is named " +
                                            Quoted(thisName) + " here and " + Quoted(name) +
                                            " at the first station");
            return -1;
        }
        double value = 0.0;
        const std::string problem = ParseFixedFive(text.substr(nameWidth), value);
        if (!problem.empty()) {
            error = file.At(entry.line, problem + " (variable " + Quoted(name) +
                                            "); expected a "
                                            "number with "
                                            "five decimals");
            return -1;
        }
        // The workbench writes an empty cell as the single-precision value nearest to
        // -999.99, "-999.98999".
        regress.values(static_cast<Eigen::Index>(station), variable) =
            std::abs(value - kMissingValue) < 0.005 ? std::numeric_limits<double>::quiet_NaN()
                                                    : value;
    }
    regress.variableNames[static_cast<size_t>(variable)] = name;
    return 0;
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

int ReadRegressFile(const TextFile& file, RegressFile& regress, std::string& error) {
    if (file.ContentLineCount() == 0) {
        error = file.name + ": the Regress file is empty";
        return -1;
    }
    if (ReadKeywords(file, regress, error) != 0)
        return -1;
    const int v = regress.variableCount;
    const int lastLine = file.ContentLineCount();
    regress.stationNames.clear();
    regress.stationLines.clear();
    std::vector<std::vector<VariableLine>> variableLines(static_cast<size_t>(v));
    int line = kKeywordLines + 1;
    while (line <= lastLine && file.Line(line) == kStationLabel) {
        const std::string& nameLine = file.Line(line + 1);
        if (nameLine.compare(0, kStationPrefix.size(), kStationPrefix) != 0) {
            error = file.At(line + 1, "expected \"Core : \" followed by the station name; the "
                                      "line reads " +
                                          Quoted(nameLine));
            return -1;
        }
        regress.stationNames.push_back(nameLine.substr(kStationPrefix.size()));
        regress.stationLines.push_back(line + 1);
        line += 2;
        for (int u = 0; u < v; ++u, ++line) {
            if (line > lastLine) {
                error = file.At(line, "the file ends inside station " +
                                          Quoted(regress.stationNames.back()) + "; expected " +
                                          std::to_string(v) + " variable lines");
                return -1;
            }
            variableLines[static_cast<size_t>(u)].push_back({line, &file.Line(line)});
        }
    }
    if (regress.stationNames.empty()) {
        error = file.At(line, "expected \"Parameteranzahl\", the start of the first station; "
                              "the line reads " +
                                  Quoted(file.Line(line)));
        return -1;
    }
    const auto stations = static_cast<Eigen::Index>(regress.stationNames.size());
    regress.values.resize(stations, v);
    regress.variableNames.assign(static_cast<size_t>(v), std::string());
    for (int u = 0; u < v; ++u)
        if (ReadVariable(file, variableLines[static_cast<size_t>(u)], u, regress, error) != 0)
            return -1;

    regress.termCodes.clear();
    for (int u = 0; u < v; ++u, ++line) {
        const std::string& text = file.Line(line);
        if (line > lastLine || !AllDigits(text)) {
            error = file.At(line, "expected " +
                                      std::string(u == 0 ? "\"Parameteranzahl\" (the next "
                                                           "station) or "
                                                         : "") +
                                      "the term-code line of variable " + std::to_string(u + 1) +
                                      " of " + std::to_string(v) +
                                      " (digits only); the line reads " + Quoted(text));
            return -1;
        }
        regress.termCodes.push_back({line, text});
    }
    if (line <= lastLine) {
        error = file.At(line, "expected the end of the file after the " + std::to_string(v) +
                                  " term-code lines; the line reads " + Quoted(file.Line(line)));
        return -1;
    }
    return 0;
}

} // namespace quillon
