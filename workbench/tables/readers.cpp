#include "tables/readers.h"

#include "shell/messages.h"
#include "textio/numbers.h"
#include "textio/text_cut.h"
#include "workbench.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>
#include <vector>

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

namespace {

// Lines are read whole: a species-in-column table of many samples easily passes 10,000
// characters, and a cut line would silently shorten the table.
constexpr int kWholeLine = INT_MAX;

// Hands the reader its lines one by one; the wait cursor shows while it reads and the
// arrow cursor comes back when the reader is done, whatever way it leaves.
class LineSource {
  public:
    LineSource(Workbench& wb, std::FILE* file) : wb_(wb), file_(file) {}
    ~LineSource() { ShowArrowCursor(wb_.platform); }
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // False once the end of input has been reached; the text before it still counts as
    // a line (a last line without line end is read completely).
    bool Next() {
        if (atEnd_ || file_ == nullptr) {
            line.clear();
            return false;
        }
        ShowWaitCursor(wb_.platform);
        if (ReadLine(file_, line, kWholeLine) < 0)
            atEnd_ = true;
        return true;
    }
    // Data lines shorter than two characters hold nothing and are skipped.
    bool IsBlank() const { return line.size() < 2; }

    std::string line;

  private:
    Workbench& wb_;
    std::FILE* file_;
    bool atEnd_ = false;
};

void SplitCells(std::string_view line, std::vector<std::string_view>& cells) {
    cells.clear();
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            cells.push_back(line.substr(start));
            return;
        }
        cells.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// A tab at the end of a header line names no further column.
void DropTrailingEmptyCells(std::vector<std::string_view>& cells) {
    while (cells.size() > 1 && cells.back().empty())
        cells.pop_back();
}

std::string_view CellAt(const std::vector<std::string_view>& cells, size_t index) {
    return index < cells.size() ? cells[index] : std::string_view();
}

// Names keep their first 63 bytes; a UTF-8 character is never split.
std::string CutName(std::string_view cell) {
    return std::string(CutText(cell, kMaxNameLength));
}

// A cell that is missing, empty or not a number reads as the table's empty cell.
float CellValue(const std::vector<std::string_view>& cells, size_t index, float empty) {
    float value = empty;
    if (!ParseLeadingFloat(CellAt(cells, index), value))
        return empty;
    return value;
}

// Where cell `index` (0-based) of a tab-separated line begins; the line's end when it has
// fewer cells.
size_t CellStart(std::string_view line, size_t index) {
    size_t at = 0;
    for (size_t k = 0; k < index; ++k) {
        const size_t tab = line.find('\t', at);
        if (tab == std::string_view::npos)
            return line.size();
        at = tab + 1;
    }
    return at;
}

// Decimal commas of down-core data: every comma of the line's values becomes a point.
void ConvertDecimalCommas(Workbench& wb, std::string& text, size_t from) {
    bool found = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == ',') {
            text[i] = '.';
            found = true;
        }
    }
    wb.tables.decimalCommaFlag = found ? 1 : 0;
}

struct CensusCodes {
    int sampleOverflowMessage;
    int sampleOverflow;
    int speciesOverflow;
    bool core;
};

int StoreSpeciesName(Workbench& wb, bool compare, SpeciesList& species, int number,
                     std::string name) {
    if (compare && name != species.names[static_cast<size_t>(number)])
        return ShowNameMismatch(wb.platform, kMsgSpeciesNamesDiffer,
                                species.names[static_cast<size_t>(number)], name);
    species.names[static_cast<size_t>(number)] = std::move(name);
    return 0;
}

