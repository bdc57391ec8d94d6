#include "workbench/fuzz/fuzz_entries.h"

#include "platform/scripted/scripted_platform.h"
#include "resources/dialog_templates.h"
#include "shell/commands.h"
#include "shell/settings.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "textio/paths.h"
#include "workbench.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

namespace corelith::fuzz {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMostCountingActions = 40;
constexpr size_t kMostSettingsText = 516;

bool Broken(std::string& failure, const std::string& reason) {
    failure = reason;
    return false;
}

// A folder of this process's own below the system's temporary folder, removed at the end.
class Scratch {
  public:
    Scratch() {
        std::random_device seed;
        const std::string name = "corelith_fuzz_" + std::to_string(seed()) + std::to_string(seed());
        path_ = fs::temp_directory_path() / name;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // The folder as text ending with the separator; with `empty`, emptied first.
    std::string Folder(bool empty) const {
        std::error_code ignored;
        if (empty)
            fs::remove_all(path_, ignored);
        fs::create_directories(path_, ignored);
        return Utf8Path(path_) + PathSeparator();
    }

  private:
    fs::path path_;
};

const Scratch& ScratchFolder() {
    static const Scratch scratch;
    return scratch;
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return bytes;
    char block[4096];
    size_t n = 0;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, n);
    std::fclose(file);
    return bytes;
}

// The tables as start-up allocates them.
const Tables& BlankTables() {
    static const Tables blank = [] {
        Tables tables;
        AllocateTables(tables);
        return tables;
    }();
    return blank;
}

// A workbench on the scripted backend whose settings and working folder are `folder`. Its
// tables are lent by the process and made blank again by FreshTables: allocating 5 MB of
// tables for every input would spend each run in the system's page faults and in filling
// them in code instrumented for coverage. One bench at a time.
class Bench {
  public:
    explicit Bench(const std::string& folder, std::vector<std::string> answers = {})
        : platform(std::move(answers)), wb(platform) {
        platform.SetSettingsFolder(folder);
        platform.SetDialogLookup(FindDialogTemplate);
        wb.workingFolder = folder;
        std::swap(wb.tables, Lent());
        FreshTables();
    }
    ~Bench() { std::swap(wb.tables, Lent()); }
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // The tables as at start-up; the storage stays.
    void FreshTables() { wb.tables = BlankTables(); }

    ScriptedPlatform platform;
    Workbench wb;

  private:
    static Tables& Lent() {
        static Tables tables;
        return tables;
    }
};

bool FiniteValues(const SampleTable& samples, int speciesCount, int sampleCount) {
    for (int j = 1; j <= sampleCount; ++j) {
        for (int i = 1; i <= speciesCount; ++i) {
            if (!std::isfinite(samples.Value(j, i)))
                return false;
        }
    }
    return true;
}

bool ShortNames(const std::vector<std::string>& names, int count) {
    for (int k = 0; k <= count && static_cast<size_t>(k) < names.size(); ++k) {
        if (names[static_cast<size_t>(k)].size() > static_cast<size_t>(kMaxNameLength))
            return false;
    }
    return true;
}

bool OnTheGlobe(const Location& at) {
    const double latitude = at.latitudeDegrees + at.latitudeMinutes / 60.0;
    const double longitude = at.longitudeDegrees + at.longitudeMinutes / 60.0;
    return std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0 &&
           std::fabs(at.latitudeMinutes) < 60.0f && std::fabs(at.longitudeMinutes) < 60.0f &&
           std::isfinite(at.depth);
}

// What one table read promises once it has succeeded.
std::string CheckTable(const Workbench& wb, int reader, int speciesCount, int sampleCount) {
    const Tables& t = wb.tables;
    switch (reader) {
    case 0:
    case 1: {
        const SampleTable& samples = reader == 0 ? t.reference : t.core;
        if (speciesCount < 0 || speciesCount > kMaxSpecies || sampleCount < 0 ||
            sampleCount > t.sampleCapacity)
            return "counts beyond the tables";
        if (!FiniteValues(samples, speciesCount, sampleCount))
            return "a value that is not finite";
        if (!ShortNames(t.species.names, speciesCount) || !ShortNames(samples.names, sampleCount))
            return "a name longer than 63 bytes";
        return "";
    }
    case 2:
        if (speciesCount < 0 || speciesCount > kMaxVariables || sampleCount < 0 ||
            sampleCount > t.environment.capacity)
            return "counts beyond the tables";
        for (int s = 1; s <= sampleCount; ++s) {
            for (int v = 1; v <= kMaxVariables; ++v) {
                if (!std::isfinite(t.environment.Value(s, v)))
                    return "a value that is not finite";
            }
        }
        return ShortNames(t.environment.stationNames, sampleCount) ? ""
                                                                   : "a name longer than 63 bytes";
    default:
        if (sampleCount < 0 || static_cast<size_t>(sampleCount) >= t.locations.stations.size())
            return "counts beyond the tables";
        for (int s = 1; s <= sampleCount; ++s) {
            if (!OnTheGlobe(t.locations.stations[static_cast<size_t>(s)]))
                return "a position off the globe";
        }
        return "";
    }
}

bool AllowedResult(int reader, int result) {
    static const std::array<std::vector<int>, 4> allowed = {{
        {0, -1, -2, kTableUnreadable},
        {0, -1, -2, -3, kTableUnreadable},
        {0, -1, -2, -3, kTableUnreadable},
        {0, -1, kTableUnreadable},
    }};
    const std::vector<int>& codes = allowed[static_cast<size_t>(reader)];
    return std::find(codes.begin(), codes.end(), result) != codes.end();
}

// One text of the counting actions, chosen by a byte.
std::string CountingText(std::uint8_t choice) {
    static const std::array<const char*, 16> texts = {
        "1",           "2",
        "0",           "-1",
        "3,5",         "1e-7",
        "99999999999", "abc",
        " ",           "",
        "G. ruber",    "New\tname",
        "x\ny",        "\xC3\xA9t\xC3\xA9",
        "*flag",       "0123456789012345678901234567890123456789012345678901234567890123456789"};
    return texts[choice % texts.size()];
}

// The result of reading `name` in the bench's folder with the core reader, as the counting
// tool does, into fresh tables.
int ReadsAsCore(Bench& bench, const std::string& name, SpeciesLayout layout) {
    const std::string path = bench.wb.workingFolder + name;
    std::FILE* file = OpenForReading(path, "rb");
    if (file == nullptr)
        return -100;
    bench.FreshTables();
    Tables& t = bench.wb.tables;
    int species = 0;
    int samples = 0;
    const int read =
        ReadCoreTable(bench.wb, file, layout, Plain, species, samples, t.species, t.core, path);
    CloseFile(file);
    return read;
}

} // namespace

