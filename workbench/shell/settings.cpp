#include "shell/settings.h"

#include "shell/messages.h"
#include "tables/readers.h"
#include "textio/file_layer.h"
#include "textio/line_writer.h"
#include "textio/numbers.h"
#include "textio/paths.h"
#include "workbench.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

namespace corelith {

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxSettingsText = 516;
constexpr auto kLockWait = std::chrono::seconds(3);
constexpr auto kStaleLock = std::chrono::seconds(10);

// Scans "%d" or "%f" the way the file's line 2 is scanned: blanks (the tabs of the
// format) are skipped before each value, and the scan stops at the first mismatch.
bool ScanInt(std::string_view& rest, int& value) {
    const size_t length = LeadingNumberLength(rest, false);
    if (length == 0 || !ParseLeadingInt(rest, value))
        return false;
    rest.remove_prefix(length);
    return true;
}

bool ScanFloat(std::string_view& rest, float& value) {
    const size_t length = LeadingNumberLength(rest, true);
    if (length == 0 || !ParseLeadingFloat(rest, value))
        return false;
    rest.remove_prefix(length);
    return true;
}

void ScanValues(std::string_view line, StoredSettings& stored) {
    for (int& target : stored.options) {
        if (!ScanInt(line, target))
            return;
    }
    if (!ScanFloat(line, stored.certainFactor))
        return;
    ScanInt(line, stored.lastFilter);
}

// A line counts only when it ends with a line end; longer texts are cut.
bool ReadSettingsLine(std::FILE* file, std::string& line) {
    if (ReadLine(file, line, INT_MAX) <= 0)
        return false;
    if (line.size() > kMaxSettingsText)
        line.resize(kMaxSettingsText);
    return true;
}

// Keeps the other runs of the workbench out of the settings file while this one reads it,
// or reads, merges and writes it: a folder beside the file, which the system creates for
// one process only. A lock left by a run that was killed is taken over once it is old; one
// that is held too long is waited for no longer, since a save without the lock is still
// better than none.
class SettingsLock {
  public:
    explicit SettingsLock(const std::string& settingsPath)
        : path_(NativePath(settingsPath + ".lock")) {
        const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
        for (;;) {
            std::error_code error;
            if (fs::create_directory(path_, error)) {
                held_ = true;
                return;
            }
            if (error)
                return; // no folder to lock in: the save reports what is wrong with it
            const auto written = fs::last_write_time(path_, error);
            if (!error && fs::file_time_type::clock::now() - written > kStaleLock) {
                fs::remove(path_, error);
                continue;
            }
            if (std::chrono::steady_clock::now() > giveUp)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~SettingsLock() {
        std::error_code ignored;
        if (held_)
            fs::remove(path_, ignored);
    }
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

  private:
    fs::path path_;
    bool held_ = false;
};

template <typename T> void TakeUnchanged(T& value, const T& before, const T& onDisk) {
    if (value == before)
        value = onDisk;
}

} // namespace

StoredSettings StoredValues(Settings& settings) {
    ProjectSlot& slot = settings.slots[1];
    StoredSettings stored;
    stored.options = {slot.dataFormat,       slot.speciesFormat, slot.usedCapFac,
                      slot.usedRegress,      slot.usedThread,    slot.numberOfFactors(),
                      slot.regressionType(), slot.reservedOption};
    stored.certainFactor = settings.certainFactor;
    stored.lastFilter = settings.lastFilter;
    stored.freeText = settings.freeText;
    stored.quillonPath = settings.quillonPath;
    stored.marvanePath = settings.marvanePath;
    return stored;
}

void TakeStoredValues(Settings& settings, const StoredSettings& stored) {
    ProjectSlot& slot = settings.slots[1];
    int* targets[] = {&slot.dataFormat,       &slot.speciesFormat, &slot.usedCapFac,
                      &slot.usedRegress,      &slot.usedThread,    &slot.numberOfFactors(),
                      &slot.regressionType(), &slot.reservedOption};
    for (size_t k = 0; k < stored.options.size(); ++k)
        *targets[k] = stored.options[k];
    settings.certainFactor = stored.certainFactor;
    settings.lastFilter = stored.lastFilter;
    settings.freeText = stored.freeText;
    settings.quillonPath = stored.quillonPath;
    settings.marvanePath = stored.marvanePath;
}

std::string SettingsFileText(const StoredSettings& stored) {
    const auto& o = stored.options;
    return FormatC("%d%s", kSettingsStamp, "\n") +
           FormatC("%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%f\t%d%s", o[0], o[1], o[2], o[3], o[4], o[5],
                   o[6], o[7], static_cast<double>(stored.certainFactor), stored.lastFilter, "\n") +
           stored.freeText + "\n" + stored.quillonPath + "\n" + stored.marvanePath + "\n";
}

bool ParseSettingsFile(std::FILE* file, StoredSettings& stored) {
    std::string line;
    if (ReadLine(file, line, INT_MAX) > 0) {
        int stamp = 0;
        if (!ParseLeadingInt(line, stamp) || stamp != kSettingsStamp)
            return false;
    }
    StoredSettings read = stored;
    if (ReadLine(file, line, INT_MAX) > 0)
        ScanValues(line, read);
    for (std::string* text : {&read.freeText, &read.quillonPath, &read.marvanePath})
        *text = ReadSettingsLine(file, line) ? line : std::string();
    stored = std::move(read);
    return true;
}

std::string SettingsFilePath(Workbench& wb) {
    return JoinPath(wb.platform.SettingsFolder(), kSettingsFileName);
}

int LoadSettings(Workbench& wb) {
    const std::string path = SettingsFilePath(wb);
    Settings& settings = wb.settings;
    StoredSettings stored = StoredValues(settings);
    settings.fromFile = stored;
    bool opened = false;
    bool stamped = false;
    std::string unreadable;
    {
        const SettingsLock lock(path);
        std::error_code error;
        const fs::file_status status = fs::status(NativePath(path), error);
        if (fs::exists(status) && !fs::is_regular_file(status))
            unreadable = "It is not a regular file";
        errno = 0;
        std::FILE* file = unreadable.empty() ? OpenForReading(path, "rb") : nullptr;
        if (file != nullptr) {
            opened = true;
            stamped = ParseSettingsFile(file, stored);
            if (std::ferror(file) != 0)
                unreadable = "The file could not be read to its end";
            CloseFile(file);
        } else if (unreadable.empty() && fs::exists(status)) {
            unreadable = errno != 0 ? std::strerror(errno) : "The file cannot be opened";
        }
    }
    // A file that exists but cannot be read is not replaced by the defaults.
    if (!unreadable.empty()) {
        ReportFileError(wb.platform, path, FileAction::Read, unreadable);
        return 0;
    }
    if (!opened) {
        SaveSettings(wb);
        return 0;
    }
    if (!stamped) {
        SaveSettings(wb);
        return 0;
    }
    TakeStoredValues(settings, stored);
    settings.fromFile = stored;
    return 0;
}

int SaveSettings(Workbench& wb) {
    const std::string path = SettingsFilePath(wb);
    // A first run may find no settings folder yet.
    const std::string folder = FolderOf(path);
    if (!folder.empty()) {
        std::error_code ignored;
        fs::create_directories(NativePath(folder), ignored);
    }
    Settings& settings = wb.settings;
    const SettingsLock lock(path);
    StoredSettings onDisk = settings.fromFile;
    if (std::FILE* file = OpenForReading(path, "rb")) {
        if (!ParseSettingsFile(file, onDisk))
            onDisk = settings.fromFile;
        CloseFile(file);
    }
    const StoredSettings& before = settings.fromFile;
    StoredSettings merged = StoredValues(settings);
    for (size_t k = 0; k < merged.options.size(); ++k)
        TakeUnchanged(merged.options[k], before.options[k], onDisk.options[k]);
    TakeUnchanged(merged.certainFactor, before.certainFactor, onDisk.certainFactor);
    TakeUnchanged(merged.lastFilter, before.lastFilter, onDisk.lastFilter);
    TakeUnchanged(merged.freeText, before.freeText, onDisk.freeText);
    TakeUnchanged(merged.quillonPath, before.quillonPath, onDisk.quillonPath);
    TakeUnchanged(merged.marvanePath, before.marvanePath, onDisk.marvanePath);

    LineWriter file(path);
    if (!file.IsOpen())
        return ShowSettingsNotSaved(wb.platform, path, file.Reason());
    file.Put(SettingsFileText(merged));
    if (file.Close() != 0)
        return ShowSettingsNotSaved(wb.platform, path, file.Reason());
    TakeStoredValues(settings, merged);
    settings.fromFile = merged;
    return 0;
}

} // namespace corelith