int ReadSpeciesInColumn(Workbench& wb, std::FILE* file, const CensusCodes& codes, CoreReadMode mode,
                        int& speciesCount, int& sampleCount, SpeciesList& species,
                        SampleTable& samples) {
    LineSource source(wb, file);
    std::vector<std::string_view> cells;
    const size_t firstSample = mode == SkipExtraColumn ? 3 : 2;
    speciesCount = 0;
    sampleCount = 0;

    source.Next();
    SplitCells(source.line, cells);
    DropTrailingEmptyCells(cells);
    wb.tables.cornerLabel = CutName(CellAt(cells, 0));
    samples.names[0] = CutName(CellAt(cells, firstSample - 1));
    const size_t columns = cells.size() > firstSample ? cells.size() - firstSample : 0;
    if (columns > static_cast<size_t>(samples.capacity)) {
        ShowOverflow(wb.platform, codes.sampleOverflowMessage, samples.capacity);
        return codes.sampleOverflow;
    }
    sampleCount = static_cast<int>(columns);
    for (int k = 1; k <= sampleCount; ++k)
        samples.names[static_cast<size_t>(k)] =
            CutName(cells[firstSample + static_cast<size_t>(k) - 1]);

    while (source.Next()) {
        if (source.IsBlank() || source.line.find('*') != std::string::npos)
            continue;
        // The flag cell and the species name are text: a comma there is no decimal comma.
        if (codes.core)
            ConvertDecimalCommas(wb, source.line, CellStart(source.line, firstSample));
        if (speciesCount == kMaxSpecies) {
            ShowOverflow(wb.platform, kMsgSpeciesOverflow, kMaxSpecies);
            return codes.speciesOverflow;
        }
        SplitCells(source.line, cells);
        const int number = speciesCount + 1;
        if (StoreSpeciesName(wb, mode == CompareSpecies, species, number,
                             CutName(CellAt(cells, 1))) != 0)
            return -2;
        speciesCount = number;
        for (int k = 1; k <= sampleCount; ++k)
            samples.Value(k, number) =
                CellValue(cells, firstSample + static_cast<size_t>(k) - 1, 0.0f);
    }
    return 0;
}

int ReadSpeciesInLine(Workbench& wb, std::FILE* file, const CensusCodes& codes, CoreReadMode mode,
                      int& speciesCount, int& sampleCount, SpeciesList& species,
                      SampleTable& samples) {
    LineSource source(wb, file);
    std::vector<std::string_view> cells;
    std::vector<int>& columnMap = wb.tables.columnMap;
    speciesCount = 0;
    sampleCount = 0;

    // The flag line: one cell per input column; "*" at its start leaves the column out.
    source.Next();
    SplitCells(source.line, cells);
    wb.tables.cornerLabel = CutName(CellAt(cells, 0));
    const size_t columns = cells.size() - 1;
    if (columns > static_cast<size_t>(kMaxSpecies)) {
        ShowOverflow(wb.platform, kMsgSpeciesOverflow, kMaxSpecies);
        return codes.speciesOverflow;
    }
    std::fill(columnMap.begin(), columnMap.end(), 0);
    int kept = 0;
    for (size_t c = 1; c <= columns; ++c)
        columnMap[c] = !cells[c].empty() && cells[c][0] == '*' ? 0 : ++kept;

    // The names line.
    source.Next();
    SplitCells(source.line, cells);
    samples.names[0] = CutName(CellAt(cells, 0));
    for (size_t c = 1; c <= columns; ++c) {
        if (columnMap[c] != 0 && StoreSpeciesName(wb, mode == CompareSpecies, species, columnMap[c],
                                                  CutName(CellAt(cells, c))) != 0)
            return -2;
    }
    speciesCount = kept;
    if (mode == SkipExtraColumn)
        source.Next();

    while (source.Next()) {
        if (source.IsBlank())
            continue;
        if (sampleCount == samples.capacity) {
            ShowOverflow(wb.platform, codes.sampleOverflowMessage, samples.capacity);
            return codes.sampleOverflow;
        }
        const size_t nameEnd = std::min(source.line.find('\t'), source.line.size());
        if (codes.core)
            ConvertDecimalCommas(wb, source.line, nameEnd);
        SplitCells(source.line, cells);
        const int sample = ++sampleCount;
        samples.names[static_cast<size_t>(sample)] = CutName(cells[0]);
        for (size_t c = 1; c <= columns; ++c) {
            if (columnMap[c] != 0)
                samples.Value(sample, columnMap[c]) = CellValue(cells, c, 0.0f);
        }
    }
    return 0;
}

int ReadCensus(Workbench& wb, std::FILE* file, SpeciesLayout layout, const CensusCodes& codes,
               CoreReadMode mode, int& speciesCount, int& sampleCount, SpeciesList& species,
               SampleTable& samples) {
    if (layout == SpeciesLayout::InLine)
        return ReadSpeciesInLine(wb, file, codes, mode, speciesCount, sampleCount, species,
                                 samples);
    return ReadSpeciesInColumn(wb, file, codes, mode, speciesCount, sampleCount, species, samples);
}

} // namespace

int ReadReferenceTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, int& speciesCount,
                       int& sampleCount, SpeciesList& species, SampleTable& samples) {
    const CensusCodes codes{kMsgReferenceOverflow, -1, -2, false};
    return ReadCensus(wb, file, layout, codes, Plain, speciesCount, sampleCount, species, samples);
}

