#include "counting/journal.h"

#include "counting/cells.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "textio/paths.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h> // _commit
#else
#include <unistd.h> // fsync
#endif

namespace corelith {

namespace {

constexpr char kFirstLine[] = "corelith counting journal\t1\n";
constexpr char kStart[] = "start";
// Far longer than any line the journal writes (a name and 500 values).
constexpr int kLongestLine = 1 << 16;

// Portability spot: hands what the C library holds to the system and asks the system to
// put it on the disk, so that a power cut loses no recorded change either.
bool SyncToDisk(std::FILE* file) {
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

void AppendValue(std::string& line, float value) {
    char text[32];
    line += '\t';
    line.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendNumber(std::string& line, int value) {
    line += '\t';
    line += std::to_string(value);
}

std::string KeyValue(const char* key, std::string_view value) {
    std::string line = key;
    line += '\t';
    line += value;
    line += '\n';
    return line;
}

std::string ActionLine(const CountingAction& action) {
    using Kind = CountingAction::Kind;
    std::string line;
    switch (action.kind) {
    case Kind::Count:
        line = "count";
        AppendNumber(line, action.sample);
        AppendNumber(line, action.species);
        AppendValue(line, action.increment);
        line += '\n';
        return line;
    case Kind::NewSample:
        return KeyValue("new-sample", action.name);
    case Kind::NewSpecies:
        return KeyValue("new-species", action.name);
    case Kind::RenameSample:
        return KeyValue("sample-name", std::to_string(action.sample) + "\t" + action.name);
    case Kind::RenameSpecies:
        return KeyValue("species-name", std::to_string(action.species) + "\t" + action.name);
    }
    return line;
}

} // namespace

std::string JournalPathFor(const std::string& outputPath) {
    return outputPath + ".journal";
}

// ---------------------------------------------------------------------------------------
// Writing

CountingJournal::~CountingJournal() {
    if (file_ != nullptr)
        std::fclose(file_);
}

bool CountingJournal::Create(const std::string& path) {
    path_ = path;
    errno = 0;
    file_ = OpenFile(path, "wb");
    if (file_ == nullptr)
        return Fail(errno);
    return Put(kFirstLine, true);
}

bool CountingJournal::Resume(const std::string& path, std::uintmax_t length) {
    path_ = path;
    std::error_code error;
    std::filesystem::resize_file(NativePath(path), length, error);
    if (error)
        return Fail(error.value());
    errno = 0;
    file_ = OpenFile(path, "ab");
    return file_ != nullptr || Fail(errno);
}

bool CountingJournal::RecordStart(const std::string& input, SpeciesLayout layout,
                                  const Tables& tables, const CountingState& state) {
    std::string head = KeyValue("input", input);
    head += KeyValue("layout", layout == SpeciesLayout::InLine ? "1" : "0");
    head += KeyValue("decimal-comma", tables.decimalCommaFlag == 1 ? "1" : "0");
    head += KeyValue("corner", tables.cornerLabel);
    head += KeyValue("heading", tables.reference.names[0]);
    for (int j = 1; j <= state.speciesCount; ++j)
        head += KeyValue("species", tables.species.names[static_cast<size_t>(j)]);
    bool written = Put(head, false);
    std::string line;
    for (int i = 1; i <= state.sampleCount && written; ++i) {
        line = "sample\t";
        line += tables.reference.names[static_cast<size_t>(i)];
        for (int j = 1; j <= state.speciesCount; ++j)
            AppendValue(line, tables.reference.Value(i, j));
        line += '\n';
        written = Put(line, false);
    }
    return written && Put(std::string(kStart) + "\n", true);
}

bool CountingJournal::Record(const CountingAction& action) {
    return Put(ActionLine(action), true);
}

bool CountingJournal::Remove() {
    if (file_ != nullptr && std::fclose(std::exchange(file_, nullptr)) != 0)
        Fail(errno);
    std::error_code error;
    if (!std::filesystem::remove(NativePath(path_), error) && error)
        return Fail(error.value());
    return !failed_;
}

bool CountingJournal::Put(std::string_view text, bool sync) {
    if (failed_ || file_ == nullptr)
        return false;
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
        (sync && !SyncToDisk(file_)))
        return Fail(errno);
    return true;
}

bool CountingJournal::Fail(int error) {
    if (!failed_)
        error_ = error;
    failed_ = true;
    return false;
}

std::string CountingJournal::Reason() const {
    if (!failed_)
        return {};
    if (error_ == 0)
        return "the file could not be written";
    return std::strerror(error_);
}

// ---------------------------------------------------------------------------------------
// Reading

namespace {

// The whole lines of a journal, split at tabs, with the place where each one ends.
class JournalLines {
  public:
    explicit JournalLines(std::FILE* file) : file_(file) {}