bool TablesInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    if (size == 0)
        return true;
    const int reader = data[0] & 3;
    const SpeciesLayout layout =
        (data[0] & 4) != 0 ? SpeciesLayout::InLine : SpeciesLayout::InColumn;
    const auto mode = static_cast<CoreReadMode>(((data[0] >> 3) & 3) % 3);
    const int checkNames = (data[0] >> 5) & 1;
    const std::string folder = ScratchFolder().Folder(false);
    const std::string path = folder + "table.txt";
    if (!WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)))
        return Broken(failure, "the scratch file cannot be written");

    Bench bench(folder);
    Workbench& wb = bench.wb;
    // Names a reference read would have left, for the comparisons.
    wb.tables.species.names[1] = "G. ruber";
    wb.tables.reference.names[1] = "V12-122";
    std::FILE* file = OpenForReading(path, "rb");
    if (file == nullptr)
        return Broken(failure, "the scratch file cannot be opened");
    int first = -1;
    int second = -1;
    int result = 0;
    switch (reader) {
    case 0:
        result = ReadReferenceTable(wb, file, layout, first, second, wb.tables.species,
                                    wb.tables.reference, path);
        break;
    case 1:
        result = ReadCoreTable(wb, file, layout, mode, first, second, wb.tables.species,
                               wb.tables.core, path);
        break;
    case 2:
        result = ReadEnvironmentTable(wb, file, first, second, checkNames, wb.tables.reference,
                                      wb.tables.environment, path);
        break;
    default:
        result = ReadLocationTable(wb, file, second, wb.tables.locations, path);
        first = 0;
        break;
    }
    CloseFile(file);
    const size_t messages = bench.platform.Messages().size();
    if (!AllowedResult(reader, result))
        return Broken(failure,
                      "reader " + std::to_string(reader) + " returned " + std::to_string(result));
    if (result != 0 && messages == 0)
        return Broken(failure, "a refused table without a message");
    if (result == 0 && messages != 0)
        return Broken(failure, "a table read with a message: " + bench.platform.Messages()[0]);
    if (bench.platform.CurrentCursor() != Cursor::Arrow)
        return Broken(failure, "the wait cursor stays");
    if (result == 0) {
        const std::string problem = CheckTable(wb, reader, first, second);
        if (!problem.empty())
            return Broken(failure, "reader " + std::to_string(reader) + ": " + problem);
    }
    return true;
}