int ReadCoreTable(Workbench& wb, std::FILE* file, SpeciesLayout layout, CoreReadMode mode,
                  int& speciesCount, int& sampleCount, SpeciesList& species, SampleTable& samples) {
    const CensusCodes codes{kMsgCoreOverflow, -1, -3, true};
    return ReadCensus(wb, file, layout, codes, mode, speciesCount, sampleCount, species, samples);
}

int ReadEnvironmentTable(Workbench& wb, std::FILE* file, int& variableCount, int& stationCount,
                         int checkNames, const SampleTable& referenceSamples,
                         EnvironmentTable& environment) {
    LineSource source(wb, file);
    std::vector<std::string_view> cells;
    variableCount = 0;
    stationCount = 0;

    source.Next();
    SplitCells(source.line, cells);
    DropTrailingEmptyCells(cells);
    std::vector<std::string>& names = environment.variableNames;
    names[0] = CutName(cells[0]);
    // A header without a tab is taken as the name of one variable.
    const bool single = cells.size() == 1 && !source.line.empty();
    const size_t count = single ? 1 : cells.size() - 1;
    if (count > static_cast<size_t>(kMaxVariables)) {
        ShowOverflow(wb.platform, kMsgEnvironmentOverflow, kMaxVariables);
        return -1;
    }
    variableCount = static_cast<int>(count);
    for (size_t v = 1; v <= static_cast<size_t>(kMaxVariables); ++v)
        names[v] = v > count ? std::string() : CutName(single ? cells[0] : cells[v]);

    while (source.Next()) {
        if (source.IsBlank())
            continue;
        if (stationCount == environment.capacity) {
            ShowOverflow(wb.platform, kMsgStationOverflow, environment.capacity);
            return -3;
        }
        SplitCells(source.line, cells);
        const int station = stationCount + 1;
        std::string name = CutName(cells[0]);
        const std::string& reference = referenceSamples.names[static_cast<size_t>(station)];
        if (checkNames == 1 && name != reference) {
            ShowNameMismatch(wb.platform, kMsgStationNamesDiffer, reference, name);
            return -2;
        }
        stationCount = station;
        environment.stationNames[static_cast<size_t>(station)] = std::move(name);
        for (int v = 1; v <= kMaxVariables; ++v)
            environment.Value(station, v) = CellValue(cells, static_cast<size_t>(v), kEmptyCell);
    }
    return 0;
}

namespace {

// Signed decimal degrees as whole degrees and minutes, both carrying the sign.
void ToDegreesAndMinutes(float value, float& degrees, float& minutes) {
    const double magnitude = std::fabs(static_cast<double>(value));
    const double whole = std::trunc(magnitude);
    degrees = static_cast<float>(whole);
    minutes = static_cast<float>((magnitude - whole) * 60.0);
    if (value < 0.0f) {
        degrees = -degrees;
        minutes = -minutes;
    }
}

} // namespace

int ReadLocationTable(Workbench& wb, std::FILE* file, int& stationCount, LocationTable& locations) {
    LineSource source(wb, file);
    std::vector<std::string_view> cells;
    std::fill(locations.stations.begin(), locations.stations.end(), Location{});
    stationCount = 0;
    const int capacity = static_cast<int>(locations.stations.size()) - 1;

    source.Next(); // the header names nothing the reader keeps
    while (source.Next()) {
        if (source.IsBlank())
            continue;
        if (stationCount == capacity) {
            // A shortened position list would pair the wrong positions with samples.
            ShowOverflow(wb.platform, kMsgStationOverflow, capacity);
            return -1;
        }
        SplitCells(source.line, cells);
        Location& row = locations.stations[static_cast<size_t>(++stationCount)];
        row.name = CutName(cells[0]);
        const float latitude = CellValue(cells, 1, kEmptyCell);
        float longitude = CellValue(cells, 2, kEmptyCell);
        if (longitude > 180.0f)
            longitude = static_cast<float>(static_cast<double>(longitude) - 360.0);
        ToDegreesAndMinutes(latitude, row.latitudeDegrees, row.latitudeMinutes);
        ToDegreesAndMinutes(longitude, row.longitudeDegrees, row.longitudeMinutes);
        row.depth = CellValue(cells, 3, kEmptyCell);
    }
    return 0;
}

} // namespace corelith