    // False at the end of the journal, where a last line without its line end (a record
    // cut short by a crash) is dropped. A line too long for any record is taken as a line
    // without cells, which no record fits.
    bool Next() {
        const int got = ReadLine(file_, text_, kLongestLine);
        if (got < 0 && got != -kLongestLine)
            return false;
        ++number_;
        if (got < 0) {
            cells.clear();
            return true;
        }
        SplitAtTabs(text_, cells);
        const long at = std::ftell(file_);
        end_ = at < 0 ? end_ : static_cast<std::uintmax_t>(at);
        return true;
    }
    int Number() const { return number_; }
    std::uintmax_t End() const { return end_; }
    bool Is(std::string_view key, size_t cellCount) const {
        return cells.size() == cellCount && cells[0] == key;
    }

    std::vector<std::string_view> cells;

  private:
    std::FILE* file_;
    std::string text_;
    int number_ = 0;
    std::uintmax_t end_ = 0;
};

bool ReadFlag(std::string_view text, int& flag) {
    if (text != "0" && text != "1")
        return false;
    flag = text == "1" ? 1 : 0;
    return true;
}

bool ReadSampleLine(const JournalLines& lines, Tables& tables, CountingState& state) {
    SampleTable& table = tables.reference;
    const size_t values = static_cast<size_t>(state.speciesCount);
    if (!lines.Is("sample", 2 + values) ||
        state.sampleCount >= std::min(tables.sampleCapacity, table.capacity))
        return false;
    const int i = state.sampleCount + 1;
    for (int j = 1; j <= state.speciesCount; ++j) {
        if (!ReadWholeNumber(lines.cells[static_cast<size_t>(j) + 1], table.Value(i, j)))
            return false;
    }
    table.names[static_cast<size_t>(i)] = lines.cells[1];
    state.sampleCount = i;
    return true;
}

// One line of the table the run started from.
bool ReadTableLine(const JournalLines& lines, Tables& tables, CountingState& state,
                   RecoveredRun& run) {
    int flag = 0;
    if (lines.Is("input", 2))
        run.input = lines.cells[1];
    else if (lines.Is("layout", 2) && ReadFlag(lines.cells[1], flag))
        run.layout = flag == 1 ? SpeciesLayout::InLine : SpeciesLayout::InColumn;
    else if (lines.Is("decimal-comma", 2) && ReadFlag(lines.cells[1], flag))
        tables.decimalCommaFlag = flag;
    else if (lines.Is("corner", 2))
        tables.cornerLabel = lines.cells[1];
    else if (lines.Is("heading", 2))
        tables.reference.names[0] = lines.cells[1];
    else if (lines.Is("species", 2) && state.sampleCount == 0 && state.speciesCount < kMaxSpecies)
        tables.species.names[static_cast<size_t>(++state.speciesCount)] = lines.cells[1];
    else
        return ReadSampleLine(lines, tables, state);
    return true;
}

bool ReadAction(const JournalLines& lines, CountingAction& action) {
    using Kind = CountingAction::Kind;
    const auto& cells = lines.cells;
    if (lines.Is("count", 4)) {
        action.kind = Kind::Count;
        return ReadWholeNumber(cells[1], action.sample) &&
               ReadWholeNumber(cells[2], action.species) &&
               ReadWholeNumber(cells[3], action.increment);
    }
    if (lines.Is("new-sample", 2) || lines.Is("new-species", 2)) {
        action.kind = cells[0] == "new-sample" ? Kind::NewSample : Kind::NewSpecies;
        action.name = cells[1];
        return true;
    }
    if (lines.Is("sample-name", 3) || lines.Is("species-name", 3)) {
        const bool sample = cells[0] == "sample-name";
        action.kind = sample ? Kind::RenameSample : Kind::RenameSpecies;
        action.name = cells[2];
        return ReadWholeNumber(cells[1], sample ? action.sample : action.species);
    }
    return false;
}

void ReadJournal(JournalLines& lines, Tables& tables, CountingState& state, RecoveredRun& run) {
    if (!lines.Next() || !lines.Is("corelith counting journal", 2) || lines.cells[1] != "1")
        return;
    // The table: a line that cannot be read is damage, since every line is written whole
    // before the next; a journal that ends before "start" is a run that counted nothing.
    while (lines.Next() && !lines.Is(kStart, 1)) {
        if (!ReadTableLine(lines, tables, state, run)) {
            run.status = RecoveredRun::Status::Damaged;
            run.badLine = lines.Number();
            return;
        }
    }
    if (!lines.Is(kStart, 1))
        return;
    run.status = RecoveredRun::Status::Recovered;
    run.length = lines.End();
    ComputeTotals(tables, state);
    CountingAction action;
    while (lines.Next()) {
        if (!ReadAction(lines, action) || !ApplyAction(tables, state, action)) {
            run.badLine = lines.Number();
            return;
        }
        ++run.changes;
        run.length = lines.End();
    }
}

} // namespace

RecoveredRun LoadJournal(const std::string& path, Tables& tables, CountingState& state) {
    RecoveredRun run;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return run;
    state.speciesCount = 0;
    state.sampleCount = 0;
    JournalLines lines(file);
    ReadJournal(lines, tables, state, run);
    std::fclose(file);
    return run;
}

} // namespace corelith