bool SettingsInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    const std::string folder = ScratchFolder().Folder(false);
    const std::string path = JoinPath(folder, kSettingsFileName);
    if (!WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size)))
        return Broken(failure, "the scratch file cannot be written");
    std::string saved;
    for (int pass = 1; pass <= 2; ++pass) {
        Bench bench(folder);
        LoadSettings(bench.wb);
        if (SaveSettings(bench.wb) != 0)
            return Broken(failure, "the settings could not be saved");
        const std::string text = ReadBytes(path);
        if (pass == 2 && text != saved)
            return Broken(failure, "saved again after loading it, the file changed:\n" + saved +
                                       "---\n" + text);
        saved = text;
        for (const std::string* value :
             {&bench.wb.settings.freeText, &bench.wb.settings.quillonPath,
              &bench.wb.settings.marvanePath}) {
            if (value->size() > kMostSettingsText)
                return Broken(failure, "a text longer than 516 characters");
        }
    }
    const size_t secondLine = saved.find('\n') + 1;
    const std::string line = saved.substr(secondLine, saved.find('\n', secondLine) - secondLine);
    if (std::count(line.begin(), line.end(), '\t') != 9)
        return Broken(failure, "line 2 does not hold ten values: " + line);
    return true;
}

bool CountingInput(const std::uint8_t* data, std::size_t size, std::string& failure) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find('\0');
    const std::string_view matrix = bytes.substr(0, split);
    const std::string_view choices =
        split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);
    // Counting leaves interim files behind, which a later run must not find.
    const std::string folder = ScratchFolder().Folder(true);
    if (!WriteBytes(folder + "matrix.txt", matrix))
        return Broken(failure, "the scratch file cannot be written");

    const bool inLine = !choices.empty() && (choices[0] & 1) != 0;
    std::vector<std::string> answers = {folder + "matrix.txt", folder + "counted.txt",
                                        inLine ? "2" : "1"};
    // Each action takes one byte, and the actions with a text a second one.
    for (size_t k = 1; k < choices.size() && answers.size() < kMostCountingActions + 3; ++k) {
        const auto op = static_cast<std::uint8_t>(choices[k]);
        const std::string text =
            k + 1 < choices.size() ? CountingText(static_cast<std::uint8_t>(choices[k + 1])) : "1";
        switch (op % 12) {
        case 0:
            answers.push_back("sample=" + text);
            ++k;
            break;
        case 1:
            answers.push_back("species=" + text);
            ++k;
            break;
        case 2:
            answers.push_back("increment=" + text);
            ++k;
            break;
        case 3:
        case 4:
            answers.push_back("count");
            break;
        case 5:
            answers.push_back("save");
            break;
        case 6:
            answers.push_back("new-sample=" + text);
            ++k;
            break;
        case 7:
            answers.push_back("new-species=" + text);
            ++k;
            break;
        case 8:
            answers.push_back("edit-sample=" + text);
            ++k;
            break;
        case 9:
            answers.push_back("edit-species=" + text);
            ++k;
            break;
        case 10:
            answers.push_back(op < 128 ? "new-sample:cancel" : "new-species:cancel");
            break;
        default:
            answers.push_back("count");
            break;
        }
    }
    answers.push_back("stop");

    const SpeciesLayout layout = inLine ? SpeciesLayout::InLine : SpeciesLayout::InColumn;
    {
        Bench bench(folder, answers);
        const bool matrixReads = ReadsAsCore(bench, "matrix.txt", layout) == 0;
        bench.FreshTables();
        LoadSettings(bench.wb);
        const int result = RunCommand(bench.wb, 64);
        if (result != 0 || !bench.platform.UsageError().empty() || !matrixReads)
            return true;
        // What the command wrote from a readable matrix must be a table the workbench reads
        // again; a session that kept neither a name nor a count writes blanks, which
        // counting takes as a table to start from.
        const std::string written = ReadBytes(folder + "counted.txt");
        if (written.find_first_not_of(" \t\r\n") != std::string::npos) {
            const int read = ReadsAsCore(bench, "counted.txt", layout);
            if (read != 0)
                return Broken(failure,
                              "the counted matrix does not read back: " + std::to_string(read));
            return true;
        }
    }
    Bench again(folder, {folder + "counted.txt", folder + "again.txt", inLine ? "2" : "1", "stop"});
    LoadSettings(again.wb);
    if (RunCommand(again.wb, 64) != 0)
        return Broken(failure, "a counted matrix of blanks is not counted again");
    return true;
}

Entry EntryNamed(const std::string& name) {
    if (name == "tables")
        return TablesInput;
    if (name == "settings")
        return SettingsInput;
    if (name == "counting")
        return CountingInput;
    return nullptr;
}

} // namespace corelith::fuzz
